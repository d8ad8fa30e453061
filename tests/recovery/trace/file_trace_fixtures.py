#!/usr/bin/env python3
"""Builds what the File Trace and Office naming tests read.

    file_trace_fixtures.py OUTDIR TEST_DISKS_DIR

OUTDIR/docs/       compound documents written here byte by byte after [MS-CFB] (version 3 and 4) with a
                   summary-information property set after [MS-OLEPS]; docs.tsv names each one's application.
OUTDIR/planted.raw a 16 MiB disk with files planted by dd at known sectors (planted.tsv), and its VMDK.
OUTDIR/near-4g.raw a sparse disk of 2^32 + 4096 sectors with files planted around sector 2^32
                   (near-4g.tsv), and its VHDX.
OUTDIR/samples.tsv for the forensics-samples disks of TEST_DISKS_DIR: every original file's first
                   sector as Sleuth Kit's istat gives it.

The folder is rebuilt only when this script changed (OUTDIR/.stamp), under a lock.
"""

import fcntl
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys

ORIGINALS = "/usr/share/forensics-samples/original-files"

FREE = 0xFFFFFFFF
END_OF_CHAIN = 0xFFFFFFFE
FAT_SECTOR = 0xFFFFFFFD
NO_STREAM = 0xFFFFFFFF
MINI_CUTOFF = 4096
MINI_SECTOR = 64
SUMMARY_FMTID = bytes.fromhex("e0859ff2f94f6810ab9108002b27b3d9")
SUMMARY_NAME = "\x05SummaryInformation"


# ---- Compound files ---------------------------------------------------------------------------------


def dir_entry(name, kind, start, size, left=NO_STREAM, right=NO_STREAM, child=NO_STREAM):
    units = name.encode("utf-16-le") + b"\0\0"
    assert len(units) <= 64
    entry = units.ljust(64, b"\0")
    entry += struct.pack("<HBB", len(units), kind, 1)  # colour: black
    entry += struct.pack("<III", left, right, child)
    entry += bytes(16) + struct.pack("<I", 0) + bytes(16)  # class id, state bits, two times
    entry += struct.pack("<IQ", start, size)
    assert len(entry) == 128
    return entry


def empty_entry():
    links = struct.pack("<III", NO_STREAM, NO_STREAM, NO_STREAM)
    return bytes(64) + struct.pack("<HBB", 0, 0, 0) + links + bytes(48)


def name_key(name):
    # Directory order: shorter names first, then by upper-case code units.
    return (len(name), name.upper())


