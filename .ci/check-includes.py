#!/usr/bin/env python3
"""Fails on an #include in src/ that breaks the layering.

The table below is the one statement of which folder may include which; a folder may always
include its own headers. Logic folders include no operating-system header either: of the
<...> headers they see only Qt's and the C++ library's.
"""
import pathlib
import re
import sys

MAY_INCLUDE = {
    "platform/core": [],
    "platform/db": ["platform/core"],
    "platform/os": ["platform/core"],
    "platform/net": ["platform/core"],
    "platform/ui": ["platform/core", "platform/os", "platform/net"],
    "store": ["platform/core", "platform/db", "platform/os"],
    "sync": ["platform/core"],
    "notewindow": ["platform/core", "platform/os", "platform/ui"],
    "editor": ["store", "platform/core", "platform/ui"],
    "controller": ["store", "sync", "notewindow", "platform/core", "platform/db", "platform/os",
                   "platform/ui"],
    "system": ["platform/core", "platform/os"],
    "companion": ["platform/core", "platform/os", "platform/net", "platform/ui"],
    "shell": ["system", "editor", "controller", "notewindow", "store", "sync", "platform/core",
              "platform/db", "platform/os", "platform/net", "platform/ui"],
}

# Qt's headers (QWidget, QtGui/qtguiglobal.h) and the C++ library's (<vector>), but not the
# parts of Qt that are one system's own.
PORTABLE_HEADER = re.compile(r"^(?!QDBus|QtDBus|QX11|qpa/)(Q\w*|Qt\w+/\w+\.h|[a-z_]+)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
COMPANION_PARTS = ("common", "update", "sendcomment")


def folder_of(path):
    """The table's name for a path below src/ (or an include written from src/)."""
    parts = path.split("/")
    if parts[0] == "platform" and len(parts) > 2:
        return "platform/" + parts[1]
    if parts[0] == "companion" or parts[0] in COMPANION_PARTS:
        return "companion"
    return parts[0] if len(parts) > 1 else None


def check(src, shown):
    faults = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp", ".in") or not file.is_file():
            continue
        relative = file.relative_to(src).as_posix()
        own = folder_of(relative)
        if own not in MAY_INCLUDE:
            faults.append(f"{shown}/{relative}: folder {own} is not in the table")
            continue
        for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quote, name = match.groups()
            where = f"{shown}/{relative}:{number}: {line.strip()}"
            if quote == "<":
                if not own.startswith("platform/") and not PORTABLE_HEADER.match(name):
                    faults.append(f"{where}: a system header outside src/platform")
                continue
            if "/" not in name:
                # Beside the including file (or moc's output for it).
                if not (file.parent / name).exists() and not name.endswith(".moc"):
                    faults.append(f"{where}: no such file beside it")
                continue
            target = folder_of(name)
            if target != own and target not in MAY_INCLUDE[own]:
                faults.append(f"{where}: {own} may not include {target}")
    return faults


def main():
    if len(sys.argv) > 1:
        src, shown = pathlib.Path(sys.argv[1]), sys.argv[1].rstrip("/")
    else:
        src, shown = pathlib.Path(__file__).resolve().parent.parent / "src", "src"
    faults = check(src, shown)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"check-includes: {len(faults)} include(s) break the layering", file=sys.stderr)
        return 1
    print("check-includes: every include keeps the layering")
    return 0


if __name__ == "__main__":
    sys.exit(main())
