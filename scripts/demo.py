#!/usr/bin/env python3
"""Both jobs of Pelloram, worked against the practice client as a person would (scripts/demo).

First the path of most users, on the newer client (the practice client's --generation newer),
where mode one is refused and the points are taught with F10:

  1. the newer client starts with ten collected stickers (one of which the sample folder holds
     too), then the tool, which finds it; the tool's window is dragged out of the way, and both
     pages are toured in both modes;
  2. delete page, mode two: F10 over the sticker button, the collected tab and the first
     sticker; then a right click on the first sticker by hand, F10 over the menu's delete item,
     Escape to close the menu and a click that closes the panel;
  3. the client's window then moves and changes size (its --move-after and --resize-after,
     due on that last click), and the delete run (count 3, F11) finds every control again;
  4. add page, mode two (a page change empties every point field, so the add page's points are
     taught after the delete run): one sticker is sent into the chat by hand through the
     client's open dialog, F10 over the file button and over the sent sticker; then the
     client's window is placed elsewhere at another size (client_probe.exe's "place", the
     tool's own placement), and the add run takes the sample folder (four GIFs, F11);
  5. the newer client is closed and the classic one started in its place; the tool, still
     open, finds it at the next start: delete page, mode one (count 3, F11), then add page,
     mode one, the same folder.

Each delete run must delete exactly three stickers, each add run add three and be refused the
sticker collected before; the tool must exit with 0. Screenshots (whole screen, and the tool's
window cut out of it) and both journals go to the output folder; a summary of each journal is
printed at the end. Any step that does not happen in time ends the demo with an error; the
session stops everything it started in every case. Neither program prints anything, so their
logs are kept only when Wine wrote something into them.

With --refresh-docs the README's pictures in docs/ are replaced by this run's screenshots.

    scripts/demo.py --build build/windows --out build/demo [--refresh-docs]
"""

from __future__ import annotations

import argparse
import shutil
import signal
import subprocess
import sys
import time
import traceback
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO_ROOT / "tests" / "e2e"))

import harness  # noqa: E402
import test_delete_job as named  # noqa: E402  (the tool's fields by their control names)
from harness import (CLIENT_CLASS, CLIENT_TITLE, Build, Journal, Rect, Session,  # noqa: E402
                     log, poll)
from test_add_job import windows_name  # noqa: E402
from test_client_layer import Prober, step  # noqa: E402
from test_run_checks import said  # noqa: E402
from test_taught_controls import (COLLECTED_TAB, FILE_BUTTON, FIRST_STICKER,  # noqa: E402
                                  SENT_STICKER, STICKER_BUTTON, QT_CLASS, hits, no_tips, teach,
                                  teach_delete_points, wait_fields)

TOOL_TITLE = "Pelloram  By:Tovrin"
MESSAGE_BOX_TITLE = "信息："
FINISHED = "给我删"  # the delete button's caption once the count is down to 0
PICKER_PROMPT = "选择要添加的表情文件夹"
COUNT_PREFIX = "当前表情数量： "  # full-width colon, then one ASCII space
DELAY_LABEL = "点击延时≥500ms"
COUNT_LABEL = "欲删除表情数量："

DELETE_COUNT = 3
DELETE_DELAY_MS = 500
# The usual delay: the run waits for the practice client's dialog and menus, however slow
# Wine makes them, rather than for a fixed time.
ADD_DELAY_MS = 500
RUN_TIMEOUT = 180

# Nine numbered stickers and one the sample folder holds too: each delete run takes the first
# three, and each add run is refused the last one.
ALREADY_COLLECTED = "wave.gif"
COLLECTION = [f"sticker{i:02d}.gif" for i in range(1, 10)] + [ALREADY_COLLECTED]
SAMPLE_FOLDER = "pelloram-demo-stickers"  # typed into the picker's tree: ASCII only
# name -> (background, foreground) of a two-frame 48 x 48 GIF
SAMPLES = {
    "你好.gif": ("#ffd54f", "#e65100"),
    ALREADY_COLLECTED: ("#81d4fa", "#01579b"),
    "heart.gif": ("#f8bbd0", "#c2185b"),
    "star.gif": ("#c5e1a5", "#33691e"),
}
# The sticker sent into the chat by hand before the add page's points are taught: its path is
# typed into the client's open dialog, so ASCII only.
SENT_FOLDER = "pelloram-demo-sent"
SENT_BY_HAND = {"hello.gif": ("#d1c4e9", "#4527a0")}

