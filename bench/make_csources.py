"""Writes a corpus of marked C sources for the protoglean benchmark: files of
functions and variables marked with _f and _v, copy blocks, comments and a
few long lines; most lines are 20 to 80 characters long.
Usage: make_csources.py DIRECTORY SIZE_MB"""

import os
import random
import sys

TYPES = ["int", "long", "unsigned", "char *", "const char *", "double", "size_t",
         "struct node *", "void"]
WORDS = ["count", "index", "buffer", "length", "node", "table", "entry", "value",
         "limit", "cursor", "offset", "total", "result", "state", "flags"]


def typed(type_name, name):
    return type_name + name if type_name.endswith("*") else type_name + " " + name


def function(rng, n):
    name = "%s_%s_%d" % (rng.choice(WORDS), rng.choice(WORDS), n)
    params = ", ".join(typed(rng.choice(TYPES[:-1]), rng.choice(WORDS))
                       for _ in range(rng.randint(0, 4))) or "void"
    lines = ["/* %s: works out the %s of the %s. */" % (name, rng.choice(WORDS), rng.choice(WORDS))]
    if rng.random() < 0.3:
        lines += ["_f %s %s(%s)" % (rng.choice(TYPES), name, params), "{"]
    else:
        lines += ["_f %s %s(%s) {" % (rng.choice(TYPES), name, params)]
    for _ in range(rng.randint(4, 25)):
        a, b = rng.choice(WORDS), rng.choice(WORDS)
        c, d = rng.choice(WORDS), rng.choice(WORDS)
        lines.append(rng.choice([
            "    %s = %s(%s, %s) + %d;" % (a, c, b, d, rng.randint(0, 999)),
            "    if (%s->%s > %s) %s = %s->%s;" % (a, c, b, a, b, d),
            "    for (%s = 0; %s < %s; ++%s) total += %s[%s];" % (a, a, b, a, b, a),
            "        %s(%s, %s, \"%s %s\");" % (c, a, b, d, rng.choice(WORDS)),
            "    return %s + %s * %d;" % (a, b, rng.randint(2, 99)),
            "    /* keep the %s in step with the %s */" % (a, b),
        ]))
    if rng.random() < 0.02:  # a few long lines
        lines.append("    /* " + " ".join(rng.choice(WORDS) for _ in range(rng.randint(40, 400))) + " */")
    lines.append("}")
    lines.append("")
    return lines


def variables(rng, n):
    lines = []
    for i in range(rng.randint(1, 4)):
        kind = rng.random()
        name = "%s_%d_%d" % (rng.choice(WORDS), n, i)
        if kind < 0.4:
            lines.append("_v %s = %d;" % (typed(rng.choice(TYPES[:-1]), name), rng.randint(0, 99)))
        elif kind < 0.7:
            lines.append("_v %s[%d] = { 1, 2, 3 };" % (typed(rng.choice(TYPES[:-1]), name),
                                                      rng.randint(2, 64)))
        else:
            lines.append("_v %s;" % typed(rng.choice(TYPES[:-1]), name))
    lines.append("")
    return lines


def copy_block(rng, n):
    return ["_copy", "#define %s_%d %d" % (rng.choice(WORDS).upper(), n, rng.randint(0, 9999)),
            "typedef struct %s_%d { int %s; } %s_%d;" % (rng.choice(WORDS), n, rng.choice(WORDS),
                                                        rng.choice(WORDS), n),
            "_uncopy", ""]


def source(rng, target):
    lines = ['#include <stdio.h>', '#include "local.h"', ""]
    size, n = 0, 0
    while size < target:
        r = rng.random()
        part = copy_block(rng, n) if r < 0.05 else variables(rng, n) if r < 0.25 else function(rng, n)
        lines += part
        size += sum(len(line) + 1 for line in part)
        n += 1
    return "\n".join(lines) + "\n"


def main(directory, size_mb):
    rng = random.Random(4)
    os.makedirs(directory, exist_ok=True)
    file_size = 1 << 20
    count = (size_mb << 20) // file_size
    # A handful of distinct files, repeated under new names, keeps the
    # generation quick; the extractor does the same work either way.
    samples = [source(rng, file_size).encode() for _ in range(8)]
    for i in range(count):
        with open(os.path.join(directory, "src%04d.c" % i), "wb") as f:
            f.write(samples[i % len(samples)])


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
