#!/usr/bin/python3
"""Play a small UPS (Megatec "Q1" or Mustek "QS" flavour) on a pseudo-terminal.

Used by the native and Wine end-to-end tests: they start this script, read the
"READY <slave-path>" line from stdout and talk to the slave side as if it were
the serial port the UPS is plugged into.

Only the Python standard library is used; the module is importable so the pure
logic (command classification, reply formatting, scenario evaluation) can be
tested without a pty.
"""

import argparse
import errno
import fcntl
import json
import os
import random
import re
import select
import signal
import sys
import termios
import time
import tty

READING_KEYS = ("ip", "fault", "op", "load", "freq", "batt", "temp", "bits")

DEFAULT_READINGS = {
    "ip": 230.0,
    "fault": 230.0,
    "op": 229.0,
    "load": 13,
    "freq": 50.0,
    "batt": 13.6,
    "temp": 25.0,
    "bits": "00001001",
}

FAULT_KINDS = ("silence", "garbage", "nul", "no_cr", "trailing", "long",
               "split", "echo", "close")

PROTOCOLS = ("megatec", "mustek", "both", "none")

# "#", manufacturer (15), blank, model (10), blank, version (10): the columns
# real units use, so the fields start at 1-based columns 2, 18 and 29.
DEFAULT_INFO = "#%-15s %-10s %-10s" % ("MEGATEC", "UPS-650VA", "V1.0")
DEFAULT_RATING = "#220.0 003 12.00 50.0"

# Status bit positions inside the "b7..b0" string (b7 comes first).
BIT_BEEPER = 7      # b0
BIT_TEST = 5        # b2

SPLIT_AT = 20
SPLIT_PAUSE = 0.2
LONG_LEN = 300
TRAILING = b"XYZ\r(1"
# A client that never sends CR must not make us buffer forever.
MAX_PENDING = 4096

TEST_QUICK_S = 10.0


def log(msg):
    try:
        sys.stderr.write("upssim: %s\n" % msg)
        sys.stderr.flush()
    except (OSError, ValueError):
        pass


# ---------------------------------------------------------------------------
# Reply formatting

def format_batt(value, width=4):
    """Battery voltage as real units send it: "2.05" (per cell) or "13.6";
    width 5 gives the "13.60" style some 12 V units use."""
    if width == 5:
        return "%05.2f" % value
    # Round first so 9.999 does not become the five-character "10.00".
    if round(value, 2) < 10:
        return "%4.2f" % value
    return "%04.1f" % value


def format_status(r, batt_width=4):
    """The "(MMM.M NNN.N PPP.P QQQ RR.R S.SS TT.T b7..b0\\r" status line."""
    text = "(%05.1f %05.1f %05.1f %03d %04.1f %s %04.1f %s\r" % (
        float(r["ip"]), float(r["fault"]), float(r["op"]),
        int(round(float(r["load"]))), float(r["freq"]),
        format_batt(float(r["batt"]), batt_width), float(r["temp"]),
        r["bits"])
    return text.encode("latin-1", "replace")


def format_info(mfr, model, version):
    """Fixed-column identification line; over-long fields are cut so the
    columns never shift."""
    text = "#%s %s %s\r" % (mfr[:15].ljust(15), model[:10].ljust(10),
                            version[:10].ljust(10))
    return text.encode("latin-1", "replace")


def _garbage(rng, length=46):
    # Mostly printable noise with a few high bytes; never '(' first and never
    # a CR inside, so it cannot be mistaken for a real reply.
    printable = [c for c in range(0x21, 0x7F) if c != 0x28]
    out = bytearray(rng.choice(printable) for _ in range(length))
    for _ in range(6):
        out[rng.randrange(1, length)] = rng.randrange(0x80, 0x100)
    return bytes(out) + b"\r"


def _long_line():
    # Starts like a reply so a parser that syncs on '(' has to cope with the
    # overflow rather than just skipping the noise.
    body = ("(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001 " * 10)
    return body[:LONG_LEN].encode("ascii") + b"\r"


def apply_fault(kind, reply, cmd, rng=None):
    """Turn a normal status reply into what a misbehaving unit sends.

    Returns a list of (offset_seconds, bytes) chunks; empty means silence.
    "close" is not handled here: it ends the whole simulator at its time.
    """
    if rng is None:
        rng = random.Random(0)
    if kind is None:
        return [(0.0, reply)]
    if kind == "silence":
        return []
    if kind == "garbage":
        return [(0.0, _garbage(rng))]
    if kind == "nul":
        return [(0.0, b"\0".join(bytes([b]) for b in reply))]
    if kind == "no_cr":
        return [(0.0, reply.rstrip(b"\r"))]
    if kind == "trailing":
        return [(0.0, reply + TRAILING)]
    if kind == "long":
        return [(0.0, _long_line())]
    if kind == "split":
        return [(0.0, reply[:SPLIT_AT]), (SPLIT_PAUSE, reply[SPLIT_AT:])]
    if kind == "echo":
        return [(0.0, cmd + b"\r")]
    raise ValueError("unknown fault kind %r" % (kind,))


