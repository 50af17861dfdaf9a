#!/usr/bin/env python3
"""The add job end to end: the real tool adds a folder of GIF files to the practice client.

Everything goes through the tool's own window as a person would use it: a click on the
"自动添加表情" tab, the folder chosen in the real folder picker (Wine's shows only the tree, rooted
at the Desktop: click into it, type the folder's name, Enter), the delay typed into its field,
F10 over the client to capture points and F11 to start. The practice client's journal shows what
arrived. Mode one works a folder of five GIF files with Chinese and emoji names, one of them
already collected; mode two works a second folder with the points captured at places other than
the built-in ones, so the journal shows that it clicks where it was told.

The add run ends with a message box that sums it up (added, already collected, skipped): the
test reads it and dismisses it, as a person would.
"""

from __future__ import annotations

import shutil
from pathlib import Path, PureWindowsPath

import harness
from harness import (CLIENT_CLASS, CLIENT_TITLE, TOOL_CLASS, TOOL_TITLE, Expect, Journal, Rect,
                     Session, poll)

MESSAGE_BOX_TITLE = "信息："
PICKER_PROMPT = "选择要添加的表情文件夹"
COUNT_PREFIX = "当前表情数量： "  # full-width colon, then one ASCII space

# A complete 1 x 1 GIF89a picture.
GIF = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff"
       b"!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;")

ALREADY_COLLECTED = "dup.gif"
USERS_CLIPBOARD = "复制的文字 copied before the run"
FIRST_FOLDER = "addjob-first"
FIRST_STICKERS = [ALREADY_COLLECTED, "表情包.gif", "😀 smile.gif", "plain.gif", "LOUD.GIF"]
SECOND_FOLDER = "addjob-second"
SECOND_STICKERS = ["第二批.gif", "plain two.gif"]

CLIENT_MODE_ONE_WIDTH = 910
# The usual delay: the run waits for the practice client's dialog and menus, however slow
# Wine makes them, rather than for a fixed time.
DELAY_MS = 500
RUN_TIMEOUT = 150

# Mode two: other points on the same targets than the built-in ones, so the clicks show
# which points the run used. The client sits at (0, 0) and is frameless there, so screen
# points are client points.
CAPTURED_FILE_BUTTON = (380, 530)
CAPTURED_STICKER = (790, 470)
DERIVED_ADD_ITEM = (CAPTURED_STICKER[0] + 30, CAPTURED_STICKER[1] + 15)


# --------------------------------------------------------------------------------------------
# The tool's window as a person sees it


