#!/usr/bin/env bash
# Builds the volumes that the FAT Quick Scan tests read beside the shared test disks:
#  - damaged-boot.vmdk: mbr-ext05 with boot sectors zeroed. Partition 1 (FAT16) and partition 2 (FAT32)
#    lose their primary boot sector; partition 5 (FAT16) and partition 7 (FAT32) lose every boot
#    sector, the FAT32 backup at +6 included.
#  - crafted-fat16.raw, crafted-fat32.raw: small volumes made by mkfs.fat and mtools, holding
#    root.txt, A/a.txt, A/B/b.txt and big.bin (8 KiB); the tests damage copies of them.
# OUTDIR is rebuilt only when this script or the test disks changed.
#
#   make_quick_scan_fat_fixtures.sh OUTDIR TEST_DISKS_DIR
set -euo pipefail

OUT=$(readlink -m "$1")
DISKS=$(readlink -m "$2")
[[ -f $DISKS/.stamp ]] || { echo "run tools/make-test-disks first ($DISKS)" >&2; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/../support/fixture_cache.sh"
fixture_begin "$OUT" "${BASH_SOURCE[0]}" "$DISKS/.stamp"

start_of() { # DISK PART: the partition's first sector from partitions.tsv
    awk -F'\t' -v d="$1" -v p="$2" '$1 == d && $2 == p { print $3 }' "$DISKS/partitions.tsv"
}
zero_sector() { # FILE SECTOR
    dd if=/dev/zero of="$1" bs=512 seek="$2" count=1 conv=notrunc status=none
}

RAW=$OUT/damaged-boot.raw
cp --sparse=always "$DISKS/mbr-ext05.raw" "$RAW"
zero_sector "$RAW" "$(start_of mbr-ext05 1)"
zero_sector "$RAW" "$(start_of mbr-ext05 2)"
zero_sector "$RAW" "$(start_of mbr-ext05 5)"
zero_sector "$RAW" "$(start_of mbr-ext05 7)"
zero_sector "$RAW" $(($(start_of mbr-ext05 7) + 6))
qemu-img convert -f raw -O vmdk -o subformat=monolithicSparse "$RAW" "$OUT/damaged-boot.vmdk"
rm -f "$RAW"

export MTOOLS_SKIP_CHECK=1
WORK=$OUT/work
mkdir -p "$WORK"
printf 'root file\n' >"$WORK/root.txt"
printf 'in A\n' >"$WORK/a.txt"
printf 'in B\n' >"$WORK/b.txt"
head -c 8192 /dev/zero | tr '\0' 'z' >"$WORK/big.bin"
make_volume() { # FILE FAT-BITS SECTORS-PER-CLUSTER SIZE-KIB
    rm -f "$1"
    mkfs.fat -C -F "$2" -s "$3" -n CRAFTED "$1" "$4" >/dev/null
    mcopy -i "$1" "$WORK/root.txt" ::/ROOT.TXT
    mmd -i "$1" ::/A ::/A/B
    mcopy -i "$1" "$WORK/a.txt" ::/A/A.TXT
    mcopy -i "$1" "$WORK/b.txt" ::/A/B/B.TXT
    mcopy -i "$1" "$WORK/big.bin" ::/BIG.BIN
}
make_volume "$OUT/crafted-fat16.raw" 16 4 16384
make_volume "$OUT/crafted-fat32.raw" 32 1 40960
rm -rf "$WORK"

fixture_done
