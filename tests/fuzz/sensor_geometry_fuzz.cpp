// The sensor frame's geometry with any floats (NaN, infinities, denormals, huge) and any sizes:
// no undefined behaviour, every edge within the bound the drawing surface is given, and on any
// frame a screen can show the same pixels as the plain rule worked out without limits.
#include <algorithm>
#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "monitor/SensorGeometry.h"

#include "FuzzCheck.h"

using namespace sensor_geometry;

namespace {

constexpr int32_t kLargestFrame = 4096;  // in pixels, each way

float AnyFloat(FuzzedDataProvider& in)
{
    static constexpr float kExtremes[] = {
        NAN,           -NAN,    INFINITY, -INFINITY, 0.0f,  -0.0f, FLT_MIN, -FLT_MIN,       FLT_TRUE_MIN,
        -FLT_TRUE_MIN, FLT_MAX, -FLT_MAX, 1.0f,      -1.0f, 0.5f,  -0.5f,   kFarCoordinate, -kFarCoordinate,
        65537.0f,      1e9f,    -1e9f,    1e30f,     -1e30f};
    if (in.ConsumeBool())
        return in.PickValueInArray(kExtremes);
    const uint32_t bits = in.ConsumeIntegral<uint32_t>();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

int32_t AnyInt(FuzzedDataProvider& in)
{
    static constexpr int32_t kExtremes[] = {INT32_MIN, INT32_MIN + 1, -65536, -301,          -1,       0, 1, 2, 3, 250,
                                            300,       4096,          65536,  INT32_MAX - 1, INT32_MAX};
    return in.ConsumeBool() ? in.PickValueInArray(kExtremes) : in.ConsumeIntegral<int32_t>();
}

void CheckEdges(const PixelBox& b)
{
    for (int32_t edge : {b.left, b.top, b.right, b.bottom})
        FUZZ_CHECK(edge >= -kFarEdge && edge <= kFarEdge);
}

// A box of a fixed size keeps it, unless an edge was held to the bound.
void CheckSize(const PixelBox& b, int32_t w, int32_t h)
{
    FUZZ_CHECK(b.right - b.left == w || b.left == -kFarEdge || b.right == kFarEdge);
    FUZZ_CHECK(b.bottom - b.top == h || b.top == -kFarEdge || b.bottom == kFarEdge);
}

// The pixels of [from, to) within [0, size) of a frame; a box whose edges are the wrong way
// round holds none. Worked out in long double, where the plain rule's values have no limit.
struct Span {
    long double from, to;
    bool operator==(const Span&) const = default;
};

Span Visible(long double from, long double to, int32_t size)
{
    from = std::max(from, 0.0L);
    to = std::min(to, static_cast<long double>(size));
    return from < to ? Span{from, to} : Span{0, 0};
}

bool SamePixels(const PixelBox& box, long double left, long double top, long double right, long double bottom,
                int32_t w, int32_t h)
{
    const Span x = Visible(box.left, box.right, w), y = Visible(box.top, box.bottom, h);
    const Span px = Visible(left, right, w), py = Visible(top, bottom, h);
    const bool none = x == Span{0, 0} || y == Span{0, 0};
    const bool plainNone = px == Span{0, 0} || py == Span{0, 0};
    return none == plainNone && (none || (x == px && y == py));
}

// A float product truncated toward zero, an infinite one kept: the conversion with no limit.
long double PlainTruncate(float product)
{
    if (std::isnan(product))
        return 0;
    return std::isinf(product) ? static_cast<long double>(product) : std::trunc(static_cast<long double>(product));
}

float NanAsZero(float f) { return std::isnan(f) ? 0.0f : f; }

void CheckPoint(float x, float y, int32_t size, int32_t w, int32_t h)
{
    const PointMarker m = PointGeometry(x, y, size, w, h);
    CheckEdges(m.square);
    CheckEdges(m.label);
    // The square's bottom-right corner is where the label starts: on the point.
    FUZZ_CHECK(m.square.right == m.label.left && m.square.bottom == m.label.top);
    const int64_t half = (size < 0 ? -static_cast<int64_t>(size) : size) / 2;
    FUZZ_CHECK(m.square.left <= m.square.right && m.square.right - m.square.left <= half);
    FUZZ_CHECK(m.square.top <= m.square.bottom && m.square.bottom - m.square.top <= half);
    CheckSize(m.label, 100, 50);

    if (w < 1 || w > kLargestFrame || h < 1 || h > kLargestFrame)
        return;
    const float u = 0.5f * NanAsZero(x) + 0.5f;
    const float v = 0.5f - 0.5f * NanAsZero(y);
    const long double px = PlainTruncate(static_cast<float>(w) * u);
    const long double py = PlainTruncate(static_cast<float>(h) * v);
    FUZZ_CHECK(SamePixels(m.square, px - half, py - half, px, py, w, h));
    FUZZ_CHECK(SamePixels(m.label, px, py, px + 100, py + 50, w, h));
}

void CheckRect(float labelX, float labelY, float left, float right, float top, float bottom, int32_t w, int32_t h)
{
    const RectMarker m = RectGeometry(labelX, labelY, left, right, top, bottom, w, h);
    CheckEdges(m.rect);
    CheckEdges(m.label);
    CheckSize(m.label, 70, 70);

    // Coordinates beyond the far bound are pulled in before the span between them is taken:
    // there the plain rule's float span would lose the near edge, and no comparison is fair.
    const float all[] = {labelX, labelY, left, right, top, bottom};
    for (float c : all)
        if (std::fabs(c) > kFarCoordinate)
            return;
    if (w < 1 || w > kLargestFrame || h < 1 || h > kLargestFrame)
        return;
    left = NanAsZero(left), right = NanAsZero(right), top = NanAsZero(top), bottom = NanAsZero(bottom);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    const float spanX = right - left, spanY = bottom - top, labelU = 0.5f * NanAsZero(labelX) + 0.5f;
    const long double x0 = PlainTruncate(left * fw), y0 = PlainTruncate(top * fh);
    const long double rw = PlainTruncate(spanX * fw), rh = PlainTruncate(spanY * fh);
    FUZZ_CHECK(SamePixels(m.rect, x0, y0, x0 + rw, y0 + rh, w, h));
    const long double lx = PlainTruncate(labelU * fw), ly = PlainTruncate(-NanAsZero(labelY) * fh);
    FUZZ_CHECK(SamePixels(m.label, lx, ly, lx + 70, ly + 70, w, h));
}

void CheckMouse(int32_t x, int32_t y, const PixelBox& frame)
{
    const UnitPoint at = MouseToUnit(x, y, frame);
    FUZZ_CHECK(at.over == (x >= frame.left && x <= frame.right && y >= frame.top && y <= frame.bottom));
    if (!at.over) {
        FUZZ_CHECK(at.u == 0 && at.v == 0);
        return;
    }
    FUZZ_CHECK(at.u >= 0 && at.u <= 1 && at.v >= 0 && at.v <= 1);
    // The edges report 0 and 1 exactly, and nothing else does while a float can tell the
    // positions apart.
    const int64_t spanX = int64_t{frame.right} - frame.left, spanY = int64_t{frame.bottom} - frame.top;
    FUZZ_CHECK((x == frame.left) == (at.u == 0) || spanX == 0);
    FUZZ_CHECK((y == frame.top) == (at.v == 0) || spanY == 0);
    FUZZ_CHECK((x == frame.right) == (at.u == 1) || spanX == 0 || spanX > (1 << 24));
    FUZZ_CHECK((y == frame.bottom) == (at.v == 1) || spanY == 0 || spanY > (1 << 24));
    // One pixel further right or down never reports less.
    if (x < frame.right)
        FUZZ_CHECK(MouseToUnit(x + 1, y, frame).u >= at.u);
    if (y < frame.bottom)
        FUZZ_CHECK(MouseToUnit(x, y + 1, frame).v >= at.v);
}

void CheckTrackerBit(int32_t tracker)
{
    const auto bit = static_cast<uint32_t>(TrackerBit(tracker));
    FUZZ_CHECK(std::popcount(bit) == 1);
    FUZZ_CHECK(bit == uint32_t{1} << (static_cast<uint32_t>(tracker) % 32));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const float x = AnyFloat(in), y = AnyFloat(in);
            const int32_t markerSize = AnyInt(in), w = AnyInt(in), h = AnyInt(in);
            CheckPoint(x, y, markerSize, w, h);
            break;
        }
        case 1: {
            const float lx = AnyFloat(in), ly = AnyFloat(in), l = AnyFloat(in), r = AnyFloat(in);
            const float t = AnyFloat(in), b = AnyFloat(in);
            const int32_t w = AnyInt(in), h = AnyInt(in);
            CheckRect(lx, ly, l, r, t, b, w, h);
            break;
        }
        case 2: {
            const int32_t x = AnyInt(in), y = AnyInt(in);
            const PixelBox frame{AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in)};
            CheckMouse(x, y, frame);
            break;
        }
        default: CheckTrackerBit(AnyInt(in)); break;
        }
    }
    return 0;
}
