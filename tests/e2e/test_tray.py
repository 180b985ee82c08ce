"""The notification icon: the window starts hidden behind it, a click shows
it, its menu hides it and ends the program, and its picture and balloons
follow the UPS."""

import harness
from harness import E2ETestCase, wait_for

# The menu's items by position, separators not counted.
RESTORE, MINIMIZE, EXIT = 0, 1, 2
# The program polls some 8-15 s after the simulator starts, later while
# another part of the run shares the machine: the short failure below comes after.
FAIL_AT_S = 20.0
NORMAL_BITS, FAIL_BITS, AVR_BITS = "00001001", "10001001", "00101001"


class TrayTest(E2ETestCase):
    def start_remembered(self, values=None, **sim_args):
        sim = self.start_simulator(protocol="megatec", **sim_args)
        self.wine.clear_settings()
        base = {"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1}
        self.wine.seed_settings(dict(base, **(values or {})))
        app = self.start_program(fresh=False)  # no /show: only the icon
        app.wait_window()
        wait_for(lambda: self.tray().get("icon") == 1, 30, 0.3, "the icon")
        return sim, app

    def tray(self):
        """{"window": 0|1, "icon": 0|1, "version", "picture", "balloons"}."""
        rc, out = self.wine.probe("tray")
        if rc != 0:
            return {}
        return {k: int(v) for k, v in (pair.split("=") for pair in out.split())}

    def wait_tray(self, what, timeout=20, **expected):
        def matches():
            now = self.tray()
            return now if all(now.get(k) == v for k, v in expected.items()) else None
        return wait_for(matches, timeout, 0.2, what)

    def choose(self, item, what, **expected):
        """Picks a menu item and waits for its effect. The probe's keys reach
        the menu through the program's queue; on a loaded machine the menu can
        still be setting up when they arrive, so a choice that shows no effect
        is made again, at most three times in all."""
        for attempt in range(3):
            self.assertEqual(self.wine.probe("tray-menu", item)[0], 0)
            try:
                return self.wait_tray(what, timeout=6 if attempt < 2 else 20, **expected)
            except TimeoutError:
                if attempt == 2:
                    raise

    def saved(self, name):
        return self.wine.run(["reg", "query", harness.SETTINGS_KEY, "/v", name])[0] == 0

    def test_icon_shows_and_hides_the_window_and_exit_saves(self):
        sim, app = self.start_remembered()
        self.assertEqual(self.tray()["window"], 0, "the window was shown at start")
        # Hidden, the window holds its per-reply writes back; the first show
        # paints them, the log's lines from the start included.
        wait_for(lambda: sum(c["cmd"] == "Q1\r" for c in sim.commands()) >= 2, 40, 0.3, "polls")
        self.assertEqual(self.text("LogM"), "", "the hidden window's log was written")
        self.assertEqual(self.text("ReportStringE"), "", "the hidden window's reply was written")

        self.assertEqual(self.wine.probe("tray-click")[0], 0)
        self.wait_tray("the window shown by a click", window=1)
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 10, "'Start Monitoring'")
        # The second poll the simulator saw may still be on its way to the window.
        self.wait_text("ReportStringE", lambda t: t.startswith("("), 10, "a reply on show")
        self.choose(MINIMIZE, "the window hidden by Minimize", window=0)
        self.choose(RESTORE, "the window shown by Restore", window=1)

        # The close button only hides; monitoring goes on behind the icon.
        self.assertEqual(self.wine.probe("close")[0], 0)
        self.wait_tray("the window hidden by the close button", window=0)
        polls = sum(c["cmd"] == "Q1\r" for c in sim.commands())
        wait_for(lambda: sum(c["cmd"] == "Q1\r" for c in sim.commands()) >= polls + 2, 20, 0.3,
                 "polls after the close")
        self.assertTrue(app.alive())

        self.assertFalse(self.saved("Balloon Hints"), "saved before Exit")
        self.assertEqual(self.wine.probe("tray-menu", EXIT)[0], 0)
        app.proc.wait(20)
        self.assertTrue(self.saved("Balloon Hints"), "Exit did not save the settings")

    def test_picture_follows_the_power_and_balloons_follow_their_switch(self):
        t = FAIL_AT_S
        timeline = [
            {"at": t, "set": {"ip": 0.0, "bits": FAIL_BITS}},
            {"at": t + 4, "set": {"ip": 230.0, "bits": NORMAL_BITS}},
            {"at": t + 10, "set": {"bits": AVR_BITS}},
            {"at": t + 14, "set": {"bits": NORMAL_BITS}},
        ]
        self.start_remembered({"Balloon Hints": False}, scenario={"timeline": timeline})
        self.assertEqual(self.tray()["picture"], 0)

        # Hints off: the picture changes behind the hidden window, the log and
        # the status bar too (seen once it is shown), no balloon.
        self.wait_tray("the power-fail picture", 40, picture=2)
        self.wait_tray("the normal picture after the failure", picture=0)
        self.assertEqual(self.wine.probe("tray-click")[0], 0)
        self.wait_tray("the window shown by a click", window=1)
        self.wait_text("LogM", lambda t: "Power Fail" in t and "Power O.K." in t, 10, "both power lines")
        self.assertIn("detected", self.text("StatusBar"))
        self.assertEqual(self.tray()["balloons"], 0)

        # Hints on, read at the moment of use: AVR on and off bring one each.
        self.assertEqual(self.wine.probe("click", "BalloonCB")[0], 0)
        wait_for(lambda: "checked=1" in self.wine.probe("state", "BalloonCB")[1], 10, 0.2, "Balloon Hints on")
        self.wait_tray("the AVR picture", 20, picture=1)
        now = self.wait_tray("the normal picture after AVR", picture=0)
        self.wait_text("LogM", lambda t: "AVR Off" in t, 10, "'AVR Off'")
        self.assertEqual(self.tray()["balloons"], 2, "AVR On and AVR Off each show one balloon: %r" % now)
