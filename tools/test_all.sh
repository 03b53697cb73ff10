#!/bin/bash
# Builds every target and runs every test: the Linux program and its suites, then the Windows
# program (MinGW-w64 cross build) and its suites under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

# The Windows program: the cross build (its configure step builds static MinGW libpng and
# libjpeg-turbo once, cached), then its tests under Wine. Its build-time resource check uses the
# Linux build's host tool.
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
