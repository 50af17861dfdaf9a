#!/usr/bin/env python3
"""A warning bubble over the delete page's fields (a click delay that is no whole number) goes
away by itself after a few seconds, and never costs the user a click: clicking the count box
where the bubble lies over it puts the cursor in the count box, so what is typed lands there."""

from __future__ import annotations

import time
from typing import Callable

import harness
import test_delete_job as delete_job
from harness import Expect, Rect, Session, poll

DELAY_WARNING = "点击延时要填毫秒数：0 到 60000 之间的整数，例如 500。"


def warning_shown(s: Session) -> list[Rect]:
    return [Rect(tip["rect"]) for tip in s.tooltips()
            if any(DELAY_WARNING in text for text in tip["texts"])]


def start_with_a_bad_delay(s: Session) -> delete_job.Tool:
    tool, _ = delete_job.start_programs(s, (0, 0))
    tool.set_field("DeleteDelay", "5.5")
    tool.click("DeleteStartButton")
    return tool


def overlap(a: Rect, b: Rect) -> Rect | None:
    left, top = max(a.x, b.x), max(a.y, b.y)
    right, bottom = min(a.x + a.w, b.x + b.w), min(a.y + a.h, b.y + b.h)
    if right <= left or bottom <= top:
        return None
    return Rect({"x": left, "y": top, "w": right - left, "h": bottom - top})


def the_warning_goes_by_itself(s: Session) -> None:
    start_with_a_bad_delay(s)
    poll(lambda: warning_shown(s), 30, "the delay warning", interval=0.2)
    shown = time.monotonic()
    s.screenshot(s.artifacts / "warning.png")
    time.sleep(1.5)
    e = Expect()
    e.true(bool(warning_shown(s)), "the warning is still up to be read 1.5 s later")
    poll(lambda: not warning_shown(s), 12, "the warning to go by itself", interval=0.3)
    e.true(time.monotonic() - shown < 10, "the warning went within a few seconds")
    e.check()


def a_click_on_the_warning_reaches_the_count_box(s: Session) -> None:
    tool = start_with_a_bad_delay(s)
    tips = poll(lambda: warning_shown(s), 30, "the delay warning", interval=0.2)
    count = Rect(tool.shown("DeleteCount")["screen"])
    # Where the bubble lies over the count box, or else anywhere on the box: a user aims at
    # the box either way.
    covered = next((o for o in (overlap(t, count) for t in tips) if o is not None), None)
    s.screenshot(s.artifacts / "warning-over-the-fields.png")
    harness.log(f"warning at {tips}, count box {count}, overlap {covered}")
    s.click(*(covered or count).center)
    s.key("End", "shift+Home")
    s.type("7")
    tool.wait_texts({"DeleteCount": "7", "DeleteDelay": "5.5"},
                    "the typed 7 to land in the count box, the delay untouched")
    poll(lambda: not warning_shown(s), 5, "the warning to go at the click", interval=0.3)


SCENARIOS: list[Callable[[Session], None]] = [
    the_warning_goes_by_itself,
    a_click_on_the_warning_reaches_the_count_box,
]


if __name__ == "__main__":
    harness.run_scenarios("field_tips", SCENARIOS)
