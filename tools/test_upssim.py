#!/usr/bin/python3
"""Self-test of the UPS simulator: pure logic first, then one real pty run.

Run from the repo root with  /usr/bin/python3 -m unittest tools/test_upssim.py
or  /usr/bin/python3 tools/test_upssim.py
"""

import json
import os
import select
import signal
import subprocess
import sys
import tempfile
import time
import tty
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
import upssim  # noqa: E402

SCRIPT = os.path.join(HERE, "upssim.py")
NORMAL = b"(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r"


def status_fields(reply):
    return reply[1:-1].decode("latin-1").split(" ")


class FormatTest(unittest.TestCase):
    def test_default_status_is_47_bytes(self):
        reply = upssim.format_status(upssim.DEFAULT_READINGS)
        self.assertEqual(reply, NORMAL)
        self.assertEqual(len(reply), 47)

    def test_width_stays_fixed_across_readings(self):
        cases = [
            dict(ip=0.0, fault=0.0, op=0.0, load=0, freq=0.0, batt=0.0,
                 temp=0.0, bits="11111111"),
            dict(ip=99.5, fault=140.0, op=5.25, load=100, freq=60.0,
                 batt=2.05, temp=35.0, bits="10000000"),
            dict(ip=240.04, fault=240.0, op=239.96, load=7.6, freq=49.95,
                 batt=9.999, temp=9.0, bits="00000000"),
            dict(ip=230.0, fault=230.0, op=230.0, load=50, freq=50.0,
                 batt=27.0, temp=40.0, bits="00001000"),
        ]
        for r in cases:
            with self.subTest(r=r):
                reply = upssim.format_status(r)
                self.assertEqual(len(reply), 47, reply)
                self.assertTrue(reply.startswith(b"(") and reply.endswith(b"\r"))
                self.assertEqual([len(f) for f in status_fields(reply)],
                                 [5, 5, 5, 3, 4, 4, 4, 8])

    def test_battery_styles(self):
        self.assertEqual(upssim.format_batt(2.05), "2.05")
        self.assertEqual(upssim.format_batt(13.6), "13.6")
        self.assertEqual(upssim.format_batt(27.0), "27.0")
        # Rounds up into the two-digit range: must not grow to "10.00".
        self.assertEqual(upssim.format_batt(9.999), "10.0")
        self.assertEqual(upssim.format_batt(13.6, 5), "13.60")
        wide = upssim.format_status(upssim.DEFAULT_READINGS, batt_width=5)
        self.assertEqual(status_fields(wide)[5], "13.60")
        self.assertEqual(len(wide), 48)

    def test_info_columns(self):
        info = upssim.DEFAULT_INFO.encode() + b"\r"
        self.assertEqual(info, b"#MEGATEC         UPS-650VA  V1.0      \r")
        long = upssim.format_info("A" * 20, "B" * 12, "C" * 11)
        self.assertEqual(long, b"#" + b"A" * 15 + b" " + b"B" * 10 + b" " + b"C" * 10 + b"\r")

    def test_faulted_bytes(self):
        fault = upssim.apply_fault
        self.assertEqual(fault(None, NORMAL, b"Q1"), [(0.0, NORMAL)])
        self.assertEqual(fault("silence", NORMAL, b"Q1"), [])
        self.assertEqual(fault("no_cr", NORMAL, b"Q1"), [(0.0, NORMAL[:-1])])
        self.assertEqual(fault("trailing", NORMAL, b"Q1"),
                         [(0.0, NORMAL + b"XYZ\r(1")])
        self.assertEqual(fault("echo", NORMAL, b"QS"), [(0.0, b"QS\r")])

        (_, nul), = fault("nul", NORMAL, b"Q1")
        self.assertEqual(len(nul), 2 * len(NORMAL) - 1)
        self.assertEqual(nul[::2], NORMAL)
        self.assertEqual(set(nul[1::2]), {0})

        (_, long), = fault("long", NORMAL, b"Q1")
        self.assertEqual(len(long), 301)
        self.assertEqual(long.count(b"\r"), 1)
        self.assertTrue(long.endswith(b"\r"))
        self.assertTrue(all(0x20 <= b < 0x7F for b in long[:-1]))

        parts = fault("split", NORMAL, b"Q1")
        self.assertEqual([p[1] for p in parts], [NORMAL[:20], NORMAL[20:]])
        self.assertAlmostEqual(parts[1][0] - parts[0][0], 0.2)

    def test_garbage_is_never_a_reply(self):
        import random
        rng = random.Random(1)
        for _ in range(200):
            (_, g), = upssim.apply_fault("garbage", NORMAL, b"Q1", rng)
            self.assertEqual(g.count(b"\r"), 1)
            self.assertTrue(g.endswith(b"\r"))
            self.assertNotEqual(g[:1], b"(")
            self.assertTrue(any(b >= 0x80 for b in g))
            self.assertTrue(30 <= len(g) <= 60)


