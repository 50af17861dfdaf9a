"""Runs Windows programs under Wine on a private virtual display and drives them like a person.

Every end-to-end test uses one Session:

    with Session(build, "main_window") as s:
        tool = s.start(build.pelloram)
        s.dismiss_message_box("信息：")
        s.wait_window("Pelloram  By:Tovrin")
        top, children = s.inspect("Pelloram  By:Tovrin")

The session starts Xvfb on a free display (1280 x 1024 x 24), runs programs with the Wine prefix
named by $PELLORAM_WINEPREFIX (default: <repo>/build/wine, made by scripts/setup), sends pointer and
key events through XTEST with xdotool, reads windows back with inspect.exe, and on the way out
stops what it started: its own processes by id, then the prefix's wineserver, then Xvfb. A failing
test leaves a screenshot and the programs' output in <build>/e2e-artifacts/<name>/.

Focus without a window manager: none is started. X keeps its default PointerRoot focus, so key
events go to the X window under the pointer; Wine then hands them to its own focus window and
checks its hotkeys, whichever Wine window was hit. F10/F11 therefore fire while the pointer is
over any Wine window (the tool or the practice client), and keys sent while the pointer is over
the bare root window are lost. key() and type() refuse to send in that case instead of letting a
test fail later for an obscure reason. Clicking a window activates it as on Windows.

The prefix draws its own window frames (X11 Driver "Decorated" = N), so screenshots show the
captions and the X window of a top-level window covers its whole outer rectangle.
"""

from __future__ import annotations

import argparse
import functools
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import time
import traceback
from pathlib import Path
from typing import Callable, Iterable, TypeVar

REPO = Path(__file__).resolve().parents[2]
SCREEN = (1280, 1024)
DEFAULT_TIMEOUT = 30.0
# Bump when init_prefix changes what it writes, so existing prefixes are brought up to date.
PREFIX_RECIPE = "3"
CJK_FONT = "WenQuanYi Micro Hei"
CJK_FONT_FILE = "wqy-microhei.ttc"
# Wine draws the caption buttons with Marlett but does not find Debian's copy on its own.
MARLETT = Path("/usr/share/wine/fonts/marlett.ttf")

CLIENT_TITLE = "微信"
CLIENT_CLASS = "WeChatMainWndForPC"
# The tool's caption shows a run's progress, so during a run only its class finds it.
TOOL_TITLE = "Pelloram  By:Tovrin"
TOOL_CLASS = "PelloramMainWindow"

T = TypeVar("T")


def log(message: str) -> None:
    print(f"[e2e {time.strftime('%H:%M:%S')}] {message}", file=sys.stderr, flush=True)


