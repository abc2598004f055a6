#!/usr/bin/env python3
"""End-to-end test of ZENTAQ Tester as a person uses it.

On a private X server (Xvfb, started by scripts/with-xvfb.sh), starts the program under Wine,
presses and releases real keys and clicks the mouse through the X server (XTest, via xdotool),
and checks what the screen shows.
The probe program (probe.cpp) runs under Wine beside the tester and reports where the dialog
and its keys are and which windows are up.

usage: e2e_test.py [--layout LAYOUT] [--code-page CP] EXE PROBE WINE_RUN ARCH PREFIX [SCREENSHOT]
  WINE_RUN ARCH PREFIX runs a program under Wine (scripts/wine-run.sh); --code-page CP goes to it
  before ARCH, as the run command starts the program.
  SCREENSHOT is where the picture of the dialog with keys held goes; with ZQ_UPDATE_SCREENSHOT=1
  it goes to docs/tester.png of the checkout instead.
  --layout sets that X keyboard layout (setxkbmap, e.g. de) on the X server before Wine starts,
  and checks the keys by key code as that layout gives them (layout_checks), not the rest.
"""

import ctypes
import ctypes.util
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import zlib
from pathlib import Path

GREEN = b"\x00\xff\x00"
TIMEOUT = 3.0  # seconds to wait for the screen to show the outcome of an input
BUDGET = 150.0  # seconds for the whole run: stop in time to clean up before CTest's 180 s

# Panel key id -> X keysym of the physical key that should light it, and the modifiers, told
# apart from their left or right twins by scan code and extended flag, as (keysym, id): from the
# tests' description of the keyboard (tests/keyboard.h), which the probe prints (read_keyboard).
KEYSYMS = {}
MODIFIERS = []
MODIFIER_IDS = ()
KEY_LABELS = {1038: "=", 1051: "ESC", 1052: "TAB", 1053: "CAPS", 1054: "SHIFT", 1055: "CTRL",
              1056: "WIN", 1057: "ALT", 1058: "SPACE BAR", 1059: "right ALT", 1060: "right WIN",
              1061: "right CTRL", 1062: "right SHIFT", 1063: ",", 1064: ".", 1065: "/", 1066: "`",
              1067: "\\", 1068: ";", 1069: "'", 1070: "ENTER", 1071: "[", 1072: "]", 1073: "Backspace",
              1074: "up", 1075: "left", 1076: "down", 1077: "right", 1078: "Ins", 1079: "Home",
              1080: "PgUp", 1081: "Del", 1082: "End", 1083: "PgDn", 1084: "-"}

MARKER = "a"  # a key known to light A (1001): once it shows, every earlier input has been handled
MARKER_ID = 1001

# The main block by X key code (evdev, as Xvfb's keymap has them): the digit row to the bottom
# letter row, Backspace, Tab, Enter and Caps Lock left out. Which key each lights depends on the layout.
MAIN_BLOCK = [*range(10, 22), *range(24, 36), *range(38, 50), *range(51, 62)]
ISO_KEY = 94  # beside the left Shift; Windows gives it VK_OEM_102, which has no key on the panel
# Under a layout with AltGr the right Alt key gives ISO_Level3_Shift, and so does key code 92 (no
# key of a pc105 keyboard), which XKeysymToKeycode finds first: the key is pressed by its code.
ALTGR = 108
# Dead keys of the German layout (circumflex and acute accent), and keys pressed after one.
DEAD_KEYS = [49, 21]
AFTER_DEAD = [("q", 1017), ("e", 1005), ("F5", 1043)]


class ProgramGone(Exception):
    pass


def read_keyboard(s):
    global MODIFIER_IDS
    status, lines = s.probe("keysyms")
    if status != 0:
        raise RuntimeError("the probe could not print the keyboard")
    for line in lines:
        kind, key_id, keysym = line.split()
        if kind == "modifier":
            MODIFIERS.append((keysym, int(key_id)))
        else:
            KEYSYMS[int(key_id)] = keysym
    MODIFIER_IDS = tuple(sorted(m[1] for m in MODIFIERS))


