"""The keyboard: what the tests' description says each key sends (tests/keyboard.h, printed by
the probe), and real key presses on the X server, by key code (XTest)."""

import ctypes
import ctypes.util
import subprocess

# Labels of the panel keys whose keysym does not read as the key's name.
KEY_LABELS = {1038: "=", 1051: "ESC", 1052: "TAB", 1053: "CAPS", 1054: "SHIFT", 1055: "CTRL",
              1056: "WIN", 1057: "ALT", 1058: "SPACE BAR", 1059: "right ALT", 1060: "right WIN",
              1061: "right CTRL", 1062: "right SHIFT", 1063: ",", 1064: ".", 1065: "/", 1066: "`",
              1067: "\\", 1068: ";", 1069: "'", 1070: "ENTER", 1071: "[", 1072: "]", 1073: "Backspace",
              1074: "up", 1075: "left", 1076: "down", 1077: "right", 1078: "Ins", 1079: "Home",
              1080: "PgUp", 1081: "Del", 1082: "End", 1083: "PgDn", 1084: "-"}


class KeyboardFacts:
    """Panel key id -> X keysym of the physical key that should light it (keysyms), and the
    modifiers, told apart from their left or right twins by scan code and extended flag, as
    (keysym, id), from the probe's lines "key|modifier ID KEYSYM"."""

    def __init__(self, lines):
        self.keysyms, self.modifiers = {}, []
        for line in lines:
            kind, key_id, keysym = line.split()
            if kind == "modifier":
                self.modifiers.append((keysym, int(key_id)))
            else:
                self.keysyms[int(key_id)] = keysym
        self.modifier_ids = tuple(sorted(m[1] for m in self.modifiers))

    def name(self, key_id):
        return f"{KEY_LABELS.get(key_id, self.keysyms.get(key_id, '?').upper())} ({key_id})"

    def names(self, ids):
        return ", ".join(self.name(i) for i in sorted(ids)) or "nothing"


def set_layout(env, layout):
    """Sets the X server's keyboard layout (setxkbmap) and checks that it took."""
    subprocess.run(["setxkbmap", "-layout", layout], env=env, check=True)
    query = subprocess.run(["setxkbmap", "-query"], env=env, capture_output=True, text=True, check=True).stdout
    if f"layout:     {layout}\n" not in query:
        raise RuntimeError(f"the X server did not take the layout {layout}: {query!r}")


class XKeyboard:
    """Presses and releases keys of the X server's keymap by key code (XTest). xdotool is not used
    for keys: for a modifier keysym it first presses the keymap's first key of that modifier, so
    its right Shift comes with a left Shift press."""

    def __init__(self, display):
        self.x11 = x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        c = ctypes
        for function, restype, argtypes in (
                (x11.XOpenDisplay, c.c_void_p, [c.c_char_p]), (x11.XStringToKeysym, c.c_ulong, [c.c_char_p]),
                (x11.XKeysymToKeycode, c.c_ubyte, [c.c_void_p, c.c_ulong]),
                (x11.XkbKeycodeToKeysym, c.c_ulong, [c.c_void_p, c.c_ubyte, c.c_int, c.c_int]),
                (x11.XKeysymToString, c.c_char_p, [c.c_ulong]), (x11.XFlush, c.c_int, [c.c_void_p]),
                (x11.XCloseDisplay, c.c_int, [c.c_void_p]),
                (self.xtst.XTestFakeKeyEvent, c.c_int, [c.c_void_p, c.c_uint, c.c_int, c.c_ulong])):
            function.restype, function.argtypes = restype, argtypes
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
