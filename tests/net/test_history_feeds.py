#!/usr/bin/python3
"""/history, /history.csv and /history.json against a real history file the
fixture seeds (two hours of minutes before now and one outage), read by curl
and Python's json and csv, behind the page's credentials. Runs the native
fixture like test_page_server.py.
"""

import csv
import datetime
import io
import json
import os
import shutil
import tempfile
import unittest
import urllib.parse

from test_page_server import Fixture, curl

CREDENTIALS = ["-u", "admin:Secret"]


def iso(moment):
    return moment.astimezone(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


class HistoryFeedsTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="veltrano-history-feeds-")
        cls.fixture = Fixture("--user", "admin", "--password", "Secret",
                              "--history", os.path.join(cls.folder, "history.db"), "--seed-history")

    @classmethod
    def tearDownClass(cls):
        cls.fixture.stop()
        shutil.rmtree(cls.folder, ignore_errors=True)

    def fetch(self, path, status=200):
        got, _, body = curl(self.fixture.port, path, *CREDENTIALS)
        self.assertEqual(got, status, body[:300])
        return body

    def test_json_holds_the_seeded_minutes_and_outage(self):
        now = datetime.datetime.now(datetime.timezone.utc)
        query = urllib.parse.urlencode({"from": iso(now - datetime.timedelta(hours=3)), "step": "600"})
        answer = json.loads(self.fetch("/history.json?" + query))
        self.assertEqual(answer["step"], 600)
        self.assertNotIn("requested_step", answer)
        minutes = 0
        for point in answer["points"]:
            self.assertEqual(point["input_voltage"], {"min": 228, "avg": 230, "max": 232})
            self.assertNotIn("load", point)
            # Times come back local with their offset, and parse as such.
            self.assertIsNotNone(datetime.datetime.fromisoformat(point["time"]).utcoffset())
            minutes += 1
        self.assertIn(minutes, (12, 13))  # two hours at ten minutes, however the hour falls
        [outage] = answer["outages"]
        self.assertEqual((outage["seconds"], outage["lowest_charge"], outage["action"]), (300, 64, "shutdown"))

    def test_csv_has_a_line_per_minute(self):
        rows = list(csv.DictReader(io.StringIO(self.fetch("/history.csv").decode())))
        self.assertEqual(len(rows), 120)
        self.assertEqual((rows[0]["input_voltage_avg"], rows[0]["load_avg"], rows[0]["readings"]), ("230", "", "60"))
        times = [datetime.datetime.fromisoformat(row["time"]) for row in rows]
        self.assertEqual(times, sorted(times))

    def test_page_shows_the_chart_and_the_outage(self):
        page = self.fetch("/history").decode()
        self.assertIn("<svg", page)
        self.assertEqual(page.count("<polyline"), 1)  # the voltage only: no load or charge seeded
        self.assertIn("<td>5 min 00 s</td><td>64%</td><td>shutdown</td>", page)
        self.assertNotIn("<script", page)


if __name__ == "__main__":
    unittest.main()
