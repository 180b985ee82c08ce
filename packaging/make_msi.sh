#!/bin/sh
# Builds the Windows Installer package of a built veltrano.exe:
#   packaging/make_msi.sh VERSION EXE OUTPUT.msi
# The build uses it with the project's version; the upgrade test with a higher one.
set -eu
[ $# -eq 3 ] || { echo "usage: $0 VERSION EXE OUTPUT.msi" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
exe=$(realpath "$2")
icon=$(realpath "$here/../src/ui/win32/veltrano.ico")
out=$(realpath "$3")
# wixl looks a source file up only relative to the current folder; from the
# root, an absolute path without its first slash is such a path.
cd /
exec wixl --arch x64 -D Version="$1" -D ExeFile="${exe#/}" -D IconFile="${icon#/}" \
  -o "$out" "$here/veltrano.wxs"