def key_name(key_id):
    return f"{KEY_LABELS.get(key_id, KEYSYMS.get(key_id, '?').upper())} ({key_id})"


def names(ids):
    return ", ".join(key_name(i) for i in sorted(ids)) or "nothing"


class Image:
    """A screen capture: RGB bytes, top-down."""

    def __init__(self, ppm):
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not match:
            raise RuntimeError("the screen capture is not an 8-bit PPM")
        self.width, self.height = int(match.group(1)), int(match.group(2))
        self.data = ppm[match.end():]

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

    def png(self, rect):
        left, top, right, bottom = rect
        raw = b"".join(b"\x00" + self.row(y, left, right) for y in range(top, bottom))

        def chunk(tag, body):
            return (struct.pack(">I", len(body)) + tag + body
                    + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", right - left, bottom - top, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


class Session:
    def __init__(self, exe, probe, wine, layout):
        self.exe, self.probe_exe, self.wine, self.layout = exe, probe, wine, layout
        self.env = dict(os.environ)
        self.app = self.keyboard = None
        self.last_input = ""
        self.passed = self.failed = self.skipped = 0
        self.deadline = time.monotonic() + BUDGET

    # --- results -------------------------------------------------------------------------------

    def check(self, ok, what):
        print(("PASS " if ok else "FAIL ") + what, flush=True)
        if ok:
            self.passed += 1
        else:
            self.failed += 1

    def skip(self, what):
        print("SKIP " + what, flush=True)
        self.skipped += 1

    # --- processes -----------------------------------------------------------------------------

    def start_x(self):
        # An X server of the test's own (scripts/with-xvfb.sh), which keeps a layout set on it.
        if not self.env.get("DISPLAY"):
            raise RuntimeError("no X display: run the test through scripts/with-xvfb.sh")
        self.keyboard = XKeyboard(self.env["DISPLAY"])
        if self.layout:
            subprocess.run(["setxkbmap", "-layout", self.layout], env=self.env, check=True)
            query = subprocess.run(["setxkbmap", "-query"], env=self.env, capture_output=True, text=True,
                                   check=True).stdout
            if f"layout:     {self.layout}\n" not in query:
                raise RuntimeError(f"the X server did not take the layout {self.layout}: {query!r}")

    def start_program(self):
        self.output = tempfile.TemporaryFile("w+")
        self.app = subprocess.Popen(self.wine + [self.exe], env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=self.output, stderr=self.output,
                                    start_new_session=True)

    def stop(self):
        if self.app is not None:
            subprocess.run(self.wine + ["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        if self.app is not None:
            try:
                self.app.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.app.pid, 9)
        if self.keyboard is not None:
            self.keyboard.close()
        if self.app is not None:
            self.output.seek(0)
            text = self.output.read()
            if text:
                print("the program's output:\n" + text, end="" if text.endswith("\n") else "\n")

    def probe(self, command):
        # Output through a file, not a pipe: Wine's helper processes started along with the probe
        # inherit it and live on, and a pipe would not end before they do.
        with tempfile.TemporaryFile("w+") as out:
            status = subprocess.run(self.wine + [self.probe_exe, command], env=self.env,
                                    stdout=out, stderr=subprocess.DEVNULL, timeout=60).returncode
            out.seek(0)
            return status, out.read().splitlines()

    def windows(self):
        """Visible top-level windows as (class, title, rectangle); and the foreground one's title."""
        _, lines = self.probe("windows")
        shown = sorted(tuple(line.split("|")[:3]) for line in lines)
        foreground = [line.split("|")[1] for line in lines if line.endswith("|foreground")]
        return shown, foreground[0] if foreground else None

    def key(self, key, down):
        """Presses or releases a key given by keysym, or by X key code (int)."""
        self.last_input = ("keydown " if down else "keyup ") + self.keyboard.describe(key)
        self.keyboard.send(key, down)

    def tap(self, keysym):
        self.key(keysym, True)
        self.key(keysym, False)

    def xdotool(self, *args):
        self.last_input = " ".join(args)
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def grab(self):
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                             capture_output=True, check=True).stdout
        return Image(ppm)

    # --- the dialog ----------------------------------------------------------------------------

    def find_dialog(self):
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            if self.app.poll() is not None:
                raise ProgramGone("the program ended before its window showed")
            status, lines = self.probe("keys")
            if status == 0:
                break
            time.sleep(0.2)
        else:
            raise RuntimeError("no window titled 'ZENTAQ Tester' within 60 s")
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
            elif word == "key" and (numbers[0] in KEYSYMS or numbers[0] in MODIFIER_IDS):
                key_id, window, client = numbers[0], tuple(numbers[1:5]), numbers[5:9]
                self.keys[key_id] = window
                # The lamp fills the key's client area inside the pushed frame's edge.
                self.inner[key_id] = (client[0] + edge_x, client[1] + edge_y,
                                      client[2] - edge_x, client[3] - edge_y)

    def wait_idle(self):
        """Waits for the dialog to be painted and still; keeps that as the idle panel."""
        previous = None
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            time.sleep(0.3)
            image = self.grab()
            if previous is not None and image.data == previous.data:
                break
            previous = image
        self.idle = image
        # A key's label ink: whatever in its lamp area differs from the key face around it.
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

    def describe(self, image, lit_ids):
        """What the panel shows: lit keys, partly green keys, other changes from the idle panel."""
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

    def wait_screen(self, done):
        """Grabs the screen until done(image) holds or TIMEOUT passes; returns (held, image)."""
        deadline = time.monotonic() + TIMEOUT
        while True:
            image = self.grab()
            if done(image):
                return True, image
            if self.app.poll() is not None:
                raise ProgramGone(f"the program ended after xdotool {self.last_input}")
            now = time.monotonic()
            if now > self.deadline:
                raise RuntimeError(f"out of time: stopped after {BUDGET:.0f} s, the checks left were not run")
            if now > deadline:
                return False, image
            time.sleep(0.03)

    def wait_lit(self, ids):
        return self.wait_screen(lambda image: ids <= self.lit(image)[0])

    def wait_idle_panel(self):
        return self.wait_screen(lambda image: image.first_difference(self.idle, self.client) is None)

    def shows_exactly(self, image, ids):
        lit, partly = self.lit(image)
        allowed = [self.keys[i] for i in ids]
        return lit == ids and not partly and image.first_difference(self.idle, self.client, allowed) is None

    def held_and_released(self, keysyms, ids):
        """Holds keysyms down in order and releases them in reverse. Returns '' when the panel
        showed exactly the keys ids lit and came back to idle, else what went wrong."""
        for keysym in keysyms:
            self.key(keysym, True)
        _, image = self.wait_lit(ids)
        problem = "" if self.shows_exactly(image, ids) else "held: " + self.describe(image, ids)
        return self.released(keysyms, problem)

    def released(self, keys, problem):
        """Releases keys in reverse; adds to problem unless the panel comes back to idle."""
        for key in reversed(keys):
            self.key(key, False)
        back, image = self.wait_idle_panel()
        if not back:
            problem += ("; " if problem else "") + "released: " + self.describe(image, set())
        return problem

    def lit_while_held(self, key):
        """Holds key down until the panel shows a key lit, and releases it. Returns the keys lit,
        and '' when those alone changed and the panel came back to idle, else what went wrong."""
        self.key(key, True)
        self.wait_screen(lambda image: self.lit(image)[0])
        time.sleep(0.1)  # a second key lit by the same message has been painted by now
        image = self.grab()
        lit = self.lit(image)[0]
        problem = "" if self.shows_exactly(image, lit) else "held: " + self.describe(image, lit)
        return lit, self.released([key], problem)

    def marker_round_trip(self):
        """Presses and releases the marker key: True when A lit and went out again."""
        return not self.held_and_released([MARKER], {MARKER_ID})


class XKeyboard:
    """Presses and releases keys of the X server's keymap by key code (XTest). xdotool is not used
    for keys: for a modifier keysym it first presses the keymap's first key of that modifier, so
    its right Shift comes with a left Shift press."""

    def __init__(self, display):
        self.x11 = x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XStringToKeysym.restype = ctypes.c_ulong
        x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XkbKeycodeToKeysym.restype = ctypes.c_ulong
        x11.XkbKeycodeToKeysym.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.c_int]
        x11.XKeysymToString.restype = ctypes.c_char_p
        x11.XKeysymToString.argtypes = [ctypes.c_ulong]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.dpy = x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open X display {display}")

    def keycode(self, keysym):
        """The key that gives keysym without a modifier, or 0."""
        sym = self.x11.XStringToKeysym(keysym.encode())
        code = self.x11.XKeysymToKeycode(self.dpy, sym) if sym else 0
        return code if code and self.x11.XkbKeycodeToKeysym(self.dpy, code, 0, 0) == sym else 0

    def keysym(self, code):
        """The keysym the key gives without a modifier, by name ('' for none)."""
        sym = self.x11.XkbKeycodeToKeysym(self.dpy, code, 0, 0)
        return (self.x11.XKeysymToString(sym) or b"").decode() if sym else ""

    def describe(self, key):
        """A keysym as it is; a key code with the keysym the layout gives it."""
        return key if not isinstance(key, int) else f"key code {key} ({self.keysym(key) or 'no keysym'})"

    def send(self, key, down):
        code = key if isinstance(key, int) else self.keycode(key)
        if not code:
            raise RuntimeError(f"the X keymap has no key for {key}")
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1 if down else 0, 0)
        self.x11.XFlush(self.dpy)

    def close(self):
        self.x11.XCloseDisplay(self.dpy)


