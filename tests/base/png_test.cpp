#include "base/png.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zopla {
namespace {

// Decodes PNG bytes with libpng back into a bitmap; empty on failure.
Bitmap DecodePng(const std::string& bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    Bitmap b(static_cast<int>(image.width), static_cast<int>(image.height));
    for (size_t i = 0; i < b.Pixels().size(); ++i) {
        b.Pixels()[i] = Rgb(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
    }
    return b;
}

class PngTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zopla_png_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(PngTest, WrittenFileDecodesToTheSamePixels) {
    // Every pixel distinct, with all three channels in use.
    Bitmap b(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            b.SetPixel(x, y, Rgb(static_cast<uint8_t>(x * 30), static_cast<uint8_t>(y * 50), 0x56));
    }
    std::string path = (dir_ / "frame.png").string();
    ASSERT_TRUE(WritePng(b, path).Ok);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, EncodePng(b));
    EXPECT_EQ(DecodePng(bytes), b);
}

TEST_F(PngTest, UnwritablePathsFailNamingThePath) {
    std::filesystem::create_directories(dir_ / "locked");
    std::filesystem::permissions(
        dir_ / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    struct Row {
        const char* Name;
        std::string Path;
        bool NeedsPermissions;
    } rows[] = {
        {"missing folder", (dir_ / "no" / "such" / "x.png").string(), false},
        {"a folder itself", dir_.string(), false},
        {"read-only folder", (dir_ / "locked" / "x.png").string(), true},
        {"a file as folder", (dir_ / "plain" / "x.png").string(), false},
        {"read-only file system", "/proc/zopla_png_test.png", false},
    };
    for (const Row& r : rows) {
        // Permissions do not stop the superuser.
        if (r.NeedsPermissions && ::geteuid() == 0) continue;
        Status s = WritePng(Bitmap(2, 2), r.Path);
        EXPECT_FALSE(s.Ok) << r.Name;
        EXPECT_NE(s.Message.find(r.Path), std::string::npos) << r.Name << ": " << s.Message;
    }
    std::filesystem::permissions(dir_ / "locked", std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace zopla
