"""The MSI under Wine's msiexec: installed silently, the installed program
started against the simulator, upgraded in place by a newer package that also
installs the service (SERVICE=1) and by one that keeps it, a downgrade
refused, and removed, service included, with the settings kept. Runs in a prefix
of its own: tests/e2e/run.py --tests tests/install."""

import glob
import os
import re
import subprocess

import packages
from harness import SETTINGS_KEY, E2ETestCase, wait_for, windows_path

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# All users' Start menu, and the user's, where Wine's msiexec puts it.
SHORTCUTS = ("ProgramData/Microsoft/Windows/Start Menu/Programs/Veltrano.lnk",
             "users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Veltrano.lnk")
WM_QUERYENDSESSION, WM_ENDSESSION, ENDSESSION_CLOSEAPP = 0x0011, 0x0016, 0x1
ERROR_INSTALL_FAILURE = 1603
SERVICE_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services\Veltrano"
MACHINE_SETTINGS_KEY = r"HKLM\Software\Quorvane\Veltrano"
INSTALLED_EXE = r"C:\Program Files\Veltrano\veltrano.exe"
# Where the installer's service steps append what veltrano.exe said: the
# installing user's temporary folder, as Wine's msiexec names it or Windows does.
SERVICE_LOGS = ("users/*/Temp/Veltrano-service.log",
                "users/*/AppData/Local/Temp/Veltrano-service.log")


class MsiTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        # Wine would copy the shortcut into this machine's own desktop menus.
        if "winemenubuilder" not in self.wine.env["WINEDLLOVERRIDES"]:
            self.wine.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        self.drive_c = os.path.join(self.wine.prefix, "drive_c")
        self.installed_exe = os.path.join(self.drive_c, "Program Files", "Veltrano", "veltrano.exe")

    def msiexec(self, action, msi, *properties):
        """Runs msiexec silently with a full log; gives (exit code, log text)."""
        log = os.path.join(self.wine.temp_dir("msiexec"), "msi.log")
        rc, _ = self.wine.run(["msiexec", action, windows_path(msi), "/qn", *properties,
                               "/l*v", windows_path(log)], timeout=120)
        with open(log, "rb") as f:
            data = f.read()
        return rc, data.decode("utf-16" if data[:2] == b"\xff\xfe" else "latin-1", "replace")

    def entries(self):
        """Apps & Features entries named Veltrano: [{value name: data}]."""
        _, out = self.wine.run(["reg", "query", UNINSTALL_KEY, "/s"])
        found = []
        for block in re.split(r"\r?\n(?=HKEY_)", out):
            values = dict(m.groups() for m in
                          re.finditer(r"^ {4}(\S+) {4}REG_\w+ {4}(.*?)\r?$", block, re.M))
            if values.get("DisplayName") == "Veltrano":
                found.append(values)
        return found

    def shortcuts(self):
        return [p for pattern in SHORTCUTS for p in glob.glob(os.path.join(self.drive_c, pattern))]

    def icon_of(self, entry):
        """The icon file the installer registered for an entry's product."""
        code = re.search(r"\{[0-9A-F-]{36}\}", entry["UninstallString"]).group(0)
        return os.path.join(self.drive_c, "windows", "Installer", code, "VeltranoIcon")

    def test_install_run_upgrade_downgrade_and_remove(self):
        version = packages.project_version()
        msi = packages.msi_path(self.wine.build_dir)
        self.assertTrue(os.path.exists(msi), "%s is not built" % msi)
        self.install_first(msi, version)
        self.run_installed_and_end_it_as_the_installer_would()

        # The service comes with an upgrade asked for it, and stays through the next.
        self.upgrade(self.bumped(version, 1), "SERVICE=1")
        self.assert_service_runs_installed_exe()
        newest = self.upgrade(self.bumped(version, 2))
        self.assert_service_runs_installed_exe()

        rc, log = self.msiexec("/i", msi)
        # Wine's msiexec shows the refusal's text only with a user interface;
        # the exit code reaches us cut to its low byte.
        self.assertEqual(rc, ERROR_INSTALL_FAILURE & 0xFF,
                         "an older package must not install over a newer one")
        self.assertIn("WIX_DOWNGRADE_DETECTED = {", log)
        self.assertEqual(len(self.entries()), 1)
        self.assert_service_runs_installed_exe()

        self.restart_wine_server()
        wait_for(self.service_processes, 30, 0.5, "the service to start")
        self.remove_and_check_what_stays(newest)
        self.assertEqual(self.service_processes(), [], "the removal left the service running")

    def install_first(self, msi, version):
        rc, log = self.msiexec("/i", msi)
        self.assertEqual(rc, 0, log[-2000:])
        self.assertTrue(os.path.exists(self.installed_exe))
        self.assertIsNone(self.service_command(), "a service installed without SERVICE=1")
        links = self.shortcuts()
        self.assertEqual(len(links), 1, "one Start menu shortcut")
        with open(links[0], "rb") as f:
            self.assertIn(b"Veltrano\\veltrano.exe", f.read())
        [entry] = self.entries()
        self.assertEqual((entry["DisplayVersion"], entry["Publisher"], entry["NoModify"]),
                         (version, "Quorvane", "0x1"))
        with open(self.icon_of(entry), "rb") as f, \
                open(os.path.join(packages.REPO, "src/ui/win32/veltrano.ico"), "rb") as ico:
            self.assertEqual(f.read(), ico.read(), "the entry's icon is the program's")
        _, run_key = self.wine.run(["reg", "query",
                                    r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"])
        self.assertNotIn("Veltrano", run_key, "the installer must not add an autostart entry")

    def upgrade(self, version, *properties):
        """Installs a package of a higher version over the installed one."""
        newer = packages.make_msi(version, os.path.join(self.wine.build_dir, "veltrano.exe"),
                                  os.path.join(self.wine.temp_dir("newer"), "newer.msi"))
        rc, log = self.msiexec("/i", newer, *properties)
        self.assertEqual(rc, 0, log[-2000:])
        self.assertEqual([e["DisplayVersion"] for e in self.entries()], [version])
        self.assertTrue(os.path.exists(self.installed_exe))
        return newer

    def remove_and_check_what_stays(self, msi):
        rc, log = self.msiexec("/x", msi)
        self.assertEqual(rc, 0, log[-2000:])
        self.assertFalse(os.path.exists(os.path.dirname(self.installed_exe)))
        self.assertEqual(self.shortcuts(), [])
        self.assertEqual(self.entries(), [])
        self.assertIsNone(self.service_command(), "the service outlived the package")
        self.assertIsNotNone(self.wine.reg_values(MACHINE_SETTINGS_KEY),
                             "the service's settings must stay")
        rc, kept = self.wine.run(["reg", "query", SETTINGS_KEY, "/v", "COM Port"])
        self.assertEqual(rc, 0, "the user's settings must stay")
        self.assertIn("0x1", kept)
        said = self.service_log()
        self.assertRegex(said, r"Service Veltrano installed")
        self.assertRegex(said, r"Service Veltrano removed")

    def service_command(self):
        """The command line of the installed service; None when there is none."""
        entry = self.wine.reg_values(SERVICE_KEY)
        return entry["ImagePath"][1] if entry else None

    def assert_service_runs_installed_exe(self):
        self.assertEqual(self.service_command(), '"%s" /service' % INSTALLED_EXE)

    def restart_wine_server(self):
        """Wine's service manager refuses to start a service just created
        (database locked); a new server makes it start the automatic ones."""
        for switch in ("-k", "-w", "-p"):
            subprocess.run(["wineserver", switch], env=self.wine.env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wine.run(["reg", "query", SERVICE_KEY])  # the first program starts the manager

    def service_processes(self):
        """Process ids of the installed exe running as this prefix's service."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    args = f.read()
                with open("/proc/%s/environ" % pid, "rb") as f:
                    prefix = ("WINEPREFIX=" + self.wine.prefix).encode() in f.read().split(b"\0")
            except OSError:
                continue
            if prefix and b"veltrano.exe" in args and b"/service" in args:
                found.append(int(pid))
        return found

    def service_log(self):
        """What the service commands run by the installer said."""
        found = [p for pattern in SERVICE_LOGS for p in glob.glob(os.path.join(self.drive_c, pattern))]
        self.assertEqual(len(found), 1, "no service log in the installer's temporary folder")
        with open(found[0], encoding="cp1252", errors="replace") as f:
            return f.read()

    def run_installed_and_end_it_as_the_installer_would(self):
        """The installed exe detects the UPS; then the end-session messages
        that Windows Installer's Restart Manager sends to close a running
        program end it, settings saved."""
        self.start_simulator(protocol="megatec")
        self.wine.clear_settings()
        self.wine.seed_settings({"COM Port": 1, "COM DTR": True, "COM MaxAttempts": 0})
        self.wine.exe = self.installed_exe
        try:
            app = self.start_program(fresh=False)
        finally:
            self.wine.exe = os.path.join(self.wine.build_dir, "veltrano.exe")
        app.wait_window()
        self.wait_text("StatusBar", lambda t: t == "Megatec protocol UPS detected: COM1", 40,
                       "the detection result")
        self.wine.run(["reg", "delete", SETTINGS_KEY, "/v", "Q1", "/f"])
        rc, out = self.wine.probe("send", WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP)
        self.assertEqual((rc, out.strip()), (0, "1"), "the close must be agreed to")
        self.wine.probe("send", WM_ENDSESSION, 1, ENDSESSION_CLOSEAPP)
        wait_for(lambda: not app.alive(), 20, 0.2, "the program to end")
        rc, _ = self.wine.run(["reg", "query", SETTINGS_KEY, "/v", "Q1"])
        self.assertEqual(rc, 0, "the settings were not saved as the program ended")

    @staticmethod
    def bumped(version, by):
        major, minor, patch = version.split(".")
        return "%s.%s.%d" % (major, minor, int(patch) + by)
