#!/bin/bash
# Checks every C++ source of the tree against .clang-format; prints what differs and fails on it.
# The files are those git tracks (in a checkout) or, in an exported tree, every .cpp and .h outside
# the build folders.
set -euo pipefail
cd "$(dirname "$0")/../.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t sources < <(find . -path ./build -prune -o -path ./resources/fonts/node_modules -prune \
                                -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi

if [ "${#sources[@]}" -eq 0 ]; then
    echo "check_format.sh: no C++ sources found" >&2
    exit 1
fi

clang-format --dry-run --Werror "${sources[@]}"
echo "${#sources[@]} C++ sources match .clang-format"
