// The one form of a POSIX failure message the file operations hand back.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace dravonix {

/// Sets *error (when wanted) to "context: the system's text for err".
inline void SetError(std::string* error, std::string_view context, int err) {
    if (error == nullptr) return;
    error->assign(context);
    error->append(": ").append(std::generic_category().message(err));
}

}  // namespace dravonix