class ToolWindow:
    """The tool's controls, found by their captions and by what sits beside them on screen."""

    def __init__(self, s: Session):
        self.s = s

    def children(self) -> list[dict]:
        found = self.s.inspect("", TOOL_CLASS)
        assert found, f"inspect.exe finds no window of class {TOOL_CLASS}"
        return found[1]

    def rect(self) -> Rect:
        return self.s.window_rect("", TOOL_CLASS)

    def shown(self) -> list[dict]:
        return [c for c in self.children() if c["visible"]]

    def tab_control(self) -> dict:
        return next(c for c in self.children() if c["class"] == "SysTabControl32")

    def by_text(self, cls: str, text: str) -> dict:
        found = [c for c in self.shown() if c["class"] == cls and c["text"] == text]
        assert len(found) == 1, f"expected one shown {cls} {text!r}, found {found}"
        return found[0]

    def edits_right_of(self, label_text: str) -> list[dict]:
        """The shown edit boxes on the label's row, left to right, right of the label."""
        shown = self.shown()
        label = next(c for c in shown if c["class"] == "Static" and c["text"] == label_text)
        row = Rect(label["screen"])
        edits = [c for c in shown if c["class"] == "Edit"
                 and row.y <= Rect(c["screen"]).center[1] < row.y + row.h
                 and Rect(c["screen"]).x >= row.x + row.w - 2]
        return sorted(edits, key=lambda c: c["screen"]["x"])

    def count_label(self) -> dict:
        """The label left of the folder button, on its row."""
        shown = self.shown()
        button = Rect(self.by_text("Button", "选择表情文件夹")["screen"])
        labels = [c for c in shown if c["class"] == "Static"
                  and button.y <= Rect(c["screen"]).center[1] < button.y + button.h
                  and Rect(c["screen"]).x + Rect(c["screen"]).w <= button.x]
        assert len(labels) == 1, f"expected one label beside the folder button: {labels}"
        return labels[0]

    def point_fields(self) -> list[str]:
        """The texts of the six point fields of the add page's mode two, in their order."""
        texts = []
        for label in ("文件夹坐标X：", "已发送表情坐标X：", "添加到表情坐标X："):
            row = self.edits_right_of(label)
            assert len(row) == 2, f"expected an X and a Y field beside {label!r}: {row}"
            texts += [row[0]["text"], row[1]["text"]]
        return texts

    def delay_field(self) -> dict:
        row = self.edits_right_of("点击延时≥500ms")
        assert len(row) == 1, f"expected one delay field on the shown page: {row}"
        return row[0]

    # ---- what a person does

    def open_add_page(self) -> None:
        # The tab strip has no captions to find from outside; the second tab starts some
        # 90 px in (font metrics of the prefix), and the click is checked by the page it shows.
        tab = Rect(self.tab_control()["screen"])
        self.s.click(tab.x + 140, tab.y + 11)
        poll(lambda: self.tab_control()["cursel"] == 1, 30, "the add page to be shown")
        poll(lambda: self.delay_field()["text"] == "500", 30, "the add page's delay field")

    def set_delay(self, milliseconds: int) -> None:
        self.s.type_over(self.delay_field(), str(milliseconds))
        poll(lambda: self.delay_field()["text"] == str(milliseconds), 30,
             f"the delay field to read {milliseconds}")

    def select_mode_two(self) -> None:
        radio = self.by_text("Button", "添加模式二")
        self.s.click(*Rect(radio["screen"]).center)
        poll(lambda: self.by_text("Button", "添加模式二")["check"] == 1, 30,
             "添加模式二 to be checked")

    def move_aside(self) -> None:
        """Drags the tool by its caption to the right of the client's mode-one place, where
        it catches none of the clicks meant for the client."""
        r = self.rect()
        to_x = self.s.at_scale(CLIENT_MODE_ONE_WIDTH)[0] + 2
        assert to_x + r.w <= self.s.screen_size()[0], "the screen is too narrow for both windows"
        self.s.drag_window("", (to_x, r.y), cls=TOOL_CLASS)

    def park_pointer(self) -> tuple[int, int]:
        """Over the tool's lower right corner, away from every point the runs click, so
        the balloon tips that pop up at the pointer cover none of them."""
        r = self.rect()
        at = (r.x + r.w - 20, r.y + r.h - 20)
        self.s.move(*at)
        return at

    def choose_folder(self, name: str, expected_count: int) -> None:
        """Chooses a folder on the Wine user's Desktop through the real folder picker."""
        self.s.click(*Rect(self.by_text("Button", "选择表情文件夹")["screen"]).center)
        self.s.choose_desktop_folder(PICKER_PROMPT, name)
        expected = COUNT_PREFIX + str(expected_count)
        poll(lambda: self.count_label()["text"] == expected, 60,
             f"the count label to read {expected!r}")


# --------------------------------------------------------------------------------------------
# Set-up and reading the journal


def make_folder(desktop: Path, name: str, stickers: list[str]) -> Path:
    folder = desktop / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for sticker in stickers:
        (folder / sticker).write_bytes(GIF)
    return folder


def windows_name(s: Session, folder: Path) -> PureWindowsPath:
    """The folder as the picker reports it: on drive C: of the prefix, not through Z:."""
    relative = folder.resolve().relative_to((s.prefix / "drive_c").resolve())
    return PureWindowsPath("C:\\", *relative.parts)


def finish_run(s: Session, journal: Journal, since: int) -> tuple[str, list[dict]]:
    """Dismisses the box that ends the run; returns what it said and the run's journal."""
    summary = s.dismiss_message_box(MESSAGE_BOX_TITLE, RUN_TIMEOUT)
    return summary, journal.after(since)


def of(events: list[dict], kind: str) -> list[dict]:
    return [e for e in events if e["event"] == kind]


