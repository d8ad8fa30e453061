#!/usr/bin/env python3
"""Saves through "engine-probe save" where the source or the target cannot hold everything:

- a FAT volume in VMDK, VHD and VHDX images cut short, at a grain or block boundary and in the middle of
  one: files with data past the cut count as failed for that reason; those with some bytes before it keep
  them and are named, those with none are not made; every other file is whole;
- the same volume saved into a 1 MiB tmpfs (a user namespace mounts it; skipped where none can be made,
  and under an emulator): what could not be written whole is counted and not left in the target;
- an NTFS volume of 16 MiB holding a sparse file of 40 MB, 4 KiB stored at its start and 8 KiB at its end
  (libntfs-3g leaves the rest unallocated): it is saved whole, and the target allocates about what the
  volume stores (st_blocks).

    save_edges_probe_test.py WORKDIR PROBE [EMULATOR...]
"""
import hashlib
import json
import os
import random
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from probe_checks import ProbeChecks  # noqa: E402
from probe_disks import MiB, build_ntfs_tool, disk_with_volume, run  # noqa: E402

WORK, PROBE = sys.argv[1], sys.argv[2]
EMULATOR = sys.argv[3:]
checks = ProbeChecks(EMULATOR)
check, probe_path = checks.check, checks.probe_path


def parse_counts(stdout):
    """The counts by name, and the names of the files kept with zeros, sorted."""
    counts, named = {}, []
    for line in stdout.replace("\r", "").splitlines():
        fields = line.split("\t")
        if fields[0] in ("saved", "skipped", "failed", "kept-with-zeros"):
            counts[fields[0]] = int(fields[1])
        elif fields[0] == "failed-reason":
            counts[fields[1]] = int(fields[2])
        elif fields[0] == "kept-with-zeros-name":
            named.append(fields[1])
    return counts, sorted(named)


def save_command(image, target):
    return EMULATOR + [PROBE, "save", probe_path(image), "--partition", "1", "--mode", "quick", "--out",
                       probe_path(target)]


def save(image, target):
    result = subprocess.run(save_command(image, target), capture_output=True, text=True)
    if result.returncode != 0:
        print(result.stdout, result.stderr)
    return parse_counts(result.stdout)


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def files_below(folder):
    """Every file below `folder` by its path relative to it."""
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            found[os.path.relpath(path, folder)] = path
    return found


# ---- A FAT volume of seeded files, its images cut short ---------------------------------------------------
fresh(WORK)
volume = os.path.join(WORK, "fat.vol")
with open(volume, "wb") as image:
    image.truncate(24 * MiB)
run("mkfs.fat", "-F", "16", "-n", "EDGES", "-h", "2048", volume)
env = dict(os.environ, MTOOLS_SKIP_CHECK="1")
originals = {}
generator = random.Random(82)
for number in range(40):
    name = "FILE%02d.BIN" % number
    data = bytes(generator.getrandbits(8) | 1 for _ in range(generator.randrange(1000, 150000)))
    host = os.path.join(WORK, name)
    with open(host, "wb") as out:
        out.write(data)
    run("mcopy", "-i", volume, host, "::" + name, env=env)
    originals[name] = data
raw = os.path.join(WORK, "fat.raw")
disk_with_volume(volume, raw, "6")

# Each format with the size of its grain or block; the data extents qemu-img maps into the file tell
# where one starts. VHDX's map gives no file offsets: its 1 MiB blocks lie on 1 MiB boundaries at the end
# of the file, and the cut goes two blocks before the end.
formats = [("vmdk", ["-O", "vmdk", "-o", "subformat=monolithicSparse"], 65536),
           ("vhd", ["-O", "vpc"], 2 * MiB),
           ("vhdx", ["-O", "vhdx", "-o", "block_size=1M"], MiB)]
