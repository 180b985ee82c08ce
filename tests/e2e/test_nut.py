"""The NUT network server of veltrano.exe under Wine, against the real clients
of Debian's nut-client package: upsc follows a mains failure, and upsmon,
running as a secondary, shuts its own computer down before Veltrano acts."""

import os
import socket
import subprocess
import threading
import time

from harness import E2ETestCase, _stop_process, log, wait_for
from test_reports import free_port

UPSMON = "/lib/nut/upsmon"  # /usr/sbin/upsmon is a wrapper that obeys nut.conf
# The program serves some 8-15 s after the simulator starts, later on a busy
# machine: the scenarios begin after that.
FAIL_AT_S, BACK_AT_S, FAIL_AGAIN_AT_S = 20.0, 28.0, 36.0
DELAY_S = 10


def upsc(port, variable=""):
    """The variable's value, or the whole listing; None on an error."""
    args = ["upsc", "ups@127.0.0.1:%d" % port] + ([variable] if variable else [])
    r = subprocess.run(args, capture_output=True, text=True, timeout=10)
    return r.stdout.strip() if r.returncode == 0 else None


class StatusWatcher:
    """A logged-in NUT client that never logs out and reads ups.status every
    200 ms on its own thread: (monotonic time, status) for each reply."""

    def __init__(self, port):
        self.samples = []
        self._stop = threading.Event()
        self._sock = socket.create_connection(("127.0.0.1", port), timeout=10)
        self._buffer = b""
        for line in ("USERNAME monuser", "PASSWORD secret", "LOGIN ups"):
            reply = self.ask(line)
            if not reply.startswith("OK"):
                raise AssertionError("%s: %s" % (line, reply))
        self._thread = threading.Thread(target=self._watch, daemon=True)
        self._thread.start()

    def ask(self, line):
        self._sock.sendall((line + "\n").encode())
        return self.reply()

    def reply(self):
        """The next line; empty once the server closed. A time-out leaves
        what arrived so far for the next call."""
        while b"\n" not in self._buffer:
            chunk = self._sock.recv(4096)
            if not chunk:
                return ""
            self._buffer += chunk
        line, _, self._buffer = self._buffer.partition(b"\n")
        return line.decode().strip()

    def _watch(self):
        while not self._stop.wait(0.2):
            try:
                reply = self.ask("GET VAR ups ups.status")
            except socket.timeout:
                continue  # a slow answer on a busy machine: read on, it comes with the next
            except OSError:
                return
            if not reply:
                return  # the server closed the connection
            words = reply.split('"')[1] if reply.startswith("VAR ") else reply
            self.samples.append((time.monotonic(), words))

    def stop(self):
        self._stop.set()
        self._thread.join(5)
        self._sock.close()