# ---------------------------------------------------------------------------
# Commands

_T_NN = re.compile(rb"T\d\d")
_S_NN = re.compile(rb"S(\.\d|\d\d)(R\d{4})?")


def classify(cmd):
    """Kind of a command given without its CR: "Q1", "QS", "I", "F", "T",
    "TL", "Tnn", "CT", "Q", "Snn", "C", "" (bare CR) or "unknown"."""
    if cmd in (b"Q1", b"QS", b"I", b"F", b"T", b"TL", b"CT", b"Q", b"C"):
        return cmd.decode("ascii")
    if cmd == b"":
        return ""
    if _T_NN.fullmatch(cmd):
        return "Tnn"
    if _S_NN.fullmatch(cmd):
        return "Snn"
    return "unknown"


def parse_echo_list(text):
    if not text:
        return frozenset()
    return frozenset(p.strip().encode("latin-1") for p in text.split(",")
                     if p.strip())


class LineSplitter:
    """Collects bytes from the port and hands out complete commands."""

    def __init__(self, limit=MAX_PENDING):
        self.buf = b""
        self.limit = limit

    def feed(self, data):
        self.buf += data
        parts = self.buf.split(b"\r")
        self.buf = parts.pop()
        if len(self.buf) > self.limit:
            log("dropping %d bytes without CR" % len(self.buf))
            self.buf = b""
        return parts


# ---------------------------------------------------------------------------
# Scenario

class ScenarioError(ValueError):
    pass


def _check_readings(d, where):
    if not isinstance(d, dict):
        raise ScenarioError("%s must be an object" % where)
    for k, v in d.items():
        if k not in READING_KEYS:
            raise ScenarioError("%s: unknown reading %r" % (where, k))
        if k == "bits":
            if not (isinstance(v, str) and len(v) == 8 and set(v) <= set("01")):
                raise ScenarioError("%s: bits must be 8 characters of 0/1" % where)
        elif not isinstance(v, (int, float)) or isinstance(v, bool):
            raise ScenarioError("%s: %s must be a number" % (where, k))


class Scenario:
    """Readings and faults as a function of time since start."""

    def __init__(self, initial=None, timeline=(), fault=None):
        self.initial = dict(DEFAULT_READINGS)
        if initial:
            self.initial.update(initial)
        self.initial_fault = fault
        # Stable sort keeps file order for events sharing a time.
        self.timeline = sorted(timeline, key=lambda e: e["at"])
        self.info = None
        self.rating = None
        self.rating_cr = True

    @classmethod
    def from_dict(cls, d, fault=None):
        if not isinstance(d, dict):
            raise ScenarioError("scenario must be a JSON object")
        for k in d:
            if k not in ("initial", "timeline", "info", "rating", "rating_cr"):
                raise ScenarioError("unknown top-level key %r" % k)
        initial = d.get("initial") or {}
        _check_readings(initial, "initial")
        timeline = d.get("timeline") or []
        if not isinstance(timeline, list):
            raise ScenarioError("timeline must be a list")
        for i, ev in enumerate(timeline):
            where = "timeline[%d]" % i
            if not isinstance(ev, dict):
                raise ScenarioError("%s must be an object" % where)
            at = ev.get("at")
            if not isinstance(at, (int, float)) or isinstance(at, bool) or at < 0:
                raise ScenarioError("%s: 'at' must be a number >= 0" % where)
            for k, v in ev.items():
                if k == "at":
                    continue
                if k == "set":
                    _check_readings(v, where + ".set")
                elif k == "drain":
                    if v is not None and not (
                            isinstance(v, dict) and set(v) == {"batt_per_s"}
                            and isinstance(v["batt_per_s"], (int, float))):
                        raise ScenarioError(
                            "%s: drain must be null or {\"batt_per_s\": N}" % where)
                elif k == "fault":
                    if v is not None and v not in FAULT_KINDS:
                        raise ScenarioError("%s: unknown fault %r" % (where, v))
                else:
                    raise ScenarioError("%s: unknown key %r" % (where, k))
        for k in ("info", "rating"):
            if k in d and not isinstance(d[k], str):
                raise ScenarioError("%s must be a string" % k)
        if not isinstance(d.get("rating_cr", True), bool):
            raise ScenarioError("rating_cr must be true or false")
        sc = cls(initial, timeline, fault)
        sc.info = d.get("info")
        sc.rating = d.get("rating")
        sc.rating_cr = d.get("rating_cr", True)
        return sc

    @classmethod
    def load(cls, path, fault=None):
        try:
            with open(path, "r", encoding="utf-8") as f:
                data = json.load(f)
        except (OSError, ValueError) as e:
            raise ScenarioError("cannot read %s: %s" % (path, e))
        return cls.from_dict(data, fault)

    def state_at(self, t):
        """(readings, fault) in force t seconds after start."""
        r = dict(self.initial)
        fault = self.initial_fault
        rate, since = None, 0.0
        for ev in self.timeline:
            if ev["at"] > t:
                break
            if rate is not None:
                r["batt"] = max(0.0, r["batt"] + rate * (ev["at"] - since))
                since = ev["at"]
            if ev.get("set"):
                r.update(ev["set"])
            if "drain" in ev:
                if ev["drain"] is None:
                    rate = None
                else:
                    rate, since = float(ev["drain"]["batt_per_s"]), ev["at"]
            if "fault" in ev:
                fault = ev["fault"]
        if rate is not None:
            r["batt"] = max(0.0, r["batt"] + rate * (t - since))
        return r, fault

    def close_time(self):
        """When the "close" fault first takes effect, or None."""
        if self.initial_fault == "close":
            return 0.0
        for ev in self.timeline:
            if ev.get("fault") == "close":
                return float(ev["at"])
        return None