# The newer client starts at the top-left corner at its default size, where the e2e
# scenarios' client points hold. The demo's clicks on it while teaching the delete page are
# counted in advance: three by teach_delete_points, then the panel, the collected tab and the
# right click for the menu, and the seventh closes the panel; then the client moves and
# changes size, as if its user had done it.
CLIENT_DEFAULT_SIZE = (910, 647)
LAST_TEACHING_CLICK = 7
MOVED_TO = (40, 30)
RESIZED_TO = (860, 600)
# The delete item of the client's sticker menu: the middle of "删除", from the right click.
DELETE_ITEM_FROM_CLICK = (62, 51)
NEWER_MENU_CLASS = "Qt51514QWindowToolSaveBits"
NEWER_FORWARD_TITLE = "微信发送给"
OPEN_DIALOG_TITLE = "打开"


# --------------------------------------------------------------------------------------------
# The tool's window, found by its captions and by what sits beside them


class Tool:
    def __init__(self, s: Session, process: harness.WineProcess):
        self.s = s
        self.process = process
        self.add_message = ""  # what the tool said when the add run ended

    def read(self) -> tuple[dict, list[dict]]:
        # By class: the caption shows a run's progress while one goes on.
        found = self.s.inspect("", harness.TOOL_CLASS)
        if not found:
            raise RuntimeError(f"the tool's window {TOOL_TITLE!r} is gone")
        return found

    def rect(self) -> Rect:
        return Rect(self.read()[0]["rect"])

    def shown(self) -> list[dict]:
        return [c for c in self.read()[1] if c["visible"]]

    def by_text(self, cls: str, text: str) -> dict:
        found = [c for c in self.shown() if c["class"] == cls and c["text"] == text]
        if len(found) != 1:
            raise RuntimeError(f"expected one shown {cls} {text!r}, found {len(found)}")
        return found[0]

    def button_caption(self, *captions: str) -> str | None:
        """Which of these captions a shown button has."""
        texts = {c["text"] for c in self.shown() if c["class"] == "Button"}
        return next((c for c in captions if c in texts), None)

    def edit_right_of(self, label_text: str) -> dict:
        """The shown edit box on the label's row, right of it (the first, when there are two)."""
        shown = self.shown()
        label = next(c for c in shown if c["class"] == "Static" and c["text"] == label_text)
        row = Rect(label["screen"])
        edits = sorted((c for c in shown if c["class"] == "Edit"
                        and row.y <= Rect(c["screen"]).center[1] < row.y + row.h
                        and Rect(c["screen"]).x >= row.x + row.w - 2),
                       key=lambda c: c["screen"]["x"])
        if not edits:
            raise RuntimeError(f"no edit box beside {label_text!r}")
        return edits[0]

    def tab_control(self) -> dict:
        return next(c for c in self.read()[1] if c["class"] == "SysTabControl32")

    # ---- what a person does

    def move_aside(self) -> None:
        """Drags the window by its caption into the screen's bottom-right corner, where the
        placed client (0, 0, 910 x 647) never covers it."""
        r = self.rect()
        width, height = self.s.screen_size()
        target = (width - r.w - 4, height - r.h - 4)
        if target[0] < 912:
            raise RuntimeError(f"the screen ({width} x {height}) is too small for both windows")
        self.s.drag_window(TOOL_TITLE, target)

    def park_pointer(self) -> None:
        """Over the window's lower right corner: keys reach Wine, and the bubbles that pop up
        at the pointer cover none of the client's points."""
        r = self.rect()
        self.s.move(r.x + r.w - 20, r.y + r.h - 20)

    def type_into(self, field: dict, text: str, label: str) -> None:
        self.s.type_over(field, text)
        poll(lambda: self.edit_right_of(label)["text"] == text, 30,
             f"the field beside {label!r} to read {text!r}", interval=0.2)

    def select(self, radio: str) -> None:
        self.s.click(*Rect(self.by_text("Button", radio)["screen"]).center)
        poll(lambda: self.by_text("Button", radio)["check"] == 1, 30, f"{radio} to be checked",
             interval=0.2)

    def open_delete_page(self) -> None:
        """The first tab; a page change returns the page to its mode one."""
        tab = Rect(self.tab_control()["screen"])
        self.s.click(tab.x + 40, tab.y + 11)
        poll(lambda: self.tab_control()["cursel"] == 0, 30, "the delete page to be shown",
             interval=0.2)
        poll(lambda: self.by_text("Button", "删除模式一")["check"] == 1, 30,
             "删除模式一 to be checked", interval=0.2)

    def open_add_page(self) -> None:
        # The second tab starts some 90 px into the strip; the page it shows confirms the click.
        tab = Rect(self.tab_control()["screen"])
        self.s.click(tab.x + 140, tab.y + 11)
        poll(lambda: self.tab_control()["cursel"] == 1, 30, "the add page to be shown",
             interval=0.2)
        poll(lambda: self.button_caption("选择表情文件夹"), 30, "the add page's folder button")

    def choose_folder(self, name: str, expected_count: int) -> None:
        """Chooses a folder on the Wine user's Desktop through the real folder picker."""
        self.s.click(*Rect(self.by_text("Button", "选择表情文件夹")["screen"]).center)
        self.s.choose_desktop_folder(PICKER_PROMPT, name)
        expected = COUNT_PREFIX + str(expected_count)
        poll(lambda: any(c["class"] == "Static" and c["text"] == expected for c in self.shown()),
             60, f"the count label to read {expected!r}", interval=0.3)



