"""Unpacks the release archive as a user would and checks what it promises: exactly its four
files, their checksums, the guide's order, and the tool's version, icon and manifest."""

from __future__ import annotations

import hashlib
import struct
import zipfile
from pathlib import Path
from xml.etree import ElementTree

FILES = ["pelloram.exe", "practice_client.exe", "README.txt", "SHA256SUMS"]
RT_ICON_GROUP, RT_VERSION, RT_MANIFEST = 14, 16, 24


def resources(image: bytes) -> dict[int, dict[int, bytes]]:
    """Resource type -> id -> data of a PE image (numeric ids, first language of each)."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    count, optional_size = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from(
        "<H", image, pe + 20)[0]
    optional = pe + 24
    directories = optional + (112 if struct.unpack_from("<H", image, optional)[0] == 0x20B else 96)
    rsrc = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    for k in range(count):
        size, address, raw_size, raw = struct.unpack_from("<IIII", image, optional + optional_size
                                                          + 40 * k + 8)
        if address <= rsrc < address + max(size, raw_size):
            to_file = raw - address
            break
    else:
        raise ValueError("no resource section")
    base = rsrc + to_file

    def entries(offset: int):
        named, ids = struct.unpack_from("<HH", image, base + offset + 12)
        for k in range(named + ids):
            yield struct.unpack_from("<II", image, base + offset + 16 + 8 * k)

    found: dict[int, dict[int, bytes]] = {}
    for kind, names in entries(0):
        for ident, languages in entries(names & 0x7FFFFFFF):
            _, leaf = next(entries(languages & 0x7FFFFFFF))
            address, size = struct.unpack_from("<II", image, base + leaf)
            found.setdefault(kind, {})[ident] = image[address + to_file:address + to_file + size]
    return found


def file_version(info: bytes) -> str:
    """The fixed file version of a version resource, as "major.minor.patch"."""
    at = info.index(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<II", info, at + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}"


def icon_sizes(group: bytes) -> list[int]:
    count = struct.unpack_from("<H", group, 4)[0]
    return [group[6 + 14 * k] or 256 for k in range(count)]  # 0 stands for 256


def unpack(archive: Path, version: str, into: Path) -> Path:
    """Unpacks the archive into `into` after checking it; returns the unpacked pelloram.exe."""
    folder = archive.name.removesuffix(".zip")
    with zipfile.ZipFile(archive) as z:
        names = z.namelist()
        if names != [f"{folder}/{name}" for name in FILES]:
            raise AssertionError(f"the archive holds {names}, expected {FILES} in {folder}/")
        z.extractall(into)
    root = into / folder

    listed = {}
    for line in (root / "SHA256SUMS").read_text().splitlines():
        digest, name = line.split("  ", 1)
        listed[name] = digest
    for name in FILES[:-1]:
        actual = hashlib.sha256((root / name).read_bytes()).hexdigest()
        if listed.get(name) != actual:
            raise AssertionError(f"SHA256SUMS lists {listed.get(name)} for {name}, it is {actual}")

    guide = (root / "README.txt").read_bytes().decode("utf-8-sig")
    if not 0 <= guide.find("## 使用说明") < guide.find("## User guide"):
        raise AssertionError("the guide lacks the Chinese section, the English one, or their order")

    found = resources((root / "pelloram.exe").read_bytes())
    if file_version(found[RT_VERSION][1]) != version:
        raise AssertionError(f"pelloram.exe says version {file_version(found[RT_VERSION][1])}, "
                             f"the project is {version}")
    if sorted(icon_sizes(found[RT_ICON_GROUP][1])) != [16, 32, 48, 256]:
        raise AssertionError(f"icon sizes {icon_sizes(found[RT_ICON_GROUP][1])}")
    manifest = found[RT_MANIFEST][1].decode("utf-8")
    # Windows refuses to start a program whose manifest is no well-formed XML.
    try:
        settings = ElementTree.fromstring(manifest.encode("utf-8"))
    except ElementTree.ParseError as e:
        raise AssertionError(f"the manifest is no well-formed XML: {e}") from None
    awareness = [e.text for e in settings.iter() if e.tag.endswith("}dpiAwareness")]
    aware = [e.text for e in settings.iter() if e.tag.endswith("}dpiAware")]
    if awareness != ["PerMonitorV2, PerMonitor"] or aware != ["true/pm"]:
        raise AssertionError(f"the manifest declares DPI awareness {awareness} / {aware}, "
                             "not per monitor (v2) once")
    if 'level="asInvoker"' not in manifest:
        raise AssertionError('the manifest lacks level="asInvoker"')
    if "Common-Controls" in manifest:
        raise AssertionError("the manifest asks for Common Controls 6; the radio captions need 5")
    return root / "pelloram.exe"