def clicks_on(events: list[dict], hit: str) -> list[dict]:
    return [e for e in of(events, "click") if e["hit"] == hit]


def check_each_sticker_went_through(e: Expect, events: list[dict], folder: PureWindowsPath,
                                    stickers: list[str], already: set[str]) -> None:
    """Every file opened by its full path, sent, and then added or refused, one at a time."""
    opened = of(events, "opened")
    e.equal(sorted(o["path"] for o in opened), sorted(str(folder / n) for n in stickers),
            "paths the open dialog returned")
    e.true(all(o.get("exists") for o in opened), f"every opened path names a file: {opened}")
    e.equal(sorted(x["name"] for x in of(events, "sent")), sorted(stickers), "names sent")
    e.equal(sorted(x["name"] for x in of(events, "added")),
            sorted(n for n in stickers if n not in already), "names added")
    e.equal([(x["name"], x["reason"]) for x in of(events, "refused")],
            [(n, "already collected") for n in stickers if n in already], "names refused")
    e.equal(of(events, "dialog cancelled"), [], "open dialogs cancelled")
    e.equal(len(clicks_on(events, "file_button")), len(stickers), "clicks on the file button")
    # Each sticker's add or refusal comes before the next file is opened.
    outcomes = [(x["event"], x["name"]) for x in events
                if x["event"] in ("opened", "added", "refused")]
    e.true(len(outcomes) == 2 * len(stickers) and all(
        opened == "opened" and outcome in ("added", "refused") and name == same
        for (opened, name), (outcome, same) in zip(outcomes[::2], outcomes[1::2])),
        f"opened and then added or refused, sticker by sticker: {outcomes}")


def covers(r: Rect, at: tuple[int, int]) -> bool:
    return r.x <= at[0] < r.x + r.w and r.y <= at[1] < r.y + r.h


def client_rect(s: Session) -> Rect:
    return s.window_rect(CLIENT_TITLE, CLIENT_CLASS)


def forward_window_shown(s: Session) -> bool:
    return any(t["class"] == "SelectContactWnd" and t["visible"] for t in s.top_windows())


# --------------------------------------------------------------------------------------------
# The two modes


def run_mode_one(s: Session, tool: ToolWindow, journal: Journal, folder: Path) -> None:
    tool.choose_folder(folder.name, len(FIRST_STICKERS))
    s.screenshot(s.artifacts / "add-page-five-files.png")
    tool.set_delay(DELAY_MS)
    e = Expect()
    e.true(client_rect(s).__dict__ != {"x": 0, "y": 0, "w": 910, "h": 647},
           "the client starts away from its mode-one place")

    s.set_clipboard(USERS_CLIPBOARD)
    since = journal.last_seq()
    tool.park_pointer()
    s.key("F11")
    journal.wait_for("the first sticker added", lambda x: x["event"] == "added", since,
                     timeout=RUN_TIMEOUT)
    s.screenshot(s.artifacts / "mode-one-during-run.png")
    summary, events = finish_run(s, journal, since)
    s.screenshot(s.artifacts / "mode-one-after-run.png")

    e.equal(summary, f"添加完成：成功 {len(FIRST_STICKERS) - 1} 个，已有 1 个，跳过 0 个",
            "the run's summary")
    check_each_sticker_went_through(e, events, windows_name(s, folder), FIRST_STICKERS,
                                    {ALREADY_COLLECTED})
    e.equal([x["name"] for x in of(events, "forward closed")], [ALREADY_COLLECTED],
            "forward windows closed")
    e.equal([(x["window"], x["vk"]) for x in of(events, "key") if x["window"] == "forward"],
            [("forward", 0x1B)], "keys the forward window got (Escape)")
    e.true(not forward_window_shown(s), "no forward window is left up")
    e.equal(client_rect(s).__dict__, {"x": 0, "y": 0, "w": 910, "h": 647},
            "the client's rectangle after mode one")
    e.equal({(c["x"], c["y"]) for c in clicks_on(events, "sent_sticker")}, {(799, 459)},
            "where the sent stickers were right-clicked")
    e.equal({(c["x"], c["y"]) for c in clicks_on(events, "add_item")}, {(829, 474)},
            "where the add item was clicked")
    e.equal(tool.count_label()["text"], COUNT_PREFIX + str(len(FIRST_STICKERS)),
            "the count label after the run")
    e.equal(s.clipboard(), USERS_CLIPBOARD, "the clipboard holds what the user had copied")
    e.check()


