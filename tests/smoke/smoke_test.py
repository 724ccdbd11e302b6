#!/usr/bin/python3
"""Smoke test of the built program, driven as a user drives it.

The program runs on a display of its own (Xvfb) with a profile of its own, and
gets its keys from xdotool. For every page of the corpus it is started on a copy
of the page; the caret goes to the top, moves a little, goes to the very end, an
"x" is typed, the page is saved with Ctrl+S and the program is left through the
File menu (F10, then x for E&xit). The program must end by itself with status 0,
and the file must hold exactly its old bytes with the typed "x" after them. A
second pass opens pages through File > Open and its file dialog instead.

With --valgrind the program runs under Valgrind's memcheck instead, and one run
goes from page to page: a page from the command line, another through File >
Open, File > New, a page read again in another encoding through File > Reopen
with Encoding; then a run killed with unsaved work and a run that recovers it.
Any invalid read or write Valgrind reports fails the test.

Standard library only: run it with /usr/bin/python3. Needs Xvfb and xdotool
(packages xvfb and xdotool), and valgrind for --valgrind.

    /usr/bin/python3 tests/smoke/smoke_test.py --program build/release/src/vellumo
    /usr/bin/python3 tests/smoke/smoke_test.py --program build/release/src/vellumo --valgrind
"""

import argparse
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.dont_write_bytecode = True  # no __pycache__ left in the source tree
import make_corpus  # noqa: E402  (beside this file)

PAGES_FOLDER = HERE / "pages"

# The pages also opened through File > Open and its file dialog.
DIALOG_PAGES = [
    "lf-lower.html",
    "cp1252-declared.html",
    "utf16be-bom.html",
    "empty.html",
    "page with spaces \u00e9.html",
    "zlib-usage-example.html",
]

# The keys that move the caret before it goes to the end of the page.
WANDER_KEYS = ["ctrl+Home", "Down", "Down", "Right", "Right", "Right", "ctrl+End"]

STDERR_LINES = 40


class Failure(Exception):
    """A check that did not hold; the message says what and where."""


class Timing:
    """How long to wait for things: the program is many times slower under Valgrind."""

    def __init__(self, slow):
        factor = 12.0 if slow else 1.0
        self.window = 20.0 * (4.0 if slow else 1.0)  # the main window appears
        self.settle = 0.3 * factor  # a page just opened is in the editor
        self.dialog = 10.0 * (6.0 if slow else 1.0)  # a dialog or a menu appears
        self.save = 10.0 * (6.0 if slow else 1.0)  # the saved file is there
        self.exit = 20.0 * (5.0 if slow else 1.0)  # the program has ended
        self.key_delay_ms = 60 if slow else 25


class Profile:
    """A home folder and XDG folders of their own, with the settings a test run wants."""

    def __init__(self, folder):
        self.folder = Path(folder)
        self.home = self.folder / "home"
        self.config = self.folder / "config"
        self.data = self.folder / "data"
        self.cache = self.folder / "cache"
        self.runtime = self.folder / "runtime"
        for path in (self.home, self.config, self.data, self.cache, self.runtime):
            path.mkdir(parents=True, exist_ok=True)
        os.chmod(self.runtime, 0o700)
        settings = self.config / "Vellumo" / "Vellumo.conf"
        settings.parent.mkdir(parents=True, exist_ok=True)
        # No Tip of the Day at start-up.
        settings.write_text("[General]\nTip=No\n", encoding="ascii")

    def environment(self, display):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": display,
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.config),
            "XDG_DATA_HOME": str(self.data),
            "XDG_CACHE_HOME": str(self.cache),
            "XDG_RUNTIME_DIR": str(self.runtime),
            "TMPDIR": str(self.folder),
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            # The test suite runs with the offscreen platform; this test needs the display.
            "QT_QPA_PLATFORM": "xcb",
        }
        return env


class Display:
    """An Xvfb server of the test's own, on the first free display number."""

    def __init__(self, log_path):
        read_end, write_end = os.pipe()
        self._log = open(log_path, "wb")
        self.process = subprocess.Popen(
            # -noreset: without it the server resets whenever its last client goes,
            # between two runs of the program, and refuses connections meanwhile.
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=self._log,
            stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(left, 0))
                if not ready:
                    raise Failure("Xvfb did not report its display number within 30 s")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise Failure("Xvfb ended before it reported its display number "
                                  "(see %s)" % log_path)
                number += chunk
        finally:
            os.close(read_end)
        self.name = ":" + number.decode("ascii").strip()

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self._log.close()


