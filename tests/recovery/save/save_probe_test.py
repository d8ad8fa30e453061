#!/usr/bin/env python3
"""Saves through "engine-probe save": a FAT16 and an NTFS volume crafted with names that are no paths
(folders named "..", devices, ":", "\\", trailing dots and spaces), and a test disk under each
deleted-file and duplicate policy. Checks what lands in the target folder, and that
nothing lands beside it (the parent folder is listed before and after).

    save_probe_test.py WORKDIR PROBE DISKS [EMULATOR...]
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from probe_checks import ProbeChecks  # noqa: E402

WORK, PROBE, DISKS = sys.argv[1], sys.argv[2], sys.argv[3]
EMULATOR = sys.argv[4:]
checks = ProbeChecks(EMULATOR)
check, probe_path = checks.check, checks.probe_path


def run(*command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, **kwargs)


def save(image, partition, target, *options):
    result = subprocess.run(EMULATOR + [PROBE, "save", probe_path(image), "--partition", str(partition),
                                        "--mode", "quick", "--out", probe_path(target), *options],
                            capture_output=True, text=True)
    counts = {}
    for line in result.stdout.replace("\r", "").splitlines():
        fields = line.split("\t")
        if fields[0] in ("saved", "skipped", "failed"):
            counts[fields[0]] = int(fields[1])
    if result.returncode != 0:
        print(result.stdout, result.stderr)
    return counts


def tree(folder):
    """Every file and folder below `folder`, relative, folders ending in "/"."""
    entries = []
    for root, folders, files in os.walk(folder):
        for name in folders:
            entries.append(os.path.relpath(os.path.join(root, name), folder) + "/")
        for name in files:
            entries.append(os.path.relpath(os.path.join(root, name), folder))
    return sorted(entries)


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def patch(raw, old, new):
    """Replaces the one occurrence of `old` in the volume file."""
    with open(raw, "r+b") as image:
        data = image.read()
        position = data.find(old)
        assert position >= 0 and data.find(old, position + 1) < 0, old
        image.seek(position)
        image.write(new)


# ---- A FAT volume whose directory entries carry names that are no paths -------------------------------
fresh(WORK)
raw = os.path.join(WORK, "fat.raw")
with open(raw, "wb") as image:
    image.truncate(16 << 20)
run("sfdisk", "--quiet", raw, input=b"2048,,6\n")
run("mkfs.fat", "-F", "16", "-n", "CRAFTED", "--offset", "2048", raw, str((16 << 10) - 1024))
env = dict(os.environ, MTOOLS_SKIP_CHECK="1")
volume = raw + "@@1048576"
source = os.path.join(WORK, "source.bin")


def put(name, text):
    with open(source, "wb") as out:
        out.write(text)
    run("mcopy", "-i", volume, source, "::" + name, env=env)


run("mmd", "-i", volume, "::/DOTDOT", env=env)
put("/DOTDOT/inside.txt", b"inside a folder whose entry says ..\n")
put("/CONX", b"a device name\n")
put("/a-b-colon.txt", b"a colon would open a data stream\n")
put("/trailing-dotx", b"a trailing dot\n")
# Short names: DOTDOT becomes ".." (an entry the scan must not follow), CONX becomes CON; long names: the
# "-" after "a" becomes ":", the "x" that ends "trailing-dotx" (13 characters: its last two fill the
# entry's last field) a ".".
patch(raw, b"DOTDOT     \x10", b"..         \x10")
patch(raw, b"CONX       ", b"CON        ")
patch(raw, "a-b-c".encode("utf-16-le"), "a:b-c".encode("utf-16-le"))
patch(raw, "tx".encode("utf-16-le"), "t.".encode("utf-16-le"))
fat_image = os.path.join(WORK, "fat.vhd")
run("qemu-img", "convert", "-f", "raw", "-O", "vpc", raw, fat_image)

parent = os.path.join(WORK, "parent")
target = os.path.join(parent, "target")
fresh(target)
check(tree(parent) == ["target/"], "the parent holds only the target before")
counts = save(fat_image, 1, target)
check(counts == {"saved": 3, "skipped": 0, "failed": 0}, "FAT: 3 saved, none failed: %s" % counts)
expected = {
    "target/_CON": b"a device name\n",
    "target/a_b-colon.txt": b"a colon would open a data stream\n",
    "target/trailing-dot._": b"a trailing dot\n",
}
check(tree(parent) == sorted(["target/"] + list(expected)), "FAT: safe names inside the target: %s" % tree(parent))
for name, text in expected.items():
    path = os.path.join(parent, name)
    check(os.path.isfile(path) and open(path, "rb").read() == text, "contents of " + name)

# ---- An NTFS volume with folders named "..", made with libntfs-3g ----------------------------------------
ntfs = os.path.join(WORK, "ntfs.vol")
with open(ntfs, "wb") as image:
    image.truncate(15 << 20)
run("mkntfs", "-F", "-Q", "-q", "-s", "512", "-c", "4096", "-p", "2048", "-H", "16", "-S", "63", ntfs)
files = {
    "/../inside.txt": b"inside the folder named ..\n",
    "/../../deep.txt": b"two levels of ..\n",
    "/Sub/..": b"a file named ..\n",
    "/Sub/a:b": b"a colon\n",
    "/Sub/we\\ird..name": b"a backslash\n",
    "/Sub/CON": b"a device\n",
    "/Sub/lpt1.log": b"a device with an extension\n",
    "/Sub/trailing space ": b"a trailing space\n",
}
script = os.path.join(WORK, "ntfs.script")
with open(script, "w", encoding="utf-8") as out:
    out.write("mkdir\t/..\nmkdir\t/../..\nmkdir\t/Sub\n")
    for number, (path, text) in enumerate(files.items()):
        host = os.path.join(WORK, "file%d" % number)
        with open(host, "wb") as data:
            data.write(text)
        out.write("put\t%s\t%s\n" % (path, host))
run(os.path.join(DISKS, "work", "ntfs_tool"), "apply", ntfs, script)
raw = os.path.join(WORK, "ntfs.raw")
with open(raw, "wb") as image:
    image.truncate(16 << 20)
run("sfdisk", "--quiet", raw, input=b"2048,,7\n")
with open(raw, "r+b") as image, open(ntfs, "rb") as data:
    image.seek(1 << 20)
    image.write(data.read())
ntfs_image = os.path.join(WORK, "ntfs.vhd")
run("qemu-img", "convert", "-f", "raw", "-O", "vpc", raw, ntfs_image)

fresh(target)
counts = save(ntfs_image, 1, target)
check(counts["saved"] > len(files) and counts["failed"] == 0, "NTFS: saved, none failed: %s" % counts)
expected = {
    "target/.._/inside.txt": files["/../inside.txt"],
    "target/.._/.._/deep.txt": files["/../../deep.txt"],
    "target/Sub/.._": files["/Sub/.."],
    "target/Sub/a_b": files["/Sub/a:b"],
    "target/Sub/we_ird..name": files["/Sub/we\\ird..name"],
    "target/Sub/_CON": files["/Sub/CON"],
    "target/Sub/_lpt1.log": files["/Sub/lpt1.log"],
    "target/Sub/trailing space _": files["/Sub/trailing space "],
}
saved = tree(parent)
check(all(name.startswith("target/") for name in saved), "NTFS: nothing beside the target")
for name, text in expected.items():
    path = os.path.join(parent, name)
    check(os.path.isfile(path) and open(path, "rb").read() == text, "contents of " + name)
check(sorted(name for name in saved if name.startswith(("target/.._", "target/Sub"))) ==
      sorted(["target/.._/", "target/.._/.._/", "target/Sub/"] + list(expected)),
      "NTFS: only safe names: %s" % saved)

# ---- The policies over a test disk ----------------------------------------------------------------------
disk = os.path.join(DISKS, "mbr-ext05.vhd")
fresh(target)
everything = save(disk, 1, target)
all_files = [name for name in tree(target) if not name.endswith("/")]
check(everything["saved"] == len(all_files) and everything["failed"] == 0, "include: %s" % everything)

fresh(target)
only = save(disk, 1, target, "--deleted", "only")
deleted_files = [name for name in tree(target) if not name.endswith("/")]
check(only["saved"] == len(deleted_files) > 0 and only["skipped"] == everything["saved"] - only["saved"],
      "only deleted: %s" % only)
check("exactly13.txt" not in deleted_files and "Trash/xEEP-ME.BIN" in deleted_files,
      "only deleted files are saved: %s" % deleted_files)

fresh(target)
live = save(disk, 1, target, "--deleted", "exclude")
live_files = [name for name in tree(target) if not name.endswith("/")]
check(live["saved"] == everything["saved"] - only["saved"], "exclude deleted: %s" % live)
check(not set(live_files) & set(deleted_files), "no deleted file is saved")

# Saving the same selection again into the same folder.
again = save(disk, 1, target, "--deleted", "exclude", "--duplicates", "skip")
check(again["saved"] == 0 and again["skipped"] == everything["saved"] and tree(target) == sorted(
    set(tree(target))), "skip: nothing written again: %s" % again)
check(sorted(name for name in tree(target) if not name.endswith("/")) == sorted(live_files),
      "skip leaves the folder as it was")
again = save(disk, 1, target, "--deleted", "exclude", "--duplicates", "overwrite")
check(again["saved"] == live["saved"] and sorted(n for n in tree(target) if not n.endswith("/")) == sorted(live_files),
      "overwrite: same files, no copies: %s" % again)
again = save(disk, 1, target, "--deleted", "exclude", "--duplicates", "rename")
copies = [name for name in tree(target) if os.path.basename(name).startswith("Copy (1 ) of ")]
check(again["saved"] == live["saved"] and len(copies) == len(live_files), "rename: one copy of each: %s" % again)
check("Copy (1 ) of exactly13.txt" in copies, "the copy is named \"Copy (1 ) of \" and the name")
check(tree(parent)[0] == "target/" and all(name.startswith("target/") for name in tree(parent)),
      "nothing beside the target")

checks.finish()
