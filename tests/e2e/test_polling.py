"""First start without a remembered port: the COM Port dialog, then polling."""

import harness
from harness import E2ETestCase, wait_for

# 3.0 s of pause (10 x 300 ms) plus about 1.0 s of serial exchange. The
# typical gap (the median) must sit in the narrow band, which catches a missing
# or doubled pause; a single gap may stretch further when the busy machine
# holds the idle-priority worker back, but never shrink.
GAP_MIN_S = 3.8
GAP_MAX_S = 4.6
GAP_LONGEST_S = 7.0
POLLS_TO_MEASURE = 5


def poll_times(commands):
    """Receipt times of the worker's polls: the Q1 commands after the last
    detection probe (QS, I, F), less the first, which may be the Q1 probe."""
    last_probe = max((i for i, c in enumerate(commands) if c["cmd"] != "Q1\r"), default=-1)
    return [c["t"] for c in commands[last_probe + 1:] if c["cmd"] == "Q1\r"][1:]


class PollingTest(E2ETestCase):
    def test_dialog_connects_and_polls_at_the_default_interval(self):
        sim = self.start_simulator(protocol="both")
        app = self.start_program("/show")

        def line_defaults():
            # DTR raised, RTS lowered until the user says otherwise.
            self.assertIn("checked=1", self.wine.probe("state", "DTRCB")[1])
            self.assertIn("checked=0", self.wine.probe("state", "RTSCB")[1])

        self.connect_through_dialog(app, check=line_defaults)
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 40, "'Start Monitoring'")
        expected = harness.filtered(b"(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r")
        self.wait_text("ReportStringE", lambda t: t == expected, 30, "the status reply")
        self.assertTrue(expected.endswith("#"))

        times = wait_for(lambda: (lambda ts: ts if len(ts) >= POLLS_TO_MEASURE else None)(
            poll_times(sim.commands())), 45, 0.5, "%d polls" % POLLS_TO_MEASURE)
        gaps = [round(b - a, 3) for a, b in zip(times, times[1:])]
        median = sorted(gaps)[len(gaps) // 2]
        self.assertTrue(GAP_MIN_S <= median <= GAP_MAX_S,
                        "typical poll spacing of %r outside %.1f..%.1f s" % (gaps, GAP_MIN_S, GAP_MAX_S))
        for gap in gaps:
            self.assertTrue(GAP_MIN_S <= gap <= GAP_LONGEST_S,
                            "poll spacing %r outside %.1f..%.1f s" % (gaps, GAP_MIN_S, GAP_LONGEST_S))
        # Detection is over: the worker sends nothing but its status query.
        self.assertEqual({c["cmd"] for c in sim.commands()[-POLLS_TO_MEASURE:]}, {"Q1\r"})

        # Exit ends the process by itself: the worker is stopped and joined.
        if app.has_exit_button():
            self.assertTrue(app.exit(timeout=20), "veltrano.exe did not end after Exit")
