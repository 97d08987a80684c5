// Plain value records of the keyboard model: shape records, points, macro
// strokes, the two geometry records of a panel, and the sound table.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace dravonix {

/// A rectangle of a shape.
struct RectRecord {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    std::string mode;
    bool operator==(const RectRecord&) const = default;
};

/// An ellipse of a shape, given by its bounding rectangle.
struct EllipseRecord {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    std::string mode;
    bool operator==(const EllipseRecord&) const = default;
};

/// A rectangle with rounded corners.
struct RoundRectRecord {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    std::int32_t widthellipse = 0;
    std::int32_t heightellipse = 0;
    std::string mode;
    bool operator==(const RoundRectRecord&) const = default;
};

/// One corner of a polygon; -1 means "not set" for a point read from XML.
struct PointRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const PointRecord&) const = default;
};

/// A polygon: its corners in order.
struct PolygonRecord {
    std::vector<PointRecord> point;
    std::string polymode;
    std::string mode;
    bool operator==(const PolygonRecord&) const = default;
};

/// One stroke of a macro: either a virtual key with its state, or a character
/// (then vkey and pressed stay -1).
struct MacroKey {
    std::int32_t vkey = -1;
    std::int32_t pressed = -1;
    char character = 0;  // the "char" attribute; 0 means none
    bool operator==(const MacroKey&) const = default;
};

/// The docking rectangle of a panel.
struct DockRect {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    bool operator==(const DockRect&) const = default;
};

/// The hot spot of a panel.
struct HotSpot {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const HotSpot&) const = default;
};

/// A panel's sounds: id to sound file name, unique ids in ascending order.
/// Inserting an id that is present keeps the first file name (map::emplace).
using SoundTable = std::map<std::int32_t, std::string>;

}  // namespace dravonix
