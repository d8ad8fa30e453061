#!/usr/bin/env bash
# Builds the NTFS volume with 64 KiB clusters (128 sectors, the most a boot sector can state) that the
# NTFS Quick Scan tests read beside the shared test disks, which have none: made by mkntfs and the test
# disks' libntfs-3g helper (tools/ntfs_tool.c), listed by fls -r -p -l as the oracle.
#  - ntfs-64k.raw: the volume alone (no partition table), 128 MiB.
#  - ntfs-64k.fls.txt: fls -r -p -l of it.
#  - ntfs-attrlist.raw: a 64 MiB volume with 4 KiB clusters whose folder /Big holds 10,000 files, a
#    quarter of them two clusters long, while /Frag.bin grows a cluster at a time between them: the
#    folder's index and the file end up in hundreds of runs, their attributes (names included) move to
#    extension records and their $ATTRIBUTE_LIST out of the record, into clusters of its own.
#  - ntfs-attrlist.fls.txt: fls -r -p -l of it; ntfs-attrlist.Frag.icat: icat of /Frag.bin.
# OUTDIR is rebuilt only when this script or the helper changed.
#
#   make_ntfs_cluster_fixtures.sh OUTDIR SOURCE_DIR
set -euo pipefail

OUT=$(readlink -m "$1")
SOURCE=$(readlink -m "$2")
HELPER=$SOURCE/tools/ntfs_tool.c
source "$(dirname "${BASH_SOURCE[0]}")/../support/fixture_cache.sh"
fixture_begin "$OUT" "${BASH_SOURCE[0]}" "$HELPER"
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

VOLUME=$OUT/ntfs-attrlist.raw
truncate -s $((64 * 1024 * 1024)) "$VOLUME"
mkntfs -F -Q -q -s 512 -c 4096 -L attribute-lists "$VOLUME" $((64 * 2048)) >/dev/null 2>&1
: >"$OUT/stage/empty"
"$TOOL" gen two-clusters 4097 >"$OUT/stage/two-clusters"
"$TOOL" gen /Frag.bin $((600 * 4096 - 123)) >"$OUT/stage/frag"
awk -v stage="$OUT/stage" 'BEGIN {
    print "mkdir\t/Big"
    for (i = 1; i <= 10000; ++i) {
        printf "put\t/Big/file-%05d.txt\t%s/%s\n", i, stage, i % 4 ? "empty" : "two-clusters"
        if (i % 4 == 0 && i <= 2400) {
            k = i / 4 - 1
            printf "write\t/Frag.bin\t%s/frag\t%d\t%d\n", stage, k * 4096, k == 599 ? 4096 - 123 : 4096
        }
    }
}' >"$OPS"
"$TOOL" apply "$VOLUME" "$OPS"
fls -r -p -l "$VOLUME" >"$OUT/ntfs-attrlist.fls.txt"
icat "$VOLUME" "$(ifind -n /Frag.bin "$VOLUME")" >"$OUT/ntfs-attrlist.Frag.icat"
cmp -s "$OUT/stage/frag" "$OUT/ntfs-attrlist.Frag.icat"
istat "$VOLUME" "$(ifind -n /Big "$VOLUME")" >"$OUT/stage/big.istat"
grep -q 'ATTRIBUTE_LIST.*Non-Resident' "$OUT/stage/big.istat"
rm -rf "$OUT/stage"
fixture_done
