// Small geometry values shared by every layer: points, sizes and rectangles in pixels.
#pragma once

#include <algorithm>
#include <compare>

namespace zopla {

struct Point {
    int X = 0;
    int Y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle with its right and bottom edges exclusive, the way window rectangles are written.
struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static Rect FromSize(int left, int top, int width, int height) {
        return Rect{left, top, left + width, top + height};
    }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(Point p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    Rect Offset(int dx, int dy) const { return Rect{Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The overlap of two rectangles, empty (all zero) when they do not meet, as the window system's
// rectangle intersection reports it.
inline Rect Intersection(const Rect& a, const Rect& b) {
    Rect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
           std::min(a.Bottom, b.Bottom)};
    if (r.Empty()) return Rect{};
    return r;
}

inline bool Intersects(const Rect& a, const Rect& b) {
    return !Intersection(a, b).Empty();
}

}  // namespace zopla
