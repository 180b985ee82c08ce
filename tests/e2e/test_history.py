"""The history under Wine: the demo's power failure becomes minutes and one
outage in %LOCALAPPDATA%\\Veltrano\\history.db; a process killed hard just as
a minute is written leaves a file that opens with the earlier rows."""

import glob
import json
import os
import shutil
import signal
import sqlite3
import time
import urllib.request

from harness import E2ETestCase, wait_for
from test_reports import free_port

DEMO = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "scenarios", "demo.json")


class HistoryTest(E2ETestCase):
    def history_file(self):
        found = glob.glob(os.path.join(self.wine.prefix, "drive_c", "users", "*", "AppData", "Local",
                                       "Veltrano", "history.db"))
        return found[0] if found else None

    def snapshot(self):
        """The database as it stands, read from a copy: Wine's locks are not
        the host's, so the live file is never opened from here."""
        path = self.history_file()
        if not path:
            return None
        copy = os.path.join(self.wine.temp_dir("history"), "history.db")
        for suffix in ("", "-wal"):
            if os.path.exists(path + suffix):
                shutil.copyfile(path + suffix, copy + suffix)
        db = sqlite3.connect(copy)
        self.addCleanup(db.close)
        return db

    def outages(self):
        db = self.snapshot()
        if db is None:
            return []
        return db.execute("SELECT start_time, end_time, lowest_charge, start_charge, average_load FROM events"
                          " WHERE kind = 'mains_failure' ORDER BY start_time").fetchall()

    def start_demo(self):
        # Earlier tests' programs in this prefix kept their own history.
        for stale in glob.glob(os.path.join(self.wine.prefix, "drive_c", "users", "*", "AppData", "Local",
                                            "Veltrano", "history.db*")):
            os.remove(stale)
        with open(DEMO) as f:
            self.start_simulator(protocol="megatec", scenario=json.load(f))
        self.wine.clear_settings()
        self.port = free_port()
        self.wine.seed_settings({"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1,
                                 "HTTP Server": True, "HTTP Port": str(self.port)})
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        return app

    def fetch(self, path):
        with urllib.request.urlopen("http://127.0.0.1:%d%s" % (self.port, path), timeout=5) as r:
            self.assertEqual(r.status, 200, path)
            return r.read().decode("utf-8")

    def serving(self):
        try:
            return self.fetch("/history.json")
        except OSError:
            return None

    def check_feeds(self, minutes=True):
        feed = json.loads(self.fetch("/history.json"))
        self.assertEqual(len(feed["outages"]), 1, feed["outages"])
        self.assertTrue(55 <= feed["outages"][0]["seconds"] <= 65, feed["outages"])
        if not minutes:  # the minute of the return is written when the next one begins
            return
        self.assertTrue(any(p.get("on_battery_seconds") for p in feed["points"]), "no minute on battery")
        rows = self.fetch("/history.csv").splitlines()
        on_battery = rows[0].split(",").index("on_battery_seconds")
        self.assertTrue(any(int(r.split(",")[on_battery]) > 0 for r in rows[1:]), rows[:3])

    def test_demo_outage_is_kept_through_a_hard_kill(self):
        app = self.start_demo()
        self.wait_text("LogM", lambda t: "Power O.K." in t, 150, "the mains' return")
        ended = wait_for(lambda: [o for o in self.outages() if o[1] is not None], 20, 0.5, "the outage's row")
        self.assertEqual(len(ended), 1, ended)
        start, end, lowest, start_charge, load = ended[0]
        self.assertTrue(55 <= end - start <= 65, ended)
        self.assertLess(lowest, start_charge)
        self.assertAlmostEqual(load, 21, delta=0.5)
        minutes = self.snapshot().execute("SELECT count(*), sum(on_battery_seconds) FROM minutes").fetchone()
        self.assertGreaterEqual(minutes[0], 1)
        self.check_feeds(minutes=False)

        # Killed just after a minute begins: its first reading writes the
        # minute before.
        wait_for(lambda: 0.2 <= time.time() % 60 <= 0.6, 65, 0.05, "a minute's start")
        os.kill(app.pid, signal.SIGKILL)
        app.proc.wait(10)
        db = self.snapshot()
        self.assertEqual(db.execute("PRAGMA integrity_check").fetchone()[0], "ok")
        before = db.execute("SELECT count(*) FROM minutes").fetchone()[0]
        starts = db.execute("SELECT count(*) FROM events WHERE kind = 'program_start'").fetchone()[0]

        again = self.start_program("/show", fresh=False)
        again.wait_window()
        wait_for(lambda: len(self.snapshot().execute(
            "SELECT 1 FROM events WHERE kind = 'program_start'").fetchall()) == starts + 1, 30, 0.5,
                 "the second start")
        self.assertEqual(len([o for o in self.outages() if o[1] is not None]), 1)
        self.assertGreaterEqual(self.snapshot().execute("SELECT count(*) FROM minutes").fetchone()[0], before)
        self.assertEqual(glob.glob(self.history_file() + ".bad-*"), [], "the file was taken for damaged")
        self.assertNotIn("History database", self.text("LogM"))
        wait_for(self.serving, 20, 0.5, "the page server")
        self.check_feeds()
