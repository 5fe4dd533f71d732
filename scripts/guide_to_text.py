#!/usr/bin/env python3
"""Turns the user guide's Markdown into the plain text file that ships.

Notepad shows the result cleanly on every Windows from 7 on: UTF-8 with a
signature (before Windows 10 1903 Notepad reads a file without one in the
ANSI code page), CRLF line ends, and no Markdown syntax. Headings become
underlined lines, emphasis and code marks go, a link becomes its text with
the address in brackets (a link within the guide names the section), and
a table becomes aligned columns, wrapped to 78 characters; a table too wide
for that becomes one block per row. Indented code is kept as it is.

Only the Markdown the guide uses is understood. Standard library only:
    python3 scripts/guide_to_text.py GUIDE.md OUT.txt [--top LINE] [--version V]
--top puts LINE and an empty line first; --version replaces @VERSION@.
"""

import argparse
import re
import textwrap

WIDTH = 78
GAP = "  "
MIN_COLUMN = 10

CODE = re.compile(r"(`+) ?(.+?) ?\1(?!`)")
LINK = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)")
BOLD = re.compile(r"\*\*(.+?)\*\*")
CELL = re.compile(r"(?<!\\)\|")


def plain(text):
    """A line's text without emphasis, code marks and link syntax; the text
    of code spans is kept as it is (emphasis may hold a code span)."""
    text = BOLD.sub(r"\1", text)
    out, at = [], 0
    for m in CODE.finditer(text):
        out.append(links(text[at:m.start()]))
        out.append(m.group(2))
        at = m.end()
    out.append(links(text[at:]))
    return "".join(out)


def links(text):
    def link(m):
        label, target = m.group(1), m.group(2)
        return '"%s"' % label if target.startswith("#") else "%s (%s)" % (label, target)
    return LINK.sub(link, text)


def cells(line):
    parts = CELL.split(line.strip())[1:-1]
    return [plain(p.strip().replace("\\|", "|")) for p in parts]


def fit(natural):
    """Column widths that fit WIDTH, the widest shrunk first; None when even
    MIN_COLUMN each does not fit."""
    widths = list(natural)
    room = WIDTH - len(GAP) * (len(widths) - 1)
    if sum(min(w, MIN_COLUMN) for w in widths) > room:
        return None
    while sum(widths) > room:
        widest = max(range(len(widths)), key=lambda i: widths[i])
        widths[widest] -= 1
    return widths


def table(rows):
    head, body = rows[0], rows[1:]
    natural = [max(len(r[i]) for r in rows) for i in range(len(head))]
    widths = fit(natural)
    if widths is None:
        # One block per row: its first cell, then the others by their heading.
        out = []
        for r in body:
            out.append("%s %s" % (head[0], r[0]) if r[0].isdigit() else r[0])
            for name, value in zip(head[1:], r[1:]):
                if value:
                    out += textwrap.wrap("%s: %s" % (name, value), WIDTH, initial_indent="  ",
                                         subsequent_indent="    ", break_on_hyphens=False)
            out.append("")
        return out[:-1]

    def lines(r):
        wrapped = [textwrap.wrap(c, w, break_on_hyphens=False) or [""] for c, w in zip(r, widths)]
        return [GAP.join(
                    (col[i] if i < len(col) else "").ljust(w) for col, w in zip(wrapped, widths)
                ).rstrip() for i in range(max(len(col) for col in wrapped))]
    out = lines(head) + [GAP.join("-" * w for w in widths)]
    blocks = [lines(r) for r in body]
    spaced = any(len(b) > 1 for b in blocks)
    for b in blocks:
        out += b + ([""] if spaced else [])
    return out[:-1] if spaced else out


def convert(markdown):
    out = []
    lines = markdown.split("\n")
    i, code = 0, False
    while i < len(lines):
        line = lines[i].rstrip()
        if line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                if not re.fullmatch(r"\|[-|: ]+\|", lines[i].strip()):
                    rows.append(cells(lines[i]))
                i += 1
            out += table(rows)
            continue
        # Indented code follows an empty line and keeps its indent of four
        # beyond the text around it.
        indent = len(line) - len(line.lstrip())
        if line and (code or (not out or not out[-1]) and indent >= 4 and not line.lstrip().startswith("-")):
            code = True
            out.append(line)
        elif line.startswith("#"):
            level = len(line) - len(line.lstrip("#"))
            title = plain(line[level:].strip())
            if out and out[-1]:
                out.append("")
            out += [title, ("=" if level == 1 else "-") * len(title)]
        else:
            code = code and bool(line)
            out.append(plain(line))
        i += 1
    while out and not out[-1]:
        out.pop()
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("guide")
    parser.add_argument("out")
    parser.add_argument("--top", help="a line to put first")
    parser.add_argument("--version", help="replaces @VERSION@")
    args = parser.parse_args()
    with open(args.guide, encoding="utf-8") as f:
        text = f.read().replace("\r\n", "\n")
    if args.version:
        text = text.replace("@VERSION@", args.version)
    lines = convert(text)
    if args.top:
        lines = [args.top, ""] + lines
    with open(args.out, "w", encoding="utf-8-sig", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
