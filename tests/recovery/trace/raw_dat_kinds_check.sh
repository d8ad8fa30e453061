#!/usr/bin/env bash
# The shipped signature file over two real FAT volumes, through "engine-probe trace --signatures":
#  - pictures: JPEGs that begin with each segment real files begin with, a BMP and two icons
#    (make_picture_kinds.py), copied in with mtools; File Trace must name each of them, with its
#    extension, at the first sector istat gives for it, and nothing else;
#  - other data: the system's own programs, which hold no picture at the start of a sector; the short
#    signatures (BMP, ICO) may name at most a few of their sectors.
#
#   raw_dat_kinds_check.sh WORK RAW_DAT PROBE [EMULATOR]
set -euo pipefail
WORK=$1
RAW_DAT=$2
PROBE=$3
EMULATOR=${4:-}
here=$(dirname "${BASH_SOURCE[0]}")
start=2048
# At most this many BMP and ICO items on the volume of programs (about 50,000 sectors of them): "BM" and
# 00 00 01 00 alone name about 300 there.
weak_limit=10

mkdir -p "$WORK"
windows() { if [[ -n $EMULATOR ]]; then local path=${1//\//\\}; printf 'Z:%s' "$path"; else printf '%s' "$1"; fi; }

# volume NAME SECTORS FILE...: an MBR disk WORK/NAME.raw with one FAT16 partition at $start holding the
# files, copied in with mtools.
volume() {
    local name=$1 sectors=$2
    shift 2
    local raw=$WORK/$name.raw part=$WORK/$name.part
    rm -f "$raw" "$part"
    truncate -s $(((start + sectors) * 512)) "$raw"
    printf 'label: dos\n%d,%d,6\n' "$start" "$sectors" | sfdisk -q "$raw"
    truncate -s $((sectors * 512)) "$part"
    mkfs.fat -F 16 -s 4 -S 512 "$part" >/dev/null
    mcopy -i "$part" "$@" ::
    dd if="$part" of="$raw" bs=512 seek=$start conv=notrunc status=none
    rm -f "$part"
}

# trace NAME SECTORS: the probe's items over the partition, as "extension <tab> sector".
trace() {
    $EMULATOR "$PROBE" trace "$(windows "$WORK/$1.raw")" --range $start "$2" --signatures "$(windows "$RAW_DAT")" |
        tr -d '\r' | awk -F'\t' '$1 != "summary" { sub("^\\.", "", $2); printf "%s\t%s\n", $2, $4 }'
}

failed=0

pictures=$WORK/pictures
rm -rf "$pictures"
/usr/bin/python3 "$here/make_picture_kinds.py" "$pictures"
volume pictures 32768 "$pictures"/*
expected=""
for file in "$pictures"/*; do
    name=$(basename "$file")
    inode=$(fls -o $start "$WORK/pictures.raw" | awk -v n="$name" '$NF == n { sub(":", "", $2); print $2 }')
    first=$(istat -o $start "$WORK/pictures.raw" "$inode" | awk '/^Sectors:/ { getline; print $1; exit }')
    expected+="${name##*.}	$((first + start))	$name"$'\n'
done
expected=$(printf '%s' "$expected" | sort -t$'\t' -k2,2n)
actual=$(trace pictures 32768)
if [[ $actual != "$(cut -f1,2 <<<"$expected")" ]]; then
    echo "FAIL  the pictures File Trace names differ from istat's (expected, then found; the third column names the file)"
    diff <(echo "$expected") <(echo "$actual") || true
    failed=1
else
    echo "ok    Raw.dat finds each of $(wc -l <<<"$actual") pictures at its first sector: $(cut -f3 <<<"$expected" | tr '\n' ' ')"
fi

# The system's programs by name, those of 100 KiB to 4 MiB, up to 24 MiB in all.
programs=()
total=0
while IFS= read -r file; do
    size=$(stat -c %s "$file")
    ((total + size <= 24 * 1024 * 1024)) || continue
    programs+=("$file")
    total=$((total + size))
done < <(find /usr/bin -maxdepth 1 -type f -size +100k -size -4096k | LC_ALL=C sort)
((${#programs[@]} > 0)) || { echo "FAIL  no programs to fill the volume with"; exit 1; }
volume programs 65536 "${programs[@]}"
found=$(trace programs 65536)
weak=$(awk -F'\t' '$1 == "bmp" || $1 == "ico"' <<<"$found" | wc -l)
echo "      ${#programs[@]} programs, $total bytes: $(grep -c . <<<"$found" || true) items, $weak of them BMP or ICO"
if ((weak > weak_limit)); then
    echo "FAIL  the short signatures name $weak sectors of programs as pictures (at most $weak_limit)"
    awk -F'\t' '$1 == "bmp" || $1 == "ico"' <<<"$found" | head -5
    failed=1
else
    echo "ok    the short signatures name $weak sectors of programs as pictures"
fi
rm -f "$WORK/programs.raw"
exit $failed
