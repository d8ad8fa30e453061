#!/usr/bin/env bash
# Builds the NTFS volume with 64 KiB clusters (128 sectors, the most a boot sector can state) that the
# NTFS Quick Scan tests read beside the shared test disks, which have none: made by mkntfs and the test
# disks' libntfs-3g helper (tools/ntfs_tool.c), listed by fls -r -p -l as the oracle.
#  - ntfs-64k.raw: the volume alone (no partition table), 128 MiB.
#  - ntfs-64k.fls.txt: fls -r -p -l of it.
# OUTDIR is rebuilt only when this script or the helper changed.
#
#   make_ntfs_cluster_fixtures.sh OUTDIR SOURCE_DIR
set -euo pipefail

OUT=$(readlink -m "$1")
SOURCE=$(readlink -m "$2")
HELPER=$SOURCE/tools/ntfs_tool.c
STAMP=$( (sha256sum "${BASH_SOURCE[0]}" "$HELPER") | sha256sum | cut -d' ' -f1)
[[ -f $OUT/.stamp && $(<"$OUT/.stamp") == "$STAMP" ]] && exit 0

mkdir -p "$(dirname "$OUT")"
exec 9>"$OUT.lock"
flock 9
[[ -f $OUT/.stamp && $(<"$OUT/.stamp") == "$STAMP" ]] && exit 0

rm -rf "$OUT"
mkdir -p "$OUT/stage"
TOOL=$OUT/ntfs_tool
gcc -O2 -o "$TOOL" "$HELPER" -lntfs-3g

VOLUME=$OUT/ntfs-64k.raw
truncate -s $((128 * 1024 * 1024)) "$VOLUME"
mkntfs -F -Q -q -s 512 -c 65536 -L big-clusters "$VOLUME" $((128 * 2048)) >/dev/null 2>&1

OPS=$OUT/stage/ops
: >"$OPS"
stage() { # PATH SIZE: a host file of SIZE bytes seeded by PATH, put at PATH
    local host=$OUT/stage/$(echo "$1" | md5sum | cut -c1-12)
    "$TOOL" gen "$1" "$2" >"$host"
    printf 'put\t%s\t%s\n' "$1" "$host" >>"$OPS"
}
printf 'mkdir\t/Docs\n' >>"$OPS"
printf 'mkdir\t/Docs/Deep\n' >>"$OPS"
printf 'mkdir\t/Old\n' >>"$OPS"
stage /small.txt 10
stage /cluster-minus-one.bin 65535
stage /cluster.bin 65536
stage /cluster-plus-one.bin 65537
stage /Docs/a.bin 200000
stage /Docs/Deep/b.bin 1234
stage "/Docs/a:b" 21
stage /Old/inside.txt 500
stage /gone.bin 131073
"$TOOL" apply "$VOLUME" "$OPS"
printf 'delete\t/gone.bin\ndelete\t/Old\n' >"$OPS"
"$TOOL" apply "$VOLUME" "$OPS"

fls -r -p -l "$VOLUME" >"$OUT/ntfs-64k.fls.txt"
grep -q 'Docs/Deep/b.bin' "$OUT/ntfs-64k.fls.txt"
rm -rf "$OUT/stage"
echo "$STAMP" >"$OUT/.stamp"