# --------------------------------------------------------------------------------------------
# Pictures and the journal


class Shots:
    """Whole-screen screenshots, and the tool's window cut out of each."""

    def __init__(self, s: Session, out: Path):
        self.s = s
        self.out = out
        self.taken: list[Path] = []

    def take(self, name: str, tool: Tool | None = None) -> None:
        screen = self.s.screenshot(self.out / f"{name}.png")
        self.taken.append(screen)
        if tool is None:
            return
        r = tool.rect()
        cut = self.out / f"{name}-tool.png"
        subprocess.run(["convert", str(screen), "-crop", f"{r.w}x{r.h}+{r.x}+{r.y}", "+repage",
                        str(cut)], check=True, timeout=60, capture_output=True)
        self.taken.append(cut)


def of(events: list[dict], kind: str) -> list[dict]:
    return [e for e in events if e["event"] == kind]


def make_samples(folder: Path, samples: dict[str, tuple[str, str]]) -> None:
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for name, (back, fore) in samples.items():
        frames = []
        for radius in (10, 18):
            frames += ["(", "-size", "48x48", f"xc:{back}", "-fill", fore,
                       "-draw", f"circle 24,24 24,{24 - radius}", ")"]
        subprocess.run(["convert", "-delay", "40", *frames, "-loop", "0", str(folder / name)],
                       check=True, timeout=60, capture_output=True)


# --------------------------------------------------------------------------------------------
# The demo


def start_tool(s: Session) -> Tool:
    tool = Tool(s, s.start(s.build.pelloram, name="pelloram"))
    poll(lambda: s.window_ids(TOOL_TITLE) or s.window_ids(MESSAGE_BOX_TITLE), 90,
         "the tool's window")
    if s.window_ids(MESSAGE_BOX_TITLE):
        raise RuntimeError("the tool did not find the practice client: "
                           + s.dismiss_message_box(MESSAGE_BOX_TITLE))
    tool.move_aside()
    log("Pelloram is up, beside the client")
    return tool


