#!/usr/bin/env python3
"""Draws aurora.ico: a night-sky tile with two curtains of light, 16x16 and 32x32, 32-bit colour.

Run it from any folder; it writes aurora.ico next to this script.
"""
import math
import pathlib
import struct

SKY = (12, 16, 40)
CURTAINS = (  # colour, lower edge (share of height), waves, rays
    ((170, 70, 230), 0.45, 1.0, 3.0),
    ((50, 235, 120), 0.70, 1.6, 4.0),
)


def pixel(x, y, size):
    """Colour and alpha of one pixel; (x, y) from the top left."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    corner = 0.18  # rounded corners, as a share of the size
    dx, dy = max(corner - u, u - (1 - corner), 0), max(corner - v, v - (1 - corner), 0)
    if math.hypot(dx, dy) > corner:
        return (0, 0, 0), 0
    colour = list(SKY)
    for (red, green, blue), edge_share, waves, rays in CURTAINS:
        edge = edge_share + 0.08 * math.sin(u * waves * 2 * math.pi)
        length = 0.35
        if v <= edge + 0.04 and v >= edge - length:
            distance = (edge - v) / length if v < edge else (v - edge) / 0.04
            ray = 0.55 + 0.45 * math.sin(u * rays * 2 * math.pi) ** 2
            level = max(0.0, 1 - distance) ** 2 * ray
            for i, part in enumerate((red, green, blue)):
                colour[i] = min(255, round(colour[i] + part * level))
    return tuple(colour), 255


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = bytearray()
    mask = bytearray()
    mask_row_bytes = (size + 31) // 32 * 4
    for y in reversed(range(size)):
        row_mask = bytearray(mask_row_bytes)
        for x in range(size):
            (red, green, blue), alpha = pixel(x, y, size)
            colours += bytes((blue, green, red, alpha))
            if alpha == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    return header + colours + mask


def main():
    images = [icon_image(size) for size in (16, 32)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip((16, 32), images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    target = pathlib.Path(__file__).with_name("aurora.ico")
    target.write_bytes(directory + entries + b"".join(images))


if __name__ == "__main__":
    main()
