#!/usr/bin/python3
"""The NUT server against the real clients of Debian's nut-client package
(upsc, upsrw, upscmd) and raw sockets for clients that misbehave. Runs the
native fixture (build/native/nut_server_fixture, or $VELTRANO_NUT_FIXTURE).

Run from the repo root with
  /usr/bin/python3 -m unittest discover -s tests/net -p 'test_*.py'
"""

import os
import random
import select
import shutil
import socket
import subprocess
import threading
import time
import unittest

from lingering import LINGER_LIMIT, SWEEP_SLACK, seconds_until_cut

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FIXTURE = os.environ.get("VELTRANO_NUT_FIXTURE",
                         os.path.join(ROOT, "build", "native", "nut_server_fixture"))
ANSWER_LIMIT = 1.0   # seconds for a normal upsc while others misbehave
USER, PASSWORD = "monuser", "pass word"
STARTUP = ["VER", "NETVER", "LIST UPS", "LIST CLIENT {ups}", "LIST CMD {ups}", "LIST VAR {ups}",
           "GET UPSDESC {ups}", "GET NUMLOGINS {ups}"]


def wait_for(condition, limit=5.0, what="a condition"):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.02)
    raise AssertionError("no %s within %.1f s" % (what, limit))


class Fixture:
    """One fixture process: its ready line gives the port; commands go to stdin."""

    def __init__(self, *args):
        self.process = subprocess.Popen(
            [FIXTURE, "--port", "0", "--user", USER, "--password", PASSWORD, *args],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.output = b""
        line = self.read_line(10)
        if not line.startswith("ready "):
            self.process.kill()
            self.process.communicate(timeout=5)
            raise RuntimeError("the fixture did not start: %r" % line)
        self.port = int(dict(item.split("=") for item in line.split()[1:])["port"])

    def read_line(self, limit=5):
        """The next line it printed; "" when none comes within `limit` seconds.
        Read from the descriptor itself, so lines that came together all count."""
        deadline = time.monotonic() + limit
        while b"\n" not in self.output:
            ready, _, _ = select.select([self.process.stdout], [], [], max(deadline - time.monotonic(), 0))
            data = os.read(self.process.stdout.fileno(), 65536) if ready else b""
            if not data:
                return ""
            self.output += data
        line, _, self.output = self.output.partition(b"\n")
        return line.decode().strip()

    def tell(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def state(self):
        """{'fsd': '0'|'1', 'clients': 'N'}; lines printed meanwhile are skipped."""
        self.tell("state")
        while True:
            line = self.read_line()
            if line.startswith("state ") or not line:
                return dict(item.split("=") for item in line.split()[1:])

    def stop(self):
        """Ends it by closing stdin; fails unless it ended cleanly and silently."""
        self.process.stdin.close()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise AssertionError("the fixture did not stop when its stdin closed")
        finally:
            errors = self.process.stderr.read()
            self.process.stdout.close()
            self.process.stderr.close()
        if self.process.returncode != 0 or errors:
            raise AssertionError("the fixture ended with %d: %s" % (self.process.returncode, errors[:2000]))


class Client:
    """A line-protocol client on a raw socket."""

    def __init__(self, port, host="127.0.0.1", source=None):
        self.sock = socket.create_connection((host, port), timeout=5,
                                             source_address=(source, 0) if source else None)
        self.pending = b""

    def line(self):
        while b"\n" not in self.pending:
            data = self.sock.recv(65536)
            if not data:
                raise EOFError("closed with %r pending" % self.pending)
            self.pending += data
        line, _, self.pending = self.pending.partition(b"\n")
        return line.decode("latin-1")

    def ask(self, request):
        """The reply's lines: one, or a whole list from BEGIN to END."""
        self.sock.sendall(request.encode("latin-1") + b"\n")
        lines = [self.line()]
        if lines[0].startswith("BEGIN LIST "):
            while not lines[-1].startswith("END LIST "):
                lines.append(self.line())
        return lines

    def closed_by_server(self, limit=5.0):
        """True once the server has closed its side within `limit` seconds,
        reading what it still sends."""
        deadline = time.monotonic() + limit
        try:
            while time.monotonic() < deadline:
                self.sock.settimeout(max(deadline - time.monotonic(), 0.001))
                if not self.sock.recv(65536):
                    return True
            return False
        except ConnectionResetError:
            return True
        except socket.timeout:
            return False

    def close(self):
        self.sock.close()


def upsc(port, *args, target="ups"):
    """upsc's result; fails the caller past ANSWER_LIMIT."""
    start = time.monotonic()
    result = subprocess.run(["upsc", "%s@127.0.0.1:%d" % (target, port), *args],
                            capture_output=True, text=True, timeout=10)
    return result, time.monotonic() - start


@unittest.skipUnless(shutil.which("upsc"), "nut-client is not installed (scripts/setup.sh installs it)")
class RealClientTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.fixture = Fixture()
        cls.port = cls.fixture.port

    @classmethod
    def tearDownClass(cls):
        cls.fixture.stop()

    def tearDown(self):
        for command in ("fresh", "OL", "nofsd"):
            self.fixture.tell(command)

    def test_the_nut_clients_read_the_ups_under_its_name_and_the_alias(self):
        for target in ("ups", "qnapups"):
            with self.subTest(target):
                result, _ = upsc(self.port, target=target)
                self.assertEqual(result.returncode, 0, result.stderr)
                values = dict(line.split(": ", 1) for line in result.stdout.splitlines())
                self.assertEqual(values["ups.status"], "OL")
                self.assertEqual(values["ups.model"], 'Mini "UPS" 650\\B')
                self.assertEqual(values["device.type"], "ups")
                self.assertEqual((values["battery.runtime"], values["ups.realpower"], values["ups.realpower.nominal"]),
                                 ("1500", "91", "700"))
        listing = subprocess.run(["upsc", "-l", "127.0.0.1:%d" % self.port], capture_output=True, text=True,
                                 timeout=10)
        self.assertEqual((listing.returncode, listing.stdout), (0, "ups\n"), listing.stderr)
        for command in (["upsrw", "ups@127.0.0.1:%d" % self.port], ["upscmd", "-l", "ups@127.0.0.1:%d" % self.port],
                        ["upsc", "-c", "ups@127.0.0.1:%d" % self.port]):
            with self.subTest(command[0]):
                result = subprocess.run(command, capture_output=True, text=True, timeout=10)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertNotIn("Error", result.stdout + result.stderr)

    def test_a_failure_shows_on_battery_and_a_silent_ups_as_stale(self):
        for command, status in (("OB", "OB"), ("OL", "OL")):
            self.fixture.tell(command)
            wait_for(lambda: upsc(self.port, "ups.status")[0].stdout == status + "\n", what=status)
        self.fixture.tell("stale")
        wait_for(lambda: "Data stale" in upsc(self.port, "ups.status")[0].stderr, what="stale data")
        client = Client(self.port)
        self.assertEqual(client.ask("LIST VAR ups"), ["ERR DATA-STALE"])
        self.assertEqual(client.ask("LIST UPS")[1], 'UPS ups "Veltrano"')
        client.close()

    def test_the_startup_of_a_client_that_stops_at_the_first_error_meets_none(self):
        for ups in ("ups", "qnapups"):
            with self.subTest(ups):
                client = Client(self.port)
                replies = [client.ask(request.format(ups=ups)) for request in STARTUP]
                variables = [line.split()[2] for line in replies[STARTUP.index("LIST VAR {ups}")][1:-1]]
                self.assertIn("ups.status", variables)
                for name in variables:
                    replies.append(client.ask("GET TYPE %s %s" % (ups, name)))
                    replies.append(client.ask("GET DESC %s %s" % (ups, name)))
                errors = [reply for reply in replies if reply[0].startswith("ERR")]
                self.assertEqual(errors, [])
                self.assertEqual(client.ask("LOGOUT"), ["OK Goodbye"])
                self.assertTrue(client.closed_by_server())
                client.close()

    def test_a_primary_logs_in_and_forces_a_shutdown_that_every_client_sees(self):
        primary = Client(self.port)
        for request in ("USERNAME %s" % USER, 'PASSWORD "%s"' % PASSWORD, "LOGIN ups", "PRIMARY ups"):
            self.assertEqual(primary.ask(request)[0].split()[0], "OK", request)
        self.assertEqual(self.fixture.state(), {"fsd": "0", "clients": "1"})
        reader = Client(self.port)
        self.assertEqual(reader.ask("GET NUMLOGINS qnapups"), ["NUMLOGINS qnapups 1"])
        reader.close()
        self.assertEqual(primary.ask("FSD ups"), ["OK FSD-SET"])
        self.assertEqual(upsc(self.port, "ups.status")[0].stdout, "FSD OL\n")
        primary.close()  # without LOGOUT, as upsmon does after its shutdown command
        wait_for(lambda: self.fixture.state() == {"fsd": "1", "clients": "0"}, what="the login to end")


class FixtureCase(unittest.TestCase):
    """Each case with its own fixture."""

    def setUp(self):
        self.fixture = Fixture()
        self.port = self.fixture.port
        self.clients = []

    def tearDown(self):
        for client in self.clients:
            client.close()
        self.fixture.stop()

    def restart(self, *args):
        self.fixture.stop()
        self.fixture = Fixture(*args)
        self.port = self.fixture.port

    def connect(self, host="127.0.0.1", source=None):
        self.clients.append(Client(self.port, host, source))
        return self.clients[-1]

    def log_in(self, client, password=PASSWORD, command="LOGIN"):
        """The last reply, to `command`, after USERNAME and PASSWORD were taken."""
        for request in ("USERNAME %s" % USER, 'PASSWORD "%s"' % password):
            self.assertEqual(client.ask(request), ["OK"], request)
        return client.ask(command + " ups")


class MisbehavingClientTest(FixtureCase):
    """A normal upsc is answered throughout."""

    def assert_still_serving(self):
        result, took = upsc(self.port, "ups.status")
        self.assertEqual(result.stdout, "OL\n", result.stderr)
        self.assertLess(took, ANSWER_LIMIT)

    @unittest.skipUnless(shutil.which("upsc"), "nut-client is not installed")
    def test_a_megabyte_line_is_refused_and_its_connection_closed(self):
        client = self.connect()
        sender = threading.Thread(target=self.send_ignoring_reset, args=(client.sock, b"GET VAR ups " * 87382), daemon=True)
        sender.start()
        self.assert_still_serving()
        self.assertEqual(client.line(), "ERR INVALID-ARGUMENT")
        self.assertTrue(client.closed_by_server())
        sender.join(10)
        self.assertFalse(sender.is_alive())
        self.assert_still_serving()

    @staticmethod
    def send_ignoring_reset(sock, data):
        try:
            sock.sendall(data)
        except OSError:
            pass

    @unittest.skipUnless(shutil.which("upsc"), "nut-client is not installed")
    def test_500_idle_connections_leave_room_for_one_more(self):
        # From 32 hosts, none of which reaches the limit of one address.
        idle = [self.connect(source="127.0.0.%d" % (2 + i % 32)) for i in range(500)]
        self.assert_still_serving()
        # All but the newest 64 (less the room upsc took) were closed for newcomers.
        wait_for(lambda: sum(c.closed_by_server(0.001) for c in idle) >= 500 - 64, what="the oldest to close")
        self.assertEqual(idle[-1].ask("GET VAR ups ups.load"), ['VAR ups ups.load "13"'])

    @unittest.skipUnless(shutil.which("upsc"), "nut-client is not installed")
    def test_garbage_is_answered_with_errors_and_the_connection_goes_on(self):
        rng = random.Random(9271)
        client = self.connect()
        for _ in range(200):
            junk = bytes(rng.choice([b for b in range(256) if b != 10]) for _ in range(rng.randrange(1, 200)))
            client.sock.sendall(junk + b"\n")
            reply = client.line()
            if junk.strip(b" \t\r"):
                self.assertTrue(reply.startswith("ERR "), (junk, reply))
        self.assertEqual(client.ask("GET VAR ups ups.status"), ['VAR ups ups.status "OL"'])
        self.assert_still_serving()

    @unittest.skipUnless(shutil.which("upsc"), "nut-client is not installed")
    def test_a_client_that_never_reads_its_replies_is_closed(self):
        client = self.connect()
        client.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        flood = b"LIST VAR ups\n" * 20000
        sender = threading.Thread(target=self.send_ignoring_reset, args=(client.sock, flood), daemon=True)
        sender.start()
        self.assert_still_serving()
        sender.join(10)
        self.assertFalse(sender.is_alive(), "the server stopped reading instead of closing")
        self.assertTrue(client.closed_by_server())
        self.assert_still_serving()

    def test_a_silent_connection_is_closed_after_the_idle_limit(self):
        self.restart("--idle-ms", "400")
        talking, silent = self.connect(), self.connect()
        start = time.monotonic()
        for _ in range(6):
            self.assertEqual(talking.ask("NETVER"), ["1.3"])
            time.sleep(0.1)
        self.assertTrue(silent.closed_by_server(2))
        self.assertLess(time.monotonic() - start, 0.4 * 1.125 + 0.5)
        self.assertEqual(talking.ask("NETVER"), ["1.3"])

    def test_a_host_outside_the_allowed_ones_is_closed_at_once_and_reported_once(self):
        self.restart("--allowed-hosts", "192.0.2.0/24, ::1")
        for _ in range(3):
            self.assertTrue(self.connect().closed_by_server(1))
        self.assertEqual(self.fixture.read_line(), "refused 127.0.0.1")
        ipv6 = Client(self.port, "::1")
        self.clients.append(ipv6)
        self.assertEqual(ipv6.ask("NETVER"), ["1.3"])
        self.fixture.tell("state")
        self.assertEqual(self.fixture.read_line(), "state fsd=0 clients=0")  # no second "refused" before it


class LingerTest(FixtureCase):
    """A client that goes on sending after the reply that ends its connection
    gets that reply, then is cut at the linger limit: what it sends keeps it
    from being idle."""

    def test_the_last_reply_arrives_and_the_connection_is_cut_at_the_linger_limit(self):
        cases = [
            ("LOGOUT", b"LOGOUT\n", "OK Goodbye"),
            ("a line past the limit, its rest unread", b"GET VAR ups " * 100, "ERR INVALID-ARGUMENT"),
        ]
        for request, data, reply in cases:
            with self.subTest(request):
                client = self.connect()
                client.sock.sendall(data)
                self.assertEqual(client.line(), reply)
                self.assertRaises(EOFError, client.line)  # the server's side ended
                cut = seconds_until_cut(client.sock)
                self.assertIsNotNone(cut, "never cut")
                self.assertGreater(cut, LINGER_LIMIT * 0.75)
                self.assertLess(cut, LINGER_LIMIT + SWEEP_SLACK + 1)


class SecondaryTest(FixtureCase):
    """What a computer that shuts down on the UPS's word meets."""

    def test_a_secondary_speaking_the_rfc_names_attaches_is_counted_and_detaches(self):
        secondary = self.connect()
        self.assertEqual(secondary.ask("PROTVER"), ["1.3"])
        self.assertEqual(self.log_in(secondary, command="ATTACH"), ["OK"])
        self.assertEqual(self.fixture.state(), {"fsd": "0", "clients": "1"})
        self.assertEqual(secondary.ask("ATTACH ups"), ["ERR ALREADY-ATTACHED"])
        self.assertEqual(self.connect().ask("GET NUMATTACH ups"), ["NUMATTACH ups 1"])
        self.assertEqual(secondary.ask("DETACH"), ["OK Goodbye"])
        self.assertTrue(secondary.closed_by_server())
        wait_for(lambda: self.fixture.state()["clients"] == "0", what="the detach to count")

    def test_a_changed_password_holds_for_connections_already_open(self):
        early = self.connect()
        for request in ("USERNAME %s" % USER, 'PASSWORD "%s"' % PASSWORD):
            self.assertEqual(early.ask(request), ["OK"])
        self.fixture.tell("password new secret")
        self.fixture.state()  # the change is made
        self.assertEqual(early.ask("LOGIN ups"), ["ERR ACCESS-DENIED"])
        self.assertEqual(early.ask("FSD ups"), ["ERR ACCESS-DENIED"])
        self.assertEqual(self.log_in(self.connect(), "new secret"), ["OK"])
        self.assertEqual(self.fixture.state(), {"fsd": "0", "clients": "1"})

    def test_a_host_taken_off_the_allowed_ones_is_closed_at_its_next_command(self):
        self.restart("--allowed-hosts", "127.0.0.0/8, ::1")
        kept = self.connect()
        self.assertEqual(kept.ask("NETVER"), ["1.3"])
        self.fixture.tell("hosts ::1")
        self.fixture.state()
        kept.sock.sendall(b"NETVER\n")
        self.assertTrue(kept.closed_by_server(1))
        self.assertEqual(self.fixture.read_line(), "refused 127.0.0.1")
        self.assertEqual(self.connect("::1").ask("NETVER"), ["1.3"])


class BoundsTest(FixtureCase):
    """What one host, or a host with many addresses, can take."""

    def test_refused_addresses_are_reported_once_each_however_many_there_are(self):
        self.restart("--allowed-hosts", "::1")
        sources = ["127.0.%d.%d" % (1 + i // 200, 1 + i % 200) for i in range(310)]
        for source in sources + sources[:1]:
            self.assertTrue(self.connect(source=source).closed_by_server(1))
        self.assertEqual([self.fixture.read_line() for _ in sources], ["refused " + s for s in sources])
        self.fixture.tell("state")
        self.assertEqual(self.fixture.read_line(), "state fsd=0 clients=0")  # the first not again

    def test_five_wrong_passwords_shut_an_address_out_for_a_while(self):
        self.restart("--login-block-ms", "1500")
        for _ in range(5):
            self.assertEqual(self.log_in(self.connect(), "guess"), ["ERR ACCESS-DENIED"])
        late = self.connect()
        self.assertEqual(self.log_in(late), ["ERR ACCESS-DENIED"])
        self.assertEqual(self.log_in(self.connect(source="127.0.0.2")), ["OK"])
        self.assertEqual([self.fixture.read_line() for _ in range(5)],
                         ["login-refused 127.0.0.1"] * 4 + ["login-refused 127.0.0.1 blocked"])
        wait_for(lambda: late.ask("LOGIN ups") == ["OK"], what="the block to end")

    def test_one_address_holds_at_most_16_connections(self):
        first = [self.connect() for _ in range(16)]
        self.assertTrue(self.connect().closed_by_server(1))
        for client in first:
            self.assertEqual(client.ask("NETVER"), ["1.3"])
        self.assertEqual(self.connect(source="127.0.0.2").ask("NETVER"), ["1.3"])

    def test_idle_sockets_make_room_before_readers_and_readers_before_logins(self):
        self.restart("--max-connections", "4", "--recent-request-ms", "500")
        secondary = self.connect(source="127.0.0.2")
        self.assertEqual(self.log_in(secondary), ["OK"])
        reader = self.connect(source="127.0.0.3")
        self.assertEqual(reader.ask("NETVER"), ["1.3"])
        idle = [self.connect(source="127.0.0.4") for _ in range(4)]
        self.assertTrue(all(c.closed_by_server(1) for c in idle[:2]))
        self.assertEqual(reader.ask("NETVER"), ["1.3"])
        # Once its request is old, the reader is the longest silent of those not logged in.
        wait_for(lambda: self.connect(source="127.0.0.4") and reader.closed_by_server(0.001),
                 what="the reader to make room")
        self.assertEqual(secondary.ask("GET NUMLOGINS ups"), ["NUMLOGINS ups 1"])


class ThreadFaultTest(FixtureCase):

    def test_an_exception_on_the_servers_thread_is_reported_and_serving_goes_on(self):
        self.restart("--allowed-hosts", "::1", "--throw-on-refusal")
        for source in ("127.0.0.2", "127.0.0.3"):
            self.assertTrue(self.connect(source=source).closed_by_server(1))
            self.assertEqual(self.fixture.read_line(), "refused " + source)
            self.assertEqual(self.fixture.read_line(), "fault std::bad_alloc")
            self.assertEqual(self.connect("::1").ask("NETVER"), ["1.3"])


class BusyClientsTest(FixtureCase):
    """Connections asking together, several requests to a packet: the server
    puts off their next reads and shares one snapshot among the requests of
    one turn of its loop."""

    BURST = b"GET VAR ups ups.status\nGET VAR ups ups.load\nLIST VAR ups\nGET VAR ups battery.charge\n"

    def replies_to_burst(self, client):
        """The status from one burst's replies, after checking the others and their order."""
        status = client.line()
        self.assertEqual(client.line(), 'VAR ups ups.load "13"')
        listing = [client.line()]
        while not listing[-1].startswith("END LIST "):
            listing.append(client.line())
        self.assertEqual((listing[0], len(listing)), ("BEGIN LIST VAR ups", 27))
        self.assertEqual(client.line(), 'VAR ups battery.charge "100"')
        return status

    def test_every_connection_gets_its_replies_in_order_and_a_change_from_the_next_request_on(self):
        clients = [self.connect() for _ in range(8)]
        for round_ in range(120):
            if round_ == 60:
                self.fixture.tell("OB")
                self.fixture.state()  # answered once the change is made
            for client in clients:
                client.sock.sendall(self.BURST)
            expected = 'VAR ups ups.status "%s"' % ("OL" if round_ < 60 else "OB")
            for client in clients:
                self.assertEqual(self.replies_to_burst(client), expected, round_)


if __name__ == "__main__":
    unittest.main()
