#!/usr/bin/env bash
# Builds static libpng and libjpeg-turbo for x86_64-w64-mingw32 from Debian's patched
# source packages, which Debian's JUCE expects from the system (it is built with its
# bundled image and zlib code switched off). zlib itself is Debian's libz-mingw-w64-dev.
#
#   tools/build_mingw_deps.sh [PREFIX]
#
# PREFIX defaults to ${XDG_CACHE_HOME:-$HOME/.cache}/qv-mingw-deps. A complete prefix made
# by this same script is left alone, so the call is cheap once the cache is warm.
# Silent on success; on failure it names the step and shows the end of its log.

set -euo pipefail

readonly triple=x86_64-w64-mingw32
readonly source_packages=(libjpeg-turbo libpng1.6)
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
readonly here
readonly toolchain="$here/../cmake/toolchains/mingw-w64-x86_64.cmake"

die ()
{
    echo "build_mingw_deps.sh: $*" >&2
    exit 1
}

prefix="${1:-${QV_MINGW_DEPS_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/qv-mingw-deps}}"
[[ "$prefix" == /* ]] || prefix="$PWD/$prefix"
prefix="${prefix%/}"
readonly prefix
readonly stamp="$prefix/.qv-mingw-deps"

# The cache is only valid for the recipe that filled it.
key="$(cat "${BASH_SOURCE[0]}" "$toolchain" | sha256sum | cut -d' ' -f1)"
readonly key

prefix_complete ()
{
    [[ -f "$stamp" && "$(head -n1 "$stamp")" == "$key" ]] \
        && [[ -f "$prefix/lib/libpng16.a" && -f "$prefix/lib/libjpeg.a" ]] \
        && [[ -f "$prefix/include/png.h" && -f "$prefix/include/jpegint.h" ]]
}

prefix_complete && exit 0

for tool in apt-get apt-cache dpkg-source cmake ninja flock sha256sum "$triple-gcc-posix" "$triple-g++-posix"; do
    command -v "$tool" > /dev/null || die "'$tool' not found (apt-get install dpkg-dev cmake ninja-build util-linux g++-mingw-w64-x86-64-posix)"
done
[[ -f "/usr/$triple/include/zlib.h" && -f "/usr/$triple/lib/libz.a" ]] \
    || die "static MinGW zlib missing (apt-get install libz-mingw-w64-dev)"
[[ -r /etc/os-release ]] || die "/etc/os-release missing: cannot tell the Debian release"
# shellcheck source=/dev/null
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
[[ -n "$codename" ]] || die "no VERSION_CODENAME in /etc/os-release"

mkdir -p "$(dirname "$prefix")"
exec 9> "$prefix.lock"
flock 9
# Another build may have filled the prefix while we waited for the lock.
prefix_complete && exit 0

if [[ -e "$prefix" ]]; then
    # Only ever replace what this script made: the prefix may have been given by hand.
    if [[ -f "$stamp" ]] || [[ -d "$prefix" && -z "$(ls -A "$prefix")" ]]; then
        rm -rf "$prefix"
    else
        die "$prefix exists and was not made by this script; remove it or choose another prefix"
    fi
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/qv-mingw-deps.XXXXXX")"
log="$work/log"
step="starting"
stage="$(dirname "$prefix")/.$(basename "$prefix").stage.$$"

on_exit ()
{
    local status=$?
    rm -rf "$stage"
    if [[ $status -ne 0 ]]; then
        echo "build_mingw_deps.sh: failed while $step (exit $status)" >&2
        if [[ -s "$log" ]]; then
            echo "---- last lines of $log ----" >&2
            tail -n 40 "$log" >&2
        fi
        echo "build_mingw_deps.sh: work folder kept: $work" >&2
    else
        rm -rf "$work"
    fi
}
trap on_exit EXIT

run ()
{
    echo "+ $*" >> "$log"
    "$@" >> "$log" 2>&1
}

# A private apt configuration with deb-src entries for the release's own Debian archives,
# so that nothing in /etc/apt or the system's package lists changes.
step="writing the deb-src entries"
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$f" ]] || continue
    awk -v RS= -v ORS='\n\n' -v codename="$codename" '
        $0 ~ /(^|\n)Types:[^\n]*deb/ && $0 ~ ("(^|\n)Suites:[^\n]*" codename) && $0 !~ /(^|\n)Enabled: *no/ {
            sub(/Types:[^\n]*/, "Types: deb-src"); print
        }' "$f"
