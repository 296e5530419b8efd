#!/usr/bin/env python3
"""Writes a note database with the program's own schema (data/schema.sql).

usage: make_notes.py <path> <notes> <visible> [--huge N] [--placed N] [--arranged N]
Every note is about 40 characters; the first <visible> notes are shown on the desktop.
--huge N makes every (notes / N)-th note a 1 MB text, the first of them a shown note.
--placed N (default 100) stores a window place for the first N notes, spread over 1600x1000.
--arranged N stores a window state for the first N notes: on top, 30% see-through, 12 pt, on
desktop 0."""
import argparse
import os
import sqlite3

SCHEMA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "schema.sql")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("path")
    parser.add_argument("notes", type=int)
    parser.add_argument("visible", type=int)
    parser.add_argument("--huge", type=int, default=0)
    parser.add_argument("--placed", type=int, default=100)
    parser.add_argument("--arranged", type=int, default=0)
    args = parser.parse_args()

    if os.path.exists(args.path):
        os.remove(args.path)
    db = sqlite3.connect(args.path)
    with open(SCHEMA, encoding="utf-8") as schema:
        db.executescript(schema.read())
    huge_every = args.notes // args.huge if args.huge else 0
    big = ("一行很长的便签文字。" * 10 + "\n") * 3500  # about 1 MB of UTF-8

    def rows():
        for i in range(1, args.notes + 1):
            if huge_every and i % huge_every == 1:
                text = big
            else:
                text = f"便签 {i}：明天上午十点开会，带上季度报告和预算表。"
            yield (text, "2026/3/1 9:15:00", "2026/3/2 17:40:12", 0, 12648447, 0,
                   1 if i <= args.visible else 0, 0, 20)

    db.executemany("INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,"
                   "Visual,TopMost,Transparent) VALUES(?,?,?,?,?,?,?,?,?)", rows())
    if args.placed:
        db.execute("CREATE TABLE NotePlacement(ID INTEGER PRIMARY KEY, X INTEGER, Y INTEGER, "
                   "Width INTEGER, Height INTEGER)")
        db.executemany("INSERT INTO NotePlacement VALUES(?, ?, ?, 170, 120)",
                       ((i, 20 + (i - 1) % 9 * 175, 20 + (i - 1) // 9 % 7 * 135, )
                        for i in range(1, min(args.placed, args.notes) + 1)))
    if args.arranged:
        db.execute("CREATE TABLE NoteWindowState(ID INTEGER PRIMARY KEY, KeepAbove INTEGER, "
                   "Opacity INTEGER, TextPoints INTEGER, AllWorkspaces INTEGER, Workspace INTEGER)")
        db.executemany("INSERT INTO NoteWindowState VALUES(?, 1, 30, 12, 0, 0)",
                       ((i,) for i in range(1, min(args.arranged, args.notes) + 1)))
    db.commit()
    db.close()


if __name__ == "__main__":
    main()