def poll(condition: Callable[[], T], timeout: float, what: str, interval: float = 0.1) -> T:
    """Returns the first truthy result of condition(), or raises TimeoutError naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def default_prefix() -> Path:
    return Path(os.environ.get("PELLORAM_WINEPREFIX") or REPO / "build" / "wine")


# Display scales the tests are run at: 100 %, 125 % and 150 %. Wine scales the whole system
# (LogPixels); each scale has a prefix of its own beside the default one, so tests at different
# scales never share a wineserver and may run side by side.
BASE_DPI = 96
TEST_DPIS = (96, 120, 144)


def scaled(length: int, dpi: int, base: int = BASE_DPI) -> int:
    """A length measured at `base` dpi as drawn at `dpi`: to the nearest pixel, halves away from
    zero (services/scale.h's Scaled)."""
    if dpi == base:
        return length
    twice = 2 * length * dpi
    return (twice + base) // (2 * base) if twice >= 0 else -((-twice + base) // (2 * base))


def scaled_rect(rect: dict, dpi: int) -> dict:
    """A rectangle {"x", "y", "w", "h"} of the tool's form at 100 % as its window draws it at
    `dpi`: each edge scaled on its own (ScaledEdges), so neighbours that touch still do."""
    left, top = scaled(rect["x"], dpi), scaled(rect["y"], dpi)
    right, bottom = scaled(rect["x"] + rect["w"], dpi), scaled(rect["y"] + rect["h"], dpi)
    return {"x": left, "y": top, "w": right - left, "h": bottom - top}


def unscaled(physical: int, dpi: int) -> int:
    """The 96-dpi length whose pixels at `dpi` hold `physical`: how the practice client reads a
    click (the largest length that scales to `physical` or less)."""
    length = physical * BASE_DPI // dpi
    while scaled(length + 1, dpi) <= physical:
        length += 1
    while scaled(length, dpi) > physical:
        length -= 1
    return length


def prefix_for(dpi: int) -> Path:
    base = default_prefix()
    return base if dpi == BASE_DPI else base.with_name(f"{base.name}-{dpi}dpi")


def screen_for(dpi: int) -> tuple[int, int]:
    """The virtual display: the default screen, as many times larger as the scale is."""
    return (SCREEN[0] * dpi // BASE_DPI, SCREEN[1] * dpi // BASE_DPI)


def base_env() -> dict[str, str]:
    env = dict(os.environ)
    # A UTF-8 C library locale lets Wine and xdotool carry Chinese titles and arguments intact.
    env["LC_ALL"] = "C.UTF-8"
    env.pop("LANGUAGE", None)
    return env


def wine_env(prefix: Path, display: str | None) -> dict[str, str]:
    env = base_env()
    env["WINEPREFIX"] = str(prefix)
    env["WINEDEBUG"] = os.environ.get("PELLORAM_WINEDEBUG", "-all")
    # No Mono/Gecko installers, and no menu entries or icons written into the home folder.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    env.pop("WINEARCH", None)
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


def run(cmd: list[str], env: dict[str, str], timeout: float, check: bool = True,
        what: str | None = None) -> subprocess.CompletedProcess[bytes]:
    try:
        done = subprocess.run(cmd, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=timeout)
    except subprocess.TimeoutExpired as e:
        raise TimeoutError(f"{what or cmd[0]} did not finish within {timeout:g} s") from e
    if check and done.returncode != 0:
        raise RuntimeError(f"{what or ' '.join(cmd)} failed with exit code {done.returncode}:\n"
                           f"{done.stderr.decode(errors='replace')[-2000:]}")
    return done


def windows_path(path: os.PathLike[str] | str) -> str:
    """The Wine name of a Unix path: drive Z: is the Unix root in every prefix."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


# --------------------------------------------------------------------------------------------
# The Wine prefix


def _reg_multi_sz(value: str) -> str:
    data = (value + "\0\0").encode("utf-16-le")
    return "hex(7):" + ",".join(f"{b:02x}" for b in data)


def _prefix_registry(dpi: int = BASE_DPI) -> str:
    # Windows' UI fonts have no Chinese glyphs here: link them to the CJK font, and let the
    # Chinese face names that programs ask for resolve to it. A font asked for by character set
    # alone (GB2312, no face name) goes to the first fallback family, Arial, that supports the
    # set; without Arial, Wine would take any CJK font installed, some of which lack Latin letters.
    link = _reg_multi_sz(f"{CJK_FONT_FILE},{CJK_FONT}")
    linked = ["Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "Segoe UI",
              "Lucida Sans Unicode", "Courier New", "Times New Roman"]
    replaced = ["Arial", "SimSun", "NSimSun", "宋体", "新宋体", "SimHei", "黑体", "Microsoft YaHei", "微软雅黑"]
    lines = ["Windows Registry Editor Version 5.00", "",
             r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
    lines += [f'"{face}"={link}' for face in linked]
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{face}"="{CJK_FONT}"' for face in replaced]
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', ""]
    if dpi != BASE_DPI:
        # Wine takes the system's scale from the user's LogPixels; the machine-wide value is
        # what older programs read.
        for key in (r"HKEY_CURRENT_USER\Control Panel\Desktop", r"HKEY_CURRENT_CONFIG\Software\Fonts"):
            lines += [f"[{key}]", f'"LogPixels"=dword:{dpi:08x}', ""]
    return "\r\n".join(lines)


def wine_user_desktop(prefix: Path) -> Path:
    users = prefix / "drive_c" / "users"
    for user in sorted(users.iterdir()) if users.is_dir() else []:
        if user.name != "Public" and (user / "Desktop").exists():
            return user / "Desktop"
    raise FileNotFoundError(f"no user Desktop folder in {users}")


def init_prefix(prefix: Path, dpi: int = BASE_DPI) -> None:
    """Creates or updates the prefix unattended; does nothing when it is already current."""
    prefix = Path(prefix).resolve()  # Wine wants an absolute path
    marker = prefix / ".pelloram-prefix"
    recipe = PREFIX_RECIPE if dpi == BASE_DPI else f"{PREFIX_RECIPE} at {dpi} dpi"
    if marker.is_file() and marker.read_text().strip() == recipe:
        return
    log(f"initialising Wine prefix {prefix}")
    prefix.mkdir(parents=True, exist_ok=True)
    env = wine_env(prefix, display=None)
    run(["wineboot", "-i"], env, timeout=600, what="wineboot -i")
    reg = prefix / "pelloram.reg"
    reg.write_bytes(b"\xff\xfe" + _prefix_registry(dpi).encode("utf-16-le"))
    run(["wine", "regedit", "/S", windows_path(reg)], env, timeout=300, what="regedit")
    run(["wineserver", "-w"], env, timeout=300, what="wineserver -w")
    if MARLETT.is_file():
        shutil.copyfile(MARLETT, prefix / "drive_c" / "windows" / "Fonts" / MARLETT.name)
    # The Wine user's Desktop may be a link into the real home folder; tests put folders there,
    # so keep it inside the prefix.
    desktop = wine_user_desktop(prefix)
    if desktop.is_symlink():
        desktop.unlink()
        desktop.mkdir()
    marker.write_text(recipe + "\n")


def settle_wineserver(prefix: Path) -> None:
    """Waits for a wineserver left on this prefix to exit, and stops it if it will not."""
    env = wine_env(prefix, display=None)
    try:
        run(["wineserver", "-w"], env, timeout=15, check=False)
    except TimeoutError:
        log(f"stopping a wineserver still running on {prefix}")
        run(["wineserver", "-k"], env, timeout=30, check=False)
        run(["wineserver", "-w"], env, timeout=30, check=False)


# --------------------------------------------------------------------------------------------
# Build tree


class Build:
    """The executables of a Windows build tree."""

    def __init__(self, build_dir: os.PathLike[str] | str):
        self.dir = Path(build_dir).resolve()
        self.pelloram = self.dir / "app" / "pelloram.exe"
        self.practice_client = self.dir / "practice_client" / "practice_client.exe"
        self.inspect = self.dir / "tests" / "e2e" / "inspect.exe"
        self.form_export = self.dir / "tests" / "e2e" / "form_export.exe"

    def artifacts(self, name: str) -> Path:
        path = self.dir / "e2e-artifacts" / name
        path.mkdir(parents=True, exist_ok=True)
        return path


# --------------------------------------------------------------------------------------------
# Processes and windows


class WineProcess:
    """A Windows program started by the session; its output goes to the artifacts folder."""

    def __init__(self, name: str, popen: subprocess.Popen[bytes], log_path: Path):
        self.name = name
        self.popen = popen
        self.log_path = log_path

    @property
    def pid(self) -> int:
        return self.popen.pid

    def running(self) -> bool:
        return self.popen.poll() is None

    def wait(self, timeout: float = DEFAULT_TIMEOUT) -> int:
        """The program's exit code, once it has ended."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired as e:
            raise TimeoutError(f"{self.name} still running after {timeout:g} s") from e

    def kill(self) -> None:
        if self.running():
            self.popen.kill()
        self.popen.wait(timeout=30)

    def output(self) -> str:
        return self.log_path.read_text(errors="replace") if self.log_path.exists() else ""

    def wait_output(self, text: str, timeout: float = DEFAULT_TIMEOUT) -> None:
        """Waits until the program has written `text` (it writes as it goes, unbuffered)."""
        poll(lambda: text in self.output(), timeout, f"{self.name} to print {text!r}")


class Journal:
    """The practice client's journal: one JSON object a line, appended as things happen."""

    def __init__(self, path: Path):
        self.path = path

    def events(self) -> list[dict]:
        if not self.path.exists():
            return []
        text = self.path.read_text(encoding="utf-8")
        complete = text[: text.rfind("\n") + 1]  # the client may be writing a line right now
        return [json.loads(line) for line in complete.splitlines() if line.strip()]

    def after(self, seq: int) -> list[dict]:
        return [e for e in self.events() if e["seq"] > seq]

    def last_seq(self) -> int:
        events = self.events()
        return events[-1]["seq"] if events else 0

    def of(self, since: int, *kinds: str) -> list[dict]:
        """Events after sequence number `since`, of these kinds (or all)."""
        return [e for e in self.after(since) if not kinds or e["event"] in kinds]

    def wait_for(self, what: str, match: Callable[[dict], bool], since: int = 0,
                 timeout: float = DEFAULT_TIMEOUT) -> dict:
        """The first event after sequence number `since` that matches."""
        return poll(lambda: next((e for e in self.after(since) if match(e)), None), timeout,
                    f"{what} in the practice client's journal")

    def wait_count(self, since: int, kind: str, count: int, timeout: float = 60) -> list[dict]:
        """Waits until `count` events of this kind follow `since`; returns them."""
        return poll(lambda: (lambda e: e if len(e) >= count else None)(self.of(since, kind)),
                    timeout, f"{count} {kind!r} event(s) in the practice client's journal")

    def wait_quiet(self, quiet: float, timeout: float = 30) -> int:
        """Waits until nothing has been journaled for `quiet` seconds; returns the last seq.

        A run that shows no end of its own is over once the journal stays quiet for longer
        than any pause inside it."""
        state = {"seq": self.last_seq(), "since": time.monotonic()}

        def quiet_enough() -> bool:
            seq, now = self.last_seq(), time.monotonic()
            if seq != state["seq"]:
                state.update(seq=seq, since=now)
            return now - state["since"] >= quiet

        poll(quiet_enough, timeout, f"the practice client's journal to stay quiet for {quiet:g} s")
        return state["seq"]


class Rect:
    def __init__(self, d: dict):
        self.x, self.y, self.w, self.h = d["x"], d["y"], d["w"], d["h"]

    @property
    def center(self) -> tuple[int, int]:
        return self.x + self.w // 2, self.y + self.h // 2

    def __repr__(self) -> str:
        return f"Rect(x={self.x}, y={self.y}, w={self.w}, h={self.h})"


# --------------------------------------------------------------------------------------------
# The tool's controls


@functools.cache
def control_ids() -> dict[str, int]:
    """Form name -> child-window id of the tool's controls: the declaration index plus the
    window's id base, read from the headers so the tests follow the declaration."""
    header = (REPO / "services" / "controls.h").read_text(encoding="utf-8")
    body = re.search(r"enum class Control : int \{(.*?)\};", header, re.S)
    base = re.search(r"kControlIdBase = (\d+);",
                     (REPO / "services" / "ui_win32.h").read_text(encoding="utf-8"))
    if not body or not base:
        raise RuntimeError("cannot read the controls' declaration order and id base")
    names = re.findall(r"^\s*(\w+),", body.group(1), re.M)
    return {name: int(base.group(1)) + index for index, name in enumerate(names)}


def controls_by_name(children: list[dict], ids: dict[str, int] | None = None) -> dict[str, dict]:
    """The child windows that inspect.exe listed, by form name (DeleteCount, DeleteStartButton, ...)."""
    by_id = {c["id"]: c for c in children}
    return {name: by_id[i] for name, i in (ids or control_ids()).items() if i in by_id}


class Session:
    """A private display and the Wine programs a test runs on it."""

    def __init__(self, build: Build, name: str, prefix: Path | None = None,
                 deadline: float | None = None, dpi: int = BASE_DPI):
        self.build = build
        self.name = name
        self.dpi = dpi
        self.screen = screen_for(dpi)
        self.prefix = Path(prefix or prefix_for(dpi)).resolve()
        self.deadline = deadline
        self.artifacts = build.artifacts(name)
        self.display: str | None = None
        self._xvfb: subprocess.Popen[bytes] | None = None
        self._processes: list[WineProcess] = []
        self._root_window: str | None = None
        self._env: dict[str, str] = {}

    # ---- life cycle

    def __enter__(self) -> Session:
        try:
            self._arm_deadline()
            init_prefix(self.prefix, self.dpi)
            settle_wineserver(self.prefix)
            self._start_display()
            self._env = wine_env(self.prefix, self.display)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, error, tb) -> None:
        signal.alarm(0)  # the clean-up below must not be cut short
        if kind is not None:
            try:
                shot = self.screenshot(self.artifacts / "failure.png")
                log(f"screenshot at failure: {shot}")
            except Exception as e:  # the display may be what failed
                log(f"no screenshot at failure: {e}")
            for p in self._processes:
                text = p.output().strip()
                if text:
                    log(f"output of {p.name}:\n{text[-3000:]}")
        self.close()

    def close(self) -> None:
        signal.alarm(0)
        for p in reversed(self._processes):
            try:
                p.kill()
            except Exception as e:
                log(f"could not stop {p.name} (pid {p.pid}): {e}")
        if self._env:
            env = wine_env(self.prefix, None)
            run(["wineserver", "-k"], env, timeout=30, check=False)
            try:
                run(["wineserver", "-w"], env, timeout=30, check=False)
            except TimeoutError:
                log("wineserver did not exit within 30 s")
        if self._xvfb:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait(timeout=10)
            self._xvfb = None

    def _arm_deadline(self) -> None:
        if not self.deadline:
            return

        def expired(signum, frame):
            raise TimeoutError(f"test {self.name} exceeded its deadline of {self.deadline:g} s")

        signal.signal(signal.SIGALRM, expired)
        signal.alarm(int(self.deadline))

    def _start_display(self) -> None:
        shared = os.environ.get("PELLORAM_E2E_DISPLAY")
        if shared:
            # Watching a test: use a display someone else runs, and leave it alone afterwards.
            self.display = shared
            return
        read_fd, write_fd = os.pipe()
        xvfb_log = open(self.artifacts / "xvfb.log", "wb")
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{self.screen[0]}x{self.screen[1]}x24",
                 "-nolisten", "tcp", "-noreset"],
                stdin=subprocess.DEVNULL, stdout=xvfb_log, stderr=subprocess.STDOUT,
                pass_fds=(write_fd,))
        finally:
            os.close(write_fd)
            xvfb_log.close()
        # Xvfb writes the number and the newline separately and dies if the pipe is gone before
        # the second write, so read up to the newline.
        number = b""
        try:
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                ready, _, _ = select.select([read_fd], [], [], max(0.0, deadline - time.monotonic()))
                chunk = os.read(read_fd, 32) if ready else b""
                if not chunk:
                    break
                number += chunk
        finally:
            os.close(read_fd)
        number = number.strip()
        if not number:
            raise RuntimeError(f"Xvfb did not report a display; see {self.artifacts / 'xvfb.log'}")
        self.display = ":" + number.decode()
        env = dict(base_env(), DISPLAY=self.display)
        poll(lambda: run(["xdpyinfo"], env, timeout=10, check=False).returncode == 0, 30,
             f"display {self.display} to accept connections")
        log(f"display {self.display} ready")

    def at_scale(self, *lengths: int) -> tuple[int, ...]:
        """96-dpi lengths (a point of the practice client's layout, its size) as they show on
        this session's display."""
        return tuple(scaled(length, self.dpi) for length in lengths)

    # ---- programs

    def start(self, exe: os.PathLike[str] | str, *args: str, name: str | None = None) -> WineProcess:
        exe = Path(exe)
        if not exe.is_file():
            raise FileNotFoundError(f"{exe} is missing: build the windows preset first")
        name = name or exe.stem
        log_path = self.artifacts / f"{name}.log"
        with open(log_path, "wb") as out:
            popen = subprocess.Popen(["wine", str(exe), *args], env=self._env,
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                     cwd=exe.parent)
        process = WineProcess(name, popen, log_path)
        self._processes.append(process)
        log(f"started {name} (pid {popen.pid})")
        return process

    def start_practice_client(self, *options: str, name: str = "practice_client",
                              timeout: float = 60) -> tuple[WineProcess, Journal]:
        """Starts the practice client with a fresh journal and waits for its window.

        options are its own: "--stickers", "5", "--pos", "100", "80", ... A second client
        needs a name of its own, which also names its journal and its log."""
        default = name == "practice_client"
        journal = Journal(self.artifacts / ("journal.jsonl" if default else f"journal-{name}.jsonl"))
        journal.path.unlink(missing_ok=True)
        process = self.start(self.build.practice_client, "--journal", windows_path(journal.path),
                             *options, name=name)
        self.wait_window(CLIENT_TITLE, timeout)
        return process, journal

    def inspect_raw(self, *args: str, timeout: float = 60) -> tuple[int, list[dict]]:
        if not self.build.inspect.is_file():
            raise FileNotFoundError(f"{self.build.inspect} is missing: build the windows preset")
        # inspect.exe itself always prints or exits 2; exit 1 with nothing printed is Wine
        # failing to start it on a busy machine, so it is started once more.
        for attempt in range(3):
            done = run(["wine", str(self.build.inspect), *args], self._env, timeout=timeout,
                       check=False, what="inspect.exe " + " ".join(args))
            lines = [json.loads(line) for line in done.stdout.decode("utf-8").splitlines()
                     if line.startswith("{")]
            if done.returncode != 1 or lines:
                break
            log(f"inspect.exe did not start (attempt {attempt + 1}): "
                f"{done.stderr.decode('utf-8', 'replace')[-200:]}")
        return done.returncode, lines

    def inspect(self, title: str, cls: str | None = None) -> tuple[dict, list[dict]] | None:
        """The top-level window with this exact title, and every window inside it, or None.

        An empty title with a class takes the first window of that class, whatever its title."""
        code, lines = self.inspect_raw(title, *([cls] if cls else []))
        if code == 2:
            return None
        if code != 0 or not lines or lines[0].get("kind") != "top":
            raise RuntimeError(f"inspect.exe {title!r} failed (exit code {code}): {lines}")
        return lines[0], lines[1:]

    def exported_form(self, dpi: int | None = None) -> list[dict]:
        """The tool's form and modes as this build has them: form_export.exe's JSON lines. With
        a dpi, the form as the window draws it at that scale (rectangles, fonts, window size)."""
        if not self.build.form_export.is_file():
            raise FileNotFoundError(f"{self.build.form_export} is missing: build the windows preset")
        scale = [] if dpi is None else ["--dpi", str(dpi)]
        done = run(["wine", str(self.build.form_export), *scale], self._env, timeout=120,
                   what="form_export.exe")
        return [json.loads(line) for line in done.stdout.decode("utf-8").splitlines()
                if line.startswith("{")]

    def window_rect(self, title: str, cls: str | None = None) -> Rect:
        """The outer rectangle of the top-level window with this exact title."""
        found = self.inspect(title, cls)
        if not found:
            raise RuntimeError(f"inspect.exe finds no window titled {title!r}")
        return Rect(found[0]["rect"])

    def top_windows(self) -> list[dict]:
        return self.inspect_raw("--top")[1]

    def text_extents(self, items: list[tuple[str, int, str]]) -> list[dict]:
        """How large each text is drawn: items of (font, wrap, text) as inspect.exe --text-extent
        takes them (font "px:HEIGHT:WEIGHT", "message" or "status", or "status:DPI" as the system
        makes its tooltip font for that scale; wrap 0 keeps the text's own
        lines). Each result has the cell DrawText lays the text out in ("w", "h") and where its
        ink lies relative to that cell ("ink": x, y, w, h)."""
        if not items:
            return []
        args = []
        for font, wrap, text in items:
            args += [font, str(wrap), text.replace("\r\n", "\\n").replace("\n", "\\n")]
        code, lines = self.inspect_raw("--text-extent", *args)
        if code != 0 or len(lines) != len(items):
            raise RuntimeError(f"inspect.exe --text-extent failed (exit code {code}): {lines}")
        return lines

    def tooltips(self) -> list[dict]:
        """Visible tooltips (balloon tips included): "title", "texts" (one per tool), "rect"."""
        return self.inspect_raw("--tooltips")[1]

    def close_window(self, title: str, cls: str | None = None) -> None:
        """Posts WM_CLOSE to the window, as its close button would."""
        code, lines = self.inspect_raw("--close", title, *([cls] if cls else []))
        if code != 0:
            raise RuntimeError(f"no window {title!r} to close: {lines}")

    def try_hotkey(self, vk: int) -> bool:
        """Whether a hotkey without modifier on this key is free to register."""
        return bool(self.inspect_raw("--try-hotkey", hex(vk))[1][0]["registered"])

    def cursor(self) -> tuple[int, int]:
        """The pointer position as Windows programs see it."""
        p = self.inspect_raw("--cursor")[1][0]
        return p["x"], p["y"]

    def foreground(self) -> dict:
        return self.inspect_raw("--foreground")[1][0]

    def clipboard(self) -> str | None:
        c = self.inspect_raw("--clipboard")[1][0]
        return c["text"] if c["present"] else None

    def set_clipboard(self, text: str) -> None:
        code, lines = self.inspect_raw("--set-clipboard", text)
        if code != 0:
            raise RuntimeError(f"could not set the clipboard: {lines}")

    # ---- finding windows on the display

    def _xdotool(self, *args: str, check: bool = True) -> str:
        env = dict(base_env(), DISPLAY=self.display or "")
        done = run(["xdotool", *args], env, timeout=30, check=check, what="xdotool " + args[0])
        return done.stdout.decode("utf-8", errors="replace")

    def window_ids(self, title: str, visible: bool = True) -> list[str]:
        """X windows whose title is exactly `title`."""
        pattern = "^" + re.sub(r"([.\[\](){}*+?|^$\\])", r"\\\1", title) + "$"
        args = ["search", *(["--onlyvisible"] if visible else []), "--name", pattern]
        return self._xdotool(*args, check=False).split()

    def wait_window(self, title: str, timeout: float = DEFAULT_TIMEOUT) -> str:
        """Waits until a window with this title is shown; returns its X window id."""
        return poll(lambda: (self.window_ids(title) or [None])[0], timeout,
                    f"window {title!r} to appear")

    def wait_no_window(self, title: str, timeout: float = DEFAULT_TIMEOUT) -> None:
        poll(lambda: not self.window_ids(title), timeout, f"window {title!r} to go away")

    def dismiss_message_box(self, title: str, timeout: float = DEFAULT_TIMEOUT) -> str:
        """Waits for the message box, clicks its default button, waits until it is gone.

        Returns the message text, so the test can check what was said."""
        self.wait_window(title, timeout)
        found = poll(lambda: self.inspect(title, "#32770"), timeout, f"message box {title!r}")
        _, children = found
        buttons = [c for c in children if c["class"].lower() == "button" and c["visible"]]
        if not buttons:
            raise RuntimeError(f"message box {title!r} has no button: {children}")
        default = next((b for b in buttons if b["id"] in (1, 2)), buttons[0])  # IDOK, IDCANCEL
        text = "\n".join(c["text"] for c in children
                         if c["class"].lower() == "static" and c["text"])
        self.click(*Rect(default["screen"]).center)
        self.wait_no_window(title, timeout)
        return text

    def folder_picker(self, prompt: str) -> tuple[dict, list[dict]] | None:
        """The shown folder picker whose prompt reads `prompt`, and its children, or None."""
        for top in self.top_windows():
            if top["class"] != "#32770" or not top["visible"]:
                continue
            found = self.inspect(top["text"], "#32770")
            if found and any(c["text"] == prompt for c in found[1]) and any(
                    c["class"] == "SysTreeView32" and c["visible"] for c in found[1]):
                return found
        return None

    def choose_desktop_folder(self, prompt: str, name: str, timeout: float = 60) -> None:
        """Chooses a folder on the Wine user's Desktop in the folder picker that is opening.

        Wine's picker shows only the tree, rooted at the Desktop: a click below its few items
        focuses the tree and selects nothing, the tree selects by the typed prefix (so keep the
        name ASCII and unlike its neighbours'), and Enter confirms."""
        picker = poll(lambda: self.folder_picker(prompt), timeout, "the folder picker",
                      interval=0.3)
        tree = Rect(next(c for c in picker[1] if c["class"] == "SysTreeView32")["screen"])
        self.click(tree.x + tree.w // 2, tree.y + tree.h - 10)
        self.type(name)
        self.key("Return")

    # ---- input and output, through XTEST as a person would

    def move(self, x: int, y: int) -> None:
        self._xdotool("mousemove", str(x), str(y))

    def click(self, x: int, y: int, button: int = 1) -> None:
        self._xdotool("mousemove", str(x), str(y), "click", str(button))

    def drag(self, start: tuple[int, int], end: tuple[int, int], steps: int = 10) -> None:
        """Presses the left button at start, moves to end in steps, and lets go there."""
        self.move(*start)
        self._xdotool("mousedown", "1")
        try:
            for k in range(1, steps + 1):
                self.move(start[0] + (end[0] - start[0]) * k // steps,
                          start[1] + (end[1] - start[1]) * k // steps)
                time.sleep(0.02)  # pacing, so Wine's move loop follows; nothing waits on it
        finally:
            self._xdotool("mouseup", "1")

    def drag_window(self, title: str, to: tuple[int, int], timeout: float = 30,
                    cls: str | None = None) -> None:
        """Drags a top-level window by its caption until its outer rectangle starts at `to`.

        Without a window manager a click activates a window but does not raise it, so a
        window must be moved out of the way of the clicks meant for another one."""
        r = self.window_rect(title, cls)
        grab = (r.x + r.w // 3, r.y + 10)
        self.drag(grab, (grab[0] + to[0] - r.x, grab[1] + to[1] - r.y))

        def arrived() -> bool:
            now = self.window_rect(title, cls)
            return (now.x, now.y) == to

        poll(arrived, timeout, f"window {title!r} to be dragged to {to}", interval=0.2)

    def _require_wine_window_under_pointer(self) -> None:
        if self._root_window is None:
            self._root_window = self._xdotool("search", "--maxdepth", "0", "").split()[0]
        where = dict(line.split("=", 1) for line in
                     self._xdotool("getmouselocation", "--shell").split())
        if where.get("WINDOW") in (None, "0", self._root_window):
            raise RuntimeError(
                f"the pointer ({where.get('X')}, {where.get('Y')}) is over no window, so keys "
                "would reach no program: move it over the tool or the client first")

    def key(self, *keys: str) -> None:
        """Presses keys by X name: key("F11"), key("ctrl+v", "Return")."""
        self._require_wine_window_under_pointer()
        self._xdotool("key", *keys)

    def type(self, text: str) -> None:
        self._require_wine_window_under_pointer()
        self._xdotool("type", "--delay", "30", text)

    def type_over(self, field: dict, text: str) -> None:
        """Clicks into an edit box (as inspect.exe lists it), selects what it holds and types
        over it; reading the result back is the caller's."""
        self.click(*Rect(field["screen"]).center)
        self.key("End", "shift+Home")  # Wine's edit boxes know no Ctrl+A
        self.type(text)

    def screen_size(self) -> tuple[int, int]:
        width, height = self._xdotool("getdisplaygeometry").split()
        return int(width), int(height)

    def screenshot(self, path: os.PathLike[str] | str) -> Path:
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        env = dict(base_env(), DISPLAY=self.display or "")
        run(["import", "-window", "root", str(path)], env, timeout=60, what="import")
        return path

    def desktop_dir(self) -> Path:
        """The Wine user's Desktop folder (a Unix path), where the folder picker starts."""
        return wine_user_desktop(self.prefix)


# --------------------------------------------------------------------------------------------
# Checks and the test entry point


class Expect:
    """Collects mismatches so one run reports all of them."""

    def __init__(self) -> None:
        self.failures: list[str] = []

    def equal(self, actual, expected, what: str) -> None:
        if actual != expected:
            self.failures.append(f"{what}: expected {expected!r}, got {actual!r}")

    def near(self, actual: float, expected: float, tolerance: float, what: str) -> None:
        if abs(actual - expected) > tolerance:
            self.failures.append(f"{what}: expected {expected!r} ± {tolerance}, got {actual!r}")

    def true(self, condition: bool, what: str) -> None:
        if not condition:
            self.failures.append(what)

    def check(self) -> None:
        if self.failures:
            raise AssertionError("\n  ".join(["mismatches:", *self.failures]))


def scale_suffix(dpi: int) -> str:
    """What tells a test's artifacts at another scale from those at 100 %: they may run side by
    side."""
    return "" if dpi == BASE_DPI else f"_{dpi}dpi"


def main(scenario: Callable[[Session], None], name: str | None = None,
         argv: Iterable[str] | None = None) -> None:
    """Parses --build/--deadline, runs the scenario in a session, exits 0 on success."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the windows build tree")
    parser.add_argument("--deadline", type=float, default=None,
                        help="fail (and clean up) after this many seconds")
    parser.add_argument("--dpi", type=int, default=BASE_DPI, choices=TEST_DPIS,
                        help="the display's scale (Wine's LogPixels)")
    args = parser.parse_args(list(argv) if argv is not None else None)
    name = (name or Path(sys.argv[0]).stem.removeprefix("test_")) + scale_suffix(args.dpi)
    # CTest stops a test with SIGTERM on some paths; turn it into a clean failure.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(f"{name}: terminated"))
    started = time.monotonic()
    try:
        with Session(Build(args.build), name, deadline=args.deadline, dpi=args.dpi) as session:
            scenario(session)
    except Exception:
        traceback.print_exc()
        print(f"FAILED {name} after {time.monotonic() - started:.1f} s", file=sys.stderr)
        sys.exit(1)
    print(f"passed {name} in {time.monotonic() - started:.1f} s")


def run_scenarios(group: str, scenarios: list[Callable[[Session], None]],
                  argv: Iterable[str] | None = None) -> None:
    """Runs scenarios one after the other, each in a fresh session, and exits 0 when all pass.

    --only NAME (repeatable) runs just those; CTest registers each scenario this way, so that
    each one is a test of its own. A failing scenario does not stop the others."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the windows build tree")
    parser.add_argument("--deadline", type=float, default=None,
                        help="fail (and clean up) after this many seconds in all")
    parser.add_argument("--only", action="append", default=[], help="a scenario's name")
    parser.add_argument("--dpi", type=int, default=BASE_DPI, choices=TEST_DPIS,
                        help="the display's scale (Wine's LogPixels)")
    args = parser.parse_args(list(argv) if argv is not None else None)
    known = {scenario.__name__ for scenario in scenarios}
    if unknown := set(args.only) - known:
        sys.exit(f"{group}: no scenario named {', '.join(sorted(unknown))}")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(f"{group}: terminated"))
    build = Build(args.build)
    started = time.monotonic()
    failed = []
    for scenario in scenarios:
        name = scenario.__name__
        if args.only and name not in args.only:
            continue
        left = None if args.deadline is None else args.deadline - (time.monotonic() - started)
        if left is not None and left < 1:
            print(f"FAILED {name}: no time left before the deadline", file=sys.stderr)
            failed.append(name)
            continue
        begun = time.monotonic()
        log(f"scenario {name}")
        artifacts = f"{group}{scale_suffix(args.dpi)}/{name}"
        shutil.rmtree(build.dir / "e2e-artifacts" / artifacts, ignore_errors=True)  # stale shots
        try:
            with Session(build, artifacts, deadline=left, dpi=args.dpi) as session:
                scenario(session)
        except Exception:
            traceback.print_exc()
            print(f"FAILED {name} after {time.monotonic() - begun:.1f} s", file=sys.stderr)
            failed.append(name)
        else:
            print(f"passed {name} in {time.monotonic() - begun:.1f} s", flush=True)
    print(f"{group}: {len(failed)} failed, {time.monotonic() - started:.1f} s in all")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    # python3 harness.py init-prefix [PREFIX]: what scripts/setup runs. Without a prefix, the
    # default one and one beside it for each scale the tests run at.
    if len(sys.argv) == 3 and sys.argv[1] == "init-prefix":
        init_prefix(Path(sys.argv[2]))
    elif len(sys.argv) == 2 and sys.argv[1] == "init-prefix":
        for scale in TEST_DPIS:
            init_prefix(prefix_for(scale), scale)
    else:
        sys.exit("usage: harness.py init-prefix [PREFIX]")
