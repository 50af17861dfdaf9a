#!/usr/bin/env python3
"""The real tool opens its fixed, centred main window and ends with exit code 0 when closed.

At every display scale (--dpi; 96 is 100 %) the window is as many times larger as the scale:
its outer size, and every control where the form of this build (form_export.exe) puts it with
each edge scaled, give or take a pixel (exactly at 100 %). Every caption is drawn inside its
control, in each page and mode: its ink, drawn with the font the window gives the control, lies
within the control's client area, or, where the form already lets it reach out at 100 %, no
further out than there, scaled. Message boxes and a balloon tip that points at a control are
readable: their text fits their windows, and the tip points at the control's middle.

Screenshots of the window in each page and mode go to the artifacts folder.

With --archive ZIP --version X.Y.Z it runs the tool unpacked from the release archive instead,
after checking the archive (release_archive.py)."""

import argparse
import shutil
import tempfile
from pathlib import Path

import harness
import release_archive
import test_window_controls as window
from harness import SCREEN, Expect, Rect, Session, poll, scaled

TITLE = "Pelloram  By:Tovrin"
SIZE = (338, 370)
CLIENT_MISSING = "未获取到微信！请打开微信后重新开启程序！"
MESSAGE_TITLE = "信息："
THANKS_TITLE = window.THANKS_TITLE

FW_NORMAL, FW_BOLD = 400, 700
# A push button's raised frame, which the system draws as thick at any scale.
BUTTON_EDGE = 2
# The tool's balloon tips wrap at this width at 100 % (services/balloon_tips_win32.cpp).
TIP_MAX_WIDTH = 420
DELAY_WARNING_START = "点击延时"


def truncated_half(n: int) -> int:
    """n / 2 rounded toward zero, as C++ divides (DrawText centres this way too)."""
    return n // 2 if n >= 0 else -((-n) // 2)


def points_to_px(points: int) -> int:
    """MulDiv(points, 96, 72): a label's font size in points as pixels at 100 %."""
    return (points * 96 + 36) // 72


# --------------------------------------------------------------------------------------------
# Captions: how the window draws each one, and whether its ink stays inside


class Caption:
    """One caption as the window draws it at the session's scale and at 100 %: its text, the
    font height, and the area it is drawn in."""

    def __init__(self, name: str, layout: str, text: str, px: int, px96: int,
                 area: tuple[int, int], area96: tuple[int, int], wrap: bool = False,
                 indent: int = 0, indent96: int = 0) -> None:
        self.name, self.layout, self.text = name, layout, text
        self.px, self.px96 = px, px96
        self.area, self.area96 = area, area96
        self.wrap = wrap
        self.indent, self.indent96 = indent, indent96

    def items(self) -> list[tuple[str, int, str]]:
        """What to measure: the caption at this scale and at 100 %."""
        return [(f"px:{self.px}:{FW_BOLD}", self.area[0] if self.wrap else 0, self.text),
                (f"px:{self.px96}:{FW_BOLD}", self.area96[0] if self.wrap else 0, self.text)]

    def overflow(self, extent: dict, area: tuple[int, int], indent: int) -> int:
        """How many pixels of ink lie outside the area, as the window lays the text out."""
        ink = extent["ink"]
        if ink["w"] == 0:
            return 0
        width, height = area
        cell_w, cell_h = extent["w"], extent["h"]
        left = {"left": indent, "centre": truncated_half(width - cell_w)}[self.layout]
        top = truncated_half(height - cell_h)  # every caption here is centred vertically
        x0, y0 = left + ink["x"], top + ink["y"]
        return max(0, -x0, x0 + ink["w"] - width, -y0, y0 + ink["h"] - height)


def help_mode(form: window.Form, want: window.State, name: str) -> dict | None:
    """The mode that set a help label: the checked radio whose mode names it."""
    return next((form.modes[r] for r in form.radios()
                 if want.check.get(r) and form.modes[r]["help"] == name), None)


