#!/usr/bin/env python3
"""Runs that must obey at once and say what really happened, while the test changes the world
under them at moments of its own choosing.

The change comes from outside, as a person or another program would make it: client_probe.exe
is started ahead of time, finds the client and waits for a file to appear (its `trigger` step);
when the test sees in the journal that the run has reached the moment it wants, it creates the
file and the probe moves, minimises or kills the client at once, with no Wine start-up in
between. The tool's own window is dragged by its caption, as a person drags it.

- a taught delete run goes on after its client moved between two deletions;
- a minimised or killed client ends the run with the message that names what happened, not with
  a control "not found";
- a client taller than the screen, its lower part off the screen, is still worked;
- the tool's own window over the client, clear of the controls, is not taken for one of them;
  over a taught control, it is named as what is in the way;
- a pause during a long click delay ends the run at once, and F11 starts the next one at once;
- an add run's summary says why it skipped the files it skipped.
"""

from __future__ import annotations

import json
import shutil
import time
from typing import Callable

import harness
import test_delete_job as delete_job
import test_taught_controls as taught
from harness import TOOL_CLASS, Expect, Journal, Session, poll, windows_path
from test_client_layer import Prober
from test_run_checks import (CLIENT_GONE, MESSAGE_BOX_TITLE, said, start_add_run, start_tool,
                             sticker_folder)

CLIENT_MINIMISED = "微信窗口被最小化了，已停止。请把微信窗口还原后重新开始。"
TOOL_IN_THE_WAY = "Pelloram 的窗口挡住了"
NOT_A_GIF = "不是 GIF 或是空文件"
ORIGIN = (100, 80)
DELAY_MS = 1500
RUN_TIMEOUT = 180
# A right click that hits a sticker, a left click that hits one of the client's controls.
STICKER_HITS = {"first_sticker", "sticker"}
CONTROL_HITS = {"sticker_panel", "collected_tab", "default_tab", "delete_item"}


class ChangeAhead:
    """client_probe.exe started now, holding its steps until the test calls now()."""

    def __init__(self, s: Session, name: str, *steps: str):
        self.go = s.artifacts / f"{name}.go"
        self.go.unlink(missing_ok=True)
        exe = s.build.dir / "tests" / "e2e" / "client_probe.exe"
        self.process = s.start(exe, "trigger", windows_path(self.go), "600000", *steps, name=name)
        self.process.wait_output('"op":"find"', timeout=60)

    def now(self) -> list[dict]:
        self.go.touch()
        code = self.process.wait(timeout=60)
        report = [json.loads(line) for line in self.process.output().splitlines()
                  if line.startswith("{")]
        if code != 0:
            raise AssertionError(f"client_probe exited with {code}: {report}")
        return report


def step(report: list[dict], op: str) -> dict:
    found = [r for r in report if r["op"] == op]
    assert found, f"no step {op!r} in the probe's report: {report}"
    return found[0]


def taught_delete_run(s: Session, count: int, delay_ms: int,
                      origin: tuple[int, int] = ORIGIN) -> tuple[delete_job.Tool, Journal]:
    """The client at `origin`, the delete page's points taught with F10, count and delay typed."""
    tool, journal = taught.start_delete(s, origin)
    taught.teach_delete_points(s, tool, journal, origin)
    tool.set_field("DeleteCount", str(count))
    tool.set_field("DeleteDelay", str(delay_ms))
    return tool, journal


def check_clicks_on_target(e: Expect, events: list[dict]) -> None:
    clicks = taught.of(events, "click")
    e.equal([(c["button"], c["hit"]) for c in clicks
             if (c["button"] == "right") != (c["hit"] in STICKER_HITS)
             or (c["button"] == "left" and c["hit"] not in CONTROL_HITS)], [],
            "clicks that hit no sticker (right) or no control (left)")


# --------------------------------------------------------------------------------------------
# The client moves, goes down, goes away


def taught_delete_survives_a_move_between_deletions(s: Session) -> None:
    count = 3
    tool, journal = taught_delete_run(s, count, DELAY_MS)
    mover = ChangeAhead(s, "mover", "shift", "120", "60")
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    journal.wait_for("the first deletion's menu item click",
                     lambda e: e["event"] == "click" and e["hit"] == "delete_item", mark,
                     timeout=RUN_TIMEOUT)
    moved = step(mover.now(), "shift")
    s.screenshot(s.artifacts / "moved.png")
    taught.run_to_the_end(s, tool, journal, mark, count, quiet=2.0)

    events = journal.after(mark)
    e = Expect()
    e.equal(moved["rect"][:2], [ORIGIN[0] + 120, ORIGIN[1] + 60], "the client after the move")
    e.equal([d["name"] for d in taught.of(events, "deleted")],
            [f"sticker{i:02d}.gif" for i in range(1, count + 1)], "stickers deleted")
    check_clicks_on_target(e, events)
    e.equal(taught.hits(events),
            ["sticker_panel", "collected_tab"] + ["first_sticker", "delete_item"] * count,
            "what each click of the run hit")
    e.true(not s.window_ids(MESSAGE_BOX_TITLE), "no message box after the run")
    e.check()


