#!/usr/bin/env python3
"""The tool's own window as a person meets it, read back control by control after every step:
the layout of both pages, the mode radios and help labels, field input and the derived point,
F10 with its balloon tip, the tab pages resetting each other, the thank-you message, and the
flashing radio caption really changing colour on screen. What each control should show comes
from the form and modes this build was made with (form_export.exe), so the test checks that the
real window shows them, not that they equal a copy kept here.

Screenshots of the window in each page and mode go to the artifacts folder. At a display scale
other than 100 % (--dpi) every control must lie where the form puts it times the scale, give or
take a pixel."""

from __future__ import annotations

import subprocess

import harness
from harness import Expect, Rect, Session, poll

TITLE = harness.TOOL_TITLE
THANKS_TITLE = "非常感谢"

# --------------------------------------------------------------------------------------------
# The form and its modes, as this build has them (form_export.exe): every control's kind,
# container, page, rectangle and text as the window opens (before start-up applies the delete
# page's mode one), and what each mode radio writes.

TAB = "JobPages"
WINDOW = "window"
KINDS = {"edit": "edit", "integer_edit": "edit", "label": "static", "picture": "static",
         "radio": "radio", "group": "group", "button": "button", "tab": "tab",
         "timer": "windowless", "balloon_tip": "windowless"}


class Form:
    """The exported form by the controls' role names, in declaration order."""

    def __init__(self, lines: list[dict]) -> None:
        ids = harness.control_ids()
        names = sorted(ids, key=ids.get)  # declaration order: a control's index is its place

        def name(index: int) -> str:
            return WINDOW if index < 0 else names[index]

        self.window = next(line for line in lines if line["kind"] == "window")
        self.controls: dict[str, dict] = {}
        for line in lines:
            if line["kind"] == "control":
                self.controls[name(line["index"])] = dict(line, container=name(line["container"]))
        self.modes: dict[str, dict] = {}
        for line in lines:
            if line["kind"] == "mode":
                self.modes[name(line["radio"])] = dict(
                    line, group=name(line["group"]), help=name(line["help"]),
                    delay=name(line["delay"]))
        missing = set(names) - set(self.controls) - {"MainWindow"}  # the window has no row
        if missing or not self.modes:
            raise RuntimeError(f"form_export.exe left out {sorted(missing)} or the modes")
        self.names = list(self.controls)
        self.ids = ids

    def kind(self, name: str) -> str:
        return KINDS[self.controls[name]["control"]]

    def with_window(self) -> list[str]:
        return [n for n in self.names if self.kind(n) != "windowless"]

    def edits(self) -> list[str]:
        return [n for n in self.names if self.kind(n) == "edit"]

    def page_of(self, name: str) -> int | None:
        """The page a control shows on, following its containers up to the tab control."""
        while name not in (TAB, WINDOW):
            control = self.controls[name]
            if control["container"] == TAB:
                return control["page"]
            name = control["container"]
        return None

    def radios(self) -> list[str]:
        return [n for n in self.names if self.kind(n) == "radio"]

    def partner(self, radio: str) -> str:
        """The other radio of the same container: one of the pair is checked."""
        mine = self.controls[radio]
        return next(n for n in self.radios() if n != radio and
                    (self.controls[n]["container"], self.controls[n]["page"]) ==
                    (mine["container"], mine["page"]))

    def first_mode(self, page: int) -> str:
        """The radio checked in the form among a page's: the mode the page opens in."""
        return next(r for r in self.radios()
                    if self.page_of(r) == page and self.controls[r]["checked"])


THANKS = ("很荣幸您能点开打赏！\r\n您能点开打赏说明我的小作品\r\n能给您带来微小的帮助！\r\n其实作为一个菜鸟！\r\n"
          "我只是想做一些自己有用的\r\n小东西分享给Zellora的朋友们！\r\n您能点开这里就是对我最大\r\n"
          "鼓励！希望您也能秉承Zellora\r\n的分享精神！为Zellora增添色彩！\r\n再次感谢！您的支持就是对我最大的\r\n"
          "鼓励！\r\n" + " " * 25 + "By:Tovrin")

# Window classes and the style bits that make each kind what it is.
BS_TYPEMASK, BS_GROUPBOX, BS_RADIOBUTTON, BS_AUTORADIOBUTTON = 0xF, 0x7, 0x4, 0x9
ES_CENTER, WS_BORDER, WS_EX_CLIENTEDGE = 0x1, 0x00800000, 0x200


