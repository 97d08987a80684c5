// Compares the code pages with the C library's own converter (glibc's iconv,
// which scripts/code_page_tables.py made the tables from) for every single
// byte, every pair of each lead byte and every character below U+10000. The
// only differences allowed are the ones the tables add where Windows maps more
// than glibc: C1 controls and private-use characters for bytes and pairs that
// glibc leaves without a character, U+05BA for 1255's 0xCA, and four
// box-drawing characters that 950 writes with their second pair.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "platform/code_page.h"

namespace dravonix {

namespace {

/// One iconv conversion; Convert gives the whole output or false.
class Iconv {
public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    bool Convert(std::string_view input, std::string* output) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string in(input);
        char buffer[32];
        char* in_at = in.data();
        char* out_at = buffer;
        std::size_t in_left = in.size(), out_left = sizeof buffer;
        if (iconv(handle_, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1) ||
            in_left != 0 ||
            iconv(handle_, nullptr, nullptr, &out_at, &out_left) == static_cast<std::size_t>(-1)) {
            return false;
        }
        output->assign(buffer, static_cast<std::size_t>(out_at - buffer));
        return true;
    }

private:
    iconv_t handle_;
};

/// The one character glibc reads bytes as, or 0 when it reads none or more.
char32_t GlibcCharacter(Iconv& decode, std::string_view bytes) {
    std::string utf32;
    if (!decode.Convert(bytes, &utf32) || utf32.size() != 4) return 0;
    char32_t character = 0;
    for (int i = 3; i >= 0; --i) character = character << 8 | static_cast<unsigned char>(utf32[i]);
    return character;
}

bool IsPrivateUse(char32_t character) { return character >= 0xE000 && character <= 0xF8FF; }

}  // namespace

TEST(CodePageIconv, ReadsAndWritesAsGlibcDoesBesideWindowsAdditions) {
    for (const unsigned number : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u,
                                  1258u, 932u, 936u, 949u, 950u}) {
        SCOPED_TRACE(number);
        const CodePage page = *CodePage::Find(std::to_string(number));
        const std::string name = "CP" + std::to_string(number);
        Iconv decode("UTF-32LE", name.c_str());
        Iconv encode(name.c_str(), "UTF-32LE");
        ASSERT_TRUE(decode.valid() && encode.valid());
        auto check_read = [&](const std::string& bytes, bool may_be_none) {
            std::size_t length = 0;
            const char32_t ours = page.ReadCharacter(bytes, &length);
            const char32_t glibc = GlibcCharacter(decode, bytes);
            if (glibc != 0 || bytes == std::string(1, '\0')) {
                EXPECT_EQ(ours, glibc) << std::hex << bytes;
                EXPECT_EQ(length, bytes.size());
                return;
            }
            if (may_be_none && ours == 0xFFFD) return;
            const bool c1_of_its_number =
                bytes.size() == 1 && ours == static_cast<unsigned char>(bytes[0]) && ours < 0xA0;
            const bool holam = number == 1255 && bytes == "\xCA" && ours == 0x05BA;
            EXPECT_TRUE(c1_of_its_number || holam || IsPrivateUse(ours))
                << std::hex << int(static_cast<unsigned char>(bytes[0])) << " "
                << static_cast<std::uint32_t>(ours);
        };
        for (unsigned lead = 0; lead < 256; ++lead) {
            const std::string single(1, static_cast<char>(lead));
            if (!page.IsLeadByte(static_cast<unsigned char>(lead))) {
                check_read(single, false);
                continue;
            }
            for (unsigned trail = 0; trail < 256; ++trail) {
                check_read(single + static_cast<char>(trail), true);
            }
        }
        for (char32_t character = 0x80; character < 0x10000; ++character) {
            if (character >= 0xD800 && character <= 0xDFFF) continue;
            std::string ours;
            const bool has_bytes = page.AppendCharacter(character, ours);
            std::string utf32(4, '\0');
            for (int i = 0; i < 4; ++i) utf32[i] = static_cast<char>(character >> (8 * i));
            std::string glibc;
            if (!encode.Convert(utf32, &glibc)) {
                EXPECT_TRUE(!has_bytes || IsPrivateUse(character) || character < 0xA0 ||
                            character == 0x05BA)
                    << std::hex << static_cast<std::uint32_t>(character);
                continue;
            }
            std::size_t length = 0;
            if (page.ReadCharacter(glibc, &length) != character) continue;  // not read back
            const bool box_drawing = number == 950 && (character == 0x2550 || character == 0x255E ||
                                                       character == 0x2561 || character == 0x256A);
            if (!box_drawing) {
                EXPECT_EQ(ours, glibc) << std::hex << static_cast<std::uint32_t>(character);
            }
        }
    }
}

}  // namespace dravonix