def stopped_mid_run(s: Session, change: str, expected: str) -> None:
    """Count 5; the change comes in the wait after the first deletion."""
    count = 5
    tool, journal = taught_delete_run(s, count, DELAY_MS)
    hand = ChangeAhead(s, change, change)
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    journal.wait_count(mark, "deleted", 1, timeout=RUN_TIMEOUT)
    done = step(hand.now(), change)
    changed = journal.last_seq()
    witness = None
    if change == "kill":
        # Up again where it stood, as a person restarts it: still not the run's client.
        _, witness = s.start_practice_client("--stickers", "10", "--pos", *map(str, ORIGIN),
                                             name="witness")
    s.wait_window(MESSAGE_BOX_TITLE, timeout=RUN_TIMEOUT)
    s.screenshot(s.artifacts / "stopped.png")
    text = said(s.dismiss_message_box(MESSAGE_BOX_TITLE))

    e = Expect()
    e.true(done.get("ok", done.get("iconic")), f"the probe's {change}: {done}")
    e.equal(text, expected, "the message")
    e.true(taught.NOT_FOUND not in text, "the message blames no taught control")
    e.equal(taught.of(journal.after(changed), "click"), [], "clicks on the client after the change")
    e.equal(len(journal.of(mark, "deleted")), 1, "deletions")
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"), (delete_job.START, str(count - 1)),
            "caption and count after the stop")
    if witness:
        e.equal(witness.after(1), [], "the restarted client's journal after its start")
    e.check()


def taught_delete_minimised_mid_run(s: Session) -> None:
    stopped_mid_run(s, "minimise", CLIENT_MINIMISED)


def taught_delete_killed_mid_run(s: Session) -> None:
    stopped_mid_run(s, "kill", CLIENT_GONE)


def deletes_all(s: Session, tool: delete_job.Tool, journal: Journal, count: int) -> None:
    """F11, then every deletion done, each click on its sticker or control."""
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    taught.run_to_the_end(s, tool, journal, mark, count, quiet=1.5)
    events = journal.after(mark)
    e = Expect()
    e.equal([d["name"] for d in taught.of(events, "deleted")],
            [f"sticker{i:02d}.gif" for i in range(1, count + 1)], "stickers deleted")
    check_clicks_on_target(e, events)
    e.true(not s.window_ids(MESSAGE_BOX_TITLE), "no message box after the run")
    e.check()


def taught_delete_finds_a_window_past_the_screen_edge(s: Session) -> None:
    """Taught at 910 x 647, then 96 px taller than the screen leaves room for: the input box
    lies below the screen's edge, the toolbar and the panel above it stay in view. The client
    stands at the left edge, clear of the tool's window in the lower right corner."""
    origin = (0, 80)
    tool, journal = taught_delete_run(s, 2, 500, origin)
    height = s.screen_size()[1]
    size = (910, height - origin[1] + 96)
    report = Prober(s)("setrect", *map(str, origin), *map(str, size))
    e = Expect()
    e.equal(step(report, "setrect")["rect"], [*origin, *size], "the client's rectangle")
    e.true(tool.rect().x >= origin[0] + size[0], "the tool's window right of the client")
    e.check()
    journal.wait_for("the client's new size", lambda x: x["event"] == "resized")
    s.screenshot(s.artifacts / "past-the-edge.png")
    deletes_all(s, tool, journal, 2)


def tool_window_over_the_client_is_not_taken_for_a_control(s: Session) -> None:
    """The tool's window over the client's empty chat area, clear of every control the run
    clicks, and the client 113 px taller than when taught, so that the controls are looked
    for over the whole window: the tool's own icons beside its point fields look much like
    the client's sticker button and collected tab, and must not be taken for them."""
    tool, journal = taught_delete_run(s, 2, 500)
    s.drag_window("", (ORIGIN[0] + 520, ORIGIN[1] + 80), cls=TOOL_CLASS)
    tool.rest = None
    report = Prober(s)("setrect", *map(str, ORIGIN), "910", "760")
    e = Expect()
    e.equal(step(report, "setrect")["rect"], [*ORIGIN, 910, 760], "the client's rectangle")
    e.check()
    journal.wait_for("the client's new size", lambda x: x["event"] == "resized")
    s.screenshot(s.artifacts / "over-the-chat.png")
    deletes_all(s, tool, journal, 2)


# --------------------------------------------------------------------------------------------
# The tool's own window


