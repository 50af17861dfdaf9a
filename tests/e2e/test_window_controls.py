#!/usr/bin/env python3
"""The tool's own window as a person meets it, read back control by control after every step:
the layout of both pages, the mode radios and help labels, field input and the derived point,
F10 with its balloon tip, the tab pages resetting each other, the thank-you message, and the
flashing radio caption really changing colour on screen.

Screenshots of the window in each page and mode go to the artifacts folder."""

from __future__ import annotations

import subprocess

import harness
from harness import Expect, Rect, Session, poll

TITLE = "Pelloram  By:Tovrin"
THANKS_TITLE = "非常感谢"

# Declaration order of the controls; a control's window identifier is 1000 + its index.
NAMES = (
    "DeleteThanksButton AddThanksButton AddModeHelp AddItemXCaption AddItemX AddItemYCaption AddItemY SentStickerXCaption SentStickerX SentStickerYCaption SentStickerY FileButtonXCaption "
    "FileButtonX FileButtonYCaption FileButtonY FileButtonPicture NoteTip AddStartButton AddDelayCaption AddDelay AddModeFrame AddModeOneRadio AddModeTwoRadio FolderCountLabel "
    "ChooseFolderButton FlashTimer DeletePageFrame DeleteModeOneRadio DeleteModeTwoRadio DeleteModeHelp DeleteDelayCaption DeleteDelay DeleteItemXCaption DeleteItemX DeleteItemYCaption DeleteItemY "
    "WarningTip StickerPanelPicture StickerPanelXCaption StickerPanelX StickerPanelYCaption StickerPanelY CollectedTabPicture CollectedTabXCaption CollectedTabX CollectedTabYCaption CollectedTabY FirstStickerXCaption FirstStickerX "
    "FirstStickerYCaption FirstStickerY DeleteCountCaption DeleteCount DeleteStartButton DeleteModeFrame JobPages"
).split()
ID = {name: 1000 + i for i, name in enumerate(NAMES)}
WINDOWLESS = {"FlashTimer", "WarningTip", "NoteTip"}

# --------------------------------------------------------------------------------------------
# The form: container, position and size in it, and text as the window opens (before start-up
# applies the delete page's mode one). None: the control has no text to check (pictures).

