"""The window's texts come from the program's string table: the controls
show them whole, and the connection label puts the port number after its
loaded "COM"."""

from harness import E2ETestCase

# Named controls on all three pages and the report pages, of each kind that
# shows a caption; none of them is rewritten by the program.
CAPTIONS = {
    "UPSGB": "UPS", "ProductNameNL": "Product Name:", "Q1_L": "Q1", "USBL": "USB",
    "UPSInformationGB": "UPS Information", "TemperatureCB": "Temperature",
    "UPSStatusCB1": "Power Fail", "UPSStatusCB6": "Test in Progress", "LogGB": "Log",
    "PowerFailGB": "Power Fail", "DelayCB": "Delay:", "SleepRB": "Suspend", "ExCB": "Run program",
    "ExSB": "...", "BalloonCB": "Balloon Hints", "ProgNameL": "Veltrano", "HTTPCB": "Enabled",
    "SMTPWarningsCB": "Warnings", "HomeL": "www.quorvane.example",
    "WebhookReportsCB": "Reports", "NtfyWarningsCB": "Warnings",
}


class CaptionsTest(E2ETestCase):
    def test_controls_show_the_texts_of_the_string_table(self):
        self.start_simulator(protocol="megatec")
        self.wine.clear_settings()
        self.wine.seed_settings({"COM Port": 1, "COM MaxAttempts": 0})
        app = self.start_program(fresh=False)
        app.wait_window()
        seen = {name: self.text(name) for name in CAPTIONS}
        self.assertEqual(seen, CAPTIONS)
        self.wait_text("COML", lambda t: t == "COM1", 40, "'COM1'")
