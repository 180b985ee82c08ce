"""Where the build puts the packages, and the MSI of another version."""

import os
import re
import subprocess

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MAKE_MSI = os.path.join(REPO, "packaging", "make_msi.sh")


def project_version():
    with open(os.path.join(REPO, "CMakeLists.txt"), encoding="utf-8") as f:
        m = re.search(r"project\(Veltrano VERSION ([0-9.]+)", f.read())
    return m.group(1)


def msi_path(build_dir, version=None):
    return os.path.join(build_dir, "Veltrano-%s.msi" % (version or project_version()))


def zip_path(build_dir):
    return os.path.join(build_dir, "Veltrano-%s-portable.zip" % project_version())


def make_msi(version, exe, out):
    subprocess.run(["sh", MAKE_MSI, version, exe, out], check=True, timeout=60,
                   stdout=subprocess.DEVNULL)
    return out
