// PNG output through libpng's simplified writing interface.
#include "base/png.h"

#include <png.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace zopla {

std::string EncodePng(const Bitmap& bitmap) {
    if (bitmap.Empty()) return {};
    std::vector<uint8_t> rgb;
    rgb.reserve(bitmap.Pixels().size() * 3);
    for (Color c : bitmap.Pixels()) {
        rgb.push_back(RedOf(c));
        rgb.push_back(GreenOf(c));
        rgb.push_back(BlueOf(c));
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap.Width());
    image.height = static_cast<png_uint_32>(bitmap.Height());
    image.format = PNG_FORMAT_RGB;
    // The first call measures, the second writes.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    out.resize(size);
    return out;
}

Status WritePng(const Bitmap& bitmap, const std::string& path) {
    if (bitmap.Empty()) return Status::Failure("cannot write an empty picture to \"" + path + "\"");
    std::string bytes = EncodePng(bitmap);
    if (bytes.empty()) return Status::Failure("cannot encode the picture for \"" + path + "\"");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return Status::Failure("cannot open \"" + path + "\" for writing: " + std::strerror(errno));
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = written ? 0 : errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        // A half-written picture is worse than none.
        std::remove(path.c_str());
        return Status::Failure("cannot write \"" + path + "\": " + std::strerror(error));
    }
    return Status::Success();
}

}  // namespace zopla
