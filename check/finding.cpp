#include "check/finding.h"

namespace dravonix {

std::string FormatFinding(std::string_view file, const Finding& finding) {
    std::string text(file);
    text.append(":").append(std::to_string(finding.line)).append(": warning: ");
    text.append(finding.message).append(" [").append(finding.kind).append("]");
    return text;
}

}  // namespace dravonix
