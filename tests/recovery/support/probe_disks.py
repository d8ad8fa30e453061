"""Disks that the Python tests of "engine-probe" make from volume files: a command run for its output, a
raw disk of one partition at 1 MiB, and the NTFS helper built from tools/ntfs_tool.c."""
import os
import shutil
import subprocess

MiB = 1 << 20
NTFS_TOOL_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools", "ntfs_tool.c")


def run(*command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, **kwargs)


def disk_with_volume(volume, disk, type_code):
    """A disk of one partition at 1 MiB holding the volume file, as raw bytes at `disk`."""
    with open(disk, "wb") as image:
        image.truncate(os.path.getsize(volume) + MiB)
    run("sfdisk", "--quiet", disk, input=("2048,,%s\n" % type_code).encode())
    with open(disk, "r+b") as image, open(volume, "rb") as data:
        image.seek(MiB)
        shutil.copyfileobj(data, image)


def build_ntfs_tool(folder):
    """tools/ntfs_tool.c built against libntfs-3g into `folder`; its path."""
    tool = os.path.join(folder, "ntfs_tool")
    run("gcc", "-O2", "-o", tool, NTFS_TOOL_SOURCE, "-lntfs-3g")
    return tool