def compound_file(streams, version=3):
    """streams: list of (name, bytes) under the root storage."""
    sector_size = 512 if version == 3 else 4096
    per_sector = sector_size // 4
    sectors = []  # content of every sector after the header
    fat = []

    def allocate(data):
        if not data:
            return END_OF_CHAIN
        first = len(sectors)
        count = (len(data) + sector_size - 1) // sector_size
        for i in range(count):
            sectors.append(data[i * sector_size:(i + 1) * sector_size].ljust(sector_size, b"\0"))
            fat.append(first + i + 1 if i + 1 < count else END_OF_CHAIN)
        return first

    # Large streams in sectors of their own.
    starts = {}
    for name, data in streams:
        if len(data) >= MINI_CUTOFF:
            starts[name] = allocate(data)
    # Small streams in 64-byte sectors of the mini stream.
    mini = b""
    mini_fat = []
    for name, data in streams:
        if len(data) < MINI_CUTOFF:
            first = len(mini) // MINI_SECTOR
            count = max(1, (len(data) + MINI_SECTOR - 1) // MINI_SECTOR)
            mini += data.ljust(count * MINI_SECTOR, b"\0")
            mini_fat += [first + i + 1 if i + 1 < count else END_OF_CHAIN for i in range(count)]
            starts[name] = first if data else END_OF_CHAIN
    mini_start = allocate(mini)
    mini_fat_bytes = b"".join(struct.pack("<I", v) for v in mini_fat)
    mini_fat_start = allocate(mini_fat_bytes)

    # Children of the root as a balanced binary tree in directory order.
    ordered = sorted(range(len(streams)), key=lambda i: name_key(streams[i][0]))
    links = {}

    def build(lo, hi):
        if lo >= hi:
            return NO_STREAM
        mid = (lo + hi) // 2
        index = ordered[mid] + 1
        links[index] = (build(lo, mid), build(mid + 1, hi))
        return index

    root_child = build(0, len(ordered))
    entries = [dir_entry("Root Entry", 5, mini_start, len(mini), child=root_child)]
    for i, (name, data) in enumerate(streams):
        left, right = links[i + 1]
        entries.append(dir_entry(name, 2, starts[name], len(data), left, right))
    per_dir_sector = sector_size // 128
    while len(entries) % per_dir_sector:
        entries.append(empty_entry())
    directory = b"".join(entries)
    directory_start = allocate(directory)
    directory_sectors = len(directory) // sector_size

    fat_count = 1
    while fat_count * per_sector < len(sectors) + fat_count:
        fat_count += 1
    assert fat_count <= 109
    fat_first = len(sectors)
    fat += [FAT_SECTOR] * fat_count
    fat += [FREE] * (fat_count * per_sector - len(fat))
    fat_bytes = b"".join(struct.pack("<I", v) for v in fat)
    for i in range(fat_count):
        sectors.append(fat_bytes[i * sector_size:(i + 1) * sector_size])

    header = bytes.fromhex("d0cf11e0a1b11ae1") + bytes(16)
    header += struct.pack("<HHHHH", 0x3E, version, 0xFFFE, 9 if version == 3 else 12, 6)
    header += bytes(6)
    header += struct.pack("<I", directory_sectors if version == 4 else 0)
    header += struct.pack("<III", fat_count, directory_start, 0)
    mini_fat_sectors = (len(mini_fat_bytes) + sector_size - 1) // sector_size
    header += struct.pack("<III", MINI_CUTOFF, mini_fat_start, mini_fat_sectors)
    header += struct.pack("<II", END_OF_CHAIN, 0)
    difat = [fat_first + i for i in range(fat_count)] + [FREE] * (109 - fat_count)
    header += b"".join(struct.pack("<I", v) for v in difat)
    assert len(header) == 512
    return header.ljust(sector_size, b"\0") + b"".join(sectors)


def summary_information(app_name, code_page=1252, wide=False, title_bytes=0, with_name=True):
    """A property set stream with the code page, optionally a title of title_bytes and the application
    name: VT_LPSTR in the code page (UTF-16 for 1200), or VT_LPWSTR when wide."""
    properties = [(1, struct.pack("<IhH", 0x0002, code_page, 0))]

    def pad(data):
        return data + bytes(-len(data) % 4)

    def lpstr(text):
        raw = text.encode("utf-16-le") + b"\0\0" if code_page == 1200 else text.encode("latin-1") + b"\0"
        return pad(struct.pack("<II", 0x001E, len(raw)) + raw)

    if title_bytes:
        properties.append((2, lpstr("T" * title_bytes)))
    if with_name:
        if wide:
            units = app_name.encode("utf-16-le") + b"\0\0"
            properties.append((18, pad(struct.pack("<II", 0x001F, len(units) // 2) + units)))
        else:
            properties.append((18, lpstr(app_name)))
    offset = 8 + 8 * len(properties)
    table = b""
    values = b""
    for pid, value in properties:
        table += struct.pack("<II", pid, offset + len(values))
        values += value
    section = struct.pack("<II", 8 + len(table) + len(values), len(properties)) + table + values
    head = struct.pack("<HHI", 0xFFFE, 0, 0x00020006) + bytes(16) + struct.pack("<I", 1)
    head += SUMMARY_FMTID + struct.pack("<I", 48)
    return head + section


def filler(size, seed):
    out = bytearray()
    counter = 0
    while len(out) < size:
        out += hashlib.sha256(f"{seed}:{counter}".encode()).digest()
        counter += 1
    return bytes(out[:size])


# name, main stream, application name, options
DOCUMENTS = [
    ("word.doc", "WordDocument", "Microsoft Word 8.0", {}),
    ("excel.xls", "Workbook", "Microsoft Excel", {}),
    ("powerpoint.ppt", "PowerPoint Document", "Microsoft Office PowerPoint", {}),
    ("publisher.pub", "Contents", "Microsoft Publisher", {}),
    ("excel-v4.xls", "Workbook", "Microsoft Excel", {"version": 4}),
    ("word-large-summary.doc", "WordDocument", "Microsoft Word 10.0", {"title_bytes": 5000}),
    ("powerpoint-utf16.ppt", "PowerPoint Document", "Microsoft PowerPoint", {"code_page": 1200}),
    ("excel-wide.xls", "Workbook", "Microsoft Excel", {"wide": True}),
    ("word-no-name.doc", "WordDocument", "", {"with_name": False}),
    ("word-no-summary.doc", "WordDocument", None, {}),
    ("excel-100k.xls", "Workbook", "Microsoft Excel", {"main_bytes": 100 * 1024}),
]


def make_documents(folder):
    os.makedirs(folder)
    rows = []
    for name, main_stream, app_name, options in DOCUMENTS:
        streams = [(main_stream, filler(options.get("main_bytes", 6000), name))]
        if app_name is not None:
            summary = summary_information(app_name, options.get("code_page", 1252),
                                          options.get("wide", False), options.get("title_bytes", 0),
                                          options.get("with_name", True))
            streams.append((SUMMARY_NAME, summary))
        streams.append(("\x05DocumentSummaryInformation", filler(200, name + "dsi")))
        data = compound_file(streams, options.get("version", 3))
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        shown = app_name if app_name and options.get("with_name", True) else "-"
        rows.append(f"{name}\t{shown}\n")
    with open(os.path.join(folder, "docs.tsv"), "w") as f:
        f.write("# file\tapp_name\n" + "".join(rows))


# ---- Disks with planted files ----------------------------------------------------------------------


def plant(disk, sector, path):
    subprocess.run(["dd", f"if={path}", f"of={disk}", "bs=512", f"seek={sector}", "conv=notrunc",
                    "status=none"], check=True)


def make_planted(out, docs):
    # sector, file, the extension the search must give the item
    items = [
        (100, f"{ORIGINALS}/pic1/debian_logo.jpg", ".jpg"),
        (205, f"{ORIGINALS}/pic1/debian_logo.png", ".png"),
        (300, f"{docs}/word.doc", ".doc"),
        (400, f"{docs}/excel.xls", ".xls"),
        (500, f"{docs}/powerpoint.ppt", ".ppt"),
        (600, f"{docs}/publisher.pub", ".pub"),
        (700, f"{ORIGINALS}/text1/a-text.pdf", ".pdf"),
        (800, f"{ORIGINALS}/text1/a-text.docx", ".zip"),
        (1000, f"{docs}/excel-v4.xls", ".xls"),
        (1100, f"{docs}/excel-wide.xls", ".xls"),
        (1200, f"{docs}/word-no-summary.doc", ".pub"),
        (1300, f"{docs}/excel-100k.xls", ".xls"),
    ]
    raw = os.path.join(out, "planted.raw")
    with open(raw, "wb") as f:
        f.truncate(16 << 20)
    for sector, path, _ in items:
        plant(raw, sector, path)
    with open(os.path.join(out, "planted.tsv"), "w") as f:
        f.write("# sector\textension\tfile\n")
        for sector, path, extension in items:
            f.write(f"{sector}\t{extension}\t{os.path.basename(path)}\n")
    subprocess.run(["qemu-img", "convert", "-f", "raw", "-O", "vmdk", "-o", "subformat=monolithicSparse", raw,
                    os.path.join(out, "planted.vmdk")], check=True)


def make_near_4g(out, docs):
    top = 1 << 32
    # The range the test searches ends at sector 2^32 - 1; the compound document at that last sector runs
    # on past 2^32 (its FAT lies some 200 sectors further, beyond the first 64 KiB of the naming's copy),
    # and the files behind it belong to no range.
    items = [
        (top - 290, f"{ORIGINALS}/pic1/debian_logo.jpg", ".jpg", "in"),
        (top - 1, f"{docs}/excel-100k.xls", ".xls", "in"),
        (top + 300, f"{ORIGINALS}/pic1/debian_logo.png", ".png", "beyond"),
        (top + 700, f"{ORIGINALS}/text1/a-text.pdf", ".pdf", "beyond"),
    ]
    raw = os.path.join(out, "near-4g.raw")
    with open(raw, "wb") as f:
        f.truncate((top + 4096) * 512)
    for sector, path, _, _ in items:
        plant(raw, sector, path)
    with open(os.path.join(out, "near-4g.tsv"), "w") as f:
        f.write("# sector\textension\tfile\twhere\n")
        for sector, path, extension, where in items:
            f.write(f"{sector}\t{extension}\t{os.path.basename(path)}\t{where}\n")
    subprocess.run(["qemu-img", "convert", "-f", "raw", "-O", "vhdx", raw, os.path.join(out, "near-4g.vhdx")],
                   check=True)


# ---- First sectors of the forensics-samples originals -----------------------------------------------


def first_sector(disk_raw, start, cluster_sectors, inode):
    text = subprocess.run(["istat", "-o", str(start), disk_raw, inode], check=True, capture_output=True,
                          text=True).stdout
    lines = text.splitlines()
    for i, line in enumerate(lines):
        if line.startswith("Sectors:"):  # FAT: sectors of the volume
            numbers = re.findall(r"\d+", " ".join(lines[i + 1:i + 2]))
            return start + int(numbers[0]) if numbers else None
        if line.startswith("Type: $DATA") and "Non-Resident" in line:  # NTFS: clusters
            numbers = re.findall(r"\d+", lines[i + 1]) if i + 1 < len(lines) else []
            return start + int(numbers[0]) * cluster_sectors if numbers else None
    return None


def make_samples(out, disks):
    rows = []
    for disk in ("sample-ntfs", "sample-vfat"):
        table = open(os.path.join(disks, "partitions.tsv"))
        partitions = [line.split("\t") for line in table if not line.startswith("#")]
        part = next(p for p in partitions if p[0] == disk)
        start, sectors = int(part[2]), int(part[3])
        fsstat = open(os.path.join(disks, f"{disk}.p{part[1]}.fsstat.txt")).read()
        cluster_sectors = int(re.search(r"Cluster Size: (\d+)", fsstat).group(1)) // 512
        raw = os.path.join(disks, f"{disk}.raw")
        for line in open(os.path.join(disks, part[7].strip())):
            if line.startswith("#"):
                continue
            inode, kind, deleted, stream, size, md5, expected, _, path, source = line.rstrip("\n").split("\t")
            if kind != "f" or stream != "0" or source == "-" or int(size) == 0:
                continue
            sector = first_sector(raw, start, cluster_sectors, inode)
            if sector is None:
                continue  # resident data: no sector of its own
            same = "1" if md5 == expected else "0"
            rows.append(f"{disk}\t{start}\t{sectors}\t{source}\t{size}\t{deleted}\t{same}\t{sector}\n")
    with open(os.path.join(out, "samples.tsv"), "w") as f:
        f.write("# disk\tpart_start\tpart_sectors\tsource_path\tsize\tdeleted\tmd5_is_original"
                "\tfirst_sector\n")
        f.write("".join(rows))


def main():
    out = os.path.realpath(sys.argv[1])
    disks = os.path.realpath(sys.argv[2])
    stamp = hashlib.sha256(open(__file__, "rb").read()).hexdigest()
    stamp_file = os.path.join(out, ".stamp")

    def current():
        return os.path.exists(stamp_file) and open(stamp_file).read().strip() == stamp

    if current():
        return
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if current():
            return
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        docs = os.path.join(out, "docs")
        make_documents(docs)
        make_planted(out, docs)
        make_near_4g(out, docs)
        if os.path.exists(os.path.join(disks, ".stamp")):
            make_samples(out, disks)
        with open(stamp_file, "w") as f:
            f.write(stamp + "\n")


if __name__ == "__main__":
    main()
