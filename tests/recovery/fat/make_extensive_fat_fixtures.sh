#!/usr/bin/env bash
# Builds the damaged copies of mbr-ext05 that the Extensive Scan's FAT tests read, and what Sleuth Kit
# says about the folders they damage:
#  - boot-zeroed.vmdk: every FAT partition (1, 5: FAT16; 2, 7: FAT32) without its boot sector, the FAT32
#    backup at +6 included.
#  - fats-zeroed.vmdk: the same, with both FAT copies zeroed too and the first directory sector of
#    Level1 wiped, so that Level1/Level2 has lost its parent.
#  - folders.tsv: part, path, first cluster and first sector (from the partition start) of every folder
#    that fls lists on those partitions (istat).
# OUTDIR is rebuilt only when this script or the test disks changed.
#
#   make_extensive_fat_fixtures.sh OUTDIR TEST_DISKS_DIR
set -euo pipefail

OUT=$(readlink -m "$1")
DISKS=$(readlink -m "$2")
[[ -f $DISKS/.stamp ]] || { echo "run tools/make-test-disks first ($DISKS)" >&2; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/../support/fixture_cache.sh"
fixture_begin "$OUT" "${BASH_SOURCE[0]}" "$DISKS/.stamp"

DISK=mbr-ext05
PARTS="1 2 5 7"
start_of() { # PART
    awk -F'\t' -v d="$DISK" -v p="$1" '$1 == d && $2 == p { print $3 }' "$DISKS/partitions.tsv"
}
fs_of() { # PART
    awk -F'\t' -v d="$DISK" -v p="$1" '$1 == d && $2 == p { print $5 }' "$DISKS/partitions.tsv"
}
fsstat_first() { # PART LABEL: first sector of a "LABEL: A - B" line of fsstat
    sed -n "s/^\**  *$2: \([0-9]*\) - [0-9]*$/\1/p" "$DISKS/$DISK.p$1.fsstat.txt" | head -1
}
fsstat_last() { # PART LABEL
    sed -n "s/^\**  *$2: [0-9]* - \([0-9]*\)$/\1/p" "$DISKS/$DISK.p$1.fsstat.txt" | head -1
}
zero() { # FILE FIRST COUNT
    dd if=/dev/zero of="$1" bs=512 seek="$2" count="$3" conv=notrunc status=none
}

printf '# part\tpath\tcluster\tsector\n' >"$OUT/folders.tsv"
BOOT=$OUT/boot-zeroed.raw
cp --sparse=always "$DISKS/$DISK.raw" "$BOOT"
for part in $PARTS; do
    start=$(start_of "$part")
    zero "$BOOT" "$start" 1
    [[ $(fs_of "$part") == fat32 ]] && zero "$BOOT" $((start + 6)) 1
    spc=$(($(sed -n 's/^Cluster Size: \([0-9]*\)$/\1/p' "$DISKS/$DISK.p$part.fsstat.txt") / 512))
    area=$(fsstat_first "$part" "Cluster Area")
    awk -F'\t' '!/^#/ && $2 == "d" { print $1 "\t" $9 }' "$DISKS/$DISK.p$part.files.tsv" |
        while IFS=$'\t' read -r inode path; do
            sector=$(istat -o "$start" "$DISKS/$DISK.raw" "$inode" |
                awk '/^Sectors:/ { getline; print $1; exit }')
            [[ -n $sector ]] || continue
            printf '%s\t%s\t%s\t%s\n' "$part" "$path" $(((sector - area) / spc + 2)) "$sector" \
                >>"$OUT/folders.tsv"
        done
done

FATS=$OUT/fats-zeroed.raw
cp --sparse=always "$BOOT" "$FATS"
for part in $PARTS; do
    start=$(start_of "$part")
    first=$(fsstat_first "$part" "FAT 0")
    last=$(fsstat_last "$part" "FAT 1")
    zero "$FATS" $((start + first)) $((last - first + 1))
    level1=$(awk -F'\t' -v p="$part" '$1 == p && $2 == "Level1" { print $4 }' "$OUT/folders.tsv")
    zero "$FATS" $((start + level1)) 1
done

for name in boot-zeroed fats-zeroed; do
    qemu-img convert -f raw -O vmdk -o subformat=monolithicSparse "$OUT/$name.raw" "$OUT/$name.vmdk"
    rm -f "$OUT/$name.raw"
done

fixture_done
