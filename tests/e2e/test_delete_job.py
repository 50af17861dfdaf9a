#!/usr/bin/env python3
"""The delete job of the real tool, worked against the practice client as a person would.

Each scenario has a session of its own: a fresh display, a practice client with ten stickers and
a journal, and the tool started after it (so the tool finds the client and holds F10 and F11).
The tool is only ever touched through its window: clicks on its radio buttons and fields, typing,
F10 and F11 as X key events. What it did is read back from the client's journal and from the
tool's controls, as inspect.exe lists them.

Before anything else the tool's window is dragged to the bottom-right corner of the screen, where
the placed client (0, 0, 910 x 647) never covers it: its fields, its close box and a spot to rest
the pointer on stay in view for the whole scenario, and the screenshots show both programs.
"""

from __future__ import annotations

import time
from typing import Callable

import harness
from harness import (CLIENT_CLASS, CLIENT_TITLE, TOOL_CLASS, TOOL_TITLE, Expect, Journal, Rect,
                     Session, poll)

MESSAGE_BOX_TITLE = "信息："
START, PAUSE, FINISHED = "F11\r\n开  始", "F11\r\n暂  停", "给我删"
PLACED = {"x": 0, "y": 0, "w": 910, "h": 647}

# Client points of the chat client's window that mode one clicks, and what the practice client
# has there: (x, y, button, what was hit).
OPEN_PANEL = (340, 525, "left", "sticker_panel")
COLLECTED_TAB = (220, 460, "left", "collected_tab")
FIRST_STICKER = (175, 210, "right", "first_sticker")
DELETE_ITEM = (213, 259, "left", "delete_item")
# Mode two derives the delete item from the captured first sticker.
CAPTURED_ITEM_OFFSET = (30, 50)


# --------------------------------------------------------------------------------------------
# The tool's window, read back with inspect.exe


