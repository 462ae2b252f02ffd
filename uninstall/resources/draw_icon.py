#!/usr/bin/env python3
"""Draws the uninstaller's icon (a chequered flag on a blue tile with a red
removal badge) and writes it as pellmoor.ico with 16, 32, 48 and 256 pixel
images. Standard library only; run it again after changing the drawing."""
import math
import struct
import sys
import zlib


def colour_at(x, y):
    """The colour (r, g, b, a) at (x, y), both in 0..1, top-left origin."""
    # Rounded tile.
    r = 0.18
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    shade = 0.75 + 0.25 * (1 - y)
    pixel = (int(20 * shade), int(60 * shade), int(150 * shade), 255)
    # Flag pole.
    if 0.20 <= x <= 0.25 and 0.15 <= y <= 0.88:
        pixel = (220, 220, 220, 255)
    # Chequered flag, waving a little.
    fx = (x - 0.25) / 0.55
    wave = 0.04 * math.sin(fx * math.pi * 2)
    fy = (y - 0.18 - wave) / 0.40
    if 0 <= fx <= 1 and 0 <= fy <= 1:
        cell = (int(fx * 5) + int(fy * 4)) % 2
        pixel = (245, 245, 245, 255) if cell == 0 else (15, 15, 15, 255)
    # Red removal badge: a disc with a white bar.
    bx, by, br = 0.72, 0.74, 0.20
    d2 = (x - bx) ** 2 + (y - by) ** 2
    if d2 <= br * br:
        pixel = (205, 30, 35, 255)
        if abs(y - by) <= 0.045 and abs(x - bx) <= 0.12:
            pixel = (255, 255, 255, 255)
    return pixel


def render(size):
    """The image as rows of (b, g, r, a), bottom row first, 4x4 supersampled."""
    rows = []
    n = 4
    for py in range(size - 1, -1, -1):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            a = acc[3] / (n * n)
            if acc[3]:
                r, g, b = (int(acc[i] / acc[3]) for i in range(3))
            else:
                r = g = b = 0
            row.append((b, g, r, int(a)))
        rows.append(row)
    return rows


def bmp_entry(size):
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes(c for px in row for c in px) for row in rows)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # the alpha channel decides
    return header + pixels + mask


def png_entry(size):
    rows = render(size)
    raw = b''.join(b'\x00' + bytes(c for (b, g, r, a) in reversed_row for c in (r, g, b, a))
                   for reversed_row in reversed(rows))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(path):
    sizes = [16, 32, 48, 256]
    images = [png_entry(s) if s == 256 else bmp_entry(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'pellmoor.ico')
