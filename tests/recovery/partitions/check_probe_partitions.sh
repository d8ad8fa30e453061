#!/usr/bin/env bash
# Checks "engine-probe partitions" on the real test disks against partitions.tsv and fsstat: the table's
# rows for disks with a partition table, the rows the search finds on the disk without one.
#
#   check_probe_partitions.sh DISKS PROBE [EMULATOR]
set -euo pipefail
DISKS=$1
PROBE=$2
EMULATOR=${3:-}
[[ -f $DISKS/.stamp ]] || { echo "run tools/make-test-disks first ($DISKS)"; exit 1; }

# The Windows probe takes the Wine drive form of a host path.
image_path() {
    if [[ -n $EMULATOR ]]; then
        printf 'Z:%s' "${1//\//\\}"
    else
        printf '%s' "$1"
    fi
}

code_of() {
    case $1 in fat16) echo 100 ;; fat32) echo 200 ;; ntfs) echo 300 ;; esac
}

failures=0
check() {
    local expected=$1 image=$2
    shift 2
    local actual
    actual=$($EMULATOR "$PROBE" partitions "$(image_path "$DISKS/$image")" "$@" | tr -d '\r')
    if [[ $actual == "$expected" ]]; then
        echo "ok    $image $*"
    else
        echo "FAIL  $image $*"
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") || true
        failures=$((failures + 1))
    fi
}

# Rows of the master and extended boot records, numbered as the tree lists them.
table_rows() {
    awk -F'\t' -v disk="$1" '$1 == disk && ($7 == "mbr" || $7 == "ebr") {
        code = $5 == "fat16" ? 100 : $5 == "fat32" ? 200 : 300
        printf "%d\t%s\t%s\t%d\tPartition %d\n", n + 1, $3, $4, code, n; n++
    }' "$DISKS/partitions.tsv"
}

# Every image kind once; the engine's own test reads every image of every disk.
for image in mbr-ext05.vmdk mbr-ext0f.vhd big-4g.vhdx sample-ntfs.fixed.vhdx; do
    check "$(table_rows "${image%%.*}")" "$image"
done
check "$(table_rows mbr-ext05)" mbr-ext05.vhd --search

# The protective entry of the GPT disk: one row from sector 1 to the disk's end.
gpt_sectors=$(($(awk -F'\t' '$1 == "gpt" { print $3 }' "$DISKS/disks.tsv") / 512 - 1))
check "$(printf '1\t1\t%d\t500\tPartition 0' "$gpt_sectors")" gpt.vhdx

# No table: the search finds the three volumes at the VHD's cylinders (255 x 63 after normalising its
# 17 sectors per track). NTFS counts its volume without the backup boot sector; found FAT volumes are
# numbered from 1, found NTFS volumes from 0.
expected=""
index=0
while IFS=$'\t' read -r disk part start sectors fs _; do
    [[ $disk == no-table ]] || continue
    if [[ $fs == ntfs ]]; then
        sectors=$(($(sed -n 's/^Total Sector Range: 0 - //p' "$DISKS/no-table.p$part.fsstat.txt") + 1))
        number=$index
    else
        number=$((index + 1))
    fi
    index=$((index + 1))
    row=$(printf '%d\t%s\t%s\t%s\tPartition %d' "$index" "$start" "$sectors" "$(code_of "$fs")" "$number")
    expected+=$row$'\n'
done <"$DISKS/partitions.tsv"
check "${expected%$'\n'}" no-table.fixed.vhd --search
check "" no-table.fixed.vhd
check "" no-table.vhdx --search

((failures == 0))
