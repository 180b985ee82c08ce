"""veltrano.exe under Wine reading its UPS from NUT's own upsd (Debian's
nut-server) serving dummy-ups: the readings, a mains failure and its return,
the delay's program, a forced shutdown set by a primary, and upsd counting
the Windows client while it runs."""

import os
import socket
import subprocess
import time

from harness import E2ETestCase, wait_for, windows_path
from harness import _stop_process as stop_process
from test_reports import free_port

NUT = "/lib/nut"  # /usr/sbin/upsd is a wrapper that obeys nut.conf
REPLIES = os.path.join(os.path.dirname(__file__), "..", "data", "nut")
UNIT = "usbhid_ups_apc_back_ups_es_650g2.txt"


def dev_file_of(reply_file):
    """The variables of a LIST VAR reply as dummy-ups reads them."""
    lines = []
    with open(os.path.join(REPLIES, reply_file)) as f:
        for line in f:
            if line.startswith("VAR "):
                _, _, name, value = line.split(" ", 3)
                lines.append("%s: %s" % (name, value.strip().strip('"')))
    return "\n".join(lines) + "\n"


class Upsd:
    """upsd and dummy-ups in a folder of their own on a free loopback port."""

    def __init__(self, folder):
        self.folder, self.port = folder, free_port()
        self.dev = dev_file_of(UNIT)
        self._write("ups.conf", "[dummy]\n driver = dummy-ups\n port = unit.dev\n mode = dummy-once\n")
        self._write("unit.dev", self.dev)
        self._write("upsd.conf", "LISTEN 127.0.0.1 %d\n" % self.port)
        self._write("upsd.users", "[monuser]\n password = secret\n upsmon secondary\n"
                                  "[primary]\n password = primpass\n upsmon primary\n")
        env = dict(os.environ, NUT_CONFPATH=folder, NUT_STATEPATH=folder, NUT_ALTPIDPATH=folder)
        self.out = open(os.path.join(folder, "nut.log"), "w")
        self.procs = [subprocess.Popen([os.path.join(NUT, prog)] + args, env=env, stdout=self.out,
                                       stderr=subprocess.STDOUT, start_new_session=True)
                      for prog, args in (("dummy-ups", ["-a", "dummy", "-F", "-u", "root"]),
                                         ("upsd", ["-F", "-u", "root"]))]

    def _write(self, name, text):
        with open(os.path.join(self.folder, name), "w") as f:
            f.write(text)

    def set_status(self, words):
        """dummy-ups reads its file again when its modification time moves on,
        in whole seconds."""
        time.sleep(1.1)
        self.dev = "".join(("ups.status: %s\n" % words) if line.startswith("ups.status:") else line + "\n"
                           for line in self.dev.splitlines())
        self._write("unit.dev", self.dev)

    def ask(self, lines):
        """The answers of one connection, a line each."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=5) as s:
            f = s.makefile("rw", newline="\n")
            answers = []
            for line in lines:
                f.write(line + "\n")
                f.flush()
                answers.append(f.readline().strip())
            return answers

    def logins(self):
        try:
            answer = self.ask(["GET NUMLOGINS dummy"])[0]
        except OSError:
            return None
        return int(answer.split()[-1]) if answer.startswith("NUMLOGINS") else None

    def forced_shutdown(self):
        """FSD as a primary sets it, on a connection that stays logged in."""
        s = socket.create_connection(("127.0.0.1", self.port), timeout=5)
        f = s.makefile("rw", newline="\n")
        for line in ("USERNAME primary", "PASSWORD primpass", "LOGIN dummy", "FSD dummy"):
            f.write(line + "\n")
            f.flush()
            answer = f.readline().strip()
            if not answer.startswith("OK"):
                raise AssertionError("%s: %s" % (line, answer))
        return s

    def stop(self):
        for p in reversed(self.procs):
            stop_process(p)
        self.out.close()


class NutRemoteTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        if not (os.path.exists(os.path.join(NUT, "upsd")) and os.path.exists(os.path.join(NUT, "dummy-ups"))):
            self.skipTest("NUT's upsd and dummy-ups are not installed (Debian's nut-server)")
        self.upsd = Upsd(self.wine.temp_dir("upsd"))
        self.addCleanup(self.upsd.stop)
        wait_for(lambda: self.upsd.logins() == 0, 15, 0.2, "upsd serving the dummy UPS")

    def start_remote(self, **settings):
        self.wine.clear_settings()
        self.wine.seed_settings(dict({
            "UPS Source": 1, "Remote Host": "127.0.0.1", "Remote Port": str(self.upsd.port),
            "Remote UPS": "dummy", "Remote User": "monuser", "Remote Password": "secret",
            "Refresh Interval": 1, "Action": 4, "Delay Action": True, "Voltage Action": False}, **settings))
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        return app

    def test_reads_the_server_follows_a_failure_and_acts_on_delay_and_on_fsd(self):
        program, marker = self.marker_program()
        app = self.start_remote(**{"Delay": 10, "External Program Run": True,
                                   "External Program Name": windows_path(program)})
        where = "NUT UPS dummy@127.0.0.1:%d connected" % self.upsd.port
        self.wait_text("LogM", lambda t: where in t, 40, repr(where))
        self.wait_text("IPVoltageE", lambda t: t == "250.0", 20, "the unit's input voltage")
        self.assertEqual(self.text("MfrE"), "American Power Conversion")
        wait_for(lambda: self.upsd.logins() == 1, 10, 0.2, "upsd counting the Windows client")

        # A mains failure makes the local log lines and runs the program after the delay.
        self.upsd.set_status("OB")
        self.wait_text("LogM", lambda t: "Power Fail" in t, 20, "'Power Fail'")
        failed = time.monotonic()
        while time.monotonic() < failed + 7.0:
            self.assertEqual(self.marker_runs(marker), 0, "the program ran before the delay")
            time.sleep(0.25)
        wait_for(lambda: self.marker_runs(marker) == 1, 20, 0.25, "the program after the delay")
        self.upsd.set_status("OL")
        self.wait_text("LogM", lambda t: "Power O.K." in t, 20, "'Power O.K.'")

        # FSD from the server's primary: the action at once, no delay.
        primary = self.upsd.forced_shutdown()
        self.addCleanup(primary.close)
        fsd = time.monotonic()
        wait_for(lambda: self.marker_runs(marker) == 2, 10, 0.2, "the program on FSD")
        self.assertLess(time.monotonic() - fsd, 8.0)
        self.assertIn("Forced shutdown requested by the NUT server", self.text("LogM"))

        # A clean exit logs out: the primary no longer waits for this computer
        # (it counts itself too).
        self.assertEqual(self.upsd.logins(), 2)
        self.assertTrue(app.exit(), "veltrano.exe did not exit")
        wait_for(lambda: self.upsd.logins() == 1, 10, 0.2, "the LOGOUT")
