#!/usr/bin/env bash
# Exports a whole synthetic hive of more than 50 MB three ways, in one run, and prints the times:
#   quillon-cli --hive ... export       (the hive read through libhivex, written as REGEDIT4)
#   hivexregedit --export               (the same hive, libhivex's own Perl exporter)
#   wine regedit /e                     (the same keys, imported beforehand into a Wine prefix)
# usage: bench/offline_export_bench.sh [BUILD_DIR]     (default build/native)
set -euo pipefail
build=${1:-build/native}
work=$(mktemp -d)
export WINEARCH=win32 WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
key='HKEY_CURRENT_USER\Software\QuillonBench'

"$build/bench/make_bench_data" "$work"
echo "hive: $(du -m "$work/bench.hive" | cut -f1) MB"
wine regedit /s "$(winepath -w "$work/bench.reg" 2>/dev/null)" 2>/dev/null
wineserver -p 600 2>/dev/null || true # keep the server up so Wine's start is not timed

seconds() { local start=$(date +%s.%N); "$@" >/dev/null 2>&1; echo "$(date +%s.%N) - $start" | bc -l; }
best() { local b=999999 t; for _ in 1 2 3; do t=$(seconds "$@"); b=$(echo "if ($t < $b) $t else $b" | bc -l); done; echo "$b"; }

quillon=$(best "$build/src/quillon-cli" --hive "$key=$work/bench.hive" export "$key" "$work/quillon.reg")
hivex=$(best sh -c "hivexregedit --export --prefix '$key' '$work/bench.hive' '\\' > '$work/hivex.reg'")
wine=$(best wine regedit /e "$(winepath -w "$work/wine.reg" 2>/dev/null)" "$key")

printf 'quillon-cli export : %6.2f s (%s lines)\n' "$quillon" "$(wc -l <"$work/quillon.reg")"
printf 'hivexregedit       : %6.2f s (%s lines)\n' "$hivex" "$(wc -l <"$work/hivex.reg")"
printf "wine regedit /e    : %6.2f s (%s lines)\n" "$wine" "$(iconv -f UTF-16LE -t UTF-8 "$work/wine.reg" | wc -l)"
printf 'hivexregedit / quillon: %.1fx (target at least 10x)\n' "$(echo "$hivex / $quillon" | bc -l)"
printf 'wine regedit / quillon: %.1fx (target at least 3x)\n' "$(echo "$wine / $quillon" | bc -l)"