class X:
    """xdotool on the test's display."""

    def __init__(self, display):
        # A UTF-8 locale, so that xdotool types the characters of a path as they are.
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "DISPLAY": display,
                    "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"}

    def run(self, *args, check=True, timeout=30):
        try:
            done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                                  text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("xdotool %s did not finish within %d s" % (" ".join(args), timeout))
        if check and done.returncode != 0:
            raise Failure("xdotool %s failed: %s" % (" ".join(args), done.stderr.strip()))
        return done

    def visible_windows(self, pid):
        done = self.run("search", "--onlyvisible", "--pid", str(pid), check=False)
        return [int(line) for line in done.stdout.split()]

    def name(self, window):
        done = self.run("getwindowname", str(window), check=False)
        return done.stdout.strip() if done.returncode == 0 else "?"

    def area(self, window):
        done = self.run("getwindowgeometry", "--shell", str(window), check=False)
        values = dict(line.split("=", 1) for line in done.stdout.split() if "=" in line)
        return int(values.get("WIDTH", 0)) * int(values.get("HEIGHT", 0))

    def focus(self, window):
        self.run("windowfocus", "--sync", str(window), timeout=10)


def screenshot(display, path):
    """The whole screen as a PNG, through libX11 (loaded with ctypes) and zlib."""
    import ctypes
    import ctypes.util
    import struct
    import zlib

    class XImage(ctypes.Structure):
        _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int),
                    ("xoffset", ctypes.c_int), ("format", ctypes.c_int),
                    ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                    ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                    ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                    ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]

    library = ctypes.util.find_library("X11")
    if library is None:
        return False
    x11 = ctypes.CDLL(library)
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        return False
    try:
        width, height = 1280, 1024
        image = x11.XGetImage(connection, x11.XDefaultRootWindow(connection), 0, 0, width,
                              height, 0xFFFFFFFF, 2)  # ZPixmap
        if not image or image.contents.bits_per_pixel != 32:
            return False
        shot = image.contents
        raw = ctypes.string_at(shot.data, shot.bytes_per_line * shot.height)
        rows = []
        for y in range(height):
            line = raw[y * shot.bytes_per_line:y * shot.bytes_per_line + width * 4]
            pixels = bytearray(width * 3)
            pixels[0::3] = line[2::4]
            pixels[1::3] = line[1::4]
            pixels[2::3] = line[0::4]
            rows.append(b"\0" + bytes(pixels))
    finally:
        x11.XCloseDisplay(connection)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    Path(path).write_bytes(
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
        + chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b""))
    return True


def _die_with_parent():
    """In a child before it runs its program: ends it when the test itself ends, so
    that an interrupted or timed-out test leaves neither X server nor program behind."""
    import ctypes
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL, 0, 0, 0)  # PR_SET_PDEATHSIG


def describe_status(status):
    if status is None:
        return "no status yet"
    if status < 0:
        return "signal %d (%s)" % (-status, signal.Signals(-status).name)
    return "status %d" % status


def describe_bytes(data, limit=120):
    if len(data) <= limit:
        return repr(data)
    return "%d bytes, ending %r" % (len(data), data[-limit:])


def first_difference(expected, actual):
    for i, (a, b) in enumerate(zip(expected, actual)):
        if a != b:
            return i
    return min(len(expected), len(actual))


