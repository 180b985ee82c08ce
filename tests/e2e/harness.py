"""Runs Veltrano under Wine against the UPS simulator, for end-to-end tests,
the demo and the benchmark. Standard library only.

One `Wine` per run: a throwaway prefix booted once, its own Xvfb, and a
persistent wineserver so that each UI probe call starts quickly. Each test
starts its own `Simulator` and `Program` and stops only those.
"""

import atexit
import glob
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SIMULATOR = os.path.join(REPO, "tools", "upssim.py")
PYTHON = "/usr/bin/python3"
SETTINGS_KEY = r"HKCU\Software\Quorvane\Veltrano"
BOOT_TIMEOUT_S = 240


def log(msg):
    sys.stderr.write("[harness %s] %s\n" % (time.strftime("%H:%M:%S"), msg))
    sys.stderr.flush()


def wait_for(condition, timeout, interval=0.25, what="condition"):
    """Calls `condition` until it gives a true value, which is returned.
    Raises TimeoutError after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def _stop_process(proc, timeout=5.0, sig=signal.SIGTERM):
    """Ends a process we started: the signal first, SIGKILL if it lingers."""
    if proc is None or proc.poll() is not None:
        return
    try:
        proc.send_signal(sig)
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(timeout)
    except OSError:
        pass


class Xvfb:
    """A virtual X server on a display number it picks itself."""

    # Room for the main window at 144 DPI.
    def __init__(self, screen="1600x1200x24"):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", screen,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        try:
            number = self._read_display(read_fd, timeout=30)
        finally:
            os.close(read_fd)
        self.display = ":%s" % number

    def _read_display(self, fd, timeout):
        deadline = time.monotonic() + timeout
        data = b""
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or self.proc.poll() is not None:
                self.stop()
                raise RuntimeError("Xvfb did not start")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 64)
                if not chunk:
                    break
                data += chunk
        if not data.strip().isdigit():
            self.stop()
            raise RuntimeError("Xvfb gave no display number")
        return data.strip().decode()

    def stop(self):
        _stop_process(self.proc)


class Wine:
    """A booted throwaway Wine prefix with its display."""

    def __init__(self, build_dir, use_display=None, keep_prefix=False):
        self.build_dir = os.path.abspath(build_dir)
        self.exe = os.path.join(self.build_dir, "veltrano.exe")
        self.probe_exe = os.path.join(self.build_dir, "uiprobe.exe")
        self.keep_prefix = keep_prefix
        self.xvfb = None
        self.prefix = None
        self.workdir = None
        self.env = None
        self._use_display = use_display
        self.started = []  # simulators and programs, stopped at the latest in stop()

    # -- lifetime

    def start(self):
        self.workdir = tempfile.mkdtemp(prefix="veltrano-e2e-")
        self.prefix = os.path.join(self.workdir, "prefix")
        if self._use_display:
            display = self._use_display
        else:
            self.xvfb = Xvfb()
            display = self.xvfb.display
        env = dict(os.environ)
        env.update(WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
        env.pop("WAYLAND_DISPLAY", None)
        self.env = env
        log("booting Wine prefix %s on display %s" % (self.prefix, display))
        started = time.monotonic()
        os.makedirs(self.prefix)
        # A persistent server keeps every later wine start (probe calls) fast.
        self._server_log = open(os.path.join(self.workdir, "wineserver.log"), "wb")
        subprocess.run(["wineserver", "-p"], env=env, check=True, timeout=30,
                       stdout=self._server_log, stderr=self._server_log)
        try:
            subprocess.run(["wineboot", "-i"], env=env, timeout=BOOT_TIMEOUT_S,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        except subprocess.TimeoutExpired:
            self.stop()
            raise RuntimeError("wineboot did not finish in %d s" % BOOT_TIMEOUT_S)
        log("prefix booted in %.1f s" % (time.monotonic() - started))
        return self

    def stop(self):
        for thing in reversed(self.started):
            try:
                thing.stop()
            except Exception as e:  # keep tearing down the rest
                log("stopping %r: %s" % (thing, e))
        self.started = []
        if self.env is not None:
            try:
                subprocess.run(["wineserver", "-k"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                subprocess.run(["wineserver", "-w"], env=self.env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except (subprocess.TimeoutExpired, OSError) as e:
                log("wineserver did not stop: %s" % e)
        if self.xvfb:
            self.xvfb.stop()
            self.xvfb = None
        if self.workdir and not self.keep_prefix:
            shutil.rmtree(self.workdir, ignore_errors=True)
        elif self.workdir:
            log("kept %s" % self.workdir)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def com1(self):
        return os.path.join(self.prefix, "dosdevices", "com1")

    def temp_dir(self, name):
        return tempfile.mkdtemp(prefix=name + "-", dir=self.workdir)

    # -- helpers run inside the prefix

    def run(self, args, timeout=30):
        """Runs a Windows command line in the prefix; gives (rc, stdout)."""
        try:
            done = subprocess.run(["wine"] + list(args), env=self.env, timeout=timeout,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            return None, ""
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def probe(self, *args, timeout=20):
        """One UI probe query: (exit code, stdout with CRLF made LF)."""
        rc, out = self.run([self.probe_exe] + [str(a) for a in args], timeout=timeout)
        return rc, out.replace("\r\n", "\n")

    def probe_text(self, name):
        """Text of a control, or None when it cannot be read."""
        rc, out = self.probe("get", name)
        if rc != 0:
            return None
        return out[:-1] if out.endswith("\n") else out

    def seed_settings(self, values, key=SETTINGS_KEY):
        """Writes settings before a start: {"Refresh Interval": 1, "Name": "text"};
        ints become REG_DWORD, bools REG_DWORD 0/1, str REG_SZ. One import for
        all: each reg call costs a second or more of Wine's start-up."""
        lines = ["Windows Registry Editor Version 5.00", "", "[%s]" % key.replace("HKLM", "HKEY_LOCAL_MACHINE")
                 .replace("HKCU", "HKEY_CURRENT_USER")]
        for name, value in values.items():
            if isinstance(value, (bool, int)):
                data = "dword:%08x" % (int(value) & 0xFFFFFFFF)
            else:
                data = '"%s"' % str(value).replace("\\", "\\\\").replace('"', '\\"')
            lines.append('"%s"=%s' % (name, data))
        path = os.path.join(self.temp_dir("seed"), "settings.reg")
        with open(path, "w", encoding="utf-16", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        # Wine's reg now and then fails a write while the last test's
        # program is still going: a second and third try get it.
        for attempt in range(3):
            rc, _ = self.run(["reg", "import", windows_path(path)])
            if rc == 0:
                return
            time.sleep(0.5 * (attempt + 1))
        raise RuntimeError("reg import of %r failed" % sorted(values))

    def reg_values(self, key):
        """{name: (type, data)} of a registry key; None when it does not exist."""
        rc, out = self.run(["reg", "query", key])
        if rc != 0:
            return None
        values = {}
        for line in out.splitlines():
            m = re.match(r"\s+(.+?)\s+(REG_\w+)\s*(.*)$", line)
            if m:
                values[m.group(1)] = (m.group(2), m.group(3).strip())
        return values

    def forget_history(self):
        """Removes the user's history file, and the alerts waiting in it: an
        earlier test's outbox must not send into this one."""
        for stale in glob.glob(os.path.join(self.prefix, "drive_c", "users", "*", "AppData", "Local",
                                            "Veltrano", "history.db*")):
            os.remove(stale)

    def clear_settings(self):
        """Forgets everything a previous run saved (the remembered port too)."""
        self.run(["reg", "delete", SETTINGS_KEY, "/f"])

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", "-display", self.env["DISPLAY"], path],
                       timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # -- things a test starts

    def simulator(self, **kwargs):
        sim = Simulator(self, **kwargs)
        self.started.append(sim)
        return sim.start()

    def program(self, *args, fresh=True):
        if fresh:
            self.clear_settings()
        app = Program(self, args)
        self.started.append(app)
        return app.start()


class Simulator:
    """The UPS simulator on a pty linked as COM1 of the prefix."""

    def __init__(self, wine, protocol="megatec", fault=None, scenario=None, echo=None,
                 answer_from=None, extra=()):
        self.wine = wine
        self.dir = wine.temp_dir("sim")
        self.record_path = os.path.join(self.dir, "record.jsonl")
        self.stderr_path = os.path.join(self.dir, "stderr.txt")
        args = [PYTHON, SIMULATOR, "--link", wine.com1, "--protocol", protocol,
                "--record", self.record_path]
        if fault:
            args += ["--fault", fault]
        if scenario is not None:
            path = os.path.join(self.dir, "scenario.json")
            with open(path, "w", encoding="utf-8") as f:
                json.dump(scenario, f)
            args += ["--scenario", path]
        if echo:
            args += ["--echo", echo]
        if answer_from:
            args += ["--answer-from", str(answer_from)]
        self.args = args + list(extra)
        self.proc = None
        self.pty = None
        self.t0 = None

    def start(self):
        self._stderr = open(self.stderr_path, "wb")
        self.proc = subprocess.Popen(self.args, stdout=subprocess.PIPE, stderr=self._stderr,
                                     stdin=subprocess.DEVNULL)
        line = self._read_line(timeout=15)
        if not line.startswith("READY "):
            self.stop()
            raise RuntimeError("simulator did not start: %r" % line)
        self.pty = line.split(" ", 1)[1].strip()
        self.t0 = self._serve_start() or time.monotonic()
        return self

    def _read_line(self, timeout):
        deadline = time.monotonic() + timeout
        data = b""
        fd = self.proc.stdout.fileno()
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0:
                break
            ready, _, _ = select.select([fd], [], [], left)
            if not ready:
                break
            chunk = os.read(fd, 1)
            if not chunk:
                break
            data += chunk
        return data.decode("utf-8", "replace")

    def _serve_start(self):
        # The simulator logs its start on the same monotonic clock we use.
        try:
            with open(self.stderr_path, "r", encoding="utf-8", errors="replace") as f:
                m = re.search(r"t0=([0-9.]+)", f.read())
            return float(m.group(1)) if m else None
        except OSError:
            return None

    def commands(self):
        """Received commands: [{"t": monotonic, "wall": time, "cmd": "Q1\\r"}]."""
        out = []
        try:
            with open(self.record_path, "r", encoding="utf-8") as f:
                for line in f:
                    line = line.strip()
                    if line:
                        try:
                            out.append(json.loads(line))
                        except ValueError:
                            pass  # a line being written right now
        except FileNotFoundError:
            pass
        return out

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def stop(self):
        _stop_process(self.proc)
        if self.proc and self.proc.stdout:
            self.proc.stdout.close()
        if getattr(self, "_stderr", None):
            self._stderr.close()
            self._stderr = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class Program:
    """veltrano.exe running in the prefix."""

    def __init__(self, wine, args):
        self.wine = wine
        self.args = list(args)
        self.proc = None
        self.output_path = os.path.join(wine.temp_dir("veltrano"), "output.txt")

    def start(self):
        self._output = open(self.output_path, "wb")
        # The wine launcher execs the program's own process: proc.pid is it.
        self.proc = subprocess.Popen(["wine", self.wine.exe] + self.args, env=self.wine.env,
                                     cwd=self.wine.workdir, stdin=subprocess.DEVNULL,
                                     stdout=self._output, stderr=subprocess.STDOUT)
        return self

    @property
    def pid(self):
        return self.proc.pid

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def window_up(self):
        return self.wine.probe("exists", "ReportStringE")[0] == 0

    def wait_window(self, timeout=60):
        wait_for(lambda: self.window_up() or not self.alive(), timeout, 0.3, "the main window")
        if not self.alive():
            raise RuntimeError("veltrano.exe ended at start (exit %s)" % self.proc.returncode)

    def dialog_shown(self, caption="COM Port"):
        return self.wine.probe("exists", "--caption", caption)[0] == 0

    def responsive(self):
        """The process lives and its window answers a query."""
        return self.alive() and self.wine.probe("--timeout", "5000", "state", "ReportStringE")[0] == 0

    def has_exit_button(self):
        return self.wine.probe("exists", "SpeedButton3")[0] == 0

    def exit(self, timeout=20):
        """Asks the program to quit the way a user does (modal windows closed,
        then Exit); gives True when it ended by itself in time."""
        if not self.alive():
            return True
        if self.dialog_shown():
            self.wine.probe("click", "CancelSB")
        if self.wine.probe("msgbox")[0] == 0:
            self.wine.probe("msgbox-close")
        if self.has_exit_button():
            self.wine.probe("click", "SpeedButton3")
        else:
            self.wine.probe("close")
        try:
            self.proc.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        ended = self.exit()
        if not ended:
            log("veltrano.exe did not exit by itself; killing it")
            _stop_process(self.proc)
        if self.proc is not None:
            self._output.close()
        return ended

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def proc_cpu_seconds(pid):
    """utime + stime of a Linux process, in seconds."""
    with open("/proc/%d/stat" % pid, "r") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / ticks


def proc_rss_anon_kb(pid):
    with open("/proc/%d/status" % pid, "r") as f:
        for line in f:
            if line.startswith("RssAnon:"):
                return int(line.split()[1])
    return 0


def wineserver_pid(wine):
    """The wineserver of this prefix, found through its open prefix directory."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % entry) as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open("/proc/%s/environ" % entry, "rb") as f:
                env = f.read().split(b"\0")
            if ("WINEPREFIX=" + wine.prefix).encode() in env:
                return int(entry)
        except OSError:
            continue
    return None


# ---------------------------------------------------------------------------
# Shared by the tests of one run

_shared = None


def shared(build_dir=None):
    """The run's one booted prefix; booted on first use, stopped at exit."""
    global _shared
    if _shared is None:
        build = build_dir or os.environ.get("VELTRANO_WIN_BUILD",
                                            os.path.join(REPO, "build", "win"))
        wine = Wine(build, use_display=os.environ.get("VELTRANO_E2E_DISPLAY"),
                    keep_prefix=bool(os.environ.get("VELTRANO_E2E_KEEP")))
        atexit.register(wine.stop)
        _shared = wine.start()
    return _shared


def filtered(raw):
    """What the program stores from a serial reply: NUL and bytes of 0x80 and
    above dropped, the first CR made "#" and the rest cut, 255 characters."""
    out = []
    for b in raw:
        if b == 0 or b >= 0x80:
            continue
        if b == 0x0D:
            out.append("#")
            break
        out.append(chr(b))
    return "".join(out)[:255]



def windows_path(path):
    """The prefix's name for a host path (Wine maps / to Z:)."""
    return "Z:" + path.replace("/", "\\")


class E2ETestCase(unittest.TestCase):
    """Starts what a test needs and stops exactly that, in reverse order."""

    def setUp(self):
        self.wine = shared()
        self.wine.forget_history()

    def start_simulator(self, **kwargs):
        sim = self.wine.simulator(**kwargs)
        self.addCleanup(sim.stop)
        return sim

    def start_program(self, *args, fresh=True):
        app = self.wine.program(*args, fresh=fresh)
        self.addCleanup(self._stop_program, app)
        return app

    def _stop_program(self, app):
        if not app.stop():
            log("%s: veltrano.exe had to be killed" % self.id())

    def text(self, name):
        return self.wine.probe_text(name)

    def marker_program(self, wine=None):
        """A .cmd file that adds a line "ran" to a marker file each time it runs,
        in `wine`'s prefix (the shared one by default); gives (program, marker) host paths."""
        folder = (wine or self.wine).temp_dir("program")
        marker = os.path.join(folder, "marker.txt")
        program = os.path.join(folder, "mark.cmd")
        with open(program, "w", newline="\r\n") as f:
            f.write("@echo ran>> \"%s\"\n" % windows_path(marker))
        return program, marker

    @staticmethod
    def marker_runs(marker):
        try:
            with open(marker, encoding="ascii", errors="replace") as f:
                return sum(1 for line in f if line.strip() == "ran")
        except FileNotFoundError:
            return 0

    def wait_text(self, name, predicate, timeout, what):
        """Polls a control's text until `predicate(text)` holds; gives the text."""
        seen = []

        def check():
            t = self.wine.probe_text(name)
            if t is not None and (not seen or seen[-1] != t):
                seen.append(t)
            return t if t is not None and predicate(t) else None

        try:
            return wait_for(check, timeout, 0.3, what)
        except TimeoutError:
            self.fail("%s: %s never came; texts seen: %r" % (name, what, seen[-5:]))

    def connect_through_dialog(self, app, timeout=60, check=None):
        """Waits for the COM Port dialog and confirms it with COM1 chosen;
        `check()` runs while the dialog is up."""
        wait_for(lambda: app.dialog_shown() or not app.alive(), timeout, 0.3,
                 "the COM Port dialog")
        self.assertTrue(app.alive(), "veltrano.exe ended before the COM Port dialog")
        rc, out = self.wine.probe("get", "COMPortCB")
        self.assertEqual(rc, 0)
        lines = out.splitlines()
        self.assertIn("[0] COM1", lines, "COM1 not listed: %r" % out)
        self.assertEqual(lines[0], "COM1", "COM1 not preselected: %r" % out)
        if check:
            check()
        self.assertEqual(self.wine.probe("click", "COMPortSB")[0], 0)
