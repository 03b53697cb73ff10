#!/bin/bash
# Unpacks Ardour's VST3 scanner (ardour-vst3-scanner, Debian's `ardour` package) into a cache
# folder, for the tests that load a real plug-in in a real host. The scanner needs only the
# libraries packed beside it plus glibmm and sigc++ (tools/install_deps.sh installs those), so the
# package is unpacked with dpkg -x rather than installed with Ardour's ~94 dependencies.
#
# Usage: fetch_ardour_scanner.sh [CACHE_DIR]   (default /var/cache/qv-ardour)
# Prints the scanner's path. Safe to run again: an unpack of the same package version is kept.
# Run as root, or as an account that may write CACHE_DIR.
set -euo pipefail

cache=${1:-/var/cache/qv-ardour}
version=$(apt-cache policy ardour | sed -n 's/^ *Candidate: *//p')
if [ -z "$version" ] || [ "$version" = "(none)" ]; then
    echo "fetch_ardour_scanner.sh: no ardour package is known to apt; run apt-get update" >&2
    exit 1
fi

# No colon from the epoch in the folder name: the scanner's folder goes into LD_LIBRARY_PATH.
target="$cache/ardour-${version//:/_}"
scanner="$target/usr/lib/ardour7/ardour-vst3-scanner"
if [ -x "$scanner" ] && [ -f "$target/.complete" ]; then
    echo "$scanner"
    exit 0
fi

if ! mkdir -p "$cache" 2>/dev/null || [ ! -w "$cache" ]; then
    echo "fetch_ardour_scanner.sh: cannot write $cache; run tools/install_deps.sh (as root) first" >&2
    exit 1
fi
work=$(mktemp -d "$cache/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
# apt's download sandbox user cannot write a root-only folder; open it for the download alone.
chmod 0777 "$work"
(cd "$work" && apt-get download -q "ardour=$version" >/dev/null 2>&1) || {
    echo "fetch_ardour_scanner.sh: apt-get download ardour=$version failed" >&2
    exit 1
}
chmod 0755 "$work"
dpkg -x "$work"/ardour_*.deb "$work/root"
if [ ! -x "$work/root/usr/lib/ardour7/ardour-vst3-scanner" ]; then
    echo "fetch_ardour_scanner.sh: ardour $version carries no usr/lib/ardour7/ardour-vst3-scanner" >&2
    exit 1
fi
touch "$work/root/.complete"
rm -rf "$target"
mv "$work/root" "$target"
echo "$scanner"
