// End-to-end tests of the dravonix-batch command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
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

// The file that name, written in a keyboard in the folder from below root,
// means as Windows reads it: "\\" or "/" between parts, "." and ".." steps
// on the name, each part matching an entry whatever its (ASCII) letter case;
// "" when there is none inside root.
std::string FindAsWindows(const std::string& root, const std::string& from, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    std::vector<std::string> parts;
    const std::string path = from.empty() ? name : from + "/" + name;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part == "..") {
            if (parts.empty()) return "";
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    const auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::filesystem::path found = NativePath(root);
    for (const std::string& part : parts) {
        std::error_code error;
        bool matched = false;
        for (const auto& entry : std::filesystem::directory_iterator(found, error)) {
            if (lower(PathString(entry.path().filename())) == lower(part)) {
                found = entry.path();
                matched = true;
                break;
            }
        }
        if (!matched) return "";
    }
    return PathString(found);
}

// The media names an XML keyboard file holds: images and sounds (plain
// names, without character references).
std::vector<std::string> MediaNames(const std::string& xml) {
    std::vector<std::string> names;
    for (const std::string tag : {"<jpeg type=\"", "<sound id=\""}) {
        for (std::size_t at = xml.find(tag); at != std::string::npos; at = xml.find(tag, at + 1)) {
            const std::size_t start = xml.find('>', at) + 1;
            names.push_back(xml.substr(start, xml.find('<', start) - start));
        }
    }
    return names;
}

// A collection as teachers keep them: keyboards in nested folders (a name
// with blanks and non-ASCII characters among them), a hand-edited one whose
// last block is not closed, and images and sounds beside them, of which one
// is missing, one is in another letter case, one is named by two
// keyboards and one lies outside the tree.
struct KeyboardTreeFixture {
    ScratchDir root;
    std::string source = root / "source";
    std::string dest = root / "into/dest";
    std::vector<std::string> keyboards = {"pad.kbd", "de/alt/Tastatur Übersicht €.KBD",
                                          "de/alt/shared.kbd", "messy.kbd"};

    KeyboardTreeFixture() {
        for (const char* folder : {"de/alt", "images", "sounds"}) {
            std::filesystem::create_directories(NativePath(source + "/" + folder));
        }
        // examples/compact_pad.kbd names images\pad_normal.jpg (line 7),
        // images\pad_pressed.jpg (8), sounds\click.wav (11), sounds\thock.wav
        // (12), sounds\macro start.wav (13), images\numpad.jpg (53) and
        // sounds\click.wav again (55).
        WriteFile(source + "/pad.kbd",
                  ReadFile(std::string(DRAVONIX_SOURCE_DIR) + "/examples/compact_pad.kbd"));
        for (const char* media :
             {"images/pad_normal.jpg", "images/Pad_Pressed.JPG", "images/numpad.jpg",
              "sounds/click.wav", "sounds/macro start.wav"}) {
            WriteFile(source + "/" + media, std::string("bytes of ") + media);
        }
        WriteFile(source + "/de/alt/Tastatur Übersicht €.KBD", GenerateKbd(20000, 3));
        WriteFile(source + "/de/alt/shared.kbd",
                  "[KEYDEF]\nShared\nxres=640\nnormal jpeg=..\\..\\IMAGES\\numpad.jpg\n"
                  "[SOUNDS]\n1=..\\..\\sounds\\click.wav\n2=..\\..\\..\\outside.wav\n"
                  "[/SOUNDS]\n[/KEYDEF]\n");
        WriteFile(root / "outside.wav", "outside the tree");
        WriteFile(source + "/messy.kbd",
                  "[KEYDEF]\nMessy\nxres=640\n[/KEYDEF]\n[KEYDEF]\nxres=800\n");
        WriteFile(source + "/notes.txt", "not a keyboard");
    }
};

}  // namespace

