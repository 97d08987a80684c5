// End-to-end tests of the dravonix-check command: the report's form, the
// summaries, -q, the choice of reader and the exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testing/test_util.h"

namespace dravonix {

namespace {

const std::string kExample = DRAVONIX_SOURCE_DIR "/examples/compact_pad.kbd";

// The example keyboard in dir, with the images and sounds it names, which
// the example folder lacks.
std::string CompletePad(const ScratchDir& dir) {
    for (const char* folder : {"images", "sounds"}) {
        std::filesystem::create_directories(NativePath(dir / folder));
    }
    for (const char* media :
         {"images/pad_normal.jpg", "images/pad_pressed.jpg", "images/numpad.jpg",
          "sounds/click.wav", "sounds/thock.wav", "sounds/macro start.wav"}) {
        WriteFile(dir / media, "media");
    }
    WriteFile(dir / "pad.kbd", ReadFile(kExample));
    return dir / "pad.kbd";
}

CommandResult Check(const std::vector<std::string>& args) {
    return RunCommand(DRAVONIX_CHECK_BIN, args);
}

// A hand-edited keyboard: a comment on line 2, a misspelt attribute on
// line 3 (which the schema refuses as well), otherwise as the writer writes.
const char kEdited[] =
    "<keydef name=\"Edited\">\n"
    "<!-- one panel -->\n"
    "\t<subkeydef name=\"800\" type=\"big\" language=\"-1\" forcewinkeyboard=\"false\" "
    "dockd=\"true\">\n"
    "\t\t<hotspot x=\"0\" y=\"0\"/>\n"
    "\t\t<dockrect x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\"/>\n"
    "\t\t<dockbackground/>\n"
    "\t\t<shape/>\n"
    "\t\t<nondragarea/>\n"
    "\t\t<nonshiftkeys/>\n"
    "\t\t<keyswithoutshift/>\n"
    "\t\t<keyswithshift/>\n"
    "\t</subkeydef>\n"
    "</keydef>\n";

}  // namespace

TEST(Check, CleanFilesOfBothFormats) {
    ScratchDir dir;
    const std::string pad = CompletePad(dir);
    ASSERT_EQ(RunCommand(DRAVONIX_BIN, {kExample, dir / "pad.xml"}).exit_code, 0);
    // The name decides for .kbd files, the content for the others.
    WriteFile(dir / "pad.txt", ReadFile(kExample));
    CommandResult result = Check({dir / "pad.xml", pad, dir / "pad.txt"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, ConsoleText(dir / "pad.xml" +
                                      ": 2 panels, 20 keys, 2 macros, 4 sounds; 0 warnings "
                                      "(read as XML)\n" +
                                      pad +
                                      ": 2 panels, 20 keys, 2 macros, 4 sounds; 0 warnings "
                                      "(read as .kbd)\n" +
                                      dir / "pad.txt" +
                                      ": 2 panels, 20 keys, 2 macros, 4 sounds; 0 warnings "
                                      "(read as .kbd)\n"
                                      "3 files checked: 3 clean, 0 with warnings, 0 unreadable\n"));
    EXPECT_EQ(result.err, "");
}

TEST(Check, WarningsInTheCompilersFormAndQuietSummaries) {
    ScratchDir dir;
    const std::string file = dir / "edited.xml";
    WriteFile(file, kEdited);
    CommandResult result = Check({file});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.out,
              ConsoleText(file +
                          ":2: warning: comment is not kept: a resave drops it "
                          "[comment-dropped]\n" +
                          file +
                          ":3: warning: attribute \"dockd\" of \"subkeydef\" is not read "
                          "(did you mean \"docked\"?) [unknown-attribute]\n" +
                          file +
                          ":3: warning: Element 'subkeydef', attribute 'dockd': The "
                          "attribute 'dockd' is not allowed. [schema]\n" +
                          file +
                          ":3: warning: Element 'subkeydef': The attribute 'docked' is "
                          "required but missing. [schema]\n" +
                          file +
                          ": 1 panel, 0 keys, 0 macros, 0 sounds; 4 warnings: 1 attribute "
                          "and 1 comment dropped, 2 from the schema (read as XML)\n"
                          "1 file checked: 0 clean, 1 with warnings, 0 unreadable\n"));
    EXPECT_EQ(result.err, "");

    const std::string pad = CompletePad(dir);
    result = Check({"-q", file, pad});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.out,
              ConsoleText(file +
                          ": 1 panel, 0 keys, 0 macros, 0 sounds; 4 warnings: 1 attribute "
                          "and 1 comment dropped, 2 from the schema (read as XML)\n" +
                          pad +
                          ": 2 panels, 20 keys, 2 macros, 4 sounds; 0 warnings (read as .kbd)\n"
                          "2 files checked: 1 clean, 1 with warnings, 0 unreadable\n"));
}

