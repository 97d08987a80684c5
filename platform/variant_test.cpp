#include "platform/variant.h"

#include <gtest/gtest.h>

namespace dravonix {

TEST(Variant, TextToInteger) {
    struct Case {
        std::u16string text;
        HRESULT status;
        std::int32_t value;
    };
    const Case cases[] = {
        {u"42", S_OK, 42},
        {u"-7", S_OK, -7},
        {u"+7", S_OK, 7},
        {u" \t12\t ", S_OK, 12},
        {u"2147483647", S_OK, 2147483647},
        {u"-2147483648", S_OK, -2147483647 - 1},
        {u"0000000000000000000042", S_OK, 42},
        {u"2147483648", DISP_E_OVERFLOW, 0},
        {u"-2147483649", DISP_E_OVERFLOW, 0},
        {u"99999999999999999999999", DISP_E_OVERFLOW, 0},
        {u"", DISP_E_TYPEMISMATCH, 0},
        {u"-", DISP_E_TYPEMISMATCH, 0},
        {u"1.5", DISP_E_TYPEMISMATCH, 0},
        {u"0x10", DISP_E_TYPEMISMATCH, 0},
        {u"12a", DISP_E_TYPEMISMATCH, 0},
        {u"- 1", DISP_E_TYPEMISMATCH, 0},
        {u"\n1", DISP_E_TYPEMISMATCH, 0},
    };
    for (const Case& c : cases) {
        Variant v = Variant::String(c.text);
        HRESULT status = VariantChangeType(&v, v, 0, VT_I4);
        EXPECT_EQ(status, c.status);
        if (c.status == S_OK) {
            EXPECT_EQ(v.vt, VT_I4);
            EXPECT_EQ(v.lVal, c.value);
        } else {
            EXPECT_EQ(v.vt, VT_BSTR) << "a failed conversion leaves the value";
        }
    }
}

TEST(Variant, TextToBoolean) {
    struct Case {
        std::u16string text;
        HRESULT status;
        bool value;
    };
    const Case cases[] = {
        {u"true", S_OK, true},
        {u"TRUE", S_OK, true},
        {u"False", S_OK, false},
        {u"1", S_OK, true},
        {u"-1", S_OK, true},
        {u"0", S_OK, false},
        {u"99999999999999", S_OK, true},
        {u"yes", DISP_E_TYPEMISMATCH, false},
        {u"", DISP_E_TYPEMISMATCH, false},
        {u"tru", DISP_E_TYPEMISMATCH, false},
    };
    for (const Case& c : cases) {
        Variant v;
        HRESULT status = VariantChangeType(&v, Variant::String(c.text), 0, VT_BOOL);
        EXPECT_EQ(status, c.status);
        if (status == S_OK) {
            EXPECT_EQ(v.vt, VT_BOOL);
            EXPECT_EQ(v.boolVal, c.value ? VARIANT_TRUE : VARIANT_FALSE);
        }
    }
}

TEST(Variant, ValuesToText) {
    Variant v;
    ASSERT_EQ(VariantChangeType(&v, Variant::Int(-2147483647 - 1), 0, VT_BSTR), S_OK);
    EXPECT_EQ(v.bstrVal, u"-2147483648");
    ASSERT_EQ(VariantChangeType(&v, Variant::Bool(true), 0, VT_BSTR), S_OK);
    EXPECT_EQ(v.bstrVal, u"true");
    ASSERT_EQ(VariantChangeType(&v, Variant::Bool(false), 0, VT_BSTR), S_OK);
    EXPECT_EQ(v.bstrVal, u"false");
    // The text forms convert back to the same values.
    ASSERT_EQ(VariantChangeType(&v, Variant::String(u"true"), 0, VT_BOOL), S_OK);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    EXPECT_EQ(VariantChangeType(&v, Variant::Error(E_OUTOFMEMORY), 0, VT_BSTR),
              DISP_E_TYPEMISMATCH);
}

}  // namespace dravonix
