#!/usr/bin/env python3
"""A restless user for minutes at a time: random real actions on the sanitizer build of the
program, under a private Xvfb with a notification area (trayer), and after each action the checks
that must hold whatever the user did.

    monkey.py PROGRAM [--seconds N] [--seed S]

PROGRAM is the built program (its moondata.dat beside it is used when present). MONKEY_SECONDS and
MONKEY_SEED in the environment give the defaults of --seconds and --seed; the same seed chooses
the same actions again. Ends with "N passed, 0 failed" (N actions), or, at the first failed check,
with the seed, the action log and the program's sanitizer report, and a non-zero status.
"""

import argparse
import calendar
import collections
import ctypes
import ctypes.util
import math
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1280, 800
TWIPS = 15  # twips per pixel at the 96 dpi of Xvfb
SIDES = {-1: 60, 0: 120, 1: 240}
SANITIZER_RE = re.compile(r"ERROR: [A-Za-z]+Sanitizer|runtime error:|SUMMARY: [A-Za-z]+Sanitizer")
# The zone the program runs in: one with daylight-saving changes to jump across.
ZONE = "Europe/Berlin"
# Last Sundays of March and October, 01:00 UTC: the changes of ZONE.
DST_CHANGES = {2026: ((3, 29), (10, 25)), 2027: ((3, 28), (10, 31)), 2028: ((3, 26), (10, 29))}

# The popup's items in keyboard order (separators and the hidden 最小化 are skipped by the keys).
TOP_ITEMS = ["サイズ", "ウィンドウを消す", "満ち欠け", "月の情報を表示", "設定", "ヘルプ", "終了"]
SUB_ITEMS = {
    "サイズ": ["半分", "標準", "２倍"],
    "満ち欠け": ["現在の月を反映", "一周する"],
    "設定": ["常に前面に表示", "タスクトレイに入れる", "文字盤を線で描く", "月を満ち欠けさせる", "NT", "時計にする"],
    "ヘルプ": ["ヘルプファイルを見る", "バージョン情報"],
}
COMMANDS = [(top, sub) for top in TOP_ITEMS for sub in (SUB_ITEMS.get(top) or [None])]

# Keys the program owns, with what it could have written there.
NUMBER_RE = re.compile(r"^-?\d+(\.\d+)?([Ee][+-]?\d+)?$")
OWNED_KEYS = {
    ("tasktray", "setting"): lambda v: v in ("0", "1"),
    ("setting", "yearorclock"): lambda v: v in ("Year", "Clock"),
    ("frmmain", "uselinemojiban"): lambda v: v in ("True", "False"),
    ("frmmain", "mitikake"): lambda v: v in ("True", "False"),
    ("frmmain", "alwaysontop"): lambda v: v in ("True", "False"),
    ("frmmain", "nt"): lambda v: v in ("True", "False"),
    ("frmmain", "nowsize"): lambda v: v in ("-1", "0", "1"),
    ("frmmain", "top"): lambda v: bool(NUMBER_RE.match(v)) and abs(float(v)) <= 1e9,
    ("frmmain", "left"): lambda v: bool(NUMBER_RE.match(v)) and abs(float(v)) <= 1e9,
    # The colours have no writer but the default's write-back.
    ("color", "year"): lambda v: v == "41152",
    ("color", "clock"): lambda v: v == "16752640",
}


class Failure(Exception):
    pass


def run(*cmd, timeout=10, input_bytes=None):
    try:
        p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout,
                           input=input_bytes)
        return p.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return ""


def run_bytes(*cmd, timeout=10):
    try:
        return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout).stdout
    except subprocess.TimeoutExpired:
        return b""


def xdo(*args):
    return run("xdotool", *[str(a) for a in args])


# ---- The X server, read directly: window shapes ----

class XRectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort)]


class Shapes:
    """The bounding shape of a window through libXext, so roundness is read, not guessed."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xext = ctypes.CDLL(ctypes.util.find_library("Xext") or "libXext.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XFree.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xext.XShapeGetRectangles.restype = ctypes.POINTER(XRectangle)
        self.xext.XShapeGetRectangles.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                                  ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
        # A window may go away between a search and a query: an X error must not end the driver.
        handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
        self._handler = handler_type(lambda d, e: 0)
        self.x11.XSetErrorHandler(self._handler)
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display " + display)

    def rectangles(self, wid):
        count, ordering = ctypes.c_int(0), ctypes.c_int(0)
        rects = self.xext.XShapeGetRectangles(self.dpy, wid, 0, ctypes.byref(count), ctypes.byref(ordering))
        self.x11.XSync(self.dpy, 0)
        out = [(rects[i].x, rects[i].y, rects[i].width, rects[i].height) for i in range(count.value)] if rects else []
        if rects:
            self.x11.XFree(rects)
        return out


def disc_error(rects, side):
    """Why the shape is not the disc inscribed in a side × side window, or None."""
    if not rects:
        return "the window has no shape"
    spans = {}
    for x, y, w, h in rects:
        for row in range(y, y + h):
            lo, hi = spans.get(row, (x, x + w))
            spans[row] = (min(lo, x), max(hi, x + w))
    r = side / 2.0
    for row in range(side):
        d = row + 0.5 - r
        half = (r * r - d * d) ** 0.5 if r * r > d * d else 0.0
        want = (r - half, r + half)
        got = spans.get(row)
        if got is None:
            if half > 2.5:
                return f"row {row} of the window is empty, the disc needs {want[0]:.0f}..{want[1]:.0f}"
            continue
        if abs(got[0] - want[0]) > 2.5 or abs(got[1] - want[1]) > 2.5:
            return f"row {row} spans {got[0]}..{got[1]}, the disc {want[0]:.0f}..{want[1]:.0f}"
    if any(row < 0 or row >= side for row in spans):
        return "the shape reaches outside the window"
    return None


def disc_pixels_on_screen(x, y, side):
    """Pixels of the clock's disc (a pixel whose centre is inside it) that are on the screen."""
    r = side / 2.0
    count = 0
    for row in range(side):
        if not 0 <= y + row < SCREEN_H:
            continue
        d = (row + 0.5 - r) / r
        if d * d >= 1:
            continue
        half = r * (1 - d * d) ** 0.5
        first = math.ceil(r - half - 0.5)
        last = math.floor(r + half - 0.5)
        lo, hi = max(x + first, 0), min(x + last, SCREEN_W - 1)
        count += max(0, hi - lo + 1)
    return count


# ---- Pictures and files the user puts beside the program ----

