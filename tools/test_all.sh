#!/bin/bash
# Builds every target and runs every test: the Linux program and its suites, the real-host tests
# (tests/real_host), then the Windows program (MinGW-w64 cross build) and its suites under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

# A real plug-in through the installer into a real host: the fixture VST3, a second installer build
# that packs it, and the tests that install it through the window and load it in Ardour's scanner.
real_host_start=$(date +%s)
tests/real_host/run.sh
echo "real-host tests: $(( $(date +%s) - real_host_start )) s"

# The Windows program: the cross build (its configure step builds static MinGW libpng and
# libjpeg-turbo once, cached), then its tests under Wine. Its build-time resource check uses the
# Linux build's host tool.
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