class CommandTest(unittest.TestCase):
    def test_classify(self):
        table = {b"Q1": "Q1", b"QS": "QS", b"I": "I", b"F": "F", b"T": "T",
                 b"TL": "TL", b"T05": "Tnn", b"T5": "unknown", b"T123": "unknown",
                 b"CT": "CT", b"Q": "Q", b"S05": "Snn", b"S.5": "Snn",
                 b"S01R0002": "Snn", b"C": "C", b"": "",
                 b"q1": "unknown", b"\nQ1": "unknown", b"Q1\0": "unknown",
                 b"\xff\xfe": "unknown"}
        for cmd, kind in table.items():
            with self.subTest(cmd=cmd):
                self.assertEqual(upssim.classify(cmd), kind)

    def test_splitter_keeps_partial_commands(self):
        s = upssim.LineSplitter(limit=16)
        self.assertEqual(s.feed(b"Q"), [])
        self.assertEqual(s.feed(b"1\rI\rF"), [b"Q1", b"I"])
        self.assertEqual(s.feed(b"\r\r"), [b"F", b""])
        self.assertEqual(s.feed(b"\0\xff\r"), [b"\0\xff"])
        # A runaway line is dropped rather than buffered forever.
        self.assertEqual(s.feed(b"x" * 40), [])
        self.assertEqual(s.feed(b"Q1\r"), [b"Q1"])


def replies(resp, cmds, t=0.0):
    return [b"".join(d for _, d in resp.handle(c, t)) for c in cmds]


