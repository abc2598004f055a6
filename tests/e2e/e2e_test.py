#!/usr/bin/env python3
"""End-to-end test of ZENTAQ Tester as a person uses it.

On a private X server (Xvfb, started by scripts/with-xvfb.sh), starts the program under Wine,
presses and releases real keys and clicks the mouse through the X server (XTest, and xdotool for
the mouse), and checks what the screen shows. The probe program (probe.cpp) runs under Wine
beside the tester and reports where the dialog and its keys are and which windows are up.
screen.py reads the screen, x_keyboard.py presses keys, session.py runs the program and waits,
checks.py holds the checks, in the order they run. Each check prints one PASS, FAIL or SKIP line.
"""

import argparse
import collections
import os
import sys
import time
from pathlib import Path
from types import SimpleNamespace

from checks import CHECKS, LAYOUT_CHECKS
from session import Session

BUDGET = 150.0  # seconds for the whole run: stop in time to clean up before CTest's 180 s


class Results(collections.Counter):
    def check(self, ok, what):
        print(("PASS " if ok else "FAIL ") + what, flush=True)
        self["passed" if ok else "failed"] += 1

    def skip(self, what):
        print("SKIP " + what, flush=True)
        self["skipped"] += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--layout", help="the X keyboard layout to set before Wine starts (setxkbmap, e.g. de); "
                        "the keys are then pressed by key code and checked as that layout gives them")
    parser.add_argument("--code-page", help="passed to WINE_RUN (scripts/wine-run.sh) before ARCH, as the run "
                        "command starts the program")
    for name in ("exe", "probe", "wine_run", "arch", "prefix"):
        parser.add_argument(name)
    parser.add_argument("screenshot", nargs="?", help="where the picture of the dialog with keys held goes; with "
                        "ZQ_UPDATE_SCREENSHOT=1, docs/tester.png of the checkout instead")
    args = parser.parse_args()
    if args.screenshot and os.environ.get("ZQ_UPDATE_SCREENSHOT") == "1":
        args.screenshot = str(Path(__file__).resolve().parents[2] / "docs" / "tester.png")
    wine = [args.wine_run, *(["--code-page", args.code_page] if args.code_page else []), args.arch, args.prefix]
    run = SimpleNamespace(screenshot=args.screenshot, rest=None, before=None)
    results = Results()
    started = time.monotonic()
    s = None
    try:
        s = Session(args.exe, args.probe, wine, args.layout, BUDGET)
        s.start()
        for check in LAYOUT_CHECKS if args.layout else CHECKS:
            check(s, results, run)
    except Exception as error:  # the rest cannot run; the reason is the failure
        results.check(False, f"{type(error).__name__}: {error}")
    finally:
        if s is not None:
            s.stop()
    print(f"({time.monotonic() - started:.0f} s)")
    print(f"{results['passed']} passed, {results['failed']} failed"
          + (f", {results['skipped']} skipped" if results["skipped"] else ""))
    sys.exit(1 if results["failed"] else 0)


if __name__ == "__main__":
    main()
