#!/usr/bin/env bash
# One road of the program end to end under Wine, through tools/recover-road, and what it saved compared
# with Sleuth Kit's view of the same disk:
#   quick      mbr-ext05.vmdk, row 2 (FAT32), Quick Scan, the whole root, a second copy started on the
#              way: every live file equals icat, every recoverable deleted one icat -r (files.tsv), empty
#              files too, and nothing else is saved
#   extensive  mbr-ext05.vhdx, row 5 (NTFS), Extensive Scan, its volume, only Level1: the saved tree is
#              fls's below Level1 and every file equals icat
#   trace      the app fixtures' trace.vhd, File Trace with the shipped Raw.dat: one item for each planted
#              file, each equal to the disk's bytes from the file's first sector (istat) for the item size
#   tour       seven legs in one run: Quick of row 2, Back, Quick of row 1, Home, a Quick Scan of
#              sample-ntfs.vmdk stopped at once, Home, Extensive of mbr-ext05.vhdx row 5's volume 1, Back,
#              that volume again (the range holds one), Home, File Trace of trace.vhd, Home, an Extensive
#              Scan of big-4g.vmdk's whole disk stopped at once; each saved folder checked as in the roads
#              above
#   tour-starved-N  the tour with the program short of CPU: its Wine processes held to one core (the N-th
#              from the last of those this test may use) beside a process that spins there
# Pictures of every step go to BUILD/tests/e2e/ROAD.
#
#   road_check.sh quick|extensive|trace|tour|tour-starved-N SOURCE_DIR BUILD_DIR TEST_DISKS APP_FIXTURES
set -uo pipefail
road=$1
source_dir=$2
build_dir=$3
disks=$4
fixtures=$5

work=$build_dir/tests/e2e/$road
starved=()
if [[ $road =~ ^tour-starved-([0-9]+)$ ]]; then
    cores=$(python3 -c 'import os, sys; c = sorted(os.sched_getaffinity(0)); print(c[-1 - (int(sys.argv[1]) - 1) % len(c)])' \
        "${BASH_REMATCH[1]}")
    # Every step may take several times as long on a shared core.
    starved=(--starved "$cores" --time-limit 120)
    road=tour
fi
rm -rf "$work"
mkdir -p "$work/saved"
log=$work/driver.txt
fail() {
    echo "FAIL: $*"
    exit 1
}

check_quick() {
    # SAVED FILES_TSV: the whole root of a FAT Quick Scan
    python3 - "$2" "$1" <<'PY' || exit 1
import hashlib, os, sys
rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8") if not line.startswith("#")]
saved = {}
for folder, _, files in os.walk(sys.argv[2]):
    for name in files:
        path = os.path.join(folder, name)
        saved[os.path.relpath(path, sys.argv[2]).replace(os.sep, "/")] = hashlib.md5(open(path, "rb").read()).hexdigest()
def matches(oracle_path, saved_path):
    # FAT names compare without regard to case: the program names a file by its short entry, upper case,
    # where only the entry's case flags make fls show it in lower case. A deleted entry has lost the first
    # character of its name, which the program and fls each stand in for with a character of their own.
    a, b = oracle_path.lower().split("/"), saved_path.lower().split("/")
    return len(a) == len(b) and all(x == y or (x[:1] == "_" and x[1:] == y[1:]) for x, y in zip(a, b))
# Every file is saved; a deleted file whose clusters were taken again has no bytes to compare.
expected = [r for r in rows if r[1] == "f"]
failures = []
left = dict(saved)
for r in expected:
    found = [p for p in left if matches(r[8], p)]
    if not found:
        failures.append("not saved: " + r[8])
        continue
    if (r[2] == "0" or r[7] == "1") and left[found[0]] != r[5]:
        failures.append("bytes differ from icat: " + r[8])
    del left[found[0]]
failures += ["saved but not in fls: " + p for p in sorted(left)]
print("%d files compared with icat, %d of them deleted" % (len(expected), sum(r[2] == "1" for r in expected)))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
PY
}

check_extensive() {
    # SAVED FILES_TSV: Level1 of an Extensive Scan's NTFS volume
    python3 - "$2" "$1" <<'PY' || exit 1
import hashlib, os, sys
rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8") if not line.startswith("#")]
top = sys.argv[2]
# The program saves the marked folder under its own name.
if not os.path.isdir(os.path.join(top, "Level1")):
    print("FAIL: no Level1 in", os.listdir(top))
    sys.exit(1)
tree = {}
for folder, dirs, files in os.walk(top):
    for name in dirs:
        tree[os.path.relpath(os.path.join(folder, name), top).replace(os.sep, "/")] = "d"
    for name in files:
        path = os.path.join(folder, name)
        tree[os.path.relpath(path, top).replace(os.sep, "/")] = hashlib.md5(open(path, "rb").read()).hexdigest()
oracle = {r[8]: ("d" if r[1] == "d" else r[5]) for r in rows
          if r[8].startswith("Level1/") and r[3] == "0" and r[1] in "df"}
oracle["Level1"] = "d"
failures = ["not saved: " + p for p in sorted(set(oracle) - set(tree))]
failures += ["saved but not in fls: " + p for p in sorted(set(tree) - set(oracle))]
failures += ["bytes differ from icat: " + p for p in sorted(set(tree) & set(oracle)) if tree[p] != oracle[p]]
print("%d entries below Level1 compared with fls and icat" % len(oracle))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
PY
}

