#!/usr/bin/python3
"""The status page of veltrano.exe under Wine, polling the simulator, measured
by bench/page_wrk.sh beside nginx; then its anonymous memory before and after,
to show that the load leaves nothing behind.

Usage: bench/page_wine.py [--duration SECONDS]   (needs build/win)
"""

import argparse
import os
import socket
import subprocess
import sys
import time
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.dont_write_bytecode = True
import harness  # noqa: E402


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--duration", type=int, default=10)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "win"))
    args = parser.parse_args()
    port = free_port()
    url = "http://127.0.0.1:%d/" % port
    with harness.Wine(args.build) as wine:
        sim = wine.simulator(protocol="megatec")
        wine.clear_settings()
        wine.seed_settings({"COM Port": 1, "COM MaxAttempts": 0, "Refresh Interval": 1,
                            "HTTP Server": True, "HTTP Port": str(port)})
        app = wine.program(fresh=False)
        app.wait_window()

        def has_readings():
            try:
                with urllib.request.urlopen(url, timeout=2) as r:
                    return b"I/P Voltage = 2" in r.read()
            except OSError:
                return False
        harness.wait_for(has_readings, 60, 0.5, "the page with readings")
        before = harness.proc_rss_anon_kb(app.pid)
        subprocess.run(["bash", os.path.join(ROOT, "bench", "page_wrk.sh"), "--duration",
                        str(args.duration), url], check=True)
        time.sleep(2.0)
        after = harness.proc_rss_anon_kb(app.pid)
        print("veltrano.exe anonymous memory: %d kB before, %d kB after the load" % (before, after))
        app.stop()
        sim.stop()


if __name__ == "__main__":
    main()
