#!/usr/bin/env python3
"""Saves FAT volumes through "engine-probe save": with "--mode quick" every FAT partition of the test disks
(by its start sector where no partition row reaches it), with "--mode extensive --volume 1" those of
mbr-ext05. Every live file that
fls lists there, empty files included, must land at its path in the target folder with the MD5 that icat
gives (an empty file as a file of size 0).

    extensive_fat_save_probe_test.py WORKDIR PROBE DISKS [EMULATOR...]
"""
import hashlib
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from probe_checks import ProbeChecks  # noqa: E402

WORK, PROBE, DISKS = sys.argv[1], sys.argv[2], sys.argv[3]
EMULATOR = sys.argv[4:]
EXTENSIVE_DISK = "mbr-ext05"
checks = ProbeChecks(EMULATOR)
check, probe_path = checks.check, checks.probe_path


def probe(*arguments):
    result = subprocess.run(EMULATOR + [PROBE, *arguments], capture_output=True, text=True)
    return result.returncode, result.stdout.replace("\r", "")


def tsv(path):
    with open(path, encoding="utf-8") as source:
        return [line.rstrip("\n").split("\t") for line in source if line.strip() and not line.startswith("#")]


def saved_files(folder):
    """Saved files by their path below `folder` in lower case (8.3 names keep no case of their own)."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.relpath(os.path.join(root, name), folder).replace(os.sep, "/")
            files[path.lower()] = os.path.join(root, name)
    return files


def md5(path):
    with open(path, "rb") as source:
        return hashlib.md5(source.read()).hexdigest()


def partition_rows(image, search):
    """Row number of each partition row by its start sector, as "engine-probe partitions" prints them."""
    _, table = probe("partitions", probe_path(image), *(["--search"] if search else []))
    return {fields[1]: fields[0] for fields in (line.split("\t") for line in table.splitlines()) if len(fields) > 1}


def save_and_compare(disk, part, files, volume, image, mode, search):
    """`volume` names the volume to the probe: ["--partition", row] or ["--start", sector]."""
    target = os.path.join(WORK, "%s.p%s.%s" % (disk, part, mode))
    shutil.rmtree(target, ignore_errors=True)
    os.makedirs(target)
    extra = (["--volume", "1"] if mode == "extensive" else []) + (["--search"] if search else [])
    code, output = probe("save", probe_path(image), *volume, "--mode", mode, *extra,
                         "--out", probe_path(target))
    name = "%s p%s %s" % (disk, part, mode)
    check(code == 0, "%s: saved (%s)" % (name, " ".join(output.split())))
    saved = saved_files(target)
    live = 0
    empty = 0
    for entry in tsv(os.path.join(DISKS, files)):
        kind, deleted, size, expected, path = entry[1], entry[2], entry[4], entry[5], entry[8]
        if kind != "f" or deleted != "0" or expected == "-" or path.startswith("$OrphanFiles/"):
            continue
        live += 1
        found = saved.get(path.lower())
        check(found is not None and md5(found) == expected, "%s: %s" % (name, path))
        if size == "0":
            empty += 1
            check(found is not None and os.path.getsize(found) == 0, "%s: %s saved empty" % (name, path))
    check(live > 0, "%s: %d live files compared, %d of them empty" % (name, live, empty))
    shutil.rmtree(target, ignore_errors=True)


tables = {}
for fields in tsv(os.path.join(DISKS, "partitions.tsv")):
    disk, part, start, fs, files = fields[0], fields[1], fields[2], fields[4], fields[7]
    if fs not in ("fat16", "fat32"):
        continue
    image = os.path.join(DISKS, disk + ".vmdk")
    for search in (False, True):
        if (disk, search) not in tables:
            tables[(disk, search)] = partition_rows(image, search)
    # A partition that no row of the table or of the search reaches is named by its start sector.
    row = tables[(disk, False)].get(start) or tables[(disk, True)].get(start)
    volume = ["--partition", row] if row is not None else ["--start", start]
    search = row is not None and tables[(disk, False)].get(start) is None
    save_and_compare(disk, part, files, volume, image, "quick", search)
    if disk == EXTENSIVE_DISK:
        save_and_compare(disk, part, files, volume, image, "extensive", search)

checks.finish()