class ResponderTest(unittest.TestCase):
    def test_protocol_matrix(self):
        expect = {
            "megatec": (NORMAL, b"QS\r"),
            "mustek": (b"Q1\r", NORMAL),
            "both": (NORMAL, NORMAL),
            "none": (b"Q1\r", b"QS\r"),
        }
        for proto, (q1, qs) in expect.items():
            with self.subTest(protocol=proto):
                r = upssim.Responder(protocol=proto)
                self.assertEqual(replies(r, [b"Q1", b"QS"]), [q1, qs])
                # Identification and rating do not depend on the status flavour.
                self.assertEqual(replies(r, [b"I", b"F"]),
                                 [upssim.DEFAULT_INFO.encode() + b"\r",
                                  b"#220.0 003 12.00 50.0\r"])

    def test_unknown_echoed_bare_cr_ignored(self):
        r = upssim.Responder()
        self.assertEqual(replies(r, [b"XYZ", b"\xff\0", b"", b"q1"]),
                         [b"XYZ\r", b"\xff\0\r", b"", b"q1\r"])

    def test_echo_list(self):
        r = upssim.Responder(echo=upssim.parse_echo_list("T, TL,Q,T05,S01"))
        self.assertEqual(replies(r, [b"T", b"TL", b"Q", b"T05", b"T06", b"S01",
                                     b"S02", b"CT"]),
                         [b"T\r", b"TL\r", b"Q\r", b"T05\r", b"", b"S01\r",
                          b"", b""])
        # Echoed, not acted on: no beeper flip, no test running.
        self.assertEqual(replies(r, [b"Q1"]), [NORMAL])

        g = upssim.Responder(echo=upssim.parse_echo_list("Tnn,Snn,Q1"))
        self.assertEqual(replies(g, [b"T01", b"T99", b"T", b"S.5", b"Q1", b"QS"]),
                         [b"T01\r", b"T99\r", b"", b"S.5\r", b"Q1\r",
                          NORMAL.replace(b"00001001", b"00001101")])
        # ...the plain "T" is not covered by "Tnn": it started a test (b2).

    def test_answer_from_counts_each_kind(self):
        r = upssim.Responder(answer_from=3)
        seq = [b"Q1", b"I", b"Q1", b"F", b"I", b"Q1", b"I", b"F", b"F", b"Q1"]
        got = [bool(x) for x in replies(r, seq)]
        self.assertEqual(got, [False, False, False, False, False, True, True,
                               False, True, True])
        # Echo still happens regardless of the count.
        m = upssim.Responder(protocol="megatec", answer_from=5)
        self.assertEqual(replies(m, [b"QS", b"XX"]), [b"QS\r", b"XX\r"])

    def test_beeper_toggle(self):
        r = upssim.Responder()
        bits = lambda: status_fields(replies(r, [b"Q1"])[0])[7]  # noqa: E731
        self.assertEqual(bits(), "00001001")
        self.assertEqual(replies(r, [b"Q"]), [b""])
        self.assertEqual(bits(), "00001000")
        replies(r, [b"Q"])
        self.assertEqual(bits(), "00001001")

    def test_battery_tests_set_b2(self):
        r = upssim.Responder()

        def bits(t):
            return status_fields(replies(r, [b"Q1"], t)[0])[7]

        replies(r, [b"T"], 1.0)
        self.assertEqual(bits(5.0), "00001101")
        self.assertEqual(bits(11.5), "00001001")
        replies(r, [b"TL"], 20.0)
        self.assertEqual(bits(5000.0), "00001101")
        replies(r, [b"CT"], 5000.0)
        self.assertEqual(bits(5000.1), "00001001")
        replies(r, [b"T02"], 100.0)
        self.assertEqual(bits(219.0), "00001101")
        self.assertEqual(bits(221.0), "00001001")

    def test_shutdown_is_silent_and_noted(self):
        r = upssim.Responder()
        self.assertEqual(replies(r, [b"S05", b"C", b"S.3R0001"], 3.0),
                         [b"", b"", b""])
        self.assertEqual(r.shutdowns, [(3.0, b"S05"), (3.0, b"S.3R0001")])

    def test_rating_and_info_overrides(self):
        r = upssim.Responder(rating="#220.0 003 24.00 50.0", info="#ACME X 1")
        self.assertEqual(replies(r, [b"F", b"I"]),
                         [b"#220.0 003 24.00 50.0\r", b"#ACME X 1\r"])

    def test_rating_without_cr_from_scenario_or_option(self):
        sc = upssim.Scenario.from_dict({"rating": "#220.0 013 72.00 50.0", "rating_cr": False})
        # The option wins over the scenario.
        for option, end in ((None, b""), (True, b"\r")):
            with self.subTest(option=option):
                r = upssim.Responder(sc, rating_cr=option)
                self.assertEqual(replies(r, [b"F"]), [b"#220.0 013 72.00 50.0" + end])
        self.assertEqual(replies(upssim.Responder(rating_cr=False), [b"F"]),
                         [b"#220.0 003 12.00 50.0"])

    def test_faults_touch_status_only(self):
        sc = upssim.Scenario(fault="silence")
        r = upssim.Responder(sc)
        self.assertEqual(replies(r, [b"Q1", b"QS", b"I", b"XX"]),
                         [b"", b"", upssim.DEFAULT_INFO.encode() + b"\r", b"XX\r"])


