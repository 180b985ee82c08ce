"""The shutdown action tells the UPS to switch off first. Runs last: asking
Wine to power off ends the programs of the prefix's session."""

from harness import E2ETestCase, wait_for


class ShutdownActionTest(E2ETestCase):
    def test_ups_shutdown_command_goes_out_before_the_power_off(self):
        sim = self.start_simulator(protocol="megatec", scenario={"timeline": [
            {"at": 12.0, "set": {"ip": 0.0, "batt": 10.5, "bits": "10001001"}}]})
        self.wine.clear_settings()
        self.wine.seed_settings({"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1, "Action": 1,
                                 "UPS Shutdown": True, "UPS Shutdown Delay": 5})
        app = self.start_program(fresh=False)
        app.wait_window()
        wait_for(lambda: "S05\r" in [c["cmd"] for c in sim.commands()], 60, 0.25, "the S05 command")
        cmds = [c["cmd"] for c in sim.commands()]
        self.assertEqual(cmds.count("S05\r"), 1)
        # Whatever Wine makes of the power-off, the program ends or stays sound.
        wait_for(lambda: not app.alive() or app.responsive(), 30, 0.5, "an end or an answer")
