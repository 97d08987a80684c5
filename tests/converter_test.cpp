// End-to-end tests of the dravonix converter command.
#include <gtest/gtest.h>

#include "testing/kbd_generator.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

const std::string kUsage = ConsoleText(
    "\n"
    "Vantorel Keyboard Definition File Converter v1.0\n"
    "-------------------------------------------------\n"
    "\n"
    "This tool converts the Vantorel keyboard files (.kbd) to the\n"
    "new XML-Style keyboard files.\n"
    "\n"
    "Syntax: dravonix.exe Inputfile.kbd Outputfile.xml\n");

const std::string kError = ConsoleText(
    "\n"
    "Vantorel Keyboard Definition File Converter v1.0\n"
    "-------------------------------------------------\n"
    "\n"
    "[EE] An error occured while converting keyboard file\n");

CommandResult Convert(const std::vector<std::string>& args) {
    return RunCommand(DRAVONIX_BIN, args);
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
    // The reason is the system's own text, which differs between systems.
    EXPECT_TRUE(result.err.starts_with("dravonix: cannot open '" + dir / "missing.kbd" + "': "))
        << result.err;
    EXPECT_EQ(ReadFile(dir / "out.xml"), "<missing>");
}

TEST(Converter, OutputFolderThatDoesNotExistIsAnError) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    CommandResult result = Convert({dir / "in.kbd", dir / "no/such/folder/out.xml"});
    EXPECT_EQ(result.exit_code, 254);
    EXPECT_EQ(result.out, kError);
    EXPECT_TRUE(result.err.starts_with("dravonix: cannot save '" + dir / "no/such/folder/out.xml"))
        << result.err;
    EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(Converter, EmptyInputGivesAnEmptyKeyboardAndAWarning) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "");
    CommandResult result = Convert({dir / "in.kbd", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "") << "a successful conversion prints nothing on standard output";
    EXPECT_EQ(result.err, ConsoleText("dravonix: warning: " + dir / "in.kbd" +
                                      ": no [KEYDEF] block found: the file holds no keyboard\n"));
    EXPECT_EQ(ReadFile(dir / "out.xml"), "<keydef name=\"\"/>");
}

