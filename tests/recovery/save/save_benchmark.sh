#!/usr/bin/env bash
# Prints the time of tsk_recover -e beside the engine's save (recovery_save_benchmark, through the
# emulator for a Windows build) on an NTFS volume of 100,000 small files in 100 folders, made once by
# libntfs-3g (tools/ntfs_tool.c) into WORKDIR, and the floor beside both: the same files written by
# recovery_save_floor_benchmark with the system's calls alone (under the same emulator). A benchmark,
# not a test.
#
#   save_benchmark.sh WORKDIR SOURCE_DIR BENCHMARK FLOOR_BENCHMARK [EMULATOR]
set -euo pipefail
work=$(readlink -m "$1")
source_dir=$(readlink -m "$2")
benchmark=$3
floor_benchmark=$4
emulator=${5:-}
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

rm -rf "$work/tsk" "$work/engine" "$work/floor"
mkdir -p "$work/tsk" "$work/engine" "$work/floor"
start=$(date +%s.%N)
tsk_recover -e "$volume" "$work/tsk" >/dev/null
end=$(date +%s.%N)
tsk_seconds=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }')
# The Windows programs take the Wine drive form of a host path.
probe_path() {
    if [[ -n $emulator ]]; then
        printf 'Z:%s' "$(tr / '\\' <<<"$1")"
    else
        printf '%s' "$1"
    fi
}
# shellcheck disable=SC2086
$emulator "$floor_benchmark" "$(probe_path "$work/floor")"
# shellcheck disable=SC2086
$emulator "$benchmark" "$(probe_path "$volume")" "$(probe_path "$work/engine")"
echo "tsk_recover -e	$tsk_seconds s	$(find "$work/tsk" -type f | wc -l) files"
echo "saved by the engine: $(find "$work/engine" -type f | wc -l) files"
rm -rf "$work/tsk" "$work/engine" "$work/floor"
