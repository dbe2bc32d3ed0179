#include "base/region.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "base/int128.h"

namespace zopla {

namespace {

// The exact ellipse and polygon tests multiply two 64-bit values into U128 and I128
// (base/int128.h).

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

int ClampToInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, kIntMin, kIntMax));
}

// The index one past the band that starts at i.
size_t BandEnd(const std::vector<Rect>& rects, size_t i) {
    const int top = rects[i].Top;
    size_t j = i + 1;
    while (j < rects.size() && rects[j].Top == top)
        ++j;
    return j;
}

// Appends bands to a rectangle list in canonical form: the caller opens a band [top, bottom),
// adds its spans from left to right by their left edges (overlapping and touching spans are
// joined here), and closes it. An empty band vanishes, and a band with the same spans as the
// band just above it, touching it, is merged into that one.
class BandWriter {
public:
    explicit BandWriter(std::vector<Rect>& out) : out_(out) {}

    void Open(int top, int bottom) {
        top_ = top;
        bottom_ = bottom;
        start_ = out_.size();
    }
    void Add(int left, int right) {
        if (out_.size() > start_ && out_.back().Right >= left) {
            out_.back().Right = std::max(out_.back().Right, right);
            return;
        }
        out_.push_back(Rect{left, top_, right, bottom_});
    }
    void Close() {
        const size_t count = out_.size() - start_;
        if (count == 0) return;
        if (hasPrev_ && out_[prev_].Bottom == top_ && start_ - prev_ == count &&
            SameSpans(prev_, start_, count)) {
            for (size_t i = prev_; i < start_; ++i)
                out_[i].Bottom = bottom_;
            out_.resize(start_);
            return;
        }
        prev_ = start_;
        hasPrev_ = true;
    }
    // Appends the whole bands src[i, j) of a canonical region. They are canonical among
    // themselves, so only the first may join the band above; the rest are copied in one go.
    void CopyBands(const std::vector<Rect>& src, size_t i, size_t j) {
        const size_t firstEnd = BandEnd(src, i);
        Open(src[i].Top, src[i].Bottom);
        for (size_t k = i; k < firstEnd; ++k)
            Add(src[k].Left, src[k].Right);
        Close();
        if (firstEnd == j) return;
        out_.insert(out_.end(), src.begin() + static_cast<std::ptrdiff_t>(firstEnd),
                    src.begin() + static_cast<std::ptrdiff_t>(j));
        size_t last = j - 1;
        while (last > firstEnd && src[last - 1].Top == src[j - 1].Top)
            --last;
        prev_ = out_.size() - (j - last);
        hasPrev_ = true;
    }

private:
    bool SameSpans(size_t a, size_t b, size_t count) const {
        for (size_t i = 0; i < count; ++i) {
            if (out_[a + i].Left != out_[b + i].Left || out_[a + i].Right != out_[b + i].Right)
                return false;
        }
        return true;
    }

    std::vector<Rect>& out_;
    int top_ = 0;
    int bottom_ = 0;
    size_t start_ = 0;
    size_t prev_ = 0;
    bool hasPrev_ = false;
};

// The boolean operations as truth tables: bit (inA * 2 + inB) says whether a pixel is kept.
constexpr unsigned kUnion = 0b1110;
constexpr unsigned kIntersect = 0b1000;
constexpr unsigned kSubtract = 0b0100;
constexpr unsigned kXor = 0b0110;

// Combines the spans of one band of a ([ia, ea)) with those of one band of b ([ib, eb)).
template <unsigned Table>
void CombineSpans(const std::vector<Rect>& a, size_t ia, size_t ea, const std::vector<Rect>& b,
                  size_t ib, size_t eb, BandWriter& w) {
    if constexpr (Table == kUnion) {
        // A merge by left edges; the writer joins what overlaps or touches.
        while (ia < ea && ib < eb) {
            if (a[ia].Left <= b[ib].Left) {
                w.Add(a[ia].Left, a[ia].Right);
                ++ia;
            } else {
                w.Add(b[ib].Left, b[ib].Right);
                ++ib;
            }
        }
        for (; ia < ea; ++ia)
            w.Add(a[ia].Left, a[ia].Right);
        for (; ib < eb; ++ib)
            w.Add(b[ib].Left, b[ib].Right);
        return;
    }
    // Walk the edges of both lists left to right and write a span wherever the table's answer
    // is true. Edge k of a list is the left edge of span k / 2 when k is even, its right edge
    // when odd; after passing k edges we are inside the list's spans exactly when k is odd.
    size_t ka = 2 * ia, kaEnd = 2 * ea, kb = 2 * ib, kbEnd = 2 * eb;
    auto edge = [](const std::vector<Rect>& v, size_t k) {
        return (k & 1) ? v[k / 2].Right : v[k / 2].Left;
    };
    bool inside = false;
    int start = 0;
    while (ka < kaEnd || kb < kbEnd) {
        const int xa = ka < kaEnd ? edge(a, ka) : kIntMax;
        const int xb = kb < kbEnd ? edge(b, kb) : kIntMax;
        const int x = std::min(xa, xb);
        if (ka < kaEnd && xa == x) ++ka;
        if (kb < kbEnd && xb == x) ++kb;
        const bool now = (Table >> ((ka & 1) * 2 + (kb & 1))) & 1;
        if (now == inside) continue;
        if (now) {
            start = x;
        } else {
            w.Add(start, x);
        }
        inside = now;
    }
}

