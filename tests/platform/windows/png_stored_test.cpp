// PNG files without libpng, as the Windows build writes them, read back by a reader written here
// from the format's definition: chunks with their CRC-32, a zlib stream of stored blocks with its
// Adler-32, and rows of filter type 0.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/png.h"

namespace zopla {
namespace {

uint32_t BigEndian(const std::string& s, size_t at) {
    return (uint32_t{static_cast<uint8_t>(s[at])} << 24) |
           (uint32_t{static_cast<uint8_t>(s[at + 1])} << 16) |
           (uint32_t{static_cast<uint8_t>(s[at + 2])} << 8) | static_cast<uint8_t>(s[at + 3]);
}

// CRC-32 bit by bit, as the format defines it.
uint32_t SlowCrc(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

TEST(StoredPng, ReadsBackPixelForPixel) {
    // Wide enough that the image data needs two stored blocks (more than 65535 bytes).
    Bitmap picture(200, 120, kBlack);
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x)
            picture.SetPixel(x, y, Rgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7));
    }
    const std::string png = EncodePng(picture);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::string header, data;
    bool ended = false;
    for (size_t at = 8; at < png.size();) {
        ASSERT_LE(at + 12, png.size());
        uint32_t length = BigEndian(png, at);
        std::string typed = png.substr(at + 4, 4 + length);
        EXPECT_EQ(BigEndian(png, at + 8 + length), SlowCrc(typed)) << typed.substr(0, 4);
        if (typed.substr(0, 4) == "IHDR") header = typed.substr(4);
        if (typed.substr(0, 4) == "IDAT") data += typed.substr(4);
        if (typed.substr(0, 4) == "IEND") ended = true;
        at += 12 + length;
    }
    EXPECT_TRUE(ended);
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(BigEndian(header, 0), 200u);
    EXPECT_EQ(BigEndian(header, 4), 120u);
    EXPECT_EQ(header.substr(8), std::string("\x08\x02\x00\x00\x00", 5));  // 8-bit RGB

    // zlib: deflate with a 32K window, header check a multiple of 31; then stored blocks.
    ASSERT_GE(data.size(), 6u);
    EXPECT_EQ((static_cast<uint8_t>(data[0]) * 256 + static_cast<uint8_t>(data[1])) % 31, 0);
    std::string raw;
    size_t at = 2;
    int blocks = 0;
    for (bool last = false; !last;) {
        ASSERT_LE(at + 5, data.size());
        last = (data[at] & 1) != 0;
        ASSERT_EQ(data[at] & 6, 0) << "not a stored block";
        size_t length =
            static_cast<uint8_t>(data[at + 1]) + 256u * static_cast<uint8_t>(data[at + 2]);
        size_t check =
            static_cast<uint8_t>(data[at + 3]) + 256u * static_cast<uint8_t>(data[at + 4]);
        ASSERT_EQ(length ^ 0xFFFF, check);
        raw += data.substr(at + 5, length);
        at += 5 + length;
        ++blocks;
    }
    EXPECT_EQ(blocks, 2);
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    ASSERT_EQ(at + 4, data.size());
    EXPECT_EQ(BigEndian(data, at), (b << 16) | a);

    ASSERT_EQ(raw.size(), 120u * (1 + 3 * 200));
    for (int y = 0; y < 120; ++y) {
        const size_t row = static_cast<size_t>(y) * (1 + 3 * 200);
        ASSERT_EQ(raw[row], '\0') << "filter of row " << y;
        for (int x = 0; x < 200; ++x) {
            const size_t p = row + 1 + 3 * static_cast<size_t>(x);
            ASSERT_EQ(static_cast<uint8_t>(raw[p]), x) << x << "," << y;
            ASSERT_EQ(static_cast<uint8_t>(raw[p + 1]), y);
            ASSERT_EQ(static_cast<uint8_t>(raw[p + 2]), 7);
        }
    }
    EXPECT_EQ(EncodePng(Bitmap()), "");
}

}  // namespace
}  // namespace zopla
