#!/usr/bin/env bash
# What a small job costs (the program's start) and how a big one grows, in one run:
#   - start: `quillon-cli --version`, `status` on the sample installation, and the export of
#     HKEY_CURRENT_USER\Software\Microsoft (1.3 MB of text) from the grown hive of 33 MB, each
#     against the same work of chntpw's reged and of hivexregedit where they do it, and against
#     print_line, a C++ program that only prints a line (the floor of a C++ program's start);
#   - scale: Software\QuillonBench, the grown key (its values twenty to a subkey), exported from
#     the real XP NTUSER.DAT grown to 8, 33 and 130 MB, against `reged -x`, hivexregedit and the
#     floor (reading the hive, writing as many bytes): time per MB and peak memory over the
#     hive's size, and how both grow from the smallest hive to the biggest.
# Each time is the median of RUNS runs made in one loop, each command in turn, so that what else
# the machine does weighs on all alike; peak memory is that of one more run of each. The outputs
# are written to memory (/dev/shm).
#   usage: bench/startup_bench.sh [BUILD_DIR] [RUNS] [CLI]     (default build/native, 21; CLI:
#   another quillon-cli measured instead, an older build's; needs chntpw and libwin-hivex-perl;
#   without ../shared, a hive made here stands in for XP's)
set -euo pipefail
build=${1:-build/native}
runs=${2:-21}
cli=${3:-$build/src/quillon-cli}
here=$(cd "$(dirname "$0")" && pwd)
base=$here/../../shared/fixtures/real/xp-m57-pat-ntuser/NTUSER.DAT
floorProgram=$build/bench/print_line
sample=$build/examples/sample-xp
work=$(mktemp -d)
# What is written goes to memory, for each program alike: the disk's write-back of one run would
# otherwise weigh on the next.
out=$(mktemp -d -p /dev/shm)
trap 'rm -rf "$work" "$out"' EXIT

if [[ ! -f $base ]]; then
    printf 'REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows]\n"v"="1"\n' >"$work/base.reg"
    "$build/tools/quillon-make-hive" "$work/base.dat" HKEY_CURRENT_USER "$work/base.reg"
    base=$work/base.dat
fi
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1 /proc/loadavg)"
echo "quillon-cli: $cli, $(LD_DEBUG=libs "$cli" --version 2>&1 >/dev/null | grep -c 'calling init') shared libraries started"

