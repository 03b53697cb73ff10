#!/bin/bash
# Real plug-ins through the installer into real hosts: builds the fixture VST3 and CLAP (their own
# project, build/real-host-fixture), a second installer build that packs them through
# QV_VST3_BUNDLE and QV_CLAP_BUNDLE (build/real-host), and runs the real_host tests there. Needs
# tools/install_deps.sh first.
set -euo pipefail
cd "$(dirname "$0")/../.."

# Relative paths in ccache's keys, so that a fresh clone anywhere hits the entries of the last run.
# These two builds only: it also makes __FILE__ relative, and the default build stays as it is.
export CCACHE_BASEDIR="$PWD"

vst3_scanner=$(tools/fetch_host_scanner.sh ardour)
clap_scanner=$(tools/fetch_host_scanner.sh qtractor)

cmake -S tests/real_host/fixture -B build/real-host-fixture -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/real-host-fixture -j2
module=$(cat build/real-host-fixture/module_path.txt)
bundle=${module%/Contents/*}
clap=$(cat build/real-host-fixture/clap_path.txt)

cmake --preset linux -B build/real-host -DQV_WINDOWS_CHECK_ARCHIVES=OFF -DQV_REAL_HOST_TESTS=ON \
      -DQV_VST3_BUNDLE="$bundle" -DQV_CLAP_BUNDLE="$clap" \
      -DQV_ARDOUR_VST3_SCANNER="$vst3_scanner" -DQV_QTRACTOR_PLUGIN_SCAN="$clap_scanner" >/dev/null
cmake --build build/real-host -j2 --target qv_installer
ctest --test-dir build/real-host -L real_host --output-on-failure