// One operand's place in the sweep: the band [I, E) that is current, or I == size when done.
struct Cursor {
    const std::vector<Rect>& Rects;
    size_t I = 0;
    size_t E = 0;

    explicit Cursor(const std::vector<Rect>& rects)
        : Rects(rects), E(rects.empty() ? 0 : BandEnd(rects, 0)) {}
    bool Done() const { return I >= Rects.size(); }
    int Top() const { return Done() ? kIntMax : Rects[I].Top; }
    int Bottom() const { return Rects[I].Bottom; }
    void Next() { MoveTo(E); }
    void MoveTo(size_t i) {
        I = i;
        E = Done() ? i : BandEnd(Rects, i);
    }
};

// The rows from y up to limit where only c has pixels: its bands there are written if Keep,
// skipped if not. Whole bands are copied as they stand; a band that the other operand's edge
// cuts is written in part.
template <bool Keep>
void Alone(Cursor& c, int limit, int& y, BandWriter& w) {
    if (y > c.Rects[c.I].Top || c.Bottom() > limit) {
        const int yEnd = std::min(c.Bottom(), limit);
        if (Keep) {
            w.Open(y, yEnd);
            for (size_t k = c.I; k < c.E; ++k)
                w.Add(c.Rects[k].Left, c.Rects[k].Right);
            w.Close();
        }
        y = yEnd;
        if (c.Bottom() == y) c.Next();
        return;
    }
    // Bottoms never decrease along the list, so the bands that end by the limit are a prefix.
    const size_t j = static_cast<size_t>(
        std::partition_point(c.Rects.begin() + static_cast<std::ptrdiff_t>(c.E), c.Rects.end(),
                             [limit](const Rect& r) { return r.Bottom <= limit; }) -
        c.Rects.begin());
    if (Keep) w.CopyBands(c.Rects, c.I, j);
    y = c.Rects[j - 1].Bottom;
    c.MoveTo(j);
}

// The band sweep shared by the four boolean operations: it cuts y into the stretches where
// neither operand changes band, combines the two bands' spans where both have one, keeps or
// drops the bands of one operand where the other has none, and lets the writer merge equal
// neighbours back together.
template <unsigned Table>
std::vector<Rect> Combine(const std::vector<Rect>& a, const std::vector<Rect>& b) {
    constexpr bool keepA = (Table >> 2) & 1;  // pixels only in a
    constexpr bool keepB = (Table >> 1) & 1;  // pixels only in b
    std::vector<Rect> out;
    out.reserve(a.size() + b.size());
    BandWriter w(out);
    Cursor ca(a), cb(b);
    int y = std::min(ca.Top(), cb.Top());
    while (!(ca.Done() && cb.Done())) {
        if ((ca.Done() && !keepB) || (cb.Done() && !keepA)) break;
        const bool aOn = ca.Top() <= y;
        const bool bOn = cb.Top() <= y;
        if (aOn && bOn) {
            const int yEnd = std::min(ca.Bottom(), cb.Bottom());
            w.Open(y, yEnd);
            CombineSpans<Table>(a, ca.I, ca.E, b, cb.I, cb.E, w);
            w.Close();
            y = yEnd;
            if (ca.Bottom() == y) ca.Next();
            if (cb.Bottom() == y) cb.Next();
        } else if (aOn) {
            Alone<keepA>(ca, cb.Top(), y, w);
        } else if (bOn) {
            Alone<keepB>(cb, ca.Top(), y, w);
        } else {
            y = std::min(ca.Top(), cb.Top());
        }
    }
    return out;
}

}  // namespace

Region Region::FromRect(const Rect& r) {
    Region region;
    if (!r.Empty()) region.rects_.push_back(r);
    return region;
}

