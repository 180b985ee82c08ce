"""E-mail warnings and reports, and the status page, from veltrano.exe under
Wine: a real SMTP server (aiosmtpd) and a real HTTP client on loopback."""

import email
import email.policy
import socket
import threading
import time
import urllib.request

from aiosmtpd.controller import Controller

from harness import E2ETestCase, wait_for

FAIL_AT_S = 12.0


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Inbox:
    """An SMTP server on loopback that keeps every message it accepts."""

    def __init__(self, port=None):
        self.messages = []
        self.lock = threading.Lock()
        self.controller = Controller(self, hostname="127.0.0.1", port=port or free_port())

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        with self.lock:
            self.messages.append(message)
        return "250 OK"

    def subjects(self):
        with self.lock:
            return [m["Subject"] for m in self.messages]

    def find(self, prefix):
        with self.lock:
            return next((m for m in self.messages if m["Subject"].startswith(prefix)), None)

    def __enter__(self):
        self.controller.start()
        return self

    def __exit__(self, *exc):
        self.controller.stop()


class ReportsTest(E2ETestCase):
    def start_with(self, values, **sim_args):
        sim = self.start_simulator(**sim_args)
        self.wine.clear_settings()
        base = {"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1}
        self.wine.seed_settings(dict(base, **values))
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        self.wait_text("LogM", lambda t: "Start Monitoring" in t, 40, "'Start Monitoring'")
        return sim, app

    @staticmethod
    def smtp_settings(inbox):
        return {"SMTP Host": "127.0.0.1", "SMTP Port": str(inbox.controller.port), "SMTP Auth": False,
                "SMTP From": "Veltrano <ups@example.com>", "SMTP Mail": "admin@example.com, ops@example.com"}

    def test_power_fail_warning_and_test_report_arrive_and_no_early_periodic_report(self):
        with Inbox() as inbox:
            values = dict(self.smtp_settings(inbox), **{"SMTP Warnings": True, "SMTP Reports": True})
            scenario = {"timeline": [{"at": FAIL_AT_S, "set": {"ip": 0.0, "bits": "10001001"}}]}
            self.start_with(values, protocol="megatec", scenario=scenario)
            wait_for(lambda: inbox.find("Warning - Power fail"), 40, 0.25, "the power-fail warning")
            warning = inbox.find("Warning - Power fail")
            body = warning.get_content()
            # A serial UPS has no VID, PID or product: the identity line is there, empty.
            self.assertRegex(body, r"^Warning - .+ Power fail\r?\nVID: 0x PID: 0x Product: \r?\n$")
            self.assertEqual(warning["X-Mailer"], "Veltrano")

            self.assertEqual(self.wine.probe("click", "SendSMTPRepSB")[0], 0)
            wait_for(lambda: inbox.find("Report - "), 20, 0.25, "the test report")
            report = inbox.find("Report - ")
            self.assertIn(report["Subject"][len("Report - "):], report.get_content().splitlines()[0])
            self.assertIn("Temperature = ", report.get_content())
            self.assertIn("\u00b0C", report.get_content())
            self.wait_text("StatusBar", lambda t: t == "Report sending O.K.", 10, "the result")
            # Reports are on from the start, yet the first periodic one is a whole
            # period away: only the test report arrived.
            self.assertEqual([s for s in inbox.subjects() if s.startswith("Report - ")], [report["Subject"]])

    def test_page_shows_the_readings_of_a_serial_ups(self):
        port = free_port()
        self.start_with({"HTTP Server": True, "HTTP Port": str(port)}, protocol="megatec")

        def page():
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/" % port, timeout=2) as r:
                    return r.status, dict(r.headers), r.read().decode("cp1252")
            except OSError:
                return None
        wait_for(lambda: (p := page()) and "I/P Voltage = 2" in p[2], 30, 0.5, "a page with readings")
        status, headers, body = page()
        self.assertEqual(status, 200)
        self.assertEqual(headers["Pragma"], "no-cache")
        self.assertIn("<b>", body)
        self.assertIn("Temperature = ", body)

        # Wine's messenger entry points are stubs that end the process when
        # called: the program takes them as missing and says so.
        self.assertEqual(self.wine.probe("click", "LANRepSB")[0], 0)
        self.wait_text("StatusBar", lambda t: t == "LAN Report sending failed!", 10, "the LAN result")