class ScenarioTest(unittest.TestCase):
    DOC = {
        "initial": {"ip": 230.0, "fault": 230.0, "op": 229.0, "load": 13,
                    "freq": 50.0, "batt": 13.6, "temp": 25.0, "bits": "00001001"},
        "timeline": [
            {"at": 12.0, "set": {"ip": 230.0, "bits": "00001001"}, "drain": None},
            {"at": 5.0, "set": {"ip": 0.0, "bits": "10001001"}},
            {"at": 8.0, "drain": {"batt_per_s": -0.05}},
            {"at": 20.0, "fault": "silence"},
            {"at": 25.0, "fault": None},
            {"at": 30.0, "drain": {"batt_per_s": -1.0}},
            {"at": 32.0, "set": {"batt": 13.0}},
        ],
    }

    def setUp(self):
        self.sc = upssim.Scenario.from_dict(json.loads(json.dumps(self.DOC)))

    def test_readings_over_time(self):
        at = self.sc.state_at
        self.assertEqual(at(0.0), (self.DOC["initial"], None))
        self.assertEqual(at(4.99)[0]["ip"], 230.0)
        self.assertEqual(at(5.0)[0]["ip"], 0.0)
        self.assertEqual(at(5.0)[0]["bits"], "10001001")
        self.assertAlmostEqual(at(8.0)[0]["batt"], 13.6)
        self.assertAlmostEqual(at(10.0)[0]["batt"], 13.5)
        # Drain stopped at 12 s: the value reached then is kept.
        self.assertAlmostEqual(at(12.0)[0]["batt"], 13.4)
        self.assertAlmostEqual(at(19.0)[0]["batt"], 13.4)
        self.assertEqual(at(12.0)[0]["ip"], 230.0)

    def test_drain_rebases_on_set_and_floors_at_zero(self):
        at = self.sc.state_at
        self.assertAlmostEqual(at(31.0)[0]["batt"], 12.4)
        self.assertAlmostEqual(at(32.0)[0]["batt"], 13.0)
        self.assertAlmostEqual(at(34.5)[0]["batt"], 10.5)
        self.assertEqual(at(1000.0)[0]["batt"], 0.0)

    def test_fault_window(self):
        at = self.sc.state_at
        self.assertEqual([at(t)[1] for t in (19.9, 20.0, 24.9, 25.0)],
                         [None, "silence", "silence", None])
        self.assertIsNone(self.sc.close_time())
        self.assertEqual(upssim.Scenario(fault="nul").state_at(99)[1], "nul")

    def test_close_time(self):
        sc = upssim.Scenario.from_dict({"timeline": [
            {"at": 3, "fault": "silence"}, {"at": 7.5, "fault": "close"},
            {"at": 9, "fault": "close"}]})
        self.assertEqual(sc.close_time(), 7.5)
        self.assertEqual(upssim.Scenario(fault="close").close_time(), 0.0)

    def test_scenario_drives_replies(self):
        r = upssim.Responder(self.sc)
        q = lambda t: replies(r, [b"Q1"], t)[0]  # noqa: E731
        self.assertEqual(status_fields(q(6.0))[0], "000.0")
        self.assertEqual(status_fields(q(6.0))[7], "10001001")
        self.assertEqual(status_fields(q(10.0))[5], "13.5")
        self.assertEqual(q(21.0), b"")
        self.assertEqual(len(q(26.0)), 47)

    def test_rejects_bad_documents(self):
        bad = [
            [],
            {"initial": {"volts": 1}},
            {"initial": {"bits": "0000100"}},
            {"initial": {"bits": "0000100x"}},
            {"initial": {"ip": "230"}},
            {"timeline": [{"set": {"ip": 1}}]},
            {"timeline": [{"at": -1}]},
            {"timeline": [{"at": 1, "fault": "smoke"}]},
            {"timeline": [{"at": 1, "drain": {"rate": 1}}]},
            {"timeline": [{"at": 1, "sett": {}}]},
            {"extra": 1},
            {"rating_cr": 0},
        ]
        for doc in bad:
            with self.subTest(doc=doc):
                with self.assertRaises(upssim.ScenarioError):
                    upssim.Scenario.from_dict(doc)


