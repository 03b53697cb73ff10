#!/bin/bash
# Runs a command where the machine's plug-in and settings folders cannot be touched: a private
# mount namespace in which /usr/lib and /opt are overlays whose writable layers live on a tmpfs
# that vanishes with the namespace. The real folders stay as they were, whatever the command does.
# Needs root (CI runs as root); from another account it asks sudo, keeping the environment the
# tests are given. Inside, QV_SANDBOX_SCRATCH names the tmpfs.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env "$0" "$@"
fi

if [ "${QV_IN_SANDBOX:-}" != "1" ]; then
    scratch=$(mktemp -d /tmp/qv-sandbox.XXXXXX)
    status=0
    QV_IN_SANDBOX=1 QV_SANDBOX_SCRATCH="$scratch" unshare --mount --propagation private "$0" "$@" || status=$?
    rmdir "$scratch" 2>/dev/null || true
    exit $status
fi

mount -t tmpfs qv-sandbox "$QV_SANDBOX_SCRATCH"

for dir in /usr/lib /opt; do
    layer="$QV_SANDBOX_SCRATCH/layers$(echo "$dir" | tr / _)"
    mkdir -p "$layer/upper" "$layer/work"
    mount -t overlay overlay -o "lowerdir=$dir,upperdir=$layer/upper,workdir=$layer/work" "$dir"
done

"$@"
