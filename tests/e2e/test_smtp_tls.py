"""E-mail over TLS through the real SMTP client and Schannel under Wine,
against aiosmtpd with certificates this test makes with openssl. The test CA
is trusted only inside the run's prefix (smtp_tls_probe.exe trust)."""

import asyncio
import email
import email.policy
import os
import ssl
import subprocess
import tempfile
import threading
import time
import unittest

from aiosmtpd.smtp import SMTP, AuthResult

import test_reports
from harness import E2ETestCase, log, wait_for, windows_path

REPLY_MS = 3000  # the probe's reply limit; a stalled handshake must end within it
LETTERS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-=+ABCDE"


def probe_body(size):
    """The body smtp_tls_probe.exe sends for BODY_BYTES = size."""
    lines = []
    total = 0
    while total < size:
        lines.append("%06d %s\r\n" % (len(lines), LETTERS))
        total += len(lines[-1])
    return "".join(lines)


def openssl(*args, cwd):
    subprocess.run(["openssl"] + list(args), cwd=cwd, check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_ca(name, cwd):
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out",
            name + ".pem", "-days", "2", "-subj", "/CN=Veltrano test " + name,
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=cwd)


def make_server_cert(name, ca, dns, cwd):
    with open(os.path.join(cwd, name + ".ext"), "w") as ext:
        ext.write("subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n" % dns)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".csr",
            "-subj", "/CN=" + dns, cwd=cwd)
    openssl("x509", "-req", "-in", name + ".csr", "-CA", ca + ".pem", "-CAkey", ca + ".key",
            "-CAcreateserial", "-out", name + ".pem", "-days", "2", "-extfile", name + ".ext", cwd=cwd)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(cwd, name + ".pem"), os.path.join(cwd, name + ".key"))
    return context


def make_test_certs(prefix, names):
    """A trusted test CA and another one in a new folder, and a server context
    for each of `names`: {name: (ca, dns)}. Gives (folder, contexts)."""
    certs = tempfile.mkdtemp(prefix=prefix)
    make_ca("ca", certs)
    make_ca("other-ca", certs)
    contexts = {name: make_server_cert(name, ca, dns, certs) for name, (ca, dns) in names.items()}
    openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der", cwd=certs)
    return certs, contexts


def trust_test_ca(case, certs):
    """Adds the test CA to the prefix's ROOT store, for `case`'s run only."""
    tool = os.path.join(case.wine.build_dir, "smtp_tls_probe.exe")
    rc, _ = case.wine.run([tool, "trust", windows_path(os.path.join(certs, "ca.der"))])
    case.assertEqual(rc, 0, "the test CA was not added to the prefix's ROOT store")


GOOD_AND_UNTRUSTED = {"good": ("ca", "localhost"), "untrusted": ("other-ca", "localhost")}


class Recorder:
    """Every command that matters and every message, with the TLS state it came in."""

    def __init__(self):
        self.events = []
        self.lock = threading.Lock()

    def add(self, **event):
        with self.lock:
            self.events.append(event)

    def seen(self):
        with self.lock:
            return list(self.events)

    def take(self):
        with self.lock:
            events, self.events = self.events, []
        return events

    async def handle_DATA(self, server, session, envelope):
        tls = server.transport.get_extra_info("ssl_object")
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        self.add(event="DATA", server=server.name, tls=tls.version() if tls else None,
                 cipher=tls.cipher()[0] if tls else None, subject=message["Subject"],
                 body=message.get_content(), login=session.auth_data.login.decode() if session.auth_data else None)
        return "250 OK"


def accept_any(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=True, auth_data=auth_data)


class Peer(SMTP):
    def __init__(self, recorder, name, **kwargs):
        super().__init__(recorder, hostname="localhost", authenticator=accept_any, **kwargs)
        self.recorder, self.name = recorder, name

    def _tls(self):
        return self.transport.get_extra_info("ssl_object") is not None

    async def smtp_STARTTLS(self, arg):
        self.recorder.add(event="STARTTLS", server=self.name, tls=self._tls())
        await super().smtp_STARTTLS(arg)

    async def smtp_AUTH(self, arg):
        self.recorder.add(event="AUTH", server=self.name, tls=self._tls())
        await super().smtp_AUTH(arg)


class Servers:
    """The servers on one asyncio loop of their own thread, on loopback."""

    def __init__(self, recorder, contexts):
        self.recorder, self.contexts = recorder, contexts
        self.loop = asyncio.new_event_loop()
        self.thread = threading.Thread(target=self.loop.run_forever)
        self.ports = {}
        self.stalled = []

    async def _start(self):
        c, r = self.contexts, self.recorder

        def starttls(name, context):
            return lambda: Peer(r, name, tls_context=context, require_starttls=True, auth_require_tls=True)
        factories = {
            "starttls": (starttls("starttls", c["good"]), None),
            "no-starttls": (lambda: Peer(r, "no-starttls", auth_require_tls=False), None),
            # Its transport is TLS from the start, which aiosmtpd's own AUTH rule does not see.
            "implicit": (lambda: Peer(r, "implicit", auth_require_tls=False), c["good"]),
            "untrusted": (starttls("untrusted", c["untrusted"]), None),
            "wrong-name": (starttls("wrong-name", c["wrong-name"]), None),
        }
        servers = {name: await self.loop.create_server(factory, "127.0.0.1", 0, ssl=context)
                   for name, (factory, context) in factories.items()}
        servers["stall"] = await asyncio.start_server(self._stall, "127.0.0.1", 0)
        self.servers = servers
        self.ports = {name: s.sockets[0].getsockname()[1] for name, s in servers.items()}

    async def _stall(self, reader, writer):
        """Takes the ClientHello of an implicit-TLS client and answers nothing."""
        hello = await reader.read(65536)
        self.recorder.add(event="HELLO", server="stall", size=len(hello))
        self.stalled.append(writer)
        await reader.read(65536)  # until the client gives up and closes
        writer.close()

    def __enter__(self):
        self.thread.start()
        asyncio.run_coroutine_threadsafe(self._start(), self.loop).result(10)
        return self

    def __exit__(self, *exc):
        async def close():
            for s in self.servers.values():
                s.close()
            for w in self.stalled:
                w.close()
        asyncio.run_coroutine_threadsafe(close(), self.loop).result(10)
        self.loop.call_soon_threadsafe(self.loop.stop)
        self.thread.join(10)
        self.loop.close()


