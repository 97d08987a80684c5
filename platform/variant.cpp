#include "platform/variant.h"

namespace dravonix {

Variant Variant::Int(std::int32_t value) {
    Variant v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

Variant Variant::Bool(bool value) {
    Variant v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::String(std::u16string value) {
    Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = std::move(value);
    return v;
}

Variant Variant::Error(HRESULT code) {
    Variant v;
    v.vt = VT_ERROR;
    v.scode = code;
    return v;
}

void VariantClear(Variant* variant) {
    if (variant != nullptr) *variant = Variant();
}

namespace {

template <class Char>
bool IsBlank(Char c) {
    return c == Char(' ') || c == Char('\t');
}

std::u16string DecimalText(std::int32_t value) {
    std::string narrow;
    AppendDecimal(value, narrow);
    return std::u16string(narrow.begin(), narrow.end());
}

// Strips the blanks and tabs around text.
template <class Char>
std::basic_string_view<Char> TrimBlanks(std::basic_string_view<Char> text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

template <class Char>
bool EqualsIgnoringCase(std::basic_string_view<Char> text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        Char c = text[i];
        if (c >= Char('A') && c <= Char('Z')) c = static_cast<Char>(c - Char('A') + Char('a'));
        if (c != Char(lower[i])) return false;
    }
    return true;
}

// Parses the integer text form of VariantChangeType: S_OK, DISP_E_OVERFLOW or
// DISP_E_TYPEMISMATCH.
template <class Char>
HRESULT ParseIntegerText(std::basic_string_view<Char> text, std::int32_t* value) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == Char('+') || text.front() == Char('-'))) {
        negative = text.front() == Char('-');
        text.remove_prefix(1);
    }
    if (text.empty()) return DISP_E_TYPEMISMATCH;
    std::int64_t magnitude = 0;
    bool overflow = false;
    for (Char c : text) {
        if (c < Char('0') || c > Char('9')) return DISP_E_TYPEMISMATCH;
        if (!overflow) {
            magnitude = magnitude * 10 + (c - Char('0'));
            if (magnitude > 2147483648LL) overflow = true;
        }
    }
    if (overflow || (!negative && magnitude > 2147483647LL)) return DISP_E_OVERFLOW;
    *value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return S_OK;
}

// Parses the boolean text form of VariantChangeType: "true"/"false" in any
// letter case, or any integer text (non-zero is true, whatever its size).
template <class Char>
HRESULT ParseBooleanText(std::basic_string_view<Char> text, bool* value) {
    text = TrimBlanks(text);
    if (EqualsIgnoringCase(text, "true")) return *value = true, S_OK;
    if (EqualsIgnoringCase(text, "false")) return *value = false, S_OK;
    if (!text.empty() && (text.front() == Char('+') || text.front() == Char('-'))) {
        text.remove_prefix(1);
    }
    if (text.empty()) return DISP_E_TYPEMISMATCH;
    bool nonzero = false;
    for (Char c : text) {
        if (c < Char('0') || c > Char('9')) return DISP_E_TYPEMISMATCH;
        nonzero = nonzero || c != Char('0');
    }
    *value = nonzero;
    return S_OK;
}

HRESULT ToInt(const Variant& src, std::int32_t* out) {
    switch (src.vt) {
        case VT_EMPTY:
            *out = 0;
            return S_OK;
        case VT_I4:
            *out = src.lVal;
            return S_OK;
        case VT_BOOL:
            *out = src.boolVal;
            return S_OK;
        case VT_BSTR:
            return ParseIntegerText(std::u16string_view(src.bstrVal), out);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToBool(const Variant& src, bool* out) {
    switch (src.vt) {
        case VT_EMPTY:
            *out = false;
            return S_OK;
        case VT_I4:
            *out = src.lVal != 0;
            return S_OK;
        case VT_BOOL:
            *out = src.boolVal != 0;
            return S_OK;
        case VT_BSTR:
            return ParseBooleanText(std::u16string_view(src.bstrVal), out);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToText(const Variant& src, std::u16string* out) {
    switch (src.vt) {
        case VT_EMPTY:
            out->clear();
            return S_OK;
        case VT_I4:
            *out = DecimalText(src.lVal);
            return S_OK;
        case VT_BOOL:
            *out = src.boolVal != 0 ? u"true" : u"false";
            return S_OK;
        case VT_BSTR:
            *out = src.bstrVal;
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace

HRESULT TextToInt(std::string_view text, std::int32_t* value) {
    return ParseIntegerText(text, value);
}

HRESULT TextToBool(std::string_view text, bool* value) { return ParseBooleanText(text, value); }

HRESULT VariantChangeType(Variant* dest, const Variant& src, std::uint16_t /*flags*/, VARTYPE vt) {
    if (dest == nullptr) return E_POINTER;
    switch (vt) {
        case VT_I4: {
            std::int32_t value = 0;
            HRESULT status = ToInt(src, &value);
            if (Failed(status)) return status;
            *dest = Variant::Int(value);
            return S_OK;
        }
        case VT_BOOL: {
            bool value = false;
            HRESULT status = ToBool(src, &value);
            if (Failed(status)) return status;
            *dest = Variant::Bool(value);
            return S_OK;
        }
        case VT_BSTR: {
            std::u16string text;
            HRESULT status = ToText(src, &text);
            if (Failed(status)) return status;
            *dest = Variant::String(std::move(text));
            return S_OK;
        }
        case VT_EMPTY:
            VariantClear(dest);
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace dravonix