TEST(Converter, AnyFileNameWorksAndAnOldOutputIsReplaced) {
    ScratchDir dir;
    const std::string example = ReadFile(DRAVONIX_SOURCE_DIR "/examples/compact_pad.kbd");
    const std::string expected = ReadFile(DRAVONIX_SOURCE_DIR "/tests/expected/compact_pad.xml");
    const char* const names[] = {
        "Tastatur \xC3\x9C"
        "bersicht \xE2\x82\xAC",                                     // German and the euro sign
        "\xD0\xBA\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB8\xD1\x88\xD0\xB8",  // Cyrillic
        "\xE9\x94\xAE\xE7\x9B\x98 \xF0\x9F\x98\x80",  // CJK and a character beyond 16 bits
    };
    for (const std::string name : names) {
        SCOPED_TRACE(name);
        WriteFile(dir / (name + ".kbd"), example);
        WriteFile(dir / (name + ".xml"), "previous output");
        CommandResult result = Convert({dir / (name + ".kbd"), dir / (name + ".xml")});
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(ReadFile(dir / (name + ".xml")), expected);
        result = RunCommand(DRAVONIX_RESAVE_BIN, {dir / (name + ".xml"), dir / (name + " 2.xml")});
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(ReadFile(dir / (name + " 2.xml")), expected);
    }
    EXPECT_EQ(CountEntries(dir.path()), 9) << "no temporary file is left behind";
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

namespace dravonix {

// The frame every command shares: the information options, and an unknown
// option named on standard error before the usage text, which goes where the
// command's style puts it (the converters' fixed text on standard output).
TEST(Commands, InformationOptionsAndUnknownOptions) {
    struct Tool {
        const char* program;
        const char* name;
        const char* usage;  // a line of the usage text, which help shows too
        int wrong_exit;     // for wrong arguments
        bool usage_on_stdout;
    };
    const Tool tools[] = {
        {DRAVONIX_BIN, "dravonix", "Syntax: dravonix.exe Inputfile.kbd Outputfile.xml\n", 255,
         true},
        {DRAVONIX_RESAVE_BIN, "dravonix-resave",
         "Syntax: dravonix-resave Inputfile.xml Outputfile.xml\n", 255, true},
        {DRAVONIX_RENDER_BIN, "dravonix-render",
         "Syntax: dravonix-render Inputfile Outputfile.svg\n", 255, true},
        {DRAVONIX_CHECK_BIN, "dravonix-check",
         "Usage: dravonix-check [-q] [-c CP] [--format=text|json] FILE|FOLDER...\n", 2, false},
        {DRAVONIX_BATCH_BIN, "dravonix-batch",
         "Usage: dravonix-batch [-j N] [-c CP|auto] [--force] [--xml-only] [--no-media]\n", 2,
         false},
    };
    for (const Tool& tool : tools) {
        SCOPED_TRACE(tool.name);
        for (const char* option : {"--help", "-h", "/?"}) {
            CommandResult result = RunCommand(tool.program, {option});
            EXPECT_EQ(result.exit_code, 0) << option;
            EXPECT_NE(result.out.find(ConsoleText(tool.usage)), std::string::npos) << result.out;
            EXPECT_NE(result.out.find("--version"), std::string::npos) << result.out;
            EXPECT_EQ(result.err, "");
        }
        CommandResult result = RunCommand(tool.program, {"--version"});
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(result.out, ConsoleText(std::string(tool.name) + " 1.0.0\n"));

        for (const char* option : {"--frob", "-Z"}) {
            result = RunCommand(tool.program, {option, "in.kbd", "out.xml"});
            EXPECT_EQ(result.exit_code, tool.wrong_exit) << option;
            const std::string named =
                std::string(tool.name) + ": unknown option '" + option + "'\n";
            const std::string& usage = tool.usage_on_stdout ? result.out : result.err;
            EXPECT_TRUE(result.err.starts_with(ConsoleText(named))) << result.err;
            EXPECT_NE(usage.find(ConsoleText(tool.usage)), std::string::npos) << usage;
        }
        // A code page that is none of the supported ones, none at all, or two.
        const std::string pages =
            std::string("874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, ") +
            "1257, 1258, 932, 936, 949, 950, 65001" +
            (std::string(tool.name) == "dravonix-batch" || std::string(tool.name) == "dravonix"
                 ? " or auto"
                 : "");
        const std::pair<std::vector<std::string>, std::string> wrong_pages[] = {
            {{"--code-page=klingon", "in.kbd", "out.xml"},
             "unknown code page 'klingon'; supported: " + pages},
            {{"in.kbd", "out.xml", "-c"}, "-c needs a code page: " + pages},
            {{"-c", "1251", "--code-page=1252", "in.kbd", "out.xml"},
             "--code-page is given twice; give one of " + pages},
        };
        for (const auto& [arguments, message] : wrong_pages) {
            result = RunCommand(tool.program, arguments);
            EXPECT_EQ(result.exit_code, tool.wrong_exit) << message;
            EXPECT_TRUE(
                result.err.starts_with(ConsoleText(std::string(tool.name) + ": " + message + "\n")))
                << result.err;
        }
        EXPECT_NE(RunCommand(tool.program, {"--help"}).out.find("--code-page=CP"),
                  std::string::npos);
        // An information option among other arguments is no file name.
        result = RunCommand(tool.program, {"--help", "out.xml"});
        EXPECT_EQ(result.exit_code, tool.wrong_exit);
        EXPECT_TRUE(result.err.starts_with(
            ConsoleText(std::string(tool.name) + ": option '--help' must be the only argument\n")))
            << result.err;
    }
    // The converters' texts stay exactly the fixed ones; after "--" a name
    // that starts with "-" is a file's.
    CommandResult result = Convert({"--frob", "in.kbd", "out.xml"});
    EXPECT_EQ(result.out, kUsage);
    EXPECT_EQ(result.err, ConsoleText("dravonix: unknown option '--frob'\n"));
    ScratchDir dir;
    result = Convert({"--", "-in.kbd", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 254);
    EXPECT_TRUE(result.err.starts_with("dravonix: cannot open '-in.kbd': ")) << result.err;
}

// A keyboard in each code page's own letters, as bytes of the page and as
// UTF-8 (which the reader turns into the page's bytes), converts into the same
// XML holding every letter, and a resave with the page writes it unchanged.
TEST(Converter, EveryCodePageKeepsItsLetters) {
    struct Row {
        const char* page;
        std::string utf8;    // the page's letters
        std::string narrow;  // the same in the page's bytes
    };
    const Row rows[] = {
        {"874", "ภาษาไทย", "\xC0\xD2\xC9\xD2\xE4\xB7\xC2"},
        {"1250", "ČeštinaŁódźő",
         "\xC8"
         "e\x9Atina\xA3\xF3"
         "d\x9F\xF5"},
        {"1251", "Русский", "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"},
        {"1252", "FrançaisÑandúœ€",
         "Fran\xE7"
         "ais\xD1"
         "and\xFA\x9C\x80"},
        {"1253", "Ελληνικά", "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC"},
        {"1254", "Türkçeğış",
         "T\xFCrk\xE7"
         "e\xF0\xFD\xFE"},
        {"1255", "עברית", "\xF2\xE1\xF8\xE9\xFA"},
        {"1256", "العربية", "\xC7\xE1\xDA\xD1\xC8\xED\xC9"},
        {"1257", "Lietuviųėš", "Lietuvi\xF8\xEB\xF0"},
        {"1258", "ĐăngơưĂ", "\xD0\xE3ng\xF5\xFD\xC3"},
        {"932", "日本語かなカナ表ソ",
         "\x93\xFA\x96{\x8C\xEA\x82\xA9\x82\xC8\x83J\x83i\x95\\\x83\\"},
        {"936", "简体中文", "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4"},
        {"949", "한국어", "\xC7\xD1\xB1\xB9\xBE\xEE"},
        {"950", "繁體中文",
         "\xC1"
         "c\xC5\xE9\xA4\xA4\xA4\xE5"},
        {"65001", "Ελληνικά日本語😀",
         "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC\xE6\x97\xA5\xE6\x9C\xAC"
         "\xE8\xAA\x9E\xF0\x9F\x98\x80"},
    };
    // A keyboard named text, with a key of that text and one key per letter.
    const auto keyboard = [](const std::string& text, const std::vector<std::string>& letters) {
        std::string kbd = "[KEYDEF]\n" + text + "\n[NOT INFLUENCED BY SHIFT]\n" +
                          "[0,0,9,0,9,9,0,9], -1, 16, \"" + text + "\"\n";
        for (const std::string& letter : letters) {
            kbd += "[0,0,9,0,9,9,0,9], -1, 1, -1, 0, '" + letter + "'\n";
        }
        return kbd + "[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n";
    };
    ScratchDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.page);
        const std::string page = row.page;
        // In the single-byte pages a key holds each letter; its UTF-8 form is
        // one sequence of the text.
        std::vector<std::string> letters_utf8;
        std::vector<std::string> letters_narrow;
        if (page.size() == 4 || page == "874") {
            for (std::size_t at = 0; at < row.utf8.size();) {
                std::size_t size = 1;
                while (at + size < row.utf8.size() &&
                       (static_cast<unsigned char>(row.utf8[at + size]) & 0xC0) == 0x80) {
                    ++size;
                }
                letters_utf8.push_back(row.utf8.substr(at, size));
                letters_narrow.push_back(row.narrow.substr(letters_narrow.size(), 1));
                at += size;
            }
            ASSERT_EQ(letters_narrow.size(), row.narrow.size());
        }
        WriteFile(dir / "narrow.kbd", keyboard(row.narrow, letters_narrow));
        CommandResult result =
            RunCommand(DRAVONIX_BIN, {"--code-page=" + page, dir / "narrow.kbd", dir / "out.xml"});
        ASSERT_EQ(result.exit_code, 0) << result.err;
        EXPECT_EQ(result.err, "");
        const std::string xml = ReadFile(dir / "out.xml");
        EXPECT_TRUE(xml.starts_with("<keydef name=\"" + row.utf8 + "\">")) << xml;
        EXPECT_NE(xml.find("type=\"16\" target=\"" + row.utf8 + "\""), std::string::npos) << xml;
        std::size_t at = 0;
        for (const std::string& letter : letters_utf8) {
            at = xml.find("char=\"", at);
            ASSERT_NE(at, std::string::npos) << letter;
            at += 6;
            EXPECT_EQ(xml.substr(at, letter.size() + 1), letter + "\"");
        }

        // The same keyboard in UTF-8 reads into the same bytes.
        WriteFile(dir / "utf8.kbd", "\xEF\xBB\xBF" + keyboard(row.utf8, letters_utf8));
        result = RunCommand(DRAVONIX_BIN, {"-c", page, dir / "utf8.kbd", dir / "utf8.xml"});
        EXPECT_EQ(result.exit_code, 0) << result.err;
        EXPECT_EQ(ReadFile(dir / "utf8.xml"), xml);

        result = RunCommand(DRAVONIX_RESAVE_BIN, {"-c", page, dir / "out.xml", dir / "again.xml"});
        EXPECT_EQ(result.exit_code, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(ReadFile(dir / "again.xml"), xml);
    }
}

TEST(Converter, NeverWritesOverALegacyKeyboard) {
    // Every file the reader takes as a legacy keyboard: its [KEYDEF] line
    // after a comment, after a vertical tab, or 5 KiB into the file.
    const std::string legacies[] = {
        "; my keyboard\n[KEYDEF]\nBoard\n[/KEYDEF]\n",
        "Board\n\v[KEYDEF]\n[/KEYDEF]\n",
        std::string(5 * 1024, ';') + "\n[KEYDEF]\nBoard\n[/KEYDEF]\n",
    };
    ScratchDir dir;
    WriteFile(dir / "pad.xml", "<keydef name=\"Board\"/>");
    for (const std::string& legacy : legacies) {
        SCOPED_TRACE(legacy.substr(0, 20));
        WriteFile(dir / "pad.kbd", legacy);
        // The arguments swapped: the legacy file would be the output.
        CommandResult result = Convert({dir / "pad.xml", dir / "pad.kbd"});
        EXPECT_EQ(result.exit_code, 254);
        EXPECT_EQ(result.out, kError);
        EXPECT_EQ(result.err, ConsoleText("dravonix: will not write over '" + dir / "pad.kbd" +
                                          "': it is a legacy keyboard file (are the arguments "
                                          "swapped?)\n"));
        EXPECT_EQ(ReadFile(dir / "pad.kbd"), legacy);
        EXPECT_EQ(CountEntries(dir.path()), 2);
    }
}

// What the input is, the converter decides from what it read before the
// save, which may have replaced the input.
TEST(Converter, JudgesTheInputAsItWasBeforeTheSave) {
    ScratchDir dir;
    WriteFile(dir / "pad.txt", "Board\n");
    CommandResult result = Convert({dir / "pad.txt", dir / "pad.txt"});
    EXPECT_EQ(result.err.find("XML"), std::string::npos) << result.err;
}

TEST(Converter, SaysWhenTheInputIsAnXmlKeyboard) {
    ScratchDir dir;
    WriteFile(dir / "pad.kbd", "<keydef name=\"Board\"/>\n");
    CommandResult result = Convert({dir / "pad.kbd", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, ConsoleText("dravonix: warning: " + dir / "pad.kbd" +
                                      ": this is an XML keyboard file: use dravonix-resave\n"));
}

}  // namespace dravonix

namespace dravonix {

// The command the warnings suggest, as the platform's shell takes it.
std::string CheckHint(const std::string& file) {
    const bool windows = std::string_view(DRAVONIX_BIN).ends_with(".exe");
    return std::string("'dravonix-check") + (windows ? ".exe" : "") + " \"" + file + "\"'";
}

// Losses (content not in the XML) are told apart from notes (content there,
// changed or naming a sound that is not defined), each line counted once.
TEST(Converter, WarnsOfWhatItDroppedApartFromWhatItKeptWithNotes) {
    ScratchDir dir;
    struct Case {
        const char* what;
        std::string input;
        std::string warning;  // after "dravonix: warning: IN: "; empty for none
    };
    const std::string keys_with_sound_5 =
        "[0,0,1,1], 5, 1, 65, 0, 'a'\n[1,0,2,1], 5, 1, 66, 0, 'b'\n"
        "[2,0,3,1], 5, 1, 67, 0, 'c'\n[3,0,4,1], 5, 1, 68, 0, 'd'\n";
    const Case cases[] = {
        {"clean", "[KEYDEF]\nBoard\n[/KEYDEF]\n", ""},
        {"every key kept, naming a sound the panel lacks",
         "[KEYDEF]\nBoard\n[SOUNDS]\n1=click.wav\n[/SOUNDS]\n[NOT INFLUENCED BY SHIFT]\n" +
             keys_with_sound_5 + "[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n",
         "4 keys kept with notes"},
        {"a panel not closed, whose own findings go with it, and a typo in a type",
         "[KEYDEF]\nBoard\n[NOT INFLUENCED BY SHIFT]\n[0,0,1,1], 1, l, 65, 0, 'a'\n"
         "[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n[KEYDEF]\nxres=800\n[SHIFT/CAPS OFF]\n"
         "[0,0,1,1], 1, l, 65, 0, 'a'\n",
         "1 panel and 1 key line dropped"},
        {"one key with two findings: a number too large, a target too long",
         "[KEYDEF]\nBoard\n[NOT INFLUENCED BY SHIFT]\n[0,0,1,1], 99999999999, 16, \"" +
             std::string(130, 't') + "\"\n[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n",
         "1 key kept with notes"},
        {"UTF-8 with a character Windows-1252 lacks",
         "\xEF\xBB\xBF[KEYDEF]\nPav\xC3\xA9 \xE2\x82\xAC \xE2\x86\x92\n[/KEYDEF]\n",
         "1 line kept with notes"},
    };
    const std::string in = dir / "in.kbd";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(in, c.input);
        CommandResult result = Convert({in, dir / "out.xml"});
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.warning.empty()
                                  ? std::string()
                                  : ConsoleText("dravonix: warning: " + in + ": " + c.warning +
                                                "; " + CheckHint(in) + " lists them\n"));
    }
    // The UTF-8 keyboard's name: é and € have Windows-1252 bytes, → becomes "?".
    EXPECT_TRUE(
        ReadFile(dir / "out.xml").starts_with("<keydef name=\"Pav\xC3\xA9 \xE2\x82\xAC ?\">"));
}

// A large legacy keyboard is drawn while it is read, on two threads; the same
// keyboard read from XML is drawn whole. Both are the same picture.
TEST(Render, ALargeKeyboardDrawnWhileReadIsTheKeyboardDrawnWhole) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", GenerateKbd(1 << 20, 12));
    ASSERT_EQ(Convert({dir / "in.kbd", dir / "in.xml"}).exit_code, 0);
    ASSERT_EQ(RunCommand(DRAVONIX_RENDER_BIN, {dir / "in.kbd", dir / "kbd.svg"}).exit_code, 0);
    ASSERT_EQ(RunCommand(DRAVONIX_RENDER_BIN, {dir / "in.xml", dir / "xml.svg"}).exit_code, 0);
    const std::string drawn = ReadFile(dir / "kbd.svg");
    const std::string whole = ReadFile(dir / "xml.svg");
    EXPECT_GT(drawn.size(), std::size_t{1} << 20);
    EXPECT_TRUE(drawn == whole) << "sizes " << drawn.size() << " and " << whole.size();
}