def bmp_bytes(w, h, rng):
    row = (w * 3 + 3) & ~3
    c = bytes(rng.randrange(256) for _ in range(3))
    pixels = b"".join(c * w + b"\0" * (row - w * 3) for _ in range(h))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def read_ppm(data):
    """(width, height, rows of bytes) of a binary PPM."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    return w, h, [data[pos + y * w * 3: pos + (y + 1) * w * 3] for y in range(h)]


def whole_number(text):
    """The program's reading of a whole number from the INI file, or None."""
    text = text.strip()
    if not re.match(r"^[+-]?(\d+\.?\d*|\.\d+)$", text):
        return None
    v = float(text)
    return int(round(v))  # Python's round goes to the even neighbour, as the program's does


def parse_ini(text):
    """[(section or None, key or None, value or None, raw line)] in file order."""
    out, section = [], None
    for raw in text.split("\n"):
        line = raw.rstrip("\r")
        s = line.strip()
        if s.startswith("[") and "]" in s:
            section = s[1:s.index("]")].strip()
            out.append((section, None, None, line))
        elif "=" in s:
            k, v = s.split("=", 1)
            out.append((section, k.strip(), v.strip(), line))
        else:
            out.append((section, None, None, line))
    return out


def ini_lookup(entries, section, key):
    """The value the program reads: the first key of that name in the first section of that name."""
    first_section = None
    for sec, k, v, _ in entries:
        if sec is not None and k is None and first_section is None and sec.lower() == section.lower():
            first_section = sec
    for sec, k, v, line in entries:
        if sec is not None and sec.lower() == section.lower() and k is not None and k.lower() == key.lower():
            return v, line
    return None, None


