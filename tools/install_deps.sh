#!/bin/bash
# Installs everything the build and the tests need on Debian 12, from Debian's packages.
# Run it as root, or as an account that may use sudo: it then asks sudo for root itself. Safe to
# run again.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "install_deps.sh: installing packages needs root; run it as root or install sudo" >&2
        exit 1
    fi
    exec sudo "$0" "$@"
fi

packages=(
    # build
    cmake ninja-build g++ pkg-config ccache python3 git patch clang-format
    # JUCE 7.0.5 and the system libraries its Debian build uses
    juce-modules-source libfreetype-dev libx11-dev libxext-dev libxinerama-dev libxrandr-dev
    libxcursor-dev libpng-dev libjpeg-dev zlib1g-dev
    # tests
    libgtest-dev xvfb xauth xdotool imagemagick python3-xlib unzip util-linux
    # Windows cross build and its tests
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev binutils-mingw-w64-x86-64 wine wine64
    dpkg-dev
    # signing the Windows program, and the test that signs with a throw-away certificate
    osslsigncode openssl
    # the real-host tests: what Ardour's VST3 scanner and Qtractor's plug-in scanner need beside
    # their own files
    libglibmm-2.4-1v5 libsigc++-2.0-0v5 libqt6core6
)

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null

# npm fetches the fonts. A machine may already carry a Node.js build that bundles its own npm
# (and conflicts with Debian's npm package); any working npm will do.
if ! command -v npm >/dev/null; then
    apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi

# The real-host tests load the installed plug-ins in real hosts' scanners, unpacked from Debian's
# ardour and qtractor packages into /var/cache/qv-hosts (not installed: Ardour alone needs ~94 more
# packages).
bash "$(dirname "$0")/fetch_host_scanner.sh" ardour >/dev/null
bash "$(dirname "$0")/fetch_host_scanner.sh" qtractor >/dev/null
