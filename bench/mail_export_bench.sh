#!/usr/bin/env bash
# export-mail on a store of about 1 GB (fifty message folders of a thousand 20 KB messages, made
# by quillon-make-mail-file: 50,000 messages) against cp -r, in one run, everything in memory
# (/dev/shm) after a sync: the time of writing the mail in mbox and .eml against the time of
# copying the same files, the files it wrote (target: at most 1.5 times), and against copying the
# store folder, whose fifty files hold half the bytes written in a thousandth of the files (shown
# with the least time any writer needs for those bytes at cp's own rate); the peak memory of
# export-mail (target: bounded by the largest message, not by the store).
# usage: bench/mail_export_bench.sh [BUILD_DIR] [FOLDERS]
set -euo pipefail
build=${1:-build/native}
folders=${2:-50}
work=$(mktemp -d /dev/shm/quillon-mail-export-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
store=$work/store
mkdir "$store"
for folder in $(seq 1 "$folders"); do
    "$build/tools/quillon-make-mail-file" messages "$store/Dossier $folder.dbx" --filler 1000 20480
done
echo "store: $(du -sh "$store" | cut -f1) in $folders folders"

seconds() { # one run, in seconds, and the peak memory in kB
    sync
    /usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -n 1
}
ratio() { echo "scale=2; $1 / $2" | bc; }
# Memory a virtual machine's program touches for the first time costs several times what memory
# it had before costs: each command runs once, its output removed, before it is timed.
warm() {
    "$@" >/dev/null 2>&1
    rm -rf "${@: -1}"
}
warm "$build/src/quillon-cli" export-mail "$store" "$work/out"
warm cp -r "$store" "$work/copy"
read -r quillon peak < <(seconds "$build/src/quillon-cli" export-mail "$store" "$work/out")
warm cp -r "$work/out" "$work/out-copy"
read -r copy _ < <(seconds cp -r "$store" "$work/copy")
read -r same _ < <(seconds cp -r "$work/out" "$work/out-copy")
echo "export-mail: $quillon s, peak $((peak / 1024)) MB; $(find "$work/out" -type f | wc -l) files, $(du -sh "$work/out" | cut -f1)"
echo "cp -r of the files written: $same s; ratio $(ratio "$quillon" "$same") (target 1.5)"
store_bytes=$(du -sb "$store" | cut -f1)
written_bytes=$(du -sb "$work/out" | cut -f1)
echo "cp -r of the store: $copy s; ratio $(ratio "$quillon" "$copy");" \
    "writing as many bytes at its rate, without a file more: ratio $(ratio "$written_bytes" "$store_bytes")"
