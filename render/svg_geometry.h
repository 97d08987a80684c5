// Geometry of the picture: bounds of outlines in the file's own coordinates,
// the picture size that a view box gets, and numbers as SVG text. Everything
// is computed in double, which holds every 32-bit coordinate and every sum
// or difference of two of them exactly.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "model/key_shape.h"

namespace dravonix {

/// An axis-aligned box; empty until something is added to it.
struct Box {
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    bool empty = true;

    /// Grows the box to hold the point.
    void Add(double x, double y);
    /// Grows the box to hold other (nothing when other is empty).
    void Add(const Box& other);
    double Width() const { return empty ? 0 : x1 - x0; }
    double Height() const { return empty ? 0 : y1 - y0; }
};

/// The box around every record of shape (the corners of rectangles, ellipses
/// and rounded rectangles, and every polygon point); empty when the shape has
/// no record or only polygons without points.
Box ShapeBounds(const KeyShape& shape);

/// The largest width or height of a picture, in pixels.
constexpr double kMaxPictureSide = 4096;

/// Pixel size of a picture whose view box is width by height user units:
/// one pixel per unit, scaled down (keeping the proportions) so that neither
/// side exceeds kMaxPictureSide; at least one pixel each way.
struct PictureSize {
    double width = 1;
    double height = 1;
};
PictureSize FitPicture(double width, double height);

/// Appends value as an SVG number: a whole number without a fraction, one
/// below 1 in magnitude with six significant digits (with an exponent when
/// tiny), others with at most three decimals (trailing zeros dropped).
void AppendNumber(double value, std::string& out);

/// AppendNumber into a new string.
std::string NumberText(double value);

/// The parts one after the other (attribute values made of numbers and words).
std::string Concat(std::initializer_list<std::string_view> parts);

}  // namespace dravonix
