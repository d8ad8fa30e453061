#!/usr/bin/env bash
# Checks the shipped signature file against a real FAT disk: an MBR disk with one FAT16 partition holding a
# JPEG, a PNG and a PDF copied in with mtools. "engine-probe trace --signatures res/Raw.dat" over the
# partition must name exactly those three files, each at the first sector istat gives for it. The disk
# stays in WORK (as .raw and .vmdk) for the program's own File Trace test.
#
#   raw_dat_probe_check.sh WORK RAW_DAT PROBE [EMULATOR]
set -euo pipefail
WORK=$1
RAW_DAT=$2
PROBE=$3
EMULATOR=${4:-}

mkdir -p "$WORK"
raw=$WORK/trace-fat.raw
part=$WORK/trace-fat.part
rm -f "$raw" "$part" "$WORK/trace-fat.vmdk"

start=2048
sectors=65536
truncate -s $(((start + sectors) * 512)) "$raw"
printf 'label: dos\n%d,%d,6\n' "$start" "$sectors" | sfdisk -q "$raw"
truncate -s $((sectors * 512)) "$part"
mkfs.fat -F 16 -s 4 -S 512 "$part" >/dev/null

# Files that begin as their formats say, with enough body to take several clusters each.
python3 "$(dirname "${BASH_SOURCE[0]}")/make_trace_files.py" "$WORK"
for name in photo.jpg image.png paper.pdf; do
    mcopy -i "$part" "$WORK/$name" "::$name"
done
dd if="$part" of="$raw" bs=512 seek=$start conv=notrunc status=none
qemu-img convert -f raw -O vmdk "$raw" "$WORK/trace-fat.vmdk"

# istat gives a FAT file's sectors; the first one, plus the partition's start, is where its data begins.
expected=""
for name in photo.jpg image.png paper.pdf; do
    inode=$(fls -o $start "$raw" | awk -v n="$name" '$NF == n { sub(":", "", $2); print $2 }')
    first=$(istat -o $start "$raw" "$inode" | awk '/^Sectors:/ { getline; print $1; exit }')
    expected+="${name##*.}	$((first + start))"$'\n'
done
expected=$(printf '%s' "$expected" | sort -t$'\t' -k2,2n)

image=$raw
dat=$RAW_DAT
if [[ -n $EMULATOR ]]; then
    image="Z:${image//\//\\}"
    dat="Z:${dat//\//\\}"
fi
actual=$($EMULATOR "$PROBE" trace "$image" --range $start $sectors --signatures "$dat" | tr -d '\r' |
    awk -F'\t' '$1 != "summary" { sub("^\\.", "", $2); printf "%s\t%s\n", $2, $4 }')
if [[ $actual != "$expected" ]]; then
    echo "probe rows differ from istat"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
echo "ok    Raw.dat finds $(echo "$actual" | wc -l) files at their first sectors"
