#!/usr/bin/env bash
# The gallery of the program's screens (tools/gallery) into BUILD_DIR/tests/gallery: fails when a screen
# was not reached, or when a picture of the list below is missing or blank (one colour all over).
#
#   gallery_check.sh SOURCE_DIR BUILD_DIR TEST_DISKS PREVIEW_FIXTURES
set -uo pipefail
source_dir=$1
build_dir=$2
out=$build_dir/tests/gallery
GALLERY_BUILD=$build_dir GALLERY_DISKS=$3 GALLERY_FIXTURES=$4 "$source_dir/tools/gallery" "$out" >"$out.txt" 2>&1
status=$?
cat "$out.txt"
[[ $status -eq 0 ]] || { echo "FAIL: the gallery stopped (status $status)"; exit 1; }

expected=(
    home menu-recovery menu-view menu-tools menu-help menus-closed about settings
    home-path drive-step partition-type partition-step message-no-partition partition-chosen scanning results
    tree-menu properties-folder file-preview list-menu properties-file file-filters find-files
    drive-information folder-browser saved
    file-system-step volume-chosen parsing file-types
    preview-txt preview-log preview-rtf preview-docx preview-pdf preview-html preview-png preview-jpg
    preview-bmp preview-gif preview-tif preview-tga preview-pcx preview-ppm preview-jp2 preview-ico
    preview-pptx preview-psd preview-dxf preview-mdb preview-dbf preview-zip preview-cab preview-rar
    preview-mp3 preview-avi
    maximised 800x600 exit-question
)
# The system's Python, which tools/setup gives PIL (python3-pil).
/usr/bin/python3 - "$out" "${expected[@]}" <<'PY'
import glob, os, sys
from PIL import Image
out, names = sys.argv[1], sys.argv[2:]
failed = False
for name in names:
    found = glob.glob(os.path.join(out, f"[0-9][0-9]-{name}.png"))
    if not found:
        print(f"FAIL: no picture of {name}")
        failed = True
        continue
    for path in found:
        with Image.open(path) as image:
            low, high = zip(*image.convert("RGB").getextrema())
        if low == high:
            print(f"FAIL: {os.path.basename(path)} is blank")
            failed = True
print(f"{len(glob.glob(os.path.join(out, '*.png')))} pictures in {out}/index.html")
sys.exit(1 if failed else 0)
PY
