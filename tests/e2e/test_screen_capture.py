#!/usr/bin/env python3
"""Pictures of the screen through the tool's own Win32Desktop::CaptureScreen, under Wine.

client_probe.exe captures rectangles of the screen where the practice client stands and
where nothing does, keeps a 48 x 48 picture around the client's sticker button as F10 does,
and looks for it with FindPicture in later captures: after the client was moved and resized
(the button then sits elsewhere on the screen and elsewhere in the window), and in a part of
the client without it.
"""

from __future__ import annotations

from typing import Callable

import harness
from harness import Expect, Session, windows_path
from test_client_layer import Prober, step

# The practice client's sticker button, centre in client coordinates, laid out for a size:
# the toolbar sits 142 above the bottom, the button 324..356 across and 6..34 down in it.
def sticker_button(height: int) -> tuple[int, int]:
    return 340, height - 142 + 20


START_POS, START_SIZE = (150, 100), (1000, 720)
PLACED_SIZE = (910, 647)  # where and how big the probe's "place" step makes the client


def rect_args(left: int, top: int, width: int, height: int) -> list[str]:
    return [str(left), str(top), str(left + width), str(top + height)]


def capture_reads_the_screen_and_finds_a_control_again(s: Session) -> None:
    s.start_practice_client("--pos", *map(str, START_POS),
                                        "--size", *map(str, START_SIZE))
    probe = Prober(s)
    button = sticker_button(START_SIZE[1])
    on_screen = (START_POS[0] + button[0], START_POS[1] + button[1])
    shot = windows_path(s.artifacts / "client-capture.ppm")
    report = probe("capture", *rect_args(*START_POS, *START_SIZE), "save", shot,
                   "capture", *rect_args(0, 0, 120, 80),
                   "capture", "10", "10", "10", "50",
                   "capture", "-20", "-20", "40", "40",
                   "teach", *map(str, on_screen),
                   "look", *rect_args(*START_POS, *START_SIZE))
    whole, empty, flat, off = (step(report, "capture", i) for i in range(4))
    e = Expect()
    e.true(whole["ok"] and empty["ok"], f"captures of the client and of bare screen: {report}")
    e.equal(whole["size"], list(START_SIZE), "size of the client's capture")
    e.true(whole["opaque"], "every captured pixel is opaque")
    e.true(whole["colours"] >= 8, f"the client's capture shows its drawing: {whole}")
    e.true(whole["mean_rgb"] != empty["mean_rgb"],
           f"the client's capture differs from bare screen: {whole} / {empty}")
    e.equal(flat["ok"], False, "an empty rectangle is refused")
    e.true(off["ok"] and off["size"] == [60, 60], f"a rectangle reaching off the screen: {off}")
    taught = step(report, "teach")
    e.true(taught["ok"] and taught["distinctive"], f"the button's picture is kept: {taught}")
    found = step(report, "look")
    e.true(found["found"], f"the button is found where it was taught: {found}")
    e.near(found["center"][0], on_screen[0], 1, "found button, x")
    e.near(found["center"][1], on_screen[1], 1, "found button, y")
    e.check()

    # The same picture, looked for after the client moved to (0, 0) and shrank: the button
    # follows the bottom edge, so it moved within the window too.
    placed_button = sticker_button(PLACED_SIZE[1])
    # The wait lets the client lay itself out and paint, as a run's delay would.
    report = probe("teach", *map(str, on_screen), "place", "wait", "500",
                   "look", *rect_args(0, 0, *PLACED_SIZE),
                   "look", *rect_args(400, 0, PLACED_SIZE[0] - 400, PLACED_SIZE[1]))
    moved, elsewhere = step(report, "look", 0), step(report, "look", 1)
    e.true(step(report, "place")["ok"], "the client was placed")
    e.true(moved["found"], f"the button is found after the move: {moved}")
    e.near(moved["center"][0], placed_button[0], 1, "button after the move, x")
    e.near(moved["center"][1], placed_button[1], 1, "button after the move, y")
    e.equal(elsewhere["found"], False, f"not found where the button is not: {elsewhere}")
    e.check()


SCENARIOS: list[Callable[[Session], None]] = [
    capture_reads_the_screen_and_finds_a_control_again,
]


if __name__ == "__main__":
    harness.run_scenarios("screen_capture", SCENARIOS)
