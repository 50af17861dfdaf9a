#!/usr/bin/env python3
"""The client layer over the real Win32 desktop, working the practice client under Wine.

client_probe.exe drives the practice client through the tool's own operations (PlaceWindow,
ClickAt, PressKey, PressKeyChord, PutTextOnClipboard over Win32Desktop); the practice client's
journal shows what arrived. Then the real tool: it holds F10 and F11 while it runs with the
client up and lets them go when it closes; without the client it says so and holds nothing.

Clicks are spaced by short responsive waits, as the runs space theirs by the click delay: under
Wine a client that is still digesting the previous pointer jump can briefly report the pointer
where it was before, and a click sent in that instant would land there.
"""

from __future__ import annotations

import json
import shutil
import uuid
from pathlib import Path

import harness
from harness import CLIENT_CLASS, CLIENT_TITLE, Expect, Journal, Session, poll

TOOL_TITLE = "Pelloram  By:Tovrin"
CLIENT_MISSING = "未获取到微信！请打开微信后重新开启程序！"
STICKER_NAME = "😀 a.gif"
F10, F11 = 0x79, 0x7A
VK_RETURN = 0x0D
PARKED = (1000, 800)  # pointer position off the client, where every click must return it
PAUSE = "300"         # ms of responsive wait between steps, as a run's click delay


class Prober:
    """Runs client_probe.exe in the session and returns its report, one dict per step."""

    def __init__(self, s: Session):
        self.s = s
        self.exe = s.build.dir / "tests" / "e2e" / "client_probe.exe"
        self.runs = 0

    def __call__(self, *steps: str) -> list[dict]:
        self.runs += 1
        process = self.s.start(self.exe, *steps, name=f"client_probe-{self.runs}")
        code = process.wait(timeout=180)
        report = [json.loads(line) for line in process.output().splitlines()
                  if line.startswith("{")]
        if code != 0:
            raise AssertionError(f"client_probe {' '.join(steps)} exited with {code}: {report}")
        return report


def step(report: list[dict], op: str, index: int = 0) -> dict:
    matching = [r for r in report if r["op"] == op]
    if len(matching) <= index:
        raise AssertionError(f"no step {op!r} #{index} in the probe's report: {report}")
    return matching[index]


def check_placement(s: Session, probe: Prober) -> None:
    found = s.inspect(CLIENT_TITLE, CLIENT_CLASS)
    assert found, "inspect.exe does not find the practice client"
    before = harness.Rect(found[0]["rect"])
    assert (before.x, before.y) != (0, 0), f"the client should start away from (0, 0): {before}"

    # A window of the probe's own holds the foreground, so an activation would show.
    report = probe("decoy", "place", "wait", PAUSE, "foreground")
    decoy = step(report, "decoy")["hwnd"]
    placed = step(report, "place")
    e = Expect()
    e.true(placed["ok"], "PlaceWindow reports success")
    e.equal(placed["rect"], [0, 0, 910, 647], "outer rectangle after PlaceWindow")
    e.equal(placed["client_origin"], [0, 0], "client origin of the frameless client")
    e.equal(placed["foreground_before"], decoy, "foreground before placing")
    e.equal(placed["foreground_after"], decoy, "foreground right after placing")
    e.equal(step(report, "foreground")["hwnd"], decoy, "foreground a moment later")
    after = s.inspect(CLIENT_TITLE, CLIENT_CLASS)
    e.equal(after and harness.Rect(after[0]["rect"]).__dict__,
            {"x": 0, "y": 0, "w": 910, "h": 647}, "rectangle as another program reads it")
    e.check()


def check_clicks_and_keys(s: Session, probe: Prober, journal: Journal) -> None:
    seen = journal.last_seq()
    clicks = [("340", "525", "left", "sticker_panel"), ("220", "460", "left", "collected_tab"),
              ("175", "210", "right", "first_sticker"), ("213", "259", "left", "delete_item")]
    steps = ["move", *map(str, PARKED)]
    for x, y, button, _ in clicks:
        steps += ["wait", PAUSE, "click", x, y, button]
    report = probe(*steps, "wait", PAUSE, "cursor")

    events = journal.wait_count(seen, "click", len(clicks))
    arrived = [(ev["x"], ev["y"], ev["button"], ev["hit"]) for ev in events[: len(clicks)]]
    e = Expect()
    e.equal(arrived, [(int(x), int(y), b, hit) for x, y, b, hit in clicks],
            "clicks as the client saw them (client point, button, what was hit)")
    for i in range(len(clicks)):
        e.equal(step(report, "click", i)["pointer_before"], list(PARKED),
                f"pointer before click {i + 1}")
    e.equal(step(report, "cursor")["pointer"], list(PARKED), "pointer after the clicks")
    e.check()
    deleted = journal.wait_count(seen, "deleted", 1)[0]
    assert deleted["name"] == "sticker01.gif", deleted

    # Keys go to the focused window of the foreground program, as for a person typing.
    seen = journal.last_seq()
    probe("waitactive", "client", "30000", "key", str(VK_RETURN))
    key = journal.wait_count(seen, "key", 1)[0]
    assert (key.get("window"), key.get("vk")) == ("main", VK_RETURN), key


