"""A run of the tester under Wine on the test's X server: the program and the probe beside it,
the one wait helper, and what a person does: presses keys and clicks, watching the panel."""

import os
import subprocess
import tempfile
import time

from screen import Panel, grab
from x_keyboard import KeyboardFacts, XKeyboard, set_layout

TIMEOUT = 3.0  # seconds to wait for the screen to show the outcome of an input
MARKER = "a"  # a key known to light A (1001): once it shows, every earlier input has been handled
MARKER_ID = 1001


class ProgramGone(Exception):
    pass


class Session:
    def __init__(self, exe, probe, wine, layout, budget):
        self.exe, self.probe_exe, self.wine = exe, probe, wine
        self.env = dict(os.environ)
        self.app = self.keyboard = None
        self.last_input = ""
        self.deadline = time.monotonic() + budget
        self.budget = budget
        # An X server of the test's own (scripts/with-xvfb.sh), which keeps a layout set on it.
        if not self.env.get("DISPLAY"):
            raise RuntimeError("no X display: run the test through scripts/with-xvfb.sh")
        self.keyboard = XKeyboard(self.env["DISPLAY"])
        if layout:
            set_layout(self.env, layout)

    def wait(self, look, done, timeout, pause=0.03):
        """Calls look() until done(what it returned) holds or timeout seconds pass; returns
        whether it held, and the last look. Stops the run when the program has ended or the
        run's time is up."""
        deadline = time.monotonic() + timeout
        while True:
            value = look()
            if done(value):
                return True, value
            if self.app is not None and self.app.poll() is not None:
                raise ProgramGone(f"the program ended after xdotool {self.last_input}" if self.last_input
                                  else "the program ended before its window showed")
            now = time.monotonic()
            if now > self.deadline:
                raise RuntimeError(f"out of time: stopped after {self.budget:.0f} s, the checks left were not run")
            if now > deadline:
                return False, value
            time.sleep(pause)

    def start(self):
        """Starts the tester once the probe has run (it makes the prefix on a first run) and
        printed the keyboard; waits for the dialog and its keys."""
        status, _ = self.probe("windows")
        if status != 0:
            raise RuntimeError("the probe could not run under Wine")
        status, lines = self.probe("keysyms")
        if status != 0:
            raise RuntimeError("the probe could not print the keyboard")
        self.facts = KeyboardFacts(lines)
        self.output = tempfile.TemporaryFile("w+")
        self.app = subprocess.Popen(self.wine + [self.exe], env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=self.output, stderr=self.output,
                                    start_new_session=True)
        found, (_, lines) = self.wait(lambda: self.probe("keys"), lambda probed: probed[0] == 0, 60, pause=0.2)
        if not found:
            raise RuntimeError("no window titled 'ZENTAQ Tester' within 60 s")
        self.panel = Panel(lines, self.facts)

    def stop(self):
        if self.keyboard is not None:
            self.keyboard.close()
        if self.app is None:
            return
        subprocess.run(self.wine + ["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        try:
            self.app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(self.app.pid, 9)
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
        return grab(self.env)

    def settle(self):
        """Waits for the dialog to be painted and still; keeps that as the idle panel."""
        previous = []

        def still(image):
            same = bool(previous) and image.data == previous[-1].data
            previous.append(image)
            return same

        _, image = self.wait(self.grab, still, 10, pause=0.3)
        self.panel.keep_idle(image)

    def wait_screen(self, done):
        """Grabs the screen until done(image) holds or TIMEOUT passes; returns (held, image)."""
        return self.wait(self.grab, done, TIMEOUT)

    def wait_lit(self, ids):
        return self.wait_screen(lambda image: ids <= self.panel.lit(image)[0])

    def wait_idle_panel(self):
        return self.wait_screen(self.panel.is_idle)

    def held_and_released(self, keys, ids):
        """Holds keys down in order and releases them in reverse. Returns '' when the panel
        showed exactly the keys ids lit and came back to idle, else what went wrong."""
        for key in keys:
            self.key(key, True)
        _, image = self.wait_lit(ids)
        problem = "" if self.panel.shows_exactly(image, ids) else "held: " + self.panel.describe(image, ids)
        return self.released(keys, problem)

    def released(self, keys, problem):
        """Releases keys in reverse; adds to problem unless the panel comes back to idle."""
        for key in reversed(keys):
            self.key(key, False)
        back, image = self.wait_idle_panel()
        if not back:
            problem += ("; " if problem else "") + "released: " + self.panel.describe(image, set())
        return problem

    def lit_while_held(self, key):
        """Holds key down until the panel shows a key lit, and releases it. Returns the keys lit,
        and '' when those alone changed and the panel came back to idle, else what went wrong."""
        self.key(key, True)
        self.wait_screen(lambda image: self.panel.lit(image)[0])
        time.sleep(0.1)  # a second key lit by the same message has been painted by now
        image = self.grab()
        lit = self.panel.lit(image)[0]
        problem = "" if self.panel.shows_exactly(image, lit) else "held: " + self.panel.describe(image, lit)
        return lit, self.released([key], problem)

    def marker_round_trip(self):
        """Presses and releases the marker key: True when A lit and went out again."""
        return not self.held_and_released([MARKER], {MARKER_ID})