def tour(s: Session, tool: Tool, shots: Shots) -> None:
    """Both pages in both modes, as a person would click through them."""
    shots.take("page-delete-mode-one", tool)
    for radio, shot in (("删除模式二", "page-delete-mode-two"), (None, "page-add-mode-one"),
                        ("添加模式二", "page-add-mode-two")):
        if radio is None:
            tool.open_add_page()
        else:
            tool.select(radio)
        shots.take(shot, tool)
    tool.open_delete_page()
    log("toured both pages in both modes")


def stopped(s: Session) -> bool:
    return bool(s.window_ids(MESSAGE_BOX_TITLE))


def fail_with_message(s: Session, what: str) -> None:
    """A run that stops says why in a message box: the demo ends with what it said."""
    raise RuntimeError(f"{what}: the tool stopped and said "
                       f"{said(s.dismiss_message_box(MESSAGE_BOX_TITLE))!r}")


def delete_run(s: Session, tool: Tool, journal: Journal, shots: Shots, tag: str) -> list[dict]:
    log(f"{tag}: delete run, count {DELETE_COUNT}, delay {DELETE_DELAY_MS} ms, F11")
    if tool.button_caption(FINISHED):
        # The last run's end still shows, through page and mode changes: the first F11 only
        # takes it back, as the README tells a user.
        tool.park_pointer()
        s.key("F11")
        poll(lambda: not tool.button_caption(FINISHED), 30, f"the caption {FINISHED!r} to go",
             interval=0.2)
    tool.type_into(tool.edit_right_of(COUNT_LABEL), str(DELETE_COUNT), COUNT_LABEL)
    tool.type_into(tool.edit_right_of(DELAY_LABEL), str(DELETE_DELAY_MS), DELAY_LABEL)
    shots.take(f"{tag}-delete-before", tool)

    since = journal.last_seq()
    tool.park_pointer()
    s.key("F11")
    poll(lambda: of(journal.after(since), "deleted") or stopped(s), RUN_TIMEOUT,
         "the first deletion", interval=0.2)
    if stopped(s):
        fail_with_message(s, f"{tag} delete run")
    shots.take(f"{tag}-delete-during", tool)
    poll(lambda: tool.button_caption(FINISHED) or stopped(s), RUN_TIMEOUT,
         f"the caption {FINISHED!r}", interval=0.3)
    if stopped(s):
        fail_with_message(s, f"{tag} delete run")
    events = journal.after(since)
    shots.take(f"{tag}-delete-after", tool)
    deleted = of(events, "deleted")
    if len(deleted) != DELETE_COUNT:
        raise RuntimeError(f"{tag}: {len(deleted)} stickers deleted, not {DELETE_COUNT}")
    log(f"{tag}: delete run over: {', '.join(d['name'] for d in deleted)} deleted")
    return events


