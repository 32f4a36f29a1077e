#!/usr/bin/env python3
"""Draws the client's icon (a rounded accent square with a white tick) and writes a Windows
.ico with 16, 24, 32, 48 and 256 pixel images, or (for the Linux edition) one PNG, 256 pixels
unless SIZE says otherwise (the package's hicolor theme icons).
Standard library only, so the build can run it anywhere.
Usage: make_icon.py OUTPUT.ico | make_icon.py OUTPUT.png [SIZE]"""
import struct
import sys
import zlib

ACCENT = (0x2F, 0x6F, 0xEB)
SAMPLES = 4  # supersampling per axis, for smooth edges


def coverage(size, inside):
    """Alpha (0..255) per pixel of shape `inside(x, y)` on the unit square."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    hits += inside(x, y)
            row.append(round(255 * hits / (SAMPLES * SAMPLES)))
        rows.append(row)
    return rows


def rounded_square(x, y, margin=0.04, radius=0.2):
    lo, hi = margin + radius, 1 - margin - radius
    cx, cy = min(max(x, lo), hi), min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def near_segment(x, y, a, b, width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    qx, qy = ax + t * dx, ay + t * dy
    return (x - qx) ** 2 + (y - qy) ** 2 <= width ** 2


def tick(x, y):
    w = 0.075
    return near_segment(x, y, (0.27, 0.52), (0.44, 0.69), w) or near_segment(x, y, (0.44, 0.69), (0.75, 0.33), w)


def pixels(size):
    """Rows top to bottom of (r, g, b, a)."""
    body = coverage(size, rounded_square)
    mark = coverage(size, tick)
    out = []
    for by, my in zip(body, mark):
        row = []
        for a, m in zip(by, my):
            f = m / 255
            rgb = tuple(round(c * (1 - f) + 255 * f) for c in ACCENT)
            row.append(rgb + (a,))
        out.append(row)
    return out


def bmp_entry(size):
    rows = pixels(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # alpha carries transparency
    return header + xor + mask


def png_entry(size):
    rows = pixels(size)
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    png = len(sys.argv) in (2, 3) and sys.argv[1].endswith(".png")
    if not png and len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico | make_icon.py OUTPUT.png [SIZE]")
    if png:
        with open(sys.argv[1], "wb") as f:
            f.write(png_entry(int(sys.argv[2]) if len(sys.argv) == 3 else 256))
        return
    images = [(s, bmp_entry(s)) for s in (16, 24, 32, 48)] + [(256, png_entry(256))]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        dim = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(directory + b"".join(d for _, d in images))


if __name__ == "__main__":
    main()
