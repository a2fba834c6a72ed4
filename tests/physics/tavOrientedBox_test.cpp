#include "physics/tavOrientedBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>

namespace
{
std::string captured;

// Collects what the overlap test writes while it lives.
struct DebugCapture
{
    static void Capture(const char* text) { captured += text; }
    DebugCapture() : previous(tavSetDebugOutput(Capture)) { captured.clear(); }
    ~DebugCapture() { tavSetDebugOutput(previous); }
    const std::string& Text() const { return captured; }
    tavDebugOutput previous;
};

tavOrientedBox Box(float hx, float hy, float hz, float px = 0, float py = 0, float pz = 0)
{
    tavOrientedBox box;
    const float values[6] = {hx, hy, hz, px, py, pz};
    std::copy(values, values + 3, box.halfExtents);
    std::copy(values + 3, values + 6, box.position);
    return box;
}

// Rows are the box's axes in the world; the inverse of a rotation is its transpose.
void SetRotation(tavOrientedBox& box, const double rows[3][3])
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
        {
            box.orientation[r][c] = float(rows[r][c]);
            box.inverseOrientation[c][r] = float(rows[r][c]);
        }
}

// A quarter turn about z, exact: x goes to y, y to -x.
void QuarterTurnZ(tavOrientedBox& box)
{
    const double rows[3][3] = {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};
    SetRotation(box, rows);
}

// Reference: two convex solids meet exactly when an edge of one meets the
// other solid (a vertex of their intersection lies on an edge or is a
// corner inside the other). Plain geometry, no separating axes; `scale`
// grows or shrinks both boxes.
using V = std::array<double, 3>;

V Corner(const tavOrientedBox& b, double scale, int signs)
{
    V p;
    for (int c = 0; c < 3; ++c)
    {
        p[c] = b.position[c];
        for (int i = 0; i < 3; ++i)
            p[c] += ((signs >> i) & 1 ? 1 : -1) * scale * b.halfExtents[i] * b.orientation[i][c];
    }
    return p;
}

// Does the segment from p to q meet the solid box? (slabs)
bool SegmentMeetsBox(const V& p, const V& q, const tavOrientedBox& b, double scale)
{
    double from = 0, to = 1;
    for (int i = 0; i < 3; ++i)
    {
        double start = 0, speed = 0;
        for (int c = 0; c < 3; ++c)
        {
            start += (p[c] - b.position[c]) * b.orientation[i][c];
            speed += (q[c] - p[c]) * b.orientation[i][c];
        }
        const double half = scale * b.halfExtents[i];
        if (std::fabs(speed) < 1e-12)
        {
            if (std::fabs(start) > half) return false;
            continue;
        }
        const double t0 = (-half - start) / speed, t1 = (half - start) / speed;
        from = std::max(from, std::min(t0, t1));
        to = std::min(to, std::max(t0, t1));
        if (from > to) return false;
    }
    return true;
}

bool AnyEdgeMeets(const tavOrientedBox& x, const tavOrientedBox& y, double scale)
{
    for (int corner = 0; corner < 8; ++corner)
        for (int i = 0; i < 3; ++i) // each edge once, from its corner on the minus side
            if (!((corner >> i) & 1) &&
                SegmentMeetsBox(Corner(x, scale, corner), Corner(x, scale, corner | 1 << i), y,
                                scale))
                return true;
    return false;
}

bool ReferenceOverlap(const tavOrientedBox& a, const tavOrientedBox& b, double scale)
{
    return AnyEdgeMeets(a, b, scale) || AnyEdgeMeets(b, a, scale);
}

void RandomRotation(std::mt19937& rng, tavOrientedBox& box)
{
    std::normal_distribution<double> normal;
    double q[4], length = 0;
    for (double& v : q)
    {
        v = normal(rng);
        length += v * v;
    }
    length = std::sqrt(length);
    const double x = q[0] / length, y = q[1] / length, z = q[2] / length, w = q[3] / length;
    const double rows[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)},
                               {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)},
                               {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}};
    SetRotation(box, rows);
}

tavOrientedBox RandomBox(std::mt19937& rng, float spread)
{
    std::uniform_real_distribution<float> half(0.1f, 2.0f), place(-spread, spread);
    tavOrientedBox box = Box(half(rng), half(rng), half(rng), place(rng), place(rng), place(rng));
    RandomRotation(rng, box);
    return box;
}
} // namespace

