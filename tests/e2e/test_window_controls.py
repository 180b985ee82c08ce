"""The main window holds every control its description names, and a system
that does not qualify ends before any of it exists."""

import subprocess

from harness import E2ETestCase

# The controls of the main window that its description names, in its order:
# the toolbar, the three pages, the status bar.
NAMED = """
    StartSB StopSB UPSBeeperSB Test10sSB TestTSB TestLowSB CancelTestSB SleepSB HibernateSB
    ShutdownSB SaveSetSB SpeedButton3
    PC InfoTS UPSGB VIDE PIDE ProductNameE MfrE ModelE VerE SupportedCommandsGB Q1_CB QS_CB F_CB I_CB
    ConnectionGB ConnI USBL COML USBLB
    StatusTS ReportStringE TimeL ProgressL UPSInformationGB UPSStatusGB UPSModeL BatteryChargeRL
    LogGB LogM
    AboutTS RepPageControl PowerFailGB ExCB ExSB ExL SettingsGB AutoRunCB BalloonCB AboutGB ProgNameL
    VersionL OSL HomeL MailL
    PushTS WebhookURLE WebhookHeaderE WebhookWarningsCB WebhookReportsCB WebhookTestSB
    NtfyURLE NtfyTokenE NtfyWarningsCB NtfyTestSB
    StatusBar
""".split()

# Wine answers the version query of this program as Windows 98 would.
APP_VERSION_KEY = r"HKCU\Software\Wine\AppDefaults\veltrano.exe"


class WindowControlsTest(E2ETestCase):
    def test_every_named_control_is_in_the_window(self):
        app = self.start_program()
        app.wait_window()
        missing = [name for name in NAMED if self.wine.probe("exists", name)[0] != 0]
        self.assertEqual(missing, [], "not in the window")

    def test_unsupported_system_ends_before_any_window_or_library(self):
        rc, _ = self.wine.run(["reg", "add", APP_VERSION_KEY, "/v", "Version", "/d", "win98", "/f"])
        self.assertEqual(rc, 0)
        self.addCleanup(self.wine.run, ["reg", "delete", APP_VERSION_KEY, "/f"])
        env = dict(self.wine.env, WINEDEBUG="+loaddll")
        done = subprocess.run(["wine", self.wine.exe, "/show"], env=env, timeout=60,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.assertEqual(done.returncode, 0)
        loaded = [line.lower() for line in done.stderr.decode("utf-8", "replace").splitlines()
                  if "loaddll" in line]
        self.assertTrue(any("kernel32" in line for line in loaded), "no trace of the libraries loaded")
        # The window's seams load the LAN message libraries as it is made.
        early = [lib for lib in ("netapi32", "winsta") if any(lib in line for line in loaded)]
        self.assertEqual(early, [], "loaded on a system that does not qualify")
