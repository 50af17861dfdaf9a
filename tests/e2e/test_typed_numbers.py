#!/usr/bin/env python3
"""A number typed with full-width digits, as an input method in full-width mode types it,
reaches the delete page's count box as the number: "１２" reads "12", and "1２3" reads "123"."""

from __future__ import annotations

import harness
from harness import Rect, Session, poll

TITLE = harness.TOOL_TITLE


def count_box(s: Session) -> dict:
    found = s.inspect(TITLE)
    assert found, f"no window {TITLE!r}"
    return harness.controls_by_name(found[1])["DeleteCount"]


def type_into_count(s: Session, typed: str, shown: str) -> None:
    # xdotool types a character missing from the X keymap by remapping a key just before
    # pressing it; on a loaded machine Wine can read that press before the new mapping, and
    # the character never arrives at all. A folding fault gives the same wrong text on every
    # attempt, so a lost keystroke is typed again, and a wrong result still fails.
    for attempt in range(3):
        s.type_over(count_box(s), typed)
        try:
            poll(lambda: count_box(s)["text"] == shown, 10,
                 f"the count box to read {shown!r} after typing {typed!r}")
            return
        except TimeoutError:
            if attempt == 2:
                raise
            harness.log(f"typing {typed!r} gave {count_box(s)['text']!r}; typing it again")


def scenario(s: Session) -> None:
    # The practice client sits below the tool's centred window, so the two do not overlap.
    s.start_practice_client("--pos", "0", "700")
    tool = s.start(s.build.pelloram)
    s.wait_window(TITLE, timeout=60)
    s.move(*Rect(count_box(s)["screen"]).center)  # keys go to the window under the pointer

    type_into_count(s, "１２", "12")
    type_into_count(s, "1２3", "123")

    s.close_window(TITLE)
    code = tool.wait(timeout=30)
    if code != 0:
        raise AssertionError(f"the tool ended with exit code {code}, expected 0")


if __name__ == "__main__":
    harness.main(scenario)
