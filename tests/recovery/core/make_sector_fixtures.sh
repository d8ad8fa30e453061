#!/usr/bin/env bash
# Builds the images that the sector-source tests read: a sparse raw disk of 5 GiB + 1 MiB with random
# data in a few places (its first MiB, around 4 GiB, a lone sector inside an otherwise empty grain, the
# last MiB), and the same disk converted by qemu-img to a VMDK monolithic sparse extent, a dynamic and a
# fixed VHD, and a VHDX. The raw file is the oracle. OUTDIR is rebuilt only when this script changed.
#
#   make_sector_fixtures.sh OUTDIR
set -euo pipefail

OUT=$(readlink -m "$1")
source "$(dirname "${BASH_SOURCE[0]}")/../support/fixture_cache.sh"
fixture_begin "$OUT" "${BASH_SOURCE[0]}"
RAW=$OUT/disk.raw
MIB=$((1024 * 1024))
GIB=$((1024 * MIB))
truncate -s $((5 * GIB + MIB)) "$RAW"

# put OFFSET BYTES: random bytes at a byte offset (both multiples of 512).
put() {
    dd if=/dev/urandom of="$RAW" bs=512 seek=$(($1 / 512)) count=$(($2 / 512)) conv=notrunc status=none
}
put 0 $MIB
put $((4 * GIB - 192 * 1024)) $((384 * 1024))
put $((2 * GIB + 12345 * 512)) 512
put $((3 * GIB + 7 * MIB + 4096)) $((300 * 1024))
put $((5 * GIB)) $MIB

qemu-img convert -f raw -O vmdk -o subformat=monolithicSparse "$RAW" "$OUT/disk.vmdk"
qemu-img convert -f raw -O vpc -o subformat=dynamic,force_size=on "$RAW" "$OUT/dynamic.vhd"
qemu-img convert -f raw -O vpc -o subformat=fixed,force_size=on "$RAW" "$OUT/fixed.vhd"
qemu-img convert -f raw -O vhdx "$RAW" "$OUT/disk.vhdx"

fixture_done
