#!/usr/bin/env bash
# Checks "engine-probe trace" on the disk of file_trace_fixtures.py with planted files: one row per
# planted file, in sector order, named by its running number and the extension planted.tsv gives.
#
#   file_trace_probe_check.sh FIXTURES PROBE [EMULATOR]
set -euo pipefail
FIXTURES=$1
PROBE=$2
EMULATOR=${3:-}

image=$FIXTURES/planted.vmdk
if [[ -n $EMULATOR ]]; then
    image="Z:${image//\//\\}"
fi

expected=$(grep -v '^#' "$FIXTURES/planted.tsv" | awk -F'\t' '{ printf "%d%s\t%s\t%s\n", NR, $2, $2, $1 }')
expected+=$'\n'"summary	$(grep -vc '^#' "$FIXTURES/planted.tsv")	32768"
actual=$($EMULATOR "$PROBE" trace "$image" --range 0 32768 --types jpg,png,pdf,zip,doc,xls,ppt,pub |
    tr -d '\r' | awk -F'\t' '$1 == "summary" { print; next } { printf "%s\t%s\t%s\n", $1, $2, $4 }')
if [[ $actual != "$expected" ]]; then
    echo "probe rows differ from planted.tsv"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
echo "ok    $(grep -vc '^#' "$FIXTURES/planted.tsv") planted files"
