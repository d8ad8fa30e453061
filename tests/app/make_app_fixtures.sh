#!/usr/bin/env bash
# Snapshot documents for the program's command-line start, written by the engine probe (the 64-bit
# Windows build, run through the emulator) from a small disk: an MBR with one FAT16 partition made by
# sfdisk, mkfs.fat and mtools, as a monolithic sparse VMDK. Writes into OUTDIR:
#   quick.vqdx   the Quick Scan of partition 1
#   trace.vqdx   the File Trace search of partition 1
#   bogus.vqdx   a document whose first character names no scan mode
#   trace.vhd    a dynamic VHD whose one FAT16 partition holds a JPEG, a PNG and a PDF copied in by mtools,
#   trace.raw    the same disk as raw sectors, and trace-items.tsv its files' types and first sectors
#                on the disk (from istat), for File Trace on the whole road
#   blank.vmdk   an MBR disk whose partition 1 (type 0x07) was never formatted and whose partition 2 is a
#                FAT16 volume with one file, for the wizard's way back from a partition without parameters
#   empty.vmdk   an MBR disk whose one FAT16 partition was formatted without a label and holds no entry,
#                for a Quick Scan that finds nothing
#   cut-early.vhd, cut-half.vhd  a dynamic VHD of one FAT32 partition holding six folders of files, its
#                file cut short before the root folder and halfway through the folders
#   extensive-pN.tsv  the volumes that the Extensive Scan of row N of TEST_DISKS/mbr-ext05.vmdk finds
#                     (rows 2 and 3, its FAT32 and NTFS partitions), as the probe prints them
#   extensive-no-table-FS.tsv  the same for the whole of TEST_DISKS/no-table.vhd with FS (fat16, fat32,
#                     ntfs) chosen
# OUTDIR is rebuilt only when this script or the probe changed.
#
#   make_app_fixtures.sh OUTDIR PROBE EMULATOR [TEST_DISKS]
set -euo pipefail

OUT=$(readlink -m "$1")
PROBE=$(readlink -m "$2")
EMULATOR=$3
source "$(dirname "${BASH_SOURCE[0]}")/../recovery/support/fixture_cache.sh"
fixture_begin "$OUT" "${BASH_SOURCE[0]}" "$(dirname "${BASH_SOURCE[0]}")/../recovery/trace/make_trace_files.py" "$PROBE"

export MTOOLS_SKIP_CHECK=1
RAW=$OUT/disk.raw
VOLUME=$OUT/volume.raw
truncate -s 16M "$RAW"
printf 'label: dos\nstart=2048, type=06\n' | sfdisk --quiet "$RAW"
SECTORS=$(($(stat -c %s "$RAW") / 512 - 2048))
mkfs.fat -C -F 16 -n SNAPSHOT "$VOLUME" $((SECTORS / 2)) >/dev/null
printf 'a report\n' >"$OUT/report.txt"
head -c 20000 /dev/zero | tr '\0' 'q' >"$OUT/data.bin"
mcopy -i "$VOLUME" "$OUT/report.txt" ::/REPORT.TXT
mmd -i "$VOLUME" ::/DOCS
mcopy -i "$VOLUME" "$OUT/data.bin" ::/DOCS/DATA.BIN
dd if="$VOLUME" of="$RAW" bs=512 seek=2048 conv=notrunc status=none
qemu-img convert -f raw -O vmdk -o subformat=monolithicSparse "$RAW" "$OUT/disk.vmdk"
rm -f "$RAW" "$VOLUME" "$OUT/report.txt" "$OUT/data.bin"

# File Trace's disk: files that begin as their formats say, each several clusters long, where istat says.
TRACE_RAW=$OUT/trace.raw
TRACE_PART=$OUT/trace.part
TRACE_START=2048
TRACE_SECTORS=14336
truncate -s $(((TRACE_START + TRACE_SECTORS) * 512)) "$TRACE_RAW"
printf 'label: dos\nstart=%d, size=%d, type=06\n' $TRACE_START $TRACE_SECTORS | sfdisk --quiet "$TRACE_RAW"
truncate -s $((TRACE_SECTORS * 512)) "$TRACE_PART"
mkfs.fat -F 16 -s 1 -S 512 -n TRACE "$TRACE_PART" >/dev/null
python3 "$(dirname "${BASH_SOURCE[0]}")/../recovery/trace/make_trace_files.py" "$OUT"
: >"$OUT/trace-items.tsv"
for name in photo.jpg image.png paper.pdf; do
    mcopy -i "$TRACE_PART" "$OUT/$name" "::$name"
done
dd if="$TRACE_PART" of="$TRACE_RAW" bs=512 seek=$TRACE_START conv=notrunc status=none
for name in photo.jpg image.png paper.pdf; do
    inode=$(fls -o $TRACE_START "$TRACE_RAW" | awk -v n="$name" '$NF == n { sub(":", "", $2); print $2 }')
    first=$(istat -o $TRACE_START "$TRACE_RAW" "$inode" | awk '/^Sectors:/ { getline; print $1; exit }')
    printf '%s\t%d\n' "${name##*.}" $((first + TRACE_START)) >>"$OUT/trace-items.tsv"
    rm -f "$OUT/$name"
