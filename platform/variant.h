// A small tagged value standing in for the automation VARIANT: the values that
// cross the DOM boundary (integers, strings, booleans, error codes).
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace dravonix {

/// The variant types in use.
enum VARTYPE : std::uint16_t {
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
};

using VARIANT_BOOL = std::int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

/// A tagged value; only the member that belongs to `vt` is meaningful.
struct Variant {
    VARTYPE vt = VT_EMPTY;
    std::int32_t lVal = 0;     // VT_I4
    VARIANT_BOOL boolVal = 0;  // VT_BOOL
    HRESULT scode = S_OK;      // VT_ERROR
    std::u16string bstrVal;    // VT_BSTR

    static Variant Int(std::int32_t value);
    static Variant Bool(bool value);
    static Variant String(std::u16string value);
    static Variant Error(HRESULT code);
};

/// Returns the variant to VT_EMPTY, freeing its string.
void VariantClear(Variant* variant);

/// Converts src to type vt into dest (which may be src itself). Integers become
/// signed decimal text and booleans "true"/"false". Text becomes an integer when
/// it is optional blanks and tabs around an optional sign and decimal digits
/// (DISP_E_OVERFLOW outside 32 bits, DISP_E_TYPEMISMATCH for anything else);
/// text becomes a boolean when it is "true"/"false" in any letter case or an
/// integer text (non-zero is true). On failure dest is left unchanged.
[[nodiscard]] HRESULT VariantChangeType(Variant* dest, const Variant& src, std::uint16_t flags,
                                        VARTYPE vt);

/// VariantChangeType's reading of text as an integer: S_OK, DISP_E_OVERFLOW or
/// DISP_E_TYPEMISMATCH, *value set only on success. For text in UTF-8, or in
/// any encoding that keeps ASCII as it is, without a UTF-16 copy.
[[nodiscard]] HRESULT TextToInt(std::string_view text, std::int32_t* value);
/// VariantChangeType's reading of text as a boolean, as TextToInt does.
[[nodiscard]] HRESULT TextToBool(std::string_view text, bool* value);

/// The longest decimal form of a 32-bit integer: "-2147483648".
constexpr std::size_t kMaxDecimalSize = 11;

/// Writes the signed decimal form of value at out, which has room for
/// kMaxDecimalSize characters, and returns the end of what it wrote. The one
/// decimal formatter: inline, as writers format millions of numbers.
inline char* FormatDecimal(std::int32_t value, char* out) {
    return std::to_chars(out, out + kMaxDecimalSize, value).ptr;
}

/// Appends the signed decimal form of value (FormatDecimal) to out.
inline void AppendDecimal(std::int32_t value, std::string& out) {
    char digits[kMaxDecimalSize];
    out.append(digits, FormatDecimal(value, digits));
}
}  // namespace dravonix