def capture_points(s: Session, tool: ToolWindow) -> None:
    tool.select_mode_two()
    for at, row in ((CAPTURED_FILE_BUTTON, "文件夹坐标X："), (CAPTURED_STICKER, "已发送表情坐标X：")):
        s.move(*at)
        poll(lambda: s.cursor() == at, 30, f"the pointer to reach {at}")
        s.key("F10")
        poll(lambda: [f["text"] for f in tool.edits_right_of(row)] == [str(v) for v in at], 30,
             f"the capture of {at}")
    expected = [str(v) for v in (*CAPTURED_FILE_BUTTON, *CAPTURED_STICKER, *DERIVED_ADD_ITEM)]
    e = Expect()
    e.equal(tool.point_fields(), expected, "the point fields after two captures")
    e.check()
    # Each capture confirms itself in a bubble at the pointer, over the client: a person
    # waits until it has gone before starting, else it would catch the run's clicks.
    targets = (CAPTURED_FILE_BUTTON, CAPTURED_STICKER, DERIVED_ADD_ITEM)
    poll(lambda: not any(covers(Rect(tip["rect"]), at) for tip in s.tooltips() for at in targets),
         30, "the capture bubbles to leave the client's points")


def run_mode_two(s: Session, tool: ToolWindow, journal: Journal, folder: Path) -> None:
    capture_points(s, tool)
    tool.choose_folder(folder.name, len(SECOND_STICKERS))
    tool.set_delay(DELAY_MS)
    s.screenshot(s.artifacts / "add-page-mode-two.png")

    since = journal.last_seq()
    tool.park_pointer()
    s.key("F11")
    summary, events = finish_run(s, journal, since)
    s.screenshot(s.artifacts / "mode-two-after-run.png")

    e = Expect()
    e.equal(summary, f"添加完成：成功 {len(SECOND_STICKERS)} 个，已有 0 个，跳过 0 个",
            "the run's summary")
    check_each_sticker_went_through(e, events, windows_name(s, folder), SECOND_STICKERS, set())
    e.equal({(c["x"], c["y"]) for c in clicks_on(events, "file_button")}, {CAPTURED_FILE_BUTTON},
            "where the file button was clicked")
    e.equal({(c["x"], c["y"], c["button"]) for c in clicks_on(events, "sent_sticker")},
            {(*CAPTURED_STICKER, "right")}, "where the sent stickers were right-clicked")
    e.equal({(c["x"], c["y"]) for c in clicks_on(events, "add_item")}, {DERIVED_ADD_ITEM},
            "where the add item was clicked")
    e.equal(of(events, "refused"), [], "refusals in mode two")
    e.equal(client_rect(s).__dict__, {"x": 0, "y": 0, "w": 910, "h": 647},
            "the client's rectangle after mode two")
    e.check()


def scenario(s: Session) -> None:
    desktop = s.desktop_dir()
    first = make_folder(desktop, FIRST_FOLDER, FIRST_STICKERS)
    (first / "notes.txt").write_text("not a sticker\n")
    (first / "sub.gif").mkdir()
    (first / "sub.gif" / "inner.gif").write_bytes(GIF)
    second = make_folder(desktop, SECOND_FOLDER, SECOND_STICKERS)
    try:
        client, journal = s.start_practice_client("--collected", f"{ALREADY_COLLECTED}|old.gif")
        s.start(s.build.pelloram)
        s.wait_window(TOOL_TITLE, timeout=60)
        tool = ToolWindow(s)
        tool.move_aside()
        tool.open_add_page()
        run_mode_one(s, tool, journal, first)
        run_mode_two(s, tool, journal, second)
        assert client.running(), "the practice client is still running"
    finally:
        shutil.rmtree(first, ignore_errors=True)
        shutil.rmtree(second, ignore_errors=True)


if __name__ == "__main__":
    harness.main(scenario)
