// The typed values that the keyboard writer hands to the DOM for attributes
// and text content.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/codepage.h"
#include "platform/variant.h"

namespace dravonix {

/// A one-character string made of the byte; the byte 0 gives an empty value.
inline Variant CharValue(char value) {
    return value == '\0' ? Variant::String(std::u16string())
                         : Variant::String(std::u16string(
                               1, WideCharOfByte(static_cast<unsigned char>(value))));
}

}  // namespace dravonix