class SmtpTlsTest(E2ETestCase):
    @classmethod
    def setUpClass(cls):
        cls.certs, cls.contexts = make_test_certs(
            "veltrano-tls-", dict(GOOD_AND_UNTRUSTED, **{"wrong-name": ("ca", "other.test")}))

    def setUp(self):
        super().setUp()
        self.tool = os.path.join(self.wine.build_dir, "smtp_tls_probe.exe")
        trust_test_ca(self, self.certs)

    def send(self, port, security, body_bytes=200):
        rc, out = self.wine.run([self.tool, "send", "localhost", str(port), str(security), "1",
                                 str(body_bytes), str(REPLY_MS)], timeout=60)
        self.assertEqual(rc, 0, out)
        result = dict(line.split(" ", 1) for line in out.replace("\r\n", "\n").splitlines() if " " in line)
        result["ms"] = int(result.get("ms", "-1"))
        return result

    def test_mail_goes_over_tls_only_to_a_trusted_server_of_the_right_name(self):
        recorder = Recorder()
        big = 300 * 1024
        cases = [
            # server, security, body bytes, outcome, what the log says, events the server saw
            ("starttls", 1, 200, "Success", "", ["STARTTLS", "AUTH", "DATA"]),
            ("no-starttls", 1, 200, "FailedWithoutText", "offers no STARTTLS", []),
            ("implicit", 2, 200, "Success", "", ["AUTH", "DATA"]),
            ("untrusted", 1, 200, "FailedWithoutText", "Certificate not trusted", ["STARTTLS"]),
            ("wrong-name", 1, 200, "FailedWithoutText", "Certificate name mismatch", ["STARTTLS"]),
            ("stall", 2, 200, "FailedWithoutText", "TLS handshake failed", ["HELLO"]),
            ("starttls", 1, big, "Success", "", ["STARTTLS", "AUTH", "DATA"]),
        ]
        with Servers(recorder, self.contexts) as servers:
            for server, security, size, outcome, reason, events in cases:
                with self.subTest(server=server, size=size):
                    started = time.monotonic()
                    result = self.send(servers.ports[server], security, size)
                    log("TLS case %s (%d bytes): %s in %.1f s" % (server, size, result, time.monotonic() - started))
                    self.assertEqual(result.get("outcome"), outcome, result)
                    self.assertIn(reason, result.get("tls", ""))
                    self.assertLess(result["ms"], REPLY_MS + 1500)
                    if server == "stall":
                        self.assertGreaterEqual(result["ms"], REPLY_MS - 100)
                    seen = recorder.take()
                    self.assertEqual([e["event"] for e in seen], events)
                    for e in seen:
                        if e["event"] in ("AUTH", "DATA"):
                            self.assertTrue(e["tls"], e)  # AUTH and mail only after the handshake
                        if e["event"] == "STARTTLS":
                            self.assertFalse(e["tls"])
                    if outcome == "Success":
                        data = seen[-1]
                        log("server saw %s with %s" % (data["tls"], data["cipher"]))
                        self.assertIn(data["tls"], ("TLSv1.2", "TLSv1.3"))
                        self.assertEqual(data["login"], "tls-user")
                        self.assertEqual(data["body"].replace("\r\n", "\n"), probe_body(size).replace("\r\n", "\n"))

    def test_power_fail_warning_reaches_a_starttls_server(self):
        recorder = Recorder()
        with Servers(recorder, self.contexts) as servers:
            values = {"SMTP Host": "localhost", "SMTP Port": str(servers.ports["starttls"]), "SMTP Auth": True,
                      "SMTP Login": "ups", "SMTP Password": "pw", "SMTP Security": 1, "SMTP Warnings": True,
                      "SMTP From": "Veltrano <ups@example.com>", "SMTP Mail": "admin@example.com"}
            scenario = {"timeline": [{"at": test_reports.FAIL_AT_S, "set": {"ip": 0.0, "bits": "10001001"}}]}
            test_reports.ReportsTest.start_with(self, values, protocol="megatec", scenario=scenario)

            def warning():
                return next((e for e in recorder.seen() if e["event"] == "DATA"), None)
            wait_for(warning, 40, 0.25, "the power-fail warning over TLS")
            data = warning()
            self.assertTrue(data["subject"].startswith("Warning - Power fail"), data["subject"])
            self.assertIn(data["tls"], ("TLSv1.2", "TLSv1.3"))
            self.assertEqual([e["event"] for e in recorder.seen()][:2], ["STARTTLS", "AUTH"])


if __name__ == "__main__":
    unittest.main()