class Tool:
    """The tool's main window as another program sees it."""

    def __init__(self, s: Session, process: harness.WineProcess):
        self.s = s
        self.process = process
        self.rest: tuple[int, int] | None = None

    def read(self) -> tuple[dict, dict[str, dict]]:
        found = self.s.inspect("", TOOL_CLASS)
        if not found:
            raise AssertionError(f"the tool's window ({TOOL_CLASS}) is gone")
        top, children = found
        return top, harness.controls_by_name(children)

    def controls(self) -> dict[str, dict]:
        return self.read()[1]

    def texts(self, *names: str) -> tuple[str, ...]:
        controls = self.controls()
        return tuple(controls[n]["text"] for n in names)

    def rect(self) -> Rect:
        return Rect(self.read()[0]["rect"])

    def wait_texts(self, expected: dict[str, str], what: str, timeout: float = 30) -> None:
        names = tuple(expected)
        want = tuple(expected.values())
        last: list[tuple[str, ...]] = []

        def matches() -> bool:
            last[:] = [self.texts(*names)]
            return last[0] == want

        try:
            poll(matches, timeout, what, interval=0.2)
        except TimeoutError as e:
            raise AssertionError(f"{e}: {names} read {last[0] if last else None}, "
                                 f"expected {want}") from None

    def shown(self, name: str) -> dict:
        control = self.controls()[name]
        if not control["visible"]:
            raise AssertionError(f"{name} is not visible, so it cannot be used")
        return control

    def click(self, name: str) -> None:
        self.s.click(*Rect(self.shown(name)["screen"]).center)

    def set_field(self, name: str, text: str) -> None:
        """Clicks into the field, selects what it holds and types over it."""
        self.s.type_over(self.shown(name), text)
        self.wait_texts({name: text}, f"{name} to read {text!r} after typing")

    def rest_pointer(self) -> None:
        """Rests the pointer on the tool's caption, so that keys reach a Wine window."""
        if self.rest is None:
            r = self.rect()
            self.rest = (r.x + r.w // 3, r.y + 10)
        self.s.move(*self.rest)

    def move_out_of_the_way(self) -> None:
        """Drags the window by its caption to the bottom-right corner of the screen."""
        r = self.rect()
        width, height = self.s.screen_size()
        self.s.drag_window("", (width - r.w - 4, height - r.h - 4), cls=TOOL_CLASS)
        self.rest = None

    def close_box(self) -> tuple[int, int]:
        """The close box of the caption that Wine draws: the rightmost caption button."""
        top, _ = self.read()
        outer, inner = Rect(top["rect"]), Rect(top["client"])
        border = inner.x - outer.x
        caption = inner.y - outer.y - border
        return inner.x + inner.w - caption // 2, outer.y + border + caption // 2


# --------------------------------------------------------------------------------------------
# The practice client and its journal


def clicks(events: list[dict], with_hit: bool = True) -> list[tuple]:
    return [(e["x"], e["y"], e["button"], *([e["hit"]] if with_hit else []))
            for e in events if e["event"] == "click"]


def start_programs(s: Session, client_pos: tuple[int, int]) -> tuple[Tool, Journal]:
    _, journal = s.start_practice_client("--stickers", "10", "--pos", *map(str, client_pos))
    poll(journal.events, 60, "the practice client's start line")

    tool = Tool(s, s.start(s.build.pelloram))
    s.wait_window(TOOL_TITLE, timeout=60)
    tool.move_out_of_the_way()
    return tool, journal


def client_rect(s: Session) -> dict:
    found = s.inspect(CLIENT_TITLE, CLIENT_CLASS)
    if not found:
        raise AssertionError("the practice client's window is gone")
    return found[0]["rect"]


def press(s: Session, tool: Tool, key: str) -> None:
    tool.rest_pointer()
    s.key(key)


# --------------------------------------------------------------------------------------------
# Scenarios


def placed(s: Session) -> dict:
    """The client's rectangle where mode one puts it: its built-in one, at the display's scale."""
    w, h = s.at_scale(PLACED["w"], PLACED["h"])
    return dict(PLACED, w=w, h=h)


def mode_one_counts_down_and_finishes(s: Session) -> None:
    tool, journal = start_programs(s, (200, 120))
    size = s.at_scale(910, 647)
    # The tool reacts to typing only once its start-up, hotkeys included, is over.
    tool.set_field("DeleteCount", "3")
    tool.set_field("DeleteDelay", "300")
    e = Expect()
    e.true(not s.window_ids(MESSAGE_BOX_TITLE), "no message box with the client running")
    e.equal(client_rect(s), {"x": 200, "y": 120, "w": size[0], "h": size[1]},
            "client before the run")
    e.check()

    mark = journal.last_seq()
    press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 1)
    s.screenshot(s.artifacts / "mode-one-running.png")
    journal.wait_count(mark, "deleted", 3)
    tool.wait_texts({"DeleteStartButton": FINISHED, "DeleteCount": "0"}, "the run to finish")
    s.screenshot(s.artifacts / "mode-one-finished.png")

    events = journal.after(mark)
    e.equal(client_rect(s), placed(s), "client placed by the run")
    e.equal(clicks(events), [OPEN_PANEL, COLLECTED_TAB] + [FIRST_STICKER, DELETE_ITEM] * 3,
            "clicks of the run (client point, button, what was hit)")
    e.equal([d["name"] for d in events if d["event"] == "deleted"],
            ["sticker01.gif", "sticker02.gif", "sticker03.gif"], "stickers deleted")
    e.check()

    # The press after a finished run only rearms the button.
    mark = journal.wait_quiet(1.0)
    press(s, tool, "F11")
    tool.wait_texts({"DeleteStartButton": START}, "the caption to return to start")
    time.sleep(2.0)  # grace period in which a wrongly started run would click
    e.equal(journal.after(mark), [], "journal after the press that follows a finished run")
    e.check()

    # The next press starts a whole new run, with the count the last one left: 0.
    press(s, tool, "F11")
    new = journal.wait_count(mark, "click", 2)
    tool.wait_texts({"DeleteStartButton": PAUSE}, "a run that deletes nothing to leave the pause caption")
    journal.wait_quiet(1.5)
    e.equal(clicks(new, with_hit=False), [OPEN_PANEL[:3], COLLECTED_TAB[:3]],
            "opening clicks of the new run")
    e.equal(journal.of(mark, "deleted"), [], "deletions by a run with the count at 0")
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"), (PAUSE, "0"), "caption and count after that run")
    e.check()


def pause_stops_after_the_deletion_in_progress(s: Session) -> None:
    tool, journal = start_programs(s, (150, 100))
    tool.set_field("DeleteCount", "5")
    tool.set_field("DeleteDelay", "500")
    mark = journal.last_seq()
    press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 2)
    press(s, tool, "F11")
    tool.wait_texts({"DeleteStartButton": START}, "the caption to show start after the pause")
    journal.wait_quiet(3.0)

    events = journal.after(mark)
    deleted = [d for d in events if d["event"] == "deleted"]
    right_clicks = [c for c in events if c["event"] == "click" and c["button"] == "right"]
    e = Expect()
    e.true(len(deleted) in (2, 3), f"2 deletions, or 3 if the pause came late: {len(deleted)}")
    e.equal(len(right_clicks), len(deleted), "every deletion begun was completed")
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"), (START, str(5 - len(deleted))),
            "caption and remaining count after the pause")
    e.check()
    s.screenshot(s.artifacts / "paused.png")


