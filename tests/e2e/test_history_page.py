"""The History page over a history file seeded in the prefix: the span
drop-down, the chart's words, the outage list, Export CSV through the save
dialog, and screenshots of the page at 96 and 144 DPI (shots/)."""

import glob
import os
import re
import sqlite3
import subprocess
import time

import harness
from harness import E2ETestCase, windows_path

SHOTS = os.path.join(harness.REPO, "shots")
HISTORY_PAGE = 3  # the fourth page of the page control
LAST_HOUR, LAST_DAY = 0, 1
SETTINGS = {"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1}
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
EMPTY = "No history for this span yet"

# The history file as the program makes it, step by step; user_version is
# the number of steps taken.
QUANTITIES = ["input_voltage", "output_voltage", "load", "frequency", "battery_voltage",
              "temperature", "charge"]
SCHEMA = [
    "CREATE TABLE minutes (minute INTEGER PRIMARY KEY, utc_offset INTEGER NOT NULL"
    + "".join(", %s%s REAL" % (q, s) for q in QUANTITIES for s in ("_min", "_avg", "_max"))
    + ", on_battery_seconds INTEGER NOT NULL DEFAULT 0, readings INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE events (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, start_time INTEGER NOT NULL,"
    " end_time INTEGER, duration_seconds INTEGER, utc_offset INTEGER NOT NULL,"
    " lowest_battery_voltage REAL, lowest_charge REAL, action TEXT NOT NULL DEFAULT '',"
    " details TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX events_by_start ON events (start_time)",
    "ALTER TABLE events ADD COLUMN start_charge REAL;"
    "ALTER TABLE events ADD COLUMN average_load REAL",
    "CREATE UNIQUE INDEX events_once ON events (kind, start_time)",
]
COLUMNS = ["%s%s" % (q, s) for q in QUANTITIES for s in ("_min", "_avg", "_max")]
# The last step, after the rows are in: the minutes in whole hundredths.
PACK_MINUTES = (
    "CREATE TABLE minute_rows (minute INTEGER PRIMARY KEY, utc_offset INTEGER NOT NULL"
    + "".join(", %s INTEGER" % c for c in COLUMNS)
    + ", on_battery_seconds INTEGER NOT NULL DEFAULT 0, readings INTEGER NOT NULL DEFAULT 0);"
    "INSERT INTO minute_rows SELECT minute, utc_offset"
    + "".join(", CAST(round(%s * 100) AS INTEGER)" % c for c in COLUMNS)
    + ", on_battery_seconds, readings FROM minutes; DROP TABLE minutes;"
    "CREATE VIEW minutes AS SELECT minute, utc_offset" + "".join(", %s / 100.0 AS %s" % (c, c) for c in COLUMNS)
    + ", on_battery_seconds, readings FROM minute_rows")

# Minutes from 23 hours ago to 2 hours ago: all inside "Last day", none in
# "Last hour". One outage of 7 minutes 5 hours ago, at a local offset of +2 h.
FIRST_MINUTE_AGO_H, LAST_MINUTE_AGO_H = 23, 2
OUTAGE_AGO_S, OUTAGE_S, OUTAGE_OFFSET_MIN = 5 * 3600, 7 * 60, 120


def minute_row(minute, outage):
    on_battery = outage[0] <= minute < outage[1]
    volts, load, charge = (0.0, 38.0, 62.0) if on_battery else (229.0 + minute // 60 % 5, 31.0, 100.0)
    values = {"input_voltage": volts, "output_voltage": 230.0, "load": load, "frequency": 50.0,
              "battery_voltage": 27.1, "temperature": 30.0, "charge": charge}
    row = [minute, 0]
    for q in QUANTITIES:
        row += [values[q] - 1, values[q], values[q] + 1]
    return row + [60 if on_battery else 0, 60]


def seed_history(path, now):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.exists(path):
        os.remove(path)
    start = now - OUTAGE_AGO_S // 60 * 60
    outage = (start, start + OUTAGE_S)
    first = (now - FIRST_MINUTE_AGO_H * 3600) // 60 * 60
    minutes = list(range(first, (now - LAST_MINUTE_AGO_H * 3600) // 60 * 60 + 60, 60))
    with sqlite3.connect(path) as db:
        for step in SCHEMA:
            db.executescript(step)
        marks = ",".join("?" * (3 + 3 * len(QUANTITIES) + 1))
        db.executemany("INSERT INTO minutes VALUES (%s)" % marks, [minute_row(m, outage) for m in minutes])
        db.execute("INSERT INTO events (kind, start_time, end_time, duration_seconds, utc_offset,"
                   " lowest_charge, action) VALUES ('mains_failure', ?, ?, ?, ?, 62.4, 'hibernate')",
                   (outage[0], outage[1], OUTAGE_S, OUTAGE_OFFSET_MIN))
        db.executescript(PACK_MINUTES)
        db.execute("PRAGMA user_version = %d" % (len(SCHEMA) + 1))
    db.close()
    return outage, minutes


def local_minute(utc, offset_min):
    return time.strftime("%Y-%m-%d %H:%M", time.gmtime(utc + offset_min * 60))


class HistoryPageTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        users = [d for d in glob.glob(os.path.join(self.wine.prefix, "drive_c", "users", "*"))
                 if os.path.basename(d) != "Public"]
        self.assertEqual(len(users), 1, users)
        self.history = os.path.join(users[0], "AppData", "Local", "Veltrano", "history.db")
        self.outage, self.minutes = seed_history(self.history, int(time.time()))
        self.addCleanup(self.wine.run, ["reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f"])

    def open_page(self, dpi):
        self.wine.run(["reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"])
        self.start_simulator(protocol="megatec")
        self.wine.clear_settings()
        self.wine.seed_settings(SETTINGS)
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        self.assertEqual(self.wine.probe("select", "PC", HISTORY_PAGE)[0], 0)
        self.assertEqual(self.text("PC"), str(HISTORY_PAGE))
        return app

    def pick_span(self, index):
        self.assertEqual(self.wine.probe("select", "HistorySpanLB", index)[0], 0)

    def outages(self):
        rc, out = self.wine.probe("get", "OutageLV")
        self.assertEqual(rc, 0)
        return [line.split("\t") for line in out.splitlines()]

    def shoot(self, dpi):
        os.makedirs(SHOTS, exist_ok=True)
        path = os.path.join(SHOTS, "%d-history.png" % dpi)
        info = subprocess.run(["xwininfo", "-display", self.wine.env["DISPLAY"], "-name", "Veltrano"],
                              capture_output=True, text=True, timeout=10).stdout
        wid = re.search(r"Window id: (0x[0-9a-f]+)", info).group(1)
        subprocess.run(["import", "-display", self.wine.env["DISPLAY"], "-window", wid, path],
                       check=True, timeout=30)
        return path

    def test_spans_outages_and_export(self):
        self.open_page(96)
        self.assertEqual(self.text("HistorySpanLB").splitlines()[1:],
                         ["[0] Last hour", "[1] Last day", "[2] Last week", "[3] Last month"])

        # No minute in the last hour: the words, and no outage listed.
        self.pick_span(LAST_HOUR)
        self.wait_text("HistoryChart", lambda t: t == EMPTY, 20, "the empty chart's words")
        self.assertEqual(self.outages(), [])

        self.pick_span(LAST_DAY)
        self.wait_text("HistoryChart", lambda t: t not in ("", EMPTY), 20, "a chart of the last day")
        harness.wait_for(self.outages, 20, 0.3, "the outage listed")
        self.assertEqual(self.outages(), [[local_minute(self.outage[0], OUTAGE_OFFSET_MIN), "7 min 00 s",
                                           "62 %", "hibernate"]])
        self.shoot(96)

        csv_path = os.path.join(self.wine.temp_dir("export"), "day.csv")
        self.assertEqual(self.wine.probe("click", "HistoryExportSB")[0], 0)
        harness.wait_for(lambda: self.wine.probe("exists", "--caption", "Export History")[0] == 0, 20, 0.3,
                         "the save dialog")
        self.assertEqual(self.wine.probe("save-as", "Export History", windows_path(csv_path))[0], 0)
        harness.wait_for(lambda: os.path.exists(csv_path) and os.path.getsize(csv_path) > 0, 20, 0.3,
                         "the CSV file")
        with open(csv_path, encoding="utf-8", newline="") as f:
            lines = f.read().splitlines()
        # The seeded minutes, and those the running program added since.
        self.assertTrue(1 + len(self.minutes) <= len(lines) <= 1 + len(self.minutes) + 3, (len(lines), lines[:3]))
        fields = len(lines[0].split(","))
        self.assertTrue(all(len(line.split(",")) == fields for line in lines), "ragged rows")

    def test_screenshot_at_144_dpi(self):
        self.open_page(144)
        self.wait_text("HistoryChart", lambda t: t not in ("", EMPTY), 20, "a chart of the last day")
        harness.wait_for(self.outages, 20, 0.3, "the outage listed")
        self.shoot(144)
