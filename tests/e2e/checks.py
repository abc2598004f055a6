"""The checks, in the order they run: each takes the session, the results and the run's
settings, and reports one line a check through results.check or results.skip."""

import subprocess
import time
from pathlib import Path

from session import MARKER, MARKER_ID, TIMEOUT

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
# Keys that would close or operate a window.
OPERATING = [("Esc", ["Escape"]), ("Enter", ["Return"]), ("Tab", ["Tab"]), ("Alt+F4", ["Alt_L", "F4"]),
             ("Alt+Space", ["Alt_L", "space"]), ("right Alt+F4", ["Alt_R", "F4"]),
             ("right Alt+Space", ["Alt_R", "space"]), ("F1", ["F1"])]


def but(problem):
    return f": {problem}" if problem else ""


def the_dialog(s, r, run):
    """Where the dialog is, its keys, and the panel idle with the pointer resting off the keys."""
    geometry = subprocess.run(["xdotool", "search", "--name", "^ZENTAQ Tester$", "getwindowgeometry", "--shell"],
                              env=s.env, capture_output=True, text=True).stdout
    g = dict(line.split("=", 1) for line in geometry.split())
    x_rect = tuple(int(g.get(k, -1)) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    left, top, right, bottom = s.panel.window
    r.check(x_rect == (left, top, right - left, bottom - top),
            f"Windows screen coordinates are X root coordinates: the dialog at {s.panel.window} "
            f"is the X window at {x_rect[:2]}, {x_rect[2]}x{x_rect[3]}")
    r.check(len(s.panel.keys) == 83, f"the dialog has 83 keys on screen (found {len(s.panel.keys)})")
    # The pointer rests over an empty spot of the dialog, right of the logo.
    run.rest = (s.panel.client[2] - 8, s.panel.client[1] + 8)
    s.xdotool("mousemove", *map(str, run.rest))
    s.settle()
    lit, partly = s.panel.lit(s.panel.idle)
    r.check(not lit and not partly, f"no key is lit when nothing is pressed (lit {s.facts.names(lit | partly)})")


def every_key(s, r, run):
    """Every key with a code of its own lights its own key, and only that."""
    for key_id, keysym in sorted(s.facts.keysyms.items()):
        if not s.keyboard.keycode(keysym):
            r.skip(f"{keysym}: the X keymap has no key for it, so {s.facts.name(key_id)} is not tried")
            continue
        problem = s.held_and_released([keysym], {key_id})
        if keysym == "Caps_Lock":
            s.tap("Caps_Lock")  # the first press turned caps lock on; turn it off
            s.wait_idle_panel()
        r.check(not problem, f"{keysym} lights {s.facts.name(key_id)} alone and clears on release" + but(problem))


def modifiers_of(s, r, modifiers):
    """Each of the modifiers (key, id) lights its own key, not its twin on the other side, and
    all held together light all. The marker key, pressed while the modifier is down, shows when
    the modifier's own messages have been handled."""
    for key, key_id in modifiers:
        problem = s.held_and_released([key, MARKER], {key_id, MARKER_ID})
        r.check(not problem, f"{s.keyboard.describe(key)} lights {s.facts.name(key_id)} alone and clears on release"
                + but(problem))
    ids = {m[1] for m in modifiers}
    problem = s.held_and_released([m[0] for m in modifiers], ids)
    r.check(not problem, f"the {len(modifiers)} modifier keys held together light {s.facts.names(ids)}" + but(problem))


def each_modifier(s, r, run):
    for keysym, _ in s.facts.modifiers:
        if not s.keyboard.keycode(keysym):
            r.skip(f"{keysym}: the X keymap has no key for it")
    modifiers_of(s, r, [m for m in s.facts.modifiers if s.keyboard.keycode(m[0])])


def operating_keys(s, r, run):
    """Keys that would close or operate a window do nothing here."""
    run.before, _ = s.windows()
    for label, keys in OPERATING:
        for keysym in keys:
            s.key(keysym, True)
        for keysym in reversed(keys):
            s.key(keysym, False)
        marker = s.marker_round_trip()
        after, foreground = s.windows()
        problems = []
        if not marker:
            problems.append("the panel no longer lights A for the a key")
        if after != run.before:
            problems.append(f"windows were {run.before}, now {after}")
        if foreground != "ZENTAQ Tester":
            problems.append(f"the foreground window is {foreground!r}")
        r.check(not problems, f"{label} leaves the window open and nothing else up" + but("; ".join(problems)))


def clicks(s, r, run):
    for key_id in (1058, 1070):
        left, top, right, bottom = s.panel.keys[key_id]
        s.xdotool("mousemove", str((left + right) // 2), str((top + bottom) // 2), "mousedown", "1")
        time.sleep(0.3)
        down = s.grab().first_difference(s.panel.idle, s.panel.keys[key_id])
        s.xdotool("mouseup", "1")
        s.xdotool("mousemove", *map(str, run.rest))
        marker = s.marker_round_trip()  # the click, too, has been handled by now
        up = s.grab().first_difference(s.panel.idle, s.panel.client)
        r.check(down is None and up is None and marker,
                f"a mouse click on {s.facts.name(key_id)} leaves its pixels unchanged"
                + (f": while held, pixel {down} changed" if down else "")
                + (f": afterwards, pixel {up} changed" if up else "")
                + ("" if marker else ": afterwards the a key no longer lights A"))


def about_box(s, r, run):
    """The About box, from the system menu opened with the mouse on the caption icon."""
    window, client = s.panel.window, s.panel.client
    frame = client[0] - window[0]
    caption = client[1] - window[1] - frame
    s.xdotool("mousemove", str(window[0] + frame + caption // 2), str(window[1] + frame + caption // 2), "click", "1")

    def shown(title=None, window_class=None):
        """The first window up with that title or class, and the foreground window's title."""
        windows, top = s.windows()
        return next((w for w in windows if w[1] == title or w[0] == window_class), None), top

    menu_up, (menu, _) = s.wait(lambda: shown(window_class="#32768"), lambda w: w[0] is not None, TIMEOUT, pause=0)
    about = foreground = None
    if menu_up:
        # The About item is the menu's last; its middle lies well within 10 pixels of the bottom.
        m_left, _, m_right, m_bottom = map(int, menu[2].split())
        s.xdotool("mousemove", str((m_left + m_right) // 2), str(m_bottom - 10), "click", "1")
        _, (about, foreground) = s.wait(lambda: shown("About"), lambda w: w[0] is not None, TIMEOUT, pause=0)
    s.xdotool("mousemove", *map(str, run.rest))
    r.check(about is not None and foreground == "About",
            "the system menu's last item opens the About box"
            + ("" if menu else ": no menu came up on a click on the caption icon")
            + ("" if about or not menu else ": no window titled 'About' came up"))
    if about is None:
        return
    s.tap("Return")
    _, windows = s.wait(lambda: s.windows()[0], lambda up: not any(w[1] == "About" for w in up), TIMEOUT, pause=0)
    back, image = s.wait_idle_panel()
    r.check(windows == run.before and back,
            "Enter closes the About box and the panel is as before"
            + ("" if windows == run.before else f": windows are {windows}")
            + ("" if back else ": " + s.panel.describe(image, set())))
    r.check(s.marker_round_trip(), "keys light again after the About box")


def two_keys(s, r, run):
    """Two keys at once, and the picture of it. Taken last: under Wine without a window manager
    the caption shows active only once the window has been activated anew, as by its menu."""
    s.key("Shift_L", True)
    s.key("a", True)
    _, image = s.wait_lit({1054, 1001})
    r.check(s.panel.shows_exactly(image, {1054, 1001}),
            "Shift_L and a held together light SHIFT and A: " + s.panel.describe(image, {1054, 1001}))
    if run.screenshot:
        Path(run.screenshot).parent.mkdir(parents=True, exist_ok=True)
        image.save_png(s.panel.window, run.screenshot)
        print(f"screenshot: {run.screenshot}", flush=True)
    s.key("a", False)
    s.key("Shift_L", False)


def layout_keys(s, r, run):
    """The keys as the X server's layout (--layout) gives them, pressed by key code. Every key of
    the main block lights exactly one key, letters and digits their own, and no two keys the same
    one. Which punctuation key lights which is Wine's to decide."""
    own = {keysym: key_id for key_id, keysym in s.facts.keysyms.items() if len(keysym) == 1 and keysym.isalnum()}
    lit_by = {}
    for code in MAIN_BLOCK:
        label = s.keyboard.describe(code)
        lit, problem = s.lit_while_held(code)
        want = own.get(s.keyboard.keysym(code))
        if want is not None and lit != {want}:
            problem = f"not {s.facts.name(want)}" + (f"; {problem}" if problem else "")
        r.check(len(lit) == 1 and not problem,
                f"{label} lights exactly one key ({s.facts.names(lit)}) and clears on release" + but(problem))
        for key_id in lit:
            lit_by.setdefault(key_id, []).append(label)
    shared = {key_id: labels for key_id, labels in lit_by.items() if len(labels) > 1}
    r.check(not shared, "no two keys of the main block light the same key"
            + "".join(f"; {s.facts.name(k)} by {', '.join(labels)}" for k, labels in sorted(shared.items())))

    problem = s.held_and_released([ISO_KEY, MARKER], {MARKER_ID})
    r.check(not problem, f"{s.keyboard.describe(ISO_KEY)} lights nothing, as on Windows" + but(problem))


def dead_keys(s, r, run):
    """A dead key, tapped, lets the next key through."""
    for dead in DEAD_KEYS:
        for keysym, key_id in AFTER_DEAD:
            s.tap(dead)
            problem = s.held_and_released([keysym], {key_id})
            r.check(not problem, f"after {s.keyboard.describe(dead)}, {keysym} lights {s.facts.name(key_id)} alone"
                    + but(problem))


def layout_modifiers(s, r, run):
    modifiers_of(s, r, [(ALTGR if keysym == "Alt_R" else keysym, key_id) for keysym, key_id in s.facts.modifiers])


CHECKS = [the_dialog, every_key, each_modifier, operating_keys, clicks, about_box, two_keys]
LAYOUT_CHECKS = [the_dialog, layout_keys, dead_keys, layout_modifiers]
