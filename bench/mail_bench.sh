#!/usr/bin/env bash
# The mail copied out of disk images against cp: a store of 500 MB (ten message folders of fifty
# 1 MB messages, made by quillon-make-mail-file) in the sample installation, put on an NTFS
# image (by quillon-ntfs-put), an E01 of it and a VMDK of it. For each, `save --mail` minus
# `save` alone (the copy's own time) against `cp -r` of the same store folder from that disk
# mounted read-only (the mounted copy: ntfs-3g, over ewfmount for the E01 and vmdkmount for the
# VMDK; target: at most 1.5 times its time), and against `cp -r` from the folder on this
# machine's disk (the floor, measured again beside each disk's copy), each time the median of
# several runs in the same loop, with the peak memory of the run with --mail (target: bounded
# by its buffers, not by the 50 MB files). Every copy is written to memory (/dev/shm), after a
# sync: the disk's write-back of the run before would otherwise weigh on the next.
#   usage: bench/mail_bench.sh [BUILD_DIR]   (default build/native; as root, with FUSE; needs
#   what scripts/setup test installs, and libvmdk-utils for vmdkmount)
set -euo pipefail
build=${1:-build/native}
cli=$build/src/quillon-cli
make=$build/tools/quillon-make-mail-file
put=$build/tools/quillon-ntfs-put
work=$(mktemp -d)
unmount() { for m in "$work"/mounted-* "$work"/container-*; do fusermount -u "$m" 2>/dev/null || true; done; }
trap 'unmount; rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1

installation=$work/installation
cp -r "$build/examples/sample-xp" "$installation"
store="$installation/Documents and Settings/Luc/Local Settings/Application Data/Identities/{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}/Microsoft/Outlook Express"
for folder in $(seq 1 10); do
    "$make" messages "$store/Dossier $folder.dbx" --filler 50 1048576
done
echo "store: $(du -sh "$store" | cut -f1) in $(ls "$store" | wc -l) files"

image=$work/disk.img
truncate -s 800M "$image"
mkntfs -F -Q -q "$image" 2>/dev/null
"$put" "$image" "$installation"
ewfacquire -u -q -t "$work/disk" -S 1GiB -c none "$image" >/dev/null 2>&1
qemu-img convert -O vmdk "$image" "$work/disk.vmdk"
inStore=${store#"$installation"/}
# The disk mounted as a user would to copy the files: the volume's file through its container's
# own FUSE program, then NTFS through ntfs-3g; prints the store folder inside it.
mounted() {
    local disk=$1 name=${1##*.} volume=$1
    mkdir -p "$work/mounted-$name" "$work/container-$name"
    case $name in
    E01) ewfmount "$disk" "$work/container-$name" >/dev/null && volume="$work/container-$name/ewf1" ;;
    vmdk) vmdkmount "$disk" "$work/container-$name" >/dev/null && volume="$work/container-$name/vmdk1" ;;
    esac
    ntfs-3g -o ro "$volume" "$work/mounted-$name"
    echo "$work/mounted-$name/$inStore"
}

out=$(mktemp -d /dev/shm/quillon-mail-bench.XXXXXX)
trap 'unmount; rm -rf "$work" "$out"' EXIT
seconds() { # one run of a command, in seconds
    rm -rf "$out"/*
    sync
    local start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    echo "$(date +%s.%N) - $start" | bc
}
peak() { # the peak memory of one run, in MB
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 | awk '{ printf "%.1f", $1 / 1024 }'
}

median() { # the median of $1 runs of a command, each after its own sync, in seconds
    local runs=$1
    shift
    for _ in $(seq "$runs"); do seconds "$@"; done | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

cat "$store"/* >/dev/null # the page cache holds every source alike
printf '%-6s %10s %14s %10s %10s %10s %10s\n' source copy "cp, mounted" "x mounted" floor "x floor" peak
for disk in "$image" "$work/disk.E01" "$work/disk.vmdk"; do
    # The floor measured in the same loop as each copy, a median of several runs: one run right
    # after a sync weighs the disk's write-back of the run before.
    cpFloor=$(median 5 cp -r "$store" "$out/cp")
    cat "$disk" >/dev/null
    # Mounted anew, so that the files come through the mounts as they do for Quillon, from the
    # container file alone in the page cache.
    inImage=$(mounted "$disk")
    cpMounted=$(median 3 cp -r "$inImage" "$out/cp")
    unmount
    saveTime=$(median 3 "$cli" --image "$disk" save "$out/alone.reg")
    mailTime=$(median 3 "$cli" --image "$disk" save "$out/with.reg" --mail "$out/mail")
    diff -r "$store" "$out/mail" --exclude="Carnet d'adresses" >/dev/null || echo "$disk: copy differs"
    rm -rf "$out"/*
    memory=$(peak "$cli" --image "$disk" save "$out/with.reg" --mail "$out/mail")
    copyTime=$(echo "$mailTime - $saveTime" | bc)
    printf '%-6s %9.3fs %13.3fs %10.2f %9.3fs %10.2f %7s MB\n' "${disk##*.}" "$copyTime" \
        "$cpMounted" "$(echo "$copyTime / $cpMounted" | bc -l)" "$cpFloor" \
        "$(echo "$copyTime / $cpFloor" | bc -l)" "$memory"
done
