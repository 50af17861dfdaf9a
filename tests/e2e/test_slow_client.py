#!/usr/bin/env python3
"""A client slower than the click delay: the practice client shows its dialog, menus and
forward window 1.5 s after what brought them up, against the usual delay of 500 ms. The runs
wait for what the client shows, so an add run of 4 adds all 4 and a delete run of 3 deletes
exactly 3."""

from __future__ import annotations

import shutil
from typing import Callable

import harness
import test_delete_job as delete_job
import test_run_checks as checks
from harness import Expect, Session

SLOW = ("--react-ms", "1500")


def adds_every_sticker(s: Session) -> None:
    stickers = ["s1.gif", "s2.gif", "s3.gif", "s4.gif"]
    folder = checks.sticker_folder(s, stickers)
    try:
        _, journal = s.start_practice_client("--collected", "old.gif", *SLOW)
        checks.start_tool(s)
        page = checks.ToolWindow(s)
        page.open_add_page()
        page.choose_folder(folder.name, len(stickers))
        page.set_delay(500)
        page.park_pointer()
        s.key("F11")
        summary = checks.said(s.dismiss_message_box(checks.MESSAGE_BOX_TITLE, 300))
        e = Expect()
        e.equal(summary, "添加完成：成功 4 个，已有 0 个，跳过 0 个", "the summary")
        e.equal(checks.names(journal.events(), "added"), stickers, "added")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def deletes_exactly_the_count(s: Session) -> None:
    _, journal = s.start_practice_client("--stickers", "10", *SLOW)
    tool = checks.start_tool(s)
    tool.set_field("DeleteCount", "3")
    tool.set_field("DeleteDelay", "500")
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    tool.wait_texts({"DeleteStartButton": delete_job.FINISHED, "DeleteCount": "0"},
                    "the run to finish", timeout=180)
    e = Expect()
    e.equal(checks.names(journal.after(mark), "deleted"),
            ["sticker01.gif", "sticker02.gif", "sticker03.gif"], "deleted")
    e.check()


SCENARIOS: list[Callable[[Session], None]] = [adds_every_sticker, deletes_exactly_the_count]


if __name__ == "__main__":
    harness.run_scenarios("slow_client", SCENARIOS)
