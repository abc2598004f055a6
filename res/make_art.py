#!/usr/bin/env python3
"""Draw the ZENTAQ Tester artwork and write it as Windows resource files.

Generates, next to this script:
  tester.ico  48x48, 256-colour icon: a blue gamepad with its cable curling
              out of the top, on a transparent background.
  logo.bmp    120x30, 24-bit bitmap: a keycap mark and the word "ZENTAQ"
              in a small blocky pixel font, dark blue on white.

Run from the repository root:
    python3 res/make_art.py

Standard library only. The output is deterministic: running it twice gives
byte-identical files.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------------------
# Canvas and shape helpers
#
# Pixels are sampled at their centres (x + 0.5, y + 0.5); a pixel is filled
# when its centre lies inside the shape.  Coordinates run right and down.
# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.px = [[background] * width for _ in range(height)]

    def get(self, x, y):
        return self.px[y][x]

    def set(self, x, y, value):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = value

    def fill_shape(self, inside, value):
        """Paint every pixel whose centre satisfies inside(cx, cy)."""
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.px[y][x] = value


def in_rect(x0, y0, x1, y1):
    """Axis-aligned rectangle covering pixels x0..x1-1, y0..y1-1."""
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def in_rounded_rect(x0, y0, x1, y1, r):
    """Rectangle (edges at x0, x1, y0, y1) with corners of radius r."""
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def in_circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def dist_to_segment(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else ((x - ax) * dx + (y - ay) * dy) / length2
    t = min(max(t, 0.0), 1.0)
    px, py = ax + t * dx, ay + t * dy
    return ((x - px) ** 2 + (y - py) ** 2) ** 0.5


def in_thick_line(ax, ay, bx, by, r):
    """Line from (ax, ay) to (bx, by) with round ends, half-width r."""
    return lambda x, y: dist_to_segment(x, y, ax, ay, bx, by) <= r


def in_thick_polyline(points, r):
    segments = list(zip(points, points[1:]))
    return lambda x, y: any(
        dist_to_segment(x, y, a[0], a[1], b[0], b[1]) <= r for a, b in segments)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def bezier(p0, p1, p2, p3, steps=16):
    """Points along a cubic Bezier curve (including both ends)."""
    pts = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        pts.append((
            u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
            u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1],
        ))
    return pts


# ---------------------------------------------------------------------------
# Icon: blue gamepad, 48x48, 8 bits per pixel
# ---------------------------------------------------------------------------

ICON_SIZE = 48

# Palette slots used by the icon.  Slot 0 is the transparent background and
# stays black in the colour bitmap, as the AND mask expects.
BG = 0
OUTLINE = 1
SHADOW = 2
BODY = 3
HIGHLIGHT = 4
DPAD = 5
DPAD_LIGHT = 6
BUTTON = 7
BUTTON_LIGHT = 8
CABLE = 9

ICON_COLOURS = {
    BG: (0, 0, 0),
    OUTLINE: (14, 34, 96),
    SHADOW: (30, 74, 170),
    BODY: (46, 110, 220),
    HIGHLIGHT: (120, 176, 250),
    DPAD: (20, 46, 124),
    DPAD_LIGHT: (52, 84, 168),
    BUTTON: (170, 214, 255),
    BUTTON_LIGHT: (250, 252, 255),
    CABLE: (28, 40, 84),
}


def gamepad_body():
    """Outline of the controller: a rounded top bar plus two grips."""
    return union(
        in_rounded_rect(3, 17, 45, 34, 7.5),
        in_thick_line(12, 28, 9, 40, 6.5),   # left grip
        in_thick_line(36, 28, 39, 40, 6.5),  # right grip
    )


def cable_path():
    """The cable leaves the top of the pad, makes one loop and trails off."""
    pts = bezier((24, 16), (24, 10), (20, 7), (17, 7))
    pts += bezier((17, 7), (12, 7), (12, 1.5), (17, 2))[1:]
    pts += bezier((17, 2), (22, 2.5), (22, 9), (28, 8))[1:]
    pts += bezier((28, 8), (33, 7), (35, 3), (42, 3))[1:]
    return pts


def draw_icon():
    c = Canvas(ICON_SIZE, ICON_SIZE, BG)

    # Cable first so the body covers where it plugs in.
    path = cable_path()
    c.fill_shape(in_thick_polyline(path, 1.25), CABLE)
    c.fill_shape(in_rounded_rect(20.5, 14, 27.5, 19, 1.5), OUTLINE)  # plug
    c.fill_shape(in_rect(22, 15, 26, 16), SHADOW)

    # Body with a lit top-left edge, a shaded bottom-right edge and a 1px rim.
    body = gamepad_body()
    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            cx, cy = x + 0.5, y + 0.5
            if not body(cx, cy):
                continue
            edge = not all(body(cx + dx, cy + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                c.set(x, y, OUTLINE)
            elif not body(cx - 1.0, cy - 2.0):
                c.set(x, y, HIGHLIGHT)
            elif not body(cx + 1.0, cy + 2.5):
                c.set(x, y, SHADOW)
            else:
                c.set(x, y, BODY)

    # D-pad: a dark cross on the left with lit upper edges.
    c.fill_shape(union(in_rect(7, 23, 18, 27), in_rect(10, 20, 14, 31)), DPAD)
    for x, y in [(10, 20), (11, 20), (12, 20), (13, 20),
                 (7, 23), (8, 23), (9, 23), (14, 23), (15, 23), (16, 23), (17, 23)]:
        c.set(x, y, DPAD_LIGHT)

    # Two round action buttons on the right, each with a rim and a glint.
    for bx, by in ((32.5, 27.5), (38.0, 22.5)):
        c.fill_shape(in_circle(bx, by, 3.3), OUTLINE)
        c.fill_shape(in_circle(bx, by, 2.4), BUTTON)
        c.set(int(bx - 1.2), int(by - 1.2), BUTTON_LIGHT)

    # Small start/select pills in the middle.
    c.fill_shape(in_rect(21, 25, 23, 27), OUTLINE)
    c.fill_shape(in_rect(25, 25, 27, 27), OUTLINE)
    return c


def write_ico(path, canvas, colours):
    w, h = canvas.width, canvas.height
    palette = bytearray(256 * 4)
    for index, (r, g, b) in colours.items():
        palette[index * 4:index * 4 + 4] = bytes((b, g, r, 0))

    xor_stride = (w + 3) & ~3
    and_stride = ((w + 31) // 32) * 4
    xor_bits = bytearray()
    and_bits = bytearray()
    for y in reversed(range(h)):  # bottom-up
        row = bytes(canvas.get(x, y) for x in range(w))
        xor_bits += row + bytes(xor_stride - w)
        mask = bytearray(and_stride)
        for x in range(w):
            if canvas.get(x, y) == BG:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_bits += mask

    image_size = len(xor_bits) + len(and_bits)
    header = struct.pack('<IiiHHIIiiII',
                         40, w, h * 2, 1, 8, 0, image_size, 0, 0, 0, 0)
    image = header + palette + xor_bits + and_bits

    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII',
                        w if w < 256 else 0, h if h < 256 else 0,
                        0, 0, 1, 8, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(icondir + entry + image)


# ---------------------------------------------------------------------------
# Logo: keycap mark + "ZENTAQ", 120x30, 24 bits per pixel
# ---------------------------------------------------------------------------

LOGO_W, LOGO_H = 120, 30
WHITE = (255, 255, 255)
INK = (18, 40, 120)
KEY_SIDE = (52, 96, 190)
KEY_TOP = (214, 228, 252)

# Blocky capitals on an 8-row grid; each cell becomes a 2x2 pixel block.
GLYPHS = {
    'Z': ["######",
          "######",
          "....##",
          "...##.",
          "..##..",
          ".##...",
          "######",
          "######"],
    'E': ["######",
          "######",
          "##....",
          "#####.",
          "#####.",
          "##....",
          "######",
          "######"],
    'N': ["##...##",
          "###..##",
          "###..##",
          "####.##",
          "##.####",
          "##..###",
          "##..###",
          "##...##"],
    'T': ["######",
          "######",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##.."],
    'A': [".####.",
          "######",
          "##..##",
          "##..##",
          "######",
          "######",
          "##..##",
          "##..##"],
    'Q': [".####..",
          "######.",
          "##..##.",
          "##..##.",
          "##..##.",
          "##.###.",
          "#######",
          ".###.##"],
}
CELL = 2        # pixels per glyph cell
GAP = 1         # cells between letters


def text_width(text):
    return sum(len(GLYPHS[ch][0]) for ch in text) * CELL + (len(text) - 1) * GAP * CELL


def draw_text(canvas, x, y, text, colour):
    for ch in text:
        rows = GLYPHS[ch]
        for gy, row in enumerate(rows):
            for gx, cell in enumerate(row):
                if cell == '#':
                    canvas.fill_shape(in_rect(x + gx * CELL, y + gy * CELL,
                                              x + (gx + 1) * CELL, y + (gy + 1) * CELL),
                                      colour)
        x += (len(rows[0]) + GAP) * CELL


def draw_keycap(canvas, x, y, size):
    """A keycap seen from above: dark rim, blue skirt, light top face."""
    canvas.fill_shape(in_rounded_rect(x, y, x + size, y + size, 3), INK)
    canvas.fill_shape(in_rounded_rect(x + 1, y + 1, x + size - 1, y + size - 1, 2.5), KEY_SIDE)
    canvas.fill_shape(in_rounded_rect(x + 4, y + 2, x + size - 4, y + size - 6, 2), KEY_TOP)


def draw_logo():
    c = Canvas(LOGO_W, LOGO_H, WHITE)
    key = 18
    gap = 6
    text = "ZENTAQ"
    total = key + gap + text_width(text)
    x0 = (LOGO_W - total) // 2
    draw_keycap(c, x0, (LOGO_H - key) // 2, key)
    draw_text(c, x0 + key + gap, (LOGO_H - 8 * CELL) // 2, text, INK)
    return c


def write_bmp(path, canvas):
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(h)):  # bottom-up
        for x in range(w):
            r, g, b = canvas.get(x, y)
            pixels += bytes((b, g, r))
        pixels += bytes(stride - w * 3)
    offset = 14 + 40
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info_header = struct.pack('<IiiHHIIiiII',
                              40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(file_header + info_header + pixels)


def main():
    write_ico(os.path.join(HERE, 'tester.ico'), draw_icon(), ICON_COLOURS)
    write_bmp(os.path.join(HERE, 'logo.bmp'), draw_logo())


if __name__ == '__main__':
    main()
