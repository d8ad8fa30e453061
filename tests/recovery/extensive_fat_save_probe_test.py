#!/usr/bin/env python3
"""Saves the volume that the Extensive Scan found on each FAT partition of mbr-ext05 through
"engine-probe save ... --mode extensive --volume 1": every live file that fls lists there (empty files
aside, which own no cluster) must land at its path in the target folder with the MD5 that icat gives.

    extensive_fat_save_probe_test.py WORKDIR PROBE DISKS [EMULATOR...]
"""
import hashlib
import os
import shutil
import subprocess
import sys

WORK, PROBE, DISKS = sys.argv[1], sys.argv[2], sys.argv[3]
EMULATOR = sys.argv[4:]
DISK = "mbr-ext05"
IMAGE = os.path.join(DISKS, DISK + ".vmdk")
failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        failures.append(message)


def probe_path(path):
    """The Windows probe takes the Wine drive form of a host path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\") if EMULATOR else path


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


_, table = probe("partitions", probe_path(IMAGE))
rows = {fields[1]: fields[0] for fields in (line.split("\t") for line in table.splitlines()) if len(fields) > 1}
for fields in tsv(os.path.join(DISKS, "partitions.tsv")):
    disk, part, start, fs, files = fields[0], fields[1], fields[2], fields[4], fields[7]
    if disk != DISK or fs not in ("fat16", "fat32"):
        continue
    target = os.path.join(WORK, "p" + part)
    shutil.rmtree(target, ignore_errors=True)
    os.makedirs(target)
    row = rows.get(start)
    check(row is not None, "p%s: a partition row starts at %s" % (part, start))
    if row is None:
        continue
    code, output = probe("save", probe_path(IMAGE), "--partition", row, "--mode", "extensive", "--volume", "1",
                         "--out", probe_path(target))
    check(code == 0, "p%s: saved (%s)" % (part, " ".join(output.split())))
    saved = saved_files(target)
    live = 0
    for entry in tsv(os.path.join(DISKS, files)):
        kind, deleted, size, expected, path = entry[1], entry[2], entry[4], entry[5], entry[8]
        if kind != "f" or deleted != "0" or size == "0" or expected == "-":
            continue
        live += 1
        found = saved.get(path.lower())
        check(found is not None and md5(found) == expected, "p%s: %s" % (part, path))
    check(live > 20, "p%s: %d live files compared" % (part, live))

if failures:
    sys.exit("%d check(s) failed" % len(failures))
