"""Replies that are not what a UPS should send: the program neither crashes
nor hangs, and stores each one as the reply filter says.

One program run walks through the faults on the simulator's timeline; each
phase carries its own input voltage so that the replies of neighbouring
phases can be told apart.
"""

import os
import random
import sys
import time

import harness
from harness import E2ETestCase, wait_for

sys.path.insert(0, os.path.join(harness.REPO, "tools"))
import upssim  # noqa: E402

HEAD_S = 25.0   # normal replies while the program starts and connects
PHASE_S = 9.0   # two poll cycles of about 4 s each
RECOVER_S = 13.0  # the long reply leaves bytes in the line for the next read
AFTER_CLOSE_S = 9.0
DISPLAY_LAG_S = 1.5  # a poll shows up about 1 s after the command was sent
NOT_YET_S = 0.8      # ... and never sooner than this (500 ms pause + 500 ms read)

PHASES = [  # fault, input voltage of its replies
    ("nul", 231.0),
    ("no_cr", 232.0),
    ("trailing", 233.0),
    ("garbage", 234.0),
    ("silence", 235.0),
    ("long", 236.0),
    (None, 237.0),
]


def status(ip):
    readings = dict(upssim.DEFAULT_READINGS, ip=ip)
    return upssim.format_status(readings)


def garbage_texts(count=40):
    """What the program may show for the simulator's garbage replies, in the
    order the simulator makes them (its generator is seeded with 0)."""
    rng = random.Random(0)
    return [harness.filtered(upssim.apply_fault("garbage", b"", b"Q1\r", rng)[0][1])
            for _ in range(count)]


def expected_texts(fault, ip):
    reply = status(ip)
    if fault == "no_cr":
        return {harness.filtered(reply.rstrip(b"\r"))}
    if fault == "long":
        return {harness.filtered(upssim.apply_fault("long", reply, b"Q1\r")[0][1])}
    if fault == "garbage":
        return set(garbage_texts())
    return {harness.filtered(reply)}  # nul, trailing, normal


def timeline():
    events, at = [], HEAD_S
    for fault, ip in PHASES:
        events.append({"at": at, "fault": fault, "set": {"ip": ip}})
        at += RECOVER_S if fault is None else PHASE_S
    events.append({"at": at, "fault": "close"})
    return events


class BadInputTest(E2ETestCase):
    def test_faulty_replies_are_filtered_without_crash_or_hang(self):
        events = timeline()
        sim = self.start_simulator(protocol="both", scenario={"timeline": events})
        app = self.start_program("/show")
        self.connect_through_dialog(app, timeout=HEAD_S)

        close_at = sim.t0 + events[-1]["at"]
        seen = []  # (monotonic time, text of ReportStringE)
        while time.monotonic() < close_at + AFTER_CLOSE_S:
            self.assertTrue(app.alive(), "veltrano.exe ended (crash?)")
            text = self.wine.probe_text("ReportStringE")
            self.assertIsNotNone(text, "the main window stopped answering")
            seen.append((time.monotonic(), text))
            time.sleep(0.3)

        normal = harness.filtered(status(230.0))
        self.assertIn(normal, [t for at, t in seen if at < sim.t0 + HEAD_S],
                      "no normal reply shown in the first %.0f s (connect too slow?)" % HEAD_S)
        self.assertTrue(normal.endswith("#") and len(normal) == 47)

        commands = sim.commands()
        for i, (fault, ip) in enumerate(PHASES):
            start, end = sim.t0 + events[i]["at"], sim.t0 + events[i + 1]["at"]
            polls = [c for c in commands if start <= c["t"] < end and c["cmd"] == "Q1\r"]
            self.assertGreaterEqual(len(polls), 1, "no poll during %s: hung?" % fault)
            shown = [t for at, t in seen if start + DISPLAY_LAG_S <= at < end + DISPLAY_LAG_S]
            if fault == "silence":
                # A poll without answer is withheld: the garbage stays on show
                # until the first poll of the next phase can be shown.
                shown = [t for at, t in seen if start + DISPLAY_LAG_S <= at < end + NOT_YET_S]
                self.assertTrue(set(shown) <= expected_texts("garbage", ip),
                                "silence changed the display: %r" % set(shown))
                continue
            want = expected_texts(fault, ip)
            self.assertTrue(want & set(shown),
                            "%s: expected one of %r, shown %r" % (fault, sorted(want)[:2],
                                                                  sorted(set(shown))))
            if fault == "long":
                self.assertEqual(len(next(iter(want))), 255)
            if fault == "no_cr":
                self.assertFalse(next(iter(want)).endswith("#"))

        # The line went away: the program keeps running and answering.
        wait_for(lambda: not sim.alive(), 10, 0.2, "the simulator to drop the line")
        self.assertTrue(app.responsive())
