#!/usr/bin/python3
"""Runs veltrano.exe under Wine against the UPS simulator on COM1 until
Ctrl-C (or --duration seconds), then removes everything it started."""

import argparse
import json
import os
import signal
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.dont_write_bytecode = True
import harness  # noqa: E402


class Stop(Exception):
    pass


def on_signal(signum, frame):
    raise Stop()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build", "win"))
    ap.add_argument("--scenario", default=os.path.join(ROOT, "tools", "scenarios", "demo.json"))
    ap.add_argument("--duration", type=float, default=0, help="stop after this many seconds")
    ap.add_argument("--screenshot", default=os.path.join(ROOT, "shots", "demo.png"))
    args = ap.parse_args()

    signal.signal(signal.SIGINT, on_signal)
    signal.signal(signal.SIGTERM, on_signal)
    with open(args.scenario, encoding="utf-8") as f:
        scenario = json.load(f)

    # A display the user has is used as it is; otherwise a private Xvfb.
    wine = harness.Wine(args.build, use_display=os.environ.get("DISPLAY") or None)
    try:
        wine.start()
        print("Wine prefix: %s  display: %s" % (wine.prefix, wine.env["DISPLAY"]), flush=True)
        sim = wine.simulator(protocol="both", scenario=scenario)
        print("UPS simulator on %s (COM1), commands recorded in %s" % (sim.pty, sim.record_path),
              flush=True)
        app = wine.program("/show")
        # The window comes up before the port dialog; a remembered port shows none.
        harness.wait_for(lambda: app.dialog_shown() or not app.alive()
                         or (wine.probe_text("ReportStringE") or "").endswith("#"),
                         60, 0.3, "the COM Port dialog or a reply")
        if app.dialog_shown():
            print("COM Port dialog: choosing COM1", flush=True)
            wine.probe("click", "COMPortSB")
        harness.wait_for(lambda: (wine.probe_text("ReportStringE") or "").endswith("#")
                         or not app.alive(), 60, 0.5, "the first status reply")
        if not app.alive():
            print("veltrano.exe ended; its output is in %s" % app.output_path)
            return 1
        if args.screenshot:
            os.makedirs(os.path.dirname(args.screenshot), exist_ok=True)
            wine.screenshot(args.screenshot)
            print("screenshot: %s" % args.screenshot, flush=True)

        print("Running; Ctrl-C stops. The simulated mains fails 45 s after start and "
              "returns 60 s later.", flush=True)
        end = time.monotonic() + args.duration if args.duration else None
        last = None
        while app.alive() and (end is None or time.monotonic() < end):
            line = "%s | %s" % (wine.probe_text("ReportStringE"), wine.probe_text("StatusBar"))
            if line != last:
                print(time.strftime("%H:%M:%S"), line, flush=True)
                last = line
            time.sleep(1.0)
        if not app.alive():
            print("veltrano.exe ended (exit %s)" % app.proc.returncode)
        return 0
    except Stop:
        return 0
    finally:
        signal.signal(signal.SIGINT, signal.SIG_IGN)
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        print("cleaning up", flush=True)
        wine.stop()


if __name__ == "__main__":
    sys.exit(main())
