#!/usr/bin/env python3
"""Runs of the real tool when the world changes under them, against the practice client.

Before each click and key the tool checks that the client is still there and in front, and
after a right click that a menu came up. Each scenario changes one thing mid-run and reads
what the tool did from the client's journal, its controls and the message box it shows:

- the client goes away after its second deletion or mid-add (--close-after); a second client
  started at the same place afterwards (the witness) must get nothing, and the tool must
  stay usable;
- a run that finds the sticker panel left open by the one before it;
- another program holds the clipboard; a file goes away before its turn, another program
  holds one open (the open dialog refuses it).
"""

from __future__ import annotations

import re
import shutil
import uuid
from pathlib import Path
from typing import Callable

import harness
from harness import TOOL_TITLE, Expect, Session, poll, windows_path
from test_add_job import GIF, ToolWindow
from test_delete_job import (COLLECTED_TAB, DELETE_ITEM, FINISHED, FIRST_STICKER,
                             MESSAGE_BOX_TITLE, OPEN_PANEL, START, Tool, press)

CLIENT_GONE = "微信窗口不见了，已停止。请打开微信后重新开始。"
DELETE_DELAY_MS = 500
# Long enough for a client started again to be up before the run's next click.
SLOW_DELAY_MS = 6000
ADD_DELAY_MS = 1000
RUN_TIMEOUT = 180


def said(text: str) -> str:
    return text.replace("\r\n", "\n")


def start_tool(s: Session) -> Tool:
    tool = Tool(s, s.start(s.build.pelloram))
    s.wait_window(TOOL_TITLE, timeout=60)
    tool.move_out_of_the_way()  # right of and below every point a run clicks
    return tool


def sticker_folder(s: Session, names: list[str]) -> Path:
    """A folder of GIFs on the Wine user's Desktop, where the folder picker starts; the name
    is unique, so that typing it selects this folder and no other."""
    folder = s.desktop_dir() / f"checks-{uuid.uuid4().hex[:10]}"
    folder.mkdir()
    for name in names:
        (folder / name).write_bytes(GIF)
    return folder


def start_add_run(s: Session, folder: Path, count: int, delay_ms: int = ADD_DELAY_MS,
                  before: Callable[[ToolWindow], None] | None = None) -> None:
    """Everything up to F11: the add page, (what `before` does there,) the folder, the delay,
    the pointer parked."""
    page = ToolWindow(s)
    page.open_add_page()
    if before:
        before(page)
    page.choose_folder(folder.name, count)
    page.set_delay(delay_ms)
    page.park_pointer()


def type_delete_points(tool: Tool, at: tuple[int, int]) -> None:
    """Mode two on the delete page, with its points typed in for a client standing at `at`."""
    tool.click("DeleteModeTwoRadio")
    poll(lambda: tool.controls()["DeleteModeTwoRadio"]["check"] == 1, 30,
         "删除模式二 to be checked", interval=0.2)
    for field, point in (("StickerPanel", OPEN_PANEL), ("CollectedTab", COLLECTED_TAB),
                         ("FirstSticker", FIRST_STICKER), ("DeleteItem", DELETE_ITEM)):
        tool.set_field(field + "X", str(at[0] + point[0]))
        tool.set_field(field + "Y", str(at[1] + point[1]))


def start_witness(s: Session, place: tuple[int, int], *options: str) -> harness.Journal:
    """Starts a second client where the first one stood, once the tool has said why it
    stopped. The message box is moved off that place first: the new client would cover it."""
    s.wait_window(MESSAGE_BOX_TITLE, timeout=RUN_TIMEOUT)
    s.drag_window(MESSAGE_BOX_TITLE, (10, 780))
    _, witness = s.start_practice_client(*options, "--pos", *map(str, place), name="witness")
    return witness


def of(events: list[dict], kind: str) -> list[dict]:
    return [e for e in events if e["event"] == kind]


def names(events: list[dict], kind: str) -> list[str]:
    return [e["name"] for e in of(events, kind)]


# --------------------------------------------------------------------------------------------
# The client goes away