TAB = "JobPages"
FORM: dict[str, tuple[str, int, int, int, int, str | None]] = {
    "JobPages": ("window", 2, 6, 328, 336, ""),
    # Delete page
    "DeleteThanksButton": (TAB, 214, 0, 112, 23, "打赏作者"),
    "DeletePageFrame": (TAB, 4, 27, 320, 304, ""),
    "DeleteModeOneRadio": ("DeletePageFrame", 9, 8, 106, 32, "删除模式一"),
    "DeleteModeTwoRadio": ("DeletePageFrame", 192, 8, 119, 32, "删除模式二"),
    "DeleteModeFrame": ("DeletePageFrame", 5, 43, 312, 255, "模式一"),
    "DeleteModeHelp": ("DeleteModeFrame", 6, 23, 304, 24, None),  # help text: set by the mode
    "StickerPanelPicture": ("DeleteModeFrame", 2, 57, 40, 30, None),
    "StickerPanelXCaption": ("DeleteModeFrame", 42, 60, 94, 24, "表情坐标 X："),
    "StickerPanelX": ("DeleteModeFrame", 142, 55, 62, 32, ""),
    "StickerPanelYCaption": ("DeleteModeFrame", 214, 60, 24, 24, "Y："),
    "StickerPanelY": ("DeleteModeFrame", 245, 55, 62, 32, ""),
    "CollectedTabPicture": ("DeleteModeFrame", 1, 90, 40, 30, None),
    "CollectedTabXCaption": ("DeleteModeFrame", 42, 93, 94, 24, "收藏坐标 X："),
    "CollectedTabX": ("DeleteModeFrame", 142, 88, 62, 32, ""),
    "CollectedTabYCaption": ("DeleteModeFrame", 214, 93, 24, 24, "Y："),
    "CollectedTabY": ("DeleteModeFrame", 245, 88, 62, 32, ""),
    "FirstStickerXCaption": ("DeleteModeFrame", 9, 125, 133, 24, "首个表情坐标 X："),
    "FirstStickerX": ("DeleteModeFrame", 142, 122, 62, 32, ""),
    "FirstStickerYCaption": ("DeleteModeFrame", 214, 125, 24, 24, "Y："),
    "FirstStickerY": ("DeleteModeFrame", 245, 122, 62, 32, ""),
    "DeleteItemXCaption": ("DeleteModeFrame", 9, 158, 133, 24, "删除按钮坐标 X："),
    "DeleteItemX": ("DeleteModeFrame", 142, 155, 62, 32, ""),
    "DeleteItemYCaption": ("DeleteModeFrame", 214, 158, 24, 24, "Y："),
    "DeleteItemY": ("DeleteModeFrame", 245, 155, 62, 32, ""),
    "DeleteCountCaption": ("DeleteModeFrame", 9, 192, 133, 24, "欲删除表情数量："),
    "DeleteCount": ("DeleteModeFrame", 142, 188, 62, 32, "1"),
    "DeleteStartButton": ("DeleteModeFrame", 210, 193, 97, 54, "F11\r\n开  始"),
    "DeleteDelayCaption": ("DeleteModeFrame", 9, 220, 133, 32, "点击延时≥500ms"),
    "DeleteDelay": ("DeleteModeFrame", 142, 221, 62, 32, "500"),
    # Add page
    "AddThanksButton": (TAB, 214, 0, 112, 23, "打赏作者"),
    "AddModeOneRadio": (TAB, 13, 25, 106, 32, "添加模式一"),
    "AddModeTwoRadio": (TAB, 215, 25, 119, 32, "添加模式二"),
    "FolderCountLabel": (TAB, 3, 57, 205, 32, "未选择表情文件"),
    "ChooseFolderButton": (TAB, 211, 56, 113, 33, "选择表情文件夹"),
    "AddModeFrame": (TAB, 5, 92, 320, 238, "模式一"),
    "AddModeHelp": ("AddModeFrame", 7, 19, 304, 83, None),
    "FileButtonPicture": ("AddModeFrame", 5, 104, 40, 30, None),
    "FileButtonXCaption": ("AddModeFrame", 44, 110, 101, 24, "文件夹坐标X："),
    "FileButtonX": ("AddModeFrame", 148, 106, 62, 32, ""),
    "FileButtonYCaption": ("AddModeFrame", 220, 111, 24, 24, "Y："),
    "FileButtonY": ("AddModeFrame", 244, 106, 62, 32, ""),
    "SentStickerXCaption": ("AddModeFrame", 10, 142, 136, 24, "已发送表情坐标X："),
    "SentStickerX": ("AddModeFrame", 148, 138, 62, 32, ""),
    "SentStickerYCaption": ("AddModeFrame", 220, 143, 24, 24, "Y："),
    "SentStickerY": ("AddModeFrame", 244, 138, 62, 32, ""),
    "AddItemXCaption": ("AddModeFrame", 10, 174, 136, 24, "添加到表情坐标X："),
    "AddItemX": ("AddModeFrame", 148, 171, 62, 32, ""),
    "AddItemYCaption": ("AddModeFrame", 220, 175, 24, 24, "Y："),
    "AddItemY": ("AddModeFrame", 244, 170, 62, 32, ""),
    "AddDelayCaption": ("AddModeFrame", 8, 202, 133, 32, "点击延时≥500ms"),
    "AddDelay": ("AddModeFrame", 148, 203, 62, 32, "500"),
    "AddStartButton": (TAB, 219, 296, 95, 32, "F11开始"),
}
FORM_HELP = ("模式一将设置微信窗口大小和位置\r\n使用内置的坐标参数\r\n添加表情包文件夹即可\r\n\r\n"
             "F11 快捷启动/暂停\r\n\r\n使用过程中请勿移动使用键鼠\r\n点击位置不对或其他问题\r\n"
             "请使用模式二手动获取坐标\r\n")
