#!/usr/bin/env python3
"""Checks "engine-probe scan IMAGE --partition N --mode extensive" on the NTFS partitions that a partition
table lists: the volume line must carry "NTFS @" and the partition's start, fsstat's cluster size and
the volume's last sector; with --volume 1 every folder and file that fls lists (named streams and Sleuth
Kit's own entries aside) must be a row of the same kind, deleted flag, size and path, each once, and
rows beyond them may only stand under "Lost Dir". A volume the scan did not find is refused.

    extensive_ntfs_probe_test.py PROBE DISKS [EMULATOR...]
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from probe_checks import ProbeChecks  # noqa: E402

PROBE, DISKS = sys.argv[1], sys.argv[2]
EMULATOR = sys.argv[3:]
checks = ProbeChecks(EMULATOR)
check, probe_path = checks.check, checks.probe_path


def probe(*arguments):
    result = subprocess.run(EMULATOR + [PROBE, *arguments], capture_output=True)
    return result.returncode, result.stdout.decode("utf-8", "replace").replace("\r", "")


def tsv(path):
    with open(path, encoding="utf-8") as source:
        return [line.rstrip("\n").split("\t") for line in source if line.strip() and not line.startswith("#")]


for disk in ("mbr-ext05", "mbr-ext0f", "sample-ntfs"):
    image = probe_path(os.path.join(DISKS, disk + ".vmdk"))
    _, table = probe("partitions", image)
    rows = {fields[1]: fields[0]
            for fields in (line.split("\t") for line in table.splitlines()) if len(fields) > 1}
    for fields in tsv(os.path.join(DISKS, "partitions.tsv")):
        if fields[0] != disk or fields[4] != "ntfs":
            continue
        part, start, sectors, files = fields[1], int(fields[2]), int(fields[3]), fields[7]
        name = "%s p%s" % (disk, part)
        row = rows.get(str(start))
        check(row is not None, "%s: a partition row starts at %d" % (name, start))
        if row is None:
            continue
        with open(os.path.join(DISKS, "%s.p%s.fsstat.txt" % (disk, part)), encoding="utf-8") as source:
            spc = int(re.search(r"^Cluster Size: (\d+)$", source.read(), re.M).group(1)) // 512
        code, output = probe("scan", image, "--partition", row, "--mode", "extensive", "--volume", "1")
        lines = output.splitlines()
        expected = "1\t300\tNTFS @%d\t%d\t%d\t%d" % (start, spc, start, start + sectors - 1)
        check(code == 0 and lines and lines[0] == expected,
              "%s volume: %r" % (name, lines[0] if lines else ""))
        check(bool(lines) and lines[-1].startswith("summary\t"), "%s: summary line" % name)
        listed = {}
        for line in lines[1:-1]:
            kind, deleted, size, _, path = line.split("\t", 4)
            key = (kind, deleted, size if kind == "F" else "0", path)
            listed[key] = listed.get(key, 0) + 1
        wanted = set()
        for entry in tsv(os.path.join(DISKS, files)):
            if entry[1] == "v" or entry[3] == "1" or entry[8].startswith("$OrphanFiles"):
                continue
            folder = entry[1] == "d"
            wanted.add(("D" if folder else "F", entry[2], "0" if folder else entry[4], entry[8]))
        missing = sorted(key for key in wanted if listed.get(key) != 1)
        check(not missing, "%s: %d fls entries listed once each%s"
              % (name, len(wanted), (" - not: %s" % missing[:5]) if missing else ""))
        extra = sorted(key for key in listed if key not in wanted and not key[3].startswith("Lost Dir"))
        check(not extra,
              "%s: nothing else outside Lost Dir%s" % (name, (" - %s" % extra[:5]) if extra else ""))

code, output = probe("scan", probe_path(os.path.join(DISKS, "mbr-ext05.vmdk")), "--partition", "3", "--mode",
                     "extensive", "--volume", "9")
check(code != 0 and "refused" in output, "volume 9 refused")

checks.finish()