class Monkey:
    def __init__(self, program, seconds, seed):
        self.program_src = os.path.abspath(program)
        self.seconds = seconds
        self.seed = seed
        self.rng = random.Random(seed)
        self.log = []
        self.kinds = collections.Counter()
        self.restarts = 0
        self.passed = 0
        self.proc = None
        self.runs = 0
        self.tray_on = False       # the icon is shown: its form is loaded
        self.tray_ticked = False   # タスクトレイに入れる's tick, as the last load or toggle left it
        self.end_allowed = False   # an action that may end the program came since the last start
        self.window = None         # the clock window last seen, and the side it must have
        self.window_side = None
        self.hand_lines = set()    # lines of the INI file that the hand put there
        self.menus = {}            # calibrated item offsets of each popup menu
        self.fake_offset = 0
        self.xvfb = self.trayer = None

    # ---- Set-up and tear-down ----

    def setup(self):
        self.work = tempfile.mkdtemp(prefix="velmorax-monkey-")
        self.prog = os.path.join(self.work, "prog")
        os.makedirs(self.prog)
        shutil.copy2(self.program_src, os.path.join(self.prog, "velmorax"))
        table = os.path.join(os.path.dirname(self.program_src), "moondata.dat")
        self.moon_original = b""
        if os.path.exists(table):
            with open(table, "rb") as f:
                self.moon_original = f.read()
            shutil.copy2(table, os.path.join(self.prog, "moondata.dat"))
        self.ini = os.path.join(self.prog, "velmorax.ini")
        # Links, mail and the help page go to an opener that succeeds or fails at random, so no
        # browser ever starts.
        bindir = os.path.join(self.work, "bin")
        os.makedirs(bindir)
        opener = os.path.join(bindir, "xdg-open")
        with open(opener, "w") as f:
            f.write("#!/bin/sh\nexit $(( $$ % 2 ))\n")
        os.chmod(opener, 0o755)
        # The clock the program sees, shifted by the driver (clockshift.c).
        self.shift_file = os.path.join(self.work, "clock-shift")
        self.set_fake_offset(0)
        self.shift_lib = os.path.join(self.work, "clockshift.so")
        here = os.path.dirname(os.path.abspath(__file__))
        cc = shutil.which("cc") or shutil.which("gcc") or shutil.which("clang")
        if not cc or subprocess.run([cc, "-shared", "-fPIC", "-O2", "-o", self.shift_lib,
                                     os.path.join(here, "clockshift.c")]).returncode != 0:
            raise RuntimeError("cannot build clockshift.so")
        supp = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lsan.supp")
        self.env = dict(os.environ)
        for k in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LD_PRELOAD"):
            self.env.pop(k, None)
        self.env.update({
            "PATH": bindir + os.pathsep + os.environ.get("PATH", ""),
            "XDG_CONFIG_HOME": os.path.join(self.prog, ".config"),
            "XDG_DATA_HOME": os.path.join(self.prog, ".local"),
            "TZ": ZONE,
            "LANG": "C.UTF-8",
            "ASAN_OPTIONS": "detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:"
                            "strict_init_order=1",
            "UBSAN_OPTIONS": "print_stacktrace=1:halt_on_error=1",
            "LSAN_OPTIONS": f"suppressions={os.path.abspath(supp)}:print_suppressions=0",
            "VX_CLOCK_SHIFT_FILE": self.shift_file,
            "LD_PRELOAD": self.shift_lib,
        })
        self.start_x()
        self.pictures = self.make_pictures()

    def start_x(self):
        for _ in range(30):
            n = 100 + random.randrange(800)
            if os.path.exists(f"/tmp/.X{n}-lock"):
                continue
            self.xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24", "-nolisten", "tcp",
                                          "-noreset"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if subprocess.run(["xdpyinfo", "-display", f":{n}"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0:
                    break
                if self.xvfb.poll() is not None:
                    break
                time.sleep(0.05)
            else:
                self.xvfb.kill()
                continue
            if self.xvfb.poll() is None:
                break
        else:
            raise RuntimeError("Xvfb did not start")
        self.display = f":{n}"
        os.environ["DISPLAY"] = self.display
        self.env["DISPLAY"] = self.display
        self.shapes = Shapes(self.display)
        # trayer now and then fails to open a display that is up and ends: it gets three tries.
        self.panel = None
        trayer_log = os.path.join(self.work, "trayer.log")
        for _ in range(3):
            with open(trayer_log, "wb") as log:
                self.trayer = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                                                "pixel", "--width", "120", "--height", "24"],
                                               stdout=subprocess.DEVNULL, stderr=log)
            for _ in range(300):
                m = re.search(r"^\s*(0x[0-9a-f]+) \"panel\": \(\"panel\" \"trayer\"\)", run("xwininfo", "-root", "-tree"), re.M)
                if m:
                    self.panel = m.group(1)
                    break
                if self.trayer.poll() is not None:
                    break
                time.sleep(0.1)
            if self.panel:
                break
            self.trayer.kill()
            self.trayer.wait()
            with open(trayer_log, errors="replace") as f:
                said = f.read().strip()
            print(f"monkey: trayer showed no panel; it said: {said or '(nothing)'}", file=sys.stderr)
        if not self.panel:
            raise RuntimeError("trayer showed no panel")

    def make_pictures(self):
        """Candidate contents of the user's dial pictures: right and wrong sizes, not pictures."""
        rng = random.Random(self.seed ^ 0x5EED)
        pics = {"bmp": [bmp_bytes(s, s, rng) for s in (60, 120, 240)] + [bmp_bytes(100, 80, rng)]}
        src = os.path.join(self.work, "src.bmp")
        for ext in ("jpg", "gif"):
            pics[ext] = []
            for s in (60, 120, 240, 90):
                with open(src, "wb") as f:
                    f.write(bmp_bytes(s, s, rng))
                out = os.path.join(self.work, f"pic{s}.{ext}")
                if shutil.which("convert") and subprocess.run(["convert", src, out], stderr=subprocess.DEVNULL).returncode == 0:
                    with open(out, "rb") as f:
                        pics[ext].append(f.read())
        return pics

    def teardown(self, keep):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for p in (self.trayer, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if not keep:
            shutil.rmtree(self.work, ignore_errors=True)

    # ---- The program ----

    def note(self, text):
        self.log.append(f"{time.monotonic() - self.t0:8.2f}s  {text}")

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def start_program(self):
        self.runs += 1
        self.out = os.path.join(self.work, f"out{self.runs}.log")
        with open(self.out, "wb") as log:
            self.proc = subprocess.Popen(["./velmorax"], cwd=self.prog, env=self.env, stdout=log,
                                         stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        self.end_allowed = False
        self.window = None
        self.shown = False         # a window has shown since the start: the program handles signals
        self.signalled = None
        # The icon comes with the load, before the window shows (or a start-up message box waits).
        self.tray_ticked = self.tray_on = self.tray_expected_at_load()
        self.note(f"started the program (pid {self.proc.pid})")

    def wait_for_start(self):
        """Waits until the program shows its clock window or a message box (a start-up note)."""
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if not self.alive():
                return
            if self.clock_window() or self.dialogs():
                self.shown = True
                time.sleep(0.2)
                return
            time.sleep(0.1)
        raise Failure("the program showed no window within 30 s of its start")

    def restart(self):
        self.restarts += 1
        self.kinds["restart"] += 1
        self.start_program()
        self.wait_for_start()

    def visible(self, name_re):
        if not self.alive():
            return []
        out = xdo("search", "--all", "--onlyvisible", "--pid", self.proc.pid, "--name", name_re)
        return [int(w) for w in out.split()]

    def clock_window(self):
        ws = self.visible("^Form1$")
        return ws[0] if ws else None

    def about_boxes(self):
        return self.visible("^バージョン情報$")

    def dialogs(self):
        """Shown message boxes: the program's windows that are neither the clock, the about box nor a menu."""
        out = []
        for w in self.visible("."):
            name = xdo("getwindowname", w).strip()
            if name not in ("Form1", "バージョン情報", "velmorax", ""):
                out.append(w)
        return out

    def geometry(self, wid):
        out = xdo("getwindowgeometry", "--shell", wid)
        g = dict(line.split("=", 1) for line in out.split() if "=" in line)
        try:
            return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])
        except (KeyError, ValueError):
            return None

    def popups(self):
        """The shown popup menus, as (id, x, y, w, h), oldest first by stacking."""
        out = []
        for m in re.finditer(r"^     (0x[0-9a-f]+) \"velmorax\": \(\"velmorax\" \"velmorax\"\)",
                             run("xwininfo", "-root", "-tree"), re.M):
            # Place and state from one look: the tree may have caught a menu being made, still at
            # its first place (0,0 100x30), moments before it was put in place and shown.
            info = run("xwininfo", "-id", m.group(1))
            if "IsViewable" not in info:
                continue
            g = [re.search(rf"{label}:\s+(-?\d+)", info) for label in
                 ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
            if all(g):
                out.append((int(m.group(1), 16), *(int(v.group(1)) for v in g)))
        return out

    def wait_new_popup(self, before, timeout=3.0):
        """The first shown popup menu that is not one of the windows in before, once there is one."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            new = [p for p in self.popups() if p[0] not in before]
            if new:
                return new[0]
            time.sleep(0.1)
        return None

    def popup_ids(self):
        return {p[0] for p in self.popups()}

    def tray_icon(self):
        out = run("xwininfo", "-tree", "-id", self.panel)
        m = re.search(r"(0x[0-9a-f]+) \"velmorax\": \(\"velmorax\"", out)
        return int(m.group(1), 16) if m else None

    def reload_from_icon(self):
        """The clock window loaded again from the icon: the load ticks タスクトレイに入れる from the
        file, and loads the icon when that is 1, but never unloads the icon it was called from."""
        self.tray_ticked = self.tray_expected_at_load()

    def tray_expected_at_load(self):
        """The icon option a fresh load of the clock window reads from the file."""
        try:
            with open(self.ini, "rb") as f:
                entries = parse_ini(f.read().decode("latin-1"))
        except OSError:
            return False
        v, _ = ini_lookup(entries, "TaskTray", "Setting")
        n = whole_number(v[:254]) if v else None
        return (n if n is not None else 0) == 1

    # ---- Checks after every action ----

    def check_once(self):
        if not self.alive():
            if self.proc is None:
                return None
            rc = self.proc.returncode
            # Before its first window the program may not yet have set up its handlers: a signal
            # then ends it the default way, which is an end through a signal too.
            if rc != 0 and not (self.signalled is not None and rc == -self.signalled and not self.shown_when_signalled):
                return f"the program ended with status {rc}"
            if not self.end_allowed:
                return "the program ended though nothing asked it to"
            return None
        report = self.sanitizer_report()
        if report:
            return "a sanitizer report"
        err = self.check_ini()
        if err:
            return err
        about = self.about_boxes()
        if len(about) > 1:
            return f"{len(about)} about boxes are shown"
        win = self.clock_window()
        if win or self.dialogs():
            self.shown = True
        if win:
            if win != self.window:
                # The load read the icon option before its window showed (see start_program and the
                # icon's commands); a start-up message box may have let a hand edit come between.
                self.window = win
                self.window_side = self.expected_side()
            g = self.geometry(win)
            if g:
                x, y, w, h = g
                if w != h or w not in SIDES.values():
                    return f"the clock window is {w}x{h}"
                if self.window_side and w != self.window_side:
                    return f"the clock window is {w} pixels, its setting asks for {self.window_side}"
                if disc_pixels_on_screen(x, y, w) == 0:
                    return f"the clock window's disc is off the screen at {x},{y} ({w} pixels)"
                err = disc_error(self.shapes.rectangles(win), w)
                if err:
                    return "the clock window is not round: " + err
        if self.trayer.poll() is not None:
            raise RuntimeError("the notification area (trayer) ended")
        icon = self.tray_icon() is not None
        if icon != self.tray_on:
            return ("the icon is " + ("shown" if icon else "missing") + " where it should " + ("be" if self.tray_on else "not be")
                    + " (タスクトレイに入れる " + ("ticked)" if self.tray_ticked else "unticked)"))
        return None

    def expected_side(self):
        try:
            with open(self.ini, "rb") as f:
                v, _ = ini_lookup(parse_ini(f.read().decode("latin-1")), "frmMain", "NowSize")
        except OSError:
            return None
        n = whole_number(v[:254]) if v else None
        return SIDES[max(-1, min(1, n))] if n is not None else None

    def check_ini(self):
        try:
            with open(self.ini, "rb") as f:
                data = f.read()
        except FileNotFoundError:
            return None
        text = data.decode("latin-1")
        for sec, key, value, line in parse_ini(text):
            if line in self.hand_lines or line.strip() == "" or line.strip().startswith(";"):
                continue
            if key is None and not (line.strip().startswith("[") and line.strip().endswith("]")):
                return f"the INI file holds a line no one wrote: {line!r}"
        entries = parse_ini(text)
        for (sec, key), valid in OWNED_KEYS.items():
            value, line = ini_lookup(entries, sec, key)
            if value is None or line in self.hand_lines:
                continue
            if not valid(value):
                return f"the INI file holds {sec}/{key}={value!r}, which the program could not have written"
        return None

    def sanitizer_report(self):
        texts = []
        for n in range(1, self.runs + 1):
            path = os.path.join(self.work, f"out{n}.log")
            try:
                with open(path, "rb") as f:
                    t = f.read().decode("utf-8", "replace")
            except OSError:
                continue
            if SANITIZER_RE.search(t):
                texts.append(f"--- {os.path.basename(path)} ---\n{t}")
        return "\n".join(texts)

    def check(self, what):
        """All checks, given a few seconds for what the program does in its own time."""
        deadline = time.monotonic() + 5
        while True:
            err = self.check_once()
            if err is None or err == "a sanitizer report" or time.monotonic() > deadline:
                break
            time.sleep(0.25)
        if err:
            raise Failure(f"after {what}: {err}")
        if not self.alive():
            self.note(f"the program ended (status {self.proc.returncode})")
            self.restart()
            self.check("the restart")

    # ---- Popup menus ----

    def clock_point(self, rng=None):
        win = self.clock_window()
        g = self.geometry(win) if win else None
        if not g:
            return None
        x, y, w, _ = g
        rng = rng or self.rng
        # A point well inside the disc.
        r = w / 2 * 0.6
        return int(x + w / 2 + rng.uniform(-r, r) * 0.7), int(y + w / 2 + rng.uniform(-r, r) * 0.7)

    def open_clock_popup(self):
        p = self.clock_point()
        if not p:
            return False
        before = self.popup_ids()
        xdo("mousemove", p[0], p[1], "click", "3")
        # A message box holds the other windows' input: the menu cannot open, no need to wait long.
        menu = self.wait_new_popup(before, timeout=1.0 if self.dialogs() else 3.0)
        if menu is None:
            return None
        time.sleep(0.25)
        return menu

    def shoot(self, wid):
        data = run_bytes("import", "-window", str(wid), "-depth", "8", "ppm:-")
        return read_ppm(data) if data else None

    def item_bands(self, shots):
        """The rows each shot has highlighted: rows whose main colour is not the menu's background,
        less the rows that are so in every shot (separators, frame)."""
        w, h, rows0 = shots[0]
        background = collections.Counter(rows0[y][x * 3:x * 3 + 3] for y in range(h) for x in range(0, w, 3)).most_common(1)[0][0]

        def marked(rows):
            out = set()
            for y, row in enumerate(rows):
                px = [row[x * 3:x * 3 + 3] for x in range(4, w - 4)]
                if px and sum(1 for p in px if p != background) > len(px) * 0.6:
                    out.add(y)
            return out
        marks = [marked(s[2]) for s in shots]
        static = set.intersection(*marks) if len(marks) > 1 else set()
        bands = []
        for m in marks:
            m = sorted(m - static)
            bands.append((m[0], m[-1]) if m else None)
        return bands

    def calibrate(self):
        """Finds where each item of the popup and of its submenus lies, by highlighting each with
        the keys and looking at the menu: the mouse can then choose any command by name."""
        why = ""
        for attempt in range(3):
            try:
                self._calibrate()
                return
            except Failure as e:
                why = str(e)
                xdo("key", "Escape", "Escape", "Escape")
                time.sleep(0.5)
        raise Failure("could not find the popup's items: " + why)

    def _calibrate(self):
        top = self.open_clock_popup()
        if not top:
            raise Failure("no popup")
        shots = [self.shoot(top[0])]
        for _ in TOP_ITEMS:
            xdo("key", "Down")
            time.sleep(0.25)
            shots.append(self.shoot(top[0]))
        bands = self.item_bands(shots)[1:]
        if None in bands or len(set(bands)) != len(TOP_ITEMS):
            raise Failure(f"top menu {bands}")
        self.menus[None] = bands
        xdo("key", "Escape")
        time.sleep(0.2)
        for parent, items in SUB_ITEMS.items():
            # Highlight the parent, open its submenu (first item highlighted), then walk down.
            self.close_menus()
            top = self.open_clock_popup()
            if not top:
                raise Failure("no popup")
            xdo("key", *(["Down"] * (TOP_ITEMS.index(parent) + 1)), "Right")
            sub = self.wait_new_popup({top[0]})
            if not sub:
                raise Failure("submenu " + parent)
            time.sleep(0.3)
            shots = [self.shoot(sub[0])]
            for _ in items[1:]:
                xdo("key", "Down")
                time.sleep(0.25)
                shots.append(self.shoot(sub[0]))
            bands = self.item_bands(shots)
            if None in bands or len(set(bands)) != len(items):
                raise Failure(f"submenu {parent} {bands}")
            self.menus[parent] = bands
        self.close_menus()

    def command_keys(self, top, sub):
        i = TOP_ITEMS.index(top)
        keys = ["Down"] * (i + 1) if i < 4 else ["Up"] * (len(TOP_ITEMS) - i)
        if sub is not None:
            keys += ["Right"] + ["Down"] * SUB_ITEMS[top].index(sub)
        return keys + ["Return"]

    def choose_by_keys(self, top, sub):
        xdo("key", "--delay", "120", *self.command_keys(top, sub))

    def choose_by_mouse(self, menu, top, sub):
        _, mx, my, mw, mh = menu
        y0, y1 = self.menus[None][TOP_ITEMS.index(top)]
        px, py = mx + mw // 2, my + (y0 + y1) // 2
        if sub is None:
            xdo("mousemove", px, py, "sleep", "0.15", "click", "1")
            return True
        xdo("mousemove", px, py)
        submenu = self.wait_new_popup({menu[0]}, timeout=2.0)
        if not submenu:
            xdo("click", "1")  # a click on a submenu's item opens it at once
            submenu = self.wait_new_popup({menu[0]}, timeout=2.0)
            if not submenu:
                return False
        time.sleep(0.2)
        _, sx, sy, sw, sh = submenu
        y0, y1 = self.menus[top][SUB_ITEMS[top].index(sub)]
        xdo("mousemove", sx + sw // 2, sy + (y0 + y1) // 2, "sleep", "0.15", "click", "1")
        return True

    def close_menus(self):
        for _ in range(6):
            if not self.popups():
                return
            xdo("key", "Escape")
            time.sleep(0.15)

    # ---- Actions ----

    def act_popup(self, by):
        top, sub = self.rng.choice(COMMANDS)
        name = sub or top
        self.kinds[f"popup/{by}"] += 1
        self.kinds[f"command {name}"] += 1
        modal = bool(self.dialogs())
        menu = self.open_clock_popup()
        if not menu:
            self.note(f"popup {name} by {by}: no popup opened" + (" (a message box is open)" if modal else ""))
            self.close_menus()
            return
        self.note(f"popup {name} by {by}")
        ok = self.choose_by_keys(top, sub) if by == "keys" else self.choose_by_mouse(menu, top, sub)
        if ok is False:
            self.note("  the submenu did not open")
            self.close_menus()
            return
        time.sleep(0.3)
        self.after_command(name)

    def after_command(self, name):
        if name == "タスクトレイに入れる":
            # The command follows the tick, which a load may have left off beside a loaded icon.
            self.tray_ticked = not self.tray_ticked
            self.tray_on = self.tray_ticked
        elif name == "ウィンドウを消す":
            if not self.tray_on:
                self.end_allowed = True
        elif name == "終了":
            # The icon goes with the other forms; an open about box keeps the program until it closes.
            self.end_allowed = True
            self.tray_on = self.tray_ticked = False
        elif name in ("半分", "標準", "２倍"):
            self.window = None
            self.window_side = None
        self.close_menus()

    def act_double_click(self):
        self.kinds["double-click"] += 1
        p = self.clock_point()
        if p:
            xdo("mousemove", p[0], p[1], "click", "--repeat", "2", "--delay", "80", "1")
        self.note("double-click on the clock")

    def act_drag(self):
        button = self.rng.choice([1, 2])
        self.kinds[f"drag button {button}"] += 1
        p = self.clock_point()
        if not p:
            return
        dx, dy = self.rng.randint(-300, 300), self.rng.randint(-200, 200)
        tx = max(1, min(SCREEN_W - 2, p[0] + dx))
        ty = max(1, min(SCREEN_H - 2, p[1] + dy))
        xdo("mousemove", p[0], p[1], "mousedown", button, "mousemove", p[0] + dx // 3, p[1] + dy // 3,
            "mousemove", tx, ty, "mouseup", button)
        self.note(f"drag with button {button} from {p} to {(tx, ty)}")

    def act_quick_right_clicks(self):
        self.kinds["quick second right-click"] += 1
        p = self.clock_point()
        if p:
            xdo("mousemove", p[0], p[1], "click", "--repeat", "2", "--delay", str(self.rng.choice([30, 80, 150])), "3")
        self.note("two quick right-clicks on the clock")
        time.sleep(0.3)
        # The popup opens over the clock: left open, the next click meant for the clock would
        # choose one of its items (終了 among them). The draw stays, so seeds replay as before.
        self.rng.random()
        self.close_menus()

    def act_tray(self):
        icon = self.tray_icon()
        if icon is None:
            self.kinds["tray (no icon)"] += 1
            return self.act_popup("keys")
        g = run("xwininfo", "-id", hex(icon))
        try:
            ix = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", g).group(1))
            iy = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", g).group(1))
            iw = int(re.search(r"Width:\s+(\d+)", g).group(1))
            ih = int(re.search(r"Height:\s+(\d+)", g).group(1))
        except AttributeError:
            return
        cx, cy = ix + iw // 2, iy + ih // 2
        what = self.rng.choice(["click", "double-click", "menu show", "menu end", "menu mouse show", "menu mouse end",
                                "menu escape"])
        self.kinds[f"tray {what}"] += 1
        self.note(f"tray icon: {what}")
        if what == "click":
            xdo("mousemove", cx, cy, "click", "1")
        elif what == "double-click":
            if not self.clock_window():
                self.reload_from_icon()
            xdo("mousemove", cx, cy, "click", "--repeat", "2", "--delay", "80", "1")
        else:
            before = self.popup_ids()
            xdo("mousemove", cx, cy, "click", "3")
            menu = self.wait_new_popup(before)
            if not menu:
                self.note("  no menu opened")
                return
            time.sleep(0.25)
            _, mx, my, mw, mh = menu
            if what.endswith("show") and not self.clock_window():
                self.reload_from_icon()
            if what == "menu show":
                xdo("key", "--delay", "100", "Down", "Return")
            elif what == "menu mouse show":
                # Two items around a separator: the first at the top, 終了 at the bottom.
                xdo("mousemove", mx + mw // 2, my + 14, "sleep", "0.15", "click", "1")
            elif what.endswith("end"):
                self.end_allowed = True
                self.tray_on = self.tray_ticked = False
                if what == "menu end":
                    xdo("key", "--delay", "100", "Up", "Return")
                else:
                    xdo("mousemove", mx + mw // 2, my + mh - 14, "sleep", "0.15", "click", "1")
            self.close_menus()

    def act_about(self):
        boxes = self.about_boxes()
        if not boxes:
            self.kinds["about (opening it)"] += 1
            self.note("about box wanted: バージョン情報")
            if self.open_clock_popup():
                self.choose_by_keys("ヘルプ", "バージョン情報")
                time.sleep(0.4)
            self.close_menus()
            return
        g = self.geometry(boxes[0])
        if not g:
            return
        bx, by, _, _ = g
        # Places in the box, from its design in twips (15 to the pixel).
        places = {"Send Mail": (8 + 70, 152 + 8), "Visit Home Page": (8 + 70, 168 + 8), "OK": (24 + 60, 192 + 12),
                  "background": (150, 140), "icon": (84, 40), "version": (40, 122)}
        what = self.rng.choice(["hover", "hover", "press link", "click link", "OK left", "OK other", "F6", "F7", "F8",
                                "other key"])
        self.kinds[f"about {what}"] += 1
        if what == "hover":
            path = [self.rng.choice(list(places)) for _ in range(self.rng.randint(1, 4))]
            self.note("about box: hover over " + ", ".join(path))
            for place in path:
                px, py = places[place]
                xdo("mousemove", bx + px, by + py, "sleep", "0.1")
        elif what in ("press link", "click link"):
            link = self.rng.choice(["Send Mail", "Visit Home Page"])
            px, py = places[link]
            self.note(f"about box: {what} {link}")
            if what == "press link":
                # Pressed, moved off, released elsewhere: no click.
                xdo("mousemove", bx + px, by + py, "mousedown", "1", "mousemove", bx + 150, by + 140, "mouseup", "1")
            else:
                xdo("mousemove", bx + px, by + py, "click", "1")
        elif what.startswith("OK"):
            button = 1 if what == "OK left" else self.rng.choice([2, 3])
            self.note(f"about box: OK with button {button}")
            px, py = places["OK"]
            xdo("mousemove", bx + px, by + py, "click", button)
        else:
            key = what if what.startswith("F") else self.rng.choice(["Return", "space", "Escape", "F5", "F9", "a"])
            self.note(f"about box: key {key}")
            xdo("windowactivate", boxes[0])
            xdo("windowfocus", boxes[0])
            xdo("key", key)
        time.sleep(0.2)

    def act_message_box(self):
        boxes = self.dialogs()
        if not boxes:
            self.kinds["message box (asking for one)"] += 1
            cmd = self.rng.choice([("月の情報を表示", None), ("ヘルプ", "ヘルプファイルを見る")])
            self.note(f"message box wanted: {cmd[1] or cmd[0]}")
            if self.open_clock_popup():
                self.choose_by_keys(*cmd)
                time.sleep(0.5)
            self.close_menus()
            return
        what = self.rng.choice(["Return", "Escape", "space", "ctrl+c", "click"])
        self.kinds[f"message box {what}"] += 1
        self.note(f"message box: {what}")
        box = boxes[-1]
        if what == "click":
            g = self.geometry(box)
            if g:
                x, y, w, h = g
                xdo("mousemove", x + self.rng.randint(0, w - 1), y + self.rng.randint(0, h - 1), "click", "1")
        else:
            xdo("windowfocus", box)
            xdo("key", what)
        time.sleep(0.2)

    def act_lunation_and_more(self):
        """一周する, and at once other commands while it runs."""
        self.kinds["一周する then commands"] += 1
        self.note("一周する, then commands while it runs")
        if not self.open_clock_popup():
            self.close_menus()
            return
        self.choose_by_keys("満ち欠け", "一周する")
        self.close_menus()
        for _ in range(self.rng.randint(1, 3)):
            action = self.rng.choice([self.act_popup_keys, self.act_popup_mouse, self.act_double_click, self.act_drag,
                                      self.act_signal, self.act_tray])
            action()
            if not self.alive():
                break

    def act_popup_keys(self):
        self.act_popup("keys")

    def act_popup_mouse(self):
        self.act_popup("mouse")

    def act_escape(self):
        self.kinds["Escape"] += 1
        xdo("key", "Escape")
        self.note("Escape")

    def act_wait(self):
        t = self.rng.choice([0.2, 0.5, 1.0, 2.0])
        self.kinds["wait"] += 1
        self.note(f"wait {t} s")
        time.sleep(t)

    def act_signal(self):
        sig = self.rng.choice([signal.SIGTERM, signal.SIGTERM, signal.SIGHUP])
        name = signal.Signals(sig).name
        self.kinds[name] += 1
        if not self.alive() or self.ends_by_itself():
            return
        self.note(f"{name} to the program" + (" (a message box is open)" if self.dialogs() else ""))
        self.end_allowed = True
        self.shown_when_signalled = self.shown or bool(self.clock_window() or self.dialogs())
        self.signalled = int(sig)
        self.proc.send_signal(sig)
        try:
            self.proc.wait(15)
        except subprocess.TimeoutExpired:
            raise Failure(f"{name} did not end the program within 15 s")
        self.note(f"  ended with status {self.proc.returncode}")

    def ends_by_itself(self):
        """After a command that may end the program, gives it time to end on its own. A signal in
        the last moments of such an exit lands in the sanitizer's leak scan at exit, which stops
        the threads under ptrace and cannot take one; the program itself ignores signals that late."""
        if not self.end_allowed:
            return False
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            return False
        self.note(f"the program ended by itself (status {self.proc.returncode}) before the signal")
        return True

    def act_restart_and_signal(self):
        """A signal soon after a start, while the program may be starting or showing a start-up note."""
        if not self.alive():
            return
        self.kinds["signal soon after start"] += 1
        self.act_signal()
        if self.proc.returncode != 0:
            return  # the check reports it
        self.restarts += 1
        self.start_program()
        time.sleep(self.rng.choice([0.0, 0.3, 1.0, 2.0]))
        if self.rng.random() < 0.7:
            self.wait_for_start()
        self.act_signal()

    def act_edit_ini(self):
        what = self.rng.choice(["odd case", "blanks", "garbage", "removed", "bad value", "far place", "key removed"])
        self.kinds[f"INI edit: {what}"] += 1
        try:
            with open(self.ini, "rb") as f:
                text = f.read().decode("latin-1")
        except FileNotFoundError:
            text = ""
        lines = text.replace("\r\n", "\n").split("\n")
        rng = self.rng
        keyed = [i for i, l in enumerate(lines) if "=" in l]
        if what == "removed":
            if os.path.exists(self.ini):
                os.remove(self.ini)
            self.note("INI file removed")
            self.hand_lines = set()
            return
        if what == "odd case" and lines:
            i = rng.randrange(len(lines))
            line = lines[i]
            # ASCII letters only: a byte such as µ has an upper case outside the file's bytes.
            lines[i] = "".join((c.upper() if rng.random() < 0.5 else c.lower()) if c.isascii() else c for c in line)
        elif what == "blanks" and lines:
            i = rng.randrange(len(lines))
            l = lines[i]
            choice = rng.randrange(4)
            if choice == 0 and "=" in l:
                k, v = l.split("=", 1)
                lines[i] = f"  {k}  =   {v}   "
            elif choice == 1 and "=" in l:
                lines[i] = l.split("=", 1)[0] + "="
            elif choice == 2:
                lines.insert(i, "   ")
            else:
                lines[i] = "\t" + l + " \t"
        elif what == "garbage":
            n = rng.randint(1, 60)
            junk = bytes(rng.randrange(1, 256) for _ in range(n)).decode("latin-1").replace("\n", " ").replace("\r", " ")
            lines.insert(rng.randrange(len(lines) + 1), junk)
        elif what == "bad value" and keyed:
            i = rng.choice(keyed)
            k = lines[i].split("=", 1)[0]
            v = rng.choice(["abc", "1e40", "-1e40", "nan", "inf", "7", "-5", "2.5", "0.5", "1.5", "true", "FALSE", "yes",
                            "year", "CLOCK", "999999999999999999999", "-", ".", "0x10",
                            "１".encode().decode("latin-1"), "x" * 300,
                            "-2147483649", "4294967296", " 1 ", "1,5"])
            lines[i] = f"{k}={v}"  # the file is handled as bytes: UTF-8 goes in as its latin-1 reading
        elif what == "far place":
            side = self.window_side or 120
            d = rng.choice([side - 2, side - 10, int(side * 0.9), side, side + 1, 3 * side])
            left = rng.choice([-d, SCREEN_W + rng.randint(-side, side), rng.randint(0, SCREEN_W), -d])
            top = rng.choice([-d, SCREEN_H + rng.randint(-side, side), rng.randint(0, SCREEN_H), -d])
            sec_i = next((i for i, l in enumerate(lines) if l.strip().lower() == "[frmmain]"), None)
            lines = [l for l in lines if not re.match(r"^\s*(top|left)\s*=", l, re.I)]
            if sec_i is None:
                lines += ["[frmMain]"]
                sec_i = len(lines) - 1
            else:
                sec_i = next(i for i, l in enumerate(lines) if l.strip().lower() == "[frmmain]")
            lines[sec_i + 1:sec_i + 1] = [f"Top={top * TWIPS}", f"Left={left * TWIPS}"]
        elif what == "key removed" and keyed:
            del lines[rng.choice(keyed)]
        new = "\n".join(lines)
        if text.endswith("\n") and not new.endswith("\n"):
            new += "\n"
        self.write_file(self.ini, new.encode("latin-1"))
        self.hand_lines = {l for l in new.split("\n")}
        self.note(f"INI edit ({what})")

    def write_file(self, path, data):
        # As an editor saves: a new file put in place, so the program never reads half of it.
        tmp = path + ".monkey"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)

    def act_edit_moon(self):
        path = os.path.join(self.prog, "moondata.dat")
        what = self.rng.choice(["restored", "restored", "truncated", "garbage", "removed", "lines shuffled",
                                "huge", "blank lines", "empty"])
        self.kinds[f"moondata.dat: {what}"] += 1
        self.note(f"moondata.dat {what}")
        rng = self.rng
        orig = self.moon_original
        if what == "restored":
            data = orig
        elif what == "truncated":
            data = orig[:rng.randrange(len(orig) + 1)] if orig else b""
        elif what == "garbage":
            data = bytes(rng.randrange(256) for _ in range(rng.randint(1, 4000)))
        elif what == "removed":
            if os.path.exists(path):
                os.remove(path)
            return
        elif what == "lines shuffled":
            ls = orig.split(b"\n")
            rng.shuffle(ls)
            data = b"\n".join(ls)
        elif what == "huge":
            data = (orig or b"2000/01/06 18:14\n") * rng.randint(20, 200)
        elif what == "blank lines":
            ls = orig.split(b"\n")
            for _ in range(rng.randint(1, 10)):
                ls.insert(rng.randrange(len(ls) + 1), rng.choice([b"", b"   ", b"\r", b"x"]))
            data = b"\n".join(ls)
        else:
            data = b""
        self.write_file(path, data)

    def act_edit_pictures(self):
        n = self.rng.randrange(3)
        ext = self.rng.choice(["bmp", "bmp", "jpg", "gif"])
        path = os.path.join(self.prog, f"useimage{n}.{ext}")
        what = self.rng.choice(["right size", "other size", "wrong size", "not a picture", "empty", "removed",
                                "truncated", "removed all"])
        self.kinds[f"useimage: {what}"] += 1
        self.note(f"useimage{n}.{ext} {what}")
        pics = self.pictures.get(ext) or self.pictures["bmp"]
        if what == "removed":
            if os.path.exists(path):
                os.remove(path)
            return
        if what == "removed all":
            for f in os.listdir(self.prog):
                if f.startswith("useimage"):
                    os.remove(os.path.join(self.prog, f))
            return
        if what == "right size":
            data = pics[min(n, len(pics) - 1)]
        elif what == "other size":
            data = self.rng.choice(pics[:3])
        elif what == "wrong size":
            data = pics[-1]
        elif what == "not a picture":
            data = bytes(self.rng.randrange(256) for _ in range(self.rng.randint(1, 500)))
        elif what == "truncated":
            full = pics[min(n, len(pics) - 1)]
            data = full[:self.rng.randrange(len(full))]
        else:
            data = b""
        self.write_file(path, data)

    def set_fake_offset(self, seconds):
        self.fake_offset = int(seconds)
        with open(self.shift_file + ".tmp", "w") as f:
            f.write(f"{self.fake_offset:+d}\n")
        os.replace(self.shift_file + ".tmp", self.shift_file)

    def act_clock_jump(self):
        what = self.rng.choice(["midnight", "month end", "year end", "DST spring", "DST autumn", "back to now"])
        self.kinds[f"clock jump: {what}"] += 1
        year = self.rng.choice(sorted(DST_CHANGES))
        lead = self.rng.randint(2, 15)
        if what == "midnight":
            month, day = self.rng.randint(1, 12), self.rng.randint(1, 28)
            target = self.local_epoch(year, month, day, 23, 59, 60 - lead)
        elif what == "month end":
            month = self.rng.randint(1, 12)
            day = calendar.monthrange(year, month)[1]
            target = self.local_epoch(year, month, day, 23, 59, 60 - lead)
        elif what == "year end":
            target = self.local_epoch(year, 12, 31, 23, 59, 60 - lead)
        elif what.startswith("DST"):
            month, day = DST_CHANGES[year][0 if what == "DST spring" else 1]
            target = calendar.timegm((year, month, day, 1, 0, 0)) - lead
        else:
            target = None
        offset = 0 if target is None else target - time.time()
        self.set_fake_offset(offset)
        self.note(f"clock jump: {what} ({lead} s before it)" if target else "clock back to the real time")

    @staticmethod
    def local_epoch(y, mo, d, h, mi, s):
        return time.mktime((y, mo, d, h, mi, s, 0, 0, -1))

    # ---- The run ----

    ACTIONS = [
        ("act_popup_keys", 14), ("act_popup_mouse", 12), ("act_double_click", 5), ("act_drag", 5),
        ("act_quick_right_clicks", 3), ("act_tray", 8), ("act_about", 8), ("act_message_box", 6),
        ("act_lunation_and_more", 3), ("act_escape", 2), ("act_wait", 2), ("act_signal", 2),
        ("act_restart_and_signal", 1), ("act_edit_ini", 6), ("act_edit_moon", 2), ("act_edit_pictures", 3),
        ("act_clock_jump", 3),
    ]

    def main(self):
        os.environ["TZ"] = ZONE
        time.tzset()
        self.t0 = time.monotonic()
        self.setup()
        failed = None
        try:
            self.start_program()
            self.wait_for_start()
            self.check("the start")
            self.calibrate()
            self.note("found the popup's items")
            names = [a for a, _ in self.ACTIONS]
            weights = [w for _, w in self.ACTIONS]
            end = self.t0 + self.seconds
            # Stopped early (SIGINT, SIGTERM): the run ends as at its time, with its counts.
            self.stop = False

            def stop(signum, frame):
                self.stop = True
            signal.signal(signal.SIGTERM, stop)
            signal.signal(signal.SIGINT, stop)
            while time.monotonic() < end and not self.stop:
                name = self.rng.choices(names, weights)[0]
                # A user answers most message boxes before long.
                if self.rng.random() < 0.4 and self.dialogs():
                    name = "act_message_box"
                getattr(self, name)()
                self.check(name[4:].replace("_", " "))
                self.passed += 1
            # The end: a last signal, and the program must end cleanly.
            if self.alive() and not self.shown:
                self.wait_for_start()
            if self.alive():
                if not self.ends_by_itself():
                    self.end_allowed = True
                    self.proc.send_signal(signal.SIGTERM)
                    try:
                        self.proc.wait(15)
                    except subprocess.TimeoutExpired:
                        raise Failure("SIGTERM at the end did not end the program")
                if self.proc.returncode != 0:
                    raise Failure(f"the program ended with status {self.proc.returncode} at the end")
            if self.sanitizer_report():
                raise Failure("a sanitizer report at the end")
        except Failure as e:
            failed = str(e)
        except Exception as e:  # the driver's own fault: shown the same way, never as a pass
            import traceback
            failed = "the driver failed: " + "".join(traceback.format_exception(e))
        if failed:
            shot = os.path.join(self.work, "failure.png")
            run("import", "-window", "root", shot)
            print(f"FAIL: {failed}", file=sys.stderr)
            if self.alive():
                print(f"the program (pid {self.proc.pid}) runs; its shown windows:", file=sys.stderr)
                for w in self.visible("."):
                    print(f"  {w:#x} {xdo('getwindowname', w).strip()!r} {self.geometry(w)}", file=sys.stderr)
                print(f"  the icon: {self.tray_icon()}", file=sys.stderr)
            print(f"seed: {self.seed} (replay with MONKEY_SEED={self.seed})", file=sys.stderr)
            print("action log:", file=sys.stderr)
            for line in self.log:
                print("  " + line, file=sys.stderr)
            report = self.sanitizer_report()
            print("sanitizer report:" if report else "sanitizer report: none", file=sys.stderr)
            if report:
                print(report, file=sys.stderr)
            elif self.proc is not None:
                try:
                    with open(self.out, "rb") as f:
                        tail = f.read().decode("utf-8", "replace").splitlines()[-40:]
                    print("the program's last output:", file=sys.stderr)
                    for line in tail:
                        print("  " + line, file=sys.stderr)
                except OSError:
                    pass
            try:
                with open(self.ini, "rb") as f:
                    print("the INI file:\n" + f.read().decode("latin-1"), file=sys.stderr)
            except OSError:
                pass
            print(f"screen and files kept in {self.work}", file=sys.stderr)
        elif getattr(self, "print_log", False):
            print("action log:")
            for line in self.log:
                print("  " + line)
        self.teardown(keep=bool(failed))
        self.summary()
        print(f"{self.passed} passed, {1 if failed else 0} failed")
        return 1 if failed else 0

    def summary(self):
        ran = time.monotonic() - self.t0
        print(f"seed {self.seed}, {ran:.0f} s of {self.seconds:.0f} s, {self.restarts} restarts")
        print("actions by kind:")
        for kind, n in sorted(self.kinds.items(), key=lambda kv: (-kv[1], kv[0])):
            print(f"  {n:6d}  {kind}")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("program")
    ap.add_argument("--log", action="store_true", help="print the action log also when every check passes")
    ap.add_argument("--seconds", type=float, default=float(os.environ.get("MONKEY_SECONDS") or 120))
    ap.add_argument("--seed", type=int, default=int(os.environ["MONKEY_SEED"]) if os.environ.get("MONKEY_SEED")
                    else random.SystemRandom().randrange(1, 2**31))
    args = ap.parse_args()
    for tool in ("Xvfb", "xdotool", "xwininfo", "xdpyinfo", "trayer", "import"):
        if not shutil.which(tool):
            print(f"monkey: {tool} is missing", file=sys.stderr)
            return 2
    monkey = Monkey(args.program, args.seconds, args.seed)
    monkey.print_log = args.log
    return monkey.main()


if __name__ == "__main__":
    sys.exit(main())
