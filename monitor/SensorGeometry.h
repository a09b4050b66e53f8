// Where the sensors window's drawings and mouse positions land on its frame, free of window types.
// Point space runs from -1 to 1 with y up and (0, 0) at the frame's centre; unit space from 0 to 1
// with y down from the frame's top-left corner. Pixels are relative to that corner.
#pragma once

#include <cmath>
#include <cstdint>

namespace sensor_geometry {

// Edges of a box in pixels, right and bottom exclusive.
struct PixelBox {
    int32_t left, top, right, bottom;
    bool operator==(const PixelBox&) const = default;
};

// The host passes whatever floats it has: NaN is taken as 0, and anything beyond these bounds
// is pulled back to them before any conversion to integers, so that no conversion overflows.
// The bounds lie so far outside a frame that clamping never moves a pixel that could show: a
// product is held beyond the reach of the largest marker square (2^30) from any frame.
inline constexpr float kFarCoordinate = 65536.0f;       // in point or unit space
inline constexpr float kFarProduct = 1099511627776.0f;  // 2^40, a product in pixels
inline constexpr int64_t kFarEdge = int64_t{1} << 26;   // an edge handed to the drawing surface

inline float Tame(float coordinate)
{
    if (std::isnan(coordinate))
        return 0.0f;
    return coordinate < -kFarCoordinate ? -kFarCoordinate : coordinate > kFarCoordinate ? kFarCoordinate : coordinate;
}

// A pixel product truncated toward zero, as a plain float-to-integer conversion does.
inline int64_t Truncate(float product)
{
    if (std::isnan(product))
        return 0;
    if (product < -kFarProduct)
        product = -kFarProduct;
    if (product > kFarProduct)
        product = kFarProduct;
    return static_cast<int64_t>(product);
}

inline int32_t Edge(int64_t pixel)
{
    return static_cast<int32_t>(pixel < -kFarEdge ? -kFarEdge : pixel > kFarEdge ? kFarEdge : pixel);
}

inline PixelBox Box(int64_t left, int64_t top, int64_t width, int64_t height)
{
    return {Edge(left), Edge(top), Edge(left + width), Edge(top + height)};
}

struct PointMarker {
    PixelBox square;  // empty for sizes -1 to 1
    PixelBox label;
};

// The marker square has side |size| / 2 and its bottom-right corner on the point; the label box
// is 100 x 50 from the point. Only the point's pixel product is held, not its coordinates: a
// point pulled in to the far coordinate lies near enough for a large square to reach the frame.
inline PointMarker PointGeometry(float x, float y, int32_t size, int32_t width, int32_t height)
{
    const float u = 0.5f * (std::isnan(x) ? 0.0f : x) + 0.5f;
    const float v = 0.5f - 0.5f * (std::isnan(y) ? 0.0f : y);
    const int64_t px = Truncate(static_cast<float>(width) * u);
    const int64_t py = Truncate(static_cast<float>(height) * v);
    const int64_t magnitude = size < 0 ? -static_cast<int64_t>(size) : size;  // INT_MIN included
    const int64_t half = magnitude / 2;
    return {Box(px - half, py - half, half, half), Box(px, py, 100, 50)};
}

struct RectMarker {
    PixelBox rect;
    PixelBox label;
};

// The rectangle in unit space; the label box, 70 x 70, at the point-space x of labelX and at
// -labelY frame heights below the frame's top. The width and height are scaled from the
// differences, not taken between the scaled edges.
inline RectMarker RectGeometry(float labelX, float labelY, float left, float right, float top, float bottom,
                               int32_t width, int32_t height)
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    left = Tame(left);
    right = Tame(right);
    top = Tame(top);
    bottom = Tame(bottom);
    // Each step is stored as a float: a target that computes floats wider must not move a pixel.
    const float spanX = right - left;
    const float spanY = bottom - top;
    const float labelU = 0.5f * Tame(labelX) + 0.5f;
    const int64_t rw = Truncate(spanX * w);
    const int64_t rh = Truncate(spanY * h);
    const int64_t x0 = Truncate(left * w);
    const int64_t y0 = Truncate(top * h);
    const int64_t lx = Truncate(labelU * w);
    const int64_t ly = Truncate(-Tame(labelY) * h);
    return {Box(x0, y0, rw, rh), Box(lx, ly, 70, 70)};
}

// A mouse position over the frame, in unit space.
struct UnitPoint {
    bool over;  // false: the position is not reported
    float u, v;
};

// `frame` is the frame's client rectangle in the same coordinates as (x, y). Every edge counts
// as over the frame, the column and row just past it included, where u or v is 1.
inline UnitPoint MouseToUnit(int32_t x, int32_t y, const PixelBox& frame)
{
    if (x < frame.left || x > frame.right || y < frame.top || y > frame.bottom)
        return {false, 0.0f, 0.0f};
    // A frame without extent reports its one position as 0 rather than dividing by zero.
    const double spanX = static_cast<double>(frame.right) - frame.left;
    const double spanY = static_cast<double>(frame.bottom) - frame.top;
    const double u = spanX > 0 ? (static_cast<double>(x) - frame.left) / spanX : 0.0;
    const double v = spanY > 0 ? (static_cast<double>(y) - frame.top) / spanY : 0.0;
    return {true, static_cast<float>(u), static_cast<float>(v)};
}

// The bit that "Update" reports for a tracker: its number's low five bits, so that any number,
// negative ones included, names one of 32 bits.
inline int32_t TrackerBit(int32_t tracker)
{
    return static_cast<int32_t>(uint32_t{1} << (static_cast<uint32_t>(tracker) & 31u));
}

}  // namespace sensor_geometry
