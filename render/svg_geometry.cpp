#include "render/svg_geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace dravonix {

void Box::Add(double x, double y) {
    if (empty) {
        x0 = x1 = x;
        y0 = y1 = y;
        empty = false;
        return;
    }
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
}

void Box::Add(const Box& other) {
    if (other.empty) return;
    Add(other.x0, other.y0);
    Add(other.x1, other.y1);
}

Box ShapeBounds(const KeyShape& shape) {
    Box box;
    for (const RectRecord& r : shape.rect) {
        box.Add(r.x1, r.y1);
        box.Add(r.x2, r.y2);
    }
    for (const EllipseRecord& e : shape.ellipse) {
        box.Add(e.x1, e.y1);
        box.Add(e.x2, e.y2);
    }
    for (const RoundRectRecord& r : shape.roundrect) {
        box.Add(r.x1, r.y1);
        box.Add(r.x2, r.y2);
    }
    for (const PolygonRecord& polygon : shape.polygon) {
        for (const PointRecord& p : polygon.point) box.Add(p.x, p.y);
    }
    return box;
}

PictureSize FitPicture(double width, double height) {
    width = std::max(width, 1.0);
    height = std::max(height, 1.0);
    const double scale = std::min({1.0, kMaxPictureSide / width, kMaxPictureSide / height});
    return {std::max(1.0, std::round(width * scale)), std::max(1.0, std::round(height * scale))};
}

namespace {

/// Appends value with three decimals, trailing zeros dropped, rounded as
/// std::to_chars rounds (to the nearest, a tie to even) but without its
/// general machinery, which would cost more than the rest of the picture:
/// a double of at least 1 and below 2^30 is m * 2^-s with m below 2^53 and
/// s from 23 to 52, so value * 1000 is m * 1000 (below 2^63) shifted right,
/// exactly. False, with nothing appended, for values outside that range.
bool AppendThreeDecimals(double value, std::string& out) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1 && magnitude < 0x1p30)) return false;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const unsigned shift = 1075u - static_cast<unsigned>(bits >> 52);
    const std::uint64_t scaled = ((bits & ((1ull << 52) - 1)) | (1ull << 52)) * 1000;
    std::uint64_t thousandths = scaled >> shift;
    const std::uint64_t rest = scaled & ((1ull << shift) - 1);
    const std::uint64_t half = 1ull << (shift - 1);
    if (rest > half || (rest == half && (thousandths & 1) != 0)) ++thousandths;
    char buffer[32];
    char* end = buffer;
    if (value < 0) *end++ = '-';
    end = std::to_chars(end, buffer + sizeof buffer, thousandths / 1000).ptr;
    unsigned fraction = static_cast<unsigned>(thousandths % 1000);
    if (fraction != 0) {
        *end++ = '.';
        for (unsigned unit = 100; fraction != 0; unit /= 10) {
            *end++ = static_cast<char>('0' + fraction / unit);
            fraction %= unit;
        }
    }
    out.append(buffer, end);
    return true;
}

}  // namespace

void AppendNumber(double value, std::string& out) {
    if (!std::isfinite(value)) value = 0;
    char buffer[64];
    std::to_chars_result result{};
    const double rounded = std::round(value);
    if (rounded == value && std::fabs(value) < 1e15) {
        result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
    } else if (std::fabs(value) < 1) {  // six significant digits: scales can be tiny
        result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    } else if (AppendThreeDecimals(value, out)) {
        return;
    } else {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
        if (result.ec == std::errc()) {
            while (result.ptr[-1] == '0') --result.ptr;
            if (result.ptr[-1] == '.') --result.ptr;
        }
    }
    if (result.ec != std::errc()) {
        out += '0';
        return;
    }
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (text == "-0") text = "0";
    out.append(text);
}

std::string NumberText(double value) {
    std::string text;
    AppendNumber(value, text);
    return text;
}

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) text.append(part);
    return text;
}

}  // namespace dravonix
