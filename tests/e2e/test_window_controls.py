#!/usr/bin/env python3
"""The tool's own controls as a person meets them: stacking, mode radios, field input, F10 with
its balloon tip, the tab pages, and the flashing radio caption really changing colour on screen."""

import subprocess
import time

import harness
from harness import Expect, Rect, Session, poll

TITLE = "Pelloram  By:Tovrin"

# Declaration order of the controls; a control's window identifier is 1000 + its index.
NAMES = (
    "按钮5 按钮4 标签11 标签19 编辑框13 标签20 编辑框14 标签14 编辑框11 标签18 编辑框12 标签12 "
    "编辑框9 标签13 编辑框10 图片框3 气球提示框2 按钮2 标签9 编辑框8 分组框3 单选框3 单选框4 标签10 "
    "按钮3 时钟1 分组框2 单选框1 单选框2 标签8 标签17 编辑框18 标签15 编辑框16 标签16 编辑框17 "
    "气球提示框1 图片框1 标签1 编辑框1 标签2 编辑框2 图片框2 标签3 编辑框3 标签4 编辑框4 标签5 编辑框5 "
    "标签6 编辑框6 标签7 编辑框7 按钮1 分组框1 高级选择夹1"
).split()
ID = {name: 1000 + i for i, name in enumerate(NAMES)}


def controls(s: Session) -> tuple[dict, dict[str, dict], list[dict]]:
    found = s.inspect(TITLE)
    assert found, f"no window {TITLE!r}"
    top, children = found
    by_id = {c["id"]: c for c in children}
    return top, {name: by_id[i] for name, i in ID.items() if i in by_id}, children


def text_of(s: Session, name: str) -> str:
    return controls(s)[1][name]["text"]


def wait_text(s: Session, name: str, expected: str) -> None:
    poll(lambda: text_of(s, name) == expected, 30, f"{name} to read {expected!r}")


def pixel(shot, x: int, y: int) -> str:
    return subprocess.run(["convert", str(shot), "-format", f"%[pixel:p{{{x},{y}}}]", "info:"],
                          capture_output=True, text=True, check=True).stdout.strip()


def signature(shot, r: Rect) -> str:
    """A hash of the pixels inside r."""
    return subprocess.run(["convert", str(shot), "-crop", f"{r.w}x{r.h}+{r.x}+{r.y}", "+repage",
                           "-format", "%#", "info:"],
                          capture_output=True, text=True, check=True).stdout.strip()


def visible_tips(s: Session) -> list[dict]:
    return [w for w in s.top_windows()
            if w["class"].lower() == "tooltips_class32" and w["visible"]]


def check_structure(e: Expect, c: dict[str, dict], children: list[dict], top: dict) -> None:
    # Real containers, at the form's positions relative to them.
    e.equal(c["高级选择夹1"]["parent"], top["hwnd"], "the tab control sits on the window")
    e.equal(c["分组框2"]["parent"], c["高级选择夹1"]["hwnd"], "分组框2 sits on the tab control")
    e.equal(c["分组框1"]["parent"], c["分组框2"]["hwnd"], "分组框1 sits in 分组框2")
    e.equal(c["编辑框7"]["parent"], c["分组框1"]["hwnd"], "编辑框7 sits in 分组框1")
    e.equal(c["编辑框7"]["rect_parent"], {"x": 142, "y": 188, "w": 62, "h": 32}, "编辑框7 place")
    e.equal(c["按钮5"]["rect_parent"], {"x": 214, "y": 0, "w": 112, "h": 23},
            "按钮5 in the tab strip")
    e.equal(c["分组框1"]["text"], "模式一", "分组框1 caption after start-up")
    e.equal(c["按钮1"]["text"], "F11\r\n开  始", "按钮1 caption")
    # Earlier declared lies above later: the window lists siblings from the top down.
    order: dict[int, list[int]] = {}
    for child in children:
        order.setdefault(child["parent"], []).append(child["id"])
    for parent, ids in order.items():
        e.equal(ids, sorted(ids), f"stacking of the children of window {parent}")
    # Only the delete page shows.
    e.true(c["分组框2"]["visible"] and not c["分组框3"]["visible"], "page 0 shown, page 1 hidden")