def modifier_checks(s, modifiers):
    """Each of the modifiers (key, id) lights its own key, not its twin on the other side, and
    all held together light all. The marker key, pressed while the modifier is down, shows when
    the modifier's own messages have been handled."""
    for key, key_id in modifiers:
        problem = s.held_and_released([key, MARKER], {key_id, MARKER_ID})
        s.check(not problem, f"{s.keyboard.describe(key)} lights {key_name(key_id)} alone and clears on release"
                + (f": {problem}" if problem else ""))
    ids = {m[1] for m in modifiers}
    problem = s.held_and_released([m[0] for m in modifiers], ids)
    s.check(not problem, f"the {len(modifiers)} modifier keys held together light {names(ids)}"
            + (f": {problem}" if problem else ""))


def layout_checks(s):
    """The keys as the X server's layout (--layout) gives them, pressed by key code."""
    # Every key of the main block lights exactly one key, letters and digits their own, and no
    # two keys the same one. Which punctuation key lights which is Wine's to decide.
    own = {keysym: key_id for key_id, keysym in KEYSYMS.items() if len(keysym) == 1 and keysym.isalnum()}
    lit_by = {}
    for code in MAIN_BLOCK:
        label = s.keyboard.describe(code)
        lit, problem = s.lit_while_held(code)
        want = own.get(s.keyboard.keysym(code))
        if want is not None and lit != {want}:
            problem = f"not {key_name(want)}" + (f"; {problem}" if problem else "")
        s.check(len(lit) == 1 and not problem, f"{label} lights exactly one key ({names(lit)}) and clears on release"
                + (f": {problem}" if problem else ""))
        for key_id in lit:
            lit_by.setdefault(key_id, []).append(label)
    shared = {key_id: labels for key_id, labels in lit_by.items() if len(labels) > 1}
    s.check(not shared, "no two keys of the main block light the same key"
            + "".join(f"; {key_name(k)} by {', '.join(labels)}" for k, labels in sorted(shared.items())))

    problem = s.held_and_released([ISO_KEY, MARKER], {MARKER_ID})
    s.check(not problem, f"{s.keyboard.describe(ISO_KEY)} lights nothing, as on Windows"
            + (f": {problem}" if problem else ""))

    # A dead key, tapped, lets the next key through.
    for dead in DEAD_KEYS:
        for keysym, key_id in AFTER_DEAD:
            s.tap(dead)
            problem = s.held_and_released([keysym], {key_id})
            s.check(not problem, f"after {s.keyboard.describe(dead)}, {keysym} lights {key_name(key_id)} alone"
                    + (f": {problem}" if problem else ""))

    modifier_checks(s, [(ALTGR if keysym == "Alt_R" else keysym, key_id) for keysym, key_id in MODIFIERS])