class State:
    """What the window should show: per control its rectangle in its container, its text and
    (radios) its check state; plus the current page."""

    def __init__(self, form: Form) -> None:
        self.form = form
        self.page = 0
        self.rect = {n: dict(c["rect"]) for n, c in form.controls.items()}
        # Pictures have no text to check.
        self.text = {n: None if c["control"] == "picture" else c["text"]
                     for n, c in form.controls.items()}
        self.check = {r: int(form.controls[r]["checked"]) for r in form.radios()}

    # The window's own rules, written from what a person sees after each action.

    def select_mode(self, radio: str) -> None:
        """What choosing a mode shows: its frame caption and help, the delay back at 500, and
        in mode one every field empty (and on the delete page the count back at 1)."""
        mode = self.form.modes[radio]
        self.text[mode["group"]] = mode["caption"]
        self.rect[mode["help"]]["h"] = mode["help_height"]
        self.text[mode["help"]] = mode["help_text"]
        if mode["clears_fields"]:
            for name in self.form.edits():
                self.text[name] = ""
        if mode["resets_count"]:
            self.text["DeleteCount"] = "1"
        self.text[mode["delay"]] = "500"

    def click_radio(self, radio: str) -> None:
        self.check[radio], self.check[self.form.partner(radio)] = 1, 0
        self.select_mode(radio)

    def switch_page(self, page: int) -> None:
        """A page shown starts in its first mode, with every other radio cleared."""
        self.page = page
        shown = self.form.first_mode(page)
        self.check = {r: int(r == shown) for r in self.form.radios()}
        self.select_mode(shown)


def started(form: Form) -> State:
    """Right after start-up: the form with the delete page's first mode applied."""
    s = State(form)
    s.select_mode(form.first_mode(0))
    return s


# --------------------------------------------------------------------------------------------
# Reading the window


def controls(s: Session) -> tuple[dict, dict[str, dict], list[dict]]:
    found = s.inspect(TITLE)
    assert found, f"no window {TITLE!r}"
    top, children = found
    return top, harness.controls_by_name(children), children


def text_of(s: Session, name: str) -> str:
    return controls(s)[1][name]["text"]


def wait_text(s: Session, name: str, expected: str) -> None:
    poll(lambda: text_of(s, name) == expected, 30, f"{name} to read {expected!r}")


def check_place(e: Expect, actual: dict, form_rect: dict, dpi: int, what: str) -> None:
    """A control's rectangle in its container against where the form puts it: exactly at 100 %,
    each edge scaled at another scale, give or take a pixel."""
    if dpi == harness.BASE_DPI:
        e.equal(actual, form_rect, what)
        return
    want = harness.scaled_rect(form_rect, dpi)
    if any(abs(actual[k] - want[k]) > 1 for k in ("x", "y", "w", "h")):
        e.failures.append(f"{what}: expected {want!r} ± 1 ({form_rect!r} at 100 %), got {actual!r}")


def check_state(e: Expect, c: dict[str, dict], top: dict, want: State,
                dpi: int = harness.BASE_DPI) -> None:
    """Every control against `want`: container, rectangle (at the display's scale), text, check
    state, visibility."""
    hwnd_of = {name: ctl["hwnd"] for name, ctl in c.items()}
    hwnd_of["window"] = top["hwnd"]
    form = want.form
    missing = [n for n in form.with_window() if n not in c]
    e.true(not missing, f"controls without a window: {missing}")
    for name in form.with_window():
        if name not in c:
            continue
        ctl = c[name]
        container = form.controls[name]["container"]
        e.equal(ctl["parent"], hwnd_of.get(container), f"container of {name}")
        check_place(e, ctl["rect_parent"], want.rect[name], dpi, f"place of {name}")
        if want.text[name] is not None:
            e.equal(ctl["text"], want.text[name], f"text of {name}")
        if name in want.check:
            e.equal(ctl["check"], want.check[name], f"check of {name}")
        page = form.page_of(name)
        shown = page is None or page == want.page
        e.equal(ctl["visible"], shown, f"{name} {'shown' if shown else 'hidden'}")
        e.true(ctl["enabled"], f"{name} enabled")
    e.equal(c[TAB]["cursel"], want.page, "current page")


