#!/usr/bin/env python3
"""Runs that keep their client and leave things as found, against the practice client.

- The client is closed mid-run and started again at the same place before the run's next
  click: the run never works the new client, says the client went away, and the next start
  uses the new one (delete in both modes, add in mode two).
- The user's hand on the mouse pauses an add run; F11 goes on with the next sticker, and
  every sticker goes into the chat once.
- Closing the tool while the client's open dialog is up closes that dialog, and the text the
  user had on the clipboard is there again.
"""

from __future__ import annotations

import re
import shutil
import time

import harness
from harness import Expect, Session, poll, windows_path
from test_delete_job import MESSAGE_BOX_TITLE
from test_add_job import ToolWindow
from test_run_checks import (CLIENT_GONE, RUN_TIMEOUT, SLOW_DELAY_MS, client_gone_mid_delete,
                             names, of, said, start_add_run, start_tool, sticker_folder)

USERS_TEXT = "用户自己复制的文字"


def restart_client(s: Session, at: tuple[int, int], *options: str) -> harness.Journal:
    """The second client, where the first one stood, as soon as the first has gone."""
    _, witness = s.start_practice_client(*options, "--pos", *map(str, at), name="restarted")
    return witness


def restarted_client_mid_delete_mode_one(s: Session) -> None:
    client_gone_mid_delete(s, mode_two=False, restart_at_once=True)


def restarted_client_mid_delete_mode_two(s: Session) -> None:
    client_gone_mid_delete(s, mode_two=True, restart_at_once=True)


def restarted_client_mid_add_mode_two(s: Session) -> None:
    stickers = ["r1.gif", "r2.gif", "r3.gif"]
    folder = sticker_folder(s, stickers)
    try:
        # Gone as the second sticker's open dialog was coming up.
        client, journal = s.start_practice_client("--collected", "old.gif", "--pos", "0", "0",
                                                  "--close-after", "dialog opened:2")
        tool = start_tool(s)

        def points_typed_in(page: ToolWindow) -> None:
            page.select_mode_two()
            for field, text in (("FileButtonX", "373"), ("FileButtonY", "526"),
                                ("SentStickerX", "799"), ("SentStickerY", "459")):
                tool.set_field(field, text)

        start_add_run(s, folder, len(stickers), SLOW_DELAY_MS, points_typed_in)
        s.key("F11")
        journal.wait_for("the client to go away", lambda e: e["event"] == "closing",
                         timeout=RUN_TIMEOUT)
        e = Expect()
        e.equal(client.wait(), 0, "the client's exit code")
        restarted = restart_client(s, (0, 0), "--collected", "old.gif")
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
        e.true(summary.startswith(CLIENT_GONE + "\n添加未完成："),
               f"the summary names the client that went away: {summary!r}")
        e.equal(names(journal.events(), "added"), ["r1.gif"], "added before the client went")
        e.equal(restarted.after(1), [], "what the restarted client got from the run")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def mouse_pauses_an_add_run_and_f11_goes_on(s: Session) -> None:
    stickers = ["m1.gif", "m2.gif", "m3.gif", "m4.gif"]
    folder = sticker_folder(s, stickers)
    try:
        _, journal = s.start_practice_client("--collected", "old.gif")
        start_tool(s)
        start_add_run(s, folder, len(stickers), 1000)
        parked = ToolWindow(s).park_pointer()
        s.key("F11")
        journal.wait_for("the first sticker added", lambda e: e["event"] == "added",
                         timeout=RUN_TIMEOUT)
        s.move(parked[0] - 60, parked[1] - 40)  # the user's hand on the mouse
        paused = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
        e = Expect()
        found = re.fullmatch(r"检测到鼠标移动，已暂停。\n添加暂停：.*，还有 (\d+) 个。\n"
                             r"按 F11 从第 (\d+) 个（(.+)）继续添加。", paused)
        e.true(bool(found), f"the pause says where F11 goes on: {paused!r}")
        e.check()
        ToolWindow(s).park_pointer()
        s.key("F11")
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
        events = journal.events()
        e.equal(summary, "添加完成：成功 4 个，已有 0 个，跳过 0 个", "the summary at the end")
        e.equal(sorted(names(events, "sent")), sorted(stickers), "each sticker sent once")
        e.equal(sorted(names(events, "added")), sorted(stickers), "each sticker added once")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def closing_closes_the_dialog_and_gives_the_clipboard_back(s: Session) -> None:
    """The open dialog refuses a file another program holds open and shows its error box;
    with a long delay the run leaves both up for a while, and the tool is closed then."""
    stickers = ["h1.gif", "h2.gif"]
    folder = sticker_folder(s, stickers)
    try:
        _, journal = s.start_practice_client("--collected", "old.gif")
        start_tool(s)
        start_add_run(s, folder, len(stickers), 30000)
        holder = s.start(s.build.inspect, "--hold-file", windows_path(folder / "h1.gif"),
                         "600000", name="file-holder")
        holder.wait_output('"held":true')
        s.set_clipboard(USERS_TEXT)
        ToolWindow(s).park_pointer()
        s.key("F11")
        journal.wait_for("the open dialog", lambda e: e["event"] == "dialog opened",
                         timeout=RUN_TIMEOUT)
        time.sleep(3.0)  # the path pasted, Enter refused: the error box over the dialog
        e = Expect()
        e.true(bool(s.window_ids("打开")), "the open dialog is up before the tool closes")
        # The user goes to the tool to close it: the tool's window is in front then.
        r = ToolWindow(s).rect()
        s.click(r.x + r.w // 2, r.y + 8)
        poll(lambda: s.foreground().get("class") == harness.TOOL_CLASS, 30,
             "the tool's window in front", interval=0.2)
        s.close_window("", harness.TOOL_CLASS)  # the caption shows the progress now
        poll(lambda: not s.window_ids("打开"), 30, "the open dialog to be closed")
        # The client writes its journal line once its dialog call has returned.
        journal.wait_for("the dialog cancelled", lambda x: x["event"] == "dialog cancelled",
                         timeout=30)
        e.equal(len(of(journal.events(), "dialog cancelled")), 1, "the dialog cancelled once")
        e.equal(names(journal.events(), "sent"), [], "nothing sent")
        e.equal(s.clipboard(), USERS_TEXT, "the user's text back on the clipboard")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


SCENARIOS = [
    restarted_client_mid_delete_mode_one,
    restarted_client_mid_delete_mode_two,
    restarted_client_mid_add_mode_two,
    mouse_pauses_an_add_run_and_f11_goes_on,
    closing_closes_the_dialog_and_gives_the_clipboard_back,
]


if __name__ == "__main__":
    harness.run_scenarios("bound_runs", SCENARIOS)
