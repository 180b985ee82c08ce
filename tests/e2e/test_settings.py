"""Settings in the registry: seeded before a start, saved by Exit, by "Save
Settings" and at log-off; one running copy; closing only hides."""

import subprocess
import time

import harness
from harness import E2ETestCase, wait_for

WM_CLOSE = 0x0010
WM_QUERYENDSESSION = 0x0011
WM_ENDSESSION = 0x0016

PUSH_PAGE = 4  # of RepPageControl
# The Push page's fields: what the user types or ticks, and the setting it is saved as.
PUSH_TYPED = {
    "WebhookURLE": ("Webhook URL", "https://hooks.example/ups"),
    "WebhookHeaderE": ("Webhook Header", "Authorization: Bearer abc.def"),
    "NtfyURLE": ("Ntfy URL", "http://127.0.0.1:8090/ups-alerts"),
    "NtfyTokenE": ("Ntfy Token", "tk_secret"),
}
PUSH_TICKED = {"WebhookWarningsCB": "Webhook Warnings", "WebhookReportsCB": "Webhook Reports",
               "NtfyWarningsCB": "Ntfy Warnings"}


def reg_values(wine):
    """{name: (type, data)} of the settings key; {} when it does not exist."""
    return wine.reg_values(harness.SETTINGS_KEY) or {}


def settled_values(wine, name, value, timeout=20):
    """The settings key once a save has written name=value and two reads in a
    row agree. Wine keeps a key's values sorted and "reg query" walks them by
    index, so a read that races the save's inserts can skip a value."""
    last = [None]

    def settled():
        now = reg_values(wine)
        done = now.get(name) == value and now == last[0]
        last[0] = now
        return now if done else None

    return wait_for(settled, timeout, 0.5, "%s saved as %s" % (name, value[1]))


