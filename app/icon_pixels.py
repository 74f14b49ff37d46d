#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Decodes the window's icons (non-interlaced RGBA PNGs, 8 or 16 bits a
sample) into a C++ header of ARGB32 pixels, one array a size:

  icon_pixels.py <header> <png>...

The program makes the window's icon from these as they are, without an
image reader and the image plugins that one looks through.
"""

import os
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode(path):
    """(width, height, [0xAARRGGBB, ...]) of an RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    if colour != 6 or depth not in (8, 16) or interlace:
        sys.exit(f"{path}: wanted a non-interlaced RGBA PNG of 8 or 16 bits a sample")
    step = 4 * depth // 8  # bytes a pixel
    stride = width * step
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - step] if x >= step else 0
            b = previous[x]
            c = previous[x - step] if x >= step else 0
            if kind == 1:
                line[x] = (line[x] + a) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + b) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 0xFF
            elif kind == 4:
                line[x] = (line[x] + paeth(a, b, c)) & 0xFF
            elif kind != 0:
                sys.exit(f"{path}: unknown filter {kind}")
        rows.append(line)
        previous = line
    pixels = []
    for line in rows:
        for x in range(width):
            if depth == 16:
                r, g, b, a = (round(v / 257) for v in struct.unpack(">4H", line[x * 8:x * 8 + 8]))
            else:
                r, g, b, a = line[x * 4:x * 4 + 4]
            pixels.append(a << 24 | r << 16 | g << 8 | b)
    return width, height, pixels


def main():
    header, pngs = sys.argv[1], sys.argv[2:]
    out = ["// Made by app/icon_pixels.py from the window's icons: do not edit.",
           "#pragma once", "", "#include <cstdint>", "", "namespace numbrook {", "",
           "struct IconPixels {", "    int size;", "    const std::uint32_t* argb;", "};", ""]
    names = []
    for n, png in enumerate(pngs):
        width, height, pixels = decode(png)
        if width != height:
            sys.exit(f"{png}: not square")
        names.append((width, f"kIcon{n}"))
        out.append(f"inline constexpr std::uint32_t kIcon{n}[] = {{")
        for i in range(0, len(pixels), 8):
            out.append("    " + ", ".join("0x%08x" % p for p in pixels[i:i + 8]) + ",")
        out.append("};")
    out.append("")
    out.append("inline constexpr IconPixels kWindowIcons[] = {")
    out += [f"    {{{size}, {name}}}," for size, name in names]
    out += ["};", "", "}  // namespace numbrook", ""]
    os.makedirs(os.path.dirname(header), exist_ok=True)
    with open(header, "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
