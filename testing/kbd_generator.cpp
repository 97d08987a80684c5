#include "testing/kbd_generator.h"

#include <algorithm>
#include <cstdio>

namespace dravonix {

namespace {

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }

private:
    std::uint64_t state_;
};

void Line(std::string& out, const std::string& text) {
    out += text;
    out += "\r\n";
}

std::string Outline(Random& random, int x, int y) {
    int w = 30 + random.Below(40);
    int h = 30 + random.Below(20);
    char buffer[96];
    if (random.Below(4) == 0) {  // some keys are L-shaped
        std::snprintf(buffer, sizeof buffer, "[%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d]", x, y, x + w,
                      y, x + w, y + h, x + w / 2, y + h, x + w / 2, y + h / 2, x, y + h / 2);
    } else {
        std::snprintf(buffer, sizeof buffer, "[%d,%d,%d,%d,%d,%d,%d,%d]", x, y, x + w, y, x + w,
                      y + h, x, y + h);
    }
    return buffer;
}

std::string CharacterKey(Random& random, int x, int y, bool upper) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789.,-' ;#";
    char c = kLetters[random.Below(static_cast<int>(sizeof kLetters) - 1)];
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, ", %d, 1, -1, 0, '%c'", 1 + random.Below(4), c);
    return Outline(random, x, y) + buffer;
}

// Bytes of one key line, on average; sizes the last panel.
constexpr std::size_t kBytesPerKeyLine = 48;
// Fewest keys of a section, even in a cut-down last panel.
constexpr int kMinSectionKeys = 16;

// Writes one panel. Its key counts are drawn at random and then cut down to
// what fits in budget bytes, so that the last panel of a file ends close to
// the requested size (the panels before it never need cutting).
void Panel(std::string& out, Random& random, int number, std::size_t budget) {
    const auto fitting = static_cast<int>(std::min<std::size_t>(budget / kBytesPerKeyLine, 4096));
    auto fit = [&](int drawn, int share) {
        return std::min(drawn, std::max(kMinSectionKeys, fitting / share));
    };
    Line(out, "; panel " + std::to_string(number));
    Line(out, "[KEYDEF]");
    Line(out, "Generated keyboard " + std::to_string(number));
    Line(out, "xres=" + std::to_string(640 + 160 * random.Below(8)));
    Line(out, "minout=" + std::to_string(random.Below(5)));
    Line(out, "normal jpeg=images\\panel" + std::to_string(number) + ".jpg");
    Line(out, "pressed jpeg=images\\panel" + std::to_string(number) + "_down.jpg");
    Line(out, "[SOUNDS]");
    for (int id = 1; id <= 4; ++id) {
        Line(out, std::to_string(id) + "=sounds\\click" + std::to_string(id) + ".wav");
    }
    Line(out, "[/SOUNDS]");
    Line(out, "[NOT INFLUENCED BY SHIFT]");
    int keys = fit(200 + random.Below(200), 2);
    for (int i = 0; i < keys; ++i) {
        int x = (i % 16) * 64;
        int y = (i / 16) * 48;
        int kind = random.Below(20);
        if (kind == 0) {  // a macro
            Line(out, Outline(random, x, y) + ", 2, 7, -1, 0, 'm'   ; macro");
            int strokes = 2 + random.Below(6);
            for (int s = 0; s < strokes; ++s) {
                if (random.Below(2) == 0) {
                    Line(out, std::to_string(65 + random.Below(26)) + "," +
                                  std::to_string(random.Below(2)));
                } else {
                    Line(out,
                         std::string("-1,0,'") + static_cast<char>('a' + random.Below(26)) + "'");
                }
            }
            Line(out, ".MACROENDS");
        } else if (kind == 1) {
            Line(out, Outline(random, x, y) + ", 3, 16, \"target" + std::to_string(i) + "\"");
        } else {
            Line(out, Outline(random, x, y) + ", 1, 1, " + std::to_string(8 + random.Below(120)) +
                          ", 0, ' '");
        }
    }
    Line(out, "[/NOT INFLUENCED BY SHIFT]");
    for (int shifted = 0; shifted < 2; ++shifted) {
        Line(out, shifted ? "[SHIFT/CAPS ON]" : "[SHIFT/CAPS OFF]");
        int count = fit(100 + random.Below(100), 4);
        for (int i = 0; i < count; ++i) {
            Line(out, CharacterKey(random, (i % 16) * 64, (i / 16) * 48, shifted == 1));
        }
        Line(out, shifted ? "[/SHIFT/CAPS ON]" : "[/SHIFT/CAPS OFF]");
    }
    Line(out, "[/KEYDEF]");
}

}  // namespace

std::string GenerateKbd(std::size_t target_bytes, std::uint64_t seed) {
    Random random(seed);
    std::string out;
    out.reserve(target_bytes + 64 * 1024);
    Line(out, "; generated keyboard file, seed " + std::to_string(seed));
    int number = 0;
    do {
        const std::size_t left = out.size() < target_bytes ? target_bytes - out.size() : 0;
        Panel(out, random, ++number, left);
    } while (out.size() < target_bytes);
    return out;
}

}  // namespace dravonix