def run(s, screenshot):
    s.start_x()
    # Make the prefix (first run only) before the program and the probe both want it.
    status, _ = s.probe("windows")
    if status != 0:
        raise RuntimeError("the probe could not run under Wine")
    read_keyboard(s)
    s.start_program()
    s.find_dialog()

    geometry = subprocess.run(["xdotool", "search", "--name", "^ZENTAQ Tester$", "getwindowgeometry", "--shell"],
                              env=s.env, capture_output=True, text=True).stdout
    g = dict(line.split("=", 1) for line in geometry.split())
    x_rect = tuple(int(g.get(k, -1)) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    left, top, right, bottom = s.window
    s.check(x_rect == (left, top, right - left, bottom - top),
            f"Windows screen coordinates are X root coordinates: the dialog at {s.window} "
            f"is the X window at {x_rect[:2]}, {x_rect[2]}x{x_rect[3]}")
    s.check(len(s.keys) == 83, f"the dialog has 83 keys on screen (found {len(s.keys)})")

    # The pointer rests over an empty spot of the dialog, right of the logo.
    rest = (s.client[2] - 8, s.client[1] + 8)
    s.xdotool("mousemove", *map(str, rest))
    s.wait_idle()
    lit, partly = s.lit(s.idle)
    s.check(not lit and not partly, f"no key is lit when nothing is pressed (lit {names(lit | partly)})")
    if s.layout:
        layout_checks(s)
        return

    # a) every key with a code of its own lights its own key, and only that.
    can = {k for k in set(KEYSYMS.values()) | {m[0] for m in MODIFIERS} if s.keyboard.keycode(k)}
    for key_id, keysym in sorted(KEYSYMS.items()):
        if keysym not in can:
            s.skip(f"{keysym}: the X keymap has no key for it, so {key_name(key_id)} is not tried")
            continue
        problem = s.held_and_released([keysym], {key_id})
        if keysym == "Caps_Lock":
            s.tap("Caps_Lock")  # the first press turned caps lock on; turn it off
            s.wait_idle_panel()
        s.check(not problem, f"{keysym} lights {key_name(key_id)} alone and clears on release"
                + (f": {problem}" if problem else ""))

    # b) each modifier key lights its own key.
    for keysym, _ in MODIFIERS:
        if keysym not in can:
            s.skip(f"{keysym}: the X keymap has no key for it")
    modifier_checks(s, [m for m in MODIFIERS if m[0] in can])

    # c) keys that would close or operate a window do nothing here.
    before, _ = s.windows()
    for label, keys in [("Esc", ["Escape"]), ("Enter", ["Return"]), ("Tab", ["Tab"]),
                        ("Alt+F4", ["Alt_L", "F4"]), ("Alt+Space", ["Alt_L", "space"]),
                        ("right Alt+F4", ["Alt_R", "F4"]), ("right Alt+Space", ["Alt_R", "space"]), ("F1", ["F1"])]:
        for keysym in keys:
            s.key(keysym, True)
        for keysym in reversed(keys):
            s.key(keysym, False)
        marker = s.marker_round_trip()
        after, foreground = s.windows()
        problems = []
        if not marker:
            problems.append("the panel no longer lights A for the a key")
        if after != before:
            problems.append(f"windows were {before}, now {after}")
        if foreground != "ZENTAQ Tester":
            problems.append(f"the foreground window is {foreground!r}")
        s.check(not problems, f"{label} leaves the window open and nothing else up"
                + (": " + "; ".join(problems) if problems else ""))

    for key_id in (1058, 1070):
        left, top, right, bottom = s.keys[key_id]
        s.xdotool("mousemove", str((left + right) // 2), str((top + bottom) // 2), "mousedown", "1")
        time.sleep(0.3)
        down = s.grab().first_difference(s.idle, s.keys[key_id])
        s.xdotool("mouseup", "1")
        s.xdotool("mousemove", *map(str, rest))
        marker = s.marker_round_trip()  # the click, too, has been handled by now
        up = s.grab().first_difference(s.idle, s.client)
        s.check(down is None and up is None and marker,
                f"a mouse click on {key_name(key_id)} leaves its pixels unchanged"
                + (f": while held, pixel {down} changed" if down else "")
                + (f": afterwards, pixel {up} changed" if up else "")
                + ("" if marker else ": afterwards the a key no longer lights A"))

    # d) the About box, from the system menu opened with the mouse on the caption icon.
    frame = s.client[0] - s.window[0]
    caption = s.client[1] - s.window[1] - frame
    s.xdotool("mousemove", str(s.window[0] + frame + caption // 2), str(s.window[1] + frame + caption // 2),
              "click", "1")
    menu = about = foreground = None
    deadline = time.monotonic() + TIMEOUT
    while menu is None and time.monotonic() < deadline:
        menu = next((w for w in s.windows()[0] if w[0] == "#32768"), None)
    if menu is not None:
        # The About item is the menu's last; its middle lies well within 10 pixels of the bottom.
        m_left, _, m_right, m_bottom = map(int, menu[2].split())
        s.xdotool("mousemove", str((m_left + m_right) // 2), str(m_bottom - 10), "click", "1")
        deadline = time.monotonic() + TIMEOUT
        while about is None and time.monotonic() < deadline:
            shown, foreground = s.windows()
            about = next((w for w in shown if w[1] == "About"), None)
    s.xdotool("mousemove", *map(str, rest))
    s.check(about is not None and foreground == "About",
            "the system menu's last item opens the About box"
            + ("" if menu else ": no menu came up on a click on the caption icon")
            + ("" if about or not menu else ": no window titled 'About' came up"))
    if about is not None:
        s.tap("Return")
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            shown, foreground = s.windows()
            if not any(w[1] == "About" for w in shown):
                break
        back, image = s.wait_idle_panel()
        s.check(shown == before and back,
                "Enter closes the About box and the panel is as before"
                + ("" if shown == before else f": windows are {shown}")
                + ("" if back else ": " + s.describe(image, set())))
        s.check(s.marker_round_trip(), "keys light again after the About box")

    # Two keys at once, and the picture of it. Taken last: under Wine without a window manager
    # the caption shows active only once the window has been activated anew, as by its menu.
    s.key("Shift_L", True)
    s.key("a", True)
    _, image = s.wait_lit({1054, 1001})
    s.check(s.shows_exactly(image, {1054, 1001}),
            "Shift_L and a held together light SHIFT and A: " + s.describe(image, {1054, 1001}))
    if screenshot:
        Path(screenshot).parent.mkdir(parents=True, exist_ok=True)
        Path(screenshot).write_bytes(image.png(s.window))
        print(f"screenshot: {screenshot}", flush=True)
    s.key("a", False)
    s.key("Shift_L", False)


def main():
    args = sys.argv[1:]
    layout, wine_options = None, []
    while args[:1] in (["--layout"], ["--code-page"]) and len(args) > 1:
        if args[0] == "--layout":
            layout = args[1]
        else:
            wine_options += args[:2]
        args = args[2:]
    if len(args) not in (5, 6):
        sys.exit(__doc__)
    exe, probe, wine_run, arch, prefix = args[:5]
    screenshot = args[5] if len(args) == 6 else None
    if screenshot and os.environ.get("ZQ_UPDATE_SCREENSHOT") == "1":
        screenshot = str(Path(__file__).resolve().parents[2] / "docs" / "tester.png")
    s = Session(exe, probe, [wine_run, *wine_options, arch, prefix], layout)
    started = time.monotonic()
    try:
        run(s, screenshot)
    except Exception as error:  # the rest cannot run; the reason is the failure
        s.check(False, f"{type(error).__name__}: {error}")
    finally:
        s.stop()
    print(f"({time.monotonic() - started:.0f} s)")
    print(f"{s.passed} passed, {s.failed} failed" + (f", {s.skipped} skipped" if s.skipped else ""))
    sys.exit(1 if s.failed else 0)


if __name__ == "__main__":
    main()