for extension, options, unit in formats:
    image = os.path.join(WORK, "fat." + extension)
    run("qemu-img", "convert", "-f", "raw", *options, raw, image)
    size = os.path.getsize(image)
    extents = json.loads(run("qemu-img", "map", "--output=json", image).stdout)
    starts = [e["offset"] + k * unit for e in extents if e.get("data") and "offset" in e
              for k in range(e["length"] // unit)]
    boundary = min(starts, key=lambda start: abs(start - size // 2)) if starts else size // MiB * MiB - 2 * MiB
    kept = {}
    for where, cut in (("at a boundary", boundary), ("in the middle", boundary + unit // 2 + 1000)):
        label = "%s cut %s (%d of %d bytes)" % (extension, where, cut, size)
        cut_image = os.path.join(WORK, "cut." + extension)
        with open(image, "rb") as whole, open(cut_image, "wb") as out:
            out.write(whole.read(cut))
        target = os.path.join(WORK, "target")
        fresh(target)
        counts, named = save(cut_image, target)
        saved = files_below(target)
        differing = [name for name, data in originals.items()
                     if name in saved and open(saved[name], "rb").read() != data]
        missing = sorted(set(originals) - set(saved))
        check(counts.get("failed", 0) > 0 and
              counts.get("beyond-image-end", 0) + counts.get("nothing-read", 0) == counts["failed"],
              "%s: the files with data past the cut count as failed for it: %s" % (label, counts))
        check(len(missing) == counts.get("nothing-read", 0) and set(saved) <= set(originals),
              "%s: every file is in the target but those of which nothing could be read: %s" % (label, missing))
        check(len(differing) == counts.get("beyond-image-end") == counts.get("kept-with-zeros"),
              "%s: every other file is whole (%d differ)" % (label, len(differing)))
        check(set(named) <= set(differing) and len(named) == min(10, len(differing)),
              "%s: the files kept with zeros are named: %s" % (label, named))
        # The files' bytes are never zero: a file of zeros alone holds nothing the source gave.
        check(all(open(path, "rb").read().count(0) < os.path.getsize(path) for path in saved.values()),
              "%s: no file of zeros alone is made" % label)
        for name in differing:
            got, data = open(saved[name], "rb").read(), originals[name]
            check(len(got) == len(data) and all(g == d or g == 0 for g, d in zip(got, data)),
                  "%s: %s holds its bytes or zeros where they could not be read" % (label, name))
        # The files' bytes are never zero: the bytes saved are those that are not.
        kept[where] = sum(len(got) - got.count(0) for got in (open(path, "rb").read() for path in saved.values()))
    check(kept["in the middle"] > kept["at a boundary"],
          "%s: a cut in the middle of a unit keeps the bytes before it: %s" % (extension, kept))

# ---- The whole volume into a 1 MiB file system -------------------------------------------------------------
image = os.path.join(WORK, "fat.vmdk")
run("qemu-img", "convert", "-f", "raw", "-O", "vmdk", raw, image)
mount_point = os.path.join(WORK, "small-fs")
fresh(mount_point)
inside = ("mount -t tmpfs -o size=1m none \"$1\" && shift && \"$@\" >\"$OUT\"; "
          "cd \"$MOUNT/target\" && find . -type f -exec md5sum {} +")
namespace = ["unshare", "-Urm", "sh", "-c", inside, "sh", mount_point]
if EMULATOR or subprocess.run(["unshare", "-Urm", "sh", "-c", "mount -t tmpfs -o size=1m none \"$1\"", "sh",
                               mount_point], capture_output=True).returncode != 0:
    print("skip  no user namespace for a small file system here (or an emulator)")
else:
    report = os.path.join(WORK, "small-fs.out")
    listing = subprocess.run(namespace + save_command(image, os.path.join(mount_point, "target")),
                             env=dict(os.environ, OUT=report, MOUNT=mount_point), capture_output=True,
                             text=True)
    counts, _ = parse_counts(open(report).read())
    left = {}
    for line in listing.stdout.splitlines():
        digest, name = line.split("  ", 1)
        left[os.path.basename(name)] = digest
    check(counts.get("failed", 0) > 0 and counts.get("not-created") == counts["failed"],
          "a full target: the files that did not fit count as failed: %s" % counts)
    check(len(left) == counts.get("saved"), "a full target: it holds the %s saved files: %d" %
          (counts.get("saved"), len(left)))
    broken = [name for name, digest in left.items() if hashlib.md5(originals[name]).hexdigest() != digest]
    check(not broken, "a full target: no file is left incomplete: %s" % broken)

# ---- A sparse NTFS file larger than its volume ---------------------------------------------------------------
ntfs = os.path.join(WORK, "ntfs.vol")
with open(ntfs, "wb") as image:
    image.truncate(16 * MiB)
run("mkntfs", "-F", "-Q", "-q", "-s", "512", "-c", "4096", "-p", "2048", "-H", "16", "-S", "63", ntfs)
sparse_size = 40000000
head, tail = random.Random(5).randbytes(4096), random.Random(6).randbytes(8192)
source = os.path.join(WORK, "sparse.src")
with open(source, "wb") as out:
    out.write(head)
    out.seek(sparse_size - len(tail))
    out.write(tail)
script = os.path.join(WORK, "ntfs.script")
with open(script, "w") as out:
    out.write("write\t/sparse.bin\t%s\t0\t%d\n" % (source, len(head)))
    out.write("write\t/sparse.bin\t%s\t%d\t%d\n" % (source, sparse_size - len(tail), len(tail)))
ntfs_tool = build_ntfs_tool(WORK)
run(ntfs_tool, "apply", ntfs, script)
raw = os.path.join(WORK, "ntfs.raw")
disk_with_volume(ntfs, raw, "7")
image = os.path.join(WORK, "ntfs.vhd")
run("qemu-img", "convert", "-f", "raw", "-O", "vpc", raw, image)
target = os.path.join(WORK, "target")
fresh(target)
counts, _ = save(image, target)
saved = os.path.join(target, "sparse.bin")
check(counts.get("failed") == 0, "a sparse file larger than its volume: nothing failed: %s" % counts)
check(os.path.isfile(saved) and os.path.getsize(saved) == sparse_size and
      hashlib.md5(open(saved, "rb").read()).hexdigest() == hashlib.md5(open(source, "rb").read()).hexdigest(),
      "a sparse file larger than its volume: saved whole")
allocated = os.stat(saved).st_blocks * 512 if os.path.isfile(saved) else -1
check(0 <= allocated <= MiB, "a sparse file larger than its volume: %d bytes allocated" % allocated)

checks.finish()