DELETE_HELP_ONE = ("模式一将设置微信窗口大小和位置\r\n使用内置的坐标参数\r\n输入欲删除表情数量即可\r\n\r\n"
                   "F11 快捷启动/暂停\r\n\r\n使用过程中请勿移动使用键鼠\r\n点击位置不对或其他问题\r\n"
                   "请使用模式二手动获取坐标")
DELETE_HELP_TWO = "F10依次获取①表情②收藏③首个表情坐标"
ADD_HELP_ONE = ("模式一将设置微信窗口大小和位置\r\n使用内置的坐标参数\r\n添加表情文件夹即可\r\n\r\n"
                "F11 快捷启动\r\n\r\n注意\r\n使用过程中请勿移动使用键鼠\r\n点击位置不对或其他问题\r\n"
                "请使用模式二手动获取坐标")
ADD_HELP_TWO = ("F10依次获取①文件坐标②表情位置坐标\r\n注意：获取已发送表情坐标时尽量\r\n"
                "在表情图片中下位置\r\n避免发送小表情时鼠标点击不到\r\n添加表情坐标不准可手动更改\r\n")
THANKS = ("很荣幸您能点开打赏！\r\n您能点开打赏说明我的小作品\r\n能给您带来微小的帮助！\r\n其实作为一个菜鸟！\r\n"
          "我只是想做一些自己有用的\r\n小东西分享给Zellora的朋友们！\r\n您能点开这里就是对我最大\r\n"
          "鼓励！希望您也能秉承Zellora\r\n的分享精神！为Zellora增添色彩！\r\n再次感谢！您的支持就是对我最大的\r\n"
          "鼓励！\r\n" + " " * 25 + "By:Tovrin")

# Which page shows each control of the tab control (its descendants follow it).
PAGE = {"DeleteThanksButton": 0, "DeletePageFrame": 0, "AddThanksButton": 1, "AddModeOneRadio": 1, "AddModeTwoRadio": 1, "FolderCountLabel": 1, "ChooseFolderButton": 1,
        "AddModeFrame": 1, "AddStartButton": 1}
RADIOS = ("DeleteModeOneRadio", "DeleteModeTwoRadio", "AddModeOneRadio", "AddModeTwoRadio")


def kind(name: str) -> str:
    """What a control is, read from its role name."""
    if name.endswith("Radio"):
        return "radio"
    if name.endswith("Frame"):
        return "group"
    if name.endswith("Button"):
        return "button"
    if name.endswith(("Caption", "Help", "Label", "Picture")):
        return "static"
    if name.endswith(("X", "Y")) or name in ("DeleteCount", "DeleteDelay", "AddDelay"):
        return "edit"
    return "windowless"


EDITS = [n for n in NAMES if kind(n) == "edit"]

# Window classes and the style bits that make each kind what it is.
BS_TYPEMASK, BS_GROUPBOX, BS_RADIOBUTTON, BS_AUTORADIOBUTTON = 0xF, 0x7, 0x4, 0x9
ES_CENTER, WS_BORDER, WS_EX_CLIENTEDGE = 0x1, 0x00800000, 0x200