# paired NAME COMMAND [NAME COMMAND ...]: runs each COMMAND (a shell word list, evaluated) RUNS
# times, in turn, and leaves each one's times in microseconds in $work/NAME.times
paired() {
    local i j start
    for ((j = 1; j < $#; j += 2)); do : >"$work/${!j}.times"; done
    for ((i = 0; i < runs; i++)); do
        for ((j = 1; j < $#; j += 2)); do
            local name=${!j} next=$((j + 1))
            start=${EPOCHREALTIME/./}
            eval "${!next}" >/dev/null 2>&1 || true
            echo $((${EPOCHREALTIME/./} - start)) >>"$work/$name.times"
        done
    done
}
median() { sort -n "$work/$1.times" | sed -n "$(((runs + 1) / 2))p"; }
# peak memory of one run, in KB
peak() {
    eval "/usr/bin/time -o '$work/time' -f '%M' $1" >/dev/null 2>&1 || true
    tail -1 "$work/time"
}
seconds() { awk -v us="$1" 'BEGIN { printf "%.4f s", us / 1e6 }'; }
times() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

hive() { # hive COUNT: the base hive grown with COUNT values, twenty to a subkey
    "$build/bench/grow_hive" "$base" "$work/hive-$1.dat" "$1" 64 20
    echo "$work/hive-$1.dat"
}
medium=$(hive 227000)
small='HKEY_CURRENT_USER\Software\Microsoft'

echo
echo "start (median of $runs runs)"
printf '  %-30s %11s %9s %9s %9s %9s\n' work Quillon peak "x floor" reged hivex
row() { # row LABEL QUILLON_COMMAND [REGED_COMMAND [HIVEX_COMMAND]]
    local label=$1 commands=(quillon "$2" floor "$floorProgram")
    [[ -n ${3:-} ]] && commands+=(reged "$3")
    [[ -n ${4:-} ]] && commands+=(hivex "$4")
    paired "${commands[@]}"
    local q f r="" h=""
    q=$(median quillon) f=$(median floor)
    [[ -n ${3:-} ]] && r="$(times "$(median reged)" "$q")x"
    [[ -n ${4:-} ]] && h="$(times "$(median hivex)" "$q")x"
    printf '  %-30s %11s %6d KB %8sx %9s %9s\n' "$label" "$(seconds "$q")" "$(peak "$2")" \
        "$(times "$q" "$f")" "$r" "$h"
}
row "--version" "'$cli' --version" "reged -h"
row "status (sample installation)" "'$cli' --windows '$sample' status"
row "export Software\\Microsoft" \
    "'$cli' --hive 'HKEY_CURRENT_USER=$medium' export '$small' '$out/q.reg'" \
    "reged -x '$medium' HKEY_CURRENT_USER '\\Software\\Microsoft' '$out/r.reg'" \
    "hivexregedit --export --prefix HKEY_CURRENT_USER '$medium' 'Software\\Microsoft' >'$out/h.reg'"
echo "  (floor: $(seconds "$(median floor)") for print_line; reged and hivex: their time over Quillon's)"

echo
# Half as many runs for the big exports (hivexregedit takes seconds on the biggest), five at least.
runs=$((runs / 2 > 5 ? runs / 2 : 5))
echo "scale: export HKEY_CURRENT_USER\\Software\\QuillonBench (median of $runs runs)"
printf '  %-8s %10s %10s %12s %13s %9s %9s %9s\n' hive text Quillon "per MB" "peak - hive" "x floor" reged hivex
first=""
for count in 50000 227000 920000; do
    h=$([[ $count == 227000 ]] && echo "$medium" || hive $count)
    "$cli" --hive "HKEY_CURRENT_USER=$h" export 'HKEY_CURRENT_USER\Software\QuillonBench' "$out/q.reg"
    bytes=$(stat -c %s "$out/q.reg")
    hiveKb=$(($(stat -c %s "$h") / 1024))
    quillon="'$cli' --hive 'HKEY_CURRENT_USER=$h' export 'HKEY_CURRENT_USER\\Software\\QuillonBench' '$out/q.reg'"
    paired quillon "$quillon" \
        floor "cat '$h' >/dev/null && head -c $bytes /dev/zero >'$out/f.out'" \
        reged "reged -x '$h' HKEY_CURRENT_USER '\\Software\\QuillonBench' '$out/r.reg'" \
        hivex "hivexregedit --export --prefix HKEY_CURRENT_USER '$h' 'Software\\QuillonBench' >'$out/h.reg'"
    q=$(median quillon)
    perMb=$(awk -v us="$q" -v kb="$hiveKb" 'BEGIN { printf "%.2f", us / 1000 / (kb / 1024) }')
    over=$(($(peak "$quillon") - hiveKb))
    printf '  %5d MB %7d MB %10s %7s ms %10d KB %8sx %8sx %8sx\n' $((hiveKb / 1024)) \
        $((bytes >> 20)) "$(seconds "$q")" "$perMb" "$over" "$(times "$q" "$(median floor)")" \
        "$(times "$(median reged)" "$q")" "$(times "$(median hivex)" "$q")"
    if [[ -z $first ]]; then
        first="$perMb $over"
    else
        last="$perMb $over"
    fi
done
echo "  from the smallest hive to the biggest: time per MB $(times "${last% *}" "${first% *}")x," \
    "peak over the hive $(times "${last#* }" "${first#* }")x"