# ---------------------------------------------------------------------------
# The unit's behaviour, without any I/O

class Responder:
    def __init__(self, scenario=None, protocol="both", echo=(), answer_from=1,
                 info=None, rating=None, batt_width=4, seed=0,
                 rating_cr=None):
        if protocol not in PROTOCOLS:
            raise ValueError("protocol must be one of %s" % ", ".join(PROTOCOLS))
        self.scenario = scenario or Scenario()
        self.protocol = protocol
        self.echo = frozenset(e if isinstance(e, bytes) else e.encode("latin-1")
                              for e in echo)
        self.answer_from = max(1, int(answer_from))
        self.info = (info if info is not None else
                     self.scenario.info if self.scenario.info is not None
                     else DEFAULT_INFO)
        self.rating = (rating if rating is not None else
                       self.scenario.rating if self.scenario.rating is not None
                       else DEFAULT_RATING)
        # Some units end the "F" reply without a CR.
        self.rating_end = b"\r" if (self.scenario.rating_cr if rating_cr is None
                                    else rating_cr) else b""
        self.batt_width = batt_width
        self.rng = random.Random(seed)
        self.tries = {}
        self.beeper_flipped = False
        self.test_until = None      # float("inf") for "until battery low"
        self.shutdowns = []         # (t, command) for the curious

    def supports(self, kind):
        if kind == "Q1":
            return self.protocol in ("megatec", "both")
        if kind == "QS":
            return self.protocol in ("mustek", "both")
        return True

    def status(self, t):
        r, _ = self.scenario.state_at(t)
        bits = list(r["bits"])
        if self.beeper_flipped:
            bits[BIT_BEEPER] = "1" if bits[BIT_BEEPER] == "0" else "0"
        if self.test_until is not None and t < self.test_until:
            bits[BIT_TEST] = "1"
        r["bits"] = "".join(bits)
        return format_status(r, self.batt_width)

    def handle(self, cmd, t):
        """React to one command (without CR) received t seconds after start.

        Returns a list of (offset_seconds, bytes) to send; empty means the
        unit stays silent.
        """
        kind = classify(cmd)
        if cmd in self.echo or (kind in ("Tnn", "Snn")
                                and kind.encode() in self.echo):
            return [(0.0, cmd + b"\r")]
        if kind == "":
            # A lone CR is what clients send to clear the line; ignore it.
            return []
        if kind == "unknown" or not self.supports(kind):
            return [(0.0, cmd + b"\r")]

        if kind in ("Q1", "QS", "I", "F"):
            n = self.tries[kind] = self.tries.get(kind, 0) + 1
            if n < self.answer_from:
                return []

        if kind in ("Q1", "QS"):
            _, fault = self.scenario.state_at(t)
            return apply_fault(fault, self.status(t), cmd, self.rng)
        if kind == "I":
            return [(0.0, self.info.encode("latin-1", "replace") + b"\r")]
        if kind == "F":
            return [(0.0, self.rating.encode("latin-1", "replace") + self.rating_end)]
        if kind == "Q":
            self.beeper_flipped = not self.beeper_flipped
        elif kind == "T":
            self.test_until = t + TEST_QUICK_S
        elif kind == "TL":
            self.test_until = float("inf")
        elif kind == "Tnn":
            self.test_until = t + 60.0 * int(cmd[1:])
        elif kind == "CT":
            self.test_until = None
        elif kind == "Snn":
            self.shutdowns.append((t, cmd))
        # "C" (cancel shutdown) is accepted silently.
        return []


