#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests, the demo and the
# benchmark need. Safe to run again: apt is left alone when all are present.
set -euo pipefail

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

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo -E)
  else
    echo "setup: need root to install ${missing[*]}" >&2
    exit 1
  fi
else
  as_root=()
fi

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
