#!/usr/bin/python3
"""Idle cost of veltrano.exe polling the simulator every second under Wine,
next to a bare Win32 window (barewin.exe) measured in the same prefix.

Each program runs alone for the measuring time, so that the wineserver's CPU
time in that window can be put down to it. Prints a table; goal: at most
0.1 % of one core with the wineserver's share, anonymous memory at most 1.3 x
the floor (below), flat.

Veltrano runs as most users run it, hidden behind its notification icon;
--shown measures it with the window open. --build may be given more than
once: each build's veltrano.exe is measured in turn in the same prefix (an
old and a new one side by side); the bare window comes from the first.
--remote measures it reading its UPS from NUT's upsd on loopback (dummy-ups
serving a real unit's variables) instead of the simulator on COM1.

The bare window is measured twice: as it is, and with /floor (common controls
loaded, one idle worker thread). Under Wine those two alone cost megabytes
that no program using them can avoid; the floor shows how much of veltrano's
memory is its own.
"""

import argparse
import math
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.dont_write_bytecode = True
import harness  # noqa: E402

SAMPLE_EVERY_S = 10.0


def measure(wine, pid, seconds):
    """CPU seconds of the process and of the wineserver, and RssAnon samples."""
    server = harness.wineserver_pid(wine)
    t0 = time.monotonic()
    cpu0 = harness.proc_cpu_seconds(pid)
    srv0 = harness.proc_cpu_seconds(server) if server else 0.0
    rss = [harness.proc_rss_anon_kb(pid)]
    while time.monotonic() - t0 < seconds:
        time.sleep(min(SAMPLE_EVERY_S, seconds - (time.monotonic() - t0)))
        rss.append(harness.proc_rss_anon_kb(pid))
    wall = time.monotonic() - t0
    cpu = harness.proc_cpu_seconds(pid) - cpu0
    srv = (harness.proc_cpu_seconds(server) - srv0) if server else float("nan")
    return {"wall": wall, "cpu": cpu, "server": srv, "rss": rss}


def poll_period(sim, since):
    times = [c["t"] for c in sim.commands() if c["cmd"] == "Q1\r" and c["t"] >= since]
    if len(times) < 2:
        return float("nan")
    return (times[-1] - times[0]) / (len(times) - 1)


