#!/usr/bin/env python3
"""The tool's start-up beside other programs: a second copy of itself, and a hotkey that
another program holds. Both against the practice client, so the tool finds a client and
shows no message box at start.
"""

from __future__ import annotations

import harness
from harness import CLIENT_CLASS, TOOL_TITLE, Expect, Session, poll
from test_delete_job import FINISHED, Tool

F10, F11 = 0x79, 0x7A
F11_HELD = "F11 已被其他程序占用，按了不起作用。开始和暂停请点窗口上的按钮。"


def holds_both_keys(s: Session) -> bool:
    return not s.try_hotkey(F10) and not s.try_hotkey(F11)


def second_copy_brings_the_first_to_front(s: Session) -> None:
    s.start_practice_client("--pos", "0", "0")
    first = s.start(s.build.pelloram)
    s.wait_window(TOOL_TITLE, timeout=60)
    poll(lambda: holds_both_keys(s), 60, "the tool to hold F10 and F11")
    s.click(150, 300)  # the client's chat list: the client comes to the front
    poll(lambda: s.foreground()["class"] == CLIENT_CLASS, 30, "the client in front")

    second = s.start(s.build.pelloram, name="pelloram-second")
    e = Expect()
    e.equal(second.wait(timeout=60), 0, "the second copy's exit code")
    poll(lambda: s.foreground()["text"] == TOOL_TITLE, 30, "the first copy's window in front")
    e.equal(len(s.window_ids(TOOL_TITLE)), 1, "windows of the tool")
    e.true(first.running(), "the first copy is still running")
    e.true(holds_both_keys(s), "F10 and F11 are still the first copy's")
    e.check()


def held_f11_is_named_and_the_button_still_starts(s: Session) -> None:
    _, journal = s.start_practice_client("--stickers", "10")
    holder = s.start(s.build.inspect, "--hold-hotkey", hex(F11), "600000", name="f11-holder")
    holder.wait_output('"held":true')
    tool = Tool(s, s.start(s.build.pelloram))
    s.wait_window(TOOL_TITLE, timeout=60)
    tips = poll(lambda: [t for tip in s.tooltips() for t in tip["texts"] if "F11" in t], 60,
                "a balloon tip about F11")
    e = Expect()
    e.equal(tips, [F11_HELD], "balloon tips that speak of F11")
    e.true(not s.try_hotkey(F10), "the tool holds F10 all the same")
    e.check()

    tool.move_out_of_the_way()
    tool.set_field("DeleteCount", "1")
    tool.set_field("DeleteDelay", "300")
    tool.click("DeleteStartButton")
    tool.wait_texts({"DeleteStartButton": FINISHED, "DeleteCount": "0"},
                    "the run started by the button to finish", timeout=60)
    e.equal([x["name"] for x in journal.of(0, "deleted")], ["sticker01.gif"], "deleted")
    e.check()


SCENARIOS = [
    second_copy_brings_the_first_to_front,
    held_f11_is_named_and_the_button_still_starts,
]

if __name__ == "__main__":
    harness.run_scenarios("startup_checks", SCENARIOS)