TEST(Check, UnreadableFilesGoToStandardErrorAndExitTwo) {
    ScratchDir dir;
    WriteFile(dir / "edited.xml", kEdited);
    WriteFile(dir / "broken.xml", "<keydef name=\"x\">\n<subkeydef>\n</keydef>\n");
    CommandResult result =
        Check({"-q", dir / "missing.kbd", dir / "broken.xml", dir / "edited.xml"});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(result.out,
              ConsoleText(dir / "edited.xml" +
                          ": 1 panel, 0 keys, 0 macros, 0 sounds; 4 warnings: 1 attribute and 1 "
                          "comment dropped, 2 from the schema (read as XML)\n"
                          "3 files checked: 0 clean, 1 with warnings, 2 unreadable\n"));
    const std::string err = result.err;
    EXPECT_EQ(err.find(dir / "missing.kbd: error: cannot open: "), 0u) << err;
    EXPECT_NE(err.find(dir / "broken.xml:3: error: not well-formed: "), std::string::npos) << err;
}

TEST(Check, ArgumentsThatAreNoFiles) {
    struct Case {
        std::vector<std::string> args;
        int exit_code;
        bool usage_on_stdout;
    };
    const Case cases[] = {
        {{}, 2, false},        {{"-q"}, 2, false}, {{"--frobnicate", "a.xml"}, 2, false},
        {{"--help"}, 0, true}, {{"-h"}, 0, true},
    };
    for (const Case& c : cases) {
        CommandResult result = Check(c.args);
        EXPECT_EQ(result.exit_code, c.exit_code);
        const std::string& usage = c.usage_on_stdout ? result.out : result.err;
        EXPECT_NE(
            usage.find("Usage: dravonix-check [-q] [-c CP] [--format=text|json] FILE|FOLDER..."),
            std::string::npos)
            << usage;
        EXPECT_EQ(c.usage_on_stdout ? result.err : result.out, "");
    }
    CommandResult version = Check({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out, ConsoleText("dravonix-check 1.0.0\n"));
}

}  // namespace dravonix

namespace dravonix {

// The bundled messy keyboard gives the report bundled beside it, and every
// other example misses only its images and sounds, which are not bundled.
TEST(Check, BundledExamplesGiveTheirReports) {
    const std::string examples = DRAVONIX_SOURCE_DIR "/examples/";
    CommandResult result = Check({examples + "messy.kbd"});
    EXPECT_EQ(result.exit_code, 1);
    std::string report = result.out;
    for (std::size_t at = report.find(examples); at != std::string::npos;
         at = report.find(examples, at)) {
        report.replace(at, examples.size(), "examples/");
    }
    EXPECT_EQ(report, ConsoleText(ReadFile(examples + "messy.check.txt")));
    for (const char* clean : {"compact_pad.kbd", "numeric_keypad.kbd", "typewriter.kbd"}) {
        result = Check({examples + clean});
        for (std::size_t at = result.out.find(" warning: "); at != std::string::npos;
             at = result.out.find(" warning: ", at + 1)) {
            const std::size_t end = result.out.find('\n', at);
            EXPECT_NE(result.out.substr(at, end - at).find("[media-missing]"), std::string::npos)
                << clean << ": " << result.out.substr(at, end - at);
        }
    }
}

}  // namespace dravonix

