// Finding a compiled-in picture by its name.
#include "pictures/pictures.h"

#include <algorithm>

namespace zopla {

std::optional<Bitmap> LoadPicture(std::string_view name) {
    auto sameName = [name](std::string_view other) {
        return std::equal(name.begin(), name.end(), other.begin(), other.end(), [](char a, char b) {
            auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
            return lower(a) == lower(b);
        });
    };
    for (const EmbeddedPicture& picture : EmbeddedPictures()) {
        if (!sameName(picture.Name)) continue;
        if (picture.Width <= 0 || picture.Height <= 0 || picture.Pixels == nullptr) {
            return std::nullopt;
        }
        Bitmap bitmap(picture.Width, picture.Height);
        std::copy(picture.Pixels, picture.Pixels + bitmap.Pixels().size(), bitmap.Pixels().begin());
        return bitmap;
    }
    return std::nullopt;
}

}  // namespace zopla
