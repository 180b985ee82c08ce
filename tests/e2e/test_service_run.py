"""veltrano.exe /install-service under Wine's service manager, in a prefix of
its own: the service polls the simulator on COM1 with no window and serves NUT
on 127.0.0.1 with "NUT Server" off; a user's window started beside it watches
it (its readings, its log) and never talks to the UPS; a mains failure is
logged and runs the external program once; `net stop` ends the service within
10 s with its settings saved, and /remove-service keeps them."""

import os
import subprocess
import time

import harness
from harness import E2ETestCase, Wine, wait_for, windows_path
from test_reports import free_port

FAIL_AT_S = 40.0  # after the prefix's restart and the service's start
SERVICE = "Veltrano"


def upsc_value(port, name):
    r = subprocess.run(["upsc", "ups@127.0.0.1:%d" % port, name], capture_output=True, text=True, timeout=10)
    return r.stdout.strip() if r.returncode == 0 else None


def upsc_status(port):
    return upsc_value(port, "ups.status")


class ServiceTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.box = Wine(self.wine.build_dir, use_display=self.wine.env["DISPLAY"]).start()
        self.addCleanup(self.box.stop)

    def sc(self, *args):
        return self.box.run(["sc"] + list(args), timeout=60)

    def restart_services(self):
        """Wine's service manager refuses to start a service created beside it
        ("database locked"); restarted, it starts it as an automatic one."""
        for args in (["-k"], ["-w"], ["-p"]):
            subprocess.run(["wineserver"] + args, env=self.box.env, timeout=60, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def log_text(self):
        path = os.path.join(self.box.prefix, "drive_c", "ProgramData", "Veltrano", "Veltrano.log")
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def wait_text(self, name, predicate, timeout, what):
        """As the shared one, in the service's prefix."""
        wait_for(lambda: predicate(self.box.probe_text(name) or ""), timeout, 0.5, what)

    def state(self):
        rc, out = self.sc("query", SERVICE)
        return next((line.split()[-1] for line in out.splitlines() if "STATE" in line), None) if rc == 0 else None

    def test_polls_serves_locally_acts_on_a_failure_and_stops_saved(self):
        program, marker = self.marker_program(self.box)
        port = free_port()
        self.box.seed_settings({
            "COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1, "NUT Port": str(port),
            "Action": 4, "Delay Action": True, "Delay": 10, "Voltage Action": False,
            "External Program Run": True, "External Program Name": windows_path(program)})
        sim = self.box.simulator(protocol="megatec", scenario={"timeline": [
            {"at": FAIL_AT_S, "set": {"ip": 0.0, "bits": "10001001"}}]})
        # A restarted prefix links COM1 to /dev/ttyS0 again unless told otherwise.
        self.box.run(["reg", "add", r"HKLM\Software\Wine\Ports", "/v", "COM1", "/d", sim.pty, "/f"])
        done = subprocess.run(["wine", self.box.exe, "/install-service"], env=self.box.env, timeout=90,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        harness.log("/install-service: %s %r %r" % (done.returncode, done.stdout, done.stderr))
        self.assertIn(done.returncode, (0, 2))
        if self.state() != "RUNNING":
            self.restart_services()
            rc, out = self.sc("start", SERVICE)
            harness.log("sc start: %s %r" % (rc, out))
        wait_for(lambda: self.state() == "RUNNING", 20, 0.5, "the service running")

        try:
            wait_for(lambda: sum(c["cmd"] == "Q1\r" for c in sim.commands()) >= 3, 30, 0.5, "polls of the UPS")
        except TimeoutError:
            self.fail("no polls; the service's log:\n" + self.log_text())
        self.assertIsNone(self.box.probe_text("LogM"), "the service showed a window")
        wait_for(lambda: upsc_status(port) == "OL", 20, 0.5, "ups.status OL on 127.0.0.1")

        # A user's window watches the service: its readings, its log, never the port.
        window = self.box.program("/show", fresh=False)
        window.wait_window()
        watching_since = len(sim.commands())
        self.wait_text("StatusBar", lambda t: t == "Veltrano service connected", 30, "the window on the service")
        served = upsc_value(port, "input.voltage")
        self.wait_text("IPVoltageE", lambda t: t and float(t) == float(served), 20, "the service's input voltage")
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 10, "the service's log in the window")
        self.assertLess(time.monotonic(), sim.t0 + FAIL_AT_S, "the failure came before the window watched")

        wait_for(lambda: "Power Fail" in self.log_text(), FAIL_AT_S + 20, 0.5, "'Power Fail' in the log file")
        wait_for(lambda: self.marker_runs(marker) == 1, 30, 0.5, "the program after the delay")
        self.wait_text("LogM", lambda t: "Power Fail" in t, 10, "the failure in the window's log")
        # One program on the port: nothing but the service's polls, the program run once.
        asked = {c["cmd"] for c in sim.commands()[watching_since:]}
        self.assertLessEqual(asked, {"Q1\r"}, "the window talked to the UPS")
        self.assertTrue(window.exit(), "the window did not exit")
        self.assertEqual(self.marker_runs(marker), 1)

        stop = time.monotonic()
        self.box.run(["net", "stop", SERVICE], timeout=30)
        wait_for(lambda: self.state() == "STOPPED", 10, 0.2, "the stop")
        self.assertLess(time.monotonic() - stop, 10.0)
        rc, out = self.box.run(["reg", "query", r"HKLM\Software\Quorvane\Veltrano", "/v", "SMTP Security"])
        self.assertEqual(rc, 0, "the settings were not saved at the stop: %r" % out)

        done = subprocess.run(["wine", self.box.exe, "/remove-service"], env=self.box.env, timeout=90,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIsNone(self.state(), "the service is still installed")
        self.assertIsNotNone(self.box.reg_values(r"HKLM\Software\Quorvane\Veltrano"), "the settings went")
