#include "driver/panel_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kbd/kbd_reader.h"
#include "testing/com_test.h"
#include "testing/kbd_generator.h"
#include "testing/memory_file_system.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

using PanelPipelineTest = ComTest;

// A keyboard whose name needs escaping and a byte beyond ASCII, a panel with
// images, sounds and a macro, one with shifted keys, and a block never closed.
constexpr char kOddKeyboard[] =
    "Caf\xE9 \"<&>\" pad\r\n"
    "[KEYDEF]\r\nxres=640\r\nnormal jpeg=a&b.jpg\r\n"
    "[SOUNDS]\r\n1=click.wav\r\n[/SOUNDS]\r\n"
    "[NOT INFLUENCED BY SHIFT]\r\n"
    "[0,0,40,0,40,40,0,40], 1, 1, 65, 0, 'a'\r\n"
    "[40,0,80,0,80,40,40,40], 2, 4, \"x<y\"\r\n"
    "a\r\nb\r\n.MACROENDS\r\n"
    "[/NOT INFLUENCED BY SHIFT]\r\n[/KEYDEF]\r\n"
    "[KEYDEF]\r\n[SHIFT/CAPS ON]\r\n"
    "[0,0,40,0,40,40,0,40], 1, 0, 66, 0, 'B'\r\n"
    "[/SHIFT/CAPS ON]\r\n[/KEYDEF]\r\n"
    "[KEYDEF]\r\n[NOT INFLUENCED BY SHIFT]\r\n";

// Converts in through the pipeline to out.xml and, as a whole, to ref.xml;
// false when either fails (with the first failure in *error).
bool ConvertBothWays(MemoryFileSystem& files, const std::string& in, std::string* error) {
    files.AddFile("in.kbd", in);
    KeyDefDocument piped;
    {
        PanelPipeline pipeline("out.xml", CodePage(), files);
        if (!ReadKbdFile("in.kbd", piped.keydef, nullptr, error, files, CodePage(), pipeline) ||
            !pipeline.Finish(piped, error)) {
            return false;
        }
    }
    KeyDefDocument whole;
    return ReadKbdFile("in.kbd", whole.keydef, nullptr, error, files) &&
           SaveToFile(whole, "ref.xml", error, files);
}

TEST_F(PanelPipelineTest, WritesTheBytesOfTheWholeKeyboardsSave) {
    const struct {
        const char* what;
        std::string kbd;
    } cases[] = {
        {"hundreds of panels", GenerateKbd(600 << 10, 7)},
        {"odd names, macro, unclosed block", kOddKeyboard},
        {"one panel", "one\r\n[KEYDEF]\r\n[/KEYDEF]\r\n"},
        {"no panel", "just text\r\n"},
        {"nothing", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem files;
        std::string error;
        ASSERT_TRUE(ConvertBothWays(files, c.kbd, &error)) << error;
        // Compared by hand: a difference between two megabytes of text is
        // more than the framework's diff can show.
        const std::string out = files.Content("out.xml");
        const std::string ref = files.Content("ref.xml");
        const auto [at, unused] = std::mismatch(out.begin(), out.end(), ref.begin(), ref.end());
        EXPECT_TRUE(out == ref) << "sizes " << out.size() << " and " << ref.size()
                                << ", first difference at byte " << (at - out.begin());
    }
}

TEST_F(PanelPipelineTest, FailsAsTheWholeKeyboardsSaveDoes) {
    MemoryFileSystem files;
    files.AddFile("in.kbd", GenerateKbd(200 << 10, 3));
    KeyDefDocument piped;
    std::string piped_error;
    {
        PanelPipeline pipeline("none/out.xml", CodePage(), files);
        ASSERT_TRUE(
            ReadKbdFile("in.kbd", piped.keydef, nullptr, nullptr, files, CodePage(), pipeline));
        EXPECT_FALSE(pipeline.Finish(piped, &piped_error));
    }
    KeyDefDocument whole;
    ASSERT_TRUE(ReadKbdFile("in.kbd", whole.keydef, nullptr, nullptr, files));
    std::string whole_error;
    EXPECT_FALSE(SaveToFile(whole, "none/out.xml", &whole_error, files));
    EXPECT_EQ(piped_error, whole_error);
    EXPECT_EQ(files.Paths(), std::vector<std::string>{"/in.kbd"});
}

TEST_F(PanelPipelineTest, AnUnfinishedSaveLeavesTheFileAsItWas) {
    MemoryFileSystem files;
    files.AddFile("in.kbd", GenerateKbd(200 << 10, 5));
    files.AddFile("out.xml", "before");
    KeyDefDocument piped;
    {
        PanelPipeline pipeline("out.xml", CodePage(), files);
        ASSERT_TRUE(
            ReadKbdFile("in.kbd", piped.keydef, nullptr, nullptr, files, CodePage(), pipeline));
        // No Finish: the read failed, say, or memory ran out.
    }
    EXPECT_EQ(files.Content("out.xml"), "before");
    EXPECT_EQ(files.Paths().size(), 2u);
}

}  // namespace

}  // namespace dravonix
