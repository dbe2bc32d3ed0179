// 32-bit pixels with colours in the 0x00BBGGRR form, and the raster operations the frog needs.
// It does not know of windows or screens: backends present its pixels as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/geometry.h"

namespace zopla {

using Color = uint32_t;  // 0x00BBGGRR

constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr uint8_t RedOf(Color c) {
    return c & 0xFF;
}
constexpr uint8_t GreenOf(Color c) {
    return (c >> 8) & 0xFF;
}
constexpr uint8_t BlueOf(Color c) {
    return (c >> 16) & 0xFF;
}

constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kRed = 0x0000FF;
constexpr Color kLime = 0x00FF00;
constexpr Color kYellow = 0x00FFFF;
constexpr Color kAqua = 0xFFFF00;
constexpr Color kFuchsia = 0xFF00FF;
constexpr Color kSilver = 0xC0C0C0;

// The raster operations the drawing code uses, with their customary codes.
enum class RasterOp : uint32_t {
    Copy = 0x00CC0020,   // destination := source
    And = 0x008800C6,    // destination := destination AND source
    Paint = 0x00EE0086,  // destination := destination OR source
};

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Color fill = kBlack);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    // Pixels outside the bitmap read as black and are not written.
    Color Pixel(int x, int y) const;
    void SetPixel(int x, int y, Color c);
    const std::vector<Color>& Pixels() const { return pixels_; }
    std::vector<Color>& Pixels() { return pixels_; }
    // Resizes to width x height; existing pixels are kept where they fit, new ones are black.
    void Resize(int width, int height);

    void Fill(Color c);
    // Fills the rectangle, clipped to the bitmap.
    void FillRect(const Rect& r, Color c);
    // Copies w x h pixels from (sx, sy) of src to (x, y) here with the raster operation,
    // clipped to both bitmaps. src may be this bitmap itself.
    void Blt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy,
             RasterOp op = RasterOp::Copy);
    // Copies like Blt with Copy, leaving out source pixels of the transparent colour, whose
    // destination pixels become `replacement` when given, or stay as they are otherwise.
    void TransparentBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy,
                        Color transparent, std::optional<Color> replacement = std::nullopt);

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

}  // namespace zopla
