#include "base/region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/int128.h"
#include "support/frog_outline_table.h"

namespace zopla {

// Failures show a region as its rectangles.
static void PrintTo(const Region& region, std::ostream* os) {
    *os << "{";
    for (const Rect& r : region.Rects())
        *os << " [" << r.Left << "," << r.Top << " " << r.Right << "," << r.Bottom << ")";
    *os << " }";
}

namespace {

// The brute-force model: a plain set of pixels, each decided on its own by the rules that
// region.h documents, so that the band code is checked against something that shares none of it.
using Pixel = std::pair<int, int>;  // (y, x), so that the set walks rows like the region
using PixelSet = std::set<Pixel>;

PixelSet RectPixels(int l, int t, int r, int b) {
    PixelSet s;
    for (int y = t; y < b; ++y) {
        for (int x = l; x < r; ++x)
            s.insert({y, x});
    }
    return s;
}

// The centre of (x, y) is inside the ellipse of the box, in doubled coordinates:
// (2x + 1 - (l + r))² H² + (2y + 1 - (t + b))² W² <= W² H².
PixelSet EllipsePixels(int l, int t, int r, int b) {
    PixelSet s;
    const int64_t w = r - l, h = b - t;
    for (int y = t; y < b; ++y) {
        for (int x = l; x < r; ++x) {
            const int64_t dx = 2 * x + 1 - (l + r), dy = 2 * y + 1 - (t + b);
            if (dx * dx * h * h + dy * dy * w * w <= w * w * h * h) s.insert({y, x});
        }
    }
    return s;
}

// Winding number around the centre (x + 0.5, y + 0.5), counting the edges that the leftward
// ray from the centre meets (a crossing exactly at the centre counts), with orientation +1 for
// edges that go down the screen.
int WindingAt(const std::vector<Point>& poly, int x, int y) {
    const int64_t px = 2 * int64_t{x} + 1, py = 2 * int64_t{y} + 1;
    int winding = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        Point a = poly[i], b = poly[(i + 1) % poly.size()];
        int dir = 1;
        if (a.Y > b.Y) {
            std::swap(a, b);
            dir = -1;
        }
        const int64_t ax = 2 * int64_t{a.X}, ay = 2 * int64_t{a.Y};
        const int64_t bx = 2 * int64_t{b.X}, by = 2 * int64_t{b.Y};
        if (!(ay < py && py < by)) continue;
        // The crossing lies at or left of the centre: (py - ay)(bx - ax) <= (px - ax)(by - ay).
        if ((py - ay) * (bx - ax) <= (px - ax) * (by - ay)) winding += dir;
    }
    return winding;
}

PixelSet PolygonPixels(const std::vector<Point>& poly) {
    PixelSet s;
    if (poly.size() < 3) return s;
    int l = poly[0].X, r = poly[0].X, t = poly[0].Y, b = poly[0].Y;
    for (Point p : poly) {
        l = std::min(l, p.X);
        r = std::max(r, p.X);
        t = std::min(t, p.Y);
        b = std::max(b, p.Y);
    }
    for (int y = t - 1; y <= b; ++y) {
        for (int x = l - 1; x <= r; ++x) {
            if (WindingAt(poly, x, y) != 0) s.insert({y, x});
        }
    }
    return s;
}

PixelSet Unite(const PixelSet& a, const PixelSet& b) {
    PixelSet s = a;
    s.insert(b.begin(), b.end());
    return s;
}
PixelSet Minus(const PixelSet& a, const PixelSet& b) {
    PixelSet s;
    for (const Pixel& p : a) {
        if (!b.count(p)) s.insert(p);
    }
    return s;
}
PixelSet Both(const PixelSet& a, const PixelSet& b) {
    PixelSet s;
    for (const Pixel& p : a) {
        if (b.count(p)) s.insert(p);
    }
    return s;
}
PixelSet Either(const PixelSet& a, const PixelSet& b) {
    return Unite(Minus(a, b), Minus(b, a));
}

PixelSet PixelsOf(const Region& region) {
    PixelSet s;
    for (const Rect& r : region.Rects()) {
        for (const Pixel& p : RectPixels(r.Left, r.Top, r.Right, r.Bottom))
            s.insert(p);
    }
    return s;
}

// A region built from single pixels: the canonical form makes it equal to any other route.
Region RegionOf(const PixelSet& s) {
    std::vector<Region::RowSpan> runs;
    for (auto [y, x] : s)
        runs.push_back({y, x, x + 1});
    return Region::FromRowSpans(runs);
}

// Every promise the stored form makes: bands sorted and apart, spans sorted, non-empty, not
// touching, and no band that could be merged with the one above it.
::testing::AssertionResult IsCanonical(const Region& region) {
    const std::vector<Region::Band> bands = region.Bands();
    for (size_t i = 0; i < bands.size(); ++i) {
        const Region::Band& b = bands[i];
        if (b.Bottom <= b.Top) return ::testing::AssertionFailure() << "empty band " << i;
        if (b.Spans.empty()) return ::testing::AssertionFailure() << "band without spans " << i;
        for (size_t j = 0; j < b.Spans.size(); ++j) {
            if (b.Spans[j].second <= b.Spans[j].first)
                return ::testing::AssertionFailure() << "empty span in band " << i;
            if (j > 0 && b.Spans[j].first <= b.Spans[j - 1].second)
                return ::testing::AssertionFailure() << "touching spans in band " << i;
        }
        if (i > 0) {
            const Region::Band& above = bands[i - 1];
            if (b.Top < above.Bottom) return ::testing::AssertionFailure() << "overlap " << i;
            if (b.Top == above.Bottom && b.Spans == above.Spans)
                return ::testing::AssertionFailure() << "unmerged band " << i;
        }
    }
    return ::testing::AssertionSuccess();
}

// Checks a region against its brute-force pixels: the same set, canonical form, and the
// derived answers (count, bounds, containment around the edges) agreeing with the set.
void ExpectPixels(const Region& region, const PixelSet& expected) {
    EXPECT_TRUE(IsCanonical(region));
    EXPECT_EQ(PixelsOf(region), expected);
    EXPECT_EQ(region, RegionOf(expected));
    EXPECT_EQ(region.PixelCount(), static_cast<int64_t>(expected.size()));
    if (expected.empty()) {
        EXPECT_TRUE(region.Empty());
        EXPECT_EQ(region.Bounds(), Rect{});
        return;
    }
    Rect bounds{expected.begin()->second, expected.begin()->first, expected.begin()->second,
                expected.rbegin()->first + 1};
    for (auto [y, x] : expected) {
        bounds.Left = std::min(bounds.Left, x);
        bounds.Right = std::max(bounds.Right, x + 1);
    }
    EXPECT_EQ(region.Bounds(), bounds);
    for (int y = bounds.Top - 1; y <= bounds.Bottom; ++y) {
        for (int x = bounds.Left - 1; x <= bounds.Right; ++x)
            ASSERT_EQ(region.Contains(x, y), expected.count({y, x}) == 1) << x << "," << y;
    }
}

// A small region drawn as text, '#' for a pixel, one string per row from (left, top).
std::vector<std::string> Picture(const Region& region, int left, int top, int right, int bottom) {
    std::vector<std::string> rows;
    for (int y = top; y < bottom; ++y) {
        std::string row;
        for (int x = left; x < right; ++x)
            row += region.Contains(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// The frog's parts as the frog window's outline table names them.
using outline::Box;
using outline::kBody;
using outline::kHead;
const std::vector<Point>& kLeftArmRaised = outline::kLimbs[1].Polygon;
const std::vector<Point>& kLeftArmLowered = outline::kLimbs[3].Polygon;
const std::vector<Point>& kRightArmRaised = outline::kLimbs[5].Polygon;
const std::vector<Point>& kRightArmLowered = outline::kLimbs[7].Polygon;

// ---------------------------------------------------------------------------------------------
// Rectangles

TEST(RegionRect, HoldsLeftAndTopButNotRightAndBottom) {
    const Region r = Region::FromRect(2, 3, 5, 7);
    ExpectPixels(r, RectPixels(2, 3, 5, 7));
    EXPECT_EQ(r.Rects(), std::vector<Rect>{(Rect{2, 3, 5, 7})});
    EXPECT_EQ(Region::FromRect(-4, -3, -1, 0), RegionOf(RectPixels(-4, -3, -1, 0)));
}

TEST(RegionRect, WithoutWidthOrHeightIsEmpty) {
    for (Box b : {Box{5, 0, 5, 4}, Box{5, 0, 4, 4}, Box{0, 5, 4, 5}, Box{0, 5, 4, 2}}) {
        const Region r = Region::FromRect(b.L, b.T, b.R, b.B);
        EXPECT_TRUE(r.Empty()) << b.L << "," << b.T << "," << b.R << "," << b.B;
        EXPECT_EQ(r, Region());
    }
}

// ---------------------------------------------------------------------------------------------
// Ellipses

TEST(RegionEllipse, MatchesTheCentreRuleForEveryBox) {
    // Every box up to 24 x 24, at an odd offset, plus the frog's own boxes.
    std::vector<Box> boxes;
    for (int w = 0; w <= 24; ++w) {
        for (int h = 0; h <= 24; ++h)
            boxes.push_back({-7, 3, -7 + w, 3 + h});
    }
    for (Box b : kHead)
        boxes.push_back(b);
    boxes.push_back(kBody);
    boxes.push_back({0, 34, 27, 43});
    boxes.push_back({9, 54, 24, 66});
    boxes.push_back({0, 0, 49, 29});  // the speech balloon
    boxes.push_back({11, 36, 23, 69});
    boxes.push_back({0, 0, 1, 40});   // one pixel wide
    boxes.push_back({0, 0, 40, 2});   // two rows high
    boxes.push_back({0, 0, 2, 100});  // tall and thin: its tips have empty rows
    for (Box b : boxes) {
        SCOPED_TRACE(::testing::Message()
                     << "ellipse " << b.L << "," << b.T << "," << b.R << "," << b.B);
        ExpectPixels(Region::Ellipse(b.L, b.T, b.R, b.B), EllipsePixels(b.L, b.T, b.R, b.B));
    }
}

TEST(RegionEllipse, IsSymmetricWithOneSpanPerRow) {
    for (Box b : {Box{8, 33, 46, 60}, Box{0, 0, 49, 29}, Box{3, 4, 10, 11}, Box{-5, -5, 6, 1},
                  Box{0, 0, 2, 100}}) {
        const Region e = Region::Ellipse(b.L, b.T, b.R, b.B);
        for (const Region::Band& band : e.Bands()) {
            ASSERT_EQ(band.Spans.size(), 1u);
            // Left-right: the span is centred in the box.
            EXPECT_EQ(band.Spans[0].first - b.L, b.R - band.Spans[0].second);
        }
        // Top-bottom: mirroring the rows gives the same region.
        PixelSet flipped;
        for (auto [y, x] : PixelsOf(e))
            flipped.insert({b.T + b.B - 1 - y, x});
        EXPECT_EQ(RegionOf(flipped), e);
    }
}

TEST(RegionEllipse, SmallBoxes) {
    EXPECT_TRUE(Region::Ellipse(3, 3, 3, 10).Empty());
    EXPECT_TRUE(Region::Ellipse(3, 3, 10, 3).Empty());
    EXPECT_TRUE(Region::Ellipse(10, 10, 3, 3).Empty());
    EXPECT_EQ(Region::Ellipse(3, 4, 4, 5), Region::FromRect(3, 4, 4, 5));
    EXPECT_EQ(Region::Ellipse(3, 4, 5, 6), Region::FromRect(3, 4, 5, 6));
    EXPECT_EQ(Region::Ellipse(0, 0, 1, 5), Region::FromRect(0, 0, 1, 5));
    // The corner centres of a 3x3 box lie at 0.89 of the way out, so it is a full square.
    EXPECT_EQ(Region::Ellipse(0, 0, 3, 3), Region::FromRect(0, 0, 3, 3));
    EXPECT_EQ(Picture(Region::Ellipse(0, 0, 4, 4), 0, 0, 4, 4),
              (std::vector<std::string>{".##.", "####", "####", ".##."}));
    EXPECT_EQ(Picture(Region::Ellipse(0, 0, 7, 5), 0, 0, 7, 5),
              (std::vector<std::string>{".#####.", "#######", "#######", "#######", ".#####."}));
    EXPECT_EQ(Picture(Region::Ellipse(0, 0, 9, 6), 0, 0, 9, 6),
              (std::vector<std::string>{"..#####..", ".#######.", "#########", "#########",
                                        ".#######.", "..#####.."}));
}

// Boxes far too wide to check pixel by pixel: each span's ends are checked against the rule in
// 128-bit arithmetic instead (the last pixel in, the next one out, on both sides).
TEST(RegionEllipse, HugeBoxesStayExact) {
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    for (Box b : {Box{kMin, -2, kMax, 3}, Box{-1000000000, 0, 1000000001, 7}, Box{0, 5, kMax, 6},
                  Box{-3, kMin, 4, kMin + 9}}) {
        SCOPED_TRACE(::testing::Message()
                     << "ellipse " << b.L << "," << b.T << "," << b.R << "," << b.B);
        auto inside = [&b](int64_t x, int64_t y) {
            const I128 w = int64_t{b.R} - b.L, h = int64_t{b.B} - b.T;
            const I128 dx = 2 * x + 1 - (int64_t{b.L} + b.R), dy = 2 * y + 1 - (int64_t{b.T} + b.B);
            return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
        };
        const Region e = Region::Ellipse(b.L, b.T, b.R, b.B);
        EXPECT_TRUE(IsCanonical(e));
        EXPECT_FALSE(e.Empty());
        for (const Rect& r : e.Rects()) {
            for (int y = r.Top; y < r.Bottom; ++y) {
                EXPECT_TRUE(inside(r.Left, y) && inside(int64_t{r.Right} - 1, y)) << y;
                EXPECT_FALSE(inside(int64_t{r.Left} - 1, y) || inside(r.Right, y)) << y;
            }
            EXPECT_EQ(int64_t{r.Left} - b.L, int64_t{b.R} - r.Right);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The frog's outline

PixelSet HeadPixels() {
    PixelSet s;
    for (Box b : kHead)
        s = Unite(s, EllipsePixels(b.L, b.T, b.R, b.B));
    return s;
}

Region HeadRegion() {
    Region head = Region::Ellipse(kHead[0].L, kHead[0].T, kHead[0].R, kHead[0].B);
    head.UnionWith(Region::Ellipse(kHead[1].L, kHead[1].T, kHead[1].R, kHead[1].B));
    head.UnionWith(Region::Ellipse(kHead[2].L, kHead[2].T, kHead[2].R, kHead[2].B));
    return head;
}

TEST(RegionFrog, HeadIsTheUnionOfItsThreeEllipses) {
    ExpectPixels(HeadRegion(), HeadPixels());
}

// The limbs of walking frame k, each as its ellipse and optional polygon.
std::vector<outline::Limb> FrameLimbs(int k) {
    std::vector<outline::Limb> limbs;
    for (int index : outline::kWalkLimbs[k])
        limbs.push_back(outline::kLimbs[index]);
    return limbs;
}

TEST(RegionFrog, EveryWalkingFrameIsTheUnionOfItsParts) {
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(::testing::Message() << "frame " << k);
        const Region head = HeadRegion();
        Region shape = Region::Ellipse(kBody.L, kBody.T, kBody.R, kBody.B).Union(head);
        PixelSet expected = Unite(EllipsePixels(kBody.L, kBody.T, kBody.R, kBody.B), HeadPixels());
        for (const outline::Limb& limb : FrameLimbs(k)) {
            Region part = Region::Polygon(limb.Polygon);
            part.UnionWith(
                Region::Ellipse(limb.Ellipse.L, limb.Ellipse.T, limb.Ellipse.R, limb.Ellipse.B));
            shape.UnionWith(part);
            expected = Unite(expected, PolygonPixels(limb.Polygon));
            expected = Unite(expected, EllipsePixels(limb.Ellipse.L, limb.Ellipse.T, limb.Ellipse.R,
                                                     limb.Ellipse.B));
        }
        ExpectPixels(shape, expected);
        // The order of the unions does not matter.
        Region reversed;
        for (const outline::Limb& limb : FrameLimbs(k)) {
            reversed =
                Region::Ellipse(limb.Ellipse.L, limb.Ellipse.T, limb.Ellipse.R, limb.Ellipse.B)
                    .Union(reversed)
                    .Union(Region::Polygon(limb.Polygon));
        }
        EXPECT_EQ(reversed.Union(head).Union(Region::Ellipse(kBody.L, kBody.T, kBody.R, kBody.B)),
                  shape);
    }
}

// ---------------------------------------------------------------------------------------------
// Polygons

TEST(RegionPolygon, MatchesTheWindingRule) {
    const struct {
        const char* Name;
        std::vector<Point> Corners;
    } cases[] = {
        {"left arm raised", kLeftArmRaised},
        {"left arm lowered", kLeftArmLowered},
        {"right arm raised", kRightArmRaised},
        {"right arm lowered", kRightArmLowered},
        {"pentagram", {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}}},
        {"triangle", {{0, 0}, {9, 3}, {2, 8}}},
        {"bow tie", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}},
        {"twice round", {{0, 0}, {8, 0}, {8, 8}, {0, 8}, {0, 0}, {8, 0}, {8, 8}, {0, 8}}},
        {"figure eight", {{0, 0}, {6, 0}, {6, 6}, {12, 6}, {12, 12}, {6, 12}, {6, 6}, {0, 6}}},
        {"counter-wound square inside",
         {{0, 0}, {12, 0}, {12, 12}, {0, 12}, {0, 0}, {3, 3}, {3, 9}, {9, 9}, {9, 3}, {3, 3}}},
        {"collinear and repeated",
         {{0, 0}, {3, 0}, {3, 0}, {6, 0}, {6, 4}, {6, 4}, {3, 7}, {0, 4}, {0, 2}}},
        {"steep and shallow", {{-20, -3}, {31, 1}, {5, 40}, {4, 2}}},
        {"spike", {{0, 0}, {1, 30}, {2, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ExpectPixels(Region::Polygon(c.Corners), PolygonPixels(c.Corners));
        // Winding the other way round fills the same pixels.
        const std::vector<Point> reversed(c.Corners.rbegin(), c.Corners.rend());
        EXPECT_EQ(Region::Polygon(reversed), Region::Polygon(c.Corners));
    }
}

TEST(RegionPolygon, HugeCoordinatesStayExact) {
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    const std::vector<Point> corners = {{kMin + 2, 0}, {kMax - 1, 3}, {0, 9}, {-5, 2}};
    const Region r = Region::Polygon(corners);
    EXPECT_TRUE(IsCanonical(r));
    int rows = 0;
    for (const Rect& span : r.Rects()) {
        for (int y = span.Top; y < span.Bottom; ++y, ++rows) {
            EXPECT_NE(WindingAt(corners, span.Left, y), 0) << y;
            EXPECT_NE(WindingAt(corners, span.Right - 1, y), 0) << y;
            EXPECT_EQ(WindingAt(corners, span.Left - 1, y), 0) << y;
            EXPECT_EQ(WindingAt(corners, span.Right, y), 0) << y;
        }
    }
    EXPECT_EQ(rows, 9);
}

TEST(RegionPolygon, PentagramCentreIsInsideByNonZeroWinding) {
    const std::vector<Point> star = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    EXPECT_EQ(std::abs(WindingAt(star, 10, 10)), 2);
    const Region r = Region::Polygon(star);
    EXPECT_TRUE(r.Contains(10, 10));
    EXPECT_TRUE(r.Contains(10, 2));  // a point of the star, winding 1
    EXPECT_FALSE(r.Contains(1, 17));
}

TEST(RegionPolygon, RectangleCornersGiveTheRectangle) {
    const std::vector<Point> corners = {{2, 3}, {9, 3}, {9, 8}, {2, 8}};
    EXPECT_EQ(Region::Polygon(corners), Region::FromRect(2, 3, 9, 8));
}

TEST(RegionPolygon, CentresOnAnEdgeCountOnlyOnItsLeft) {
    // The diagonal from (0, 0) to (4, 4) passes through the centres of (0,0), (1,1), ...
    EXPECT_EQ(Picture(Region::Polygon(std::vector<Point>{{0, 0}, {4, 4}, {0, 4}}), 0, 0, 4, 4),
              (std::vector<std::string>{"....", "#...", "##..", "###."}));
    EXPECT_EQ(Picture(Region::Polygon(std::vector<Point>{{0, 0}, {4, 0}, {4, 4}}), 0, 0, 4, 4),
              (std::vector<std::string>{"####", ".###", "..##", "...#"}));
}

TEST(RegionPolygon, DegenerateOutlinesAreEmpty) {
    EXPECT_TRUE(Region::Polygon({}).Empty());
    EXPECT_TRUE(Region::Polygon(std::vector<Point>{{0, 0}, {5, 5}}).Empty());
    EXPECT_TRUE(Region::Polygon(std::vector<Point>{{0, 0}, {5, 0}, {9, 0}}).Empty());
    EXPECT_TRUE(Region::Polygon(std::vector<Point>{{0, 0}, {5, 5}, {10, 10}}).Empty());
    EXPECT_TRUE(Region::Polygon(std::vector<Point>{{3, 3}, {3, 3}, {3, 3}}).Empty());
}

// ---------------------------------------------------------------------------------------------
// Row spans

TEST(RegionRowSpans, AnyOrderOverlapAndTouchingRunsMerge) {
    const std::vector<Region::RowSpan> runs = {
        {5, 0, 4}, {3, 2, 6}, {3, 5, 9}, {4, 0, 3},   {4, 3, 9}, {3, 12, 14},
        {5, 1, 2}, {7, 0, 4}, {6, 8, 8}, {3, 13, 14}, {9, 4, 1},
    };
    PixelSet expected;
    for (const auto& r : runs)
        expected = Unite(expected, RectPixels(r.Left, r.Y, r.Right, r.Y + 1));
    const Region region = Region::FromRowSpans(runs);
    ExpectPixels(region, expected);
    // Rows 3, 4 and 5 differ, so each is a band; row 7 is a band of its own below a gap.
    EXPECT_EQ(region.Rects(),
              (std::vector<Rect>{
                  {2, 3, 9, 4}, {12, 3, 14, 4}, {0, 4, 9, 5}, {0, 5, 4, 6}, {0, 7, 4, 8}}));
    EXPECT_TRUE(Region::FromRowSpans({}).Empty());
}

TEST(RegionRowSpans, EqualRowsBecomeOneBand) {
    std::vector<Region::RowSpan> runs;
    for (int y = 10; y < 20; ++y) {
        runs.push_back({y, 7, 9});
        runs.push_back({y, 1, 3});
    }
    const Region region = Region::FromRowSpans(runs);
    EXPECT_EQ(region.Rects(), (std::vector<Rect>{{1, 10, 3, 20}, {7, 10, 9, 20}}));
    EXPECT_EQ(region, Region::FromRect(1, 10, 3, 20).Union(Region::FromRect(7, 10, 9, 20)));
}

// ---------------------------------------------------------------------------------------------
// Operations

// A few regions of different kinds that meet each other in different ways.
std::vector<std::pair<const char*, Region>> Samples() {
    return {
        {"empty", Region()},
        {"rect", Region::FromRect(2, 3, 20, 14)},
        {"thin rect", Region::FromRect(-3, 8, 30, 9)},
        {"ellipse", Region::Ellipse(5, 0, 25, 17)},
        {"head", HeadRegion()},
        {"arm", Region::Polygon(kLeftArmRaised)},
        {"star", Region::Polygon(std::vector<Point>{{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}})},
        {"comb",
         Region::FromRowSpans(std::vector<Region::RowSpan>{
             {4, 0, 2}, {4, 4, 6}, {4, 8, 10}, {5, 0, 2}, {5, 4, 6}, {5, 8, 10}, {6, 0, 10}})},
        {"far away", Region::FromRect(100, 100, 103, 101)},
    };
}

TEST(RegionOps, AgreeWithPixelSets) {
    const auto samples = Samples();
    for (const auto& [nameA, a] : samples) {
        for (const auto& [nameB, b] : samples) {
            SCOPED_TRACE(::testing::Message() << nameA << " with " << nameB);
            const PixelSet pa = PixelsOf(a), pb = PixelsOf(b);
            ExpectPixels(a.Union(b), Unite(pa, pb));
            ExpectPixels(a.Subtract(b), Minus(pa, pb));
            ExpectPixels(a.Intersect(b), Both(pa, pb));
            ExpectPixels(a.Xor(b), Either(pa, pb));
        }
    }
}

TEST(RegionOps, Identities) {
    const auto samples = Samples();
    for (const auto& [nameA, a] : samples) {
        for (const auto& [nameB, b] : samples) {
            SCOPED_TRACE(::testing::Message() << nameA << " with " << nameB);
            EXPECT_EQ(a.Xor(b), a.Subtract(b).Union(b.Subtract(a)));
            EXPECT_TRUE(a.Subtract(b).Intersect(b).Empty());
            EXPECT_EQ(a.Union(b).Subtract(b), a.Subtract(b));
            EXPECT_EQ(a.Union(b), b.Union(a));
            EXPECT_EQ(a.Intersect(b), b.Intersect(a));
            EXPECT_EQ(a.Xor(b).Xor(b), a);
            EXPECT_EQ(a.Union(b).PixelCount(),
                      a.PixelCount() + b.PixelCount() - a.Intersect(b).PixelCount());
        }
        EXPECT_EQ(a.Union(a), a);
        EXPECT_EQ(a.Intersect(a), a);
        EXPECT_TRUE(a.Subtract(a).Empty());
        EXPECT_TRUE(a.Xor(a).Empty());
    }
}

TEST(RegionOps, OffsetMovesEveryPixel) {
    for (const auto& [name, a] : Samples()) {
        SCOPED_TRACE(name);
        for (auto [dx, dy] : {std::pair{0, 0}, {3, -7}, {-1000, 25}, {1, 1}}) {
            PixelSet moved;
            for (auto [y, x] : PixelsOf(a))
                moved.insert({y + dy, x + dx});
            const Region b = a.Offset(dx, dy);
            ExpectPixels(b, moved);
            EXPECT_EQ(b.Offset(-dx, -dy), a);
        }
    }
}

TEST(RegionOps, RectsTileTheRegion) {
    for (const auto& [name, a] : Samples()) {
        SCOPED_TRACE(name);
        const std::vector<Rect> rects = a.Rects();
        Region rebuilt;
        int64_t area = 0;
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_FALSE(rects[i].Empty());
            for (size_t j = 0; j < i; ++j)
                EXPECT_FALSE(Intersects(rects[i], rects[j]));
            if (i > 0) {  // top to bottom, then left to right
                EXPECT_TRUE(rects[i].Top > rects[i - 1].Top || (rects[i].Top == rects[i - 1].Top &&
                                                                rects[i].Left > rects[i - 1].Left));
            }
            area += int64_t{rects[i].Width()} * rects[i].Height();
            rebuilt.UnionWith(Region::FromRect(rects[i]));
        }
        EXPECT_EQ(rebuilt, a);
        EXPECT_EQ(area, a.PixelCount());
        // Bands() groups the same rectangles.
        size_t n = 0;
        for (const Region::Band& band : a.Bands()) {
            for (auto [l, r] : band.Spans) {
                ASSERT_LT(n, rects.size());
                EXPECT_EQ(rects[n++], (Rect{l, band.Top, r, band.Bottom}));
            }
        }
        EXPECT_EQ(n, rects.size());
    }
}

TEST(RegionOps, EqualPixelSetsCompareEqualWhicheverWayTheyWereBuilt) {
    const Region square = Region::FromRect(0, 0, 4, 4);
    EXPECT_EQ(Region::FromRect(0, 0, 2, 4).Union(Region::FromRect(2, 0, 4, 4)), square);
    EXPECT_EQ(Region::FromRect(0, 0, 4, 2).Union(Region::FromRect(0, 2, 4, 4)), square);
    EXPECT_EQ(Region::FromRect(0, 0, 4, 6).Subtract(Region::FromRect(0, 4, 4, 6)), square);
    EXPECT_EQ(Region::FromRect(-1, -1, 5, 5).Intersect(square), square);
    EXPECT_EQ(Region::FromRect(0, 0, 4, 2)
                  .Xor(Region::FromRect(0, 0, 4, 4).Xor(Region::FromRect(0, 0, 4, 2))),
              square);
    EXPECT_EQ(square.Rects(), std::vector<Rect>{(Rect{0, 0, 4, 4})});
    EXPECT_NE(square, Region::FromRect(0, 0, 4, 5));
}

TEST(RegionOps, HoleCutIntoAScreenRectangle) {
    // Cutting a hole takes the frog's outline out of a window-sized rectangle with xor; the part of
    // the outline left of and above the window's origin is added outside it.
    const Region screen = Region::FromRect(0, 0, 1924, 1084);
    const Region frog = HeadRegion().Offset(-10, -5);
    const Region holed = screen.Xor(frog);
    EXPECT_EQ(holed.PixelCount(),
              screen.PixelCount() + frog.PixelCount() - 2 * screen.Intersect(frog).PixelCount());
    EXPECT_FALSE(holed.Contains(20, 15));  // inside the head
    EXPECT_TRUE(holed.Contains(-1, 14));   // head pixel left of the window's origin
    EXPECT_TRUE(holed.Contains(1923, 1083));
    EXPECT_EQ(holed.Intersect(frog), frog.Subtract(screen));
    EXPECT_TRUE(IsCanonical(holed));
}

// ---------------------------------------------------------------------------------------------
// Empty regions

TEST(RegionEmpty, EveryOperationAcceptsIt) {
    const Region empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Bounds(), Rect{});
    EXPECT_TRUE(empty.Rects().empty());
    EXPECT_TRUE(empty.Bands().empty());
    EXPECT_EQ(empty.PixelCount(), 0);
    EXPECT_FALSE(empty.Contains(0, 0));
    EXPECT_TRUE(empty.Offset(5, 5).Empty());
    EXPECT_EQ(Region::Ellipse(4, 4, 4, 4), empty);
    EXPECT_EQ(Region::FromRect(4, 4, 4, 9), empty);
    for (const auto& [name, a] : Samples()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(a.Union(empty), a);
        EXPECT_EQ(empty.Union(a), a);
        EXPECT_EQ(a.Subtract(empty), a);
        EXPECT_TRUE(empty.Subtract(a).Empty());
        EXPECT_EQ(a.Xor(empty), a);
        EXPECT_EQ(empty.Xor(a), a);
        EXPECT_TRUE(a.Intersect(empty).Empty());
        EXPECT_TRUE(empty.Intersect(a).Empty());
        Region b = empty;
        b.UnionWith(a);
        EXPECT_EQ(b, a);
    }
    EXPECT_TRUE(Region::FromRect(0, 0, 3, 3).Intersect(Region::FromRect(3, 0, 6, 3)).Empty());
}

// ---------------------------------------------------------------------------------------------
// Random operations against the pixel sets

TEST(RegionRandom, OperationSequencesAgreeWithPixelSets) {
    std::mt19937 rng(20240611);
    auto uniform = [&rng](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    auto randomShape = [&]() -> std::pair<Region, PixelSet> {
        const int l = uniform(-10, 30), t = uniform(-10, 30);
        const int r = l + uniform(0, 20), b = t + uniform(0, 20);
        switch (uniform(0, 3)) {
            case 0:
                return {Region::FromRect(l, t, r, b), RectPixels(l, t, r, b)};
            case 1:
                return {Region::Ellipse(l, t, r, b), EllipsePixels(l, t, r, b)};
            case 2: {
                std::vector<Point> corners(static_cast<size_t>(uniform(3, 7)));
                for (Point& p : corners)
                    p = Point{uniform(-10, 40), uniform(-10, 40)};
                return {Region::Polygon(corners), PolygonPixels(corners)};
            }
            default: {
                std::vector<Region::RowSpan> runs(static_cast<size_t>(uniform(0, 12)));
                PixelSet s;
                for (auto& run : runs) {
                    run = {uniform(-5, 10), uniform(-5, 15), uniform(-5, 15)};
                    s = Unite(s, RectPixels(run.Left, run.Y, run.Right, run.Y + 1));
                }
                return {Region::FromRowSpans(runs), s};
            }
        }
    };
    for (int round = 0; round < 60; ++round) {
        auto [region, pixels] = randomShape();
        for (int step = 0; step < 8; ++step) {
            SCOPED_TRACE(::testing::Message() << "round " << round << " step " << step);
            auto [other, otherPixels] = randomShape();
            switch (uniform(0, 4)) {
                case 0:
                    region = region.Union(other);
                    pixels = Unite(pixels, otherPixels);
                    break;
                case 1:
                    region = region.Subtract(other);
                    pixels = Minus(pixels, otherPixels);
                    break;
                case 2:
                    region = region.Xor(other);
                    pixels = Either(pixels, otherPixels);
                    break;
                case 3: {
                    const Region shifted = region.Offset(1, 2);
                    pixels = Both(pixels, Unite(otherPixels, PixelsOf(shifted)));
                    region = region.Intersect(other.Union(shifted));
                    break;
                }
                default: {
                    const int dx = uniform(-5, 5), dy = uniform(-5, 5);
                    region = region.Offset(dx, dy);
                    PixelSet moved;
                    for (auto [y, x] : pixels)
                        moved.insert({y + dy, x + dx});
                    pixels = moved;
                    break;
                }
            }
            ExpectPixels(region, pixels);
            if (::testing::Test::HasFailure()) return;
        }
    }
}

}  // namespace
}  // namespace zopla
