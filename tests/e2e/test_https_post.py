"""HTTPS POST through the real HTTP client and Schannel under Wine, against
Python https servers with certificates this test makes with openssl: one
chained to the test CA trusted inside the run's prefix, one from a CA that is
not. The answer's status and the certificate decide whether the outbox would
try again."""

import http.server
import os
import threading
import time
import unittest

from harness import E2ETestCase, log
from test_smtp_tls import GOOD_AND_UNTRUSTED, make_test_certs, trust_test_ca


def probe_body(size):
    """The body https_post_probe.exe sends for BODY_BYTES = size."""
    return ("0123456789abcdef" * (size // 16 + 1))[:size]


class Handler(http.server.BaseHTTPRequestHandler):
    """Keeps every request; answers 503 on /busy, 200 on any other path."""
    protocol_version = "HTTP/1.1"

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        self.server.requests.append({"path": self.path, "body": body.decode("utf-8", "replace"),
                                     "agent": self.headers.get("User-Agent"), "probe": self.headers.get("X-Probe"),
                                     "headers": dict(self.headers)})
        status = 503 if self.path == "/busy" else 200
        self.send_response(status)
        self.send_header("Content-Length", "0")
        self.send_header("Connection", "close")
        self.end_headers()

    def log_message(self, *args):
        pass


class HttpsServer:
    """One https server on loopback in a thread of its own."""

    def __init__(self, context):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.socket = context.wrap_socket(self.server.socket, server_side=True)
        self.server.requests = []
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, kwargs={"poll_interval": 0.1})

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join(10)


class HttpsPostTest(E2ETestCase):
    @classmethod
    def setUpClass(cls):
        cls.certs, cls.contexts = make_test_certs("veltrano-https-", GOOD_AND_UNTRUSTED)

    def setUp(self):
        super().setUp()
        self.tool = os.path.join(self.wine.build_dir, "https_post_probe.exe")
        trust_test_ca(self, self.certs)

    def post(self, url, body_bytes):
        rc, out = self.wine.run([self.tool, "post", url, str(body_bytes)], timeout=60)
        self.assertEqual(rc, 0, out)
        result = dict(line.split(" ", 1) for line in out.replace("\r\n", "\n").splitlines() if " " in line)
        result["ms"] = int(result.get("ms", "-1"))
        return result

    def test_a_post_goes_only_to_a_trusted_server_and_its_answer_decides_the_retry(self):
        cases = [
            # server, path, body bytes, sent, failure, class, requests the server saw
            ("good", "/ok", 300, "1", None, None, 1),
            ("good", "/ok", 200 * 1024, "1", None, None, 1),
            ("good", "/busy", 300, "0", "HTTP 503", "Transient", 1),
            ("untrusted", "/ok", 300, "0", "server certificate refused", "Permanent", 0),
        ]
        for server, path, size, sent, failure, kind, seen in cases:
            with self.subTest(server=server, path=path, size=size), HttpsServer(self.contexts[server]) as https:
                started = time.monotonic()
                result = self.post("https://localhost:%d%s" % (https.port, path), size)
                log("HTTPS case %s%s (%d bytes): %s in %.1f s" % (server, path, size, result,
                                                                  time.monotonic() - started))
                self.assertEqual(result.get("sent"), sent, result)
                if failure:
                    self.assertEqual(result.get("failure"), failure, result)
                    self.assertEqual(result.get("class"), kind, result)
                self.assertLess(result["ms"], 10000)
                self.assertEqual(len(https.server.requests), seen)
                for request in https.server.requests:
                    self.assertEqual(request["path"], path)
                    self.assertEqual(request["agent"], "Veltrano")
                    self.assertEqual(request["probe"], "1")
                    self.assertEqual(request["body"], probe_body(size))


if __name__ == "__main__":
    unittest.main()