namespace dravonix {

// A folder of a realistic collection: the check finds the keyboards as the
// batch does, groups repeated findings once per cause, says what each file
// lost and kept with notes, and tells the files that hold no keyboard.
TEST(Check, AFolderOfKeyboardsAndWhatReadingThemDid) {
    ScratchDir dir;
    const std::string folder = dir / "collection";
    ASSERT_TRUE(std::filesystem::create_directories(NativePath(folder + "/old")));
    WriteFile(folder + "/pad.kbd",
              "[KEYDEF]\nBoard\n[SOUNDS]\n1=click.wav\n[/SOUNDS]\n[NOT INFLUENCED BY SHIFT]\n"
              "[0,0,1,1], 5, 1, 65, 0, 'a'\n[1,0,2,1], 5, 1, 66, 0, 'b'\n"
              "[2,0,3,1], 5, 1, 67, 0, 'c'\n[3,0,4,1], 1, l, 68, 0, 'd'\n"
              "[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n");
    WriteFile(folder + "/old/empty.KBD", "");
    WriteFile(folder + "/old/moved.kbd", "<keydef name=\"Moved\">\n<subkeydef/>\n</keydef>\n");
    WriteFile(folder + "/old/notes.txt", "not a keyboard\n");
    CommandResult result = Check({folder});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              ConsoleText(folder +
                          "/old/empty.KBD:1: warning: no [KEYDEF] block found: the file holds no "
                          "keyboard [no-keydef]\n" +
                          folder +
                          "/old/empty.KBD: 0 panels, 0 keys, 0 macros, 0 sounds; 1 warning: no "
                          "keyboard (read as .kbd)\n" +
                          folder +
                          "/old/moved.kbd:1: warning: this is an XML keyboard file: use "
                          "dravonix-resave [no-keydef]\n" +
                          folder +
                          "/old/moved.kbd: 0 panels, 0 keys, 0 macros, 0 sounds; 1 warning: no "
                          "keyboard (read as .kbd)\n" +
                          folder +
                          "/pad.kbd:4: warning: sound 1 \"click.wav\" is missing "
                          "[media-missing]\n" +
                          folder +
                          "/pad.kbd:7: warning: sound 5 is not in the panel's table: 3 keys, "
                          "lines 7, 8, 9 [sound-missing]\n" +
                          folder +
                          "/pad.kbd:10: warning: key line has no type (\"l, 68, 0, 'd'\" is not "
                          "a number): key dropped [key-line-unread]\n" +
                          folder +
                          "/pad.kbd: 1 panel, 3 keys, 0 macros, 1 sound; 5 warnings: 1 key line "
                          "dropped, 3 keys and 1 media file kept with notes (read as .kbd)\n"
                          "3 files checked: 0 clean, 3 with warnings, 0 unreadable\n"));

    // A folder without keyboards is an error, so that swapped or mistyped
    // arguments do not pass as clean.
    ASSERT_TRUE(std::filesystem::create_directories(NativePath(dir / "empty folder")));
    result = Check({dir / "empty folder"});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(result.out, ConsoleText("1 file checked: 0 clean, 0 with warnings, 1 unreadable\n"));
    EXPECT_EQ(result.err, ConsoleText(dir / "empty folder" +
                                      ": error: no legacy keyboard (*.kbd) in the folder\n"));
}

