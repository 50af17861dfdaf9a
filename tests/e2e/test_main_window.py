#!/usr/bin/env python3
"""The real tool opens its fixed, centred main window and ends with exit code 0 when closed.

With --archive ZIP --version X.Y.Z it runs the tool unpacked from the release archive instead,
after checking the archive (release_archive.py)."""

import argparse
import shutil
import tempfile
from pathlib import Path

import harness
import release_archive
from harness import SCREEN, Expect, Session

TITLE = "Pelloram  By:Tovrin"
SIZE = (338, 370)
CLIENT_MISSING = "未获取到微信！请打开微信后重新开启程序！"


def scenario(s: Session, exe: Path | None = None) -> None:
    tool = s.start(exe or s.build.pelloram)

    # No chat client is running, so the tool says so before its window is usable.
    said = s.dismiss_message_box("信息：", timeout=60)
    if said != CLIENT_MISSING:
        raise AssertionError(f"message box said {said!r}, expected {CLIENT_MISSING!r}")

    s.wait_window(TITLE, timeout=60)
    found = s.inspect(TITLE)
    assert found, f"inspect.exe finds no window titled {TITLE!r}"
    top, _ = found
    rect = harness.Rect(top["rect"])

    e = Expect()
    e.equal(top["text"], TITLE, "caption")
    e.equal((rect.w, rect.h), SIZE, "outer size")
    e.near(rect.x, (SCREEN[0] - SIZE[0]) / 2, 1, "left edge (centred)")
    e.near(rect.y, (SCREEN[1] - SIZE[1]) / 2, 1, "top edge (centred)")
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

    s.close_window(TITLE)
    code = tool.wait(timeout=20)
    if code != 0:
        raise AssertionError(f"the tool ended with exit code {code}, expected 0")


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
