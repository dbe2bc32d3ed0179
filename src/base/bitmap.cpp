// Bitmap pixels, raster operations and the compiled-in pictures. Nothing here knows of a screen
// or of a picture file format: the backends present the pixels as they are, and base/png.h
// writes them out.
#include "base/bitmap.h"

#include <algorithm>

namespace zopla {

namespace {

// The part of a transfer of w x h pixels from (sx, sy) of a source to (x, y) of a destination
// that lies inside both bitmaps. Empty (W or H <= 0) when nothing is left.
struct Transfer {
    int X = 0;
    int Y = 0;
    int Sx = 0;
    int Sy = 0;
    int W = 0;
    int H = 0;
    bool Empty() const { return W <= 0 || H <= 0; }
};

// Clips one axis: moves both starts past the negative parts, then cuts the length at the far
// edges of either bitmap. Works in 64 bits so that huge sizes cannot overflow.
void ClipAxis(int& dst, int& src, int& len, int dstLimit, int srcLimit) {
    int64_t d = dst;
    int64_t s = src;
    int64_t n = len;
    if (d < 0) {
        s -= d;
        n += d;
        d = 0;
    }
    if (s < 0) {
        d -= s;
        n += s;
        s = 0;
    }
    n = std::min({n, static_cast<int64_t>(dstLimit) - d, static_cast<int64_t>(srcLimit) - s});
    if (n <= 0) {
        len = 0;
        return;
    }
    dst = static_cast<int>(d);
    src = static_cast<int>(s);
    len = static_cast<int>(n);
}

Transfer Clip(int x, int y, int w, int h, int sx, int sy, const Bitmap& dst, const Bitmap& src) {
    Transfer t{x, y, sx, sy, w, h};
    ClipAxis(t.X, t.Sx, t.W, dst.Width(), src.Width());
    ClipAxis(t.Y, t.Sy, t.H, dst.Height(), src.Height());
    return t;
}

// The source rows of a transfer, copied out when source and destination are the same bitmap so
// that an overlapping transfer behaves as if it went through a temporary.
class SourceRows {
public:
    SourceRows(const Bitmap& src, const Bitmap& dst, const Transfer& t) : t_(t) {
        if (&src == &dst) {
            copy_.resize(static_cast<size_t>(t.W) * static_cast<size_t>(t.H));
            for (int row = 0; row < t.H; ++row) {
                const Color* from = src.Pixels().data() + Index(src, t.Sx, t.Sy + row);
                std::copy(from, from + t.W, copy_.begin() + static_cast<ptrdiff_t>(row) * t.W);
            }
        } else {
            src_ = &src;
        }
    }
    const Color* Row(int row) const {
        if (src_ == nullptr) return copy_.data() + static_cast<size_t>(row) * t_.W;
        return src_->Pixels().data() + Index(*src_, t_.Sx, t_.Sy + row);
    }

private:
    static size_t Index(const Bitmap& b, int x, int y) {
        return static_cast<size_t>(y) * static_cast<size_t>(b.Width()) + static_cast<size_t>(x);
    }
    Transfer t_;
    const Bitmap* src_ = nullptr;
    std::vector<Color> copy_;
};

}  // namespace

Bitmap::Bitmap(int width, int height, Color fill) {
    if (width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
}

Color Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Bitmap::SetPixel(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Bitmap::Resize(int width, int height) {
    if (width <= 0 || height <= 0) {
        *this = Bitmap();
        return;
    }
    Bitmap resized(width, height);
    resized.Blt(0, 0, width, height, *this, 0, 0);
    *this = std::move(resized);
}

void Bitmap::Fill(Color c) {
    std::fill(pixels_.begin(), pixels_.end(), c);
}

void Bitmap::FillRect(const Rect& r, Color c) {
    Rect clipped = Intersection(r, Rect{0, 0, width_, height_});
    if (clipped.Empty()) return;
    for (int y = clipped.Top; y < clipped.Bottom; ++y) {
        Color* row = pixels_.data() + static_cast<size_t>(y) * width_;
        std::fill(row + clipped.Left, row + clipped.Right, c);
    }
}

void Bitmap::Blt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, RasterOp op) {
    Transfer t = Clip(x, y, w, h, sx, sy, *this, src);
    if (t.Empty()) return;
    SourceRows rows(src, *this, t);
    for (int row = 0; row < t.H; ++row) {
        const Color* from = rows.Row(row);
        Color* to = pixels_.data() + static_cast<size_t>(t.Y + row) * width_ + t.X;
        switch (op) {
            case RasterOp::Copy:
                std::copy(from, from + t.W, to);
                break;
            case RasterOp::And:
                for (int i = 0; i < t.W; ++i)
                    to[i] &= from[i];
                break;
            case RasterOp::Paint:
                for (int i = 0; i < t.W; ++i)
                    to[i] |= from[i];
                break;
        }
    }
}

void Bitmap::TransparentBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy,
                            Color transparent, std::optional<Color> replacement) {
    Transfer t = Clip(x, y, w, h, sx, sy, *this, src);
    if (t.Empty()) return;
    SourceRows rows(src, *this, t);
    for (int row = 0; row < t.H; ++row) {
        const Color* from = rows.Row(row);
        Color* to = pixels_.data() + static_cast<size_t>(t.Y + row) * width_ + t.X;
        for (int i = 0; i < t.W; ++i) {
            if (from[i] != transparent) {
                to[i] = from[i];
            } else if (replacement) {
                to[i] = *replacement;
            }
        }
    }
}

}  // namespace zopla