// A keyboard in another code page: the check names the page its text reads
// as (and says nothing once that page is chosen, nor on a Western keyboard),
// the picture finds an image whose name has a second byte 0x5C (表), and the
// batch's auto chooses each keyboard's page and names it.
TEST(CodePages, CheckPictureAndBatchReadEachKeyboardsPage) {
    const std::string russian = DRAVONIX_SOURCE_DIR "/examples/code_pages/russian_1251.kbd";
    const std::string japanese = DRAVONIX_SOURCE_DIR "/examples/code_pages/japanese_932.kbd";
    const struct {
        std::vector<std::string> arguments;
        std::string note;  // empty: none
    } checks[] = {
        {{russian},
         russian + ": note: the text reads as Cyrillic in code page 1251 (\"Пример экранной "
                   "клавиатуры: русская раск\"); convert with --code-page=1251 [code-page]\n"},
        {{japanese},
         japanese +
             ": note: the text reads as Japanese in code page 932 (\"かな入力の画面キーボードの例"
             "（コードページ 932）。\"); convert with --code-page=932 [code-page]\n"},
        {{"-c", "1251", russian}, ""},
        {{"--code-page=932", japanese}, ""},
        {{kExample}, ""},
    };
    const auto expect_note = [](const std::vector<std::string>& arguments,
                                const std::string& note) {
        const CommandResult result = Check(arguments);
        SCOPED_TRACE(result.out);
        if (note.empty()) {
            EXPECT_EQ(result.out.find("[code-page]"), std::string::npos);
        } else {
            EXPECT_NE(result.out.find(ConsoleText(note)), std::string::npos);
        }
    };
    for (const auto& check : checks) expect_note(check.arguments, check.note);

    ScratchDir dir;
    std::filesystem::create_directories(NativePath(dir / "画像"));
    WriteFile(dir / "画像/表示.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x04xx", 8));
    WriteFile(dir / "pad.kbd",
              "[KEYDEF]\n\x95\\\n"
              "normal jpeg=\x89\xE6\x91\x9C\\\x95\\\x8E\xA6.jpg\n"
              "[NOT INFLUENCED BY SHIFT]\n[0,0,9,0,9,9,0,9], -1, 1, -1, 0, 'a'\n"
              "[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n");
    CommandResult result =
        RunCommand(DRAVONIX_RENDER_BIN, {"-c", "932", dir / "pad.kbd", dir / "pad.svg"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    const std::string svg = ReadFile(dir / "pad.svg");
    EXPECT_NE(svg.find(">表</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("data:image/jpeg;base64,/9j/4AAEeHg="), std::string::npos) << svg;
    result = Check({"-c", "932", dir / "pad.kbd"});
    EXPECT_EQ(result.exit_code, 0) << result.out;  // the check finds the image too

    // A key's character that is only the first of two bytes: U+FFFD, and
    // the check says why; read back, a two-byte character is no key's byte.
    WriteFile(dir / "lead.kbd",
              "[KEYDEF]\nLead\n[NOT INFLUENCED BY SHIFT]\n[0,0,9,0,9,9,0,9], -1, 1, -1, 0, "
              "'\x82'\n[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n");
    result = Check({"-c", "932", dir / "lead.kbd"});
    EXPECT_NE(result.out.find(ConsoleText(
                  dir / "lead.kbd" +
                  ":4: warning: the key's character 0x82 is the first byte of a two-byte "
                  "character in code page 932: saved as U+FFFD; use a key of type 16 with a "
                  "text [character-replaced]\n")),
              std::string::npos)
        << result.out;
    result = RunCommand(DRAVONIX_BIN, {"-c", "932", dir / "lead.kbd", dir / "lead.xml"});
    EXPECT_EQ(result.exit_code, 0);
    std::string xml = ReadFile(dir / "lead.xml");
    EXPECT_NE(xml.find("type=\"1\" char=\"\xEF\xBF\xBD\">"), std::string::npos) << xml;
    const std::size_t replacement = xml.find("\xEF\xBF\xBD");
    WriteFile(dir / "lead.xml", xml.replace(replacement, 3, "表"));
    result = RunCommand(DRAVONIX_RESAVE_BIN, {"-c", "932", dir / "lead.xml", dir / "again.xml"});
    EXPECT_EQ(result.exit_code, 0);
    result = Check({"-c", "932", dir / "lead.xml"});
    EXPECT_NE(result.out.find(ConsoleText(
                  ": warning: \"表\" in the \"char\" of \"key\" is two bytes in code page 932, not "
                  "the one byte of a key's character: it is read as \"?\" [character-replaced]\n")),
              std::string::npos)
        << result.out;
    EXPECT_NE(ReadFile(dir / "again.xml").find("type=\"1\" char=\"?\">"), std::string::npos);

    std::filesystem::create_directories(NativePath(dir / "in"));
    WriteFile(dir / "in/ru.kbd", ReadFile(russian));
    WriteFile(dir / "in/ja.kbd", ReadFile(japanese));
    WriteFile(dir / "in/pad.kbd", ReadFile(kExample));
    result =
        RunCommand(DRAVONIX_BATCH_BIN, {"--code-page=auto", "--xml-only", dir / "in", dir / "out"});
    EXPECT_EQ(result.exit_code, 1) << result.err;
    for (const char* line : {"dravonix-batch: note: ja.kbd: read in code page 932\n",
                             "dravonix-batch: note: pad.kbd: read in code page 1252\n",
                             "dravonix-batch: note: ru.kbd: read in code page 1251\n"}) {
        EXPECT_NE(result.err.find(ConsoleText(line)), std::string::npos) << result.err;
    }
    EXPECT_TRUE(ReadFile(dir / "out/ru.xml").starts_with("<keydef name=\"Русская клавиатура\">"));
    const std::string summary = ReadFile(dir / "out/summary.json");
    EXPECT_NE(summary.find("\"file\": \"ja.kbd\", \"reader\": \".kbd\", \"readable\": true, "
                           "\"code_page\": 932,"),
              std::string::npos)
        << summary;
    EXPECT_NE(ReadFile(dir / "out/index.html").find("<th>Code page</th>"), std::string::npos);

    // Their XML, checked in a code page that lacks their letters: the note
    // names the page that keeps them all, and nothing once it is chosen. Kana
    // and traditional Chinese, which 936 and 949 hold too, name their own page.
    WriteFile(dir / "kana.xml", "<keydef name=\"ひらがな かたかな\"/>\n");
    WriteFile(dir / "hant.xml", "<keydef name=\"繁體中文 鍵盤\"/>\n");
    WriteFile(dir / "hans.xml", "<keydef name=\"简体中文 键盘\"/>\n");
    const struct {
        std::vector<std::string> arguments;
        std::string note;  // empty: none
    } xml_checks[] = {
        {{dir / "out/ru.xml"},
         dir / "out/ru.xml: note: the text reads as Cyrillic in code page 1251 (\"Русская "
               "клавиатура\"); convert with --code-page=1251 [code-page]\n"},
        {{"-c", "1253", dir / "out/ja.xml"},
         dir / "out/ja.xml: note: the text reads as Japanese in code page 932 (\"日本語かな"
               "キーボード\"); convert with --code-page=932 [code-page]\n"},
        {{dir / "kana.xml"},
         dir / "kana.xml: note: the text reads as Japanese in code page 932 (\"ひらがな "
               "かたかな\"); convert with --code-page=932 [code-page]\n"},
        {{dir / "hant.xml"},
         dir / "hant.xml: note: the text reads as Traditional Chinese in code page 950 "
               "(\"繁體中文 鍵盤\"); convert with --code-page=950 [code-page]\n"},
        {{dir / "hans.xml"},
         dir / "hans.xml: note: the text reads as Simplified Chinese in code page 936 "
               "(\"简体中文 键盘\"); convert with --code-page=936 [code-page]\n"},
        {{"-c", "1251", dir / "out/ru.xml"}, ""},
        {{"-c", "65001", dir / "out/ja.xml"}, ""},
    };
    for (const auto& check : xml_checks) expect_note(check.arguments, check.note);
}

}  // namespace dravonix