class Program:
    """One run of the program under test, with its own stderr file."""

    def __init__(self, smoke, label, arguments, profile, valgrind_log=None):
        self.smoke = smoke
        self.x = smoke.x
        self.timing = smoke.timing
        self.label = label
        self.stderr_path = smoke.work / ("stderr-%s.txt" % label)
        self.valgrind_log = valgrind_log
        command = [smoke.program, *arguments]
        if valgrind_log is not None:
            command = ["valgrind", "--error-exitcode=9", "--errors-for-leak-kinds=none",
                       "--leak-check=no", "-q", "--log-file=%s" % valgrind_log,
                       *smoke.valgrind_extra, *command]
        env = profile.environment(smoke.display.name)
        if valgrind_log is not None:
            # Code that PCRE2 compiles at run time for Qt's regular expressions is
            # opaque to Valgrind, which then reports it as using uninitialised values.
            env["QT_ENABLE_REGEXP_JIT"] = "0"
        self._stderr = open(self.stderr_path, "wb")
        # Each step with the size Valgrind's report had when it began.
        self.steps = []
        self.step = "starting %s" % " ".join(command)
        self.process = subprocess.Popen(
            command, cwd=smoke.work, env=env, stdin=subprocess.DEVNULL, stdout=self._stderr,
            stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        self.window = None

    @property
    def step(self):
        return self.steps[-1][0]

    @step.setter
    def step(self, name):
        size = 0
        if self.valgrind_log is not None:
            try:
                size = os.path.getsize(self.valgrind_log)
            except OSError:
                size = 0
        self.steps.append((name, size))

    def step_of_report_offset(self, offset):
        """The step during which Valgrind wrote the report's byte `offset`."""
        found = self.steps[0][0]
        for name, size in self.steps:
            if size <= offset:
                found = name
        return found

    # Reporting.

    def stderr_head(self):
        self._stderr.flush()
        try:
            lines = self.stderr_path.read_text(encoding="utf-8", errors="replace").splitlines()
        except OSError:
            return "(no output)"
        if not lines:
            return "(no output)"
        head = lines[:STDERR_LINES]
        more = "" if len(lines) <= STDERR_LINES else "\n... (%d more lines in %s)" % (
            len(lines) - STDERR_LINES, self.stderr_path)
        return "\n".join(head) + more

    def fail(self, what):
        """Raises a Failure naming the step, with a picture of the screen and the output."""
        picture = self.smoke.work / ("screen-%s.png" % self.label)
        extra = ""
        if self.process.poll() is None:
            try:
                others = [w for w in self.x.visible_windows(self.process.pid) if w != self.window]
                if others:
                    extra += "\nOther windows open: %s" % ", ".join(
                        "%r" % self.x.name(w) for w in others)
            except Failure:
                pass
        try:
            if screenshot(self.smoke.display.name, picture):
                extra += "\nThe screen: %s" % picture
        except Exception as error:  # a picture is a help, never a reason to stop
            extra += "\n(no picture of the screen: %s)" % error
        raise Failure("%s\nStep: %s\n%s%s\nThe program's output (first %d lines):\n%s" % (
            self.label, self.step, what, extra, STDERR_LINES, self.stderr_head()))

    # Windows.

    def _others(self):
        return [w for w in self.x.visible_windows(self.process.pid) if w != self.window]

    def wait_for_window(self):
        self.step = "waiting for the main window"
        deadline = time.monotonic() + self.timing.window
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                self.fail("The program ended with %s before its window showed."
                          % describe_status(self.process.returncode))
            windows = self.x.visible_windows(self.process.pid)
            if windows:
                # The main window is shown first and is the largest one.
                self.window = max(windows, key=self.x.area)
                time.sleep(self.timing.settle)
                return
            time.sleep(0.1)
        self.fail("No window appeared within %.0f s." % self.timing.window)

    def wait_for_other_window(self, what, name=None, count=1):
        """Waits for a menu or a dialog besides the main window (for `count` of them, a
        menu and its submenu); returns the id of one, of the one named `name` if given."""
        deadline = time.monotonic() + self.timing.dialog
        seen = []
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                self.fail("The program ended with %s while %s was expected."
                          % (describe_status(self.process.returncode), what))
            seen = self._others()
            for window in seen if len(seen) >= count else []:
                if name is None or self.x.name(window) == name:
                    return window
            time.sleep(0.05)
        self.fail("Expected %s; it did not appear within %.0f s (windows: %s)." % (
            what, self.timing.dialog, ", ".join("%r" % self.x.name(w) for w in seen) or "none"))

    def wait_for_no_other_window(self, what):
        deadline = time.monotonic() + self.timing.dialog
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                self.fail("The program ended with %s while %s."
                          % (describe_status(self.process.returncode), what))
            if not self._others():
                return
            time.sleep(0.05)
        self.fail("Expected only the main window once %s; still open: %s." % (
            what, ", ".join("%r" % self.x.name(w) for w in self._others())))

    def lingering_window(self, since):
        """Tracks windows besides the main one: returns (when they were first seen, or
        None when there are none) and whether they have stayed long enough to be a
        question or a message rather than something passing."""
        others = self._others()
        if not others:
            return None, False
        now = time.monotonic()
        if since is None:
            return now, False
        return since, now - since > 1.0 + 3 * self.timing.settle

    # Keys.

    def _send(self, window, *command, timeout=30):
        try:
            self.x.focus(window or self.window)
            self.x.run(*command, timeout=timeout)
        except Failure as failure:
            # A window that went away mid-step is most often a program that crashed.
            try:
                status = self.process.wait(2)
            except subprocess.TimeoutExpired:
                self.fail("Sending keys failed: %s" % failure)
            self.fail("The program ended with %s; it was gone when keys were sent to it." % (
                describe_status(status)))

    def keys(self, *names, window=None):
        self._send(window, "key", "--delay", str(self.timing.key_delay_ms), *names)

    def type_text(self, text, window=None):
        self._send(window, "type", "--delay", str(self.timing.key_delay_ms), "--", text,
                   timeout=120)

    def menu(self, opener, entry_key, what):
        """Opens a drop-down menu with `opener` (F10: File) and picks an entry by its key."""
        self.step = "%s: %s, then %s" % (what, opener, entry_key)
        self.keys(opener)
        self.wait_for_other_window("the File menu to open after %s" % opener)
        self.keys(entry_key)

    # The page's life.

    def open_through_dialog(self, path):
        """File > Open, the full path typed into the file dialog, Enter."""
        self.menu("F10", "o", "File > Open")
        self.step = "File > Open: typing the path into the file dialog"
        dialog = self.wait_for_other_window("the Open dialog", name="Open")
        self.type_text(str(path), window=dialog)
        self.keys("Return", window=dialog)
        self.step = "File > Open: waiting for the dialog to close"
        self.wait_for_no_other_window("the Open dialog was answered with %s" % path)
        time.sleep(self.timing.settle)

    def type_and_save(self, path, expected):
        self.step = "moving the caret, then typing x at the end"
        self.wait_for_no_other_window("the page was opened")
        self.keys(*WANDER_KEYS)
        self.keys("x")
        self.step = "saving with Ctrl+S"
        self.keys("ctrl+s")
        self.wait_for_bytes(path, expected, "after Ctrl+S")

    def wait_for_bytes(self, path, expected, when):
        deadline = time.monotonic() + self.timing.save
        actual = None
        others_since = None
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                self.fail("The program ended with %s before %s held the expected bytes." % (
                    describe_status(self.process.returncode), Path(path).name))
            try:
                actual = Path(path).read_bytes()
            except OSError:
                actual = None
            if actual == expected:
                return
            others_since, lingering = self.lingering_window(others_since)
            if lingering:
                break  # a question or a message: waiting longer will not help
            time.sleep(0.05)
        if actual is None:
            self.fail("%s is missing %s." % (path, when))
        at = first_difference(expected, actual)
        self.fail("%s does not hold the expected bytes %s.\nExpected %s\nFound    %s\n"
                  "First difference at byte %d: expected %r, found %r." % (
                      Path(path).name, when, describe_bytes(expected), describe_bytes(actual),
                      at, expected[at:at + 16], actual[at:at + 16]))

    def quit_through_menu(self):
        """File > Exit from the keyboard, then the program must end with status 0."""
        self.menu("F10", "x", "File > Exit")
        self.step = "File > Exit: waiting for the program to end"
        self.wait_for_exit()

    def wait_for_exit(self):
        deadline = time.monotonic() + self.timing.exit
        others_since = None
        while self.process.poll() is None:
            others_since, lingering = self.lingering_window(others_since)
            if lingering:
                self.fail("The program did not end after File > Exit: a window stayed open.")
            if time.monotonic() > deadline:
                self.fail("The program was still running %.0f s after File > Exit."
                          % self.timing.exit)
            time.sleep(0.05)
        status = self.process.returncode
        self._stderr.flush()
        if status < 0:
            self.fail("The program was killed by %s." % describe_status(status))
        if status == 9 and self.valgrind_log is not None:
            self.fail("Valgrind found errors (status 9).")
        if status != 0:
            self.fail("The program ended with status %d, not 0." % status)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self._stderr.close()


class Smoke:
    def __init__(self, options):
        self.program = str(Path(options.program).resolve())
        self.options = options
        self.timing = Timing(options.valgrind)
        # Reports about the system's libraries alone (see the file) are left out.
        self.valgrind_extra = ["--suppressions=%s" % Path(options.suppressions).resolve()]
        self.root = Path(tempfile.mkdtemp(prefix="vellumo-smoke-"))
        self.work = self.root / "work"
        self.work.mkdir()
        self.display = Display(self.root / "xvfb.log")
        self.x = X(self.display.name)
        # The pointer out of the way, in a corner no window reaches: no tooltips.
        self.x.run("mousemove", "1279", "1023")
        self.runs = 0
        self.failures = []
        self.passes = 0

    def close(self, keep):
        self.display.close()
        if keep:
            print("The test's files are kept in %s" % self.root)
        else:
            shutil.rmtree(self.root, ignore_errors=True)

    def profile(self):
        self.runs += 1
        return Profile(self.root / ("profile-%d" % self.runs))

    def page_folder(self):
        folder = self.root / ("pages-%d" % self.runs)
        folder.mkdir(exist_ok=True)
        return folder

    def record(self, label, check):
        started = time.monotonic()
        try:
            check()
        except Failure as failure:
            self.failures.append(str(failure))
            print("FAIL %s (%.1f s)\n%s\n" % (label, time.monotonic() - started,
                                              indent(str(failure))), flush=True)
            return False
        self.passes += 1
        print("ok   %s (%.1f s)" % (label, time.monotonic() - started), flush=True)
        return True


def indent(text):
    return "\n".join("    " + line for line in text.splitlines())


def corpus(selected):
    pages = list(make_corpus.pages())
    for path in sorted(PAGES_FOLDER.glob("*.html")):
        pages.append(make_corpus.Page(path.name, path.read_bytes()))
    if selected:
        pages = [p for p in pages if p.name in selected]
        missing = set(selected) - {p.name for p in pages}
        if missing:
            raise SystemExit("no such page: %s" % ", ".join(sorted(missing)))
    return pages


# The normal passes.

def edit_page(smoke, page, program, copy):
    """The caret, the typed x, Ctrl+S and the bytes after it, for a page now in the editor."""
    if page.refused:
        program.step = "opening a file that is no page"
        message = program.wait_for_other_window("a message that the file cannot be opened",
                                                name="Vellumo")
        program.keys("Return", window=message)
        program.wait_for_no_other_window("the message was closed with Enter")
    else:
        program.type_and_save(copy, page.data + page.typed)
    program.quit_through_menu()
    if page.refused and copy.read_bytes() != page.data:
        program.step = "after the program ended"
        program.fail("The file it refused to open was changed.")


def check_from_command_line(smoke, page):
    profile = smoke.profile()
    copy = smoke.page_folder() / page.name
    copy.write_bytes(page.data)
    program = Program(smoke, "%s (command line)" % page.name, [str(copy)], profile)
    try:
        program.wait_for_window()
        edit_page(smoke, page, program, copy)
    finally:
        program.kill()


def check_through_open_dialog(smoke, page):
    profile = smoke.profile()
    copy = smoke.page_folder() / page.name
    copy.write_bytes(page.data)
    program = Program(smoke, "%s (File > Open)" % page.name, [], profile)
    try:
        program.wait_for_window()
        program.open_through_dialog(copy)
        edit_page(smoke, page, program, copy)
    finally:
        program.kill()


def normal_passes(smoke, selected):
    pages = corpus(selected)
    print("Pass 1: %d pages opened from the command line" % len(pages), flush=True)
    for page in pages:
        smoke.record("%s (command line)" % page.name,
                     lambda page=page: check_from_command_line(smoke, page))
    dialog_pages = [p for p in pages if p.name in DIALOG_PAGES]
    print("Pass 2: %d pages opened through File > Open" % len(dialog_pages), flush=True)
    for page in dialog_pages:
        smoke.record("%s (File > Open)" % page.name,
                     lambda page=page: check_through_open_dialog(smoke, page))


# The Valgrind pass.


def valgrind_report(log):
    try:
        return Path(log).read_text(encoding="utf-8", errors="replace")
    except OSError:
        return ""


def first_error_step(program, report):
    """Where the report's first error came from: a line naming the step, or ""."""
    first = re.search(r"^==\d+== \S.*$", report, re.MULTILINE)
    if first is None:
        return ""
    offset = len(report[:first.start()].encode("utf-8"))
    return "Valgrind's first report (%s) came during the step: %s\n" % (
        first.group(0).split("== ", 1)[1], program.step_of_report_offset(offset))


def valgrind_complaint(program):
    """What is wrong in Valgrind's report of a run that went well otherwise, or None."""
    report = valgrind_report(program.valgrind_log)
    if not re.search(r"Invalid (read|write)", report):
        return None
    return "%s\nValgrind reports invalid memory accesses.\n%sValgrind's report:\n%s" % (
        program.label, first_error_step(program, report), report.rstrip())


def check_valgrind_log(program):
    complaint = valgrind_complaint(program)
    if complaint:
        raise Failure(complaint)


def with_valgrind_report(program, failure):
    """`failure` with Valgrind's report of the run after it, when there is one."""
    report = valgrind_report(program.valgrind_log)
    if not report.strip():
        return failure
    return Failure("%s\n%sValgrind's report:\n%s" % (
        failure, first_error_step(program, report), report.rstrip()))


def memcheck_switching(smoke):
    """One run under Valgrind: page A, File > Open B, File > New, Reopen with Encoding."""
    pages = {p.name: p for p in corpus(None)}
    first = pages["crlf-upper.html"]
    second = pages["utf8-declared.html"]
    third = pages["utf16le-bom.html"]
    folder = smoke.page_folder()
    copies = {}
    for page in (first, second, third):
        copies[page.name] = folder / page.name
        copies[page.name].write_bytes(page.data)
    log = smoke.work / "valgrind-switching.log"
    program = Program(smoke, "page switching under Valgrind", [str(copies[first.name])],
                      smoke.profile(), valgrind_log=log)
    try:
        try:
            program.wait_for_window()
            # A: opened from the command line.
            program.type_and_save(copies[first.name], first.data + first.typed)
            # B: File > Open.
            program.open_through_dialog(copies[second.name])
            program.type_and_save(copies[second.name], second.data + second.typed)
            # File > New: a title typed into the title dialog, then Enter.
            program.step = "File > New (Ctrl+N): waiting for the title dialog"
            program.keys("ctrl+n")
            title = program.wait_for_other_window("the title dialog of a new page", name="Title")
            program.step = "File > New: typing a title, then Enter"
            program.type_text("Smoke test", window=title)
            program.keys("Return", window=title)
            program.wait_for_no_other_window("the title dialog was closed with Enter")
            # Something typed into the new page, so that the next Open asks first.
            program.step = "typing into the new page"
            program.keys("ctrl+End", "x")
            # C: File > Open, answering Yes to discarding the new page's text.
            program.menu("F10", "o", "File > Open over unsaved changes")
            program.step = "File > Open: the question about discarding the changes"
            question = program.wait_for_other_window("the question about unsaved changes",
                                                     name="Confirm")
            program.keys("y", window=question)
            program.step = "File > Open: typing the path into the file dialog"
            dialog = program.wait_for_other_window("the Open dialog", name="Open")
            program.type_text(str(copies[third.name]), window=dialog)
            program.keys("Return", window=dialog)
            program.wait_for_no_other_window("the Open dialog was answered")
            time.sleep(program.timing.settle)
            # The UTF-16 page read again as windows-1252 (the fourth encoding of the
            # menu): its bytes are kept as they are, and a typed x is now one byte.
            program.menu("F10", "e", "File > Reopen with Encoding")
            program.step = "File > Reopen with Encoding: choosing windows-1252"
            program.wait_for_other_window("the menu of encodings", count=2)
            program.keys("Down", "Down", "Down", "Return")
            program.wait_for_no_other_window("an encoding was chosen")
            time.sleep(program.timing.settle)
            program.type_and_save(copies[third.name], third.data + b"x")
            program.quit_through_menu()
        except Failure as failure:
            raise with_valgrind_report(program, failure)
        check_valgrind_log(program)
    finally:
        program.kill()


def memcheck_recovery(smoke):
    """A run killed with unsaved work, then a run under Valgrind that recovers it."""
    page = {p.name: p for p in corpus(None)}["cp1252-declared.html"]
    profile = smoke.profile()
    copy = smoke.page_folder() / page.name
    copy.write_bytes(page.data)
    crashed = Program(smoke, "%s (killed under Valgrind with unsaved work)" % page.name,
                      [str(copy)], profile, valgrind_log=smoke.work / "valgrind-killed.log")
    try:
        try:
            crashed.wait_for_window()
            crashed.step = "typing x at the end, not saving"
            crashed.keys("ctrl+End", "x")
            # The journal has each change at once; time for the keys to get there.
            time.sleep(max(1.0, 2 * crashed.timing.settle))
            crashed.step = "killing the program with SIGKILL"
            if crashed.process.poll() is not None:
                crashed.fail("The program had already ended, with %s." % describe_status(
                    crashed.process.returncode))
            crashed.process.kill()
            crashed.process.wait()
            if copy.read_bytes() != page.data:
                crashed.fail("The page changed on disk although it was never saved.")
        except Failure as failure:
            raise with_valgrind_report(crashed, failure)
        # Reported with the next run's findings: the recovery is worth trying all the same.
        killed_complaint = valgrind_complaint(crashed)
    finally:
        crashed.kill()

    log = smoke.work / "valgrind-recovery.log"
    program = Program(smoke, "%s (recovered under Valgrind)" % page.name, [str(copy)], profile,
                      valgrind_log=log)
    try:
        try:
            program.wait_for_window()
            program.step = "answering Yes to the offer to recover the unsaved changes"
            question = program.wait_for_other_window("the offer to recover unsaved changes",
                                                     name="Confirm")
            program.keys("y", window=question)
            program.wait_for_no_other_window("the recovery offer was answered Yes")
            time.sleep(program.timing.settle)
            program.step = "saving the recovered page with Ctrl+S"
            program.keys("ctrl+s")
            program.wait_for_bytes(copy, page.data + b"x", "after the recovered page was saved")
            program.quit_through_menu()
        except Failure as failure:
            failure = with_valgrind_report(program, failure)
            if killed_complaint:
                failure = Failure("%s\n\n%s" % (killed_complaint, failure))
            raise failure
        complaints = [c for c in (killed_complaint, valgrind_complaint(program)) if c]
        if complaints:
            raise Failure("\n\n".join(complaints))
    finally:
        program.kill()


def memcheck_pass(smoke):
    print("Valgrind pass: the program under memcheck", flush=True)
    smoke.record("page switching under Valgrind", lambda: memcheck_switching(smoke))
    smoke.record("recovery under Valgrind", lambda: memcheck_recovery(smoke))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="the program to test")
    parser.add_argument("--valgrind", action="store_true",
                        help="run the program under Valgrind's memcheck instead")
    parser.add_argument("--suppressions", default=str(HERE / "valgrind.supp"),
                        help="Valgrind's suppressions (default: valgrind.supp beside this file)")
    parser.add_argument("--page", action="append", default=[],
                        help="only this page (by file name; may be given again)")
    parser.add_argument("--keep", action="store_true",
                        help="keep the test's temporary files (always kept on failure)")
    options = parser.parse_args()

    if not os.access(options.program, os.X_OK):
        print("The program %s does not exist or cannot be run." % options.program)
        return 1
    needed = ["Xvfb", "xdotool"] + (["valgrind"] if options.valgrind else [])
    missing = [tool for tool in needed if shutil.which(tool) is None]
    if missing:
        print("Missing tools: %s (scripts/install-deps.sh installs them)." % ", ".join(missing))
        return 1

    # A test that is stopped (CTest's time-out, Ctrl+C) still cleans up.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit("Stopped by SIGTERM."))
    started = time.monotonic()
    smoke = Smoke(options)
    try:
        if options.valgrind:
            memcheck_pass(smoke)
        else:
            normal_passes(smoke, options.page)
    finally:
        smoke.close(keep=options.keep or bool(smoke.failures))
    print("\n%d passed, %d failed (%.0f s)" % (smoke.passes, len(smoke.failures),
                                               time.monotonic() - started))
    return 1 if smoke.failures else 0


if __name__ == "__main__":
    sys.exit(main())