# ---------------------------------------------------------------------------
# The pty side

class Simulator:
    def __init__(self, responder, link=None, record=None, reply_delay=0.05,
                 exit_on_eof=False, verbose=False):
        self.responder = responder
        self.link = link
        self.record_path = record
        self.reply_delay = reply_delay
        self.exit_on_eof = exit_on_eof
        self.verbose = verbose
        self.splitter = LineSplitter()
        self.pending = []           # [(due_monotonic, bytes)], due order
        self.busy_until = 0.0
        self.stop_signal = None
        self.master = self.slave = None
        self.slave_path = None
        self.record = None
        self.t0 = None

    # -- setup / teardown

    def open(self):
        self.master, self.slave = os.openpty()
        # Raw and echo-free, like a serial line; keeping our own slave fd
        # means the master never sees EIO/HUP when the client closes.
        tty.setraw(self.slave, termios.TCSANOW)
        fl = fcntl.fcntl(self.master, fcntl.F_GETFL)
        fcntl.fcntl(self.master, fcntl.F_SETFL, fl | os.O_NONBLOCK)
        self.slave_path = os.ttyname(self.slave)
        if self.link:
            if os.path.lexists(self.link):
                os.unlink(self.link)
            os.symlink(self.slave_path, self.link)
        if self.record_path:
            self.record = open(self.record_path, "a", encoding="utf-8")

    def cleanup(self):
        for fd in (self.master, self.slave):
            if fd is not None:
                try:
                    os.close(fd)
                except OSError:
                    pass
        self.master = self.slave = None
        if self.link:
            # Leave the link alone if a newer instance has taken it over.
            try:
                if os.readlink(self.link) == self.slave_path:
                    os.unlink(self.link)
            except OSError:
                pass
        if self.record:
            try:
                self.record.close()
            except OSError:
                pass
            self.record = None

    # -- I/O helpers

    def _record(self, cmd, t_mono, wall):
        if not self.record:
            return
        try:
            self.record.write(json.dumps({"t": t_mono, "wall": wall,
                                          "cmd": cmd.decode("latin-1")}) + "\n")
            self.record.flush()
        except OSError as e:
            log("record: %s" % e)

    def _write(self, data):
        while data:
            try:
                n = os.write(self.master, data)
            except BlockingIOError:
                # Nobody drains the port: drop the rest like an overrun.
                log("port full, dropped %d bytes" % len(data))
                return
            except OSError as e:
                log("write: %s" % e)
                return
            data = data[n:]

    def _schedule(self, chunks, now):
        if not chunks:
            return
        # One reply at a time, like a real unit: a reply queued behind a
        # split one waits for its last piece.
        start = max(now + self.reply_delay, self.busy_until)
        for off, data in chunks:
            self.pending.append((start + off, data))
        self.busy_until = start + chunks[-1][0]

    def _on_signal(self, signum, frame):
        self.stop_signal = signum

    def install_signals(self):
        signal.signal(signal.SIGTERM, self._on_signal)
        signal.signal(signal.SIGINT, self._on_signal)

    # -- main loop

    def serve(self):
        wake_r, wake_w = os.pipe()
        for fd in (wake_r, wake_w):
            fcntl.fcntl(fd, fcntl.F_SETFL,
                        fcntl.fcntl(fd, fcntl.F_GETFL) | os.O_NONBLOCK)
        signal.set_wakeup_fd(wake_w)
        self.install_signals()

        self.t0 = time.monotonic()
        close_at = self.responder.scenario.close_time()
        close_deadline = None if close_at is None else self.t0 + close_at
        log("serving %s protocol=%s t0=%.6f" % (
            self.slave_path, self.responder.protocol, self.t0))
        print("READY %s" % self.slave_path, flush=True)

        watch = [self.master, wake_r]
        if self.exit_on_eof:
            watch.append(sys.stdin.fileno())
        try:
            while self.stop_signal is None:
                now = time.monotonic()
                if close_deadline is not None and now >= close_deadline:
                    log("fault close: dropping the line")
                    return 0
                while self.pending and self.pending[0][0] <= now:
                    self._write(self.pending.pop(0)[1])
                deadlines = [d for d in (close_deadline,
                                         self.pending[0][0] if self.pending else None)
                             if d is not None]
                timeout = max(0.0, min(deadlines) - now) if deadlines else None
                try:
                    ready, _, _ = select.select(watch, [], [], timeout)
                except InterruptedError:
                    continue
                if wake_r in ready:
                    try:
                        os.read(wake_r, 512)
                    except OSError:
                        pass
                if self.exit_on_eof and sys.stdin.fileno() in ready:
                    if not os.read(sys.stdin.fileno(), 4096):
                        log("stdin closed")
                        return 0
                if self.master in ready:
                    self._read_master()
            log("signal %d, exiting" % self.stop_signal)
            return 0
        finally:
            signal.set_wakeup_fd(-1)
            os.close(wake_r)
            os.close(wake_w)
            self.cleanup()

    def _read_master(self):
        try:
            data = os.read(self.master, 4096)
        except BlockingIOError:
            return
        except OSError as e:
            # Should not happen while we hold the slave; avoid spinning.
            if e.errno != errno.EIO:
                log("read: %s" % e)
            time.sleep(0.01)
            return
        now, wall = time.monotonic(), time.time()
        for cmd in self.splitter.feed(data):
            self._record(cmd + b"\r", now, wall)
            try:
                chunks = self.responder.handle(cmd, now - self.t0)
            except Exception as e:      # never let odd input kill the unit
                log("error handling %r: %s" % (cmd, e))
                continue
            if self.verbose:
                log("%r -> %r" % (cmd, chunks))
            self._schedule(chunks, now)


