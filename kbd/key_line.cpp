#include "kbd/key_line.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "kbd/scanner.h"

namespace dravonix {

namespace {

/// Reads the outline between "[" (position 0) and the "]" at close. Each pair
/// is scanned with "%d,%d,"; after a pair the scan jumps past two commas to
/// the next pair, so an odd final coordinate is ignored.
PolygonRecord ReadOutline(std::string_view line, std::size_t close) {
    PolygonRecord polygon;
    // Each pair after the first takes two commas: reserve the corners at once.
    const auto commas = static_cast<std::size_t>(
        std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(close), ','));
    polygon.point.reserve(std::min(commas / 2 + 1, kMaxKeyLinePoints));
    std::size_t c = 0;
    while (polygon.point.size() < kMaxKeyLinePoints) {
        Scanner scan(line, c + 1);
        std::int32_t x = 0;
        std::int32_t y = 0;
        if (!(scan.Int(x) && scan.Match(",") && scan.Int(y))) break;
        polygon.point.push_back(PointRecord{x, y});
        c = line.find(',', c + 1);
        if (c == std::string_view::npos) break;
        c = line.find(',', c + 1);
        if (c == std::string_view::npos || c >= close) break;
    }
    return polygon;
}

}  // namespace

void ParseKeyLine(std::string_view line, Key& key) {
    if (line.empty() || line[0] != '[') return;
    const std::size_t close = line.find(']', 1);
    if (close == std::string_view::npos) return;

    key.shape.polygon.push_back(ReadOutline(line, close));

    const std::size_t comma = line.find(',', close + 1);
    if (comma == std::string_view::npos) return;
    const std::size_t items = comma + 1;

    // " %d , %d , %d , %d , '%c'": sound, type, vkey, an unused number, the
    // character; the members up to the first item that fails are set.
    std::int32_t unused = 0;
    char character = 0;
    Scanner scan(line, items);
    (void)(scan.Match(" ") && scan.Int(key.sound) && scan.Match(" , ") && scan.Int(key.type) &&
           scan.Match(" , ") && scan.Int(key.vkey) && scan.Match(" , ") && scan.Int(unused) &&
           scan.Match(" , '") && scan.Char(character));

    if (key.type == 16) {
        // " %d , %d , \"%[^\"]\"": the same sound and type, then the target text.
        std::string target;
        Scanner rescan(line, items);
        (void)(rescan.Match(" ") && rescan.Int(key.sound) && rescan.Match(" , ") &&
               rescan.Int(key.type) && rescan.Match(" , \"") &&
               rescan.TextUntil('"', kMaxKeyTargetLength, target));
        key.target = std::move(target);
    }

    if (key.vkey == -1 && character != 0) key.character = character;
}

}  // namespace dravonix
