#!/bin/bash
# Unpacks a real host's plug-in scanner from its Debian package into a cache folder, for the tests
# that load a real plug-in in a real host: Ardour's VST3 scanner (package `ardour`) and Qtractor's
# plug-in scanner, which loads CLAP files (package `qtractor`). Each needs only what is packed
# beside it plus a few libraries that tools/install_deps.sh installs (glibmm and sigc++ for Ardour's,
# Qt 6 Core for Qtractor's), so the package is unpacked with dpkg -x rather than installed with the
# whole program's dependencies.
#
# Usage: fetch_host_scanner.sh ardour|qtractor [CACHE_DIR]   (default /var/cache/qv-hosts)
# Prints the scanner's path. Safe to run again: an unpack of the same package version is kept.
# Run as root, or as an account that may write CACHE_DIR.
set -euo pipefail

case "${1:-}" in
    ardour) package=ardour scanner_in_package=usr/lib/ardour7/ardour-vst3-scanner ;;
    qtractor) package=qtractor scanner_in_package=usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan ;;
    *) echo "usage: fetch_host_scanner.sh ardour|qtractor [CACHE_DIR]" >&2; exit 2 ;;
esac
cache=${2:-/var/cache/qv-hosts}

version=$(apt-cache policy "$package" | sed -n 's/^ *Candidate: *//p')
if [ -z "$version" ] || [ "$version" = "(none)" ]; then
    echo "fetch_host_scanner.sh: no $package package is known to apt; run apt-get update" >&2
    exit 1
fi

# No colon from the epoch in the folder name: the scanner's folder goes into LD_LIBRARY_PATH.
target="$cache/$package-${version//:/_}"
scanner="$target/$scanner_in_package"
if [ -x "$scanner" ] && [ -f "$target/.complete" ]; then
    echo "$scanner"
    exit 0
fi

if ! mkdir -p "$cache" 2>/dev/null || [ ! -w "$cache" ]; then
    echo "fetch_host_scanner.sh: cannot write $cache; run tools/install_deps.sh (as root) first" >&2
    exit 1
fi
work=$(mktemp -d "$cache/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
# apt's download sandbox user cannot write a root-only folder; open it for the download alone.
chmod 0777 "$work"
(cd "$work" && apt-get download -q "$package=$version" >/dev/null 2>&1) || {
    echo "fetch_host_scanner.sh: apt-get download $package=$version failed" >&2
    exit 1
}
chmod 0755 "$work"
dpkg -x "$work"/"${package}"_*.deb "$work/root"
if [ ! -x "$work/root/$scanner_in_package" ]; then
    echo "fetch_host_scanner.sh: $package $version carries no $scanner_in_package" >&2
    exit 1
fi
touch "$work/root/.complete"
rm -rf "$target"
mv "$work/root" "$target"
echo "$scanner"