def check_kinds(e: Expect, form: Form, c: dict[str, dict], children: list[dict]) -> None:
    """Window classes and kinds, the tab captions, and the stacking of siblings."""
    for name, ctl in c.items():
        cls, style = ctl["class"].lower(), ctl["style"]
        kind = form.kind(name)
        if kind == "edit":
            e.equal(cls, "edit", f"class of {name}")
            e.true(style & ES_CENTER, f"{name} centres its text")
            e.true(ctl["exstyle"] & WS_EX_CLIENTEDGE, f"{name} has a sunken border")
        elif kind == "static":
            e.equal(cls, "static", f"class of {name}")
            e.equal(bool(style & WS_BORDER), form.controls[name]["border"], f"border of {name}")
        elif kind == "radio":
            e.equal(cls, "button", f"class of {name}")
            e.true((style & BS_TYPEMASK) in (BS_RADIOBUTTON, BS_AUTORADIOBUTTON),
                   f"{name} is a radio")
        elif kind == "group":
            e.equal(cls, "button", f"class of {name}")
            e.equal(style & BS_TYPEMASK, BS_GROUPBOX, f"{name} is a group box")
        elif kind == "button":
            e.equal(cls, "button", f"class of {name}")
            e.true((style & BS_TYPEMASK) in (0, 1), f"{name} is a push button")
    e.equal(c[TAB]["class"].lower(), "systabcontrol32", "class of the tab control")
    e.equal(c[TAB]["tabs"], form.window["pages"], "tab captions")
    e.equal(sorted(c), sorted(form.with_window()), "one window per control")
    e.equal(len(children), len(c), "no windows beyond the form's controls")
    # Earlier declared lies above later: the window lists siblings from the top down.
    order: dict[int, list[int]] = {}
    for child in children:
        order.setdefault(child["parent"], []).append(child["id"])
    for parent, ids in order.items():
        e.equal(ids, sorted(ids), f"stacking of the children of window {parent}")


# --------------------------------------------------------------------------------------------
# The screen


def convert(*args: str) -> str:
    return subprocess.run(["convert", *args], capture_output=True, text=True,
                          check=True).stdout.strip()


def pixel(shot, x: int, y: int) -> str:
    return convert(str(shot), "-format", f"%[pixel:p{{{x},{y}}}]", "info:")


def crop(r: Rect) -> list[str]:
    return ["-crop", f"{r.w}x{r.h}+{r.x}+{r.y}", "+repage"]


def signature(shot, r: Rect) -> str:
    """A hash of the pixels inside r."""
    return convert(str(shot), *crop(r), "-format", "%#", "info:")


def has_colour(shot, r: Rect, rgb: tuple[int, int, int]) -> bool:
    """Whether some pixel inside r has (nearly) this colour: text drawn in it."""
    colour = "rgb({},{},{})".format(*rgb)
    mean = convert(str(shot), *crop(r), "-fuzz", "10%", "-fill", "black", "+opaque", colour,
                   "-fill", "white", "-opaque", colour, "-format", "%[fx:mean]", "info:")
    return float(mean) > 0.0


def window_shot(s: Session, top: dict, name: str):
    """The screen, and the tool's window cut out of it as <name>.png for people to look at."""
    full = s.screenshot(s.artifacts / "screen.png")
    convert(str(full), *crop(Rect(top["rect"])), str(s.artifacts / f"{name}.png"))
    return full


def tab_point(c: dict[str, dict], page: int) -> tuple[int, int]:
    """The middle of a page's tab (the tabs lie left of DeleteThanksButton, which sits at the
    right end of the strip)."""
    tab = Rect(c[TAB]["screen"])
    item = Rect(c[TAB]["tab_rects"][page])
    return tab.x + item.x + item.w // 2, tab.y + item.y + item.h // 2


def click(s: Session, c: dict[str, dict], name: str) -> None:
    s.click(*Rect(c[name]["screen"]).center)


def type_into(s: Session, c: dict[str, dict], name: str, text: str) -> None:
    """Types into an empty field, as a person clicks into it and types."""
    click(s, c, name)
    s.type(text)
    wait_text(s, name, text)


class Report(Expect):
    """Mismatches, each told once: a fault that persists through later steps is not repeated
    there, nor waited for again."""

    def __init__(self) -> None:
        super().__init__()
        self.seen: set[str] = set()