class NutServerTest(E2ETestCase):
    def start_upsmon(self, port):
        """upsmon in the foreground with its own config folder; its shutdown
        command writes the monotonic time to a marker file."""
        folder = self.wine.temp_dir("upsmon")
        marker = os.path.join(folder, "shutdown-at")
        script = os.path.join(folder, "shutdown.sh")
        with open(script, "w") as f:
            f.write("#!/bin/sh\nexec /usr/bin/python3 -c 'import time; open(\"%s\", \"w\")"
                    ".write(repr(time.monotonic()))'\n" % marker)
        os.chmod(script, 0o755)
        with open(os.path.join(folder, "upsmon.conf"), "w") as f:
            f.write("\n".join([
                "MONITOR ups@127.0.0.1:%d 1 monuser secret secondary" % port,
                "MINSUPPLIES 1",
                'SHUTDOWNCMD "%s"' % script,
                "POLLFREQ 1", "POLLFREQALERT 1", "HOSTSYNC 15", "DEADTIME 15", "FINALDELAY 0",
                "RUN_AS_USER root",
                "POWERDOWNFLAG %s" % os.path.join(folder, "killpower"), ""]))
        os.chmod(os.path.join(folder, "upsmon.conf"), 0o600)
        env = dict(os.environ, NUT_CONFPATH=folder, NUT_STATEPATH=folder, NUT_ALTPIDPATH=folder)
        out = open(os.path.join(folder, "upsmon.log"), "w")
        proc = subprocess.Popen([UPSMON, "-F"], env=env, stdout=out, stderr=subprocess.STDOUT,
                                start_new_session=True)
        out.close()

        self.addCleanup(_stop_process, proc)
        return proc, marker, os.path.join(folder, "upsmon.log")

    def start_serving(self, timeline, delay, **settings):
        """The simulator on `timeline` and veltrano.exe serving it over NUT
        with Action Shutdown after `delay` s; the port once it serves OL."""
        port = free_port()
        sim = self.start_simulator(protocol="megatec", scenario={"timeline": timeline})
        self.wine.clear_settings()
        self.wine.seed_settings(dict({
            "COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1,
            "Action": 1, "Delay Action": True, "Delay": delay, "Voltage Action": False,
            "UPS Shutdown": True, "UPS Shutdown Delay": 5,
            "NUT Server": True, "NUT Port": str(port), "NUT User": "monuser", "NUT Password": "secret"},
            **settings))
        self.start_program("/show", fresh=False).wait_window()
        wait_for(lambda: upsc(port, "ups.status") == "OL", timeline[0]["at"], 0.5, "ups.status OL")
        self.assertLess(time.monotonic(), sim.t0 + timeline[0]["at"],
                        "veltrano.exe served only after the scenario had begun")
        return sim, port

    def test_upsc_follows_a_failure_and_upsmon_shuts_down_before_veltrano(self):
        sim, port = self.start_serving([
            {"at": FAIL_AT_S, "set": {"ip": 0.0, "bits": "10001001"}},
            {"at": BACK_AT_S, "set": {"ip": 230.0, "bits": "00001001"}},
            {"at": FAIL_AGAIN_AT_S, "set": {"ip": 0.0, "bits": "10001001"}}], DELAY_S)
        listing = upsc(port)
        for line in ("device.type: ups", "driver.name: veltrano", "ups.mfr: Megatec", "ups.model: UPS"):
            self.assertIn(line, listing.splitlines())
        self.assertRegex(listing, r"(?m)^input\.voltage: 2\d\d")
        self.assertRegex(listing, r"(?m)^battery\.voltage: \d+(\.\d+)?$")
        monitor, marker, monitor_log = self.start_upsmon(port)

        # The first failure is short: OB, then OL again, and nobody shuts down.
        wait_for(lambda: (upsc(port, "ups.status") or "").startswith("OB"), 30, 0.25, "ups.status OB")
        wait_for(lambda: upsc(port, "ups.status") == "OL", 30, 0.25, "ups.status OL again")
        self.assertFalse(os.path.exists(marker), "upsmon shut down on a short failure")

        # The second one lasts: after the delay Veltrano sets FSD and waits
        # for the logged-in upsmon, which shuts down and goes.
        self.wait_text("LogM", lambda t: "NUT: forced shutdown set; 1 client(s) logged in" in t,
                       FAIL_AGAIN_AT_S + DELAY_S + 30, "the forced-shutdown line")
        wait_for(lambda: os.path.exists(marker) and os.path.getsize(marker) > 0, 30, 0.25,
                 "upsmon's shutdown command")
        with open(marker) as f:
            shut_down_at = float(f.read())
        switch_offs = wait_for(lambda: [c for c in sim.commands() if c["cmd"].startswith("S")], 30, 0.25,
                               "the UPS shutdown command")
        self.assertLess(shut_down_at, switch_offs[0]["t"], "Veltrano acted before upsmon shut down")
        if monitor.poll() is None:
            log("upsmon still running after its shutdown command; see %s" % monitor_log)

    # Once the shutdown has begun, FSD stays set for the clients even when the
    # mains come back during their wait: the UPS is told to switch off and
    # this computer goes down all the same.
    def test_fsd_stays_set_when_the_mains_return_during_the_wait(self):
        fail_at, delay, wait = FAIL_AT_S, 10, 24
        # Acting starts `delay` s after the failure or a little later (the
        # program's next polls); the mains return in the middle of the wait.
        back_at = fail_at + delay + 12.0
        sim, port = self.start_serving([
            {"at": fail_at, "set": {"ip": 0.0, "bits": "10001001"}},
            {"at": back_at, "set": {"ip": 230.0, "bits": "00001001"}}], delay, **{"NUT Shutdown Wait": wait})
        watcher = StatusWatcher(port)
        self.addCleanup(watcher.stop)

        switch_offs = wait_for(lambda: [c for c in sim.commands() if c["cmd"].startswith("S")],
                               fail_at + delay + wait + 40, 0.25, "the UPS shutdown command")
        acted_at = switch_offs[0]["t"]
        seen = [(t, words) for t, words in watcher.samples if t < acted_at]
        told = [i for i, (_, words) in enumerate(seen) if "FSD" in words.split()]
        self.assertTrue(told, "FSD never reached the client in %d readings: %s" % (len(seen), seen[-10:]))
        after_told = seen[told[0]:]
        self.assertTrue(all("FSD" in words.split() for _, words in after_told),
                        "FSD was taken back before the program acted: %s" % after_told)
        self.assertIn("OL", [w for _, words in after_told for w in words.split()],
                      "the mains did not return during the wait")
