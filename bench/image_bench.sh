#!/usr/bin/env bash
# status and save from a 4 GB sparse raw disk image (MBR, one FAT32 partition holding the
# sample installation) against the same from the installation's folder: the median time of
# RUNS runs of each, and the bytes read from the image file (counted by strace on its
# descriptor), which must stay far below its size. Then list on the same disk as a virtual
# machine's disk of each format (made by qemu-img), against the raw image: the median time, its
# ratio to the raw image's (target: at most 2), and all the bytes the run read (at most 100 MB).
#   usage: bench/image_bench.sh [BUILD_DIR] [RUNS]     (default build/native, 5; needs strace
#   and what scripts/setup test installs)
set -euo pipefail
build=${1:-build/native}
runs=${2:-5}
cli=$build/src/quillon-cli
sample=$build/examples/sample-xp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1

image=$work/disk-4g.img
truncate -s 4G "$image"
echo 'start=2048, type=c' | sfdisk -q "$image"
mkfs.fat -F 32 --offset 2048 "$image" >/dev/null
mcopy -s -i "$image@@1M" "$sample"/* ::/
echo "image: $(du -h --apparent-size "$image" | cut -f1) apparent, $(du -h "$image" | cut -f1) on disk"

# median SECONDS of RUNS runs of a command
median() {
    local times=()
    for ((i = 0; i < runs; i++)); do
        local start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        times+=("$(echo "$(date +%s.%N) - $start" | bc)")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}
# bytes read from the image file by one run
image_bytes() {
    strace -f -qq -y -e trace=read,pread64,readv,preadv -o "$work/trace" "$@" >/dev/null 2>&1 || true
    grep -F "<$image>" "$work/trace" | sed -n 's/.*= \([0-9]\+\)$/\1/p' | awk '{ s += $1 } END { print s + 0 }'
}

printf '%-8s %12s %12s %16s\n' command folder image "read from image"
for command in status "save $work/out.reg"; do
    folder=$(median "$cli" --windows "$sample" $command)
    fromImage=$(median "$cli" --image "$image" $command)
    bytes=$(image_bytes "$cli" --image "$image" $command)
    printf '%-8s %11.3fs %11.3fs %13d B (%s)\n' "${command%% *}" "$folder" "$fromImage" "$bytes" \
        "$(numfmt --to=iec "$bytes")"
done

# every byte one run read, from any file: the kernel's count for the shell and what it waited for
all_bytes() {
    bash -c '"$@" >/dev/null 2>&1; sed -n "s/^rchar: //p" /proc/$$/io' _ "$@"
}

printf '\n%-36s %10s %8s %16s\n' "list on" time "x raw" "read in all"
for format in raw "vmdk -o subformat=monolithicSparse" "vmdk -o subformat=streamOptimized" \
    "vpc -o subformat=dynamic" "vhdx -o subformat=dynamic" vdi qcow2 "qcow2 -c"; do
    disk=$image
    if [[ $format != raw ]]; then
        disk=$work/disk.${format%% *}
        rm -f "$disk"
        qemu-img convert -O $format "$image" "$disk"
    fi
    time=$(median "$cli" --image "$disk" list)
    bytes=$(all_bytes "$cli" --image "$disk" list)
    [[ $format != raw ]] || raw=$time
    printf '%-36s %9.3fs %7.2fx %13s B (%s)\n' "$format" "$time" "$(echo "$time / $raw" | bc -l)" \
        "$bytes" "$(numfmt --to=iec "$bytes")"
done
