"""Writes a corpus of marked C sources for the protoglean benchmark from real
code: each given source marked as its author would mark it (_f before every
function definition that starts a line, _v before every variable defined at
file scope, runs of #define lines moved into a "_copy" ... "_uncopy" comment)
and the lot concatenated into files of about 1 MB, repeated up to the size.
Usage: mark_sources.py DIRECTORY SIZE_MB SOURCE..."""

import os
import re
import sys

# Lines at file scope that define no function or variable of their own.
NOT_DEFINITIONS = re.compile(
    r"(#|//|/\*|\*|\}|\{|namespace\b|using\b|typedef\b|extern\b|template\b|"
    r"static_assert\b|return\b|(struct|class|enum|union)\b[^(=;]*(\{|;|$))")


def statement_kind(text):
    """What the statement that begins text defines, and where its head
    ends: "_f" when a "(" comes before its first "{", and that before its
    first ";"; "_v" when it ends at ";" or at an "=" before any "(" or
    "{"; None otherwise."""
    first = {c: text.find(c) for c in "({;="}
    first = {c: i for c, i in first.items() if i >= 0}
    if not first:
        return None, 0
    stop = min(first, key=first.get)
    if stop == "(":
        brace, semi = first.get("{", -1), first.get(";", -1)
        if brace >= 0 and (semi < 0 or brace < semi):
            return "_f", brace
        return None, 0
    return ("_v", first[stop]) if stop in ";=" else (None, 0)


def mark(text):
    lines = text.split("\n")
    out = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("#define"):
            block = []
            while i < len(lines) and (lines[i].startswith("#define") or
                                      (block and block[-1].endswith("\\"))):
                block.append(lines[i])
                i += 1
            out += ["/* Shared with the header:", "_copy"] + block + ["_uncopy", "*/"]
            continue
        if line and not line[0].isspace() and not NOT_DEFINITIONS.match(line):
            head = "\n".join(lines[i:i + 12])
            kind, end = statement_kind(head)
            # A head broken by a preprocessor line is left unmarked.
            if kind and "\n#" not in head[:end]:
                # The lines of the head are the declaration's, unmarked.
                count = head.count("\n", 0, end) + 1
                out.append(kind + " " + line)
                out += lines[i + 1:i + count]
                i += count
                continue
        out.append(line)
        i += 1
    return "\n".join(out)


def main(directory, size_mb, sources):
    marked = []
    for source in sources:
        with open(source, encoding="utf-8", errors="surrogateescape") as f:
            marked.append(mark(f.read()))
    one = "\n".join(marked).encode("utf-8", errors="surrogateescape")
    file_size = 1 << 20
    copies = max(1, file_size // len(one))
    block = one * copies
    os.makedirs(directory, exist_ok=True)
    for i in range(max(1, (size_mb << 20) // len(block))):
        with open(os.path.join(directory, "src%04d.c" % i), "wb") as f:
            f.write(block)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3:])
