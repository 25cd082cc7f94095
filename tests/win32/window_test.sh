#!/usr/bin/env bash
# The Windows window under Wine with a virtual display, in a prefix where the sample
# installation was imported by the regedit of the bitness under test; quillon-cli.exe first
# saves and adapts it, for the window's whole run to compare with.
#   usage: window_test.sh WINDOW_TESTS_EXE CLI_EXE SOURCE_DIR
set -u
tests=$1 cli=$2 src=$3
wine=${QUILLON_WINE:-wine}
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
w() { "$wine" winepath -w "$1" 2>/dev/null; }

for part in ntuser default software; do
    "$wine" regedit /s "$(w "$src/examples/sample-xp/$part.reg")" 2>/dev/null || { echo "FAIL: regedit $part"; exit 1; }
done
"$wine" "$cli" save "$(w "$work/cli-saved.reg")" >/dev/null 2>&1 || { echo "FAIL: quillon-cli save"; exit 1; }
"$wine" "$cli" adapt "$(w "$work/cli-saved.reg")" "$(w "$work/cli-adapted.reg")" --folder 'D:\Courrier OE' \
    >/dev/null 2>&1 || { echo "FAIL: quillon-cli adapt"; exit 1; }
wineserver -w
cd "$(dirname "$tests")" || exit 1
QUILLON_RUN_FOLDER=$(w "$work") xvfb-run -a -s "-screen 0 1024x768x24" "$wine" "$tests" 2>&1 | tr -d '\r'
exit "${PIPESTATUS[0]}"
