"""The shutdown action. Runs last: asking Wine to power off ends the programs
of the prefix's session."""

import time

from harness import E2ETestCase, wait_for, windows_path

FAIL_AT_S = 12.0


class ShutdownActionTest(E2ETestCase):
    def start_failing(self, batt, values):
        sim = self.start_simulator(protocol="megatec", scenario={"timeline": [
            {"at": FAIL_AT_S, "set": {"ip": 0.0, "batt": batt, "bits": "10001001"}}]})
        program, marker = self.marker_program()
        self.wine.clear_settings()
        self.wine.seed_settings(dict({"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1,
                                      "UPS Shutdown": True, "UPS Shutdown Delay": 5,
                                      "External Program Run": True,
                                      "External Program Name": windows_path(program)}, **values))
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        return sim, app, marker

    @staticmethod
    def shutdown_commands(sim):
        return [c for c in sim.commands() if c["cmd"].startswith("S")]

    # An online unit reports one cell's voltage; read as the pack's it would
    # be far below the minimum and power the computer off at the first blip.
    def test_online_unit_per_cell_battery_waits_for_the_delay(self):
        sim, _, marker = self.start_failing(2.27, {})
        self.wait_text("LogM", lambda t: "Power Fail" in t, 40, "'Power Fail'")
        self.wait_text("LogM", lambda t: "reported per cell" in t, 10, "the per-cell line")
        failed = sim.t0 + FAIL_AT_S
        while time.monotonic() < failed + 12.0:  # several polls of the failure
            self.assertEqual(self.marker_runs(marker), 0, "the program ran before the delay")
            self.assertEqual(self.shutdown_commands(sim), [], "the UPS was told to switch off")
            time.sleep(0.5)
        charge = self.text("BatteryChargeL")
        self.assertTrue(charge and 0.0 <= float(charge.replace(",", ".")) <= 110.0, charge)

    def test_shutdown_runs_exactly_once_on_a_low_battery(self):
        sim, app, marker = self.start_failing(10.5, {"Action": 1})
        wait_for(lambda: self.shutdown_commands(sim), 60, 0.25, "the S05 command")
        first = self.shutdown_commands(sim)[0]["t"]
        # Replies keep coming while the shutdown waits for the worker; none of
        # them may start a second round.
        while time.monotonic() < first + 15.0:
            time.sleep(0.5)
        self.assertEqual([c["cmd"] for c in self.shutdown_commands(sim)], ["S05\r"])
        self.assertEqual(self.marker_runs(marker), 1)
        # Whatever Wine makes of the power-off, the program ends or stays sound.
        wait_for(lambda: not app.alive() or app.responsive(), 30, 0.5, "an end or an answer")
