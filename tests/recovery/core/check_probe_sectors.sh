#!/usr/bin/env bash
# Checks "engine-probe sectors" against the raw disk of make_sector_fixtures.sh: the SHA-256 that the
# probe prints for a sector range of each image must be that of the same bytes of the raw file.
#
#   check_probe_sectors.sh FIXTURES PROBE [EMULATOR]
set -euo pipefail
FIXTURES=$1
PROBE=$2
EMULATOR=${3:-}

# The Windows probe takes the Wine drive form of a host path.
image_path() {
    if [[ -n $EMULATOR ]]; then
        printf 'Z:%s' "${1//\//\\}"
    else
        printf '%s' "$1"
    fi
}

failures=0
check() {
    local image=$1 first=$2 count=$3
    local expected actual
    expected=$(dd if="$FIXTURES/disk.raw" bs=512 skip="$first" count="$count" status=none |
        sha256sum | cut -d' ' -f1)
    actual=$($EMULATOR "$PROBE" sectors "$(image_path "$FIXTURES/$image")" "$first" "$count" | tr -d '\r')
    if [[ $actual == "$expected" ]]; then
        echo "ok    $image $first $count"
    else
        echo "FAIL  $image $first $count: probe '$actual', raw '$expected'"
        failures=$((failures + 1))
    fi
}

# 400 sectors across 4 GiB on every kind; 128 sectors across the first grain end of the VMDK.
for image in disk.vmdk dynamic.vhd fixed.vhd disk.vhdx; do
    check "$image" 8388408 400
done
check disk.vmdk 64 128
((failures == 0))