done > "$apt_dir/sources.list.d/deb-src.sources"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [[ -f "$f" ]]; then cat "$f"; fi
done | awk -v codename="$codename" '
        $1 == "deb" {
            for (i = 2; i <= NF; ++i)
                if ($i !~ /^\[/ && $i !~ /=/ && $i !~ /\]$/) break;   # skip [options]
            if ($(i + 1) == codename || index($(i + 1), codename "-") == 1) {
                $1 = "deb-src"; print
            }
        }' > "$apt_dir/sources.list.d/deb-src.list"
[[ -s "$apt_dir/sources.list.d/deb-src.sources" || -s "$apt_dir/sources.list.d/deb-src.list" ]] \
    || die "no Debian '$codename' entries found in /etc/apt to derive deb-src entries from"

apt_options=(
    -o Dir::Etc::SourceList=/dev/null
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
    -o "APT::Sandbox::User=$(id -un)"
    -o Acquire::Retries=3
)

step="downloading the source indexes (apt-get update)"
run apt-get "${apt_options[@]}" -q update

# Newest version first; a mirror may lack the files of the very newest upload, so fall
# back to the next one still listed rather than give up.
fetch_source ()
{
    local package="$1" version
    local versions
    versions="$(apt-cache "${apt_options[@]}" showsrc "$package" \
        | awk -v p="$package" '/^Package:/ { keep = ($2 == p) } keep && /^Version:/ { print $2 }' \
        | sort -u -V -r)"
    [[ -n "$versions" ]] || die "source package $package not found for $codename"
    mkdir -p "$work/src/$package"
    for version in $versions; do
        step="downloading $package $version"
        if (cd "$work/src/$package" && run apt-get "${apt_options[@]}" -q source --download-only "$package=$version"); then
            step="unpacking $package $version"
            local dsc
            dsc="$(ls "$work/src/$package"/*.dsc)"
            run dpkg-source -x "$dsc" "$work/src/$package/tree"
            echo "$package $version" >> "$work/versions"
            return 0
        fi
        rm -f "$work/src/$package"/*
    done
    die "no version of $package could be downloaded: $(tr '\n' ' ' <<< "$versions")"
}

for package in "${source_packages[@]}"; do
    fetch_source "$package"
done

# Host flags from the environment must not leak into the cross build, nor change it unseen.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS CC CXX

cmake_common=(
    -G Ninja
    "-DCMAKE_TOOLCHAIN_FILE=$toolchain"
    -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_INSTALL_PREFIX=$prefix"
)

# libjpeg-turbo: the library only, without the SIMD code, which would need nasm and buys
# nothing for an installer that decodes no JPEGs on a hot path.
# MinGW's rpcndr.h declares the same `typedef unsigned char boolean`, so jconfig.h skips its
# own when that header came first. JUCE includes jpeglib.h inside a namespace and needs the
# name declared there, so declare it unconditionally; repeating a typedef of the same type
# is legal in C and C++.
step="patching libjpeg-turbo's jconfig.h template"
jconfig_in="$work/src/libjpeg-turbo/tree/win/jconfig.h.in"
grep -q '^#ifndef __RPCNDR_H__' "$jconfig_in" || die "$jconfig_in: expected '#ifndef __RPCNDR_H__' guard not found"
sed -i 's|^#ifndef __RPCNDR_H__.*$|#if 1 /* declared unconditionally for JUCE, see build_mingw_deps.sh */|' "$jconfig_in"

step="building libjpeg-turbo"
run cmake -S "$work/src/libjpeg-turbo/tree" -B "$work/build/jpeg" "${cmake_common[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
run cmake --build "$work/build/jpeg" -j2
run env DESTDIR="$stage" cmake --install "$work/build/jpeg"
# JUCE's loader defines JPEG_INTERNALS, which makes jpeglib.h include jpegint.h; Debian's
# libjpeg62-turbo-dev ships it too, upstream's install does not.
run install -m 644 "$work/src/libjpeg-turbo/tree/jpegint.h" "$stage$prefix/include/"

step="building libpng"
run cmake -S "$work/src/libpng1.6/tree" -B "$work/build/png" "${cmake_common[@]}" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -Dld-version-script=OFF \
    "-DZLIB_INCLUDE_DIR=/usr/$triple/include" "-DZLIB_LIBRARY=/usr/$triple/lib/libz.a"
run cmake --build "$work/build/png" -j2
run env DESTDIR="$stage" cmake --install "$work/build/png"

step="installing into $prefix"
{
    echo "$key"
    cat "$work/versions"
} > "$stage$prefix/.qv-mingw-deps"
run mv "$stage$prefix" "$prefix"
prefix_complete || die "$prefix is incomplete after the build"
