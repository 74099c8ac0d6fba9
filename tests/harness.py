"""Runs the built programs in scratch directories for the end-to-end tests.

CTest passes the programs' paths in PRAVTWEAK and PROTOGLEAN, and for the
Windows build the emulator (Wine) in EMULATOR. A Windows program writes its
standard output and standard error as text streams, so every line feed it
prints arrives as CR LF; `expected()` turns an expected text into what the
build under test prints.
"""

import os
import re
import select
import shutil
import subprocess
import tempfile
import unittest

EMULATOR = os.environ.get("EMULATOR", "")
WINDOWS = bool(EMULATOR) or os.environ.get("TARGET_OS", "") == "windows"


class Pravtweak:
    """pravtweak's exit statuses, as pravtweak/exit_status.h names them."""
    REPLACED, CANNOT_OPEN, LISTING, USAGE = 0, 3, 5, 7
    DEBUG_STOP, DECLINED, NOT_REPLACED, PREMATURE_END = 11, 12, 13, 17


class Protoglean:
    """protoglean's exit statuses, as protoglean/exit_status.h names them."""
    SUCCESS, USAGE, CANNOT_OPEN, NOT_WRITTEN = 0, 2, 3, 13


# An INI file that edits organ.xml as a Pipravox10 without any setting.
INI = "[prav]\npipravox=pipravox10\nxml=organ.xml\n"


def organ(ids=range(10), eol="\r\n", before=("<organ>",), after=("</organ>",)):
    """An organ file whose rank section holds the ranks of the given ids."""
    lines = list(before) + ["\t<ranks>"]
    for i in ids:
        lines += [f'\t\t<rank id="{i}">', "\t\t\t<device>X</device>",
                  f"\t\t\t<channel>{i}</channel>", "\t\t\t<volume>90</volume>",
                  "\t\t\t<pan>64</pan>", "\t\t\t<bank>25</bank>", "\t\t\t<patch1>1</patch1>",
                  "\t\t\t<patch2>2</patch2>", "\t\t</rank>"]
    lines += ["\t</ranks>"] + list(after)
    return eol.join(lines) + eol


def program(name):
    path = os.environ.get(name.upper())
    if not path:
        raise unittest.SkipTest(f"{name.upper()} is not set: run the tests through ctest")
    return path


def expected(text):
    """The bytes a program of the build under test prints for text."""
    if isinstance(text, str):
        text = text.encode("latin-1")
    return text.replace(b"\n", b"\r\n") if WINDOWS else text


class Result:
    def __init__(self, status, stdout, stderr):
        self.status, self.stdout, self.stderr = status, stdout, stderr

    def __repr__(self):
        return f"Result(status={self.status}, stdout={self.stdout!r}, stderr={self.stderr!r})"


def program_environment(extra=None):
    """The environment a program runs in, with extra added. Wine reads the
    arguments and the Unix file names in the character set of the locale and
    takes its ANSI code page from it: C.UTF-8 makes them UTF-8 and the code
    page 1252, whatever the machine's locale is."""
    return {**os.environ, "WINEDEBUG": "-all", "LC_ALL": "C.UTF-8", "LANG": "C.UTF-8",
            **(extra or {})}


def run(name, args, cwd, stdin=b"", timeout=60, env=None):
    """Runs program name with args in cwd, with env added to the
    environment; standard input is no terminal."""
    command = ([EMULATOR] if EMULATOR else []) + [program(name)] + list(args)
    env = program_environment(env)
    done = subprocess.run(command, cwd=cwd, input=stdin, capture_output=True,
                          timeout=timeout, env=env)
    return Result(done.returncode, done.stdout, done.stderr)


def terminal_words(output):
    """Terminal output without its control sequences and white space: Wine's
    console draws a blank as a cursor move."""
    return re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]|\s", b"", output)


def run_on_terminal(name, args, cwd, keys, timeout=60):
    """Runs program name on a pseudo-terminal, as standard input, output and
    error (POSIX only; Wine passes it on as a console). Each time the program
    waits, the next of keys is typed, or called when it is a function; a key
    given as (text, key) waits until text has appeared (compared by
    terminal_words). Returns (status, terminal output)."""
    import pty
    import time
    master, slave = pty.openpty()
    command = ([EMULATOR] if EMULATOR else []) + [program(name)] + list(args)
    proc = subprocess.Popen(command, cwd=cwd, stdin=slave, stdout=slave, stderr=slave,
                            close_fds=True, env=program_environment())
    os.close(slave)
    seen = b""
    pending = [key if isinstance(key, tuple) else (b"", key) for key in keys]
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        ready, _, _ = select.select([master], [], [], 0.3)
        if ready:
            try:
                data = os.read(master, 4096)
            except OSError:
                break
            if not data:
                break
            seen += data
        elif pending and terminal_words(pending[0][0]) in terminal_words(seen):
            key = pending.pop(0)[1]
            if callable(key):
                key()
            else:
                os.write(master, key)
        elif proc.poll() is not None:
            break
    if proc.poll() is None:
        proc.kill()
    proc.wait(timeout=30)
    os.close(master)
    return proc.returncode, seen


class ScratchTestCase(unittest.TestCase):
    """Each test gets its own scratch directory, removed afterwards."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="e2e-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        if isinstance(data, str):
            data = data.encode("latin-1")
        full = self.path(name)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
        return full

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def files(self):
        return sorted(os.listdir(self.dir))

    def run_program(self, name, *args, stdin=b"", env=None):
        return run(name, args, self.dir, stdin=stdin, env=env)
