#!/usr/bin/env python3
"""The practice client as a test stand-in that looks and moves like the chat client: it starts
where and as big as asked and lays itself out for that size, moves and resizes itself right
after the journal event asked for, and the newer generation shows its menus and its sticker
panel as windows of their own. client_probe.exe clicks it through the tool's client layer.

The screenshots (artifacts: practice-sized.png, practice-panel.png, practice-resized.png)
show the pictures: the smiling face, heart and folder on a grained toolbar, one image a sticker."""

from __future__ import annotations

from typing import Callable

import harness
from harness import CLIENT_CLASS, CLIENT_TITLE, Expect, Session, poll
from test_client_layer import PAUSE, Prober

QT_MAIN = "Qt51514QWindowIcon"
QT_MENU = "Qt51514QWindowToolSaveBits"


def points(height: int) -> dict[str, tuple[int, int]]:
    """Client points of the controls at a window height, as the client lays itself out: the
    toolbar hangs on the bottom, the panel on the sticker button; at 647 the built-in points."""
    first = (175, height - 437)
    return {"sticker_panel": (340, height - 122), "collected_tab": (220, height - 187),
            "first_sticker": first, "delete_item": (first[0] + 38, first[1] + 49)}


def clicks(*steps: tuple[str, str]) -> list[str]:
    """Probe steps: a click per (control, button) at the points of `steps`' own height."""
    out: list[str] = []
    for (x, y), button in steps:
        out += ["wait", PAUSE, "click", str(x), str(y), button]
    return out


def rect_of(s: Session, title: str, cls: str) -> dict:
    found = s.inspect(title, cls)
    if not found:
        raise AssertionError(f"no window {title!r} of class {cls}")
    return found[0]["rect"]


def sized_placed_then_moved_and_resized_after_deletions(s: Session) -> None:
    _, journal = s.start_practice_client("--stickers", "5", "--size", "1100", "760",
                                         "--pos", "150", "90",
                                         "--move-after", "deleted:1", "40", "30",
                                         "--resize-after", "deleted:2", "800", "600")
    poll(journal.events, 60, "the practice client's start line")
    e = Expect()
    e.equal(rect_of(s, CLIENT_TITLE, CLIENT_CLASS), {"x": 150, "y": 90, "w": 1100, "h": 760},
            "the window where and as big as asked")
    s.screenshot(s.artifacts / "practice-sized.png")

    probe = Prober(s)
    at = points(760)
    seen = journal.last_seq()
    probe(*clicks((at["sticker_panel"], "left"), (at["collected_tab"], "left")))
    hits = [c["hit"] for c in journal.wait_count(seen, "click", 2)]
    e.equal(hits, ["sticker_panel", "collected_tab"], "the toolbar and panel laid out for 760")
    s.screenshot(s.artifacts / "practice-panel.png")

    # The first deletion moves the window; the probe finds it where it went for the second.
    seen = journal.last_seq()
    probe(*clicks((at["first_sticker"], "right"), (at["delete_item"], "left")))
    journal.wait_count(seen, "deleted", 1)
    moved = journal.wait_count(seen, "moved", 1)[0]
    e.equal((moved["x"], moved["y"]), (40, 30), "the move journaled")
    e.equal(rect_of(s, CLIENT_TITLE, CLIENT_CLASS), {"x": 40, "y": 30, "w": 1100, "h": 760},
            "moved after the first deletion, its size kept")

    seen = journal.last_seq()
    probe(*clicks((at["first_sticker"], "right"), (at["delete_item"], "left")))
    resized = journal.wait_count(seen, "resized", 1)[0]
    e.equal((resized["width"], resized["height"]), (800, 600), "the resize journaled")
    e.equal(rect_of(s, CLIENT_TITLE, CLIENT_CLASS), {"x": 40, "y": 30, "w": 800, "h": 600},
            "resized after the second deletion, where it was")
    e.equal([d["name"] for d in journal.of(0, "deleted")], ["sticker01.gif", "sticker02.gif"],
            "the two deletions")

    # Laid out again: the sticker button now sits 122 above the new bottom.
    seen = journal.last_seq()
    probe(*clicks((points(600)["sticker_panel"], "left")))
    e.equal(journal.wait_count(seen, "click", 1)[0]["hit"], "sticker_panel",
            "the sticker button found at its new place")
    s.screenshot(s.artifacts / "practice-resized.png")
    e.check()


def newer_menu_and_panel_are_windows_of_their_own(s: Session) -> None:
    _, journal = s.start_practice_client("--generation", "newer", "--stickers", "3",
                                         "--pos", "100", "80")
    poll(journal.events, 60, "the practice client's start line")
    main = s.inspect(CLIENT_TITLE, QT_MAIN)
    assert main, "the newer client's main window"
    at = points(647)
    seen = journal.last_seq()
    Prober(s)(*clicks((at["sticker_panel"], "left"), (at["collected_tab"], "left"),
                      (at["first_sticker"], "right")))
    journal.wait_count(seen, "click", 3)

    def popups() -> list[dict]:
        return [w for w in s.top_windows()
                if w["visible"] and w["owner"] == main[0]["hwnd"]]

    shown = poll(lambda: len(popups()) >= 2 and popups(), 30, "the panel and the menu")
    s.screenshot(s.artifacts / "newer-menu.png")
    menus = [w for w in shown if w["class"] == QT_MENU]
    e = Expect()
    e.equal([m["text"] for m in menus], ["Weixin"], "one menu window titled Weixin")
    menu = menus[0]["rect"] if menus else {}
    e.equal((menu.get("x"), menu.get("y")), (100 + at["first_sticker"][0] + 10,
                                             80 + at["first_sticker"][1] + 10),
            "the menu at the right-clicked point")
    panels = [w for w in shown if w["class"] != QT_MENU]
    panel = panels[0]["rect"] if panels else {}
    e.true(bool(panel) and panel["y"] + panel["h"] <= 80 + 511,
           f"the panel a popup above the sticker button: {panel}")

    seen = journal.last_seq()
    Prober(s)(*clicks((at["delete_item"], "left")))
    deleted = journal.wait_count(seen, "deleted", 1)[0]
    e.equal(deleted["name"], "sticker01.gif", "the delete item of the menu window deletes")
    e.check()


SCENARIOS: list[Callable[[Session], None]] = [
    sized_placed_then_moved_and_resized_after_deletions,
    newer_menu_and_panel_are_windows_of_their_own,
]


if __name__ == "__main__":
    harness.run_scenarios("practice_client", SCENARIOS)