# ---------------------------------------------------------------------------

def build_parser():
    p = argparse.ArgumentParser(description="Megatec/Mustek UPS on a pty.")
    p.add_argument("--link", help="(re)create this symlink to the slave device")
    p.add_argument("--protocol", choices=PROTOCOLS, default="both")
    p.add_argument("--scenario", help="JSON scenario file")
    p.add_argument("--record", help="append received commands as JSON lines")
    p.add_argument("--echo", default="",
                   help="comma list of commands to echo instead of acting on "
                        "(e.g. T,TL,Q,T05 or the generic Tnn/Snn)")
    p.add_argument("--answer-from", type=int, default=1, metavar="N",
                   help="answer Q1/QS/I/F only from the Nth try of each on")
    p.add_argument("--rating", help="F reply without CR")
    p.add_argument("--rating-no-cr", action="store_true",
                   help="send the F reply without its CR, as some units do")
    p.add_argument("--info", help="I reply without CR")
    p.add_argument("--reply-delay", type=float, default=50.0, metavar="MS")
    p.add_argument("--fault", choices=FAULT_KINDS,
                   help="status-reply fault active from the start")
    p.add_argument("--batt-width", type=int, choices=(4, 5), default=4,
                   help="battery field width (5 gives 13.60-style values)")
    p.add_argument("--seed", type=int, default=0, help="seed for garbage bytes")
    p.add_argument("--exit-on-eof", action="store_true",
                   help="also exit when stdin reaches EOF")
    p.add_argument("--verbose", action="store_true", help="log replies to stderr")
    return p


def main(argv=None):
    args = build_parser().parse_args(argv)
    try:
        if args.scenario:
            scenario = Scenario.load(args.scenario, args.fault)
        else:
            scenario = Scenario(fault=args.fault)
    except ScenarioError as e:
        log(str(e))
        return 2
    responder = Responder(scenario, args.protocol, parse_echo_list(args.echo),
                          args.answer_from, args.info, args.rating,
                          args.batt_width, args.seed,
                          False if args.rating_no_cr else None)
    sim = Simulator(responder, args.link, args.record,
                    max(0.0, args.reply_delay) / 1000.0, args.exit_on_eof,
                    args.verbose)
    # Catch a stop request even during setup, so the link gets cleaned up.
    sim.install_signals()
    try:
        sim.open()
    except OSError as e:
        log("cannot set up the pty: %s" % e)
        sim.cleanup()
        return 1
    return sim.serve()


if __name__ == "__main__":
    rc = main()
    try:
        sys.stdout.flush()
        sys.stderr.flush()
    except (OSError, ValueError):
        pass
    # Skip interpreter teardown: it restores default signal handlers, and a
    # SIGTERM landing in that window would turn our exit code 0 into -15.
    os._exit(rc)