def settle(s: Session, r: Report, want: State, step: str, timeout: float = 30) -> dict[str, dict]:
    """Waits until the window matches `want` but for mismatches already reported; on time-out
    records the new ones and goes on, so one run reports all that is wrong."""
    new: list[str] = []

    def matches():
        top, c, _ = controls(s)
        now = Expect()
        check_state(now, c, top, want, s.dpi)
        new[:] = [f for f in now.failures if f not in r.seen]
        return c if not new else None

    try:
        return poll(matches, timeout, step)
    except TimeoutError:
        r.seen.update(new)
        r.failures.extend(f"{step}: {f}" for f in new)
        return controls(s)[1]


WHITE = "srgb(255,255,255)"
BLUE, RED, ORANGE, MAGENTA = (0, 0, 255), (255, 0, 0), (255, 128, 0), (255, 0, 255)


def inside_left(r: Rect) -> tuple[int, int]:
    """A point inside a field, left of its centred text: white where the field shows."""
    return r.x + 6, r.y + r.h // 2


def caption_strip(r: Rect, dpi: int = harness.BASE_DPI) -> Rect:
    return Rect({"x": r.x, "y": r.y, "w": r.w, "h": harness.scaled(18, dpi)})


def check_colours(e: Expect, form: Form, shot, c: dict[str, dict],
                  colours: dict[str, tuple], dpi: int = harness.BASE_DPI) -> None:
    for name, rgb in colours.items():
        r = Rect(c[name]["screen"])
        area = caption_strip(r, dpi) if form.kind(name) == "group" else r
        e.true(has_colour(shot, area, rgb), f"{name} drawn in RGB{rgb}")


def check_thank_you_box(s: Session, e: Expect, button: str) -> None:
    """The message box the button opened: its text and a single button (OK)."""
    s.wait_window(THANKS_TITLE, timeout=30)
    _, children = poll(lambda: s.inspect(THANKS_TITLE, "#32770"), 30, "the thank-you box")
    text = "\n".join(w["text"] for w in children if w["class"].lower() == "static" and w["text"])
    e.true("By:Tovrin" in text, f"{button}: the thank-you box is signed, got {text!r}")
    e.equal(text, THANKS, f"{button}: thank-you text")
    buttons = [w["text"] for w in children if w["class"].lower() == "button" and w["visible"]]
    e.equal(len(buttons), 1, f"{button}: buttons of the thank-you box {buttons}")


# --------------------------------------------------------------------------------------------


