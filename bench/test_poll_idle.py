"""bench/poll_idle.sh builds build/win only when no tree is given, so that
given trees (an old and a new build) are measured as they are; the measuring
script takes each --build in order. Run: python3 -m unittest discover -s bench"""

import os
import stat
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
import poll_idle  # noqa: E402


class ScriptBuildsOnlyWithoutATree(unittest.TestCase):
    def run_script(self, *args):
        """Runs the script with cmake and bash (for the set-up) replaced by
        stubs that note their calls; --help ends the measuring at once."""
        stubs = tempfile.mkdtemp(prefix="poll-idle-stubs-")
        calls = os.path.join(stubs, "calls")
        for name in ("cmake", "bash"):
            path = os.path.join(stubs, name)
            with open(path, "w") as f:
                f.write("#!/bin/sh\necho %s \"$@\" >> %s\n" % (name, calls))
            os.chmod(path, stat.S_IRWXU)
        env = dict(os.environ, PATH=stubs + os.pathsep + os.environ["PATH"])
        done = subprocess.run(["/bin/bash", os.path.join(HERE, "poll_idle.sh"), *args, "--help"],
                              env=env, capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("--build", done.stdout)
        try:
            with open(calls) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def test_given_trees_are_not_built(self):
        for args in (["--build", "old/win"], ["--build=old/win"],
                     ["--seconds", "20", "--build", "a", "--build", "b"]):
            with self.subTest(args=args):
                self.assertEqual(self.run_script(*args), [])

    def test_without_a_tree_build_win_is_set_up_and_built(self):
        calls = self.run_script("--seconds", "20")
        self.assertEqual(calls[0], "bash scripts/setup.sh")
        self.assertTrue(any(c.startswith("cmake --build build/win") for c in calls), calls)


class MeasuringTakesEachTreeInOrder(unittest.TestCase):
    def test_trees(self):
        default = os.path.join(os.path.dirname(HERE), "build", "win")
        cases = [([], [default]),
                 (["--build", "old"], [os.path.abspath("old")]),
                 (["--build", "old", "--build", "new"], [os.path.abspath("old"), os.path.abspath("new")])]
        for argv, builds in cases:
            with self.subTest(argv=argv):
                self.assertEqual(poll_idle.parse_args(argv).build, builds)


if __name__ == "__main__":
    unittest.main()
