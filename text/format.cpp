#include "text/format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace dravonix {

void Format(std::string& target, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed < 0) {
        va_end(args);
        target.clear();
        return;
    }
    std::string result(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(result.data(), result.size(), format, args);
    va_end(args);
    result.resize(std::strlen(result.c_str()));
    target = std::move(result);
}

}  // namespace dravonix
