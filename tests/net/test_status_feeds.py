#!/usr/bin/python3
"""/status.json and /metrics during a mains failure, read by Python's json
and by the parser of python3-prometheus-client, behind the page's
credentials. Runs the native fixture like test_page_server.py.
"""

import json
import unittest

from prometheus_client.parser import text_string_to_metric_families

from test_page_server import Fixture, curl

CREDENTIALS = ["-u", "admin:Secret"]
# A quote, a backslash and a line feed: the label value must come back whole.
UPS_NAME = 'rack "A"\\1\n'


def header(headers, name):
    values = [line.split(":", 1)[1].strip() for line in headers if line.lower().startswith(name.lower() + ":")]
    return values[0] if values else None


class StatusFeedsTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.fixture = Fixture("--failure", "--user", "admin", "--password", "Secret", "--ups-name", UPS_NAME)

    @classmethod
    def tearDownClass(cls):
        cls.fixture.stop()

    def fetch(self, path):
        status, headers, body = curl(self.fixture.port, path, *CREDENTIALS)
        self.assertEqual(status, 200, body)
        return header(headers, "Content-Type"), body

    def test_both_feeds_want_the_page_credentials(self):
        for path in ("/status.json", "/metrics"):
            for name, args in [("none", []), ("wrong password", ["-u", "admin:secret"])]:
                with self.subTest(path=path, credentials=name):
                    status, headers, body = curl(self.fixture.port, path, *args)
                    self.assertEqual(status, 401)
                    self.assertIn('WWW-Authenticate: Basic realm="Veltrano HTTP Server"', headers)
                    self.assertIn(b"401", body)

    def test_status_json_during_a_failure(self):
        content_type, body = self.fetch("/status.json")
        self.assertEqual(content_type, "application/json")
        status = json.loads(body.decode("utf-8"))
        self.assertEqual(status["ups"], UPS_NAME)
        self.assertIs(status["responding"], True)
        self.assertEqual(status["ups_status"], "FSD OB")
        self.assertIs(status["status_bits"]["power_fail"], True)
        self.assertIs(status["status_bits"]["battery_low"], False)
        self.assertEqual(status["status_bits"]["text"], "10000001")
        self.assertEqual(status["countdown_seconds"], 540)
        # The reply's local time with its offset, so a reader elsewhere can tell its age.
        self.assertEqual(status["last_reply"], "2024-02-01T10:00:00+01:00")
        readings = status["readings"]
        self.assertEqual(readings["output_voltage"], {"value": 219.6, "text": "219,6"})
        self.assertEqual(readings["battery_voltage"], {"value": 2.27, "text": "2,27"})
        self.assertEqual(readings["temperature"], {"value": None, "text": "---"})
        self.assertEqual(status["battery"], {"charge_percent": 88.4, "pack_voltage": 13.62, "nominal_voltage": 12,
                                             "empty_voltage": 9.7, "full_voltage": 13.5, "runtime_seconds": 754,
                                             "full_charge_runtime_seconds": 1020})
        self.assertEqual(status["power"], {"real_power_watts": 287, "nominal_power_watts": 700})
        # The UPS's windows-1252 bytes, the unused 0x81 as the C1 control Windows makes of it.
        self.assertEqual(status["device"]["mfr"], 'Q"\\\x01\u20ac\u00fc\x81')
        self.assertEqual((status["device"]["vendor_id"], status["device"]["product_id"]), ("0665", "5161"))

    def test_metrics_during_a_failure(self):
        content_type, body = self.fetch("/metrics")
        self.assertTrue(content_type.startswith("text/plain; version=0.0.4"), content_type)
        samples = {}
        for family in text_string_to_metric_families(body.decode("utf-8")):
            self.assertEqual(family.type, "gauge", family.name)
            self.assertTrue(family.documentation, family.name)
            for sample in family.samples:
                self.assertEqual(sample.labels["ups"], UPS_NAME)
                samples[(sample.name, sample.labels.get("flag"))] = sample.value
        expected = {
            ("veltrano_responding", None): 1,
            ("veltrano_status_flag", "power_fail"): 1,
            ("veltrano_status_flag", "battery_low"): 0,
            ("veltrano_status_flag", "beeper_on"): 1,
            ("veltrano_output_voltage_volts", None): 219.6,
            ("veltrano_input_voltage_volts", None): 0,
            ("veltrano_load_percent", None): 41,
            ("veltrano_battery_voltage_volts", None): 13.62,
            ("veltrano_battery_charge_percent", None): 88.4,
            ("veltrano_countdown_remaining_seconds", None): 540,
            ("veltrano_battery_runtime_seconds", None): 754,
            ("veltrano_battery_full_charge_runtime_seconds", None): 1020,
            ("veltrano_real_power_watts", None): 287,
            ("veltrano_nominal_power_watts", None): 700,
            ("veltrano_last_reply_timestamp_seconds", None): 1706778000,  # 09:00 UTC
        }
        for key, value in expected.items():
            with self.subTest(series=key):
                self.assertEqual(samples.get(key), value)
        self.assertEqual(len([key for key in samples if key[0] == "veltrano_status_flag"]), 8)
        # The temperature "---" did not convert: no series rather than a zero.
        self.assertNotIn(("veltrano_temperature_celsius", None), samples)


class SilentUpsFeedsTest(unittest.TestCase):
    """A UPS that stopped answering: the feeds keep its age and say it is
    silent, but give no readings that would look current."""

    def test_metrics_and_json_of_a_silent_ups(self):
        fixture = Fixture("--failure", "--not-responding", "--user", "admin", "--password", "Secret")
        try:
            status, _, body = curl(fixture.port, "/metrics", *CREDENTIALS)
            self.assertEqual(status, 200)
            names = {sample.name: sample.value for family in text_string_to_metric_families(body.decode("utf-8"))
                     for sample in family.samples}
            self.assertEqual(names, {"veltrano_responding": 0, "veltrano_last_reply_timestamp_seconds": 1706778000})
            status, _, body = curl(fixture.port, "/status.json", *CREDENTIALS)
            document = json.loads(body.decode("utf-8"))
            self.assertIs(document["responding"], False)
            self.assertEqual(document["last_reply"], "2024-02-01T10:00:00+01:00")
            # The page blanks its readings; the JSON gives none either.
            self.assertEqual((document["reply"], document["readings"]), ("", {}))
            self.assertNotIn("pack_voltage", document["battery"])
            # The runtime and the watts follow from readings there are none of; the rating is a setting.
            self.assertNotIn("runtime_seconds", document["battery"])
            self.assertEqual(document["power"], {"nominal_power_watts": 700})
            _, _, page = curl(fixture.port, "/", *CREDENTIALS)
            self.assertIn(b"I/P Voltage =  V</br>", page)
        finally:
            fixture.stop()


if __name__ == "__main__":
    unittest.main()
