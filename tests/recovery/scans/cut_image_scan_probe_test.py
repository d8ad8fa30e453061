#!/usr/bin/env python3
"""Scans through "engine-probe scan" of disk images cut short inside their volume: a FAT32 volume and an
NTFS volume, each in VMDK, VHD and VHDX images, cut at a quarter, a half, five and six eighths of the image
file. Every cut at which the Quick Scan (and for the VHD the Extensive Scan) still finds the partition but
lists fewer files ends with the message that the disk image file is cut short and that files stored past
its end cannot be listed or saved whole; the whole images end without it.

    cut_image_scan_probe_test.py WORKDIR PROBE [EMULATOR...]
"""
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


def scan(image, *mode):
    """The messages the scan ends with and the number of files it lists; None when no scan runs (the image
    is refused, or its partition table lies past the cut)."""
    result = subprocess.run(EMULATOR + [PROBE, "scan", probe_path(image), "--partition", "1", "--mode"] +
                            list(mode), capture_output=True, text=True)
    lines = result.stdout.replace("\r", "").splitlines()
    if any(line.startswith("refused\t") and not line.startswith("refused\tthe scan found") for line in lines):
        return None
    files = sum(1 for line in lines if line.startswith("F\t"))
    return [line.split("\t", 1)[1] for line in lines if line.startswith("message\t")], files


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
generator = random.Random(87)

# FAT32: folders of small files, so that folders' clusters lie all through the data the image stores.
fat = os.path.join(WORK, "fat.vol")
with open(fat, "wb") as volume:
    volume.truncate(40 * MiB)
run("mkfs.fat", "-F", "32", "-n", "CUT", "-h", "2048", fat)
env = dict(os.environ, MTOOLS_SKIP_CHECK="1")
host = os.path.join(WORK, "host")
os.makedirs(host)
for folder in range(12):
    os.makedirs(os.path.join(host, "D%02d" % folder))
    for number in range(8):
        with open(os.path.join(host, "D%02d" % folder, "F%02d.BIN" % number), "wb") as out:
            out.write(generator.randbytes(generator.randrange(2000, 40000)))
run("mcopy", "-s", "-i", fat, *[os.path.join(host, name) for name in sorted(os.listdir(host))], "::/", env=env)

# NTFS: many small files, so that their records fill much of what the image stores.
ntfs = os.path.join(WORK, "ntfs.vol")
with open(ntfs, "wb") as volume:
    volume.truncate(16 * MiB)
run("mkntfs", "-F", "-Q", "-q", "-s", "512", "-c", "4096", "-p", "2048", "-H", "16", "-S", "63", ntfs)
small = os.path.join(WORK, "small.bin")
with open(small, "wb") as out:
    out.write(generator.randbytes(600))
script = os.path.join(WORK, "ntfs.script")
with open(script, "w") as out:
    for number in range(1500):
        out.write("put\t/file%04d.txt\t%s\n" % (number, small))
ntfs_tool = build_ntfs_tool(WORK)
run(ntfs_tool, "apply", ntfs, script)

formats = [("vmdk", ["-O", "vmdk", "-o", "subformat=monolithicSparse"]), ("vhd", ["-O", "vpc"]),
           ("vhdx", ["-O", "vhdx", "-o", "block_size=1M"])]
for name, volume, type_code in (("fat32", fat, "c"), ("ntfs", ntfs, "7")):
    raw = os.path.join(WORK, name + ".raw")
    disk_with_volume(volume, raw, type_code)
    for extension, options in formats:
        image = os.path.join(WORK, "%s.%s" % (name, extension))
        run("qemu-img", "convert", "-f", "raw", *options, raw, image)
        modes = [["quick"]] + ([["extensive", "--volume", "1"]] if extension == "vhd" else [])
        for mode in modes:
            label = "%s in %s, %s scan" % (name, extension, mode[0])
            told, whole = scan(image, *mode)
            check(told == [] and whole > 0, "%s, whole image: %d files, no message: %s" % (label, whole, told))
            # Where the image keeps the volume's parts depends on the format: of the cuts at which the
            # partition is still found, each that lists fewer files must say why.
            losing = 0
            for eighths in (2, 4, 5, 6):
                size = os.path.getsize(image) * eighths // 8
                cut = os.path.join(WORK, "cut-%s-%d.%s" % (name, eighths, extension))
                with open(image, "rb") as whole_image, open(cut, "wb") as out:
                    out.write(whole_image.read(size))
                found = scan(cut, *mode)
                if found is None or found[1] == whole:
                    continue
                told, files = found
                losing += 1
                check(len(told) == 1 and "disk image file is cut short" in told[0] and
                      "cannot be listed or saved whole" in told[0],
                      "%s, cut at %d of %d bytes: %d of %d files listed, and the scan says why: %s" %
                      (label, size, os.path.getsize(image), files, whole, told))
            check(losing > 0, "%s: some cut loses files while the partition is still found" % label)

checks.finish()
