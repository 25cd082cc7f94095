#!/usr/bin/env bash
# The backup of the sample installation, two stores and one registry: Wine's registry read live
# by the Windows build, and its files read offline by the Linux build, give the same file; and
# merged into a fresh prefix by Wine's regedit, the backup gives back every key and value.
# Then, adapted for the second sample installation (another identity, user and store folder)
# and merged into its Wine registry, the new identity holds the old identity's settings.
#   usage: backup_wine_test.sh NATIVE_CLI WINDOWS_CLI_EXE SOURCE_DIR
set -u
# The Wine loader of the bitness under test (its regedit writes the registry view that the
# program reads).
wine=${QUILLON_WINE:-wine}
native=$1 windows=$2 src=$3
work=$(mktemp -d)
trap 'for p in one two three; do WINEPREFIX="$work/$p" wineserver -k 2>/dev/null; done; rm -rf "$work"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failures=0 checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
w() { winepath -w "$1" 2>/dev/null; }
source "$(dirname "$0")/wine_merge.sh"

export WINEPREFIX=$work/one
for part in ntuser default software; do
    "$wine" regedit /s "$(w "$src/examples/sample-xp/$part.reg")" 2>/dev/null || fail "regedit $part"
done
checks=$((checks + 1))
"$wine" "$windows" save "$(w "$work/live.reg")" >/dev/null 2>"$work/live.err" || fail "live save: $(cat "$work/live.err")"
wineserver -w
"$native" --wine-prefix "$WINEPREFIX" save "$work/offline.reg" 2>"$work/offline.err" || fail "offline save: $(cat "$work/offline.err")"
cmp -s "$work/live.reg" "$work/offline.reg" || { fail "live and offline backups differ"; diff "$work/live.reg" "$work/offline.reg" | head -5; }

checks=$((checks + 1))
export WINEPREFIX=$work/two
merged_gives_back "$native" "$work/offline.reg" "$work" || fail "the merged backup does not give back every value"

checks=$((checks + 1))
export WINEPREFIX=$work/three
for part in ntuser default software; do
    "$wine" regedit /s "$(w "$src/examples/sample-xp-2/$part.reg")" 2>/dev/null || fail "regedit sample 2 $part"
done
wineserver -w
"$native" --wine-prefix "$WINEPREFIX" adapt "$work/offline.reg" "$work/adapted.reg" --folder 'D:\Courrier OE' >/dev/null 2>&1 || fail "adapt"
"$wine" regedit /s "$(w "$work/adapted.reg")" 2>/dev/null || fail "regedit of the adapted file"
wineserver -w
new='HKEY_CURRENT_USER\Identities\{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}\Software\Microsoft\Outlook Express\5.0'
"$native" --wine-prefix "$WINEPREFIX" export "$new" "$work/new-identity.reg" || fail "export of the new identity"
python3 "$(dirname "$0")/reg_compare.py" "$work/adapted.reg" "$work/new-identity.reg" "$new" | tail -n 1 | grep -q ' 0 failed' ||
    fail "the new identity does not hold the old settings"
grep -q 'Factures \\"EDF\\"' "$work/new-identity.reg" || fail "the old rules are not under the new identity"

echo "$((checks - failures)) passed, $failures failed"
[[ $failures == 0 ]]