def add_run(s: Session, tool: Tool, journal: Journal, shots: Shots, tag: str) -> tuple[list[dict], str]:
    """F11 on the add page with the sample folder chosen; returns the journal's lines of the
    run and what the tool said at its end."""
    log(f"{tag}: add run, the sample folder, F11")
    tool.type_into(tool.edit_right_of(DELAY_LABEL), str(ADD_DELAY_MS), DELAY_LABEL)
    shots.take(f"{tag}-add-before", tool)

    since = journal.last_seq()
    tool.park_pointer()
    s.key("F11")
    poll(lambda: of(journal.after(since), "added") or of(journal.after(since), "refused")
         or stopped(s), RUN_TIMEOUT, "the first sticker added", interval=0.2)
    shots.take(f"{tag}-add-during", tool)
    expected_added = len(SAMPLES) - 1

    def over(events: list[dict]) -> bool:
        return len(of(events, "added")) >= expected_added and len(of(events, "refused")) >= 1 \
            and bool(of(events, "forward closed"))

    # The refusal is shown in a bubble for a few seconds; a missed picture is no failure.
    poll(lambda: of(journal.after(since), "refused") or stopped(s), RUN_TIMEOUT,
         f"the client to refuse {ALREADY_COLLECTED}", interval=0.2)
    try:
        poll(lambda: any("已有此表情" in text for tip in s.tooltips() for text in tip["texts"]),
             10, "the bubble about the refused sticker", interval=0.2)
        shots.take(f"{tag}-add-refused", tool)
    except TimeoutError as e:
        log(f"no picture of the refusal: {e}")
    # The run ends by saying what it did, in a message box.
    poll(lambda: over(journal.after(since)) or stopped(s), RUN_TIMEOUT,
         f"{expected_added} stickers added and {ALREADY_COLLECTED} refused", interval=0.2)
    s.wait_window(MESSAGE_BOX_TITLE, RUN_TIMEOUT)
    shots.take(f"{tag}-add-after", tool)
    message = said(s.dismiss_message_box(MESSAGE_BOX_TITLE))
    log(f"the tool says: {message}")
    events = journal.after(since)
    added, refused = of(events, "added"), of(events, "refused")
    if len(added) != expected_added or [r["name"] for r in refused] != [ALREADY_COLLECTED]:
        raise RuntimeError(f"{tag}: {len(added)} added and {names(refused)} refused, not "
                           f"{expected_added} and {ALREADY_COLLECTED}; the tool said {message!r}")
    clicked = hits(events)
    for target in ("file_button", "sent_sticker", "add_item"):
        if clicked.count(target) != len(SAMPLES):
            raise RuntimeError(f"{tag}: {clicked.count(target)} clicks hit the client's {target},"
                               f" not {len(SAMPLES)}: {clicked}")
    log(f"{tag}: add run over")
    return events, message


# ---- the newer client, mode two


def newer_rect(s: Session) -> tuple[int, int, int, int]:
    found = s.inspect(CLIENT_TITLE, QT_CLASS)
    if not found:
        raise RuntimeError("the newer practice client's window is gone")
    r = Rect(found[0]["rect"])
    return r.x, r.y, r.w, r.h


def menu_shown(s: Session) -> bool:
    return any(w["class"] == NEWER_MENU_CLASS and w["visible"] for w in s.top_windows())


def laid_out(point: tuple[int, int], origin: tuple[int, int], size: tuple[int, int],
             from_right: bool) -> tuple[int, int]:
    """A screen point of the chat's input toolbar or newest message at another window size:
    both keep their distance from the window's bottom edge, the message also from its right
    edge (as the client lays itself out again, like WeChat)."""
    width, height = CLIENT_DEFAULT_SIZE
    x = size[0] - (width - point[0]) if from_right else point[0]
    return origin[0] + x, origin[1] + size[1] - (height - point[1])


def teach_delete_page(s: Session, tool: Tool, fields: named.Tool, journal: Journal,
                      shots: Shots) -> None:
    log("newer: delete page, mode two: F10 over the sticker button, the collected tab and the "
        "first sticker")
    tool.select("删除模式二")
    teach_delete_points(s, fields, journal, (0, 0))

    log("newer: a right click on the first sticker by hand, F10 over the menu's delete item, "
        "Escape")
    mark = journal.last_seq()
    s.click(*STICKER_BUTTON)
    journal.wait_count(mark, "click", 1)
    s.click(*COLLECTED_TAB)
    journal.wait_count(mark, "click", 2)
    s.click(*FIRST_STICKER, button=3)
    journal.wait_count(mark, "click", 3)
    poll(lambda: menu_shown(s), 30, "the sticker's menu", interval=0.2)
    item = (FIRST_STICKER[0] + DELETE_ITEM_FROM_CLICK[0],
            FIRST_STICKER[1] + DELETE_ITEM_FROM_CLICK[1])
    teach(s, item)
    wait_fields(fields, ("DeleteItemX", "DeleteItemY"), item)
    shots.take("newer-teach-delete-item", tool)
    no_tips(s)
    s.key("Escape")  # the pointer rests on the menu; the client has the keyboard
    poll(lambda: not menu_shown(s), 30, "the menu to close", interval=0.2)
    s.click(*STICKER_BUTTON)  # closes the panel
    journal.wait_count(mark, "click", 4)
    by_hand = hits(journal.after(mark))
    if by_hand != ["sticker_panel", "collected_tab", "first_sticker", "sticker_panel"]:
        raise RuntimeError(f"the clicks by hand around the menu hit {by_hand}")
    all_clicks = len(of(journal.events(), "click"))
    if all_clicks != LAST_TEACHING_CLICK:
        raise RuntimeError(f"{all_clicks} clicks on the client while teaching, not "
                           f"{LAST_TEACHING_CLICK}: its move would not come now")
    want = (*MOVED_TO, *RESIZED_TO)
    poll(lambda: newer_rect(s) == want, 60, f"the client to move and resize to {want}",
         interval=0.3)
    log(f"newer: the client moved to {MOVED_TO} and now measures {RESIZED_TO[0]} x "
        f"{RESIZED_TO[1]}")