def scenario(s: Session) -> None:
    s.start_practice_client()
    tool = s.start(s.build.pelloram)
    s.wait_window(TITLE, timeout=60)
    poll(lambda: not s.try_hotkey(0x7A), 60, "the tool to hold F11")

    e = Expect()
    top, c, children = controls(s)
    check_structure(e, c, children, top)

    # Mode one: the help label lies over the point rows, so a point field does not show.
    field = Rect(c["编辑框1"]["screen"])
    shot = s.screenshot(s.artifacts / "mode-one.png")
    e.true(pixel(shot, *field.center) != "srgb(255,255,255)",
           "the help label hides 编辑框1 in mode one")

    # The checked radio's caption changes colour on screen.
    radio = Rect(c["单选框1"]["screen"])
    caption = Rect({"x": radio.x + 20, "y": radio.y, "w": radio.w - 20, "h": radio.h})
    first = signature(s.screenshot(s.artifacts / "flash.png"), caption)
    poll(lambda: signature(s.screenshot(s.artifacts / "flash.png"), caption) != first, 20,
         "the caption of 单选框1 to change colour")

    # Mode two: a click checks 单选框2 and clears its partner; the label shrinks off the rows.
    s.click(*Rect(c["单选框2"]["screen"]).center)
    poll(lambda: controls(s)[1]["单选框2"]["check"] == 1, 30, "单选框2 to be checked")
    _, c, _ = controls(s)
    e.equal(c["单选框1"]["check"], 0, "单选框1 cleared by the click on its partner")
    e.equal(c["分组框1"]["text"], "模式二", "分组框1 caption in mode two")
    e.equal(c["标签8"]["rect_parent"]["h"], 24, "help label height in mode two")
    shot = s.screenshot(s.artifacts / "mode-two.png")
    e.equal(pixel(shot, *field.center), "srgb(255,255,255)", "编辑框1 shows in mode two")

    # The count field takes digits and "-" only; leaving it rewrites what it denotes.
    count = Rect(c["编辑框7"]["screen"])
    s.click(*count.center)
    s.key("End")
    s.type("x5-y")
    wait_text(s, "编辑框7", "15-")
    s.click(*Rect(c["编辑框18"]["screen"]).center)
    wait_text(s, "编辑框7", "15")

    # F10 captures the pointer into the first point row and confirms in a bubble that goes
    # away by itself.
    at = (field.x - 60, field.y + 100)
    s.move(*at)
    s.key("F10")
    wait_text(s, "编辑框1", str(at[0]))
    wait_text(s, "编辑框2", str(at[1]))
    tip = poll(lambda: visible_tips(s), 30, "the confirmation bubble")[0]
    e.true("表情坐标获取成功" in tip["text"], f"confirmation text, got {tip['text']!r}")
    poll(lambda: not visible_tips(s), 30, "the confirmation bubble to hide by itself")

    # The add page: its controls show, the delete page's hide, add mode one is set up.
    tab = Rect(c["高级选择夹1"]["screen"])
    s.click(tab.x + 130, tab.y + 10)
    poll(lambda: controls(s)[1]["单选框3"]["visible"], 30, "the add page to show")
    _, c, _ = controls(s)
    e.true(not c["分组框2"]["visible"], "the delete page is hidden")
    e.equal(c["高级选择夹1"]["cursel"], 1, "current page")
    e.equal((c["单选框3"]["check"], c["单选框4"]["check"]), (1, 0), "add mode one checked")
    s.screenshot(s.artifacts / "add-page.png")
    e.check()

    s.close_window(TITLE)
    code = tool.wait(timeout=30)
    if code != 0:
        raise AssertionError(f"the tool ended with exit code {code}, expected 0")


if __name__ == "__main__":
    harness.main(scenario)