# ---------------------------------------------------------------------------
# Over a real pty

def wait_for(pred, timeout, step=0.02):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if pred():
            return True
        time.sleep(step)
    return pred()


def read_until(fd, want, timeout=3.0):
    """Read until `want` CRs arrived or the timeout hits."""
    buf = b""
    end = time.monotonic() + timeout
    while buf.count(b"\r") < want:
        left = end - time.monotonic()
        if left <= 0:
            break
        r, _, _ = select.select([fd], [], [], left)
        if r:
            buf += os.read(fd, 4096)
    return buf


def open_port(path):
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
    tty.setraw(fd)
    return fd


class PtyRunTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)
        self.link = os.path.join(self.tmp.name, "ttyUPS")
        self.record = os.path.join(self.tmp.name, "rec.jsonl")

    def start(self, *extra):
        p = subprocess.Popen(
            [sys.executable, SCRIPT, "--link", self.link, "--record",
             self.record, *extra],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE)

        def reap():
            if p.poll() is None:
                p.kill()
            p.communicate(timeout=5)
        self.addCleanup(reap)
        r, _, _ = select.select([p.stdout], [], [], 10)
        self.assertTrue(r, "no READY line")
        line = p.stdout.readline().decode()
        self.assertTrue(line.startswith("READY /dev/"), line)
        return p, line.split()[1]

    def records(self):
        with open(self.record, encoding="utf-8") as f:
            return [json.loads(l) for l in f]

    def test_query_reopen_and_terminate(self):
        p, slave = self.start("--reply-delay", "80")
        self.assertEqual(os.readlink(self.link), slave)

        fd = open_port(self.link)
        sent = time.monotonic()
        os.write(fd, b"Q1\r")
        reply = read_until(fd, 1)
        got = time.monotonic()
        os.close(fd)
        self.assertEqual(reply, NORMAL)
        self.assertGreaterEqual(got - sent, 0.07)

        # Closing and reopening the port must not upset the simulator.
        fd = open_port(slave)
        os.write(fd, b"I\rBAD\xff\r")
        self.assertEqual(read_until(fd, 2),
                         upssim.DEFAULT_INFO.encode() + b"\rBAD\xff\r")
        os.close(fd)

        self.assertTrue(wait_for(lambda: len(self.records()) == 3, 3))
        recs = self.records()
        self.assertEqual([r["cmd"] for r in recs], ["Q1\r", "I\r", "BAD\xff\r"])
        # Same clock as ours, so tests can check pacing.
        self.assertTrue(sent <= recs[0]["t"] <= got)
        self.assertLessEqual(recs[0]["t"], recs[1]["t"])

        p.send_signal(signal.SIGTERM)
        self.assertEqual(p.wait(timeout=5), 0)
        self.assertFalse(os.path.lexists(self.link))

    def test_close_fault_drops_the_line(self):
        path = os.path.join(self.tmp.name, "sc.json")
        with open(path, "w") as f:
            json.dump({"timeline": [{"at": 0.4, "fault": "close"}]}, f)
        p, slave = self.start("--scenario", path)
        fd = open_port(slave)
        self.addCleanup(os.close, fd)
        os.write(fd, b"Q1\r")
        self.assertEqual(read_until(fd, 1), NORMAL)
        self.assertEqual(p.wait(timeout=5), 0)
        self.assertFalse(os.path.lexists(self.link))
        # The client now sees a hung-up line.
        r, _, _ = select.select([fd], [], [], 2)
        self.assertTrue(r)
        try:
            self.assertEqual(os.read(fd, 10), b"")
        except OSError:
            pass

    def test_bad_scenario_fails_before_ready(self):
        path = os.path.join(self.tmp.name, "sc.json")
        with open(path, "w") as f:
            f.write("{not json")
        p = subprocess.run([sys.executable, SCRIPT, "--scenario", path],
                           capture_output=True, timeout=10)
        self.assertEqual(p.returncode, 2)
        self.assertEqual(p.stdout, b"")


if __name__ == "__main__":
    unittest.main()
