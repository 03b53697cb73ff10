#!/bin/bash
# Builds every target and runs every test: the Linux program and its suites, then the Windows
# program (MinGW-w64 cross build) and its suites under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux
cmake --build --preset linux
ctest --preset linux
