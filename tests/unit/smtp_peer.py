#!/usr/bin/env python3
"""SMTP servers on loopback for the SMTP client's tests, each on a free port.

Prints one line "READY {name: port, ...}" once all of them listen, then one
JSON line per event: every message accepted, as Python's email package reads
it, and every line the silent server receives. Runs until terminated.

  plain        aiosmtpd offering no AUTH
  login        aiosmtpd offering "AUTH LOGIN PLAIN"
  login-old    offers the older form "auth=login"
  plain-only   offers "AUTH PLAIN CRAM-MD5", yet would take AUTH LOGIN
  helo-only    refuses EHLO, takes HELO
  silent       greets, then never answers
  drop         greets, then closes at the first command
  flood-line   greets with one endless line
  flood-lines  greets with endless continuation lines
  fake-tls     offers STARTTLS and speaks the made-up TLS of the tests' fake
               session: "FAKE-HELLO" answered "FAKE-DONE", then records of
               header 17 03 03 and length around plaintext
  fake-tls-inject   the same, with a plaintext reply right after its 220
  fake-tls-ticket   the same, sending "TICKET" after the handshake as a
               message the session must answer ("TICKET-ACK", no reply to it)
  fake-no-starttls  offers AUTH LOGIN but no STARTTLS

The aiosmtpd servers refuse every recipient whose address starts "refused",
and put off (451) every one whose address starts "later".
"""
import asyncio
import email
import email.policy
import json
import logging
import sys

from aiosmtpd.smtp import SMTP, AuthResult


def emit(record):
    sys.stdout.write(json.dumps(record) + "\n")
    sys.stdout.flush()


class Recorder:
    def __init__(self, name):
        self.name = name

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("refused"):
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        if address.startswith("later"):
            return "451 4.3.0 <%s>: Try again later" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.content, policy=email.policy.default)
        credentials = session.auth_data
        emit({
            "server": self.name,
            "helo": session.host_name,
            "extended": session.extended_smtp,
            "login": credentials.login.decode("latin-1") if credentials else None,
            "password": credentials.password.decode("latin-1") if credentials else None,
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from": str(message["From"]),
            "to": str(message["To"]),
            "subject": str(message["Subject"]),
            "x_mailer": str(message["X-Mailer"]),
            "date": str(message["Date"]),
            "message_id": str(message["Message-ID"]),
            "body": message.get_payload(decode=True).decode(message.get_content_charset()),
            "defects": len(message.defects),
        })
        return "250 OK"


def accept_any(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=True, auth_data=auth_data)


class Peer(SMTP):
    """aiosmtpd with the AUTH line of its EHLO reply replaced, or EHLO refused."""

    def __init__(self, handler, auth_line=None, refuse_ehlo=False, **kwargs):
        super().__init__(handler, hostname="peer.test", **kwargs)
        self.auth_line = auth_line
        self.refuse_ehlo = refuse_ehlo

    async def push(self, status):
        if self.auth_line and isinstance(status, str) and status.startswith("250-AUTH "):
            status = "250-" + self.auth_line
        await super().push(status)

    async def smtp_EHLO(self, hostname):
        if self.refuse_ehlo:
            await self.push("502 5.5.1 EHLO not accepted")
            return
        await super().smtp_EHLO(hostname)


def aiosmtpd_server(name, offer_auth=True, **kwargs):
    auth = dict(auth_require_tls=False, authenticator=accept_any) if offer_auth else {}
    return lambda: Peer(Recorder(name), **auth, **kwargs)


GREETING = b"220 peer.test ESMTP\r\n"


async def silent(reader, writer):
    writer.write(GREETING)
    while line := await reader.readline():
        emit({"server": "silent", "line": line.decode("latin-1").rstrip("\r\n")})
    writer.close()


async def drop(reader, writer):
    writer.write(GREETING)
    await reader.readline()
    writer.close()


