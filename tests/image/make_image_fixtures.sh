#!/bin/sh
# make_image_fixtures.sh OUTDIR: small real images for the image-reader tests, made by qemu-img from
# raw files of known pseudo-random bytes (AES-CTR of zeros, so every run makes the same bytes).
# Oracles beside them: the raw files themselves, sizes.tsv (qemu-img's virtual sizes) and
# main.geometry.tsv (the geometry the VMDK descriptor states). Re-made only when this script changes.
set -eu
out=${1:?usage: make_image_fixtures.sh OUTDIR}
stamp_value=$(sha256sum "$0" | cut -d' ' -f1)
if [ -f "$out/.stamp" ] && [ "$(cat "$out/.stamp")" = "$stamp_value" ]; then
    exit 0
fi
work="$out.tmp"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

MiB=1048576
# random_into FILE OFFSET LENGTH SEED
random_into() {
    openssl enc -aes-128-ctr -nosalt -K "$(printf '%032x' "$4")" -iv 0 -in /dev/zero 2>/dev/null |
        head -c "$3" | dd of="$1" bs=65536 seek="$2" oflag=seek_bytes conv=notrunc status=none iflag=fullblock
}

# main.raw, 40 MiB: zeros first (grain 0 and the first blocks unallocated), data across grain, VHD and
# VHDX block boundaries, one lone sector, data around 32 MiB and at the very end.
truncate -s $((40 * MiB)) main.raw
random_into main.raw $((2 * MiB)) $((7 * MiB + 4096)) 1
random_into main.raw $((16 * MiB)) 512 2
random_into main.raw $((31 * MiB + MiB / 2)) $((3 * MiB / 2)) 3
random_into main.raw $((40 * MiB - 102400)) 102400 4

# small.raw, 3 MiB: for the crafted-header and mutation tests (data in the first grain, a middle run
# across a block boundary, the last sector).
truncate -s $((3 * MiB)) small.raw
random_into small.raw 0 65536 5
random_into small.raw $((MiB + 102400)) $((MiB + 102400)) 6
random_into small.raw $((3 * MiB - 512)) 512 7

# big.raw, 5 GiB sparse: data at the start, across 4.5 GiB and at the end, so every offset above 4 GiB
# is exercised. Only the written parts take room.
truncate -s $((5120 * MiB)) big.raw
random_into big.raw 0 4096 8
random_into big.raw $((4608 * MiB - 4096)) $((MiB + 8192)) 9
random_into big.raw $((5120 * MiB - 4096)) 4096 10

convert() { qemu-img convert -f raw -O "$@"; }
for name in main small big; do
    convert vmdk -o subformat=monolithicSparse $name.raw $name.vmdk
    convert vpc $name.raw $name.vhd
    convert vhdx -o block_size=1M $name.raw $name.1m.vhdx
    convert vhdx $name.raw $name.vhdx
done
for name in main small; do
    convert vpc -o subformat=fixed $name.raw $name.fixed.vhd
    convert vhdx -o subformat=fixed $name.raw $name.fixed.vhdx
done
convert vmdk -o subformat=streamOptimized small.raw stream.vmdk

# qemu-img gives a fixed VHD the length of the whole file, footer included; the footer's own size is the
# one of the dynamic VHD made from the same raw file, so fixed VHDs are left out here.
{
    printf 'file\tvirtual_bytes\n'
    for image in *.vmdk *.vhd *.vhdx; do
        case $image in *.fixed.vhd) continue ;; esac
        size=$(qemu-img info --output=json "$image" | grep -m1 '"virtual-size"' | tr -dc 0-9)
        printf '%s\t%s\n' "$image" "$size"
    done
} > sizes.tsv
{
    printf 'cylinders\theads\tsectors\n'
    value() { grep -a "^ddb.geometry.$1 *=" main.vmdk | head -n1 | tr -dc 0-9; }
    printf '%s\t%s\t%s\n' "$(value cylinders)" "$(value heads)" "$(value sectors)"
} > main.geometry.tsv

echo "$stamp_value" > .stamp
cd ..
rm -rf "$out"
mv "$work" "$out"
