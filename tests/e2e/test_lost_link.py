"""A UPS that falls silent and comes back: said once each way, a reconnect
in between, polling resumed without a restart."""

from harness import E2ETestCase, wait_for

SILENT_FROM_S = 15.0
SILENT_FOR_S = 30.0


class LostLinkTest(E2ETestCase):
    def test_silent_ups_is_reported_reconnected_and_welcomed_back(self):
        sim = self.start_simulator(protocol="megatec", scenario={"timeline": [
            {"at": SILENT_FROM_S, "fault": "silence"},
            {"at": SILENT_FROM_S + SILENT_FOR_S, "fault": None}]})
        self.wine.clear_settings()
        self.wine.seed_settings({"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1})
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        self.wait_text("LogM", lambda t: "UPS not responding" in t, 60, "'UPS not responding'")
        self.assertEqual(self.text("IPVoltageE"), "", "stale readings left on screen")
        log = self.wait_text("LogM", lambda t: "UPS responding again" in t, 60, "'UPS responding again'")
        self.assertEqual(log.count("UPS not responding"), 1)
        self.assertEqual(log.count("UPS responding again"), 1)
        back = sim.t0 + SILENT_FROM_S + SILENT_FOR_S
        silent = [c for c in sim.commands() if sim.t0 + SILENT_FROM_S <= c["t"] < back]
        # A Megatec unit is polled with Q1 only; QS comes from a detection.
        self.assertIn("QS\r", [c["cmd"] for c in silent], "no reconnect attempt while silent")
        wait_for(lambda: len([c for c in sim.commands() if c["t"] > back and c["cmd"] == "Q1\r"]) >= 3,
                 30, 0.25, "polls after the return")
        self.wait_text("IPVoltageE", lambda t: t == "230.0", 20, "readings after the return")
        self.assertTrue(app.alive())
