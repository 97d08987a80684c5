// End-to-end tests of the dravonix converter command.
#include <gtest/gtest.h>

#include "testing/test_util.h"

namespace dravonix {

namespace {

const std::string kUsage =
    "\n"
    "Vantorel Keyboard Definition File Converter v1.0\n"
    "-------------------------------------------------\n"
    "\n"
    "This tool converts the Vantorel keyboard files (.kbd) to the\n"
    "new XML-Style keyboard files.\n"
    "\n"
    "Syntax: dravonix.exe Inputfile.kbd Outputfile.xml\n";

const std::string kError =
    "\n"
    "Vantorel Keyboard Definition File Converter v1.0\n"
    "-------------------------------------------------\n"
    "\n"
    "[EE] An error occured while converting keyboard file\n";

CommandResult Convert(const std::vector<std::string>& args, const std::string& prefix = "") {
    return RunCommand(DRAVONIX_BIN, args, prefix);
}

}  // namespace

TEST(Converter, WrongArgumentCountPrintsUsage) {
    const std::vector<std::vector<std::string>> cases = {{}, {"a.kbd"}, {"a", "b", "c"}};
    for (const auto& args : cases) {
        CommandResult result = Convert(args);
        EXPECT_EQ(result.exit_code, 255);
        EXPECT_EQ(result.out, kUsage);
        EXPECT_EQ(result.err, "");
    }
}

TEST(Converter, MissingInputIsAnError) {
    ScratchDir dir;
    CommandResult result = Convert({dir / "missing.kbd", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 254);
    EXPECT_EQ(result.out, kError);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadFile(dir / "out.xml"), "<missing>");
}

TEST(Converter, OutputFolderThatDoesNotExistIsAnError) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    CommandResult result = Convert({dir / "in.kbd", dir / "no/such/folder/out.xml"});
    EXPECT_EQ(result.exit_code, 254);
    EXPECT_EQ(result.out, kError);
    EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(Converter, EmptyInputGivesAnEmptyKeyboard) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "");
    CommandResult result = Convert({dir / "in.kbd", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "") << "a successful conversion prints nothing";
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadFile(dir / "out.xml"), "<keydef name=\"\"/>");
}

TEST(Converter, FailedSaveKeepsThePreviousOutput) {
    ScratchDir dir;
    std::string input;
    for (int i = 0; i < 40; ++i) input += "[KEYDEF]\nBoard\nxres=800\n[/KEYDEF]\n";
    WriteFile(dir / "in.kbd", input);
    WriteFile(dir / "out.xml", "previous output");
    // A file size limit of 1 KB makes writing the new file fail part way.
    CommandResult result = Convert({dir / "in.kbd", dir / "out.xml"}, "trap '' XFSZ; ulimit -f 1;");
    EXPECT_EQ(result.exit_code, 254);
    EXPECT_EQ(result.out, kError);
    EXPECT_EQ(ReadFile(dir / "out.xml"), "previous output");
    EXPECT_EQ(CountEntries(dir.path()), 2) << "no temporary file is left behind";
}

TEST(Converter, ExampleKeyboardGivesTheReviewedFile) {
    // The expected file was checked line by line against the file format: all
    // three key sections, macros with key and character strokes, a type-16 key,
    // keys whose character is ";", "#" or a blank, sounds with one "not
    // defined", two panels, CR LF line ends and comments.
    ScratchDir dir;
    const std::string source = DRAVONIX_SOURCE_DIR;
    CommandResult result = Convert({source + "/examples/compact_pad.kbd", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(dir / "out.xml"), ReadFile(source + "/tests/expected/compact_pad.xml"));
}

}  // namespace dravonix
