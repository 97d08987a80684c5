#include "platform/file_system.h"

namespace dravonix {

std::string FileFailureMessage(std::string_view action, std::string_view path,
                               std::string_view failure) {
    if (failure.size() > path.size() + 2 && failure.starts_with(path) &&
        failure.substr(path.size(), 2) == ": ") {
        failure.remove_prefix(path.size() + 2);
    }
    std::string message = "cannot ";
    message.append(action).append(" '").append(path).append("'");
    if (!failure.empty()) message.append(": ").append(failure);
    return message;
}

}  // namespace dravonix