def scenario(s: Session) -> None:
    # The client sits below the tool's centred window, so the two do not overlap.
    s.start_practice_client("--pos", "0", str(harness.scaled(700, s.dpi)))
    tool = s.start(s.build.pelloram)
    s.wait_window(TITLE, timeout=60)
    poll(lambda: not s.try_hotkey(0x7A), 60, "the tool to hold F11")
    e = Report()

    # ---- Start-up: the form, with the delete page in mode one.
    form = Form(s.exported_form())
    want = started(form)
    c = settle(s, e, want, "after start-up")
    top, c, children = controls(s)
    check_kinds(e, form, c, children)

    field = Rect(c["StickerPanelX"]["screen"])
    shot = window_shot(s, top, "delete-mode-one")
    e.true(pixel(shot, *inside_left(field)) != WHITE, "the help label hides StickerPanelX in mode one")
    check_colours(e, form, shot, c, {"DeleteModeHelp": BLUE, "DeleteCountCaption": RED, "DeleteCount": RED, "DeleteModeFrame": ORANGE}, s.dpi)

    # The checked radio's caption changes colour on screen.
    radio = Rect(c["DeleteModeOneRadio"]["screen"])
    glyph = harness.scaled(20, s.dpi)
    caption = Rect({"x": radio.x + glyph, "y": radio.y, "w": radio.w - glyph, "h": radio.h})
    first = signature(s.screenshot(s.artifacts / "flash.png"), caption)
    poll(lambda: signature(s.screenshot(s.artifacts / "flash.png"), caption) != first, 20,
         "the caption of DeleteModeOneRadio to change colour")

    # ---- Delete mode two: the short help, the point rows show, the keyboard goes to StickerPanelX.
    click(s, c, "DeleteModeTwoRadio")
    want.click_radio("DeleteModeTwoRadio")
    c = settle(s, e, want, "after clicking 删除模式二")
    s.type("42")
    want.text["StickerPanelX"] = "42"
    wait_text(s, "StickerPanelX", "42")
    poll(lambda: pixel(s.screenshot(s.artifacts / "screen.png"), *inside_left(field)) == WHITE,
         30, "StickerPanelX to show in mode two")

    # The count field takes digits and "-" only; leaving it rewrites what it denotes.
    click(s, c, "DeleteCount")
    s.key("End")
    s.type("x5-y")
    wait_text(s, "DeleteCount", "15-")
    click(s, c, "DeleteDelay")
    wait_text(s, "DeleteCount", "15")
    want.text["DeleteCount"] = "15"

    # F10 captures the pointer into the first point row and confirms in a bubble that goes
    # away by itself.
    at = (field.x - 60, field.y + 100)
    s.move(*at)
    s.key("F10")
    want.text["StickerPanelX"], want.text["StickerPanelY"] = str(at[0]), str(at[1])
    wait_text(s, "StickerPanelY", str(at[1]))
    tips = poll(s.tooltips, 30, "the confirmation bubble")
    e.true(any("表情坐标获取成功" in t for tip in tips for t in tip["texts"]),
           f"confirmation text, got {tips!r}")
    poll(lambda: not s.tooltips(), 30, "the confirmation bubble to hide by itself")

    # Points typed by hand stay as typed.
    type_into(s, c, "CollectedTabX", "321")
    type_into(s, c, "DeleteItemX", "6 5x")
    want.text["CollectedTabX"], want.text["DeleteItemX"] = "321", "6 5x"
    c = settle(s, e, want, "delete mode two with points")
    shot = window_shot(s, top, "delete-mode-two")
    check_colours(e, form, shot, c, {"DeleteModeHelp": BLUE}, s.dpi)

    # ---- The thank-you message: Enter dismisses it, and the window is as it was.
    click(s, c, "DeleteThanksButton")
    check_thank_you_box(s, e, "DeleteThanksButton")
    s.move(*Rect(s.inspect(THANKS_TITLE, "#32770")[0]["rect"]).center)
    s.key("Return")
    s.wait_no_window(THANKS_TITLE)
    e.true(tool.running(), "the tool runs on after the thank-you message")
    c = settle(s, e, want, "after the thank-you message")

    # ---- The add page: it opens in add mode one and empties every field of both pages.
    s.click(*tab_point(c, 1))
    want.switch_page(1)
    c = settle(s, e, want, "after changing to the add page")
    shot = window_shot(s, top, "add-mode-one")
    check_colours(e, form, shot, c, {"AddModeHelp": BLUE, "FolderCountLabel": ORANGE, "AddModeFrame": MAGENTA}, s.dpi)
    e.true(pixel(shot, *inside_left(Rect(c["SentStickerX"]["screen"]))) != WHITE,
           "the help label hides SentStickerX in add mode one")

    # Its own thank-you button says the same; OK dismisses it.
    click(s, c, "AddThanksButton")
    check_thank_you_box(s, e, "AddThanksButton")
    s.dismiss_message_box(THANKS_TITLE)
    c = settle(s, e, want, "after the add page's thank-you message")

    # ---- Add mode two: the sent sticker's X gives the menu item's X 30 further right; its Y
    # 15 further down, whatever the text; both at the scale of the monitor the point is on.
    click(s, c, "AddModeTwoRadio")
    want.click_radio("AddModeTwoRadio")
    c = settle(s, e, want, "after clicking 添加模式二")
    type_into(s, c, "SentStickerX", "100")
    type_into(s, c, "SentStickerY", "abc")
    want.text.update({"SentStickerX": "100", "AddItemX": str(100 + harness.scaled(30, s.dpi)),
                      "SentStickerY": "abc", "AddItemY": str(harness.scaled(15, s.dpi))})
    c = settle(s, e, want, "add mode two with points")
    shot = window_shot(s, top, "add-mode-two")
    e.equal(pixel(shot, *inside_left(Rect(c["FileButtonX"]["screen"]))), WHITE,
            "FileButtonX shows in add mode two")

    # ---- Back on the delete page: mode one again, every captured or typed point gone.
    s.click(*tab_point(c, 0))
    want.switch_page(0)
    c = settle(s, e, want, "after changing back to the delete page")

    s.close_window(TITLE)
    code = tool.wait(timeout=30)
    e.equal(code, 0, "the tool's exit code")
    e.check()


if __name__ == "__main__":
    harness.main(scenario)
