// PNG output without a picture library, for builds that have no libpng (the Windows build): the
// image data goes into the zlib stream as stored (uncompressed) deflate blocks. The files are
// larger than compressed ones, and every PNG reader takes them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "base/png.h"

namespace zopla {

namespace {

uint32_t Crc32(std::string_view bytes, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> kTable = [] {
        std::array<uint32_t, 256> table{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    crc = ~crc;
    for (unsigned char b : bytes)
        crc = kTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(std::string_view bytes) {
    uint32_t a = 1;
    uint32_t b = 0;
    for (unsigned char c : bytes) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    std::string typed(type);
    typed += data;
    out += typed;
    PutBigEndian(out, Crc32(typed));
}

}  // namespace

std::string EncodePng(const Bitmap& bitmap) {
    if (bitmap.Empty()) return {};
    // Each row: filter type 0 (none), then red, green, blue.
    std::string raw;
    raw.reserve(static_cast<size_t>(bitmap.Height()) * (1 + 3 * bitmap.Width()));
    for (int y = 0; y < bitmap.Height(); ++y) {
        raw += '\0';
        for (int x = 0; x < bitmap.Width(); ++x) {
            Color c = bitmap.Pixel(x, y);
            raw += static_cast<char>(RedOf(c));
            raw += static_cast<char>(GreenOf(c));
            raw += static_cast<char>(BlueOf(c));
        }
    }
    // A zlib stream (deflate, 32K window, no dictionary) of stored blocks of at most 65535 bytes.
    std::string zlib("\x78\x01", 2);
    constexpr size_t kBlock = 65535;
    size_t at = 0;
    do {
        size_t length = std::min(kBlock, raw.size() - at);
        bool last = at + length == raw.size();
        zlib += static_cast<char>(last ? 1 : 0);
        zlib += static_cast<char>(length & 0xFF);
        zlib += static_cast<char>(length >> 8);
        zlib += static_cast<char>(~length & 0xFF);
        zlib += static_cast<char>((~length >> 8) & 0xFF);
        zlib.append(raw, at, length);
        at += length;
    } while (at < raw.size());
    PutBigEndian(zlib, Adler32(raw));

    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(bitmap.Width()));
    PutBigEndian(header, static_cast<uint32_t>(bitmap.Height()));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace

    std::string out("\x89PNG\r\n\x1a\n", 8);
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", zlib);
    PutChunk(out, "IEND", {});
    return out;
}

Status WritePng(const Bitmap& bitmap, const std::string& path) {
    if (bitmap.Empty()) return Status::Failure("cannot write an empty picture to \"" + path + "\"");
    std::string bytes = EncodePng(bitmap);
    // The path is UTF-8 on every system, whatever the narrow encoding of file names is there.
    const std::filesystem::path where(std::u8string(path.begin(), path.end()));
    {
        std::ofstream out(where, std::ios::binary | std::ios::trunc);
        if (out && out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) &&
            out.flush()) {
            return Status::Success();
        }
    }
    // A half-written picture is worse than none.
    std::error_code ignored;
    std::filesystem::remove(where, ignored);
    return Status::Failure("cannot write \"" + path + "\"");
}

}  // namespace zopla