def check_delete_followed(fields: named.Tool, events: list[dict]) -> str:
    clicked = hits(events)
    want = ["sticker_panel", "collected_tab"] + ["first_sticker", "delete_item"] * DELETE_COUNT
    if clicked != want:
        raise RuntimeError(f"the delete run's clicks hit {clicked}, not {want}")
    last = [e for e in events if e["event"] == "click" and e["hit"] == "first_sticker"][-1]
    found = tuple(map(int, fields.texts("FirstStickerX", "FirstStickerY")))
    expected = (MOVED_TO[0] + last["x"], MOVED_TO[1] + last["y"])
    if found != expected:
        raise RuntimeError(f"the first sticker's fields read {found}, not where the run "
                           f"clicked it, {expected}")
    return f"first sticker taught at {FIRST_STICKER}, found and clicked at {found}"


def send_by_hand(s: Session, journal: Journal, file_button: tuple[int, int], path: str) -> None:
    """Sends one sticker into the chat as a person does: the file button, the path typed into
    the open dialog, Enter there and Enter again in the chat."""
    log(f"newer: the chat has no sticker yet: sending {path} by hand")
    mark = journal.last_seq()
    s.click(*file_button)
    s.wait_window(OPEN_DIALOG_TITLE, 60)
    s.type(path)
    s.key("Return")
    journal.wait_for("the path opened", lambda e: e["event"] == "opened", mark, timeout=60)
    s.wait_no_window(OPEN_DIALOG_TITLE, 60)
    s.move(*file_button)  # keys go to the client under the pointer
    s.key("Return")
    journal.wait_for("the sticker sent", lambda e: e["event"] == "sent", mark, timeout=60)


def teach_add_page(s: Session, tool: Tool, fields: named.Tool, journal: Journal,
                   sent_path: str) -> None:
    # A page change empties every point field, so the add page is taught after the delete run.
    tool.open_add_page()
    tool.select("添加模式二")
    file_button = laid_out(FILE_BUTTON, MOVED_TO, RESIZED_TO, from_right=False)
    sent_sticker = laid_out(SENT_STICKER, MOVED_TO, RESIZED_TO, from_right=True)
    if not of(journal.events(), "sent"):
        send_by_hand(s, journal, file_button, sent_path)
    log("newer: add page, mode two: F10 over the file button and the sent sticker")
    for at, pair in ((file_button, ("FileButtonX", "FileButtonY")),
                     (sent_sticker, ("SentStickerX", "SentStickerY"))):
        teach(s, at)
        wait_fields(fields, pair, at)
        no_tips(s)


def place_elsewhere(s: Session, journal: Journal) -> None:
    """Moves and resizes the client through the tool's own placement, from outside."""
    mark = journal.last_seq()
    placed = step(Prober(s)("place"), "place")
    if not placed["ok"]:
        raise RuntimeError(f"client_probe could not place the client: {placed}")
    want = (0, 0, *CLIENT_DEFAULT_SIZE)
    poll(lambda: newer_rect(s) == want, 60, f"the client at {want}", interval=0.3)
    journal.wait_for("the new size", lambda e: e["event"] == "resized", mark, timeout=60)
    log(f"newer: the client moved to (0, 0) and measures {want[2]} x {want[3]} again")


