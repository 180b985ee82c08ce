"""The power-fail response, the UPS command buttons and the system's power
broadcasts, against the simulator."""

import os
import time

from harness import E2ETestCase, wait_for, windows_path

WM_POWERBROADCAST = 0x0218
PBT_APMSUSPEND = 0x0004
PBT_APMRESUMEAUTOMATIC = 0x0012
FAIL_AT_S = 12.0  # after start-up, detection and a few polls


class PowerTest(E2ETestCase):
    def start_remembered(self, values=None, **sim_args):
        sim = self.start_simulator(**sim_args)
        self.wine.clear_settings()
        base = {"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1, "Action": 4}
        self.wine.seed_settings(dict(base, **(values or {})))
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 40, "'Start Monitoring'")
        return sim, app

    def run_program_settings(self, program, **extra):
        values = {"External Program Run": True, "External Program Name": windows_path(program)}
        values.update(extra)
        return values

    @staticmethod
    def failure(at, batt=13.6, back_at=None):
        events = [{"at": at, "set": {"ip": 0.0, "batt": batt, "bits": "10001001"}}]
        if back_at is not None:
            events.append({"at": back_at, "set": {"ip": 230.0, "batt": 13.6, "bits": "00001001"}})
        return {"timeline": events}

    def test_program_runs_after_the_delay_and_not_before(self):
        program, marker = self.marker_program()
        sim, _ = self.start_remembered(self.run_program_settings(program, Delay=10),
                                       protocol="megatec", scenario=self.failure(FAIL_AT_S))
        self.wait_text("LogM", lambda t: "Power Fail" in t, 40, "'Power Fail'")
        failed = sim.t0 + FAIL_AT_S
        while time.monotonic() < failed + 8.0:
            self.assertFalse(os.path.exists(marker), "the program ran before the delay")
            time.sleep(0.25)
        wait_for(lambda: os.path.exists(marker), 20, 0.25, "the marker")

    def test_program_does_not_run_when_mains_return_first(self):
        program, marker = self.marker_program()
        sim, _ = self.start_remembered(self.run_program_settings(program, Delay=10), protocol="megatec",
                                       scenario=self.failure(FAIL_AT_S, back_at=FAIL_AT_S + 4))
        self.wait_text("LogM", lambda t: "Power O.K." in t, 40, "'Power O.K.'")
        # Past the moment the countdown would have ended.
        while time.monotonic() < sim.t0 + FAIL_AT_S + 16.0:
            time.sleep(0.25)
        self.assertFalse(os.path.exists(marker), "the countdown was not cancelled")

    def test_voltage_rule_runs_the_program_on_the_second_low_reply(self):
        program, marker = self.marker_program()
        sim, _ = self.start_remembered(self.run_program_settings(program, Delay=600),
                                       protocol="megatec", scenario=self.failure(FAIL_AT_S, batt=10.5))
        wait_for(lambda: os.path.exists(marker), 40, 0.1, "the marker")
        # One low reply is never enough; the second one, plus its exchange
        # time, starts the program at once.
        low = [c for c in sim.commands() if c["cmd"] == "Q1\r" and c["t"] >= sim.t0 + FAIL_AT_S]
        self.assertGreaterEqual(len(low), 2, "the program ran on the first low reply")
        ran = os.path.getmtime(marker)
        self.assertGreater(ran, low[1]["wall"], "the program ran before the second low reply")
        # Far from the 600 s delay; the margin covers a slow cmd.exe start.
        self.assertLess(ran - (low[1]["wall"] + 1.0), 10.0)

    def test_echoed_test_command_disables_its_button(self):
        sim, _ = self.start_remembered(protocol="megatec", echo="TL")
        self.assertIn("enabled=1", self.wine.probe("state", "TestLowSB")[1])
        self.assertEqual(self.wine.probe("click", "TestLowSB")[0], 0)
        self.wait_text("StatusBar", lambda t: t == '"Test until battery low" command not supported!', 20,
                       "the not-supported message")
        self.assertIn("enabled=0", self.wine.probe("state", "TestLowSB")[1])
        self.assertIn("TL\r", [c["cmd"] for c in sim.commands()])

    def test_beeper_button_sends_q_on_every_click(self):
        sim, _ = self.start_remembered(protocol="megatec")
        for n in (1, 2):
            self.assertEqual(self.wine.probe("click", "UPSBeeperSB")[0], 0)
            wait_for(lambda: [c["cmd"] for c in sim.commands()].count("Q\r") == n, 20, 0.25,
                     "beeper command %d" % n)

    def test_suspend_broadcast_holds_the_polls_until_resume(self):
        sim, _ = self.start_remembered(protocol="megatec")
        self.wine.probe("send", WM_POWERBROADCAST, PBT_APMSUSPEND, 0)
        self.wait_text("LogM", lambda t: "WM_POWERBROADCAST 0x0004" in t, 20, "the suspend line")
        time.sleep(1.5)  # a poll already under way may still finish
        polls = len(sim.commands())
        time.sleep(5.0)  # a bounded look for polls that must not come
        self.assertEqual(len(sim.commands()), polls, "a poll reached the UPS while suspended")
        self.wine.probe("send", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0)
        self.wait_text("LogM", lambda t: "WM_POWERBROADCAST 0x0012" in t, 20, "the resume line")
        wait_for(lambda: len(sim.commands()) > polls, 20, 0.25, "polls after the resume")
