#!/usr/bin/env python3
"""Mode two with controls taught by F10 and found again by their look, against the practice
client under Wine.

A person teaches the tool by resting the pointer on each control of the client and pressing
F10; the tool keeps a picture of the screen around it. Before each click of a run it looks for
that picture on the client's windows, clicks where it is and writes that place into the point's
fields. The scenarios teach on the client where it stands, then let it move and change size in
the middle of the run (the practice client's --move-after and --resize-after), and check in its
journal that every click still landed on its control; a client that draws a control otherwise
gets no click at all, and the tool says which control it could not find.

The points below are the practice client's own, in its 96-dpi layout; at another display scale
(--dpi) the client shows them that many times larger, and a person points at them there
(Session.at_scale). The journal tells the clicks in the layout's units at every scale.
"""

from __future__ import annotations

import shutil
from typing import Callable

import harness
import test_delete_job as delete_job
from harness import TOOL_TITLE, Expect, Journal, Rect, Session, poll
from test_add_job import ToolWindow
from test_run_checks import MESSAGE_BOX_TITLE, said, sticker_folder

QT_CLASS = "Qt51514QWindowIcon"
DELAY_MS = 500
RUN_TIMEOUT = 180

# Client points of the practice client at its default size (910 x 647): the sticker button and
# the collected tab (with the panel open) and the first collected sticker.
STICKER_BUTTON = delete_job.OPEN_PANEL[:2]
COLLECTED_TAB = delete_job.COLLECTED_TAB[:2]
FIRST_STICKER = delete_job.FIRST_STICKER[:2]
# The add page's controls at the same size: the file button, and the newest message of the
# chat, where the sticker the run sends shows.
FILE_BUTTON = (373, 526)
SENT_STICKER = (790, 470)

NOT_FOUND = "和 F10 记下的样子不一样"


def hits(events: list[dict]) -> list[str]:
    return [e["hit"] for e in events if e["event"] == "click"]


def of(events: list[dict], kind: str) -> list[dict]:
    return [e for e in events if e["event"] == kind]


def no_tips(s: Session) -> None:
    """Waits until the tool's bubbles have hidden: one left standing over the client would
    take a click, or hide a control from the picture taken of it."""
    poll(lambda: not s.tooltips(), 30, "the tool's bubbles to hide", interval=0.3)


def on_screen(s: Session, origin: tuple[int, int], point: tuple[int, int]) -> tuple[int, int]:
    """Where a point of the client's layout shows on the screen, the client's corner at origin."""
    x, y = s.at_scale(*point)
    return origin[0] + x, origin[1] + y


def teach(s: Session, at: tuple[int, int]) -> None:
    """F10 with the pointer resting on the screen point, as a person presses it."""
    s.move(*at)
    poll(lambda: s.cursor() == at, 30, f"the pointer to reach {at}")
    s.key("F10")


def wait_fields(tool: delete_job.Tool, fields: tuple[str, str], at: tuple[int, int]) -> None:
    tool.wait_texts(dict(zip(fields, map(str, at))), f"F10 over {at} to fill {fields}")


# --------------------------------------------------------------------------------------------
# The delete job


def wait_end_or_message(s: Session, tool: delete_job.Tool, journal: Journal, mark: int,
                        count: int) -> None:
    """Until `count` deletions, a message box or the tool showing the run finished: a run that
    stops says why in a message box, and the test fails at once with what it said; a run that
    says it finished before the client deleted as many fails at once too."""
    def finished() -> bool:
        return tool.texts("DeleteStartButton")[0] == delete_job.FINISHED

    poll(lambda: len(journal.of(mark, "deleted")) >= count or s.window_ids(MESSAGE_BOX_TITLE)
         or finished(), RUN_TIMEOUT, f"{count} deletions, a message box or the run finished")
    deleted = len(journal.of(mark, "deleted"))
    if s.window_ids(MESSAGE_BOX_TITLE):
        s.screenshot(s.artifacts / "stopped.png")
        text = said(s.dismiss_message_box(MESSAGE_BOX_TITLE))
        raise AssertionError(f"the run stopped after {deleted} deletion(s): {text!r}; "
                             f"clicks {hits(journal.after(mark))}")
    if deleted < count:
        journal.wait_quiet(1.5)  # a deletion still on its way
        deleted = len(journal.of(mark, "deleted"))
    if deleted < count:
        s.screenshot(s.artifacts / "finished-short.png")
        raise AssertionError(f"the tool says the run finished, the client deleted {deleted} of "
                             f"{count}; clicks {hits(journal.after(mark))}")


