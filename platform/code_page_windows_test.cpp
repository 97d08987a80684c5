// Compares the code pages with Windows' own conversions for every single
// byte, every pair of each lead byte and every character below U+10000 (run
// under Wine here). One difference is allowed, by design: bytes that Windows
// refuses as no character (MB_ERR_INVALID_CHARS) read here as U+FFFD, where
// Windows gives its default character (U+30FB in 932, "?" in the others).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/code_page.h"

namespace dravonix {

TEST(CodePageWindows, ReadsAndWritesAsWindowsDoes) {
    for (const unsigned number : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u,
                                  1258u, 932u, 936u, 949u, 950u}) {
        SCOPED_TRACE(number);
        const CodePage page = *CodePage::Find(std::to_string(number));
        std::size_t refused = 0;
        auto check_read = [&](const std::string& bytes) {
            WCHAR units[4];
            const int size = static_cast<int>(bytes.size());
            const int count =
                ::MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, bytes.data(), size, units, 4);
            std::size_t length = 0;
            const char32_t ours = page.ReadCharacter(bytes, &length);
            if (count == 1) {
                EXPECT_EQ(ours, units[0]) << std::hex << bytes;
                EXPECT_EQ(length, bytes.size());
                return;
            }
            // Windows refuses the bytes as no character but still reads a
            // single byte, as a filler the tables share.
            ASSERT_EQ(::MultiByteToWideChar(number, 0, bytes.data(), size, units, 4) >= 1, true);
            if (bytes.size() == 1) {
                EXPECT_EQ(ours, units[0]);
            } else {
                EXPECT_EQ(ours, 0xFFFDu);
                ++refused;
            }
        };
        for (unsigned lead = 0; lead < 256; ++lead) {
            const std::string single(1, static_cast<char>(lead));
            const bool windows_lead = ::IsDBCSLeadByteEx(number, static_cast<BYTE>(lead)) != 0;
            ASSERT_EQ(page.IsLeadByte(static_cast<unsigned char>(lead)), windows_lead) << lead;
            if (!windows_lead) {
                check_read(single);
                continue;
            }
            for (unsigned trail = 0; trail < 256; ++trail)
                check_read(single + static_cast<char>(trail));
        }
        EXPECT_EQ(refused == 0, !page.IsDoubleByte());
        for (unsigned unit = 0x80; unit < 0x10000; ++unit) {
            if (unit >= 0xD800 && unit <= 0xDFFF) continue;
            const WCHAR wide = static_cast<WCHAR>(unit);
            char bytes[4];
            BOOL used_default = FALSE;
            const int count = ::WideCharToMultiByte(number, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes,
                                                    4, nullptr, &used_default);
            std::string ours;
            const bool has_bytes = page.AppendCharacter(unit, ours);
            ASSERT_GT(count, 0);
            EXPECT_EQ(has_bytes, !used_default) << std::hex << unit;
            if (has_bytes) {
                EXPECT_EQ(ours, std::string(bytes, count)) << std::hex << unit;
            }
        }
    }
}

}  // namespace dravonix
