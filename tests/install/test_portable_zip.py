"""The portable zip: the build's exe, whose version is the one in the zip's
name, and a README.txt that Notepad shows as lines."""

import os
import unittest
import zipfile

import packages

BUILD = os.environ.get("VELTRANO_WIN_BUILD", os.path.join(packages.REPO, "build", "win"))


def file_version(exe_bytes):
    """The FileVersion text of an exe's version resource."""
    key = "FileVersion\0".encode("utf-16-le")
    at = exe_bytes.index(key) + len(key)
    at += (-at) % 4  # the value starts on a 32-bit boundary
    end = at
    while exe_bytes[end:end + 2] != b"\0\0":
        end += 2
    return exe_bytes[at:end].decode("utf-16-le")


class PortableZipTest(unittest.TestCase):
    def test_zip_holds_the_built_exe_and_its_readme(self):
        path = packages.zip_path(BUILD)
        self.assertTrue(os.path.exists(path), "%s is not built" % path)
        with zipfile.ZipFile(path) as z:
            self.assertEqual(sorted(z.namelist()), ["README.txt", "veltrano.exe"])
            exe = z.read("veltrano.exe")
            readme = z.read("README.txt").decode("ascii")
        with open(os.path.join(BUILD, "veltrano.exe"), "rb") as f:
            self.assertEqual(exe, f.read(), "the zip holds another build's exe")
        self.assertEqual(file_version(exe), packages.project_version() + ".0")
        self.assertNotIn("\n", readme.replace("\r\n", ""), "README.txt without CR LF line ends")
        for needed in ("veltrano.exe", r"HKEY_CURRENT_USER\Software\Quorvane\Veltrano",
                       r"reg delete HKCU\Software\Quorvane\Veltrano", "AutoRun"):
            self.assertIn(needed, readme)


if __name__ == "__main__":
    unittest.main()
