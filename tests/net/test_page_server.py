#!/usr/bin/python3
"""The status page server against real clients: curl for what a browser sees,
raw sockets for clients that misbehave. Runs the native fixture
(build/native/page_server_fixture, or $VELTRANO_PAGE_FIXTURE).

Run from the repo root with
  /usr/bin/python3 -m unittest discover -s tests/net -p 'test_*.py'
"""

import os
import random
import select
import socket
import subprocess
import time
import unittest

from lingering import LINGER_LIMIT, SWEEP_SLACK, seconds_until_cut

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FIXTURE = os.environ.get("VELTRANO_PAGE_FIXTURE",
                         os.path.join(ROOT, "build", "native", "page_server_fixture"))
CACHE_HEADERS = [
    "Cache-Control: no-store, no-cache, must-revalidate",
    "Cache-Control: post-check=0, pre-check=0",
    "Pragma: no-cache",
]
DEFAULT_BODY = b"<HTML><BODY><B>200 OK</B></BODY></HTML>"
# Short enough for quick tests of clients that hold a connection.
SHORT_DEADLINE_MS = 1500
ANSWER_LIMIT = 1.0   # seconds for a normal request while others misbehave
MEMORY_SLACK_KB = 2048


class Fixture:
    """One fixture process; its ready line gives the port and the limits."""

    def __init__(self, *args):
        self.process = subprocess.Popen([FIXTURE, "--port", "0", *args],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        ready, _, _ = select.select([self.process.stdout], [], [], 10)
        line = self.process.stdout.readline().decode() if ready else ""
        if not line.startswith("ready "):
            self.process.kill()
            self.process.communicate(timeout=5)
            raise RuntimeError("the fixture did not start: %r" % line)
        self.limits = dict(item.split("=") for item in line.split()[1:])
        self.port = int(self.limits["port"])

    def rss_kb(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise RuntimeError("no VmRSS")

    def stop(self):
        """Stops it; fails unless it ended cleanly and silently (a sanitized
        fixture reports its findings on stderr)."""
        self.process.terminate()
        try:
            _, errors = self.process.communicate(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.communicate(timeout=5)
            raise AssertionError("the fixture did not stop on SIGTERM")
        if self.process.returncode != 0 or errors:
            raise AssertionError("the fixture ended with %d: %s" % (
                self.process.returncode, errors.decode(errors="replace")[:2000]))


def curl(port, path="/", *args, host="127.0.0.1"):
    """(status, header lines, body) as curl got them, within ANSWER_LIMIT."""
    result = subprocess.run(
        ["curl", "-s", "-i", "-g", "--max-time", str(ANSWER_LIMIT), *args,
         "http://%s:%d%s" % (host, port, path)],
        capture_output=True, timeout=10)
    head, _, body = result.stdout.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split()[1]) if lines[0].startswith("HTTP/") else 0
    return status, lines[1:], body


def receive_until_closed(sock, limit):
    """All bytes until the peer closes or resets, or until limit seconds pass."""
    received = b""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        ready, _, _ = select.select([sock], [], [], deadline - time.monotonic())
        if not ready:
            break
        try:
            chunk = sock.recv(65536)
        except ConnectionResetError:
            break
        if not chunk:
            break
        received += chunk
    return received


class PageTest(unittest.TestCase):
    """What a browser gets: credentials, headers, bodies."""

    @classmethod
    def setUpClass(cls):
        cls.open = Fixture()
        cls.guarded = Fixture("--user", "admin", "--password", "Secret")
        cls.not_found = Fixture("--not-found")

    @classmethod
    def tearDownClass(cls):
        for fixture in (cls.open, cls.guarded, cls.not_found):
            fixture.stop()

    def test_only_the_stored_credentials_get_the_page(self):
        cases = [
            ("nothing stored, nothing sent", self.open, [], 200),
            ("stored, nothing sent", self.guarded, [], 401),
            ("stored and sent", self.guarded, ["-u", "admin:Secret"], 200),
            ("wrong password", self.guarded, ["-u", "admin:secret"], 401),
            ("user differs in case", self.guarded, ["-u", "Admin:Secret"], 401),
            ("malformed authorization", self.guarded, ["-H", "Authorization: Basic !!"], 401),
        ]
        for name, fixture, args, expected in cases:
            with self.subTest(name):
                status, headers, body = curl(fixture.port, "/", *args)
                self.assertEqual(status, expected)
                if expected == 401:
                    self.assertIn('WWW-Authenticate: Basic realm="Veltrano HTTP Server"', headers)
                    self.assertIn(b"401", body)
                else:
                    self.assertTrue(body.startswith(b"<b>Report</b> - "), body)

    def test_the_page_comes_with_the_cache_headers_first_and_the_ansi_bytes(self):
        status, headers, body = curl(self.open.port)
        self.assertEqual(status, 200)
        self.assertEqual(headers[:3], CACHE_HEADERS)
        self.assertIn("Content-Type: text/html", headers)
        self.assertIn("Content-Length: %d" % len(body), headers)
        lines = body.split(b"\r\n")
        self.assertEqual(lines[-1], b"", "every line ends in CR LF")
        self.assertTrue(all(line.endswith(b"</br>") for line in lines[:-1]), lines)
        self.assertIn(b"Temperature = 25.0 \xb0C</br>", lines)

    def test_other_paths_get_the_default_body_without_credentials(self):
        for path in ("/favicon.ico", "/index.html"):
            with self.subTest(path):
                status, headers, body = curl(self.guarded.port, path)
                self.assertEqual((status, body), (200, DEFAULT_BODY))
                self.assertFalse([h for h in headers if h.startswith("Cache-Control")])

    def test_before_a_ups_is_found_the_page_is_one_line(self):
        status, headers, body = curl(self.not_found.port)
        self.assertEqual((status, headers[:3], body), (200, CACHE_HEADERS, b"UPS not found!</br>\r\n"))

    def test_ipv6_clients_reach_the_same_listener(self):
        try:
            socket.create_connection(("::1", self.open.port), timeout=1).close()
        except OSError:
            self.skipTest("no IPv6 loopback here")
        status, _, body = curl(self.open.port, "/", host="[::1]")
        self.assertEqual(status, 200)
        self.assertTrue(body.startswith(b"<b>Report</b>"))

    def test_a_busy_port_fails_to_bind_and_the_default_limits(self):
        result = subprocess.run([FIXTURE, "--port", str(self.open.port)],
                                capture_output=True, timeout=10)
        self.assertEqual((result.returncode, result.stdout), (2, b"bind failed\n"))
        self.assertEqual(self.open.limits["head-deadline-ms"], "10000")
        self.assertEqual(self.open.limits["max-connections"], "64")


class LingerTest(unittest.TestCase):
    """A client that goes on sending after the answer that ends its connection
    gets that answer whole, then is cut at the linger limit (the default
    deadlines are far longer, so they cannot be what cuts it)."""

    def setUp(self):
        self.fixture = Fixture()

    def tearDown(self):
        self.fixture.stop()

    def test_the_last_answer_arrives_and_the_connection_is_cut_at_the_linger_limit(self):
        cases = [
            ("asked to close", b"GET / HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n", b"HTTP/1.1 200 "),
            ("head too large, its rest unread",
             b"GET / HTTP/1.1\r\nHost: a\r\nX-Big: " + b"b" * 16384 + b"\r\n", b"HTTP/1.1 431 "),
        ]
        for name, request, answer in cases:
            with self.subTest(name):
                with socket.create_connection(("127.0.0.1", self.fixture.port), timeout=5) as sock:
                    sock.sendall(request)
                    received = receive_until_closed(sock, 5)  # until the server's side ends
                    self.assertTrue(received.startswith(answer), received[:100])
                    cut = seconds_until_cut(sock)
                    self.assertIsNotNone(cut, "never cut")
                    self.assertGreater(cut, LINGER_LIMIT * 0.75)
                    self.assertLess(cut, LINGER_LIMIT + SWEEP_SLACK + 1)


class MisbehavingClientTest(unittest.TestCase):
    """Each client that misbehaves leaves the server answering a normal request
    within a second and its memory within 2 MB of where it started."""

    def setUp(self):
        self.fixture = Fixture("--head-deadline-ms", str(SHORT_DEADLINE_MS),
                               "--idle-ms", str(SHORT_DEADLINE_MS))
        self.assertEqual(curl(self.fixture.port)[0], 200)
        self.start_rss = self.fixture.rss_kb()
        self.sockets = []

    def tearDown(self):
        for sock in self.sockets:
            sock.close()
        self.fixture.stop()

    def connect(self):
        sock = socket.create_connection(("127.0.0.1", self.fixture.port), timeout=5)
        self.sockets.append(sock)
        return sock

    def assert_still_serving(self):
        started = time.monotonic()
        status, _, body = curl(self.fixture.port)
        self.assertEqual(status, 200)
        self.assertTrue(body.startswith(b"<b>Report</b>"))
        self.assertLess(time.monotonic() - started, ANSWER_LIMIT)
        self.assertLessEqual(self.fixture.rss_kb(), self.start_rss + MEMORY_SLACK_KB)

    def test_a_megabyte_of_headers(self):
        sock = self.connect()
        filler = b"".join(b"X-Filler-%06d: %s\r\n" % (i, b"a" * 100) for i in range(10000))
        try:
            sock.sendall(b"GET / HTTP/1.1\r\nHost: a\r\n" + filler + b"\r\n")
        except (BrokenPipeError, ConnectionResetError):
            pass
        answer = receive_until_closed(sock, 5)
        self.assertTrue(answer == b"" or answer.startswith(b"HTTP/1.1 431 "), answer[:100])
        self.assert_still_serving()

    def test_a_client_sending_one_byte_a_second(self):
        sock = self.connect()
        connected = time.monotonic()
        request = b"GET / HTTP/1.1\r\nHost: a\r\n" + b"X-Slow: " + b"s" * 100
        give_up = connected + SHORT_DEADLINE_MS / 1000 + 3
        closed_after = None
        for i, byte in enumerate(request):
            if time.monotonic() > give_up:
                break
            try:
                sock.send(bytes([byte]))
            except (BrokenPipeError, ConnectionResetError):
                closed_after = time.monotonic() - connected
                break
            if i == 0:
                self.assert_still_serving()
            if receive_until_closed(sock, 1.0) == b"" and select.select([sock], [], [], 0)[0]:
                closed_after = time.monotonic() - connected
                break
        self.assertIsNotNone(closed_after, "the slow client was never closed")
        self.assertGreater(closed_after, SHORT_DEADLINE_MS / 1000 * 0.8)
        self.assertLess(closed_after, SHORT_DEADLINE_MS / 1000 + 1.5)
        self.assert_still_serving()

    def test_500_idle_connections(self):
        idle = [self.connect() for _ in range(500)]
        self.assert_still_serving()
        # The longest idle made room for the newer ones: the first to arrive
        # are closed, at most the connection limit stays open.
        deadline = time.monotonic() + 2
        while True:
            readable, _, _ = select.select(idle, [], [], 0.1)
            closed = [s for s in readable if s.recv(1) == b""]
            if len(closed) >= 500 - 64 or time.monotonic() > deadline:
                break
        self.assertGreaterEqual(len(closed), 500 - 64)
        self.assertIn(idle[0], closed)

    def test_garbage_bytes(self):
        rng = random.Random(7)
        garbage = [
            bytes(rng.randrange(256) for _ in range(4096)),
            b"\x00" * 64 + b"\r\n\r\n",
            b"GET / HTTP/9.9\r\n\r\n",
            b"GET\r\n\r\n",
            b"\r\n\r\n\r\n",
            b"GET / HTTP/1.1\r\nHost: a\r\nContent-Length: -1\r\n\r\n",
            b"GET / HTTP/1.1\r\nHost: a\r\nContent-Length: 99999999999999999999\r\n\r\n",
            b"GET / HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
            b"GET / HTTP/1.1\r\nBad Header\x7f: x\r\n\r\n",
        ]
        for data in garbage:
            with self.subTest(data[:40]):
                sock = self.connect()
                sock.sendall(data)
                answer = receive_until_closed(sock, 5)
                self.assertTrue(answer == b"" or answer.startswith(b"HTTP/1.1 4"), answer[:100])
        self.assert_still_serving()

    def test_a_request_in_one_byte_writes(self):
        sock = self.connect()
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        for byte in b"GET / HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n":
            sock.send(bytes([byte]))
            # Lets each byte arrive as a read of its own.
            select.select([sock], [], [], 0.002)
        answer = receive_until_closed(sock, 5)
        self.assertTrue(answer.startswith(b"HTTP/1.1 200 OK\r\n"), answer[:100])
        self.assertTrue(answer.endswith(b"</br>\r\n"), answer[-100:])
        self.assert_still_serving()


if __name__ == "__main__":
    unittest.main()
