// The command line every command reads: each form of an option with a value,
// flags, "--", and the messages for what is wrong.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dravonix {

TEST(CommandLine, OptionsInEveryFormAndOperandsInOrder) {
    struct Case {
        std::vector<const char*> args;  // after the program's name
        std::string taken;              // what the options took, "q" and "c=VALUE" each
        std::vector<std::string> operands;
        std::string error;  // empty: the line is read
    };
    const Case cases[] = {
        {{"-c", "1252", "in", "out"}, "c=1252 ", {"in", "out"}, ""},
        {{"in", "-c1250", "out"}, "c=1250 ", {"in", "out"}, ""},
        {{"--code-page=", "in"}, "c= ", {"in"}, ""},
        {{"--code-page", "utf-8", "-q", "--quiet"}, "c=utf-8 q q ", {}, ""},
        {{"--", "-q", "-", "--code-page=1"}, "", {"-q", "-", "--code-page=1"}, ""},
        {{"in", "-c"}, "", {"in"}, "-c needs a code page"},
        {{"--code-page"}, "", {}, "--code-page needs a code page"},
        {{"--quiet=yes"}, "", {}, "option '--quiet' takes no value"},
        {{"-qq"}, "", {}, "unknown option '-qq'"},
        {{"--code"}, "", {}, "unknown option '--code'"},
        {{"-c", "0"}, "", {}, "code page 0 is no code page"},
        {{"a", "--version"}, "", {"a"}, "option '--version' must be the only argument"},
    };
    for (const Case& c : cases) {
        std::string taken;
        const CommandOption options[] = {
            {'q', "quiet", "",
             [&taken](std::string_view, std::string*) {
                 taken += "q ";
                 return true;
             }},
            {'c', "code-page", "a code page",
             [&taken](std::string_view value, std::string* error) {
                 if (value == "0") {
                     *error = "code page 0 is no code page";
                     return false;
                 }
                 taken += "c=" + std::string(value) + " ";
                 return true;
             }},
        };
        std::vector<const char*> argv = {"tool"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        std::vector<std::string> operands;
        std::string error;
        const bool read = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options,
                                           &operands, &error);
        SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
        EXPECT_EQ(read, c.error.empty());
        EXPECT_EQ(error, c.error);
        if (read) {
            EXPECT_EQ(taken, c.taken);
            EXPECT_EQ(operands, c.operands);
        }
    }
}

}  // namespace dravonix
