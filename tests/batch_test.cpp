// End-to-end tests of the dravonix-batch command.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testing/kbd_generator.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

CommandResult Batch(const std::vector<std::string>& args) {
    return RunCommand(DRAVONIX_BATCH_BIN, args);
}

// What dravonix writes for the keyboard at input.
std::string ConverterOutput(const std::string& input, const ScratchDir& scratch) {
    const std::string output = scratch / "converter.xml";
    EXPECT_EQ(RunCommand(DRAVONIX_BIN, {input, output}).exit_code, 0) << input;
    return ReadFile(output);
}

// A tree of keyboards: nested folders, a name with blanks and non-ASCII
// characters, and a hand-edited one whose last block is not closed.
struct KeyboardTreeFixture {
    ScratchDir source;
    ScratchDir dest;
    std::vector<std::string> keyboards = {"pad.kbd", "de/alt/Tastatur Übersicht €.KBD",
                                          "messy.kbd"};

    KeyboardTreeFixture() {
        std::filesystem::create_directories(NativePath(source / "de/alt"));
        WriteFile(source / "pad.kbd",
                  ReadFile(std::string(DRAVONIX_SOURCE_DIR) + "/examples/compact_pad.kbd"));
        WriteFile(source / "de/alt/Tastatur Übersicht €.KBD", GenerateKbd(20000, 3));
        WriteFile(source / "messy.kbd",
                  "[KEYDEF]\nMessy\nxres=640\n[/KEYDEF]\n[KEYDEF]\nxres=800\n");
        WriteFile(source / "notes.txt", "not a keyboard");
    }
};

}  // namespace

TEST(Batch, ConvertsATreeExactlyAsTheConverterDoes) {
    KeyboardTreeFixture tree;
    CommandResult result = Batch({"-j", "2", tree.source.path(), tree.dest.path()});
    EXPECT_EQ(result.exit_code, 1) << result.out << result.err;  // the messy one warns
    EXPECT_NE(result.out.find("3 keyboards: 2 converted cleanly, 1 with warnings, 0 failed, 0 up "
                              "to date"),
              std::string::npos)
        << result.out;
    ScratchDir scratch;
    for (const std::string& keyboard : tree.keyboards) {
        SCOPED_TRACE(keyboard);
        const std::string stem = keyboard.substr(0, keyboard.size() - 4);
        EXPECT_EQ(ReadFile(tree.dest / (stem + ".xml")),
                  ConverterOutput(tree.source / keyboard, scratch));
        EXPECT_NE(ReadFile(tree.dest / (stem + ".check.txt")), "<missing>");
        EXPECT_NE(ReadFile(tree.dest / (stem + ".svg")), "<missing>");
    }
    EXPECT_NE(ReadFile(tree.dest / "messy.check.txt").find("unclosed-keydef"), std::string::npos);
    const std::string index = ReadFile(tree.dest / "index.html");
    EXPECT_NE(index.find("Tastatur Übersicht €.KBD"), std::string::npos);
    EXPECT_NE(index.find("de/alt/Tastatur%20%C3%9Cbersicht%20%E2%82%AC.svg"), std::string::npos);
    EXPECT_EQ(ReadFile(tree.dest / "notes.xml"), "<missing>");

    // A second run finds everything up to date and reports what the outputs
    // hold, with the first run's exit code; --force converts again.
    result = Batch({tree.source.path(), tree.dest.path()});
    EXPECT_EQ(result.exit_code, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("3 keyboards: 2 converted cleanly, 1 with warnings, 0 failed, 3 up "
                              "to date"),
              std::string::npos)
        << result.out;
    result = Batch({"--force", tree.source.path(), tree.dest.path()});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.out.find("0 up to date"), std::string::npos) << result.out;
}

TEST(Batch, XmlOnlyWritesTheXmlFilesAlone) {
    KeyboardTreeFixture tree;
    CommandResult result = Batch({"--xml-only", tree.source.path(), tree.dest.path()});
    EXPECT_EQ(result.exit_code, 1) << result.err;
    EXPECT_NE(ReadFile(tree.dest / "pad.xml"), "<missing>");
    EXPECT_EQ(ReadFile(tree.dest / "pad.check.txt"), "<missing>");
    EXPECT_EQ(ReadFile(tree.dest / "pad.svg"), "<missing>");
    // A later full run still writes what the first left out.
    result = Batch({tree.source.path(), tree.dest.path()});
    EXPECT_NE(result.out.find("0 up to date"), std::string::npos) << result.out;
    EXPECT_NE(ReadFile(tree.dest / "pad.svg"), "<missing>");
}

TEST(Batch, WrongArgumentsAndOneFailureAmongMany) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"only"}, {"a", "b", "c"}, {"-j", "0", "a", "b"}, {"--fast", "a", "b"}}) {
        CommandResult result = Batch(args);
        EXPECT_EQ(result.exit_code, 2);
        EXPECT_NE(result.err.find("Usage: dravonix-batch"), std::string::npos) << result.err;
    }
    KeyboardTreeFixture tree;
    // An output that is a folder cannot be saved; the others still are.
    std::filesystem::create_directories(NativePath(tree.dest / "pad.xml"));
    CommandResult result = Batch({tree.source.path(), tree.dest.path()});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.out.find("1 failed"), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("failed    pad.kbd: cannot save"), std::string::npos) << result.err;
    EXPECT_NE(ReadFile(tree.dest / "messy.xml"), "<missing>");
    EXPECT_EQ(Batch({tree.source / "missing", tree.dest.path()}).exit_code, 2);
}

// Files named .kbd that hold no keyboard convert to an empty one, and the
// batch shows them with warnings, never as clean.
TEST(Batch, AFileWithoutAKeyboardHasWarnings) {
    ScratchDir source;
    ScratchDir dest;
    WriteFile(source / "empty.kbd", "");
    WriteFile(source / "moved.kbd", "<keydef name=\"Moved\"/>\n");
    CommandResult result = Batch({source.path(), dest.path()});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.out, ConsoleText("2 keyboards: 0 converted cleanly, 2 with warnings, 0 "
                                      "failed, 0 up to date; see " +
                                      dest / "index.html\n"));
    EXPECT_NE(ReadFile(dest / "moved.check.txt")
                  .find(":1: warning: this is an XML keyboard file: use dravonix-resave"),
              std::string::npos);
}

// Every keyboard converted, but no page to show them: the run failed.
TEST(Batch, AnIndexPageThatCannotBeSavedFailsTheRun) {
    ScratchDir source;
    ScratchDir dest;
    WriteFile(source / "pad.kbd", ReadFile(DRAVONIX_SOURCE_DIR "/examples/compact_pad.kbd"));
    std::filesystem::create_directories(NativePath(dest / "index.html"));
    CommandResult result = Batch({source.path(), dest.path()});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(result.out, ConsoleText("1 keyboard: 1 converted cleanly, 0 with warnings, 0 failed, "
                                      "0 up to date\n"));
    EXPECT_NE(result.err.find("dravonix-batch: cannot save '" + dest / "index.html"),
              std::string::npos)
        << result.err;
}

}  // namespace dravonix
