#!/usr/bin/env python3
"""Every text the program shows has a finished English translation.

Runs lupdate over the sources into a copy of translations/zettara_en.ts (the tree is not
touched), then fails on any text without a finished, non-empty translation, and on a
translation whose %1-style arguments or accelerator do not match its source text.
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
TS = ROOT / "translations" / "zettara_en.ts"
LUPDATE = shutil.which("lupdate", path="/usr/lib/qt6/bin") or shutil.which("lupdate")
ARG = re.compile(r"%L?\d+|%n")
# Qt's accelerator marker, but not "&&" (a literal ampersand).
ACCEL = re.compile(r"(?<!&)&(?!&)\S")


def problems(ts_path):
    found = []
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            if kind in ("obsolete", "vanished"):
                continue
            forms = [f.text or "" for f in translation.iter("numerusform")] if translation is not None else []
            texts = forms or [translation.text or "" if translation is not None else ""]
            where = f"{name}: {source!r}"
            if kind == "unfinished" or any(not t.strip() for t in texts):
                found.append(f"no finished English translation: {where}")
                continue
            for text in texts:
                if sorted(set(ARG.findall(source))) != sorted(set(ARG.findall(text))):
                    found.append(f"arguments differ from the source: {where} -> {text!r}")
                if bool(ACCEL.search(source)) != bool(ACCEL.search(text)):
                    found.append(f"accelerator missing or extra: {where} -> {text!r}")
    return found


def main():
    if not LUPDATE:
        sys.exit("lupdate not found (Debian package qt6-l10n-tools)")
    if not TS.exists():
        sys.exit(f"{TS.relative_to(ROOT)} is missing")
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder) / TS.name
        shutil.copy(TS, copy)
        subprocess.run([LUPDATE, "-silent", "-no-obsolete", "-locations", "none",
                        str(ROOT / "src"), "-ts", str(copy)], check=True)
        found = problems(copy)
    for line in found:
        print(line, file=sys.stderr)
    if found:
        sys.exit(f"{len(found)} text(s) need work in {TS.relative_to(ROOT)} "
                 "(run lupdate as the README says, then translate)")
    print("every text has a finished English translation")


if __name__ == "__main__":
    main()