class State:
    """What the window should show: per control its rectangle in its container, its text and
    (radios) its check state; plus the current page."""

    def __init__(self) -> None:
        self.page = 0
        self.rect = {n: {"x": f[1], "y": f[2], "w": f[3], "h": f[4]} for n, f in FORM.items()}
        self.text = {n: f[5] for n, f in FORM.items()}
        self.text["DeleteModeHelp"] = FORM_HELP
        self.text["AddModeHelp"] = FORM_HELP
        self.check = {"DeleteModeOneRadio": 1, "DeleteModeTwoRadio": 0, "AddModeOneRadio": 1, "AddModeTwoRadio": 0}

    # The window's own rules, written from what a person sees after each action.

    def clear_edits(self) -> None:
        for name in EDITS:
            self.text[name] = ""

    def delete_mode(self, mode: int) -> None:
        self.text["DeleteModeFrame"] = "模式一" if mode == 1 else "模式二"
        self.rect["DeleteModeHelp"]["h"] = 164 if mode == 1 else 24
        self.text["DeleteModeHelp"] = DELETE_HELP_ONE if mode == 1 else DELETE_HELP_TWO
        if mode == 1:
            self.clear_edits()
            self.text["DeleteCount"] = "1"
        self.text["DeleteDelay"] = "500"

    def add_mode(self, mode: int) -> None:
        self.text["AddModeFrame"] = "模式一" if mode == 1 else "模式二"
        self.rect["AddModeHelp"]["h"] = 183 if mode == 1 else 87
        self.text["AddModeHelp"] = ADD_HELP_ONE if mode == 1 else ADD_HELP_TWO
        if mode == 1:
            self.clear_edits()
        self.text["AddDelay"] = "500"

    def click_radio(self, radio: str) -> None:
        partner = {"DeleteModeOneRadio": "DeleteModeTwoRadio", "DeleteModeTwoRadio": "DeleteModeOneRadio", "AddModeOneRadio": "AddModeTwoRadio", "AddModeTwoRadio": "AddModeOneRadio"}
        self.check[radio], self.check[partner[radio]] = 1, 0
        {"DeleteModeOneRadio": lambda: self.delete_mode(1), "DeleteModeTwoRadio": lambda: self.delete_mode(2),
         "AddModeOneRadio": lambda: self.add_mode(1), "AddModeTwoRadio": lambda: self.add_mode(2)}[radio]()

    def switch_page(self, page: int) -> None:
        self.page = page
        shown = "DeleteModeOneRadio" if page == 0 else "AddModeOneRadio"
        self.check = {r: int(r == shown) for r in RADIOS}
        self.delete_mode(1) if page == 0 else self.add_mode(1)


def started() -> State:
    """Right after start-up: the form with the delete page's mode one applied."""
    s = State()
    s.delete_mode(1)
    return s


# --------------------------------------------------------------------------------------------
# Reading the window


def controls(s: Session) -> tuple[dict, dict[str, dict], list[dict]]:
    found = s.inspect(TITLE)
    assert found, f"no window {TITLE!r}"
    top, children = found
    return top, harness.controls_by_name(children, ID), children


def text_of(s: Session, name: str) -> str:
    return controls(s)[1][name]["text"]


def wait_text(s: Session, name: str, expected: str) -> None:
    poll(lambda: text_of(s, name) == expected, 30, f"{name} to read {expected!r}")


def in_page(name: str) -> int | None:
    """The page a control belongs to, following its containers up to the tab control."""
    while name not in PAGE:
        container = FORM[name][0]
        if container in (TAB, "window"):
            return None
        name = container
    return PAGE[name]


def check_state(e: Expect, c: dict[str, dict], top: dict, want: State) -> None:
    """Every control against `want`: container, rectangle, text, check state, visibility."""
    hwnd_of = {name: ctl["hwnd"] for name, ctl in c.items()}
    hwnd_of["window"] = top["hwnd"]
    missing = [n for n in FORM if n not in c]
    e.true(not missing, f"controls without a window: {missing}")
    for name, (container, *_rest) in FORM.items():
        if name not in c:
            continue
        ctl = c[name]
        e.equal(ctl["parent"], hwnd_of.get(container), f"container of {name}")
        e.equal(ctl["rect_parent"], want.rect[name], f"place of {name}")
        if want.text[name] is not None:
            e.equal(ctl["text"], want.text[name], f"text of {name}")
        if name in want.check:
            e.equal(ctl["check"], want.check[name], f"check of {name}")
        page = in_page(name)
        shown = page is None or page == want.page
        e.equal(ctl["visible"], shown, f"{name} {'shown' if shown else 'hidden'}")
        e.true(ctl["enabled"], f"{name} enabled")
    e.equal(c[TAB]["cursel"], want.page, "current page")


