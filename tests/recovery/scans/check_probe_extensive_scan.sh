#!/usr/bin/env bash
# Checks "engine-probe scan ... --mode extensive" on the FAT partitions of mbr-ext05: the volume line of
# each partition must carry the cluster-0 sector that fsstat gives (cluster area less two clusters), and
# with --volume 1 every folder fls lists must be a "D" row and a summary line must end the output. Then
# the whole of no-table, a disk without a partition table, with each file system chosen: the labels must
# be those of its volumes that the chosen scan reads (the FAT scan finds FAT16 and FAT32 alike), in the
# disk's order, placed as fsstat places them (FAT by the cluster-0 sector, NTFS by its boot sector).
#
#   check_probe_extensive_scan.sh TEST_DISKS PROBE [EMULATOR]
set -euo pipefail
DISKS=$1
PROBE=$2
EMULATOR=${3:-}
DISK=mbr-ext05
IMAGE=$DISK.vmdk

# The Windows probe takes the Wine drive form of a host path.
image_path() {
    if [[ -n $EMULATOR ]]; then
        printf 'Z:%s' "${1//\//\\}"
    else
        printf '%s' "$1"
    fi
}
probe() {
    $EMULATOR "$PROBE" "$@" | tr -d '\r'
}

failures=0
fail() {
    echo "FAIL  $*"
    failures=$((failures + 1))
}

rows=$(probe partitions "$(image_path "$DISKS/$IMAGE")")
while IFS=$'\t' read -r part start sectors fs; do
    [[ $fs == fat16 || $fs == fat32 ]] || continue
    row=$(awk -F'\t' -v s="$start" '$2 == s { print $1 }' <<<"$rows")
    [[ -n $row ]] || { fail "p$part: no partition row starts at $start"; continue; }
    fsstat=$DISKS/$DISK.p$part.fsstat.txt
    spc=$(($(sed -n 's/^Cluster Size: \([0-9]*\)$/\1/p' "$fsstat") / 512))
    area=$(sed -n 's/^\*\* Cluster Area: \([0-9]*\) - .*$/\1/p' "$fsstat")
    base=$((start + area - 2 * spc))
    code=$([[ $fs == fat16 ]] && echo 100 || echo 200)
    label=$([[ $fs == fat16 ]] && echo "FAT16 @$base" || echo "FAT32 @$base")
    expected=$(printf '1\t%s\t%s\t%s\t%s\t%s' "$code" "$label" "$spc" "$base" $((start + sectors)))
    actual=$(probe scan "$(image_path "$DISKS/$IMAGE")" --partition "$row" --mode extensive)
    if [[ $(head -1 <<<"$actual") == "$expected" ]]; then
        echo "ok    p$part volume: $expected"
    else
        fail "p$part volume: probe '$(head -1 <<<"$actual")', expected '$expected'"
    fi

    listing=$(probe scan "$(image_path "$DISKS/$IMAGE")" --partition "$row" --mode extensive --volume 1)
    folders=$(awk -F'\t' '$1 == "D" { print $5 }' <<<"$listing")
    while IFS= read -r folder; do
        grep -qxF "$folder" <<<"$folders" || fail "p$part: folder $folder not listed"
    done < <(awk -F'\t' '!/^#/ && $2 == "d" && $9 !~ /^\$OrphanFiles/ { print $9 }' \
        "$DISKS/$DISK.p$part.files.tsv")
    tail -1 <<<"$listing" | grep -q $'^summary\t' || fail "p$part: no summary line"
    echo "ok    p$part listing: $(tail -1 <<<"$listing")"
done < <(awk -F'\t' -v d="$DISK" '$1 == d { print $2 "\t" $3 "\t" $4 "\t" $5 }' "$DISKS/partitions.tsv")

# The label of part N of DISK as fsstat places it.
fsstat_label() {
    local disk=$1 part=$2 start=$3 fs=$4
    local fsstat=$DISKS/$disk.p$part.fsstat.txt
    if [[ $fs == ntfs ]]; then
        echo "NTFS @$start"
        return
    fi
    local spc area
    spc=$(($(sed -n 's/^Cluster Size: \([0-9]*\)$/\1/p' "$fsstat") / 512))
    area=$(sed -n 's/^\*\* Cluster Area: \([0-9]*\) - .*$/\1/p' "$fsstat")
    echo "${fs^^} @$((start + area - 2 * spc))"
}
for fs in fat16 fat32 ntfs; do
    kinds=$([[ $fs == ntfs ]] && echo ntfs || echo fat)
    expected=$(awk -F'\t' -v k="$kinds" '$1 == "no-table" && substr($5, 1, length(k)) == k { print $2 "\t" $3 "\t" $5 }' \
        "$DISKS/partitions.tsv" | sort -t$'\t' -k2,2n |
        while IFS=$'\t' read -r part start kind; do fsstat_label no-table "$part" "$start" "$kind"; done)
    actual=$(probe scan "$(image_path "$DISKS/no-table.vhd")" --whole-disk "$fs" --mode extensive | cut -f3)
    if [[ -n $expected && $actual == "$expected" ]]; then
        echo "ok    no-table whole disk, $fs: $(tr '\n' ' ' <<<"$actual")"
    else
        fail "no-table whole disk, $fs: probe '$(tr '\n' ' ' <<<"$actual")', fsstat '$(tr '\n' ' ' <<<"$expected")'"
    fi
done

# A volume the scan did not find is refused.
probe scan "$(image_path "$DISKS/$IMAGE")" --partition 1 --mode extensive --volume 9 >/dev/null &&
    fail "volume 9 accepted"
((failures == 0))
