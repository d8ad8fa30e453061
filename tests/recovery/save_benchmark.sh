#!/usr/bin/env bash
# Prints the time of tsk_recover -e beside the engine's save (recovery_save_benchmark, through the
# emulator for a Windows build) on an NTFS volume of 100,000 small files in 100 folders, made once by
# libntfs-3g (tools/ntfs_tool.c) into WORKDIR. A benchmark, not a test.
#
#   save_benchmark.sh WORKDIR SOURCE_DIR BENCHMARK [EMULATOR]
set -euo pipefail
work=$(readlink -m "$1")
source_dir=$(readlink -m "$2")
benchmark=$3
emulator=${4:-}
volume=$work/small-files.raw
mkdir -p "$work"
if [[ ! -f $work/.made ]]; then
    gcc -O2 -o "$work/ntfs_tool" "$source_dir/tools/ntfs_tool.c" -lntfs-3g
    truncate -s $((640 * 1024 * 1024)) "$volume"
    mkntfs -F -Q -q -s 512 -c 4096 -L small-files "$volume" $((640 * 2048)) >/dev/null 2>&1
    for size in 100 700 1500 3000; do
        "$work/ntfs_tool" gen "size-$size" "$size" >"$work/host-$size"
    done
    awk -v work="$work" 'BEGIN {
        split("100 700 1500 3000", sizes, " ")
        for (f = 0; f < 100; ++f) {
            printf "mkdir\t/folder-%03d\n", f
            for (i = 0; i < 1000; ++i)
                printf "put\t/folder-%03d/file-%04d.bin\t%s/host-%s\n", f, i, work, sizes[i % 4 + 1]
        }
    }' >"$work/ops"
    "$work/ntfs_tool" apply "$volume" "$work/ops"
    touch "$work/.made"
fi

rm -rf "$work/tsk" "$work/engine"
mkdir -p "$work/tsk" "$work/engine"
start=$(date +%s.%N)
tsk_recover -e "$volume" "$work/tsk" >/dev/null
end=$(date +%s.%N)
tsk_seconds=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }')
volume_path=$volume
target=$work/engine
if [[ -n $emulator ]]; then
    volume_path="Z:$(tr / '\\' <<<"$volume")"
    target="Z:$(tr / '\\' <<<"$target")"
fi
# shellcheck disable=SC2086
$emulator "$benchmark" "$volume_path" "$target"
echo "tsk_recover -e	$tsk_seconds s	$(find "$work/tsk" -type f | wc -l) files"
echo "saved by the engine: $(find "$work/engine" -type f | wc -l) files"