def client_gone_mid_delete(s: Session, mode_two: bool, restart_at_once: bool = False) -> None:
    """With `restart_at_once`, the witness starts as soon as the first client has gone, and
    a long delay keeps the run from its next click until it is up: a client started again
    at the same place, which the run must not take for its own."""
    at = (100, 80) if mode_two else (200, 120)
    client, journal = s.start_practice_client("--stickers", "10", "--pos", *map(str, at),
                                              "--close-after", "deleted:2")
    tool = start_tool(s)
    if mode_two:  # the points typed in, on the client where it stands
        type_delete_points(tool, at)
    tool.set_field("DeleteCount", "10")
    tool.set_field("DeleteDelay", str(SLOW_DELAY_MS if restart_at_once else DELETE_DELAY_MS))
    press(s, tool, "F11")
    journal.wait_for("the client to close after its second deletion",
                     lambda e: e["event"] == "closing", timeout=RUN_TIMEOUT)
    e = Expect()
    e.equal(client.wait(), 0, "the client's exit code")

    # Where the client was placed for the run: a tool that went on would click the witness.
    place = at if mode_two else (0, 0)
    if restart_at_once:
        _, witness = s.start_practice_client("--stickers", "10", "--pos", *map(str, place),
                                             name="witness")
    else:
        witness = start_witness(s, place, "--stickers", "10")
    e.equal(said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT)), CLIENT_GONE, "the message")
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"), (START, "8"),
            "caption and count after the stop")
    e.equal(names(journal.events(), "deleted"), ["sticker01.gif", "sticker02.gif"],
            "deleted from the client that went away")
    e.equal(witness.after(1), [], "the witness's journal after its start")
    e.check()

    # The next start finds the client that is there now.
    tool.set_field("DeleteCount", "1")
    tool.set_field("DeleteDelay", str(DELETE_DELAY_MS))
    press(s, tool, "F11")
    tool.wait_texts({"DeleteStartButton": FINISHED, "DeleteCount": "0"},
                    "a run on the witness to finish", timeout=60)
    e.equal(names(witness.events(), "deleted"), ["sticker01.gif"], "deleted from the witness")
    e.check()


def client_gone_mid_delete_mode_one(s: Session) -> None:
    client_gone_mid_delete(s, mode_two=False)


def client_gone_mid_delete_mode_two(s: Session) -> None:
    client_gone_mid_delete(s, mode_two=True)


def client_gone_mid_add(s: Session) -> None:
    stickers = ["g1.gif", "g2.gif", "g3.gif", "g4.gif"]
    folder = sticker_folder(s, stickers)
    try:
        # Gone as the second sticker's open dialog was coming up: only the first was added.
        client, journal = s.start_practice_client("--collected", "old.gif",
                                                  "--close-after", "dialog opened:2")
        start_tool(s)
        start_add_run(s, folder, len(stickers))
        s.key("F11")
        journal.wait_for("the client to go away", lambda e: e["event"] == "closing",
                         timeout=RUN_TIMEOUT)
        e = Expect()
        e.equal(client.wait(), 0, "the client's exit code")
        witness = start_witness(s, (0, 0), "--collected", "old.gif")
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
        e.equal(names(journal.events(), "added"), ["g1.gif"], "added before the client went")
        found = re.fullmatch(CLIENT_GONE + r"\n添加未完成：成功 (\d+) 个，已有 0 个，跳过 (\d+) 个"
                             r"(?:（.+）)?，还有 (\d+) 个没有添加。(?:\n跳过 .+)*", summary)
        e.true(bool(found), f"the summary gives the reason and the counts: {summary!r}")
        if found:
            e.equal(int(found[1]), 1, "added, as the summary counts")
            e.equal(int(found[2]) + int(found[3]), 3, "skipped or never reached, as it counts")
        e.equal(witness.after(1), [], "the witness's journal after its start")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


# --------------------------------------------------------------------------------------------
# The sticker panel left open


def panel_left_open_by_the_run_before(s: Session) -> None:
    """Every start clicks the panel button, which shuts a panel the last run left open."""
    _, journal = s.start_practice_client("--stickers", "10")
    tool = start_tool(s)
    tool.set_field("DeleteDelay", "300")
    for run in (1, 2):
        if run == 2:
            press(s, tool, "F11")  # after a finished run, F11 only rearms
            tool.wait_texts({"DeleteStartButton": START}, "the start caption")
        tool.set_field("DeleteCount", "2")
        press(s, tool, "F11")
        tool.wait_texts({"DeleteStartButton": FINISHED, "DeleteCount": "0"},
                        f"run {run} to finish", timeout=60)
    e = Expect()
    e.equal(names(journal.events(), "deleted"), [f"sticker0{i}.gif" for i in range(1, 5)],
            "deleted by the two runs")
    e.true(not s.window_ids(MESSAGE_BOX_TITLE), "no message box")
    e.check()


