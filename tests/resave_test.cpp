// End-to-end tests of the dravonix-resave command, and the round trip
// .kbd -> XML -> resave -> XML through both commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testing/kbd_generator.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

const std::string kBanner =
    "\n"
    "Vantorel Keyboard Definition File Converter v1.0\n"
    "-------------------------------------------------\n"
    "\n";

const std::string kError =
    ConsoleText(kBanner + "[EE] An error occured while converting keyboard file\n");

CommandResult Resave(const std::string& input, const std::string& output) {
    return RunCommand(DRAVONIX_RESAVE_BIN, {input, output});
}

std::vector<std::string> ExampleKeyboards() {
    std::vector<std::string> paths;
    std::error_code error;
    const std::filesystem::path folder = NativePath(DRAVONIX_SOURCE_DIR "/examples");
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".kbd") paths.push_back(PathString(entry.path()));
    }
    return paths;
}

// Converts kbd, resaves the result twice, and checks that nothing changes.
void ExpectStableRoundTrip(const std::string& kbd, const ScratchDir& dir) {
    SCOPED_TRACE(kbd);
    ASSERT_EQ(RunCommand(DRAVONIX_BIN, {kbd, dir / "first.xml"}).exit_code, 0);
    CommandResult result = Resave(dir / "first.xml", dir / "second.xml");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(dir / "second.xml"), ReadFile(dir / "first.xml"));
    ASSERT_EQ(Resave(dir / "second.xml", dir / "third.xml").exit_code, 0);
    EXPECT_EQ(ReadFile(dir / "third.xml"), ReadFile(dir / "second.xml"));
}

}  // namespace

TEST(Resave, WrongArgumentCountPrintsUsage) {
    const std::string usage = ConsoleText(kBanner +
                                          "This tool reads an XML keyboard file and writes it "
                                          "again.\n"
                                          "\n"
                                          "Syntax: dravonix-resave Inputfile.xml Outputfile.xml\n");
    const std::vector<std::vector<std::string>> cases = {{}, {"a.xml"}, {"a", "b", "c"}};
    for (const auto& args : cases) {
        CommandResult result = RunCommand(DRAVONIX_RESAVE_BIN, args);
        EXPECT_EQ(result.exit_code, 255);
        EXPECT_EQ(result.out, usage);
        EXPECT_EQ(result.err, "");
    }
}

TEST(Resave, InputsThatAreNotKeyboardsLeaveTheOutputAlone) {
    ScratchDir dir;
    struct Case {
        const char* name;
        const char* content;  // nullptr: the file does not exist
        const char* reason;   // what standard error says after "dravonix-resave: PATH"
    };
    const Case cases[] = {
        {"missing", nullptr, ""},
        {"empty", "", ": not well-formed"},
        {"truncated", "<keydef name=\"x\">\n<subkeydef", ":2: not well-formed: "},
        {"other root", "<keyboard name=\"x\"/>", ": root element is \"keyboard\", not \"keydef\""},
        {"root in capitals", "<KEYDEF name=\"x\"/>",
         ": root element is \"KEYDEF\", not \"keydef\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string input = dir / "in.xml";
        std::error_code ignored;
        std::filesystem::remove(NativePath(input), ignored);
        if (c.content != nullptr) WriteFile(input, c.content);
        WriteFile(dir / "out.xml", "previous output");
        CommandResult result = Resave(input, dir / "out.xml");
        EXPECT_EQ(result.exit_code, 254);
        EXPECT_EQ(result.out, kError);
        const std::string expected = c.content == nullptr
                                         ? "dravonix-resave: cannot open '" + input + "': "
                                         : "dravonix-resave: " + input + c.reason;
        EXPECT_TRUE(result.err.starts_with(expected)) << result.err;
        EXPECT_EQ(ReadFile(dir / "out.xml"), "previous output");
    }
    WriteFile(dir / "in.xml", "<keydef name=\"x\"/>");
    CommandResult result = Resave(dir / "in.xml", dir / "no/such/folder/out.xml");
    EXPECT_EQ(result.exit_code, 254);
    EXPECT_EQ(result.out, kError);
}

TEST(Resave, NormalisesHandEditedFilesAndUpgradesPress) {
    ScratchDir dir;
    WriteFile(dir / "in.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<!-- edited by hand -->\n"
              "<keydef name=\"Hand made\">\n"
              "  <subkeydef name=\"800\" type=\"big\" docked=\"TRUE\">\n"
              "    <nonshiftkeys><macro sound=\"2\"><mkey vkey=\"16\" press=\"1\"/>"
              "<mkey char=\"a\"/></macro></nonshiftkeys>\n"
              "  </subkeydef>\n"
              "</keydef>\n");
    CommandResult result = Resave(dir / "in.xml", dir / "out.xml");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(dir / "out.xml"),
              "<keydef name=\"Hand made\">\n"
              "\t<subkeydef name=\"800\" type=\"big\" language=\"-1\" forcewinkeyboard=\"false\" "
              "docked=\"true\">\n"
              "\t\t<hotspot x=\"0\" y=\"0\"/>\n"
              "\t\t<dockrect x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\"/>\n"
              "\t\t<dockbackground/>\n"
              "\t\t<shape/>\n"
              "\t\t<nondragarea/>\n"
              "\t\t<nonshiftkeys>\n"
              "\t\t\t<macro sound=\"2\">\n"
              "\t\t\t\t<shape/>\n"
              "\t\t\t\t<mkey vkey=\"16\" pressed=\"1\" char=\"\"/>\n"
              "\t\t\t\t<mkey char=\"a\"/>\n"
              "\t\t\t</macro>\n"
              "\t\t</nonshiftkeys>\n"
              "\t\t<keyswithoutshift/>\n"
              "\t\t<keyswithshift/>\n"
              "\t</subkeydef>\n"
              "</keydef>");
}

TEST(Resave, ExamplesSurviveTheRoundTripUnchanged) {
    std::vector<std::string> examples = ExampleKeyboards();
    ASSERT_FALSE(examples.empty());
    for (const std::string& kbd : examples) {
        ScratchDir dir;
        ExpectStableRoundTrip(kbd, dir);
    }
}

TEST(Resave, GeneratedKeyboardsSurviveTheRoundTripUnchanged) {
    for (std::uint64_t seed : {1, 2, 3}) {
        ScratchDir dir;
        WriteFile(dir / "in.kbd", GenerateKbd(200 * 1024, seed));
        ExpectStableRoundTrip(dir / "in.kbd", dir);
    }
}

}  // namespace dravonix
