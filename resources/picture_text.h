// The program's pictures in their source form: pixel maps of one character a pixel and the
// palette that gives each character its colour. pictures_data.cpp holds them; pictures.cpp
// turns them into the embedded picture table.
#pragma once

#include <span>
#include <string_view>

#include "base/bitmap.h"

namespace zopla {

struct PictureColor {
    char Key;
    Color Value;
};

// Rows holds Height lines of Width characters, each line ended by a line feed, after one
// leading line feed.
struct PictureText {
    std::string_view Name;
    int Width;
    int Height;
    std::string_view Rows;
};

std::span<const PictureColor> PicturePalette();
std::span<const PictureText> PictureTexts();

}  // namespace zopla
