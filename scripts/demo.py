#!/usr/bin/env python3
"""Both jobs of Pelloram, worked against the practice client as a person would (scripts/demo).

The practice client starts first, with a journal and ten collected stickers (one of which the
sample folder holds too), then the tool, which finds it. The tool's window is dragged out of the
way of the placed client, and then:

  1. delete page, mode one: count 3, delay 500 ms, F11; the run ends with the caption "给我删";
  2. add page, mode one: a folder of four sample GIFs made here on the Wine user's Desktop is
     chosen through the real folder picker, then F11; the run has no visible end, so the journal
     tells when it is over (every file added or refused, then a quiet spell);
  3. the tool and the client are closed through their windows; the tool must exit with 0.

Screenshots (whole screen, and the tool's window cut out of it) and the journal go to the output
folder; a summary of the journal is printed at the end. Any step that does not happen in time
ends the demo with an error; the session stops everything it started in every case. Neither
program prints anything, so their logs are kept only when Wine wrote something into them.

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
from harness import (CLIENT_CLASS, CLIENT_TITLE, Build, Journal, Rect, Session,  # noqa: E402
                     log, poll)

TOOL_TITLE = "Pelloram  By:Tovrin"
MESSAGE_BOX_TITLE = "信息："
FINISHED = "给我删"  # the delete button's caption once the count is down to 0
PICKER_PROMPT = "选择要添加的表情文件夹"
COUNT_PREFIX = "当前表情数量： "  # full-width colon, then one ASCII space
DELAY_LABEL = "点击延时≥500ms"

DELETE_COUNT = 3
DELETE_DELAY_MS = 500
# The usual delay: the run waits for the practice client's dialog and menus, however slow
# Wine makes them, rather than for a fixed time.
ADD_DELAY_MS = 500
RUN_TIMEOUT = 180

# Nine numbered stickers and one the sample folder holds too: the delete run takes the first
# three, and the add run is refused the last one.
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


def make_samples(folder: Path) -> None:
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for name, (back, fore) in SAMPLES.items():
        frames = []
        for radius in (10, 18):
            frames += ["(", "-size", "48x48", f"xc:{back}", "-fill", fore,
                       "-draw", f"circle 24,24 24,{24 - radius}", ")"]
        subprocess.run(["convert", "-delay", "40", *frames, "-loop", "0", str(folder / name)],
                       check=True, timeout=60, capture_output=True)


# --------------------------------------------------------------------------------------------
# The demo


def start(s: Session) -> tuple[harness.WineProcess, Journal, Tool]:
    client, journal = s.start_practice_client("--collected", "|".join(COLLECTION), timeout=90)
    poll(journal.events, 60, "the practice client's first journal line")
    log("the practice client is up")

    tool = Tool(s, s.start(s.build.pelloram, name="pelloram"))
    poll(lambda: s.window_ids(TOOL_TITLE) or s.window_ids(MESSAGE_BOX_TITLE), 90,
         "the tool's window")
    if s.window_ids(MESSAGE_BOX_TITLE):
        raise RuntimeError("the tool did not find the practice client: "
                           + s.dismiss_message_box(MESSAGE_BOX_TITLE))
    tool.move_aside()
    log("Pelloram is up, beside the client")
    return client, journal, tool


def tour(s: Session, tool: Tool, shots: Shots) -> None:
    """Both pages in both modes, as a person would click through them."""
    shots.take("page-delete-mode-one", tool)
    for radio, shot in (("删除模式二", "page-delete-mode-two"), (None, "page-add-mode-one"),
                        ("添加模式二", "page-add-mode-two")):
        if radio is None:
            tool.open_add_page()
        else:
            s.click(*Rect(tool.by_text("Button", radio)["screen"]).center)
            poll(lambda: tool.by_text("Button", radio)["check"] == 1, 30,
                 f"{radio} to be checked", interval=0.2)
        shots.take(shot, tool)
    # Back to the delete page, which a page change returns to its mode one.
    tab = Rect(tool.tab_control()["screen"])
    s.click(tab.x + 40, tab.y + 11)
    poll(lambda: tool.tab_control()["cursel"] == 0, 30, "the delete page to be shown",
         interval=0.2)
    poll(lambda: tool.by_text("Button", "删除模式一")["check"] == 1, 30,
         "删除模式一 to be checked", interval=0.2)
    log("toured both pages in both modes")


def delete_job(s: Session, tool: Tool, journal: Journal, shots: Shots) -> list[dict]:
    log(f"delete job: mode one, count {DELETE_COUNT}, delay {DELETE_DELAY_MS} ms, F11")
    tool.type_into(tool.edit_right_of("欲删除表情数量："), str(DELETE_COUNT), "欲删除表情数量：")
    tool.type_into(tool.edit_right_of(DELAY_LABEL), str(DELETE_DELAY_MS), DELAY_LABEL)
    shots.take("delete-before", tool)

    since = journal.last_seq()
    tool.park_pointer()
    s.key("F11")
    poll(lambda: of(journal.after(since), "deleted"), RUN_TIMEOUT, "the first deletion",
         interval=0.2)
    shots.take("delete-during", tool)
    poll(lambda: tool.button_caption(FINISHED), RUN_TIMEOUT, f"the caption {FINISHED!r}",
         interval=0.3)
    events = journal.after(since)
    shots.take("delete-after", tool)
    deleted = of(events, "deleted")
    if len(deleted) != DELETE_COUNT:
        raise RuntimeError(f"{len(deleted)} stickers deleted, not {DELETE_COUNT}")
    log(f"delete job over: {', '.join(d['name'] for d in deleted)} deleted")
    return events


def add_job(s: Session, tool: Tool, journal: Journal, shots: Shots, folder: Path) -> list[dict]:
    log("add job: the sample folder through the folder picker, mode one, F11")
    tool.open_add_page()
    tool.choose_folder(folder.name, len(SAMPLES))
    tool.type_into(tool.edit_right_of(DELAY_LABEL), str(ADD_DELAY_MS), DELAY_LABEL)
    shots.take("add-before", tool)

    since = journal.last_seq()
    tool.park_pointer()
    s.key("F11")
    poll(lambda: of(journal.after(since), "added") or of(journal.after(since), "refused"),
         RUN_TIMEOUT, "the first sticker added", interval=0.2)
    shots.take("add-during", tool)
    expected_added = len(SAMPLES) - 1

    def over(events: list[dict]) -> bool:
        return len(of(events, "added")) >= expected_added and len(of(events, "refused")) >= 1 \
            and bool(of(events, "forward closed"))

    # The refusal is shown in a bubble for a few seconds; a missed picture is no failure.
    poll(lambda: of(journal.after(since), "refused"), RUN_TIMEOUT,
         f"the client to refuse {ALREADY_COLLECTED}", interval=0.2)
    try:
        poll(lambda: any("已有此表情" in text for tip in s.tooltips() for text in tip["texts"]),
             10, "the bubble about the refused sticker", interval=0.2)
        shots.take("add-refused", tool)
    except TimeoutError as e:
        log(f"no picture of the refusal: {e}")
    poll(lambda: over(journal.after(since)), RUN_TIMEOUT,
         f"{expected_added} stickers added and {ALREADY_COLLECTED} refused", interval=0.2)
    # The run ends by saying what it did, in a message box.
    s.wait_window(MESSAGE_BOX_TITLE, RUN_TIMEOUT)
    shots.take("add-after", tool)
    tool.add_message = s.dismiss_message_box(MESSAGE_BOX_TITLE)
    log(f"the tool says: {tool.add_message}")
    events = journal.after(since)
    hits = [e["hit"] for e in of(events, "click")]
    for target in ("file_button", "sent_sticker", "add_item"):
        if hits.count(target) != len(SAMPLES):
            raise RuntimeError(f"{hits.count(target)} clicks hit the client's {target}, "
                               f"not {len(SAMPLES)}: {hits}")
    log("add job over")
    return events


def close_both(s: Session, tool: Tool, client: harness.WineProcess) -> None:
    log("closing Pelloram and the practice client")
    s.close_window(TOOL_TITLE)
    code = tool.process.wait(timeout=60)
    if code != 0:
        raise RuntimeError(f"Pelloram ended with exit code {code}")
    log("Pelloram ended with exit code 0")
    s.close_window(CLIENT_TITLE, CLIENT_CLASS)
    client.wait(timeout=60)


def summary(journal: Journal, delete_events: list[dict], add_events: list[dict],
            tool_message: str) -> str:
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

    def names(items: list[dict]) -> str:
        return ", ".join(i["name"] for i in items) or "none"

    return "\n".join([
        "Journal summary (practice client):",
        f"  stickers before: {len(before)}  ({', '.join(before)})",
        f"  deleted:         {len(of(delete_events, 'deleted'))}  "
        f"({names(of(delete_events, 'deleted'))})",
        f"  added:           {len(of(add_events, 'added'))}  ({names(of(add_events, 'added'))})",
        f"  refused:         {len(of(add_events, 'refused'))}  "
        f"({names(of(add_events, 'refused'))}: already collected)",
        f"  stickers after:  {len(after)}  ({', '.join(after)})",
        f"The tool's own message at the end of the add run: {tool_message}",
    ])


def demo(s: Session, out: Path) -> None:
    shots = Shots(s, out)
    folder = s.desktop_dir() / SAMPLE_FOLDER
    make_samples(folder)
    try:
        client, journal, tool = start(s)
        tour(s, tool, shots)
        delete_events = delete_job(s, tool, journal, shots)
        add_events = add_job(s, tool, journal, shots, folder)
        close_both(s, tool, client)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(summary(journal, delete_events, add_events, tool.add_message))
    print("Screenshots (whole screen, and *-tool.png the tool's window alone):")
    for shot in shots.taken:
        print(f"  {shot}")
    print(f"Journal: {journal.path}")


# The README's pictures: docs/<name> <- this run's screenshot, and the scale it is shown at
# (whole-screen shots at three quarters, so they fit a page).
DOCS = REPO_ROOT / "docs"
DOC_PICTURES = {
    "delete-page.png": ("delete-before-tool.png", 100),
    "add-page.png": ("add-before-tool.png", 100),
    "demo-during-delete.png": ("delete-during.png", 75),
    "demo-already-collected.png": ("add-refused.png", 75),
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