def captions(s: Session, form: window.Form, scaled_form: dict[str, dict], c: dict[str, dict],
             want: window.State) -> list[Caption]:
    """The captions shown on the current page, each with its area at this scale and at 100 %
    (the form's size less the control's frame, which the system draws alike at any scale)."""
    found = []
    for name in form.with_window():
        ctl, row = c.get(name), form.controls[name]
        page = form.page_of(name)
        if ctl is None or not (page is None or page == want.page):
            continue
        text = ctl["text"]
        kind = row["control"]
        area = (ctl["client_w"], ctl["client_h"])
        frame = (ctl["rect"]["w"] - area[0], ctl["rect"]["h"] - area[1])
        area96 = (want.rect[name]["w"] - frame[0], want.rect[name]["h"] - frame[1])
        px, px96 = scaled_form[name]["font_px"], row["font_px"]
        if kind == "label" and text:
            mode = help_mode(form, want, name)
            wrap = row["word_wrap"]
            if mode is not None:
                px96 = points_to_px(mode["help_font_pt"])
                px, wrap = scaled(px96, s.dpi), mode["word_wrap"]
            line = scaled(1, s.dpi) if row["border"] else 0  # the thicker line is drawn inside
            inside = (area[0] - 2 * max(0, line - 1), area[1] - 2 * max(0, line - 1))
            found.append(Caption(name, row["align"], text, px, px96, inside, area96, wrap=wrap))
        elif kind == "button":
            edge = 2 * BUTTON_EDGE
            found.append(Caption(name, "centre", text, px, px96, (area[0] - edge, area[1] - edge),
                                 (area96[0] - edge, area96[1] - edge), wrap=True))
        elif kind == "radio":
            # Only the part inside its container shows; the glyph comes before the text, as
            # wide as the system draws it at this scale, and half a digit's gap after it.
            container = c.get(row["container"])
            visible = (min(area[0], container["client_w"] - ctl["rect_parent"]["x"]) if container
                       else area[0])
            visible96 = min(area96[0], form.controls[row["container"]]["rect"]["w"]
                            - want.rect[name]["x"])
            glyph, glyph96 = 12 * s.dpi // 96 + 1, 13
            found.append(Caption(name, "left", text, px, px96, (visible, area[1]),
                                 (visible96, area96[1]), indent=glyph + px // 4,
                                 indent96=glyph96 + px96 // 4))
        elif kind == "group" and text:
            # The caption sits on the frame's top line, centred, as high as its own line.
            found.append(Caption(name, "centre", text, px, px96, (area[0], 2 * px),
                                 (area96[0], 2 * px96)))
        elif kind in ("edit", "integer_edit"):
            found.append(Caption(name, "centre", text or "0", px, px96, area, area96))
    return found


def check_captions(s: Session, e: Expect, form: window.Form, scaled_form: dict[str, dict],
                   c: dict[str, dict], want: window.State, step: str) -> None:
    shown = captions(s, form, scaled_form, c, want)
    items = [item for caption in shown for item in caption.items()]
    extents = s.text_extents(items)
    for k, caption in enumerate(shown):
        now, then = extents[2 * k], extents[2 * k + 1]
        out = caption.overflow(now, caption.area, caption.indent)
        out96 = caption.overflow(then, caption.area96, caption.indent96)
        allowed = scaled(out96, s.dpi) + 1 if out96 > 0 else 0
        e.true(out <= allowed,
               f"{step}: the caption of {caption.name} {caption.text!r} reaches {out} px out of "
               f"its {caption.area[0]} x {caption.area[1]} px (ink {now['ink']}, cell "
               f"{now['w']} x {now['h']}, font {caption.px} px); at 100 % {out96} px")

    # The tabs: each caption within its tab, and the tabs clear of the thanks button that
    # lies at the strip's right end.
    tab = c[window.TAB]
    tab_px = scaled_form[window.TAB]["font_px"]
    texts = s.text_extents([(f"px:{tab_px}:{FW_BOLD}", 0, t) for t in tab["tabs"]])
    thanks = c["DeleteThanksButton" if want.page == 0 else "AddThanksButton"]["rect_parent"]
    for caption, extent, item in zip(tab["tabs"], texts, tab["tab_rects"]):
        e.true(extent["w"] <= item["w"] and extent["h"] <= item["h"],
               f"{step}: tab {caption!r} ({extent['w']} x {extent['h']}) fits its tab {item}")
        e.true(item["x"] + item["w"] <= thanks["x"],
               f"{step}: tab {caption!r} {item} clear of the thanks button {thanks}")


# --------------------------------------------------------------------------------------------
# Where the window and its controls are


def check_layout(s: Session, e: Expect, form: window.Form, c: dict[str, dict], top: dict,
                 want: window.State, step: str) -> None:
    """Every control where the form puts it, scaled; siblings that lie apart at 100 % apart on
    the screen; the tab control inside the window's client area."""
    now = Expect()
    window.check_state(now, c, top, want, s.dpi)
    e.failures.extend(f"{step}: {f}" for f in now.failures)
    shown = [n for n in form.with_window() if n in c and c[n]["visible"]]
    for i, a in enumerate(shown):
        for b in shown[i + 1:]:
            if c[a]["parent"] != c[b]["parent"] or overlap(want.rect[a], want.rect[b]):
                continue
            e.true(not overlap(c[a]["rect_parent"], c[b]["rect_parent"]),
                   f"{step}: {a} {c[a]['rect_parent']} and {b} {c[b]['rect_parent']} overlap")
    tab = c[window.TAB]["rect_parent"]
    client = Rect(top["client"])
    e.true(tab["x"] + tab["w"] <= client.w and tab["y"] + tab["h"] <= client.h,
           f"{step}: the tab control {tab} inside the window's client area {client}")


def overlap(a: dict, b: dict) -> bool:
    return (max(a["x"], b["x"]) < min(a["x"] + a["w"], b["x"] + b["w"]) and
            max(a["y"], b["y"]) < min(a["y"] + a["h"], b["y"] + b["h"]))


def check_step(s: Session, e: Expect, form: window.Form, scaled_form: dict[str, dict],
               want: window.State, step: str) -> dict[str, dict]:
    """The window in this state: laid out and readable; a screenshot of it for people."""
    def matches():
        top, c, _ = window.controls(s)
        now = Expect()
        window.check_state(now, c, top, want, s.dpi)
        return (top, c) if not now.failures else None

    try:
        top, c = poll(matches, 30, f"the window {step}")
    except TimeoutError:
        top, c, _ = window.controls(s)
    check_layout(s, e, form, c, top, want, step)
    check_captions(s, e, form, scaled_form, c, want, step)
    window.window_shot(s, top, step.replace(" ", "-"))
    return c


# --------------------------------------------------------------------------------------------
# Message boxes and balloon tips


def check_message_box(s: Session, e: Expect, title: str) -> str:
    """The box's text fits its text field, drawn in the system's message font as the field
    wraps it, and its button's caption fits the button. Returns the text."""
    top, children = poll(lambda: s.inspect(title, "#32770"), 30, f"message box {title!r}")
    statics = [w for w in children if w["class"].lower() == "static" and w["text"]]
    buttons = [w for w in children if w["class"].lower() == "button" and w["visible"]]
    items = [("message", w["client_w"], w["text"]) for w in statics]
    items += [("message", 0, w["text"]) for w in buttons]
    extents = s.text_extents(items)
    client = Rect(top["client"])
    for w, extent in zip(statics + buttons, extents):
        room = (w["client_w"], w["client_h"])
        if w in buttons:
            room = (room[0] - 2 * BUTTON_EDGE, room[1] - 2 * BUTTON_EDGE)
        ink = extent["ink"]
        e.true(extent["w"] <= room[0] and extent["h"] <= room[1] and
               ink["x"] + ink["w"] <= room[0] and ink["y"] + ink["h"] <= room[1],
               f"{title!r}: {w['text']!r} ({extent['w']} x {extent['h']}, ink {ink}) fits "
               f"its {room[0]} x {room[1]} px")
        r = w["rect_parent"]
        e.true(r["x"] >= 0 and r["y"] >= 0 and r["x"] + r["w"] <= client.w and
               r["y"] + r["h"] <= client.h,
               f"{title!r}: {w['text']!r} {r} inside the box's client area {client}")
    return "\n".join(w["text"] for w in statics)


def check_delay_warning(s: Session, e: Expect, c: dict[str, dict]) -> None:
    """A delay that is no number, and a start: the warning points at the delay field's
    middle, and its bubble is larger than its text."""
    field = c["DeleteDelay"]
    window.click(s, c, "DeleteDelay")
    s.key("End", "shift+Home")
    s.type("abc")
    window.wait_text(s, "DeleteDelay", "abc")
    window.click(s, c, "DeleteStartButton")
    tips = poll(lambda: [t for t in s.tooltips()
                         if any(DELAY_WARNING_START in x for x in t["texts"])],
                30, "the delay warning")
    tip = tips[0]
    text = next(x for x in tip["texts"] if DELAY_WARNING_START in x)
    # The tip draws in the system's tooltip font made for the window's scale.
    extent = s.text_extents([(f"status:{s.dpi}", scaled(TIP_MAX_WIDTH, s.dpi), text)])[0]
    bubble = Rect(tip["rect"])
    e.true(bubble.w > extent["w"] and bubble.h > extent["h"],
           f"the warning's bubble {bubble} is larger than its text ({extent['w']} x {extent['h']})")
    # The bubble's stem ends at the point it was given: on its top or bottom edge.
    cx, cy = Rect(field["screen"]).center
    e.true(bubble.x <= cx <= bubble.x + bubble.w and
           min(abs(bubble.y - cy), abs(bubble.y + bubble.h - cy)) <= 2,
           f"the warning's bubble {bubble} points at the middle of DeleteDelay ({cx}, {cy})")
    s.screenshot(s.artifacts / "delay-warning.png")
    poll(lambda: not s.tooltips(), 30, "the warning to go by itself")


def check_thanks_box(s: Session, e: Expect, c: dict[str, dict]) -> None:
    window.click(s, c, "DeleteThanksButton")
    s.wait_window(THANKS_TITLE, timeout=30)
    check_message_box(s, e, THANKS_TITLE)
    s.screenshot(s.artifacts / "thanks-box.png")
    s.dismiss_message_box(THANKS_TITLE)


# --------------------------------------------------------------------------------------------


def scenario(s: Session, exe: Path | None = None) -> None:
    tool = s.start(exe or s.build.pelloram)

    # No chat client is running, so the tool says so before its window is usable.
    s.wait_window(MESSAGE_TITLE, timeout=60)
    readable = Expect()
    check_message_box(s, readable, MESSAGE_TITLE)
    said = s.dismiss_message_box(MESSAGE_TITLE, timeout=60)
    if said != CLIENT_MISSING:
        raise AssertionError(f"message box said {said!r}, expected {CLIENT_MISSING!r}")

    s.wait_window(TITLE, timeout=60)
    found = s.inspect(TITLE)
    assert found, f"inspect.exe finds no window titled {TITLE!r}"
    top, _ = found
    rect = harness.Rect(top["rect"])

    e = Expect()
    e.equal(top["text"], TITLE, "caption")
    if s.dpi == harness.BASE_DPI:
        e.equal((rect.w, rect.h), SIZE, "outer size")
        e.near(rect.x, (SCREEN[0] - SIZE[0]) / 2, 1, "left edge (centred)")
        e.near(rect.y, (SCREEN[1] - SIZE[1]) / 2, 1, "top edge (centred)")
    else:
        size = (scaled(SIZE[0], s.dpi), scaled(SIZE[1], s.dpi))
        e.near(rect.w, size[0], 1, f"outer width at {s.dpi} dpi")
        e.near(rect.h, size[1], 1, f"outer height at {s.dpi} dpi")
        e.near(rect.x, (s.screen[0] - size[0]) / 2, 1, "left edge (centred)")
        e.near(rect.y, (s.screen[1] - size[1]) / 2, 1, "top edge (centred)")
    e.true(top["caption"], "has a title bar")
    e.true(top["sysmenu"], "has a system menu")
    e.true(top["minimizebox"], "has a minimise box")
    e.true(not top["maximizebox"], "has no maximise box")
    e.true(not top["thickframe"], "frame is fixed (no sizing border)")
    e.true(not top["topmost"], "is not kept on top")
    e.true(top["visible"] and not top["iconic"], "is shown, not minimised")
    e.true(tool.running(), "the tool is still running")
    e.check()

    s.screenshot(s.artifacts / "main-window.png")

    # ---- Laid out and readable at this scale, in every page and mode.
    e = readable
    form = window.Form(s.exported_form())
    exported = s.exported_form(s.dpi)
    # Both exports list the controls in declaration order.
    scaled_form = dict(zip(form.names, [line for line in exported if line["kind"] == "control"]))
    window_line = next(line for line in exported if line["kind"] == "window")
    e.equal((window_line["width"], window_line["height"]),
            (scaled(SIZE[0], s.dpi), scaled(SIZE[1], s.dpi)), "the form's window at this scale")

    want = window.started(form)
    try:
        c = check_step(s, e, form, scaled_form, want, "delete mode one")
        check_delay_warning(s, e, c)
        want.text["DeleteDelay"] = "abc"
        check_thanks_box(s, e, c)

        window.click(s, c, "DeleteModeTwoRadio")
        want.click_radio("DeleteModeTwoRadio")
        c = check_step(s, e, form, scaled_form, want, "delete mode two")

        s.click(*window.tab_point(c, 1))
        want.switch_page(1)
        c = check_step(s, e, form, scaled_form, want, "add mode one")

        window.click(s, c, "AddModeTwoRadio")
        want.click_radio("AddModeTwoRadio")
        check_step(s, e, form, scaled_form, want, "add mode two")
    except Exception:
        if e.failures:  # what was found wrong before the step that could not go on
            harness.log("\n  ".join(["mismatches so far:", *e.failures]))
        raise

    s.close_window(TITLE)
    code = tool.wait(timeout=20)
    if code != 0:
        raise AssertionError(f"the tool ended with exit code {code}, expected 0")
    e.check()


if __name__ == "__main__":
    options = argparse.ArgumentParser(add_help=False)
    options.add_argument("--archive", type=Path)
    options.add_argument("--version")
    args, rest = options.parse_known_args()
    if not args.archive:
        harness.main(scenario, argv=rest)
    else:
        unpacked = Path(tempfile.mkdtemp(prefix="pelloram-release-"))
        try:
            harness.main(lambda s: scenario(s, release_archive.unpack(args.archive, args.version,
                                                                      unpacked)),
                         name="main_window_packaged", argv=rest)
        finally:
            shutil.rmtree(unpacked, ignore_errors=True)