done
qemu-img convert -f raw -O vpc -o subformat=dynamic "$TRACE_RAW" "$OUT/trace.vhd"
rm -f "$TRACE_PART"

# A partition that was never formatted (all zeros) before a FAT16 one.
BLANK_RAW=$OUT/blank.raw
BLANK_PART=$OUT/blank.part
truncate -s 8M "$BLANK_RAW"
printf 'label: dos\nstart=2048, size=4096, type=07\nstart=6144, type=06\n' | sfdisk --quiet "$BLANK_RAW"
truncate -s $(((16384 - 6144) * 512)) "$BLANK_PART"
mkfs.fat -F 16 -s 1 -S 512 -n FORMATTED "$BLANK_PART" >/dev/null
printf 'formatted\n' >"$OUT/note.txt"
mcopy -i "$BLANK_PART" "$OUT/note.txt" ::/NOTE.TXT
dd if="$BLANK_PART" of="$BLANK_RAW" bs=512 seek=6144 conv=notrunc status=none
qemu-img convert -f raw -O vmdk -o subformat=monolithicSparse "$BLANK_RAW" "$OUT/blank.vmdk"
rm -f "$BLANK_RAW" "$BLANK_PART" "$OUT/note.txt"

# A FAT16 volume with nothing in it: no label entry either.
EMPTY_RAW=$OUT/empty.raw
EMPTY_PART=$OUT/empty.part
truncate -s 8M "$EMPTY_RAW"
printf 'label: dos\nstart=2048, type=06\n' | sfdisk --quiet "$EMPTY_RAW"
truncate -s $(((16384 - 2048) * 512)) "$EMPTY_PART"
mkfs.fat -F 16 -s 1 -S 512 "$EMPTY_PART" >/dev/null
[[ -z $(mdir -i "$EMPTY_PART" -b ::/) ]] || { echo "the empty volume holds entries" >&2; exit 1; }
dd if="$EMPTY_PART" of="$EMPTY_RAW" bs=512 seek=2048 conv=notrunc status=none
qemu-img convert -f raw -O vmdk -o subformat=monolithicSparse "$EMPTY_RAW" "$OUT/empty.vmdk"
rm -f "$EMPTY_RAW" "$EMPTY_PART"

# A FAT32 disk as a dynamic VHD, cut short twice: before the root folder (nothing can be listed) and halfway
# through the folders (those before the cut are listed).
CUT_RAW=$OUT/cut.raw
CUT_PART=$OUT/cut.part
truncate -s 42M "$CUT_RAW"
printf 'label: dos\nstart=2048, type=0c\n' | sfdisk --quiet "$CUT_RAW"
truncate -s $(((86016 - 2048) * 512)) "$CUT_PART"
mkfs.fat -F 32 -s 1 -n CUT "$CUT_PART" >/dev/null
for folder in 1 2 3 4 5 6; do
    mmd -i "$CUT_PART" "::/FOLDER$folder"
    for file in 1 2 3 4; do
        head -c $((folder * 30000 + file * 11111)) /dev/zero | tr '\0' "$folder" >"$OUT/file.bin"
        mcopy -i "$CUT_PART" "$OUT/file.bin" "::/FOLDER$folder/FILE$file.BIN"
    done
done
dd if="$CUT_PART" of="$CUT_RAW" bs=512 seek=2048 conv=notrunc status=none
qemu-img convert -f raw -O vpc -o subformat=dynamic "$CUT_RAW" "$OUT/cut.vhd"
# The root folder's cluster lies at 1,726,464 bytes into the disk, 2,560 bytes further into the file.
head -c 1700000 "$OUT/cut.vhd" >"$OUT/cut-early.vhd"
head -c 3500000 "$OUT/cut.vhd" >"$OUT/cut-half.vhd"
rm -f "$CUT_RAW" "$CUT_PART" "$OUT/file.bin" "$OUT/cut.vhd"

windows_path() { # the Unix root is drive Z:
    printf 'Z:%s' "${1//\//\\}"
}
"$EMULATOR" "$PROBE" snapshot "$(windows_path "$OUT/disk.vmdk")" --partition 1 --mode quick \
    --write "$(windows_path "$OUT/quick.vqdx")" >/dev/null
"$EMULATOR" "$PROBE" snapshot "$(windows_path "$OUT/disk.vmdk")" --partition 1 --mode trace \
    --write "$(windows_path "$OUT/trace.vqdx")" >/dev/null
printf 'X\0not a snapshot' >"$OUT/bogus.vqdx"
if [[ -n ${4:-} ]]; then
    for row in 2 3; do
        "$EMULATOR" "$PROBE" scan "$(windows_path "$(readlink -m "$4")/mbr-ext05.vmdk")" --partition $row \
            --mode extensive | tr -d '\r' >"$OUT/extensive-p$row.tsv"
    done
    for fs in fat16 fat32 ntfs; do
        "$EMULATOR" "$PROBE" scan "$(windows_path "$(readlink -m "$4")/no-table.vhd")" --whole-disk $fs \
            --mode extensive | tr -d '\r' >"$OUT/extensive-no-table-$fs.tsv"
    done
fi
[[ -s $OUT/quick.vqdx && -s $OUT/trace.vqdx ]] || { echo "the probe wrote no snapshot" >&2; exit 1; }
fixture_done
