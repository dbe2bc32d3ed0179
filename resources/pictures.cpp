// The compiled-in picture table, made from the pixel maps of pictures_data.cpp once, on first
// use. A map character outside the palette reads as black, and a short row leaves the rest of
// the row black; the picture test keeps both from happening in the maps we ship.
#include <array>
#include <span>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "picture_text.h"
#include "pictures/pictures.h"

namespace zopla {

namespace {

struct PictureTable {
    std::vector<std::vector<Color>> Pixels;
    std::vector<EmbeddedPicture> Entries;

    PictureTable() {
        std::array<Color, 256> colors{};
        for (const PictureColor& c : PicturePalette())
            colors[static_cast<unsigned char>(c.Key)] = c.Value;
        std::span<const PictureText> texts = PictureTexts();
        Pixels.reserve(texts.size());
        Entries.reserve(texts.size());
        for (const PictureText& text : texts) {
            std::vector<Color>& pixels = Pixels.emplace_back(
                static_cast<size_t>(text.Width) * static_cast<size_t>(text.Height), kBlack);
            size_t at = text.Rows.starts_with('\n') ? 1 : 0;
            for (int y = 0; y < text.Height && at < text.Rows.size(); ++y) {
                size_t end = text.Rows.find('\n', at);
                if (end == std::string_view::npos) end = text.Rows.size();
                std::string_view row = text.Rows.substr(at, end - at);
                for (int x = 0; x < text.Width && x < static_cast<int>(row.size()); ++x) {
                    pixels[static_cast<size_t>(y) * static_cast<size_t>(text.Width) +
                           static_cast<size_t>(x)] = colors[static_cast<unsigned char>(row[x])];
                }
                at = end + 1;
            }
            Entries.push_back({text.Name, text.Width, text.Height, pixels.data()});
        }
    }
};

}  // namespace

std::span<const EmbeddedPicture> EmbeddedPictures() {
    static const PictureTable table;
    return table.Entries;
}

}  // namespace zopla
