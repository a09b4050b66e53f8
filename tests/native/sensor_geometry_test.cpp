#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "monitor/SensorGeometry.h"

namespace sensor_geometry {
static std::ostream& operator<<(std::ostream& out, const PixelBox& b)
{
    return out << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
}
}  // namespace sensor_geometry

using namespace sensor_geometry;

namespace {

constexpr int32_t W = 300, H = 250;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

bool Ordered(const PixelBox& b) { return b.left <= b.right && b.top <= b.bottom; }

}  // namespace

TEST(SensorGeometry, PointMarkerSitsUpAndLeftOfThePointWithHalfTheSize)
{
    EXPECT_EQ(PointGeometry(0, 0, 10, W, H).square, (PixelBox{145, 120, 150, 125}));
    EXPECT_EQ(PointGeometry(0, 0, -10, W, H).square, (PixelBox{145, 120, 150, 125}));
    EXPECT_EQ(PointGeometry(0, 0, -11, W, H).square, (PixelBox{145, 120, 150, 125}));
    EXPECT_EQ(PointGeometry(0, 0, 10, W, H).label, (PixelBox{150, 125, 250, 175}));
    // Sizes 1, 0 and -1: an empty square, the label still placed.
    for (int size : {1, 0, -1}) {
        const PointMarker m = PointGeometry(0, 0, size, W, H);
        EXPECT_EQ(m.square, (PixelBox{150, 125, 150, 125})) << size;
        EXPECT_EQ(m.label, (PixelBox{150, 125, 250, 175})) << size;
    }
    // The top-left corner: the square just outside, the label box from the frame's origin.
    const PointMarker corner = PointGeometry(-1, 1, 10, W, H);
    EXPECT_EQ(corner.square, (PixelBox{-5, -5, 0, 0}));
    EXPECT_EQ(corner.label, (PixelBox{0, 0, 100, 50}));
    EXPECT_EQ(PointGeometry(1, -1, 4, W, H).square, (PixelBox{298, 248, 300, 250}));
}

TEST(SensorGeometry, RectangleInUnitSpaceAndItsLabelBelowTheTop)
{
    const RectMarker m = RectGeometry(0, -0.5f, 0.25f, 0.75f, 0.5f, 1, W, H);
    EXPECT_EQ(m.rect, (PixelBox{75, 125, 225, 250}));
    EXPECT_EQ(m.label, (PixelBox{150, 125, 220, 195}));
    EXPECT_EQ(RectGeometry(0, 0.5f, 0, 1, 0, 1, W, H).label, (PixelBox{150, -125, 220, -55}));
    EXPECT_EQ(RectGeometry(-1, 0, 0, 1, 0, 1, W, H).label, (PixelBox{0, 0, 70, 70}));
    // The width is scaled from the difference, not taken between the scaled edges: 0.19 to 0.21
    // on 10 pixels is 0 wide at 1, not the column 1..2.
    EXPECT_EQ(RectGeometry(0, 0, 0.19f, 0.21f, 0, 1, 10, 10).rect, (PixelBox{1, 0, 1, 10}));
}

// Inside and around the frame, taming the inputs changes no pixel of the plain float rule.
TEST(SensorGeometry, ClampingLeavesEveryPixelNearTheFrameAsThePlainRule)
{
    for (int i = -3000; i <= 3000; ++i) {
        const float c = static_cast<float>(i) / 1000.0f;
        const int px = static_cast<int>(static_cast<float>(W) * (0.5f * c + 0.5f));
        const int py = static_cast<int>(static_cast<float>(H) * (0.5f - 0.5f * c));
        const PointMarker p = PointGeometry(c, c, 7, W, H);
        ASSERT_EQ(p.square, (PixelBox{px - 3, py - 3, px, py})) << c;

        const float far = c + 0.37f;
        const int x0 = static_cast<int>(c * W), y0 = static_cast<int>(c * H);
        const int rw = static_cast<int>((far - c) * W), rh = static_cast<int>((far - c) * H);
        const int lx = static_cast<int>((0.5f * c + 0.5f) * W), ly = static_cast<int>(-c * H);
        const RectMarker r = RectGeometry(c, c, c, far, c, far, W, H);
        ASSERT_EQ(r.rect, (PixelBox{x0, y0, x0 + rw, y0 + rh})) << c;
        ASSERT_EQ(r.label, (PixelBox{lx, ly, lx + 70, ly + 70})) << c;
    }
}

