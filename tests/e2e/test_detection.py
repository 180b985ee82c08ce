"""Connecting by itself: a remembered port, protocol detection, and the
events of a mains failure shown in the log."""

from harness import E2ETestCase, wait_for

# One try per probe keeps the probe sequence short and exact.
REMEMBERED_PORT = {"COM Port": 1, "COM DTR": True, "COM MaxAttempts": 0}


class DetectionTest(E2ETestCase):
    def start_remembered(self, extra=None, **sim_args):
        sim = self.start_simulator(**sim_args)
        self.wine.clear_settings()
        self.wine.seed_settings(dict(REMEMBERED_PORT, **(extra or {})))
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        return sim, app

    def wait_polls(self, sim, query, count=2, timeout=40):
        """The received commands once `count` status queries followed the F probe."""
        def ready():
            cmds = [c["cmd"] for c in sim.commands()]
            if "F\r" not in cmds:
                return None
            after = cmds[len(cmds) - cmds[::-1].index("F\r"):]
            return cmds if after.count(query) >= count else None
        return wait_for(ready, timeout, 0.5, "%d polls with %r" % (count, query))

    def test_megatec_ups_is_detected_and_polled_with_q1(self):
        sim, app = self.start_remembered(protocol="megatec")
        self.assertFalse(app.dialog_shown(), "a remembered port must not ask")
        cmds = self.wait_polls(sim, "Q1\r")
        self.assertEqual(cmds[:3], ["Q1\r", "QS\r", "F\r"])
        self.assertEqual(set(cmds[3:]), {"Q1\r"})
        self.wait_text("StatusBar", lambda t: t == "Megatec protocol UPS detected: COM1", 10,
                       "the detection result")
        log = self.wait_text("LogM", lambda t: "Start Monitoring" in t, 10, "'Start Monitoring'")
        self.assertIn("Device(s) enumerated", log)  # USB is looked for first

    def test_mustek_ups_is_polled_with_qs(self):
        sim, app = self.start_remembered(protocol="mustek")
        cmds = self.wait_polls(sim, "QS\r")
        self.assertEqual(cmds[:3], ["Q1\r", "QS\r", "F\r"])
        self.assertNotIn("Q1\r", cmds[3:])
        self.wait_text("StatusBar", lambda t: t == "Mustek protocol UPS detected: COM1", 10,
                       "the detection result")

    def test_nothing_detected_is_said_and_nothing_polled(self):
        sim, app = self.start_remembered(protocol="none")
        self.wait_text("StatusBar", lambda t: t == "Supported protocol UPS not detected!", 40,
                       "the failure message")
        # The rating probe still follows the message on an open port.
        wait_for(lambda: len(sim.commands()) >= 3, 15, 0.2, "the rating probe")
        cmds = [c["cmd"] for c in sim.commands()]
        self.assertEqual(cmds, ["Q1\r", "QS\r", "F\r"])
        self.assertNotIn("Start Monitoring", self.text("LogM") or "")
        self.assertTrue(app.responsive())

    def test_mains_failure_and_return_are_logged_in_order(self):
        # The failure lasts long enough to be seen even when a busy machine
        # slows the start-up and the connect down.
        scenario = {"timeline": [
            {"at": 8.0, "set": {"ip": 0.0, "bits": "10001001"}},
            {"at": 30.0, "set": {"ip": 230.0, "bits": "00001001"}},
        ]}
        self.start_remembered(extra={"Refresh Interval": 1, "Delay Action": False},
                              protocol="megatec", scenario=scenario)
        log = self.wait_text("LogM", lambda t: "Power O.K." in t, 70, "'Power O.K.'")
        self.assertLess(log.index("Power Fail"), log.index("Power O.K."))
        self.assertEqual(log.count("Power Fail"), 1)
