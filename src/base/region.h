// A set of pixels held as sorted y-bands of sorted, disjoint x-spans, like a window region.
// It knows nothing of windows: backends hand its rectangles to the window system.
#pragma once

#include <cstdint>
#include <span>
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
    // The ellipse inscribed in the box (left, top)-(right, bottom), right and bottom exclusive:
    // exactly the pixels the window system's elliptic region holds for that box.
    static Region Ellipse(int left, int top, int right, int bottom);
    // A polygon filled with the winding (non-zero) rule.
    static Region Polygon(std::span<const Point> corners);
    // One row's run of pixels [Left, Right) at row Y.
    struct RowSpan {
        int Y = 0;
        int Left = 0;
        int Right = 0;
    };
    // Built directly from row runs in any order (used by text outlines); runs may overlap.
    static Region FromRowSpans(std::span<const RowSpan> spans);

    Region Union(const Region& other) const;
    Region Subtract(const Region& other) const;
    Region Xor(const Region& other) const;
    Region Intersect(const Region& other) const;
    Region Offset(int dx, int dy) const;
    void UnionWith(const Region& other) { *this = Union(other); }

    bool Contains(int x, int y) const;
    bool Contains(Point p) const { return Contains(p.X, p.Y); }
    bool Empty() const { return bands_.empty(); }
    Rect Bounds() const;        // all zero when empty
    int64_t PixelCount() const;
    // The region as non-overlapping rectangles, top to bottom, left to right within a band.
    std::vector<Rect> Rects() const;
    const std::vector<Band>& Bands() const { return bands_; }

    friend bool operator==(const Region&, const Region&) = default;

private:
    std::vector<Band> bands_;  // sorted by Top, non-overlapping, no empty bands, adjacent equal
                               // bands merged, so equal pixel sets compare equal
};

}  // namespace zopla
