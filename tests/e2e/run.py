#!/usr/bin/python3
"""Runs the Wine end-to-end tests with one booted prefix shared by all.

  tests/e2e/run.py                      every test
  tests/e2e/run.py -k polling           tests whose name contains "polling"
  tests/e2e/run.py --build build/win --summary FILE
  tests/e2e/run.py --tests tests/install   the packages' tests, in a prefix of their own

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
    args = ap.parse_args()

    if args.keep:
        os.environ["VELTRANO_E2E_KEEP"] = "1"
    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = ["*%s*" % p for p in args.patterns]
    tests = os.path.abspath(args.tests)
    suite = loader.discover(tests, pattern="test_*.py", top_level_dir=tests)
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
