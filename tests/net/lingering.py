"""A peer that goes on sending after the server's last answer, never closing:
both servers read what it sends for a while, so that the answer is not lost to
a reset, and then cut it."""

import time

LINGER_LIMIT = 2.0  # seconds
SWEEP_SLACK = 1.0   # the longest sweep period, which checks the limit
SEND_EVERY = 0.05


def seconds_until_cut(sock, limit=LINGER_LIMIT + SWEEP_SLACK + 3):
    """Sends a byte every SEND_EVERY seconds, reading nothing, until a send
    fails because the server closed the connection; how long that took, or
    None past `limit`."""
    start = time.monotonic()
    while time.monotonic() - start < limit:
        try:
            sock.send(b"x")
        except OSError:  # the reset that the server's close brought
            return time.monotonic() - start
        time.sleep(SEND_EVERY)
    return None
