// Shared pieces of the hostile-input tests: the tools' error text, the
// expected text of simple keyboards, and checks that a failure kept files.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "testing/test_util.h"

namespace dravonix {

/// The five lines both tools print when a pass fails.
inline const std::string kToolError = ConsoleText(
    "\n"
    "Vantorel Keyboard Definition File Converter v1.0\n"
    "-------------------------------------------------\n"
    "\n"
    "[EE] An error occured while converting keyboard file\n");

/// Exit code -2 as a shell sees it.
inline constexpr int kFailed = 254;

/// The saved text of a panel without images, sounds or keys; keys holds the
/// text of the keyswithoutshift element's children, if any.
inline std::string EmptyPanel(const std::string& name, const std::string& keys = "") {
    return "\t<subkeydef name=\"" + name +
           "\" type=\"big\" language=\"-1\" forcewinkeyboard=\"false\" docked=\"true\">\n"
           "\t\t<hotspot x=\"0\" y=\"0\"/>\n"
           "\t\t<dockrect x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\"/>\n"
           "\t\t<dockbackground/>\n"
           "\t\t<shape/>\n"
           "\t\t<nondragarea/>\n"
           "\t\t<nonshiftkeys/>\n" +
           (keys.empty() ? "\t\t<keyswithoutshift/>\n"
                         : "\t\t<keyswithoutshift>\n" + keys + "\t\t</keyswithoutshift>\n") +
           "\t\t<keyswithshift/>\n"
           "\t</subkeydef>\n";
}

/// The saved text of a keyboard with the given panels' texts.
inline std::string Keyboard(const std::string& name, const std::string& panels) {
    if (panels.empty()) return "<keydef name=\"" + name + "\"/>";
    return "<keydef name=\"" + name + "\">\n" + panels + "</keydef>";
}

/// Checks a failed run: the error text on standard output, exit -2, and one
/// line on standard error that names the tool and holds reason.
inline void ExpectToolFailed(const CommandResult& result, std::string_view reason = "") {
    EXPECT_EQ(result.exit_code, kFailed);
    EXPECT_EQ(result.out, kToolError);
    EXPECT_TRUE(result.err.starts_with("dravonix")) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
    EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
}

/// Checks a successful run: no text at all, exit 0.
inline void ExpectToolSucceeded(const CommandResult& result) {
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
}

}  // namespace dravonix
