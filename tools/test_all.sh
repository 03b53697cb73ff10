#!/bin/bash
# Builds every target and runs every test: the Linux program and its suites, then the Windows
# program (MinGW-w64 cross build) and its suites under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

# The Windows program: static MinGW builds of libpng and libjpeg-turbo (cached), the cross build,
# then its tests under Wine. Its build-time resource check uses the Linux build's host tool.
bash tools/build_mingw_deps.sh
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
