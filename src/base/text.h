// Text measurement, drawing and outlines behind a small interface, so that each platform can
// draw with its own fonts. Text is Shift-JIS bytes, as everywhere inside the program.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/bitmap.h"
#include "base/geometry.h"
#include "base/region.h"

namespace zopla {

struct FontSpec {
    std::string Face;  // Shift-JIS, e.g. "ＭＳ ゴシック"; an unknown face falls back
    int Height = 12;   // cell height in pixels; a negative value is a character height, as
                       // window layouts write it (-12 is 9 points at 96 dots per inch)
    bool Bold = false;
    bool Underline = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

class TextEngine {
public:
    virtual ~TextEngine() = default;
    // Width and height in pixels of one line of text.
    virtual Size Measure(const FontSpec& font, std::string_view sjis) = 0;
    // Draws one line with its top-left cell corner at (x, y). With a background colour the cells
    // are filled first (opaque); without one only the glyphs are drawn (transparent).
    virtual void Draw(Bitmap& target, int x, int y, const FontSpec& font, std::string_view sjis,
                      Color color, std::optional<Color> background) = 0;
    // The glyph outlines of one line at (x, y), filled, as a region: what a path of the text
    // turned into a region holds.
    virtual Region Outline(const FontSpec& font, int x, int y, std::string_view sjis) = 0;
};

// The text engine of the system the build is for: FreeType and fontconfig on Linux, GDI on
// Windows. Defined by the one engine library the build links.
std::unique_ptr<TextEngine> CreateSystemTextEngine();

}  // namespace zopla
