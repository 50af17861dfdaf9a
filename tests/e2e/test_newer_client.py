#!/usr/bin/env python3
"""The tool against the practice client playing the newer (Qt) client generation: a shown main
window of class Qt51514QWindowIcon titled 微信, with a hidden one of the same class and title
made before it. The tool finds the shown one at start-up and holds F10 and F11; mode one, whose
built-in points are the classic layout, is refused with a bubble and moves nothing; mode two
deletes at the captured points; an add run in mode two knows its forward window, titled
"微信发送给", for a sticker collected before."""

from __future__ import annotations

import shutil
from typing import Callable

import harness
import test_delete_job as delete_job
from test_add_job import ToolWindow
from harness import TOOL_TITLE, Expect, Session, poll
from test_run_checks import MESSAGE_BOX_TITLE, said, start_add_run, sticker_folder

QT_CLASS = "Qt51514QWindowIcon"
MODE_ONE_REFUSED = "模式一的内置坐标只适用于旧版微信，新版请使用模式二（F10 取坐标）。"
VK_F10, VK_F11 = 0x79, 0x7A


def start(s: Session, origin: tuple[int, int]) -> tuple[delete_job.Tool, harness.Journal]:
    _, journal = s.start_practice_client("--generation", "newer", "--stickers", "10",
                                         "--pos", *map(str, origin))
    poll(journal.events, 60, "the practice client's start line")
    tool = delete_job.Tool(s, s.start(s.build.pelloram))
    s.wait_window(TOOL_TITLE, timeout=60)
    tool.move_out_of_the_way()
    return tool, journal


def client_rect(s: Session) -> dict:
    found = s.inspect("微信", QT_CLASS)
    if not found:
        raise AssertionError("the practice client's window is gone")
    return found[0]["rect"]


def found_at_start_and_mode_one_refused(s: Session) -> None:
    tool, journal = start(s, (200, 120))
    tool.set_field("DeleteCount", "2")
    e = Expect()
    e.true(not s.window_ids(delete_job.MESSAGE_BOX_TITLE), "no missing-client message")
    e.true(not s.try_hotkey(VK_F10) and not s.try_hotkey(VK_F11), "the tool holds F10 and F11")
    before = client_rect(s)
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    poll(lambda: any(MODE_ONE_REFUSED in text for tip in s.tooltips() for text in tip["texts"]),
         30, "the bubble refusing mode one", interval=0.2)
    s.screenshot(s.artifacts / "mode-one-refused.png")
    e.equal(client_rect(s), before, "the client is not moved")
    e.equal(journal.of(mark, "click"), [], "no click")
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"), (delete_job.START, "2"),
            "caption and count after the refusal")
    e.check()


def mode_two_deletes_at_the_captured_points(s: Session) -> None:
    origin = (100, 80)
    tool, journal = start(s, origin)

    def on_screen(point: tuple) -> tuple[int, int]:
        return origin[0] + point[0], origin[1] + point[1]

    tool.click("DeleteModeTwoRadio")
    poll(lambda: tool.controls()["DeleteModeTwoRadio"]["check"] == 1, 30,
         "删除模式二 to be checked", interval=0.2)
    fields = {"StickerPanel": delete_job.OPEN_PANEL, "CollectedTab": delete_job.COLLECTED_TAB,
              "FirstSticker": delete_job.FIRST_STICKER}
    for name, point in fields.items():
        x, y = on_screen(point)
        tool.set_field(f"{name}X", str(x))
        tool.set_field(f"{name}Y", str(y))
    x, y = on_screen(delete_job.DELETE_ITEM)
    tool.set_field("DeleteItemX", str(x))
    tool.set_field("DeleteItemY", str(y))
    tool.set_field("DeleteCount", "2")
    tool.set_field("DeleteDelay", "500")
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 2, timeout=120)
    tool.wait_texts({"DeleteStartButton": delete_job.FINISHED, "DeleteCount": "0"},
                    "the mode-two run to finish", timeout=60)
    s.screenshot(s.artifacts / "newer-mode-two-finished.png")
    e = Expect()
    e.equal([d["name"] for d in journal.of(mark, "deleted")], ["sticker01.gif", "sticker02.gif"],
            "stickers deleted")
    e.equal(client_rect(s), {"x": origin[0], "y": origin[1], "w": 910, "h": 647},
            "mode two leaves the client where it is")
    e.check()


def add_run_knows_the_newer_forward_window(s: Session) -> None:
    stickers = ["old.gif", "fresh.gif"]
    folder = sticker_folder(s, stickers)
    try:
        _, journal = s.start_practice_client("--generation", "newer", "--collected", "old.gif",
                                             "--pos", "0", "0")
        tool = delete_job.Tool(s, s.start(s.build.pelloram))
        s.wait_window(TOOL_TITLE, timeout=60)
        tool.move_out_of_the_way()

        def points_typed_in(page: ToolWindow) -> None:
            page.select_mode_two()
            for field, text in (("FileButtonX", "373"), ("FileButtonY", "526"),
                                ("SentStickerX", "799"), ("SentStickerY", "459")):
                tool.set_field(field, text)

        start_add_run(s, folder, len(stickers), 500, points_typed_in)
        s.key("F11")
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, 180))
        e = Expect()
        e.equal(summary, "添加完成：成功 1 个，已有 1 个，跳过 0 个", "the summary")
        e.equal([x["name"] for x in journal.of(0, "forward closed")], ["old.gif"],
                "the forward window closed for the sticker collected before")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


SCENARIOS: list[Callable[[Session], None]] = [
    found_at_start_and_mode_one_refused,
    mode_two_deletes_at_the_captured_points,
    add_run_knows_the_newer_forward_window,
]


if __name__ == "__main__":
    harness.run_scenarios("newer_client", SCENARIOS)