def sticker_file(s: Session) -> tuple[Path, str]:
    """A sticker in a folder of its own on drive C: (the dialog opens only files that exist),
    and its Windows path."""
    folder = s.prefix / "drive_c" / f"表情-{uuid.uuid4().hex[:8]}"
    folder.mkdir()
    (folder / STICKER_NAME).write_bytes(b"GIF89a")
    return folder, f"C:\\{folder.name}\\{STICKER_NAME}"


def check_paste_into_open_dialog(probe: Prober, journal: Journal, sticker_path: str) -> None:
    seen = journal.last_seq()
    report = probe("click", "373", "526", "left", "waitactive", "open", "60000",
                   "paste", sticker_path, "readclip", "key", str(VK_RETURN))
    e = Expect()
    e.true(step(report, "waitactive")["ready"], "the open dialog came up in the foreground")
    e.true(step(report, "paste")["ok"], "PutTextOnClipboard took the clipboard")
    clip = step(report, "readclip")
    e.equal(clip["unicode"], sticker_path, "clipboard text read back")
    e.true(clip["has_text"], "the clipboard offers plain text (CF_TEXT) too")
    e.true(not clip["has_files"], "the clipboard holds no file list")
    e.check()

    opened = journal.wait_count(seen, "opened", 1)[0]
    assert opened["path"] == sticker_path, f"the dialog returned {opened['path']!r}"

    # The second Enter sends what the dialog put into the chat input.
    seen = opened["seq"]
    probe("waitactive", "client", "30000", "key", str(VK_RETURN))
    sent = journal.wait_count(seen, "sent", 1)[0]
    assert (sent["path"], sent["name"]) == (sticker_path, STICKER_NAME), sent


def check_hotkeys_follow_the_tool(s: Session) -> None:
    tool = s.start(s.build.pelloram, name="pelloram-with-client")
    s.wait_window(TOOL_TITLE, timeout=60)
    poll(lambda: not s.try_hotkey(F10) and not s.try_hotkey(F11), 60,
         "the tool to hold F10 and F11")
    s.close_window(TOOL_TITLE)
    code = tool.wait(timeout=30)
    e = Expect()
    e.equal(code, 0, "the tool's exit code")
    e.true(s.try_hotkey(F10), "F10 is free once the tool has closed")
    e.true(s.try_hotkey(F11), "F11 is free once the tool has closed")
    e.check()


def check_tool_without_client(s: Session) -> None:
    tool = s.start(s.build.pelloram, name="pelloram-without-client")
    said = s.dismiss_message_box("信息：", timeout=60)
    assert said == CLIENT_MISSING, f"the message box said {said!r}"
    s.wait_window(TOOL_TITLE, timeout=60)
    e = Expect()
    e.true(s.try_hotkey(F10), "F10 is not held without the client")
    e.true(s.try_hotkey(F11), "F11 is not held without the client")
    e.true(tool.running() and s.window_ids(TOOL_TITLE), "the tool is still open after OK")
    e.check()
    s.close_window(TOOL_TITLE)
    assert tool.wait(timeout=30) == 0, "the tool's exit code"


def scenario(s: Session) -> None:
    client, journal = s.start_practice_client("--stickers", "3", "--pos", "150", "90")
    poll(journal.events, 60, "the client's start in its journal")
    probe = Prober(s)
    found = step(probe("waitfor", "client", "60000"), "waitfor")
    assert found["hwnd"], "FindChatClient does not find the practice client"

    check_placement(s, probe)
    check_clicks_and_keys(s, probe, journal)
    folder, sticker_path = sticker_file(s)
    try:
        check_paste_into_open_dialog(probe, journal, sticker_path)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    check_hotkeys_follow_the_tool(s)

    s.close_window(CLIENT_TITLE, CLIENT_CLASS)
    client.wait(timeout=30)
    check_tool_without_client(s)


if __name__ == "__main__":
    harness.main(scenario)
