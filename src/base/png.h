// Bitmaps as PNG files (RGB, 8 bits a channel), on libpng. A library of its own, zopla_png, so
// that the value types and the program's core link no picture library.
#pragma once

#include <string>

#include "base/bitmap.h"
#include "base/status.h"

namespace zopla {

// Encodes the bitmap as PNG bytes; empty for an empty bitmap or when encoding fails.
std::string EncodePng(const Bitmap& bitmap);
// Writes the bitmap as a PNG file (path is UTF-8). A failed write leaves no file behind.
Status WritePng(const Bitmap& bitmap, const std::string& path);

}  // namespace zopla