check_trace() {
    # SAVED LOG: one item for each planted file of the trace disk, of the size the File Types dialog
    # showed (the LOG's last item-size line)
    local size
    size=$(awk -F'\t' '$1 == "item-size" { s = $2 } END { print s }' "$2")
    [[ $size =~ ^([0-9]+)\ ?MB$ ]] || fail "no item size in MB: '$size'"
    python3 - "$fixtures/trace-items.tsv" "$fixtures/trace.raw" "$1" "${BASH_REMATCH[1]}" <<'PY' || exit 1
import os, sys
items = [line.rstrip("\n").split("\t") for line in open(sys.argv[1])]
disk = open(sys.argv[2], "rb").read()
size = int(sys.argv[4]) << 20
saved = {}
for folder, _, files in os.walk(sys.argv[3]):
    for name in files:
        saved[name] = open(os.path.join(folder, name), "rb").read()
failures = []
if len(saved) != len(items):
    failures.append("%d items saved for %d planted files: %s" % (len(saved), len(items), sorted(saved)))
for kind, sector in items:
    expected = disk[int(sector) * 512:int(sector) * 512 + size]
    expected += bytes(size - len(expected))
    found = [n for n, data in saved.items() if n.lower().endswith("." + kind) and data == expected]
    if not found:
        failures.append("no saved .%s equals the disk from sector %s for %d bytes" % (kind, sector, size))
print("%d items compared with the disk's bytes, %d MB each" % (len(items), size >> 20))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
PY
}

case $road in
quick) road_args=("$disks/mbr-ext05.vmdk" --partition 2 --mode quick --second-copy) ;;
extensive) road_args=("$disks/mbr-ext05.vhdx" --partition 5 --mode extensive --volume 1 --folder Level1) ;;
trace) road_args=("$fixtures/trace.vhd" --partition 1 --mode trace) ;;
tour)
    # Back to another partition, Home to another image and mode, Back to the volumes, Home to File
    # Trace, and a scan stopped at once; one run of the program.
    vmdk=$disks/mbr-ext05.vmdk
    vhdx=$disks/mbr-ext05.vhdx
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' \
        "$vmdk" 2 quick - - "$work/saved/1-quick" save back \
        "$vmdk" 1 quick - - "$work/saved/2-quick" save home \
        "$disks/sample-ntfs.vmdk" 1 quick - - "$work/saved/3-stop" stop home \
        "$vhdx" 5 extensive 1 Level1 "$work/saved/4-extensive" save back \
        "$vhdx" 5 extensive 1 Level1 "$work/saved/5-extensive" save home \
        "$fixtures/trace.vhd" 1 trace - - "$work/saved/6-trace" save home \
        "$disks/big-4g.vmdk" 1 extensive - 0-9437903 "$work/saved/7-stop" stop home >"$work/tour.tsv"
    road_args=(--tour "$work/tour.tsv")
    ;;
*) fail "no road $road" ;;
esac

started=$(date +%s%N)
if [[ $road == tour ]]; then
    RECOVER_ROAD_BUILD=$build_dir "$source_dir/tools/recover-road" "${road_args[@]}" --shots "$work" \
        "${starved[@]}" >"$log"
else
    RECOVER_ROAD_BUILD=$build_dir "$source_dir/tools/recover-road" "${road_args[@]}" --out "$work/saved" \
        --shots "$work" >"$log"
fi
status=$?
cat "$log"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
echo "road $road: $((elapsed_ms / 1000)).$(printf %03d $((elapsed_ms % 1000))) s"
[[ $status -eq 0 ]] || fail "recover-road ended with $status"
# A tour prints each leg's outcome on its "leg" line and fails when one saved less than everything.
[[ $road == tour ]] || grep -qx $'outcome\tFiles Saved Successfully.' "$log" ||
    fail "the program did not say that every file was saved"

case $road in
quick)
    # The message is drawn inside the box; its picture is 05-second-copy.png.
    grep -qx $'second-copy\tCorvane VMDK Recovery' "$log" || fail "the second copy showed no message"
    check_quick "$work/saved" "$disks/mbr-ext05.p2.files.tsv"
    ;;
extensive) check_extensive "$work/saved" "$disks/mbr-ext05.p6.files.tsv" ;;
trace) check_trace "$work/saved" "$log" ;;
tour)
    check_quick "$work/saved/1-quick" "$disks/mbr-ext05.p2.files.tsv"
    check_quick "$work/saved/2-quick" "$disks/mbr-ext05.p1.files.tsv"
    check_extensive "$work/saved/4-extensive" "$disks/mbr-ext05.p6.files.tsv"
    check_extensive "$work/saved/5-extensive" "$disks/mbr-ext05.p6.files.tsv"
    check_trace "$work/saved/6-trace" "$log"
    [[ -z $(ls -A "$work/saved/3-stop")$(ls -A "$work/saved/7-stop") ]] || fail "a stopped leg saved something"
    [[ $(grep -c $'^leg\t[0-9]*\twalked' "$log") -eq 7 ]] || fail "not every leg was walked"
    ;;
esac
echo "ok    road $road"