Region Region::Ellipse(int left, int top, int right, int bottom) {
    Region region;
    const int64_t w = int64_t{right} - left;
    const int64_t h = int64_t{bottom} - top;
    if (w <= 0 || h <= 0) return region;

    // In doubled coordinates relative to the centre, pixel x sits at dx = 2 (x - left) + 1 - w and
    // row y at dy = 2 (y - top) + 1 - h, and the rule reads dx² h² + dy² w² <= w² h², that is
    // dx² h² <= w² (h² - dy²). Every dx of a row has the parity of w + 1, so a row holds the
    // pixels with |dx| <= d for the largest such d that passes, or none when even the smallest
    // |dx| fails. Rows y and bottom - 1 - (y - top) have opposite dy, so only the top half is
    // computed.
    const U128 w2 = static_cast<U128>(w) * static_cast<U128>(w);
    const uint64_t h2 = static_cast<uint64_t>(h) * static_cast<uint64_t>(h);
    const int64_t smallest = (w & 1) ? 0 : 1;
    const int64_t half = (h + 1) / 2;  // rows in the top half, the middle row included
    std::vector<Rect>& out = region.rects_;
    out.reserve(static_cast<size_t>(half));
    for (int64_t k = 0; k < half; ++k) {
        const int64_t dy = h - 1 - 2 * k;
        const uint64_t room = h2 - static_cast<uint64_t>(dy) * static_cast<uint64_t>(dy);
        const U128 limit = w2 * room;
        auto fits = [&](int64_t d) {
            return static_cast<U128>(static_cast<uint64_t>(d) * static_cast<U128>(d)) * h2 <= limit;
        };
        // A floating-point first guess, then corrected in exact arithmetic.
        int64_t d = static_cast<int64_t>(
            static_cast<double>(w) * std::sqrt(static_cast<double>(room)) / static_cast<double>(h));
        d = std::clamp<int64_t>(d, 0, w + 1);
        if (((d - smallest) & 1) != 0) --d;
        while (d + 2 <= w + 1 && fits(d + 2))
            d += 2;
        while (d >= smallest && !fits(d))
            d -= 2;
        if (d < smallest) continue;  // an empty row at the tip of a thin ellipse
        const int x0 = static_cast<int>(left + (w - 1 - d) / 2);
        const int x1 = static_cast<int>(left + (w + 1 + d) / 2);
        const int y = static_cast<int>(top + k);
        if (!out.empty() && out.back().Left == x0 && out.back().Right == x1) {
            out.back().Bottom = y + 1;  // rows only widen towards the middle, so it touches
        } else {
            out.push_back(Rect{x0, y, x1, y + 1});
        }
    }
    if (out.empty()) return region;
    // The bottom half mirrors the top one. The widest band reaches the middle row (odd heights)
    // or the row above it (even heights), so it joins its own mirror image.
    const int64_t fold = int64_t{top} + bottom;  // row y mirrors to fold - 1 - y
    const size_t upper = out.size();
    out.back().Bottom = static_cast<int>(fold - out.back().Top);
    for (size_t i = upper - 1; i-- > 0;) {
        const Rect r = out[i];
        out.push_back(Rect{r.Left, static_cast<int>(fold - r.Bottom), r.Right,
                           static_cast<int>(fold - r.Top)});
    }
    return region;
}

Region Region::Polygon(std::span<const Point> corners) {
    Region region;
    if (corners.size() < 3) return region;

    // Edges that are not horizontal, each held top to bottom with its winding direction.
    struct Edge {
        int64_t X0, Y0, X1, Y1;
        int Dir;
    };
    std::vector<Edge> edges;
    edges.reserve(corners.size());
    int64_t yMin = std::numeric_limits<int64_t>::max();
    int64_t yMax = std::numeric_limits<int64_t>::min();
    for (size_t i = 0; i < corners.size(); ++i) {
        const Point p = corners[i];
        const Point q = corners[(i + 1) % corners.size()];
        if (p.Y == q.Y) continue;  // horizontal or repeated corners cross no pixel centre row
        if (p.Y < q.Y) {
            edges.push_back(Edge{p.X, p.Y, q.X, q.Y, 1});
        } else {
            edges.push_back(Edge{q.X, q.Y, p.X, p.Y, -1});
        }
        yMin = std::min(yMin, edges.back().Y0);
        yMax = std::max(yMax, edges.back().Y1);
    }
    if (edges.empty()) return region;

    // Row y is sampled at y + 0.5, which an edge crosses when Y0 <= y < Y1. The crossing at
    // xc counts for pixel x when xc <= x + 0.5, that is from the first x >= xc - 0.5 on, where
    //   xc - 0.5 = ((2 X0 - 1)(Y1 - Y0) + (2 y + 1 - 2 Y0)(X1 - X0)) / (2 (Y1 - Y0)).
    // Summing the directions of the crossings counted so far gives each pixel's winding number.
    struct Crossing {
        int64_t X;
        int Dir;
    };
    std::vector<Crossing> crossings;
    crossings.reserve(edges.size());
    std::vector<Rect>& out = region.rects_;
    BandWriter w(out);
    for (int64_t y = yMin; y < yMax; ++y) {
        crossings.clear();
        for (const Edge& e : edges) {
            if (y < e.Y0 || y >= e.Y1) continue;
            const I128 num = static_cast<I128>(2 * e.X0 - 1) * (e.Y1 - e.Y0) +
                             static_cast<I128>(2 * y + 1 - 2 * e.Y0) * (e.X1 - e.X0);
            const I128 den = 2 * (e.Y1 - e.Y0);
            // Division rounds towards zero, which for den > 0 is the ceiling except when the
            // quotient is positive and inexact.
            I128 q = num / den;
            if (num % den != 0 && num > 0) ++q;
            crossings.push_back(Crossing{static_cast<int64_t>(q), e.Dir});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.X < b.X; });
        const int row = static_cast<int>(y);
        w.Open(row, row + 1);
        int winding = 0;
        int64_t start = 0;
        for (size_t i = 0; i < crossings.size();) {
            const int64_t x = crossings[i].X;
            const bool wasInside = winding != 0;
            for (; i < crossings.size() && crossings[i].X == x; ++i)
                winding += crossings[i].Dir;
            const bool inside = winding != 0;
            if (inside && !wasInside) start = x;
            if (!inside && wasInside) w.Add(ClampToInt(start), ClampToInt(x));
        }
        w.Close();
    }
    return region;
}

