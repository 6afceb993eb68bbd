#!/usr/bin/env python3
"""Draws the installer's pictures and writes them as Windows resource files.

    python3 make_pictures.py [OUTPUT_FOLDER]     (default: this script's folder)

Writes:
  setup.ico       application icon, a monitor with an install arrow (16, 24, 32, 48)
  pictures.pal    the palette the four pictures below share
  header48.pic    monitor picture of the white header band, 48 x 48
  header72.pic    the same picture for 150 % scaling, 72 x 72
  folder32.pic    folder picture of the destination page, 32 x 32
  folder48.pic    the same for 150 % scaling, 48 x 48

Every picture is drawn from shapes at its final size (4 x 4 samples per
pixel), so the larger variants are as sharp as the small ones. The icon is
32-bit with alpha and an AND mask, as the shell reads it. The wizard's own
pictures are stored small, as src/platform/picture_codes.h draws them: 256
colours with alpha shared by all four, pixels coded in runs (the header
pictures lie on the band's white, the folder's edges keep their alpha).
Only the standard library is used.
"""

import math
import os
import struct
import sys

SAMPLES = 4  # per axis and pixel


# ---------------------------------------------------------------- shapes
# A shape is a function (x, y) -> bool in design units; a paint is a
# function (x, y) -> (r, g, b, a) with components in 0..1.

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def intersect(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def rgb(hex_colour, alpha=1.0):
    value = int(hex_colour.lstrip('#'), 16)
    return ((value >> 16) / 255, ((value >> 8) & 255) / 255, (value & 255) / 255, alpha)


def solid(colour):
    return lambda x, y: colour


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def vertical(top_y, top, bottom_y, bottom):
    return lambda x, y: mix(top, bottom, (y - top_y) / (bottom_y - top_y))


# ---------------------------------------------------------------- drawing

def render(size, design, layers):
    """Pixels (r, g, b, a), rows top-down, of `layers` drawn in a square of
    `design` units scaled to `size` pixels."""
    unit = design / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * unit
                    y = (py + (sy + 0.5) / SAMPLES) * unit
                    r = g = b = a = 0.0
                    for shape, paint in layers:
                        if shape(x, y):
                            cr, cg, cb, ca = paint(x, y)
                            r = cr * ca + r * (1 - ca)
                            g = cg * ca + g * (1 - ca)
                            b = cb * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a > 0:
                row.append((acc[0] / n / a, acc[1] / n / a, acc[2] / n / a, a))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        pixels.append(row)
    return pixels


def monitor_layers(detailed):
    """A monitor on a stand showing a night sky with a northern light, in a
    48-unit square."""
    sky = vertical(8.5, rgb('#081a52'), 32.5, rgb('#1f5fc4'))
    screen = rounded_rect(5.5, 8.5, 42.5, 32.5, 1.0)

    def aurora(colour, centre, amplitude, phase, width):
        def paint(x, y):
            ridge = centre + amplitude * math.sin(x * 0.32 + phase)
            d = y - ridge
            if d > 0:  # sharp lower edge, long glow upwards
                strength = max(0.0, 1 - d / (width * 0.35))
            else:
                strength = max(0.0, 1 + d / (width * 1.6))
            r, g, b, _ = colour
            return (r, g, b, 0.85 * strength)
        return paint

    layers = [
        (ellipse(24, 44.6, 17, 2.2), solid(rgb('#000000', 0.16))),
        (rounded_rect(13.5, 40.2, 34.5, 44.2, 1.6), vertical(40.2, rgb('#a7afb9'), 44.2, rgb('#66707c'))),
        (polygon([(20, 35), (28, 35), (29.8, 41), (18.2, 41)]), vertical(35, rgb('#5d6672'), 41, rgb('#8d96a1'))),
        (rounded_rect(2.5, 5.5, 45.5, 36.5, 3.2), vertical(5.5, rgb('#596171'), 36.5, rgb('#252a33'))),
        (rounded_rect(3.3, 6.3, 44.7, 35.7, 2.6), vertical(6.3, rgb('#3f4654'), 35.7, rgb('#2b3039'))),
        (screen, sky),
        (screen, aurora(rgb('#3ef0a8'), 21.5, 3.2, 0.4, 6.5)),
    ]
    if detailed:
        layers.append((screen, aurora(rgb('#b46cff'), 16.5, 2.4, 2.2, 4.0)))
        for sx, sy, r in [(9.5, 12, 0.55), (17, 10.8, 0.45), (29, 12.2, 0.55), (37.5, 10.5, 0.5),
                          (40, 15.5, 0.4), (12.5, 17.5, 0.4), (33, 17.8, 0.35)]:
            layers.append((ellipse(sx, sy, r, r), solid(rgb('#ffffff', 0.9))))
    hills = polygon([(5.5, 32.5), (5.5, 28.6), (11, 26.8), (17, 28.3), (24, 26.2), (31, 28.0),
                     (37, 26.6), (42.5, 28.4), (42.5, 32.5)])
    layers += [
        (intersect(screen, hills), vertical(26, rgb('#0c2a3a'), 32.5, rgb('#06131d'))),
        (intersect(screen, polygon([(5.5, 8.5), (24, 8.5), (5.5, 22)])), solid(rgb('#ffffff', 0.08))),
        (ellipse(41.3, 34.1, 0.75, 0.75), solid(rgb('#46e06e'))),
    ]
    return layers


def install_arrow_layers():
    """A green disc with a white downward arrow at the lower right."""
    return [
        (ellipse(36, 36, 11.5, 11.5), solid(rgb('#ffffff'))),
        (ellipse(36, 36, 10.2, 10.2), vertical(25.8, rgb('#4cc94a'), 46.2, rgb('#1f8a2b'))),
        (polygon([(33.2, 28.5), (38.8, 28.5), (38.8, 35.5), (42.8, 35.5), (36, 43.2), (29.2, 35.5), (33.2, 35.5)]),
         solid(rgb('#ffffff'))),
    ]


def folder_layers():
    """An open manila folder holding a sheet of paper, in a 32-unit square."""
    back = polygon([(2.5, 7.5), (3.5, 5.5), (12, 5.5), (14, 8), (29, 8), (29.5, 9), (29.5, 26.5), (2.5, 26.5)])
    front = polygon([(1.5, 13), (30.5, 13), (29.3, 27.5), (2.7, 27.5)])
    front_inner = polygon([(2.4, 13.8), (29.6, 13.8), (28.5, 26.7), (3.5, 26.7)])
    return [
        (ellipse(16, 28.4, 14, 1.6), solid(rgb('#000000', 0.18))),
        (back, solid(rgb('#b97e12'))),
        (polygon([(3.3, 8.4), (4.1, 6.3), (11.6, 6.3), (13.6, 8.8), (28.7, 8.8), (28.7, 25.7), (3.3, 25.7)]),
         vertical(6, rgb('#f0bd4a'), 26, rgb('#d89a22'))),
        (rounded_rect(5.5, 10, 26.5, 24, 0.6), solid(rgb('#9aa3ad'))),
        (rounded_rect(6, 10.5, 26, 24, 0.4), solid(rgb('#ffffff'))),
        (polygon([(8, 13), (22, 13), (22, 13.8), (8, 13.8)]), solid(rgb('#c7ced6'))),
        (front, solid(rgb('#c4870f'))),
        (front_inner, vertical(13.8, rgb('#ffe08a'), 26.7, rgb('#f3b53a'))),
        (polygon([(2.4, 13.8), (29.6, 13.8), (29.5, 15), (2.5, 15)]), solid(rgb('#fff1c4', 0.8))),
    ]


# ---------------------------------------------------------------- files

def to_bytes(pixel):
    r, g, b, a = pixel
    return (round(r * 255), round(g * 255), round(b * 255), round(a * 255))


def icon_image(pixels):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, AND mask."""
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            r, g, b, a = to_bytes(pixel)
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def write_icon(path, images):
    entries = bytearray()
    data = bytearray()
    offset = 6 + 16 * len(images)
    for pixels in images:
        image = icon_image(pixels)
        size = len(pixels)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + entries + data)


def on_white(pixels):
    """Opaque (r, g, b, 255) bytes of `pixels` laid on white."""
    result = []
    for row in pixels:
        out = []
        for r, g, b, a in row:
            out.append(tuple(round((c * a + 1 - a) * 255) for c in (r, g, b)) + (255,))
        result.append(out)
    return result


def as_bytes(pixels):
    """(r, g, b, a) bytes of `pixels`; every fully transparent pixel the same."""
    result = []
    for row in pixels:
        out = []
        for pixel in row:
            colour = to_bytes(pixel)
            out.append(colour if colour[3] else (0, 0, 0, 0))
        result.append(out)
    return result


def median_cut(colours, count):
    """A palette of at most `count` colours for the list of (r, g, b, a)."""
    boxes = [sorted(set(colours))]
    while len(boxes) < count:
        spans = []
        for box in boxes:
            span = max(max(c[i] for c in box) - min(c[i] for c in box) for i in range(4)) if len(box) > 1 else -1
            spans.append(span)
        widest = max(range(len(boxes)), key=lambda i: spans[i])
        if spans[widest] <= 0:
            break
        box = boxes.pop(widest)
        axis = max(range(4), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[axis])
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    return [tuple(round(sum(c[i] for c in box) / len(box)) for i in range(4)) for box in boxes]


def shared_palette(pictures):
    """256 colours for all `pictures`; transparent and white keep entries of
    their own, so the folder's surroundings and the band's white stay exact."""
    fixed = [(0, 0, 0, 0), (255, 255, 255, 255)]
    colours = [c for rows in pictures for row in rows for c in row if c not in fixed]
    return fixed + median_cut(colours, 256 - len(fixed))


LITERAL, RUN, COPY_ABOVE = 0x00, 0x40, 0x80
MAX_COUNT = 64


def encode(indices, width):
    """The codes of picture_codes.h for `indices` (rows top-down, flattened)."""
    out = bytearray()
    literal = []

    def flush():
        while literal:
            chunk = literal[:MAX_COUNT]
            del literal[:MAX_COUNT]
            out.append(LITERAL | (len(chunk) - 1))
            out.extend(chunk)

    i = 0
    while i < len(indices):
        above = 0
        while (i >= width and i + above < len(indices) and above < MAX_COUNT
               and indices[i + above] == indices[i + above - width]):
            above += 1
        run = 1
        while i + run < len(indices) and run < MAX_COUNT and indices[i + run] == indices[i]:
            run += 1
        if above >= 2 and above >= run:
            flush()
            out.append(COPY_ABOVE | (above - 1))
            i += above
        elif run >= 2:
            flush()
            out += bytes((RUN | (run - 1), indices[i]))
            i += run
        else:
            literal.append(indices[i])
            i += 1
    flush()
    return bytes(out)


def write_pictures(folder, named):
    """pictures.pal and NAME.pic for each (NAME, pixels) of `named`."""
    palette = shared_palette([pixels for _, pixels in named])
    nearest = {}

    def index_of(colour):
        if colour not in nearest:
            nearest[colour] = min(range(len(palette)),
                                  key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(4)))
        return nearest[colour]

    with open(os.path.join(folder, 'pictures.pal'), 'wb') as f:
        f.write(b''.join(bytes((b, g, r, a)) for r, g, b, a in palette))
    for name, pixels in named:
        width, height = len(pixels[0]), len(pixels)
        codes = encode([index_of(c) for row in pixels for c in row], width)
        with open(os.path.join(folder, name + '.pic'), 'wb') as f:
            f.write(struct.pack('<HH', width, height) + codes)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(folder, 'setup.ico'),
               [render(size, 48, monitor_layers(detailed=size >= 32) + install_arrow_layers())
                for size in (16, 24, 32, 48)])
    write_pictures(folder,
                   [('header%d' % size, on_white(render(size, 48, monitor_layers(detailed=True))))
                    for size in (48, 72)] +
                   [('folder%d' % size, as_bytes(render(size, 32, folder_layers()))) for size in (32, 48)])


if __name__ == '__main__':
    main()