def close_newer(s: Session, client: harness.WineProcess, journal: Journal) -> None:
    """Through the client's own close box, at the right of its title strip."""
    x, y, w, _ = newer_rect(s)
    mark = journal.last_seq()
    s.click(x + w - 18, y + 14)
    journal.wait_for("the close box clicked", lambda e: e.get("hit") == "close_button", mark)
    client.wait(timeout=60)
    s.wait_no_window(CLIENT_TITLE, 60)
    log("newer: the client is closed")


def newer_client(s: Session, shots: Shots, folder: Path, sent_path: str) -> dict:
    due = f"click:{LAST_TEACHING_CLICK}"
    client, journal = s.start_practice_client(
        "--generation", "newer", "--collected", "|".join(COLLECTION), "--pos", "0", "0",
        "--move-after", due, *map(str, MOVED_TO), "--resize-after", due, *map(str, RESIZED_TO),
        name="newer", timeout=90)
    poll(journal.events, 60, "the practice client's first journal line")
    log("the newer practice client is up")
    tool = start_tool(s)
    fields = named.Tool(s, tool.process)
    tour(s, tool, shots)

    teach_delete_page(s, tool, fields, journal, shots)
    delete_events = delete_run(s, tool, journal, shots, "newer")
    found = check_delete_followed(fields, delete_events)

    teach_add_page(s, tool, fields, journal, sent_path)
    place_elsewhere(s, journal)
    tool.choose_folder(folder.name, len(SAMPLES))
    add_events, message = add_run(s, tool, journal, shots, "newer")
    close_newer(s, client, journal)
    return {"tool": tool, "journal": journal, "delete": delete_events, "add": add_events,
            "message": message, "found": found}


# ---- the classic client, mode one


def classic_client(s: Session, tool: Tool, shots: Shots, folder: Path) -> dict:
    client, journal = s.start_practice_client("--collected", "|".join(COLLECTION),
                                              "--pos", "0", "0", name="classic", timeout=90)
    poll(journal.events, 60, "the practice client's first journal line")
    log("the classic practice client is up; the tool finds it at the next start")
    tool.open_delete_page()
    delete_events = delete_run(s, tool, journal, shots, "classic")
    tool.open_add_page()
    tool.choose_folder(folder.name, len(SAMPLES))
    add_events, message = add_run(s, tool, journal, shots, "classic")
    return {"client": client, "journal": journal, "delete": delete_events, "add": add_events,
            "message": message}


def close_both(s: Session, tool: Tool, client: harness.WineProcess) -> None:
    log("closing Pelloram and the practice client")
    s.close_window(TOOL_TITLE)
    code = tool.process.wait(timeout=60)
    if code != 0:
        raise RuntimeError(f"Pelloram ended with exit code {code}")
    log("Pelloram ended with exit code 0")
    s.close_window(CLIENT_TITLE, CLIENT_CLASS)
    client.wait(timeout=60)


def names(items: list[dict]) -> str:
    return ", ".join(i["name"] for i in items) or "none"


def summary(title: str, outcome: dict) -> str:
    journal: Journal = outcome["journal"]
    events = journal.events()
    before = events[0]["collection"]
    after = list(before)
    for e in events:
        if e["event"] == "deleted":
            after.remove(e["name"])
        elif e["event"] == "added":
            after.append(e["name"])
    last_count = next((e["count"] for e in reversed(events) if "count" in e), len(after))
    if last_count != len(after):
        raise RuntimeError(f"the journal's count {last_count} disagrees with {len(after)}")
    delete_events, add_events = outcome["delete"], outcome["add"]
    lines = [
        f"Journal summary: {title} ({journal.path.name})",
        f"  stickers before: {len(before)}  ({', '.join(before)})",
        f"  deleted:         {len(of(delete_events, 'deleted'))}  "
        f"({names(of(delete_events, 'deleted'))})",
        f"  added:           {len(of(add_events, 'added'))}  ({names(of(add_events, 'added'))})",
        f"  refused:         {len(of(add_events, 'refused'))}  "
        f"({names(of(add_events, 'refused'))}: already collected)",
        f"  stickers after:  {len(after)}  ({', '.join(after)})",
    ]
    if "found" in outcome:
        lines.append(f"  moved and resized before each run; {outcome['found']}")
    lines.append(f"  the tool's message at the end of the add run: {outcome['message']}")
    return "\n".join(lines)