// The description: the identity noted when b is turned as a, the centroids,
// the offset in both frames and b's axes in a's.
TEST(tavOrientedBox, DescriptionGivesTheOffsetInBothFramesAndBsAxesInAs)
{
    {
        DebugCapture debug;
        tavOrientedBox a = Box(1, 2, 3, 5, 6, 7);
        a.centroid[0] = 1.5f;
        a.centroid[1] = -2.0f;
        a.centroid[2] = 0.125f;
        EXPECT_EQ(OrientedBoxesOverlap(a, a), 4);
        EXPECT_EQ(debug.Text().rfind("MatB is the identity.\n"
                                     "A Centroid: 1.50, -2.00, 0.12\n"
                                     "B Centroid: 1.50, -2.00, 0.12\n"
                                     "vPosB: 0.00, 0.00, 0.00\n",
                                     0),
                  0u)
            << debug.Text();
    }
    DebugCapture debug;
    tavOrientedBox a = Box(1, 1, 1);
    QuarterTurnZ(a);
    tavOrientedBox b = Box(1, 1, 1, 3, 0, 0);
    b.centroid[2] = 4.0f;
    EXPECT_EQ(OrientedBoxesOverlap(a, b), 0);
    EXPECT_EQ(debug.Text(), "A Centroid: 0.00, 0.00, 0.00\n"
                            "B Centroid: 0.00, 0.00, 4.00\n"
                            "vPosB: 0.00, -3.00, 0.00\n"
                            "vSub: 3.00, 0.00, 0.00\n"
                            "X-Axis: 0.00, 1.00, 0.00\n"
                            "Y-Axis: -1.00, 0.00, 0.00\n"
                            "Z-Axis: 0.00, 0.00, 1.00\n\n");
    EXPECT_EQ(FindSeparatingAxis(a, b), 1); // a's y axis points along world -x
}

TEST(tavOrientedBox, TouchingAndContainedBoxesOverlapAndTheSlightestGapSeparates)
{
    const tavOrientedBox unit = Box(1, 1, 1);
    for (const tavOrientedBox& touching :
         {Box(1, 1, 1, 2, 0, 0), Box(1, 1, 1, 0, -2, 0), Box(1, 1, 1, 2, 2, 2)})
        EXPECT_EQ(OrientedBoxesOverlap(unit, touching), 4);
    EXPECT_EQ(FindSeparatingAxis(unit, Box(1, 1, 1, 2.001f, 0, 0)), 0);
    EXPECT_EQ(FindSeparatingAxis(unit, Box(1, 1, 1, 0, 0, -2.01f)), 2);

    // b turned a quarter: its long x axis lies along world y, so along x it
    // reaches only 1.
    tavOrientedBox b = Box(2, 1, 1, 2, 0, 0);
    QuarterTurnZ(b);
    EXPECT_EQ(OrientedBoxesOverlap(unit, b), 4);
    b.position[0] = 2.001f;
    EXPECT_EQ(FindSeparatingAxis(unit, b), 0);
    b.position[0] = 0;
    b.position[1] = 3.0f;
    EXPECT_EQ(OrientedBoxesOverlap(unit, b), 4);
    b.position[1] = 3.001f;
    EXPECT_EQ(FindSeparatingAxis(unit, b), 1);

    tavOrientedBox inner = Box(0.1f, 0.1f, 0.1f, 0.5f, 0.5f, 0.5f);
    std::mt19937 rng(7);
    RandomRotation(rng, inner);
    EXPECT_EQ(OrientedBoxesOverlap(Box(3, 3, 3), inner), 4);
    EXPECT_EQ(OrientedBoxesOverlap(inner, Box(3, 3, 3)), 4);
}

TEST(tavOrientedBox, AgreesWithEdgeIntersectionReferenceOnRandomPairs)
{
    DebugCapture quiet;
    std::mt19937 rng(12345);
    int overlapping = 0, separated = 0, byEdgeAxes = 0, undecided = 0;
    for (int n = 0; n < 20000; ++n)
    {
        const tavOrientedBox a = RandomBox(rng, 1.0f), b = RandomBox(rng, 3.0f);
        // Pairs within a hair of touching are left out: float rounding
        // may fall either way there.
        const bool surely = ReferenceOverlap(a, b, 0.999);
        const bool maybe = ReferenceOverlap(a, b, 1.001);
        const int axis = FindSeparatingAxis(a, b);
        const int result = OrientedBoxesOverlap(a, b);
        ASSERT_EQ(result, axis < 0 ? 4 : 0);
        if (surely)
        {
            ASSERT_EQ(result, 4) << "pair " << n << ": overlapping boxes parted by axis " << axis;
            ++overlapping;
        }
        else if (!maybe)
        {
            ASSERT_EQ(result, 0) << "pair " << n << ": separated boxes reported overlapping";
            ++separated;
            byEdgeAxes += axis >= 6;
        }
        else
            ++undecided;
    }
    // The sample must exercise both outcomes and the cross-product axes.
    EXPECT_GT(overlapping, 2000);
    EXPECT_GT(separated, 2000);
    EXPECT_GT(byEdgeAxes, 20);
    EXPECT_LT(undecided, 200);
}
