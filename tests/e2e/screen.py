"""The screen: captures of the X root window, and the tester's panel as they show it."""

import re
import subprocess

GREEN = b"\x00\xff\x00"


class Image:
    """A screen capture: RGB bytes, top-down."""

    def __init__(self, ppm):
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not match:
            raise RuntimeError("the screen capture is not an 8-bit PPM")
        self.width, self.height = int(match.group(1)), int(match.group(2))
        self.ppm, self.data = ppm, ppm[match.end():]

    def offset(self, x, y):
        return 3 * (y * self.width + x)

    def pixel(self, x, y):
        o = self.offset(x, y)
        return self.data[o:o + 3]

    def row(self, y, left, right):
        return self.data[self.offset(left, y):self.offset(right, y)]

    def first_difference(self, other, rect, allowed=()):
        """The first pixel in rect that differs from other and lies in none of allowed, or None."""
        left, top, right, bottom = rect
        for y in range(top, bottom):
            if self.row(y, left, right) == other.row(y, left, right):
                continue
            for x in range(left, right):
                if self.pixel(x, y) != other.pixel(x, y) and not any(
                        a[0] <= x < a[2] and a[1] <= y < a[3] for a in allowed):
                    return x, y
        return None

    def save_png(self, rect, path):
        left, top, right, bottom = rect
        subprocess.run(["convert", "ppm:-", "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                        "-strip", f"png:{path}"], input=self.ppm, check=True)


def grab(env):
    ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env,
                         capture_output=True, check=True).stdout
    return Image(ppm)


class Panel:
    """The dialog on the screen, from the probe's "keys" lines: its window and client rectangles,
    each key's rectangle and lamp area; once idle, the idle picture and each lamp's pixels."""

    def __init__(self, lines, facts):
        self.facts = facts
        self.keys, self.inner = {}, {}
        for line in lines:
            word, *numbers = line.split()
            numbers = [int(n) for n in numbers]
            if word == "window":
                self.window = tuple(numbers)
            elif word == "client":
                self.client = tuple(numbers)
            elif word == "edge":
                edge_x, edge_y = numbers
            elif word == "key" and (numbers[0] in facts.keysyms or numbers[0] in facts.modifier_ids):
                key_id, window, client = numbers[0], tuple(numbers[1:5]), numbers[5:9]
                self.keys[key_id] = window
                # The lamp fills the key's client area inside the pushed frame's edge.
                self.inner[key_id] = (client[0] + edge_x, client[1] + edge_y,
                                      client[2] - edge_x, client[3] - edge_y)

    def keep_idle(self, image):
        """Keeps image as the idle panel, and each lamp area's key face: whatever in it differs
        from the face is the label's ink."""
        self.idle = image
        self.lamp_pixels = {}
        for key_id, (left, top, right, bottom) in self.inner.items():
            area = [(x, y) for y in range(top, bottom) for x in range(left, right)]
            colours = [image.pixel(x, y) for x, y in area]
            face = max(set(colours), key=colours.count)
            self.lamp_pixels[key_id] = [image.offset(x, y) for (x, y), c in zip(area, colours) if c == face]

    def lit(self, image):
        """Keys whose lamp area is all green apart from the label, and keys only partly green."""
        lit, partly = set(), set()
        for key_id, offsets in self.lamp_pixels.items():
            green = sum(1 for o in offsets if image.data[o:o + 3] == GREEN)
            if green == len(offsets):
                lit.add(key_id)
            elif green:
                partly.add(key_id)
        return lit, partly

    def is_idle(self, image):
        return image.first_difference(self.idle, self.client) is None

    def shows_exactly(self, image, ids):
        lit, partly = self.lit(image)
        allowed = [self.keys[i] for i in ids]
        return lit == ids and not partly and image.first_difference(self.idle, self.client, allowed) is None

    def describe(self, image, lit_ids):
        """What the panel shows: lit keys, partly green keys, other changes from the idle panel."""
        names = self.facts.names
        lit, partly = self.lit(image)
        parts = [f"lit {names(lit)}"]
        if partly:
            parts.append(f"partly green {names(partly)}")
        where = image.first_difference(self.idle, self.client, [self.keys[i] for i in lit_ids])
        if where:
            x, y = where
            inside = [k for k, r in self.keys.items() if r[0] <= x < r[2] and r[1] <= y < r[3]]
            parts.append(f"pixel {where} changed to {tuple(image.pixel(x, y))}"
                         + (f" in key {names(inside)}" if inside else " outside the keys"))
        return "; ".join(parts)
