"""Alerts through the outbox from veltrano.exe under Wine: the SMTP server is
down when the mains fail and comes up two minutes later while the program is
restarted; a webhook and an ntfy-style receiver on a local HTTPS server whose
certificate chains to a test CA trusted in the prefix get the power-fail JSON
and text; a receiver with an untrusted certificate gets nothing, and its
alert is given up, not tried again."""

import json
import re
import time
import unittest
import urllib.request

from harness import E2ETestCase, log, wait_for
from test_https_post import HttpsServer
from test_reports import Inbox, free_port
from test_smtp_tls import GOOD_AND_UNTRUSTED, make_test_certs, trust_test_ca

FAIL_AT_S = 12.0
BACK_AT_S = 25.0
SERVER_UP_AFTER_S = 120.0


class OutboxTest(E2ETestCase):
    @classmethod
    def setUpClass(cls):
        cls.certs, contexts = make_test_certs("veltrano-outbox-", GOOD_AND_UNTRUSTED)
        cls.good, cls.untrusted = contexts["good"], contexts["untrusted"]

    def setUp(self):
        super().setUp()
        trust_test_ca(self, self.certs)
        self.http_port = free_port()

    def status(self):
        with urllib.request.urlopen("http://127.0.0.1:%d/status.json" % self.http_port, timeout=5) as answer:
            return json.loads(answer.read().decode("utf-8"))

    def waiting(self):
        try:
            return self.status().get("alerts_waiting")
        except OSError:
            return None

    def start(self, settings):
        self.wine.clear_settings()
        self.wine.seed_settings(settings)
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        return app

    def check_webhook(self, request):
        self.assertEqual(request["headers"].get("Content-Type"), "application/json; charset=utf-8")
        self.assertEqual(request["headers"].get("Authorization"), "Bearer hook-token")
        alert = json.loads(request["body"])
        self.assertEqual((alert["event"], alert["kind"], alert["subject"]),
                         ("Power Fail", "warning", "Warning - Power fail"))
        self.assertRegex(alert["body"], r"^Warning - .+ Power fail")
        self.assertRegex(alert["time"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$")
        self.assertTrue(alert["computer"])
        self.assertEqual(alert["ups"], "ups")
        self.assertIn("readings", alert["status"])

    def check_ntfy(self, request):
        headers = request["headers"]
        self.assertEqual((headers.get("Title"), headers.get("Priority"), headers.get("Tags")),
                         ("Warning - Power fail", "high", "warning"))
        self.assertRegex(request["body"], r"^Warning - .+ Power fail")

    def test_a_warning_waits_for_its_server_and_push_reaches_only_trusted_receivers(self):
        smtp_port = free_port()  # nothing listens there until the server comes up
        scenario = {"timeline": [{"at": FAIL_AT_S, "set": {"ip": 0.0, "bits": "10001001"}},
                                 {"at": BACK_AT_S, "set": {"ip": 230.0, "bits": "00001001"}}]}
        with HttpsServer(self.good) as receivers, HttpsServer(self.untrusted) as untrusted:
            settings = {"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1,
                        "HTTP Server": True, "HTTP Port": str(self.http_port),
                        "SMTP Host": "127.0.0.1", "SMTP Port": str(smtp_port), "SMTP Auth": False,
                        "SMTP Warnings": True, "SMTP From": "ups@example.com", "SMTP Mail": "admin@example.com",
                        "Webhook URL": "https://localhost:%d/hook" % receivers.port,
                        "Webhook Header": "Authorization: Bearer hook-token", "Webhook Warnings": True,
                        "Ntfy URL": "https://localhost:%d/ups-topic" % receivers.port, "Ntfy Warnings": True}
            self.start_simulator(protocol="megatec", scenario=scenario)
            first = self.start(settings)
            requests = receivers.server.requests
            wait_for(lambda: len([r for r in requests if "fail" in r["body"]]) >= 2, 60, 0.25,
                     "the power-fail alert at both receivers")
            failed_at = time.monotonic()
            hook = [r for r in requests if r["path"] == "/hook"]
            ntfy = [r for r in requests if r["path"] == "/ups-topic"]
            self.check_webhook(hook[0])
            self.check_ntfy(ntfy[0])
            # The warning and the mains' return wait for the SMTP server.
            wait_for(lambda: self.waiting() == 2, 40, 0.5, "two alerts waiting in /status.json")
            self.assertTrue(first.stop(), "the program did not exit by itself")

            wait_for(lambda: time.monotonic() - failed_at >= SERVER_UP_AFTER_S, SERVER_UP_AFTER_S + 5, 1,
                     "two minutes after the failure")
            with Inbox(port=smtp_port) as inbox:
                up_at = time.monotonic()
                settings["Ntfy URL"] = "https://localhost:%d/ups-topic" % untrusted.port
                self.start(settings)
                wait_for(lambda: inbox.find("Information - Power O.K."), 60, 0.25, "the waiting mail")
                log("the waiting mail arrived %.1f s after the server came up" % (time.monotonic() - up_at))
                wait_for(lambda: self.waiting() == 0, 30, 0.5, "no alert waiting")
                self.assertEqual(inbox.subjects().count("Warning - Power fail"), 1, inbox.subjects())
                warning = inbox.find("Warning - Power fail")
                body = warning.get_content()
                self.assertRegex(body, r"^Warning - .+ Power fail\r?\n")  # its own time, as written
                self.assertRegex(body, r"Written at .+\.")
                self.assertRegex(warning["Message-ID"], r"^<[A-Za-z0-9.]+@[A-Za-z0-9.-]+>$")

                # The untrusted receiver: refused once, given up, never reached.
                self.assertEqual(self.wine.probe("click", "NtfyTestSB")[0], 0)
                self.wait_text("LogM", lambda t: re.search(r"\(ntfy\) refused \([^)]*certificate", t), 30,
                               "the refused certificate in the log")
                wait_for(lambda: self.waiting() == 0, 30, 0.5, "no alert waiting after the refusal")
                self.assertEqual(untrusted.server.requests, [])
                self.assertFalse([r for r in requests if r["headers"].get("Tags") == "white_check_mark"])


if __name__ == "__main__":
    unittest.main()
