#!/usr/bin/env python3
"""The user takes the mouse in the middle of a delete run of 10: the run stops before its next
click, a bubble says why, the count keeps what is left, and F11 goes on with the rest."""

from __future__ import annotations

import time
from typing import Callable

import harness
import test_delete_job as delete_job
from harness import Expect, Session, poll

MOVED = "检测到鼠标移动，已暂停。按 F11 继续。"


def tip_shown(s: Session) -> bool:
    return any(MOVED in text for tip in s.tooltips() for text in tip["texts"])


def moving_the_mouse_pauses_a_delete_run(s: Session) -> None:
    tool, journal = delete_job.start_programs(s, (200, 120))
    tool.set_field("DeleteCount", "10")
    tool.set_field("DeleteDelay", "500")
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 2, timeout=120)
    r = tool.rect()
    s.move(r.x + r.w // 2, r.y + r.h // 2)  # the user's hand on the mouse
    poll(lambda: tip_shown(s), 30, "the bubble about the moved mouse", interval=0.2)
    s.screenshot(s.artifacts / "paused-by-the-mouse.png")
    stopped = journal.last_seq()
    time.sleep(3.0)  # a run still going would click again within this
    e = Expect()
    e.equal(journal.after(stopped), [], "journal after the pause")
    deleted = len(journal.of(mark, "deleted"))
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"),
            (delete_job.START, str(10 - deleted)), "caption and count after the pause")
    e.check()

    delete_job.press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 10, timeout=240)
    tool.wait_texts({"DeleteStartButton": delete_job.FINISHED, "DeleteCount": "0"},
                    "the resumed run to finish", timeout=60)
    e.equal(len(journal.of(mark, "deleted")), 10, "stickers deleted in all")
    e.check()


SCENARIOS: list[Callable[[Session], None]] = [moving_the_mouse_pauses_a_delete_run]


if __name__ == "__main__":
    harness.run_scenarios("fail_safe", SCENARIOS)