# --------------------------------------------------------------------------------------------
# The clipboard and the files


def clipboard_held_by_another_program(s: Session) -> None:
    stickers = ["c1.gif", "c2.gif", "c3.gif", "c4.gif"]
    folder = sticker_folder(s, stickers)
    stale = folder.with_name(folder.name + "-stale.gif")  # what a stale paste would open
    stale.write_bytes(GIF)
    try:
        _, journal = s.start_practice_client("--collected", "old.gif")
        start_tool(s)
        start_add_run(s, folder, len(stickers))
        s.set_clipboard(windows_path(stale))
        # Held from before the start until the tool has given the first sticker up (it waits
        # about 2 s for the clipboard) and gone on to the second, then let go.
        holder = s.start(s.build.inspect, "--hold-clipboard", "600000", name="clipboard-holder")
        holder.wait_output('"held":true')
        s.key("F11")
        s.wait_window(TOOL_TITLE + " — 添加中 2 / 4", RUN_TIMEOUT)
        holder.kill()
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
        events = journal.events()
        opened, added = names(events, "opened"), names(events, "added")
        skipped = sorted(set(stickers) - set(added))
        e = Expect()
        e.true(len(opened) == len(set(opened)) and set(opened) <= set(stickers),
               f"each sticker opened once, from the folder, nothing stale: {opened}")
        e.equal(sorted(added), sorted(opened), "every sticker opened was added")
        e.true(1 <= len(skipped) <= 2, f"the first one or two skipped, the rest added: {added}")
        e.equal(of(events, "dialog cancelled"), [], "open dialogs cancelled")
        found = re.fullmatch(r"添加完成：成功 (\d+) 个，已有 0 个，跳过 (\d+) 个（(.+?)( 等)?）"
                             r"\n跳过 (.+)：剪贴板被别的程序占用或改动了，路径没能交给打开对话框", summary)
        e.true(bool(found), f"the summary, with the reason of the skips: {summary!r}")
        if found:
            e.equal((int(found[1]), int(found[2])), (len(added), len(skipped)), "summary counts")
            e.equal(sorted(found[3].split("、")), skipped, "stickers the summary names")
            e.equal(sorted(found[5].split("、")), skipped, "stickers skipped for the clipboard")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        stale.unlink(missing_ok=True)


def files_missing_or_held_are_skipped(s: Session) -> None:
    """A file removed after the folder was chosen, and one that another program holds open,
    which the open dialog refuses."""
    stickers = ["f1.gif", "f2.gif", "f3.gif", "f4.gif"]
    folder = sticker_folder(s, stickers)
    try:
        _, journal = s.start_practice_client("--collected", "old.gif")
        start_tool(s)
        start_add_run(s, folder, len(stickers))
        (folder / "f2.gif").unlink()
        holder = s.start(s.build.inspect, "--hold-file", windows_path(folder / "f3.gif"), "600000",
                         name="file-holder")
        holder.wait_output('"held":true')
        s.key("F11")
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))

        events = journal.events()
        e = Expect()
        e.equal(summary, "添加完成：成功 2 个，已有 0 个，跳过 2 个（f2.gif、f3.gif）\n"
                "跳过 f2.gif：文件不见了（选好文件夹后被删除或移走）\n"
                "跳过 f3.gif：打开对话框没有接受这个文件", "the summary, each skip with its reason")
        e.equal(names(events, "added"), ["f1.gif", "f4.gif"], "added")
        e.equal(names(events, "opened"), ["f1.gif", "f4.gif"], "opened by the dialog")
        e.equal(len(of(events, "dialog cancelled")), 1, "the dialog that refused f3.gif closed")
        e.equal(len([c for c in of(events, "click") if c["hit"] == "file_button"]), 3,
                "clicks on the file button (none for the file that was gone)")
        e.true(not s.window_ids("打开"), "no open dialog left up")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


SCENARIOS = [
    client_gone_mid_delete_mode_one,
    client_gone_mid_delete_mode_two,
    client_gone_mid_add,
    panel_left_open_by_the_run_before,
    clipboard_held_by_another_program,
    files_missing_or_held_are_skipped,
]

if __name__ == "__main__":
    harness.run_scenarios("run_checks", SCENARIOS)
