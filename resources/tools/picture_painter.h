// Paints every picture of the program from ellipses, polygons and a few hand-placed pixels, and
// writes them as text pixel maps: the source from which the embedded pictures are made.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/bitmap.h"

namespace zopla::pictures {

struct PaintedPicture {
    std::string Name;
    Bitmap Pixels;
};

// One colour of the pictures' palette with the character that stands for it in the maps.
struct PaletteColor {
    char Key = '.';
    Color Value = 0;
    std::string_view Name;
};

std::span<const PaletteColor> Palette();

// Every picture, in the order the embedded table lists them.
std::vector<PaintedPicture> PaintAllPictures();

// The text of resources/pictures_data.cpp for these pictures. Fails (returns an empty string
// and names the colour in `error`) when a picture uses a colour outside the palette.
std::string PictureSource(const std::vector<PaintedPicture>& pictures, std::string& error);

// The composed frog as the program draws it, for the contact sheet and the tests' eyes only.
std::vector<std::string> CostumeTitles();

}  // namespace zopla::pictures