def run_to_the_end(s: Session, tool: delete_job.Tool, journal: Journal, mark: int, count: int,
                   quiet: float = 1.5) -> None:
    """Until the run has deleted `count` and shows it finished, then quiet; a message box
    fails at once with its text."""
    wait_end_or_message(s, tool, journal, mark, count)
    tool.wait_texts({"DeleteStartButton": delete_job.FINISHED, "DeleteCount": "0"},
                    "the run to finish", timeout=60)
    journal.wait_quiet(quiet)
    s.screenshot(s.artifacts / "finished.png")


def start_delete(s: Session, origin: tuple[int, int], *options: str) -> tuple[delete_job.Tool, Journal]:
    _, journal = s.start_practice_client("--stickers", "10", "--pos", *map(str, origin), *options)
    poll(journal.events, 60, "the practice client's start line")
    tool = delete_job.Tool(s, s.start(s.build.pelloram))
    s.wait_window(TOOL_TITLE, timeout=60)
    tool.move_out_of_the_way()
    tool.click("DeleteModeTwoRadio")
    poll(lambda: tool.controls()["DeleteModeTwoRadio"]["check"] == 1, 30,
         "删除模式二 to be checked", interval=0.2)
    return tool, journal


def teach_delete_points(s: Session, tool: delete_job.Tool, journal: Journal,
                        origin: tuple[int, int]) -> None:
    """The sticker button with the panel closed, then the collected tab and the first sticker
    with the panel open on its collected stickers; the panel is closed again."""
    button = on_screen(s, origin, STICKER_BUTTON)
    teach(s, button)
    wait_fields(tool, ("StickerPanelX", "StickerPanelY"), button)
    no_tips(s)
    mark = journal.last_seq()
    s.click(*button)
    journal.wait_count(mark, "click", 1)
    s.click(*on_screen(s, origin, COLLECTED_TAB))
    journal.wait_count(mark, "click", 2)
    for point, fields in ((COLLECTED_TAB, ("CollectedTabX", "CollectedTabY")),
                          (FIRST_STICKER, ("FirstStickerX", "FirstStickerY"))):
        teach(s, on_screen(s, origin, point))
        wait_fields(tool, fields, on_screen(s, origin, point))
    no_tips(s)
    s.screenshot(s.artifacts / "taught.png")
    s.click(*button)  # closes the panel
    journal.wait_count(mark, "click", 3)
    e = Expect()
    e.equal(hits(journal.after(mark)), ["sticker_panel", "collected_tab", "sticker_panel"],
            "the clicks by hand around the teaching")
    e.check()


def taught_delete_follows_a_moved_and_resized_client(s: Session) -> None:
    origin, count = (100, 80), 3
    moved_to, new_size = (40, 40), (860, 600)
    tool, journal = start_delete(
        s, origin, "--move-after", "deleted:1", *map(str, moved_to),
        "--resize-after", "deleted:1", *map(str, new_size))
    teach_delete_points(s, tool, journal, origin)
    tool.set_field("DeleteCount", str(count))
    tool.set_field("DeleteDelay", str(DELAY_MS))

    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    run_to_the_end(s, tool, journal, mark, count, quiet=1.5)

    events = journal.after(mark)
    e = Expect()
    e.equal(sorted(m["event"] for m in events if m["event"] in ("moved", "resized")),
            ["moved", "resized"], "the client moved and changed size during the run")
    e.equal(hits(events),
            ["sticker_panel", "collected_tab"] + ["first_sticker", "delete_item"] * count,
            "what each click of the run hit")
    e.equal([d["name"] for d in of(events, "deleted")],
            [f"sticker{i:02d}.gif" for i in range(1, count + 1)], "stickers deleted")
    e.true(not s.window_ids(MESSAGE_BOX_TITLE), "no message box after the run")
    # The fields show where the run found the controls last: on the moved client, at the
    # point the client took the last right click at.
    first = journal.of(mark, "click")[-2]
    shown = tuple(map(int, tool.texts("FirstStickerX", "FirstStickerY")))
    e.equal(tuple(harness.unscaled(v - m, s.dpi) for v, m in zip(shown, moved_to)),
            (first["x"], first["y"]), "the first sticker's fields after the run")
    e.check()