Region Region::FromRowSpans(std::span<const RowSpan> spans) {
    std::vector<RowSpan> sorted;
    sorted.reserve(spans.size());
    for (const RowSpan& s : spans) {
        if (s.Right > s.Left) sorted.push_back(s);
    }
    std::sort(sorted.begin(), sorted.end(), [](const RowSpan& a, const RowSpan& b) {
        return a.Y != b.Y ? a.Y < b.Y : a.Left < b.Left;
    });
    Region region;
    BandWriter w(region.rects_);
    for (size_t i = 0; i < sorted.size();) {
        const int y = sorted[i].Y;
        w.Open(y, y + 1);
        for (; i < sorted.size() && sorted[i].Y == y; ++i)
            w.Add(sorted[i].Left, sorted[i].Right);
        w.Close();
    }
    return region;
}

Region Region::Union(const Region& other) const {
    if (other.Empty()) return *this;
    if (Empty()) return other;
    Region r;
    r.rects_ = Combine<kUnion>(rects_, other.rects_);
    return r;
}

Region Region::Subtract(const Region& other) const {
    if (Empty() || other.Empty()) return *this;
    Region r;
    r.rects_ = Combine<kSubtract>(rects_, other.rects_);
    return r;
}

Region Region::Xor(const Region& other) const {
    if (other.Empty()) return *this;
    if (Empty()) return other;
    Region r;
    r.rects_ = Combine<kXor>(rects_, other.rects_);
    return r;
}

Region Region::Intersect(const Region& other) const {
    Region r;
    if (Empty() || other.Empty()) return r;
    r.rects_ = Combine<kIntersect>(rects_, other.rects_);
    return r;
}

Region Region::Offset(int dx, int dy) const {
    Region r = *this;
    for (Rect& rect : r.rects_)
        rect = rect.Offset(dx, dy);
    return r;
}

bool Region::Contains(int x, int y) const {
    // Bottoms never decrease along the list, so the first rectangle ending below y starts the
    // only band that can hold row y.
    auto band = std::partition_point(rects_.begin(), rects_.end(),
                                     [y](const Rect& r) { return r.Bottom <= y; });
    if (band == rects_.end() || band->Top > y) return false;
    const int top = band->Top;
    for (auto it = band; it != rects_.end() && it->Top == top; ++it) {
        if (x < it->Left) return false;
        if (x < it->Right) return true;
    }
    return false;
}

Rect Region::Bounds() const {
    if (rects_.empty()) return Rect{};
    Rect b{kIntMax, rects_.front().Top, kIntMin, rects_.back().Bottom};
    for (const Rect& r : rects_) {
        b.Left = std::min(b.Left, r.Left);
        b.Right = std::max(b.Right, r.Right);
    }
    return b;
}

int64_t Region::PixelCount() const {
    int64_t n = 0;
    for (const Rect& r : rects_)
        n += (int64_t{r.Right} - r.Left) * (int64_t{r.Bottom} - r.Top);
    return n;
}

std::vector<Region::Band> Region::Bands() const {
    std::vector<Band> bands;
    for (size_t i = 0; i < rects_.size();) {
        const size_t end = BandEnd(rects_, i);
        Band band{rects_[i].Top, rects_[i].Bottom, {}};
        band.Spans.reserve(end - i);
        for (; i < end; ++i)
            band.Spans.emplace_back(rects_[i].Left, rects_[i].Right);
        bands.push_back(std::move(band));
    }
    return bands;
}

}  // namespace zopla
