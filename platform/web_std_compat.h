// What the web build's C++ library (Emscripten's libc++ 13) lacks of C++20
// and the project uses, written as the standard specifies it. The web build
// includes this file ahead of every source (platform/CMakeLists.txt); with a
// library that has them, it is empty.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <type_traits>

namespace std {

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
/// An array of size default-initialised elements.
template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t size) {
    return unique_ptr<T>(new remove_extent_t<T>[size]);
}
#endif

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 14000  // floating-point to_chars came in 14
/// value in the fixed, scientific or general form with the given precision,
/// as printf's %.*f, %.*e and %.*g write it in the "C" locale. (The hex form,
/// which the project does not use, is not offered: it fails.)
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                                int precision) {
    const char* pattern = format == chars_format::fixed        ? "%.*f"
                          : format == chars_format::scientific ? "%.*e"
                          : format == chars_format::general    ? "%.*g"
                                                               : nullptr;
    if (pattern == nullptr) return {last, errc::not_supported};
    char text[512];
    const int length = snprintf(text, sizeof text, pattern, precision, value);
    if (length < 0 || static_cast<size_t>(length) >= sizeof text || length > last - first) {
        return {last, errc::value_too_large};
    }
    memcpy(first, text, static_cast<size_t>(length));
    return {first + length, errc()};
}
#endif

}  // namespace std