TEST(Batch, ConvertsATreeWithItsMediaExactlyAsTheConverterDoes) {
    KeyboardTreeFixture tree;
    CommandResult result = Batch({"-j", "2", tree.source, tree.dest});
    EXPECT_EQ(result.exit_code, 1) << result.out << result.err;  // the messy one warns
    EXPECT_NE(result.out.find("4 keyboards: 0 converted cleanly, 4 with warnings, 0 failed, 0 up "
                              "to date; media files: 5 copied, 0 up to date, "),
              std::string::npos)
        << result.out;
    ScratchDir scratch;
    int found = 0;
    for (const std::string& keyboard : tree.keyboards) {
        SCOPED_TRACE(keyboard);
        const std::string stem = keyboard.substr(0, keyboard.size() - 4);
        const std::string xml = ReadFile(tree.dest + "/" + stem + ".xml");
        EXPECT_EQ(xml, ConverterOutput(tree.source + "/" + keyboard, scratch));
        EXPECT_NE(ReadFile(tree.dest + "/" + stem + ".check.txt"), "<missing>");
        EXPECT_NE(ReadFile(tree.dest + "/" + stem + ".svg"), "<missing>");
        // Every media file the XML names that the source holds inside the
        // tree is found from the XML in the destination, the same bytes.
        const std::string folder = keyboard.find('/') == std::string::npos ? "" : "de/alt";
        for (const std::string& name : MediaNames(xml)) {
            const std::string original = FindAsWindows(tree.source, folder, name);
            const std::string copy = FindAsWindows(tree.dest, folder, name);
            if (original.empty()) {
                EXPECT_EQ(copy, "") << name;
            } else {
                EXPECT_NE(copy, "") << name;
                EXPECT_EQ(ReadFile(copy), ReadFile(original)) << name;
                ++found;
            }
        }
    }
    EXPECT_EQ(found, 8);  // every name of pad.kbd but the missing one, two of shared.kbd
    EXPECT_EQ(ReadFile(tree.root / "into/outside.wav"), "<missing>");
    EXPECT_EQ(CountEntries(tree.dest + "/sounds"), 2);  // click.wav once, macro start.wav
    EXPECT_EQ(ReadFile(tree.dest + "/messy.check.txt").find("messy.kbd:"), 0u);
    EXPECT_NE(ReadFile(tree.dest + "/messy.check.txt").find("unclosed-keydef"), std::string::npos);
    // The check names the missing sound and the image in another case at
    // their lines; the report beside the XML says the same.
    const std::string check = RunCommand(DRAVONIX_CHECK_BIN, {tree.source + "/pad.kbd"}).out;
    const std::string report = ReadFile(tree.dest + "/pad.check.txt");
    for (const std::string line :
         {":8: warning: pressed image \"images\\pad_pressed.jpg\" is there only as "
          "\"images\\Pad_Pressed.JPG\": systems that tell letter case apart do not find it "
          "[media-case]",
          ":12: warning: sound 2 \"sounds\\thock.wav\" is missing [media-missing]"}) {
        EXPECT_NE(check.find(line), std::string::npos) << check;
        EXPECT_NE(report.find(line), std::string::npos) << report;
    }
    // summary.json holds for each keyboard what dravonix-check --format=json
    // says of it.
    const std::string summary = ReadFile(tree.dest + "/summary.json");
    std::string json =
        RunCommand(DRAVONIX_CHECK_BIN, {"--format=json", tree.source + "/pad.kbd"}).out;
    json = json.substr(json.find("\"reader\""));
    json = json.substr(0, json.find('\n'));
    EXPECT_NE(summary.find("{\"file\": \"pad.kbd\", " + json), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"summary\": {\"files\": 4, \"clean\": 0, \"with_warnings\": 4, "
                           "\"unreadable\": 0}}"),
              std::string::npos)
        << summary;
    const std::string index = ReadFile(tree.dest + "/index.html");
    EXPECT_NE(index.find("Tastatur Übersicht €.KBD"), std::string::npos);
    EXPECT_NE(index.find("de/alt/Tastatur%20%C3%9Cbersicht%20%E2%82%AC.svg"), std::string::npos);
    EXPECT_NE(index.find(">Compact Typing Pad<"), std::string::npos);
    EXPECT_NE(index.find("5 found, <span class=\"missing\">1 missing</span>"), std::string::npos);
    EXPECT_EQ(ReadFile(tree.dest + "/notes.xml"), "<missing>");

    // A second run finds everything up to date, media files included, and
    // reports what the outputs hold, with the first run's exit code; --force
    // converts again.
    result = Batch({tree.source, tree.dest});
    EXPECT_EQ(result.exit_code, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("4 keyboards: 0 converted cleanly, 4 with warnings, 0 failed, 4 up "
                              "to date; media files: 0 copied, 5 up to date, "),
              std::string::npos)
        << result.out;
    result = Batch({"--force", tree.source, tree.dest});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.out.find("0 up to date"), std::string::npos) << result.out;
}

