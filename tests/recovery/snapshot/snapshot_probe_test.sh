#!/usr/bin/env bash
# "engine-probe snapshot" over the test disks: each kind of result scanned and written, then read back
# with its image opened again, must print the same rows; saving from the loaded document must give the
# same files as "engine-probe save" after the scan; a document cut short, a missing one, and a save
# without the image are refused with the program's message and exit code 2.
#
#   snapshot_probe_test.sh WORK TEST_DISKS PROBE [EMULATOR]
set -euo pipefail
WORK=$1
DISKS=$2
PROBE=$3
EMULATOR=${4:-}

# The Windows probe takes the Wine drive form of a host path.
probe_path() {
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

# Relative path and MD5 of every file below a folder, sorted.
tree_md5() {
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r md5sum)
}

rm -rf "$WORK"
mkdir -p "$WORK"

# Image, partition row, mode, and whether "engine-probe save" can save the same scan (it saves Quick
# Scans and the Extensive Scan's FAT volumes).
cases=(
    "mbr-ext05.vmdk 1 quick save"
    "mbr-ext05.vhd 2 quick save"
    "mbr-ext05.vhdx 4 extensive save"
    "mbr-ext05.vmdk 3 quick save"
    "mbr-ext05.vmdk 3 extensive -"
    "sample-ntfs.fixed.vhd 1 quick save"
    "sample-vfat.vmdk 1 trace -"
)
for spec in "${cases[@]}"; do
    read -r image row mode save <<<"$spec"
    name=${image%%.*}.$row.$mode
    document=$WORK/$name.vqdx
    image_arg=$(probe_path "$DISKS/$image")
    volume=()
    [[ $mode == extensive ]] && volume=(--volume 1)
    if ! probe snapshot "$image_arg" --partition "$row" --mode "$mode" "${volume[@]}" \
        --write "$(probe_path "$document")" >"$WORK/$name.written.txt"; then
        fail "$name: write failed: $(tail -1 "$WORK/$name.written.txt")"
        continue
    fi
    probe snapshot --read "$(probe_path "$document")" --image "$image_arg" >"$WORK/$name.read.txt" ||
        fail "$name: read failed: $(tail -1 "$WORK/$name.read.txt")"
    if cmp -s "$WORK/$name.written.txt" "$WORK/$name.read.txt"; then
        echo "ok    $name: $(wc -l <"$WORK/$name.read.txt") rows read back, $(stat -c %s "$document") bytes"
    else
        fail "$name: rows differ after reading back"
        diff "$WORK/$name.written.txt" "$WORK/$name.read.txt" | head -5
    fi

    [[ $save == save ]] || continue
    probe save "$image_arg" --partition "$row" --mode "$mode" "${volume[@]}" \
        --out "$(probe_path "$WORK/$name.scan-saved")" >/dev/null
    probe snapshot --read "$(probe_path "$document")" --image "$image_arg" \
        --out "$(probe_path "$WORK/$name.load-saved")" >"$WORK/$name.saved.txt"
    scanned=$(tree_md5 "$WORK/$name.scan-saved")
    if [[ -n $scanned && $scanned == "$(tree_md5 "$WORK/$name.load-saved")" ]]; then
        echo "ok    $name: $(wc -l <<<"$scanned") files saved as after the scan"
    else
        fail "$name: saved files differ from the save after the scan"
    fi
done

# Refusals: the program's message, exit code 2.
expect_refused() {
    local what=$1 message=$2
    shift 2
    local output status=0
    output=$(probe "$@") || status=$?
    # A loaded document prints its rows before its save is refused: the refusal is the last line.
    if [[ $status == 2 && $(tail -1 <<<"$output") == "refused"$'\t'"$message" ]]; then
        echo "ok    $what refused"
    else
        fail "$what: exit $status, '$output'"
    fi
}
whole=$WORK/mbr-ext05.1.quick.vqdx
head -c 200 "$whole" >"$WORK/cut.vqdx"
expect_refused "a document cut short" "Invalid Snapshot File. Please Load respective valid Snapshot. " \
    snapshot --read "$(probe_path "$WORK/cut.vqdx")"
expect_refused "a missing document" "$(probe_path "$WORK/none.vqdx") does not exists." \
    snapshot --read "$(probe_path "$WORK/none.vqdx")"
expect_refused "a save without the image" \
    "The disk or image of these results is not open. Please open it again and then save the files." \
    snapshot --read "$(probe_path "$whole")" --out "$(probe_path "$WORK/no-image")"

if ((failures > 0)); then
    echo "$failures failure(s)"
    exit 1
fi
