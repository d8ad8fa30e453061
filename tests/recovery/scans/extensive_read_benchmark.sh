#!/usr/bin/env bash
# Prints the time of img_cat reading a disk image beside the Extensive Scan's reading of it
# (recovery_extensive_read_benchmark, run through the emulator for a Windows build). A benchmark, not a
# test.
#
#   extensive_read_benchmark.sh IMAGE BENCHMARK [EMULATOR]
set -euo pipefail
image=$1
benchmark=$2
emulator=${3:-}
path=$image
if [[ -n $emulator ]]; then
    path="Z:$(readlink -f "$image" | tr / '\\')"
fi
start=$(date +%s.%N)
img_cat "$image" >/dev/null
end=$(date +%s.%N)
# shellcheck disable=SC2086
$emulator "$benchmark" "$path"
awk -v s="$start" -v e="$end" 'BEGIN { printf "img_cat\t%.2f s\n", e - s }'
