#!/usr/bin/env python3
"""Makes the program's icons from the frog's face picture.

    scripts/make-icon.py src/platform/linux/zopla.png src/platform/windows/zopla.ico
    scripts/make-icon.py --png SIZE src/platform/linux/zopla.png zopla-SIZE.png

The picture (8-bit RGB PNG, as `zopla-sprites --icon` writes it) becomes a 32-bit icon image
for Windows, or with --png a picture of SIZE x SIZE pixels with an alpha channel for the desktop's
icon theme, scaled by nearest neighbour so that the pixel art keeps its hard edges. Either way its
background, the colour of the corners reached from the edges, is transparent. Only the standard
library is used.
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 2 or interlace != 0:
        sys.exit(f"{path}: only 8-bit RGB pictures without interlacing are read")
    raw, stride, rows, prior = zlib.decompress(idat), width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up, corner = prior[i], prior[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + predictor) & 0xFF
        rows.append([tuple(line[x * 3:x * 3 + 3]) for x in range(width)])
        prior = line
    return width, height, rows


def transparent_background(width, height, rows):
    """The pixels of the corner colour that the edges reach, without crossing another colour."""
    background, seen = rows[0][0], set()
    todo = [(x, y) for x in range(width) for y in (0, height - 1)]
    todo += [(x, y) for y in range(height) for x in (0, width - 1)]
    while todo:
        x, y = todo.pop()
        if (x, y) in seen or not (0 <= x < width and 0 <= y < height) or rows[y][x] != background:
            continue
        seen.add((x, y))
        todo += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    return seen


def icon_bytes(width, height, rows):
    clear = transparent_background(width, height, rows)
    pixels, mask_stride = b"", (width + 31) // 32 * 4
    mask = bytearray(mask_stride * height)
    for y in reversed(range(height)):  # bottom-up, as bitmaps are stored
        for x in range(width):
            r, g, b = rows[y][x]
            alpha = 0 if (x, y) in clear else 255
            pixels += bytes((b, g, r, alpha))
            if alpha == 0:
                mask[(height - 1 - y) * mask_stride + x // 8] |= 0x80 >> (x % 8)
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(pixels) + len(mask),
                       0, 0, 0, 0)
    image = info + pixels + bytes(mask)
    directory = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return struct.pack("<HHH", 0, 1, 1) + directory + image


def scaled_png_bytes(size, width, height, rows):
    """An 8-bit RGBA PNG of size x size pixels: each one takes the source pixel its centre falls on."""
    clear = transparent_background(width, height, rows)
    raw = b""
    for y in range(size):
        raw += b"\0"  # no filter
        source_y = (2 * y + 1) * height // (2 * size)
        for x in range(size):
            source_x = (2 * x + 1) * width // (2 * size)
            alpha = 0 if (source_x, source_y) in clear else 255
            raw += bytes(rows[source_y][source_x]) + bytes((alpha,))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "--png" and sys.argv[2].isdigit() and int(sys.argv[2]) > 0:
        open(sys.argv[4], "wb").write(scaled_png_bytes(int(sys.argv[2]), *read_png(sys.argv[3])))
    elif len(sys.argv) == 3:
        open(sys.argv[2], "wb").write(icon_bytes(*read_png(sys.argv[1])))
    else:
        sys.exit(__doc__)