def tool_window_over_a_control_is_named(s: Session) -> None:
    tool, journal = taught_delete_run(s, 2, 500)
    button = (ORIGIN[0] + taught.STICKER_BUTTON[0], ORIGIN[1] + taught.STICKER_BUTTON[1])
    # Its caption above the sticker button, its body over it.
    s.drag_window("", (button[0] - 60, button[1] - 60), cls=TOOL_CLASS)
    tool.rest = None
    s.screenshot(s.artifacts / "over-the-button.png")
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    text = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
    e = Expect()
    e.true(TOOL_IN_THE_WAY in text, f"the message names the tool's window: {text!r}")
    e.equal(taught.of(journal.after(mark), "click"), [], "clicks on the client")
    e.equal(tool.texts("DeleteStartButton", "DeleteCount"), (delete_job.START, "2"),
            "caption and count after the refusal")
    e.check()


# --------------------------------------------------------------------------------------------
# Pause and start again


def pause_at_a_long_delay_ends_the_run_at_once(s: Session) -> None:
    """Mode one, 20 s between clicks: paused 2 s into the first wait and started again at
    once. The old run's next click would come some 20 s after the tab's, the new run's first
    right click 20 s after its own tab, which comes 20 s after its first click: until then
    the client gets the new run's opening clicks and nothing else."""
    tool, journal = delete_job.start_programs(s, (200, 120))
    tool.set_field("DeleteCount", "5")
    tool.set_field("DeleteDelay", "20000")
    mark = journal.last_seq()
    delete_job.press(s, tool, "F11")
    journal.wait_for("the collected tab's click",
                     lambda e: e["event"] == "click" and e["hit"] == "collected_tab", mark,
                     timeout=RUN_TIMEOUT)
    tab_seen = time.monotonic()
    time.sleep(2.0)  # into the wait before the first right click
    paused = journal.last_seq()
    delete_job.press(s, tool, "F11")
    tool.wait_texts({"DeleteStartButton": delete_job.START}, "the start caption after the pause",
                    timeout=10)
    s.screenshot(s.artifacts / "paused.png")

    again = journal.last_seq()
    delete_job.press(s, tool, "F11")
    opened = journal.wait_for("the next run's click on the sticker button",
                              lambda e: e["event"] == "click", again, timeout=10)
    restarted = time.monotonic()
    # Past the moment the old run's right click was due (20 s after its tab); the new run's
    # first right click is 40 s after its own first click (its tab, 20 s, then 20 s more).
    end = tab_seen + 24.0
    time.sleep(max(0.0, end - time.monotonic()))
    s.screenshot(s.artifacts / "watched.png")
    e = Expect()
    e.true(time.monotonic() < restarted + 38.0, "watched before the new run's first right click")
    e.equal([x for x in journal.after(paused) if x["seq"] <= again], [],
            "the journal between the pause and the next start")
    e.equal(opened["hit"], "sticker_panel", "the next run's first click")
    e.equal([c for c in taught.of(journal.after(again), "click") if c["button"] == "right"], [],
            "right clicks after the pause")
    e.equal(len(journal.of(mark, "deleted")), 0, "deletions")
    e.check()


# --------------------------------------------------------------------------------------------
# What an add run skipped, and why


def add_run_skips_say_why(s: Session) -> None:
    gifs = ["gut1.gif", "gut2.gif"]
    empty, fake = "leer.gif", "kein-bild.gif"
    folder = sticker_folder(s, gifs)
    try:
        (folder / empty).write_bytes(b"")
        (folder / fake).write_text("not a picture, whatever its name says\n")
        _, journal = s.start_practice_client("--collected", "old.gif")
        start_tool(s)
        start_add_run(s, folder, len(gifs) + 2, delay_ms=500)
        s.key("F11")
        summary = said(s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT))
        s.screenshot(s.artifacts / "finished.png")
        events = journal.events()
        e = Expect()
        e.equal(sorted(x["name"] for x in taught.of(events, "added")), gifs, "added")
        e.equal(summary.count(NOT_A_GIF), 1, f"the reason given once: {summary!r}")
        e.true(empty in summary and fake in summary, f"the summary names both files: {summary!r}")
        e.true(all(g not in summary for g in gifs), f"the summary names no added file: {summary!r}")
        e.check()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


SCENARIOS: list[Callable[[Session], None]] = [
    taught_delete_survives_a_move_between_deletions,
    taught_delete_minimised_mid_run,
    taught_delete_killed_mid_run,
    taught_delete_finds_a_window_past_the_screen_edge,
    tool_window_over_the_client_is_not_taken_for_a_control,
    tool_window_over_a_control_is_named,
    pause_at_a_long_delay_ends_the_run_at_once,
    add_run_skips_say_why,
]


if __name__ == "__main__":
    harness.run_scenarios("world_mid_run", SCENARIOS)