def check_kinds(e: Expect, c: dict[str, dict], children: list[dict], top: dict) -> None:
    """Window classes and kinds, the tab captions, and the stacking of siblings."""
    for name, ctl in c.items():
        cls, style = ctl["class"].lower(), ctl["style"]
        if kind(name) == "edit":
            e.equal(cls, "edit", f"class of {name}")
            e.true(style & ES_CENTER, f"{name} centres its text")
            e.true(ctl["exstyle"] & WS_EX_CLIENTEDGE, f"{name} has a sunken border")
        elif kind(name) == "static":
            e.equal(cls, "static", f"class of {name}")
            e.equal(bool(style & WS_BORDER), name == "FolderCountLabel", f"border of {name}")
        elif kind(name) == "radio":
            e.equal(cls, "button", f"class of {name}")
            e.true((style & BS_TYPEMASK) in (BS_RADIOBUTTON, BS_AUTORADIOBUTTON),
                   f"{name} is a radio")
        elif kind(name) == "group":
            e.equal(cls, "button", f"class of {name}")
            e.equal(style & BS_TYPEMASK, BS_GROUPBOX, f"{name} is a group box")
        elif kind(name) == "button":
            e.equal(cls, "button", f"class of {name}")
            e.true((style & BS_TYPEMASK) in (0, 1), f"{name} is a push button")
    e.equal(c[TAB]["class"].lower(), "systabcontrol32", "class of the tab control")
    e.equal(c[TAB]["tabs"], ["自动删表情", "自动添加表情"], "tab captions")
    e.equal(sorted(c), sorted(n for n in NAMES if n not in WINDOWLESS), "one window per control")
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
    """A point on a page's tab, left of DeleteThanksButton which sits at the right end of the strip."""
    tab = Rect(c[TAB]["screen"])
    return tab.x + (40 if page == 0 else 130), tab.y + 10


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
        check_state(now, c, top, want)
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


def caption_strip(r: Rect) -> Rect:
    return Rect({"x": r.x, "y": r.y, "w": r.w, "h": 18})


def check_colours(e: Expect, shot, c: dict[str, dict], colours: dict[str, tuple]) -> None:
    for name, rgb in colours.items():
        r = Rect(c[name]["screen"])
        area = caption_strip(r) if kind(name) == "group" else r
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
    s.start_practice_client("--pos", "0", "700")
    tool = s.start(s.build.pelloram)
    s.wait_window(TITLE, timeout=60)
    poll(lambda: not s.try_hotkey(0x7A), 60, "the tool to hold F11")
    e = Report()

    # ---- Start-up: the form, with the delete page in mode one.
    want = started()
    c = settle(s, e, want, "after start-up")
    top, c, children = controls(s)
    check_kinds(e, c, children, top)

    field = Rect(c["StickerPanelX"]["screen"])
    shot = window_shot(s, top, "delete-mode-one")
    e.true(pixel(shot, *inside_left(field)) != WHITE, "the help label hides StickerPanelX in mode one")
    check_colours(e, shot, c, {"DeleteModeHelp": BLUE, "DeleteCountCaption": RED, "DeleteCount": RED, "DeleteModeFrame": ORANGE})

    # The checked radio's caption changes colour on screen.
    radio = Rect(c["DeleteModeOneRadio"]["screen"])
    caption = Rect({"x": radio.x + 20, "y": radio.y, "w": radio.w - 20, "h": radio.h})
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
    check_colours(e, shot, c, {"DeleteModeHelp": BLUE})

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
    check_colours(e, shot, c, {"AddModeHelp": BLUE, "FolderCountLabel": ORANGE, "AddModeFrame": MAGENTA})
    e.true(pixel(shot, *inside_left(Rect(c["SentStickerX"]["screen"]))) != WHITE,
           "the help label hides SentStickerX in add mode one")

    # Its own thank-you button says the same; OK dismisses it.
    click(s, c, "AddThanksButton")
    check_thank_you_box(s, e, "AddThanksButton")
    s.dismiss_message_box(THANKS_TITLE)
    c = settle(s, e, want, "after the add page's thank-you message")

    # ---- Add mode two: the sent sticker's X gives the menu item's X 30 further right; its Y
    # 15 further down, whatever the text.
    click(s, c, "AddModeTwoRadio")
    want.click_radio("AddModeTwoRadio")
    c = settle(s, e, want, "after clicking 添加模式二")
    type_into(s, c, "SentStickerX", "100")
    type_into(s, c, "SentStickerY", "abc")
    want.text.update({"SentStickerX": "100", "AddItemX": "130", "SentStickerY": "abc", "AddItemY": "15"})
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