def mode_two_clicks_the_captured_points(s: Session) -> None:
    origin = (100, 80)  # every point the run clicks lies left of the tool's window
    tool, journal = start_programs(s, origin)

    def on_screen(point: tuple) -> tuple[int, int]:
        return origin[0] + point[0], origin[1] + point[1]

    tool.click("DeleteModeTwoRadio")
    poll(lambda: tool.controls()["DeleteModeTwoRadio"]["check"] == 1, 30, "删除模式二 to be checked",
         interval=0.2)

    # Open the panel and its collected stickers by hand, then capture the three places.
    s.click(*on_screen(OPEN_PANEL))
    journal.wait_count(0, "click", 1)  # the panel is there before its tab is clicked
    s.click(*on_screen(COLLECTED_TAB))
    journal.wait_count(0, "click", 2)
    mark = journal.last_seq()
    e = Expect()
    e.equal([c["hit"] for c in journal.of(0, "click")], ["sticker_panel", "collected_tab"],
            "the panel opened on the collected stickers by hand")
    e.check()
    panel, tab, first = on_screen(OPEN_PANEL), on_screen(COLLECTED_TAB), on_screen(FIRST_STICKER)
    item = (first[0] + CAPTURED_ITEM_OFFSET[0], first[1] + CAPTURED_ITEM_OFFSET[1])
    for point, fields in ((panel, ("StickerPanelX", "StickerPanelY")), (tab, ("CollectedTabX", "CollectedTabY")),
                          (first, ("FirstStickerX", "FirstStickerY"))):
        s.move(*point)
        s.key("F10")
        tool.wait_texts(dict(zip(fields, map(str, point))), f"F10 over {point} to fill {fields}")
    tool.wait_texts({"DeleteItemX": str(item[0]), "DeleteItemY": str(item[1])},
                    "the delete item derived from the first sticker")
    s.screenshot(s.artifacts / "mode-two-captured.png")

    # The confirmation bubbles hide by themselves; one left standing would take a click.
    poll(lambda: not s.tooltips(), 30, "the capture confirmations to hide", interval=0.3)
    s.click(*panel)  # closes the panel again
    journal.wait_count(mark, "click", 1)
    tool.set_field("DeleteCount", "2")
    tool.set_field("DeleteDelay", "300")

    mark = journal.last_seq()
    press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 1)
    s.screenshot(s.artifacts / "mode-two-running.png")
    journal.wait_count(mark, "deleted", 2)
    tool.wait_texts({"DeleteStartButton": FINISHED, "DeleteCount": "0"}, "the mode-two run to finish")
    s.screenshot(s.artifacts / "mode-two-finished.png")

    events = journal.after(mark)
    item_point = (FIRST_STICKER[0] + CAPTURED_ITEM_OFFSET[0],
                  FIRST_STICKER[1] + CAPTURED_ITEM_OFFSET[1], "left", "delete_item")
    e.equal(clicks(events), [OPEN_PANEL, COLLECTED_TAB] + [FIRST_STICKER, item_point] * 2,
            "clicks of the run (client point, button, what was hit)")
    e.equal([d["name"] for d in events if d["event"] == "deleted"],
            ["sticker01.gif", "sticker02.gif"], "stickers deleted")
    e.equal(client_rect(s), {"x": origin[0], "y": origin[1], "w": 910, "h": 647},
            "mode two leaves the client where it is")
    e.check()


def closing_mid_run_stops_the_run(s: Session) -> None:
    tool, journal = start_programs(s, (200, 120))
    tool.set_field("DeleteCount", "5")
    tool.set_field("DeleteDelay", "800")
    close_box = tool.close_box()
    mark = journal.last_seq()
    press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 1)
    # The next click is two delays away; the close box is clicked well within them.
    s.click(*close_box)
    at_close = journal.last_seq()
    closed = time.monotonic()
    code = tool.process.wait(timeout=30)
    harness.log(f"the tool exited {time.monotonic() - closed:.1f} s after its close box was "
                "clicked (Wine takes about 2 s for any program)")
    time.sleep(3.0)  # a run still going would click again within this
    e = Expect()
    e.equal(code, 0, "the tool's exit code")
    e.equal(journal.after(at_close), [], "journal after the close")
    e.equal(len(journal.of(mark, "deleted")), 1, "deletions before the close")
    e.check()
    s.screenshot(s.artifacts / "closed-mid-run.png")


SCENARIOS: list[Callable[[Session], None]] = [
    mode_one_counts_down_and_finishes,
    pause_stops_after_the_deletion_in_progress,
    mode_two_clicks_the_captured_points,
    closing_mid_run_stops_the_run,
]


if __name__ == "__main__":
    harness.run_scenarios("delete_job", SCENARIOS)