TEST(Batch, XmlOnlyAndSinglePage) {
    KeyboardTreeFixture tree;
    CommandResult result = Batch({"--xml-only", "--no-media", tree.source, tree.dest});
    EXPECT_EQ(result.exit_code, 1) << result.err;
    EXPECT_NE(ReadFile(tree.dest + "/pad.xml"), "<missing>");
    EXPECT_EQ(ReadFile(tree.dest + "/pad.check.txt"), "<missing>");
    EXPECT_EQ(ReadFile(tree.dest + "/pad.svg"), "<missing>");
    EXPECT_EQ(ReadFile(tree.dest + "/sounds/click.wav"), "<missing>");
    // A later full run still writes what the first left out; one page holds
    // every preview and report.
    result = Batch({"--single-page", tree.source, tree.dest});
    EXPECT_NE(result.out.find("0 up to date"), std::string::npos) << result.out;
    EXPECT_NE(ReadFile(tree.dest + "/pad.svg"), "<missing>");
    const std::string index = ReadFile(tree.dest + "/index.html");
    EXPECT_NE(index.find("data-src=\"data:image/svg+xml;base64,"), std::string::npos);
    EXPECT_NE(index.find("<summary>Report</summary><pre>messy.kbd:"), std::string::npos);
    EXPECT_EQ(index.find("href=\"pad.svg\""), std::string::npos);
}

TEST(Batch, WrongArgumentsFoldersWithoutKeyboardsAndOneFailureAmongMany) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"only"}, {"a", "b", "c"}, {"-j", "0", "a", "b"}, {"--fast", "a", "b"}}) {
        CommandResult result = Batch(args);
        EXPECT_EQ(result.exit_code, 2);
        EXPECT_NE(result.err.find("Usage: dravonix-batch"), std::string::npos) << result.err;
    }
    KeyboardTreeFixture tree;
    // An output that is a folder cannot be saved; the others still are.
    std::filesystem::create_directories(NativePath(tree.dest + "/pad.xml"));
    CommandResult result = Batch({tree.source, tree.dest});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.out.find("1 failed"), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("failed    pad.kbd: cannot save"), std::string::npos) << result.err;
    EXPECT_NE(ReadFile(tree.dest + "/messy.xml"), "<missing>");
    // A source folder that does not exist or holds no keyboard (such as a
    // destination given first) fails before anything is written.
    for (const std::string& source : {tree.source + "/missing", tree.dest + "/de"}) {
        result = Batch({source, tree.root / "elsewhere"});
        EXPECT_EQ(result.exit_code, 2) << source;
        EXPECT_NE(result.err.find("dravonix-batch: "), std::string::npos) << result.err;
        EXPECT_EQ(CountEntries(tree.root / "elsewhere"), -1);
    }
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
    WriteFile(source / "pad.kbd", "[KEYDEF]\nPad\nxres=640\n[/KEYDEF]\n");
    std::filesystem::create_directories(NativePath(dest / "index.html"));
    CommandResult result = Batch({source.path(), dest.path()});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(result.out, ConsoleText("1 keyboard: 1 converted cleanly, 0 with warnings, 0 failed, "
                                      "0 up to date\n"));
    EXPECT_NE(result.err.find("dravonix-batch: cannot save '" + dest / "index.html"),
              std::string::npos)
        << result.err;
}

// Started by Explorer with a keyboard and a folder dropped onto it, the
// program converts each beside itself and waits for a key (here the end of
// its empty standard input).
TEST(Batch, DroppedKeyboardAndFolderAreConvertedBesideThemselves) {
    KeyboardTreeFixture tree;
    WriteFile(tree.root / "single.kbd", "[KEYDEF]\nSingle\nxres=640\n[/KEYDEF]\n");
    SetInheritedVariable("DRAVONIX_CONSOLE_OWNER", "1");  // as Explorer starts it
    CommandResult result = Batch({tree.root / "single.kbd", tree.source});
    SetInheritedVariable("DRAVONIX_CONSOLE_OWNER", "");
    EXPECT_EQ(result.exit_code, 1) << result.out << result.err;  // the folder's warnings
    EXPECT_NE(ReadFile(tree.root / "single.xml"), "<missing>");
    EXPECT_NE(ReadFile(tree.root / "single.check.txt"), "<missing>");
    EXPECT_NE(ReadFile(tree.root / "single.svg"), "<missing>");
    EXPECT_NE(ReadFile(tree.root / "source-xml/pad.xml"), "<missing>");
    EXPECT_NE(ReadFile(tree.root / "source-xml/index.html"), "<missing>");
    EXPECT_NE(result.out.find("Press any key to close this window."), std::string::npos)
        << result.out;
}

}  // namespace dravonix
