#!/usr/bin/env bash
# Exports from one big hive, in one run, with Quillon, chntpw's `reged -x`, hivexregedit and the
# floor (reading the hive and writing as many bytes as Quillon wrote), and prints each one's
# best time of RUNS, its peak memory and the ratios:
#   - the key of COUNT values grown into a real XP NTUSER.DAT (Software\QuillonBench);
#   - Software\Microsoft, a small key of the same hive.
# usage: bench/hive_bench.sh [BUILD_DIR] [COUNT] [RUNS]    (default build/native, 200000, 3;
# needs chntpw and libwin-hivex-perl; reged runs once, as it takes minutes on the big key; without ../shared, a hive made here stands in for XP's)
set -euo pipefail
build=${1:-build/native}
count=${2:-200000}
runs=${3:-3}
cli=$build/src/quillon-cli
here=$(cd "$(dirname "$0")" && pwd)
base=$here/../../shared/fixtures/real/xp-m57-pat-ntuser/NTUSER.DAT
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ ! -f $base ]]; then
    printf 'REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows]\n"v"="1"\n' >"$work/base.reg"
    "$build/tools/quillon-make-hive" "$work/base.dat" HKEY_CURRENT_USER "$work/base.reg"
    base=$work/base.dat
fi
hive=$work/NTUSER.DAT
"$build/bench/grow_hive" "$base" "$hive" "$count"
hiveKb=$(( $(stat -c %s "$hive") / 1024 ))
echo "hive: $(basename "$(dirname "$base")")/NTUSER.DAT grown with $count values: $hiveKb KB"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"

# "SECONDS KB": the best time of RUNS runs (or of N, given first as a number) and the highest
# peak memory of them
best() {
    local n=$runs
    if [[ $1 =~ ^[0-9]+$ ]]; then n=$1; shift; fi
    local bestTime=999999 peak=0 start seconds kb
    for ((i = 0; i < n; i++)); do
        start=$(date +%s.%N)
        /usr/bin/time -o "$work/time" -f '%M' "$@" >/dev/null 2>&1 || true
        seconds=$(echo "$(date +%s.%N) - $start" | bc)
        kb=$(tail -1 "$work/time")
        if (( $(echo "$seconds < $bestTime" | bc) )); then bestTime=$seconds; fi
        if (( kb > peak )); then peak=$kb; fi
    done
    echo "$bestTime $peak"
}
row() { printf '  %-22s %8.3f s %9d KB  %s\n' "$1" "${2% *}" "${2#* }" "$3"; }
ratio() { echo "scale=1; ${1% *} / ${2% *}" | bc; }

for key in 'Software\QuillonBench' 'Software\Microsoft'; do
    echo "export HKEY_CURRENT_USER\\$key"
    quillon=$(best "$cli" --hive "HKEY_CURRENT_USER=$hive" export "HKEY_CURRENT_USER\\$key" "$work/q.reg")
    bytes=$(stat -c %s "$work/q.reg")
    reged=$(best 1 reged -x "$hive" HKEY_CURRENT_USER "\\$key" "$work/r.reg")
    hivex=$(best sh -c "hivexregedit --export --prefix HKEY_CURRENT_USER '$hive' '$key' >'$work/h.reg'")
    floor=$(best sh -c "cat '$hive' >/dev/null && head -c $bytes /dev/zero >'$work/f.out'")
    row quillon "$quillon" "$bytes bytes written"
    row "reged -x" "$reged" "$(ratio "$reged" "$quillon")x Quillon's time"
    if grep -q '^"' "$work/h.reg"; then
        row hivexregedit "$hivex" "$(ratio "$hivex" "$quillon")x Quillon's time"
    else
        row hivexregedit "$hivex" "refused the key (libhivex reads at most 110,000 values)"
    fi
    row "floor (read + write)" "$floor" "Quillon takes $(ratio "$quillon" "$floor")x the floor"
    echo "  Quillon's peak: $(( ${quillon#* } - hiveKb )) KB over the hive's size"
done

# Bounded memory, from .reg sources (libhivex's writer makes neither a 200 MB value nor a key of
# a million values): peak memory against the value's size and the text written.
echo "bounded memory"
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
with open(work + '/long.reg', 'w', newline='') as f:
    f.write('REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Long]\r\n"v"=hex:')
    piece = ','.join(['%02x' % b for b in range(256)] * 4096)
    f.write(','.join([piece] * 200))
    f.write('\r\n')
with open(work + '/many.reg', 'w', newline='') as f:
    f.write('REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Many]\r\n')
    data = ','.join('%02X' % (i * 7 & 255) for i in range(64))
    for i in range(1000000):
        f.write('"Valeur %07d"=hex:%s\r\n' % (i, data))
PY
for case in 'long Long 209715200' 'many Many 0'; do
    set -- $case
    /usr/bin/time -o "$work/time" -f '%e %M' "$cli" --reg "$work/$1.reg" export "HKEY_CURRENT_USER\\$2" "$work/out.reg"
    read -r seconds kb <"$work/time"
    text=$(( $(stat -c %s "$work/out.reg") / 1024 ))
    if (( $3 > 0 )); then
        printf '  a value of %d MB: %.2f s, peak %d MB = %.2fx (its size + its text of %d MB)\n' \
            $(( $3 >> 20 )) "$seconds" $(( kb / 1024 )) "$(echo "$kb / ($3 / 1024 + $text)" | bc -l)" $(( text / 1024 ))
    else
        printf '  a key of 1,000,000 values: %.2f s, peak %d MB = %.2fx its text of %d MB\n' \
            "$seconds" $(( kb / 1024 )) "$(echo "$kb / $text" | bc -l)" $(( text / 1024 ))
    fi
done