#ifndef _WIN32
// A large keyboard is written while it is read, on a second thread; a pipe
// gets the keyboard written whole at the end. Both are the same bytes.
TEST(Converter, ALargeKeyboardWrittenWhileReadIsTheKeyboardWrittenWhole) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", GenerateKbd(1 << 20, 12));
    const CommandResult to_file = Convert({dir / "in.kbd", dir / "out.xml"});
    const CommandResult to_pipe = RunCommand(
        "/bin/sh",
        {"-c", ShellQuote(DRAVONIX_BIN) + " " + ShellQuote(dir / "in.kbd") + " /dev/stdout | cat"});
    ASSERT_EQ(to_file.exit_code, 0);
    ASSERT_EQ(to_pipe.exit_code, 0);
    EXPECT_EQ(to_file.err, to_pipe.err);
    const std::string written = ReadFile(dir / "out.xml");
    EXPECT_GT(written.size(), std::size_t{1} << 20);
    EXPECT_TRUE(written == to_pipe.out)
        << "sizes " << written.size() << " and " << to_pipe.out.size();
}
#endif

// The resave counts what its reader drops and changes, never what the
// schema says (the panel below lacks attributes the schema requires).
TEST(Resave, WarnsOfWhatItDroppedApartFromWhatItKeptWithNotes) {
    ScratchDir dir;
    WriteFile(dir / "in.xml",
              "<keydef name=\"x\">\n<!-- note -->\n<subkeydef name=\"p\" dockd=\"true\" "
              "docked=\"yes\"/>\n</keydef>\n");
    CommandResult result = RunCommand(DRAVONIX_RESAVE_BIN, {dir / "in.xml", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 0);
    const std::string in = dir / "in.xml";
    EXPECT_EQ(result.err, ConsoleText("dravonix-resave: warning: " + in +
                                      ": 1 attribute and 1 comment dropped, 1 value kept with "
                                      "notes; " +
                                      CheckHint(in) + " lists them\n"));
    WriteFile(dir / "clean.xml", ReadFile(dir / "out.xml"));
    result = RunCommand(DRAVONIX_RESAVE_BIN, {dir / "clean.xml", dir / "clean.xml"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.err, "");
    // What only the schema finds ("+1" reads as 1, attributes the reader
    // does without) is kept as read: nothing to warn of.
    WriteFile(dir / "valid-enough.xml",
              "<keydef name=\"x\">\n<subkeydef language=\"+1\"/>\n</keydef>\n");
    result = RunCommand(DRAVONIX_RESAVE_BIN, {dir / "valid-enough.xml", dir / "out.xml"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.err, "");
}

}  // namespace dravonix
