#!/usr/bin/env bash
# The mail copied out of disk images against cp: a store of 500 MB (ten message folders of fifty
# 1 MB messages, made by quillon-make-mail-file) in the sample installation, put on a raw FAT32
# image, an E01 of it and a VMDK of it. For each, one run of `save --mail` minus one run of
# `save` alone (the copy's own time) against `cp -r` of the same store folder from the folder
# on disk (the mounted copy), the ratio (target: at most 1.5), and the peak memory of the run
# with --mail (target: bounded by its buffer, not by the 50 MB files).
#   usage: bench/mail_bench.sh [BUILD_DIR]   (default build/native; needs what scripts/setup
#   test installs)
set -euo pipefail
build=${1:-build/native}
cli=$build/src/quillon-cli
make=$build/tools/quillon-make-mail-file
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1

installation=$work/installation
cp -r "$build/examples/sample-xp" "$installation"
store="$installation/Documents and Settings/Luc/Local Settings/Application Data/Identities/{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}/Microsoft/Outlook Express"
for folder in $(seq 1 10); do
    "$make" messages "$store/Dossier $folder.dbx" --filler 50 1048576
done
echo "store: $(du -sh "$store" | cut -f1) in $(ls "$store" | wc -l) files"

image=$work/disk.img
truncate -s 700M "$image"
echo 'start=2048, type=c' | sfdisk -q "$image"
mkfs.fat -F 32 --offset 2048 "$image" >/dev/null
mcopy -s -i "$image@@1M" "$installation"/* ::/
ewfacquire -u -q -t "$work/disk" -S 1GiB -c none "$image" >/dev/null 2>&1
qemu-img convert -O vmdk "$image" "$work/disk.vmdk"

seconds() { # one run of a command, in seconds
    local start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    echo "$(date +%s.%N) - $start" | bc
}
peak() { # the peak memory of one run, in MB
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 | awk '{ printf "%.1f", $1 / 1024 }'
}

rm -rf "$work/cp"
cat "$store"/* >/dev/null # the page cache holds every source alike
cpTime=$(seconds cp -r "$store" "$work/cp")
printf '%-10s %10s %10s %8s %10s\n' source "copy" "cp" "x cp" "peak"
for disk in "$image" "$work/disk.E01" "$work/disk.vmdk"; do
    cat "$disk" >/dev/null
    rm -rf "$work/mail"
    saveTime=$(seconds "$cli" --image "$disk" save "$work/alone.reg")
    mailTime=$(seconds "$cli" --image "$disk" save "$work/with.reg" --mail "$work/mail")
    diff -r "$store" "$work/mail" --exclude="Carnet d'adresses" >/dev/null || echo "$disk: copy differs"
    rm -rf "$work/mail"
    memory=$(peak "$cli" --image "$disk" save "$work/with.reg" --mail "$work/mail")
    copyTime=$(echo "$mailTime - $saveTime" | bc)
    printf '%-10s %9.3fs %9.3fs %8.2f %7s MB\n' "${disk##*.}" "$copyTime" "$cpTime" \
        "$(echo "$copyTime / $cpTime" | bc -l)" "$memory"
done
