#include "check/code_page_guess.h"

#include <gtest/gtest.h>

#include "platform/unicode.h"

namespace dravonix {

TEST(CodePageGuess, NamesTheCodePageOfOtherScriptsAndNeverOneForWesternText) {
    const struct {
        unsigned written_in;  // the keyboard's code page
        unsigned read_in;     // the one the check reads it in
        std::string_view utf8;
        unsigned guess;  // 0: no guess
        std::string_view sample;
    } cases[] = {
        {1251, 1252,
         "[KEYDEF]\r\nРусская клавиатура\r\nnormal jpeg=images\\клавиши.jpg\r\n"
         "[SHIFT/CAPS OFF]\r\n[0,0,9,0,9,9], 1, 1, -1, 0, 'ж'\r\n",
         1251, "Русская клавиатура"},
        {1251, 1251, "[KEYDEF]\r\nРусская клавиатура\r\n", 0, {}},
        {932, 1252, "[KEYDEF]\r\n日本語キーボード\r\nnormal jpeg=画像\\表示.jpg\r\n", 932,
         "日本語キーボード"},
        {1253, 1252, "[KEYDEF]\r\nΕλληνικό πληκτρολόγιο\r\n", 1253, "Ελληνικό πληκτρολόγιο"},
        {1252, 1252, "[KEYDEF]\r\nClavier français\r\n[0,0,9,0,9,9], 1, 1, -1, 0, 'é'\r\n", 0, {}},
        {1252, 1252, "[KEYDEF]\r\nGroße Tasten für Kinder\r\n", 0, {}},
        {1252, 1252, "[KEYDEF]\r\nPlain\r\n", 0, {}},
        {65001, 1252, "[KEYDEF]\r\nРусская клавиатура\r\n", 0, {}},  // the reader takes UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const std::string text =
            CodePage::Find(std::to_string(c.written_in))->ToNarrow(Utf8ToUtf16(c.utf8));
        const auto guess = GuessCodePage(text, *CodePage::Find(std::to_string(c.read_in)));
        if (!CanGuessCodePage()) {
            EXPECT_FALSE(guess);
            continue;
        }
        ASSERT_EQ(guess ? guess->code_page.Number() : 0u, c.guess);
        if (guess) {
            EXPECT_EQ(guess->sample, c.sample);
        }
    }
}

}  // namespace dravonix
