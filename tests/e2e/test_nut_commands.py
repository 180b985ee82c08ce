"""Instant commands on the NUT server of veltrano.exe under Wine, run by
Debian's upscmd: the stored user's command reaches the simulated UPS as its
own bytes and is logged with the client's address; anyone else is refused,
and with "NUT Commands" off nothing is offered at all."""

import socket
import subprocess
import time

from harness import E2ETestCase, Wine, wait_for
from test_reports import free_port

USER, PASSWORD = "monuser", "secret"


def upscmd(port, *args):
    """(exit code, stdout + stderr) of upscmd against the program's server."""
    r = subprocess.run(["upscmd"] + list(args[:-1]) + ["ups@127.0.0.1:%d" % port, args[-1]],
                       capture_output=True, text=True, timeout=30, stdin=subprocess.DEVNULL)
    return r.returncode, (r.stdout + r.stderr).strip()


def upscmd_as(port, user, password, *args):
    return upscmd(port, "-u", user, "-p", password, *args)


def ask(port, request, lines=1):
    """The first `lines` lines of the server's reply to `request`, on a connection of its own."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as sock:
        stream = sock.makefile("rw", newline="\n")
        stream.write(request + "\n")
        stream.flush()
        return [stream.readline().strip() for _ in range(lines)]


class NutCommandsTest(E2ETestCase):
    def serve(self, commands, echo=None, scenario=None):
        """veltrano.exe on the simulator, serving NUT with "NUT Commands" as
        given; (simulator, port) once upsc could read the UPS."""
        port = free_port()
        sim = self.start_simulator(protocol="megatec", echo=echo, scenario=scenario)
        self.wine.clear_settings()
        self.wine.seed_settings({
            "COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1,
            "NUT Server": True, "NUT Port": str(port), "NUT User": USER, "NUT Password": PASSWORD,
            "NUT Commands": commands})
        self.start_program("/show", fresh=False).wait_window()
        wait_for(lambda: subprocess.run(["upsc", "ups@127.0.0.1:%d" % port, "ups.status"], capture_output=True,
                                        text=True, timeout=10).stdout.strip() == "OL", 60, 0.5, "ups.status OL")
        return sim, port

    def received(self, sim, command):
        return [c for c in sim.commands() if c["cmd"] == command]

    def test_the_stored_user_runs_the_ups_commands_and_nobody_else_does(self):
        sim, port = self.serve(True, echo="Q")
        r = subprocess.run(["upscmd", "-l", "ups@127.0.0.1:%d" % port], capture_output=True, text=True,
                           timeout=30, stdin=subprocess.DEVNULL)
        rc, out = r.returncode, r.stdout + r.stderr
        self.assertEqual(rc, 0, out)
        for name in ("test.battery.start.quick", "test.battery.start.deep", "test.battery.stop",
                     "beeper.toggle", "shutdown.return", "shutdown.stop"):
            self.assertIn(name, out)

        rc, out = upscmd_as(port, USER, PASSWORD, "test.battery.start.quick")
        self.assertEqual((rc, out), (0, "OK"))
        wait_for(lambda: self.received(sim, "T\r"), 15, 0.25, "T at the UPS")
        self.wait_text("LogM", lambda t: "NUT command test.battery.start.quick from 127.0.0.1" in t, 15,
                       "the command's log line")

        # Waiting for the outcome: the UPS takes TL; it echoes Q, which it does not know.
        # upscmd 2.8.0 prints the failed outcome but exits 0 all the same.
        self.assertEqual(upscmd_as(port, USER, PASSWORD, "-w", "test.battery.start.deep"), (0, "SUCCESS"))
        self.assertTrue(self.received(sim, "TL\r"))
        rc, out = upscmd_as(port, USER, PASSWORD, "-w", "beeper.toggle")
        self.assertIn("INSTCMD-FAILED", out)
        self.assertTrue(self.received(sim, "Q\r"))

        rc, out = upscmd_as(port, USER, "wrong", "test.battery.stop")
        self.assertNotEqual(rc, 0, out)
        self.assertIn("ACCESS-DENIED", out)
        self.assertEqual(ask(port, "INSTCMD ups test.battery.stop"), ["ERR ACCESS-DENIED"])
        self.assertFalse(self.received(sim, "CT\r"), "a refused command reached the UPS")

    def test_with_the_box_off_no_command_is_offered(self):
        sim, port = self.serve(False)
        rc, out = upscmd_as(port, USER, PASSWORD, "test.battery.start.quick")
        self.assertNotEqual(rc, 0, out)
        self.assertIn("CMD-NOT-SUPPORTED", out)
        self.assertEqual(ask(port, "LIST CMD ups", 2), ["BEGIN LIST CMD ups", "END LIST CMD ups"])
        self.assertFalse(self.received(sim, "T\r"), "a command reached the UPS with the box off")


# The second program's mains failure, after both have started and connected.
SECOND_FAILS_AT_S = 45.0


class VeltranoToVeltranoTest(E2ETestCase):
    """A second veltrano.exe, in a prefix of its own, reads the first one's UPS
    over NUT: its test button reaches the UPS, the UPS's failure its log."""

    def test_the_second_one_runs_the_first_ones_test_and_hears_its_failure(self):
        second = Wine(self.wine.build_dir, use_display=self.wine.env["DISPLAY"]).start()
        self.addCleanup(second.stop)
        sim, port = NutCommandsTest.serve(self, True, scenario={"timeline": [
            {"at": SECOND_FAILS_AT_S, "set": {"ip": 0.0, "bits": "10001001"}}]})
        second.seed_settings({
            "UPS Source": 1, "Remote Host": "127.0.0.1", "Remote Port": str(port), "Remote UPS": "ups",
            "Remote User": USER, "Remote Password": PASSWORD, "Refresh Interval": 1, "Action": 4})
        second.program("/show", fresh=False).wait_window()

        def second_log():
            return second.probe_text("LogM") or ""
        wait_for(lambda: "NUT UPS ups@127.0.0.1:%d connected" % port in second_log(), 30, 0.3,
                 "the second one connected")
        wait_for(lambda: "enabled=1" in second.probe("state", "Test10sSB")[1], 10, 0.3,
                 "the 10 s test offered")
        self.assertLess(time.monotonic(), sim.t0 + SECOND_FAILS_AT_S, "the scenario began before the second one read it")
        self.assertIn("enabled=0", second.probe("state", "TestTSB")[1])  # no NUT command carries minutes
        self.assertEqual(second.probe("click", "Test10sSB")[0], 0)
        wait_for(lambda: "T\r" in [c["cmd"] for c in sim.commands()], 20, 0.25, "T on the first one's UPS")
        wait_for(lambda: "Power Fail" in second_log(), SECOND_FAILS_AT_S + 20, 0.5, "the failure in the second's log")
