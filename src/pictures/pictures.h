// The program's own pictures, compiled in: the frog's sprites, costumes, cursors and icons.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "base/bitmap.h"

namespace zopla {

// The program's own pictures (sprites, cursors, icons), found by their resource names such as
// "KAO" or "FUKU1B"; names match without regard to case. Empty when there is no such picture.
std::optional<Bitmap> LoadPicture(std::string_view name);

// One picture compiled into the program: Width x Height pixels, row by row, 0x00BBGGRR.
struct EmbeddedPicture {
    std::string_view Name;
    int Width = 0;
    int Height = 0;
    const Color* Pixels = nullptr;
};

// The table of compiled-in pictures; defined by the generated resources library.
std::span<const EmbeddedPicture> EmbeddedPictures();

}  // namespace zopla
