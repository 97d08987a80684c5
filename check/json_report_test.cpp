#include "check/json_report.h"

#include <gtest/gtest.h>

#include <string>

namespace dravonix {

namespace {

// Whatever bytes a name holds, it comes out as one valid JSON string: quote,
// backslash and control characters escaped, UTF-8 and DEL kept, and each
// byte that is no UTF-8 replaced by U+FFFD.
TEST(JsonReport, EscapesEveryByteANameMayHold) {
    FileCheck check;
    check.file = std::string("a\"b\\c\x01\x1F \x7F\xC3\xA9\xFF\xE2\x82", 14) + "plain text";
    check.report.readable = false;
    const std::string json = FormatJsonReport({&check, 1});
    EXPECT_NE(
        json.find("{\"file\": \"a\\\"b\\\\c\\u0001\\u001f \x7F\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD"
                  "\xEF\xBF\xBDplain text\", "),
        std::string::npos)
        << json;
}

}  // namespace

}  // namespace dravonix
