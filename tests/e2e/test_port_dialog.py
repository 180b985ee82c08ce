"""Cancel in the COM Port dialog: no connection, the program stays."""

import time

from harness import E2ETestCase, wait_for

# A connect takes about 3 s here (three probes of about 1 s); watching twice
# that long shows that none happens.
QUIET_S = 6.0


class PortDialogTest(E2ETestCase):
    def test_cancel_starts_no_monitoring(self):
        sim = self.start_simulator(protocol="both")
        app = self.start_program("/show")
        wait_for(lambda: app.dialog_shown() or not app.alive(), 60, 0.3, "the COM Port dialog")
        self.assertTrue(app.alive())

        self.assertEqual(self.wine.probe("click", "CancelSB")[0], 0)
        wait_for(lambda: not app.dialog_shown(), 15, 0.3, "the dialog to close")

        deadline = time.monotonic() + QUIET_S
        while time.monotonic() < deadline:
            log_text = self.text("LogM")
            self.assertIsNotNone(log_text, "the main window stopped answering")
            self.assertNotIn("Start Monitoring", log_text)
            time.sleep(0.5)
        self.assertEqual(sim.commands(), [], "commands were sent after Cancel")
        self.assertTrue(app.responsive())
