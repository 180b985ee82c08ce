#!/usr/bin/python3
"""Runs the Wine end-to-end tests with one booted prefix shared by all.

  tests/e2e/run.py                      every test
  tests/e2e/run.py -k polling           tests whose name contains "polling"
  tests/e2e/run.py --build build/win --summary FILE
  tests/e2e/run.py --tests tests/install   the packages' tests, in a prefix of their own
  tests/e2e/run.py --shard 0/2          the first of two parts, for two runs side by side

Ends with "N passed, M failed"; exits 1 when anything failed.
"""

import argparse
import os
import signal
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
import harness  # noqa: E402

# The whole Wine part must leave the test run inside its 20 minutes.
RUN_LIMIT_S = 14 * 60


class TimedResult(unittest.TextTestResult):
    """Says how long each test took, to see where the run's minutes go."""

    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def stopTest(self, test):
        super().stopTest(test)
        self.stream.write("  (%.1f s)\n" % (time.monotonic() - self._started))
        self.stream.flush()


class RunTimeout(KeyboardInterrupt):
    """Like Ctrl-C, so that unittest lets it through instead of blaming one test."""


# Seconds each test file took in a full run: the parts of a sharded run are
# made of whole files, balanced by these. A file not listed counts as 20 s.
FILE_SECONDS = {
    "test_outbox": 156, "test_settings": 134, "test_power": 127, "test_history": 121, "test_nut": 112,
    "test_bad_input": 107, "test_nut_commands": 96, "test_detection": 75, "test_service_run": 69,
    "test_shutdown_action": 62, "test_tray": 58, "test_lost_link": 56, "test_reports": 33, "test_wake_on_lan": 33,
    "test_polling": 33, "test_nut_remote": 26, "test_service_install": 26, "test_smtp_tls": 26,
    "test_history_page": 25, "test_window_controls": 17, "test_port_dialog": 13, "test_captions": 10,
    "test_https_post": 5,
}


def flatten(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from flatten(item)
        else:
            yield item


def shard(suite, index, count):
    """The tests of part `index` of `count`: whole files, the longest first
    into the part with the least time so far."""
    tests = list(flatten(suite))
    files = sorted({t.__class__.__module__ for t in tests},
                   key=lambda f: (-FILE_SECONDS.get(f, 20), f))
    load, part_of = [0] * count, {}
    for f in files:
        part = load.index(min(load))
        part_of[f] = part
        load[part] += FILE_SECONDS.get(f, 20)
    return unittest.TestSuite(t for t in tests if part_of[t.__class__.__module__] == index)


def _on_alarm(signum, frame):
    raise RunTimeout("end-to-end run exceeded %d s" % RUN_LIMIT_S)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(harness.REPO, "build", "win"))
    ap.add_argument("--tests", default=HERE, help="the folder whose test_*.py to run")
    ap.add_argument("--summary", help="write 'PASSED FAILED' to this file")
    ap.add_argument("-k", action="append", dest="patterns", default=[],
                    help="run only tests whose name contains this")
    ap.add_argument("--keep", action="store_true", help="keep the prefix for a look")
    ap.add_argument("--shard", help="K/N: run only part K (from 0) of N")
    args = ap.parse_args()

    if args.keep:
        os.environ["VELTRANO_E2E_KEEP"] = "1"
    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = ["*%s*" % p for p in args.patterns]
    tests = os.path.abspath(args.tests)
    suite = loader.discover(tests, pattern="test_*.py", top_level_dir=tests)
    if args.shard:
        index, count = (int(n) for n in args.shard.split("/"))
        suite = shard(suite, index, count)
    total = suite.countTestCases()

    passed, failed = 0, total
    started = time.monotonic()
    signal.signal(signal.SIGALRM, _on_alarm)
    signal.alarm(RUN_LIMIT_S)
    try:
        for exe in ("veltrano.exe", "uiprobe.exe"):
            if not os.path.exists(os.path.join(args.build, exe)):
                raise RuntimeError("%s is not built in %s" % (exe, args.build))
        harness.shared(args.build)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout, resultclass=TimedResult).run(suite)
        bad = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
        passed, failed = result.testsRun - bad - len(result.skipped), bad
    except (Exception, KeyboardInterrupt) as e:  # boot failure or the run's time limit
        print("end-to-end run aborted: %s" % e)
    finally:
        signal.alarm(0)
        if harness._shared is not None:
            harness._shared.stop()
            harness._shared = None

    if total == 0:
        print("no end-to-end tests found")
    print("end-to-end tests took %.0f s" % (time.monotonic() - started))
    if args.summary:
        with open(args.summary, "w") as f:
            f.write("%d %d\n" % (passed, failed))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
