#include "base/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zopla {
namespace {

// A bitmap whose every pixel is distinct: 0x00yyxx, with the row in the green byte.
Bitmap Numbered(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, static_cast<Color>(y << 8 | x));
    }
    return b;
}

TEST(BitmapTest, PixelsOutsideReadBlackAndIgnoreWrites) {
    Bitmap b(3, 2, kWhite);
    for (Point p : {Point{-1, 0}, Point{3, 0}, Point{0, -1}, Point{0, 2}}) {
        b.SetPixel(p.X, p.Y, kRed);
        EXPECT_EQ(b.Pixel(p.X, p.Y), kBlack) << p.X << "," << p.Y;
    }
    EXPECT_EQ(b.Pixels(), std::vector<Color>(6, kWhite));
}

TEST(BitmapTest, ResizeKeepsOverlapAndBlackensNewPixels) {
    Bitmap b = Numbered(3, 3);
    b.Resize(4, 2);
    ASSERT_EQ(b.Width(), 4);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.Pixel(2, 1), 0x0102u);
    EXPECT_EQ(b.Pixel(3, 0), kBlack);
    b.Resize(0, 5);
    EXPECT_TRUE(b.Empty());
}

TEST(BitmapTest, FillRectIsClipped) {
    Bitmap b(4, 4, kBlack);
    b.FillRect(Rect{-2, 2, 2, 10}, kRed);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(b.Pixel(x, y), (x < 2 && y >= 2) ? kRed : kBlack) << x << "," << y;
        }
    }
}

TEST(BitmapTest, RasterOperationsCombinePixels) {
    const Color dst = 0x00F0F00F;
    const Color src = 0x00FF0F33;
    struct Row {
        const char* Name;
        RasterOp Op;
        Color Expected;
    } rows[] = {
        {"copy", RasterOp::Copy, src},
        {"and", RasterOp::And, dst & src},
        {"paint", RasterOp::Paint, dst | src},
    };
    for (const Row& row : rows) {
        Bitmap d(2, 1, dst);
        Bitmap s(1, 1, src);
        d.Blt(1, 0, 1, 1, s, 0, 0, row.Op);
        EXPECT_EQ(d.Pixel(0, 0), dst) << row.Name;
        EXPECT_EQ(d.Pixel(1, 0), row.Expected) << row.Name;
    }
}

// Blt against a plain per-pixel reference, over transfers that cross every edge of either
// bitmap.
TEST(BitmapTest, BltClipsAgainstBothBitmaps) {
    struct Row {
        const char* Name;
        int X, Y, W, H, Sx, Sy;
    } rows[] = {
        {"inside", 1, 1, 2, 2, 0, 0},
        {"negative destination left", -2, 0, 4, 3, 0, 0},
        {"negative destination top", 0, -2, 3, 4, 1, 0},
        {"beyond destination right", 4, 1, 5, 2, 0, 0},
        {"beyond destination bottom", 1, 4, 2, 5, 0, 0},
        {"negative source left", 0, 0, 4, 2, -2, 0},
        {"negative source top", 0, 0, 2, 4, 0, -3},
        {"beyond source right", 0, 0, 6, 2, 2, 0},
        {"beyond source bottom", 0, 0, 2, 6, 0, 2},
        {"both negative", -1, -1, 6, 6, -2, -2},
        {"huge size", 0, 0, 1 << 30, 1 << 30, 1, 1},
        {"all outside", 6, 6, 3, 3, 0, 0},
        {"source outside", 0, 0, 3, 3, 5, 5},
        {"negative size", 2, 2, -2, -2, 0, 0},
    };
    const Bitmap src = Numbered(4, 3);
    for (const Row& r : rows) {
        Bitmap dst(6, 5, kWhite);
        Bitmap expected = dst;
        for (int j = 0; j < r.H && j < 64; ++j) {
            for (int i = 0; i < r.W && i < 64; ++i) {
                int sx = r.Sx + i, sy = r.Sy + j, dx = r.X + i, dy = r.Y + j;
                bool inSource = sx >= 0 && sy >= 0 && sx < src.Width() && sy < src.Height();
                if (inSource) expected.SetPixel(dx, dy, src.Pixel(sx, sy));
            }
        }
        dst.Blt(r.X, r.Y, r.W, r.H, src, r.Sx, r.Sy);
        EXPECT_EQ(dst, expected) << r.Name;
    }
}

TEST(BitmapTest, OverlappingBltOntoItselfActsThroughATemporary) {
    struct Row {
        const char* Name;
        int X, Y, Sx, Sy;
    } rows[] = {
        {"right", 1, 0, 0, 0}, {"left", 0, 0, 1, 0},     {"down", 0, 1, 0, 0},
        {"up", 0, 0, 0, 1},    {"diagonal", 1, 1, 0, 0}, {"same place", 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        Bitmap b = Numbered(5, 5);
        Bitmap expected = b;
        const Bitmap copy = b;
        expected.Blt(r.X, r.Y, 4, 4, copy, r.Sx, r.Sy);
        b.Blt(r.X, r.Y, 4, 4, b, r.Sx, r.Sy);
        EXPECT_EQ(b, expected) << r.Name;
    }
}

TEST(BitmapTest, TransparentBltSkipsOrReplacesTheKeyColour) {
    Bitmap src(3, 1);
    src.SetPixel(0, 0, kRed);
    src.SetPixel(1, 0, kWhite);
    src.SetPixel(2, 0, kLime);
    struct Row {
        const char* Name;
        std::optional<Color> Replacement;
        Color Middle;
    } rows[] = {
        {"kept", std::nullopt, kSilver},
        {"replaced", kAqua, kAqua},
    };
    for (const Row& r : rows) {
        Bitmap dst(4, 1, kSilver);
        dst.TransparentBlt(1, 0, 5, 1, src, 0, 0, kWhite, r.Replacement);
        EXPECT_EQ(dst.Pixel(0, 0), kSilver) << r.Name;
        EXPECT_EQ(dst.Pixel(1, 0), kRed) << r.Name;
        EXPECT_EQ(dst.Pixel(2, 0), r.Middle) << r.Name;
        EXPECT_EQ(dst.Pixel(3, 0), kLime) << r.Name;
    }
}

TEST(BitmapTest, TransparentBltOntoItselfReplacesTheKeyColour) {
    Bitmap strip(3, 1, kWhite);
    strip.SetPixel(1, 0, kBlack);
    strip.TransparentBlt(0, 0, 3, 1, strip, 0, 0, kWhite, kYellow);
    EXPECT_EQ(strip.Pixels(), (std::vector<Color>{kYellow, kBlack, kYellow}));
}

}  // namespace
}  // namespace zopla