def fake_tls(name, offer=True, inject=b"", ticket=False):
    """Reports every command line with the TLS state it came in."""
    async def serve(reader, writer):
        tls = False
        plain = b""

        async def readline():
            nonlocal plain
            if not tls:
                return await reader.readline()
            while b"\n" not in plain:
                header = await reader.readexactly(5)
                plain += await reader.readexactly(int.from_bytes(header[3:5], "big"))
            line, _, plain = plain.partition(b"\n")
            return line + b"\n"

        def send(data):
            writer.write(b"\x17\x03\x03" + len(data).to_bytes(2, "big") + data if tls else data)

        replies = []  # to the lines of AUTH LOGIN
        send(GREETING)
        try:
            while line := await readline():
                text = line.decode("latin-1").rstrip("\r\n")
                emit({"server": name, "line": text, "tls": tls})
                verb = text.split(" ")[0].upper()
                if text == "TICKET-ACK":
                    continue
                if replies:
                    send(replies.pop(0))
                elif verb == "EHLO":
                    send(b"250-peer.test\r\n" + (b"250-STARTTLS\r\n" if offer and not tls else b"")
                         + b"250 AUTH LOGIN\r\n")
                elif verb == "STARTTLS":
                    writer.write(b"220 go ahead\r\n" + inject)
                    await reader.readexactly(len(b"FAKE-HELLO\r\n"))
                    writer.write(b"FAKE-DONE\r\n")
                    tls = True
                    if ticket:
                        send(b"TICKET\r\n")
                elif verb == "AUTH":
                    replies = [b"334 UGFzc3dvcmQ6\r\n", b"235 OK\r\n"]
                    send(b"334 VXNlcm5hbWU6\r\n")
                elif verb == "DATA":
                    send(b"354 go on\r\n")
                    while (await readline()) != b".\r\n":
                        pass
                    send(b"250 OK\r\n")
                elif verb == "QUIT":
                    send(b"221 bye\r\n")
                    break
                else:
                    send(b"250 OK\r\n")
        except (asyncio.IncompleteReadError, ConnectionError):
            pass
        writer.close()
    return serve


def flood(chunk):
    async def serve(reader, writer):
        try:
            writer.write(chunk[:4])
            while True:
                writer.write(chunk[4:])
                await writer.drain()
        except (ConnectionError, OSError):
            pass
        writer.close()
    return serve


async def main():
    # aiosmtpd warns of its own deprecated calls on every AUTH.
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    protocols = {
        "plain": aiosmtpd_server("plain", offer_auth=False),
        "login": aiosmtpd_server("login"),
        "login-old": aiosmtpd_server("login-old", auth_line="auth=login"),
        "plain-only": aiosmtpd_server("plain-only", auth_line="AUTH PLAIN CRAM-MD5"),
        "helo-only": aiosmtpd_server("helo-only", refuse_ehlo=True),
    }
    streams = {
        "silent": silent,
        "drop": drop,
        "flood-line": flood(b"220 " + b"x" * 65536),
        "flood-lines": flood(b"220-" + b"flood\r\n220-" * 4096),
        "fake-tls": fake_tls("fake-tls"),
        "fake-tls-inject": fake_tls("fake-tls-inject", inject=b"554 injected\r\n"),
        "fake-tls-ticket": fake_tls("fake-tls-ticket", ticket=True),
        "fake-no-starttls": fake_tls("fake-no-starttls", offer=False),
    }
    loop = asyncio.get_running_loop()
    servers = {}
    for name, factory in protocols.items():
        servers[name] = await loop.create_server(factory, "127.0.0.1", 0)
    for name, handler in streams.items():
        servers[name] = await asyncio.start_server(handler, "127.0.0.1", 0)
    ports = {name: s.sockets[0].getsockname()[1] for name, s in servers.items()}
    sys.stdout.write("READY " + json.dumps(ports) + "\n")
    sys.stdout.flush()
    await asyncio.Event().wait()


if __name__ == "__main__":
    try:
        asyncio.run(main())
    except KeyboardInterrupt:
        pass