def demo(s: Session, out: Path) -> None:
    shots = Shots(s, out)
    folder = s.desktop_dir() / SAMPLE_FOLDER
    sent_folder = s.desktop_dir() / SENT_FOLDER
    make_samples(folder, SAMPLES)
    make_samples(sent_folder, SENT_BY_HAND)
    sent_path = str(windows_name(s, sent_folder / next(iter(SENT_BY_HAND))))
    try:
        newer = newer_client(s, shots, folder, sent_path)
        classic = classic_client(s, newer["tool"], shots, folder)
        close_both(s, newer["tool"], classic["client"])
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(sent_folder, ignore_errors=True)
    print(summary("the newer client, mode two, points taught with F10", newer))
    print(summary("the classic client, mode one", classic))
    print("Screenshots (whole screen, and *-tool.png the tool's window alone):")
    for shot in shots.taken:
        print(f"  {shot}")


# The README's pictures: docs/<name> <- this run's screenshot, and the scale it is shown at
# (whole-screen shots at three quarters, so they fit a page).
DOCS = REPO_ROOT / "docs"
DOC_PICTURES = {
    "delete-page.png": ("newer-delete-before-tool.png", 100),
    "add-page.png": ("newer-add-before-tool.png", 100),
    "demo-teach-delete-item.png": ("newer-teach-delete-item.png", 75),
    "demo-during-delete.png": ("newer-delete-during.png", 75),
    "demo-already-collected.png": ("newer-add-refused.png", 75),
}


def refresh_docs(out: Path) -> None:
    """Copies the screenshots the README shows into docs/, all or none."""
    missing = [shot for shot, _ in DOC_PICTURES.values() if not (out / shot).is_file()]
    if missing:
        raise RuntimeError(f"docs/ left as it was: this run took no {', '.join(missing)}")
    for name, (shot, percent) in DOC_PICTURES.items():
        subprocess.run(["convert", str(out / shot), "-resize", f"{percent}%", "-strip",
                        str(DOCS / name)], check=True, timeout=60, capture_output=True)
        print(f"docs/{name} <- {shot}")


def drop_empty_logs(out: Path) -> None:
    for program_log in out.glob("*.log"):
        if program_log.name != "demo.log" and program_log.stat().st_size == 0:
            program_log.unlink()


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", required=True, help="the windows build tree")
    parser.add_argument("--out", required=True, help="folder for screenshots, journal and logs")
    parser.add_argument("--deadline", type=float, default=600, help="give up after this many s")
    parser.add_argument("--refresh-docs", action="store_true",
                        help="replace the README's pictures in docs/ with this run's screenshots")
    args = parser.parse_args()
    # A plain SIGTERM would skip the clean-up of the session: make it an ordinary exit.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("demo: terminated"))
    out = Path(args.out).resolve()
    out.mkdir(parents=True, exist_ok=True)
    for old in out.glob("*.png"):
        old.unlink()
    started = time.monotonic()
    session = Session(Build(args.build), "demo", deadline=args.deadline)
    session.artifacts = out  # the journal, the programs' logs and the screenshot of a failure
    try:
        with session as s:
            demo(s, out)
        if args.refresh_docs:
            refresh_docs(out)
    except Exception as e:
        traceback.print_exc()
        print(f"demo failed after {time.monotonic() - started:.0f} s: {e}", file=sys.stderr)
        print(f"see {out} (failure.png, the programs' logs)", file=sys.stderr)
        sys.exit(1)
    finally:
        drop_empty_logs(out)
    print(f"Demo finished in {time.monotonic() - started:.0f} s.")


if __name__ == "__main__":
    main()