TEST(SensorGeometry, NanInfiniteAndHugeInputsGiveBoundedBoxes)
{
    const float wild[] = {kNaN, kInf, -kInf, 3e38f, -3e38f, 1e9f, -1e9f};
    for (float a : wild) {
        for (float b : wild) {
            SCOPED_TRACE(testing::Message() << a << ", " << b);
            const PointMarker p = PointGeometry(a, b, INT_MIN, W, H);
            EXPECT_TRUE(Ordered(p.square)) << p.square;
            const RectMarker r = RectGeometry(a, b, a, b, b, a, W, H);
            EXPECT_LE(std::abs(static_cast<int64_t>(r.rect.left)), kFarEdge);
            EXPECT_LE(std::abs(static_cast<int64_t>(r.rect.right)), kFarEdge);
            EXPECT_LE(std::abs(static_cast<int64_t>(r.label.top)), kFarEdge);
        }
    }
    // NaN counts as 0: the frame's centre in point space, its top-left corner in unit space.
    EXPECT_EQ(PointGeometry(kNaN, kNaN, 2, W, H).label.left, 150);
    EXPECT_EQ(PointGeometry(kNaN, kNaN, 2, W, H).label.top, 125);
    EXPECT_EQ(RectGeometry(kNaN, kNaN, kNaN, 0.5f, kNaN, 0.5f, W, H).rect, (PixelBox{0, 0, 150, 125}));
    // The extreme size reaches far beyond the frame, its bottom-right corner still on the point.
    const PointMarker huge = PointGeometry(0, 0, INT_MIN, W, H);
    EXPECT_EQ(huge.square.right, 150);
    EXPECT_EQ(huge.square.bottom, 125);
    EXPECT_LT(huge.square.left, -1000000);
    // A point far beyond the frame keeps even the largest square off it.
    for (float far : {1e9f, kInf})
        EXPECT_GE(PointGeometry(far, 0, INT_MIN, W, H).square.left, W) << far;
    // A rectangle from far left to far right still covers the whole frame.
    const RectMarker cover = RectGeometry(0, 0, -kInf, kInf, -1e30f, 1e30f, W, H);
    EXPECT_LT(cover.rect.left, 0);
    EXPECT_GT(cover.rect.right, W);
    EXPECT_LT(cover.rect.top, 0);
    EXPECT_GT(cover.rect.bottom, H);
    // A frame of any size keeps the products in range.
    EXPECT_TRUE(Ordered(PointGeometry(kInf, -kInf, INT_MAX, INT_MAX, INT_MAX).square));
}

TEST(SensorGeometry, MouseCountsEveryEdgeAndTheColumnAndRowPastIt)
{
    const PixelBox frame{10, 20, 310, 270};
    const auto at = [&](int x, int y) { return MouseToUnit(x, y, frame); };
    EXPECT_TRUE(at(10, 20).over);
    EXPECT_EQ(at(10, 20).u, 0.0f);
    EXPECT_EQ(at(10, 20).v, 0.0f);
    EXPECT_EQ(at(310, 270).u, 1.0f);
    EXPECT_EQ(at(310, 270).v, 1.0f);
    EXPECT_FLOAT_EQ(at(160, 145).u, 0.5f);
    EXPECT_FLOAT_EQ(at(160, 145).v, 0.5f);
    EXPECT_FALSE(at(311, 100).over);
    EXPECT_FALSE(at(9, 100).over);
    EXPECT_FALSE(at(100, 19).over);
    EXPECT_FALSE(at(100, 271).over);
    EXPECT_FALSE(at(-32768, 32767).over);
    // No extent: the one position is 0, never a division by zero.
    const UnitPoint flat = MouseToUnit(5, 5, PixelBox{5, 5, 5, 5});
    EXPECT_TRUE(flat.over);
    EXPECT_EQ(flat.u, 0.0f);
    EXPECT_EQ(flat.v, 0.0f);
}

TEST(SensorGeometry, TrackerBitUsesTheLowFiveBits)
{
    EXPECT_EQ(TrackerBit(0), 1);
    EXPECT_EQ(TrackerBit(3), 8);
    EXPECT_EQ(TrackerBit(33), 2);
    EXPECT_EQ(TrackerBit(31), INT_MIN);
    EXPECT_EQ(TrackerBit(-1), INT_MIN);
    EXPECT_EQ(TrackerBit(INT_MIN), 1);
}