class SettingsTest(E2ETestCase):
    def start_remembered(self, values=None, args=("/show",), **sim_args):
        sim = self.start_simulator(**sim_args)
        self.wine.clear_settings()
        self.wine.seed_settings(dict({"COM Port": 1, "COM MaxAttempts": 0}, **(values or {})))
        app = self.start_program(*args, fresh=False)
        app.wait_window()
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 40, "'Start Monitoring'")
        return sim, app

    def test_first_start_creates_the_key_and_exit_saves_with_the_right_kinds(self):
        self.start_simulator(protocol="megatec")
        app = self.start_program("/show")  # no key at all
        wait_for(lambda: reg_values(self.wine) or app.dialog_shown(), 40, 0.5, "the key or the dialog")
        self.connect_through_dialog(app)
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 40, "'Start Monitoring'")
        self.assertEqual(self.wine.probe("set", "RefreshE", "7")[0], 0)
        self.assertTrue(app.exit(), "Exit did not end the program")
        values = reg_values(self.wine)
        self.assertEqual(values.get("Refresh Interval"), ("REG_DWORD", "0x7"))
        self.assertEqual(values.get("COM Port"), ("REG_DWORD", "0x1"))
        self.assertEqual(values.get("Balloon Hints"), ("REG_DWORD", "0x1"))
        self.assertEqual(values.get("SMTP Port"), ("REG_SZ", "25"))
        self.assertEqual(values.get("HTTP Port"), ("REG_SZ", "8080"))

    def test_save_settings_button_writes_at_once(self):
        self.start_remembered({"Delay": 120})
        self.assertEqual(self.wine.probe("click", "SaveSetSB")[0], 0)
        values = settled_values(self.wine, "Q1", ("REG_DWORD", "0x1"))
        self.assertEqual(values.get("Delay"), ("REG_DWORD", "0x78"))

    def test_second_copy_ends_at_once_and_touches_nothing(self):
        _, first = self.start_remembered({"Delay": 120})
        before = reg_values(self.wine)
        started = time.monotonic()
        done = subprocess.run(["wine", self.wine.exe], env=self.wine.env, timeout=60,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertLess(time.monotonic() - started, 20)
        self.assertEqual(done.returncode, 0)
        self.assertEqual(reg_values(self.wine), before)
        self.assertTrue(first.responsive())

    def test_close_button_only_hides_and_polling_goes_on(self):
        sim, app = self.start_remembered({"Refresh Interval": 1}, args=("/show",))
        self.assertIn("shown=1", self.wine.probe("state", "StatusBar")[1])
        self.wine.probe("send", WM_CLOSE, 0, 0)
        count = len(sim.commands())
        wait_for(lambda: len(sim.commands()) >= count + 3, 20, 0.5, "polls after the close")
        self.assertTrue(app.alive())
        self.assertIn("shown=0", self.wine.probe("state", "StatusBar")[1])

    def test_log_off_is_answered_yes_and_saves(self):
        _, app = self.start_remembered({"Delay": 120})
        self.wine.run(["reg", "delete", harness.SETTINGS_KEY, "/v", "Q1", "/f"])
        rc, out = self.wine.probe("send", WM_QUERYENDSESSION, 0, 0)
        self.assertEqual(rc, 0)
        self.assertEqual(out.strip(), "1")
        self.wine.probe("send", WM_ENDSESSION, 1, 0)
        settled_values(self.wine, "Q1", ("REG_DWORD", "0x1"))

    def test_wrong_typed_value_is_reported_and_start_up_goes_on(self):
        self.start_simulator(protocol="megatec")
        self.wine.clear_settings()
        self.wine.seed_settings({"COM Port": 1, "COM MaxAttempts": 0, "Delay": "soon"})
        app = self.start_program("/show", fresh=False)
        text = wait_for(lambda: (lambda r: r[1] if r[0] == 0 else None)(self.wine.probe("msgbox")),
                        40, 0.5, "the error message box")
        self.assertIn("Invalid data type for 'Delay'", text)
        self.assertEqual(self.wine.probe("msgbox-close")[0], 0)
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 40, "'Start Monitoring'")
        self.assertTrue(app.alive())

    def test_nut_source_and_its_fields_are_saved_and_shown_at_the_next_start(self):
        _, app = self.start_remembered()
        self.assertIn("enabled=0", self.wine.probe("state", "RemoteHostE")[1])
        self.assertEqual(self.wine.probe("select", "UPSSourceLB", 1)[0], 0)
        wait_for(lambda: "enabled=1" in self.wine.probe("state", "RemoteHostE")[1], 20, 0.3,
                 "the NUT server's fields enabled by the source")
        # Nothing listens there: whatever the next start makes of it, the fields stay.
        typed = {"RemoteHostE": "127.0.0.1", "RemotePortE": "3499", "RemoteUPSE": "rack-2",
                 "RemoteUserE": "monuser", "RemotePasswordE": "pw"}
        for name, value in typed.items():
            self.assertEqual(self.wine.probe("set", name, value)[0], 0, name)
        self.assertEqual(self.wine.probe("set", "RemoteDeadTimeUD", "40"), (0, "40\n"))
        self.assertEqual(self.wine.probe("click", "SaveSetSB")[0], 0)
        values = settled_values(self.wine, "Remote Dead Time", ("REG_DWORD", "0x28"))
        self.assertEqual(values.get("UPS Source"), ("REG_DWORD", "0x1"))
        self.assertEqual(values.get("Remote Host"), ("REG_SZ", "127.0.0.1"))
        self.assertEqual(values.get("Remote Port"), ("REG_SZ", "3499"))
        self.assertEqual(values.get("Remote UPS"), ("REG_SZ", "rack-2"))
        self.assertTrue(app.exit(), "Exit did not end the program")

        app = self.start_program("/show", fresh=False)
        app.wait_window()
        self.wait_text("RemoteHostE", lambda t: t == "127.0.0.1", 40, "the saved host")
        self.assertEqual(self.text("UPSSourceLB").splitlines()[0], "A NUT server")
        self.assertEqual(self.text("RemotePortE"), "3499")
        self.assertEqual(self.text("RemoteUPSE"), "rack-2")
        self.assertEqual(self.text("RemoteUserE"), "monuser")
        self.assertEqual(self.text("RemoteDeadTimeE"), "40")
        self.assertIn("enabled=1", self.wine.probe("state", "RemotePortE")[1])

    def test_push_fields_are_saved_and_shown_at_the_next_start(self):
        _, app = self.start_remembered()
        self.assertEqual(self.wine.probe("select", "RepPageControl", PUSH_PAGE)[0], 0)
        self.assertIn("shown=1", self.wine.probe("state", "WebhookURLE")[1])
        self.assertIn("shown=0", self.wine.probe("state", "SMTPHostE")[1])
        for name, (_, value) in PUSH_TYPED.items():
            self.assertEqual(self.wine.probe("set", name, value)[0], 0, name)
        for name in PUSH_TICKED:
            self.assertEqual(self.wine.probe("click", name)[0], 0, name)
            wait_for(lambda: "checked=1" in self.wine.probe("state", name)[1], 20, 0.3, name + " ticked")
        self.assertEqual(self.wine.probe("click", "SaveSetSB")[0], 0)
        values = settled_values(self.wine, "Ntfy Warnings", ("REG_DWORD", "0x1"))
        for name, (setting, value) in PUSH_TYPED.items():
            self.assertEqual(values.get(setting), ("REG_SZ", value), name)
        for name, setting in PUSH_TICKED.items():
            self.assertEqual(values.get(setting), ("REG_DWORD", "0x1"), name)
        self.assertTrue(app.exit(), "Exit did not end the program")

        app = self.start_program("/show", fresh=False)
        app.wait_window()
        url, header = PUSH_TYPED["WebhookURLE"][1], PUSH_TYPED["WebhookHeaderE"][1]
        self.wait_text("WebhookURLE", lambda t: t == url, 40, "the saved webhook")
        self.assertEqual(self.text("WebhookHeaderE"), header)
        self.assertEqual(self.text("NtfyURLE"), PUSH_TYPED["NtfyURLE"][1])
        for name in PUSH_TICKED:
            self.assertIn("checked=1", self.wine.probe("state", name)[1], name)