def run_barewin(wine, seconds, *args):
    exe = os.path.join(wine.build_dir, "barewin.exe")
    proc = subprocess.Popen(["wine", exe, *args], env=wine.env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(3.0)  # let it map its window before the first sample
        return measure(wine, proc.pid, seconds)
    finally:
        harness._stop_process(proc)


def polls(sim):
    return sum(c["cmd"] == "Q1\r" for c in sim.commands())


def measure_polling(wine, app, seconds, interval):
    rc, out = wine.probe("set", "RefreshUD", str(interval))
    note = "" if rc == 0 else "could not set RefreshUD (probe exit %s)" % rc
    settle = time.monotonic()
    time.sleep(6.0)  # a few polls at the new interval before measuring
    result = measure(wine, app.pid, seconds)
    result["note"] = note
    result["alive"] = app.alive()
    return result, settle


def run_veltrano(wine, exe, seconds, interval, shown):
    sim = wine.simulator(protocol="both")
    wine.exe = exe
    app = wine.program(*(["/show"] if shown else []))
    try:
        harness.wait_for(lambda: app.dialog_shown() or not app.alive(), 60, 0.3,
                         "the COM Port dialog")
        wine.probe("click", "COMPortSB")
        # The simulator's polls, not the log: a hidden window shows no log.
        harness.wait_for(lambda: polls(sim) >= 2, 60, 0.5, "the first polls")
        result, settle = measure_polling(wine, app, seconds, interval)
        result["period"] = poll_period(sim, settle + 3.0)
        return result
    finally:
        app.stop()
        sim.stop()


def run_veltrano_remote(wine, exe, seconds, interval, shown):
    from test_nut_remote import Upsd
    upsd = Upsd(wine.temp_dir("bench-upsd"))
    try:
        harness.wait_for(lambda: upsd.logins() == 0, 15, 0.2, "upsd serving the dummy UPS")
        wine.exe = exe
        wine.clear_settings()
        wine.seed_settings({"UPS Source": 1, "Remote Host": "127.0.0.1", "Remote Port": str(upsd.port),
                            "Remote UPS": "dummy", "Remote User": "monuser", "Remote Password": "secret"})
        app = wine.program(*(["/show"] if shown else []), fresh=False)
        try:
            harness.wait_for(lambda: upsd.logins() == 1, 60, 0.5, "the login to upsd")
            result, _ = measure_polling(wine, app, seconds, interval)
            result["period"] = float("nan")  # upsd keeps no account of the polls
            return result
        finally:
            app.stop()
    finally:
        upsd.stop()


def row(name, r):
    pct = 100.0 * r["cpu"] / r["wall"]
    srv_pct = 100.0 * r["server"] / r["wall"]
    return "%-13s %8.2f %7.3f %%  %8.2f %7.3f %%  %9d %9d %9d" % (
        name, r["cpu"], pct, r["server"], srv_pct, r["rss"][0], r["rss"][-1], max(r["rss"]))


def parse_args(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", action="append", metavar="DIR",
                    help="a win build tree to measure; may be repeated (default build/win)")
    ap.add_argument("--seconds", type=float, default=60.0)
    ap.add_argument("--interval", type=int, default=1, help="refresh interval in seconds")
    ap.add_argument("--shown", action="store_true", help="measure with the window open")
    ap.add_argument("--remote", action="store_true", help="read the UPS from upsd on loopback")
    args = ap.parse_args(argv)
    args.build = [os.path.abspath(b) for b in (args.build or [os.path.join(ROOT, "build", "win")])]
    return args


def main():
    args = parse_args()
    with harness.Wine(args.build[0]) as wine:
        # Veltrano first: by the time it has connected, the prefix's own
        # start-up work in the wineserver has died down for all runs.
        run = run_veltrano_remote if args.remote else run_veltrano
        velts = [(build, run(wine, os.path.join(build, "veltrano.exe"), args.seconds, args.interval, args.shown))
                 for build in args.build]
        bare = run_barewin(wine, args.seconds)
        floor = run_barewin(wine, args.seconds, "/floor")
        version = subprocess.run(["wine", "--version"], capture_output=True, text=True,
                                 env=wine.env).stdout.strip() or "?"
    for build, velt in velts:
        report(args, version, build, velt, bare, floor)
    return 0


def report(args, version, build, velt, bare, floor):
    print()
    print("== %s (window %s%s)" % (build, "shown" if args.shown else "hidden",
                                   ", UPS from upsd" if args.remote else ""))
    print("Idle cost over %.0f s each (Wine %s)" % (args.seconds, version))
    print("%-13s %8s %9s  %8s %9s  %9s %9s %9s" % (
        "program", "cpu s", "cpu", "server s", "server", "anon kB", "anon end", "anon max"))
    print(row("barewin.exe", bare))
    print(row("  /floor", floor))
    print(row("veltrano.exe", velt))
    ratio = velt["rss"][-1] / bare["rss"][-1] if bare["rss"][-1] else float("nan")
    growth = velt["rss"][-1] - velt["rss"][0]
    own = velt["rss"][-1] - floor["rss"][-1]
    print()
    print("poll period at a %d s interval: %.2f s (expected about %.1f s)" % (
        args.interval, velt["period"], 1.0 + 0.3 * max(1, math.ceil(args.interval * 1000 / 300))))
    print("veltrano anonymous memory: %.2f x the bare window's (goal <= 1.5); change over the run %+d kB"
          % (ratio, growth))
    print("the floor (common controls, one idle thread): %d kB = %.2f x the bare window's;"
          " veltrano %.2f x the floor, %d kB of its own" % (
              floor["rss"][-1], floor["rss"][-1] / bare["rss"][-1],
              velt["rss"][-1] / floor["rss"][-1], own))
    print("veltrano CPU %.3f %% of one core, with its wineserver share %.3f %% (goal <= 0.1 %%)"
          % (100.0 * velt["cpu"] / velt["wall"],
             100.0 * (velt["cpu"] + velt["server"] - bare["server"]) / velt["wall"]))
    if velt["note"]:
        print("note:", velt["note"])
    if not velt["alive"]:
        print("note: veltrano.exe ended during the measurement")


if __name__ == "__main__":
    sys.exit(main())