def changed_look_stops_the_delete_run_before_any_click(s: Session) -> None:
    origin = (100, 80)
    tool, journal = start_delete(s, origin)
    teach_delete_points(s, tool, journal, origin)
    tool.set_field("DeleteCount", "2")
    tool.set_field("DeleteDelay", str(DELAY_MS))

    # The client is started anew, the same but for its sticker button's picture.
    s.close_window(harness.CLIENT_TITLE, harness.CLIENT_CLASS)
    s.wait_no_window(harness.CLIENT_TITLE)
    _, other = s.start_practice_client("--stickers", "10", "--pos", *map(str, origin),
                                       "--look", "sticker_button:other", name="other_look")
    poll(other.events, 60, "the new client's start line")

    delete_job.press(s, tool, "F11")
    text = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
    s.screenshot(s.artifacts / "refused.png")
    journal_after = other.events()
    e = Expect()
    e.true("找不到“表情”按钮" in text and NOT_FOUND in text,
           f"the message names the control not found: {text!r}")
    e.equal(of(journal_after, "click"), [], "clicks on the client")
    e.equal(of(journal_after, "deleted"), [], "deletions")
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"), (delete_job.START, "2"),
            "caption and count after the refusal")
    e.check()


# --------------------------------------------------------------------------------------------
# The add job


def start_add(s: Session, *options: str) -> tuple[delete_job.Tool, ToolWindow, Journal]:
    _, journal = s.start_practice_client("--pos", "0", "0", *options)
    poll(journal.events, 60, "the practice client's start line")
    tool = delete_job.Tool(s, s.start(s.build.pelloram))
    s.wait_window(TOOL_TITLE, timeout=60)
    page = ToolWindow(s)
    page.move_aside()  # right of the client at (0, 0)
    page.open_add_page()
    page.select_mode_two()
    return tool, page, journal


def teach_add_points(s: Session, tool: delete_job.Tool) -> None:
    """The client stands at (0, 0), frameless: its points show at their place at the scale."""
    for point, fields in ((FILE_BUTTON, ("FileButtonX", "FileButtonY")),
                          (SENT_STICKER, ("SentStickerX", "SentStickerY"))):
        at = on_screen(s, (0, 0), point)
        teach(s, at)
        wait_fields(tool, fields, at)
        no_tips(s)


def run_add(s: Session, page: ToolWindow, journal: Journal, names: list[str]) -> tuple[str, list[dict]]:
    folder = sticker_folder(s, names)
    try:
        page.choose_folder(folder.name, len(names))
        page.set_delay(DELAY_MS)
        page.park_pointer()
        mark = journal.last_seq()
        s.key("F11")
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
        s.screenshot(s.artifacts / "finished.png")
        return summary, journal.after(mark)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def check_all_added(e: Expect, summary: str, events: list[dict], names: list[str]) -> None:
    e.equal(summary, f"添加完成：成功 {len(names)} 个，已有 0 个，跳过 0 个", "the run's summary")
    e.equal(sorted(x["name"] for x in of(events, "added")), sorted(names), "names added")
    e.equal(hits(events), ["file_button", "sent_sticker", "add_item"] * len(names),
            "what each click of the run hit")


def taught_add_follows_a_moved_and_resized_client(s: Session) -> None:
    names = ["eins.gif", "zwei.gif", "drei.gif"]
    tool, page, journal = start_add(s, "--move-after", "added:1", "30", "50",
                                    "--resize-after", "added:1", "840", "600")
    teach_add_points(s, tool)
    summary, events = run_add(s, page, journal, names)
    e = Expect()
    check_all_added(e, summary, events, names)
    e.equal(sorted(m["event"] for m in events if m["event"] in ("moved", "resized")),
            ["moved", "resized"], "the client moved and changed size during the run")
    e.check()


def taught_add_on_the_newer_client(s: Session) -> None:
    names = ["neu.gif", "neuer.gif"]
    tool, page, journal = start_add(s, "--generation", "newer")
    e = Expect()
    e.equal(Rect(s.inspect("微信", QT_CLASS)[0]["rect"]).__dict__,
            {"x": 0, "y": 0, "w": 910, "h": 647}, "the newer client's window")
    e.check()
    teach_add_points(s, tool)
    summary, events = run_add(s, page, journal, names)
    check_all_added(e, summary, events, names)
    e.check()


SCENARIOS: list[Callable[[Session], None]] = [
    taught_delete_follows_a_moved_and_resized_client,
    changed_look_stops_the_delete_run_before_any_click,
    taught_add_follows_a_moved_and_resized_client,
    taught_add_on_the_newer_client,
]


if __name__ == "__main__":
    harness.run_scenarios("taught_controls", SCENARIOS)
