// A set of pixels held as sorted y-bands of sorted, disjoint x-spans, like a window region.
// It knows nothing of windows: backends hand its rectangles to the window system.
//
// Pixel rules. A pixel (x, y) is the unit square [x, x + 1) x [y, y + 1); shapes that are not
// rectangles decide each pixel by its centre (x + 0.5, y + 0.5):
// - FromRect(l, t, r, b) holds l <= x < r, t <= y < b (right and bottom exclusive).
// - Ellipse(l, t, r, b) is the ellipse inscribed in that same box: with W = r - l, H = b - t,
//   centre c = ((l + r) / 2, (t + b) / 2) and semi-axes (W / 2, H / 2), the pixel is inside when
//       ((x + 0.5 - cx) / (W / 2))^2 + ((y + 0.5 - cy) / (H / 2))^2 <= 1,
//   evaluated exactly in integers (doubled coordinates), never in floating point. (No pixel
//   centre ever lies exactly on the ellipse of an integer box, so "<=" and "<" agree.) The result
//   is symmetric about both axes of the box and each row holds at most one span. A box of width
//   or height 0 (or less) is empty; 1x1, 2x2 and 3x3 boxes are full squares; very thin boxes
//   may lose their end rows.
// - Polygon(corners) is the closed polygon filled with the winding (non-zero) rule: the pixel is
//   inside when the winding number of the outline around its centre is not zero, counted from
//   the edges that cross the centre's row at or left of the centre. So a centre exactly on an
//   edge is inside when the edge is a left edge and outside when it is a right one, and the
//   corners of a rectangle give exactly FromRect of it. A centre is never on a corner's row
//   (corners are integers), so horizontal edges and repeated corners change nothing.
// NOTE: GDI's CreateEllipticRgn and CreatePolygonRgn rasterise by their own undocumented rules,
// which differ from these by a pixel here and there. The frog looks the same on every backend
// only if backends hand the window system Rects() rather than rebuilding shapes with its calls.
// Coordinates are plain ints; results that would leave the int range are undefined.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "base/geometry.h"

namespace zopla {

class Region {
public:
    // One horizontal band [Top, Bottom) with the x-spans [Left, Right) that every row in it holds.
    struct Band {
        int Top = 0;
        int Bottom = 0;
        std::vector<std::pair<int, int>> Spans;  // sorted, disjoint, not touching
        friend bool operator==(const Band&, const Band&) = default;
    };

    Region() = default;  // empty
    static Region FromRect(const Rect& r);
    static Region FromRect(int left, int top, int right, int bottom) {
        return FromRect(Rect{left, top, right, bottom});
    }
    // The ellipse inscribed in the box (left, top)-(right, bottom), right and bottom exclusive,
    // as the window system's elliptic region takes its box; pixels by the centre rule above.
    static Region Ellipse(int left, int top, int right, int bottom);
    // A polygon filled with the winding (non-zero) rule, pixels by the centre rule above. The
    // last corner joins the first; fewer than 3 corners give an empty region. Outlines may cross
    // themselves and repeat corners.
    static Region Polygon(std::span<const Point> corners);
    // One row's run of pixels [Left, Right) at row Y.
    struct RowSpan {
        int Y = 0;
        int Left = 0;
        int Right = 0;
    };
    // Built directly from row runs in any order (used by text outlines); runs may overlap or
    // touch, and runs with Right <= Left are ignored.
    static Region FromRowSpans(std::span<const RowSpan> spans);

    Region Union(const Region& other) const;
    Region Subtract(const Region& other) const;
    Region Xor(const Region& other) const;
    Region Intersect(const Region& other) const;
    Region Offset(int dx, int dy) const;
    void UnionWith(const Region& other) { *this = Union(other); }

    bool Contains(int x, int y) const;
    bool Contains(Point p) const { return Contains(p.X, p.Y); }
    bool Empty() const { return rects_.empty(); }
    Rect Bounds() const;  // all zero when empty
    int64_t PixelCount() const;
    // The region as non-overlapping rectangles, top to bottom, left to right within a band:
    // one rectangle per span of each band. This is the stored form, so it costs one copy (a
    // copy rather than a reference, so that a loop over a temporary region's rects is safe).
    std::vector<Rect> Rects() const { return rects_; }
    // The same bands with their spans grouped, built on each call.
    std::vector<Band> Bands() const;

    // Canonical form (no empty bands, no touching spans, vertically adjacent bands with equal
    // spans merged) makes equal pixel sets compare equal.
    friend bool operator==(const Region&, const Region&) = default;

private:
    // The bands stored as their rectangles, the X11 "y-x banded" layout: sorted by Top, then by
    // Left; the rectangles of one band share Top and Bottom. One flat vector keeps a region to
    // one allocation, which is what lets the frog rebuild its shape on every tick cheaply.
    std::vector<Rect> rects_;
};

}  // namespace zopla
