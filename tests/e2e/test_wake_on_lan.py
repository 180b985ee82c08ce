"""Wake-on-LAN once the mains are back: each host's magic packet three times,
1 s apart, after the return and not before; a bad entry is named in the log."""

import socket
import time

from harness import E2ETestCase

FAIL_AT_S = 12.0  # after start-up, detection and a few polls
BACK_AT_S = 20.0
MAC = bytes.fromhex("001122334455")


class WakeOnLanTest(E2ETestCase):
    def listen(self):
        # Port 9 is below 1024: the tests run as root.
        listener = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind(("127.0.0.1", 9))
        listener.settimeout(0.25)
        self.addCleanup(listener.close)
        return listener

    @staticmethod
    def receive(listener, until, count):
        packets = []
        while len(packets) < count and time.monotonic() < until:
            try:
                data, _ = listener.recvfrom(2048)
            except socket.timeout:
                continue
            packets.append((time.monotonic(), data))
        return packets

    def test_hosts_get_three_packets_after_the_mains_return(self):
        listener = self.listen()
        sim = self.start_simulator(protocol="megatec", scenario={"timeline": [
            {"at": FAIL_AT_S, "set": {"ip": 0.0, "batt": 13.6, "bits": "10001001"}},
            {"at": BACK_AT_S, "set": {"ip": 230.0, "batt": 13.6, "bits": "00001001"}}]})
        self.wine.clear_settings()
        self.wine.seed_settings({"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1, "Action": 4,
                                 "Wake Hosts": "00:11:22:33:44:55@127.0.0.1, bogus",
                                 "Wake Delay": 0, "Wake Min Charge": 0})
        app = self.start_program("/show", fresh=False)
        app.wait_window()
        self.wait_text("LogM", lambda t: "Wake Hosts: 'bogus' is not a MAC address" in t, 40, "the bad entry")
        packets = self.receive(listener, sim.t0 + BACK_AT_S + 20, 3)
        self.assertEqual(len(packets), 3, "packets received")
        self.assertGreaterEqual(packets[0][0], sim.t0 + BACK_AT_S, "a packet before the mains returned")
        for _, data in packets:
            self.assertEqual(data, b"\xff" * 6 + MAC * 16)
        gaps = [b[0] - a[0] for a, b in zip(packets, packets[1:])]
        for gap in gaps:
            self.assertTrue(0.7 <= gap <= 2.5, "packets %.2f s apart" % gap)
        log = self.wait_text("LogM", lambda t: "Wake-on-LAN sent to 00:11:22:33:44:55" in t, 10, "the sent line")
        self.assertEqual(log.count("Wake-on-LAN"), 1)
        self.assertEqual(self.receive(listener, time.monotonic() + 3, 1), [], "more than three packets")
        self.assertTrue(app.alive())
