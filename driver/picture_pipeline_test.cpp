#include "driver/picture_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check/check_report.h"
#include "check/kbd_check.h"
#include "kbd/kbd_reader.h"
#include "render/keyboard_svg.h"
#include "testing/com_test.h"
#include "testing/kbd_generator.h"
#include "testing/memory_file_system.h"

namespace dravonix {

namespace {

using PicturePipelineTest = ComTest;

// Panels that share a picture, one seen in both views of its panel, one
// missing, one cut at a blank, and a last panel that widens the picture.
constexpr char kPictures[] =
    "Pictures\r\n"
    "[KEYDEF]\r\nnormal jpeg=bg.gif\r\n[NOT INFLUENCED BY SHIFT]\r\n"
    "[0,0,40,0,40,40,0,40], 1, 1, 65, 0, 'a'\r\n[/NOT INFLUENCED BY SHIFT]\r\n[/KEYDEF]\r\n"
    "[KEYDEF]\r\nnormal jpeg=other.gif\r\n[SHIFT/CAPS ON]\r\n"
    "[0,0,40,0,40,40,0,40], 1, 0, 66, 0, 'B'\r\n[/SHIFT/CAPS ON]\r\n[/KEYDEF]\r\n"
    "[KEYDEF]\r\nnormal jpeg=missing.gif\r\n[/KEYDEF]\r\n"
    "[KEYDEF]\r\nnormal jpeg=bg.gif and more\r\n[/KEYDEF]\r\n"
    "[KEYDEF]\r\n[NOT INFLUENCED BY SHIFT]\r\n"
    "[0,0,9000,0,9000,40,0,40], 1, 1, 67, 0, 'c'\r\n[/NOT INFLUENCED BY SHIFT]\r\n[/KEYDEF]\r\n";

// Reads /kbd/in.kbd and saves its picture as the renderer does.
bool Draw(MemoryFileSystem& files, bool piped, const std::string& out, std::string* error) {
    KeyDefinition keyboard;
    CheckReport check;
    KbdFindingCollector findings(check, CodePage());
    if (!piped) {
        return ReadKbdFile("/kbd/in.kbd", keyboard, &findings, error, files) &&
               SaveKeyboardSvg(keyboard, "/kbd", out, error, files, check.cut_images);
    }
    PicturePipeline pipeline("/kbd", check.cut_images, CodePage(), files);
    return ReadKbdFile("/kbd/in.kbd", keyboard, &findings, error, files, CodePage(), pipeline) &&
           pipeline.Finish(keyboard, out, error);
}

TEST_F(PicturePipelineTest, DrawsThePictureOfTheWholeKeyboard) {
    const std::string gif = std::string("GIF89a\x20\x00\x10\x00", 10);
    const struct {
        const char* what;
        std::string kbd;
        std::vector<std::string> shows;  // in the picture, so that the case is what it says
    } cases[] = {
        {"hundreds of panels", GenerateKbd(600 << 10, 7), {}},
        {"pictures", kPictures, {"<use", "image not found", "image path cut at a blank"}},
        {"one panel", "one\r\n[KEYDEF]\r\n[/KEYDEF]\r\n", {}},
        {"no panel", "just text\r\n", {}},
        {"nothing", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem files;
        files.AddFile("/kbd/bg.gif", gif);
        files.AddFile("/kbd/other.gif", gif + "other");
        files.AddFile("/kbd/in.kbd", c.kbd);
        std::string error;
        ASSERT_TRUE(Draw(files, true, "/kbd/out.svg", &error)) << error;
        ASSERT_TRUE(Draw(files, false, "/kbd/ref.svg", &error)) << error;
        // Compared by hand: a difference between two megabytes of text is
        // more than the framework's diff can show.
        const std::string out = files.Content("/kbd/out.svg");
        const std::string ref = files.Content("/kbd/ref.svg");
        const auto [at, unused] = std::mismatch(out.begin(), out.end(), ref.begin(), ref.end());
        EXPECT_TRUE(out == ref) << "sizes " << out.size() << " and " << ref.size()
                                << ", first difference at byte " << (at - out.begin());
        for (const std::string& shown : c.shows) {
            EXPECT_NE(ref.find(shown), std::string::npos) << shown;
        }
    }
}

TEST_F(PicturePipelineTest, FailsAsTheWholePicturesSaveDoes) {
    for (const std::string out : {"/none/out.svg", ""}) {
        SCOPED_TRACE(out);
        MemoryFileSystem files;
        files.AddFile("/kbd/in.kbd", GenerateKbd(200 << 10, 3));
        std::string piped_error;
        std::string whole_error;
        EXPECT_FALSE(Draw(files, true, out, &piped_error));
        EXPECT_FALSE(Draw(files, false, out, &whole_error));
        EXPECT_EQ(piped_error, whole_error);
        EXPECT_EQ(files.Paths(), (std::vector<std::string>{"/kbd", "/kbd/in.kbd"}));
    }
}

}  // namespace

}  // namespace dravonix
