#!/usr/bin/env bash
# A real Windows Me registry (../shared's fixture) in a Windows 98/Me layout: status finds the
# version and the identity, save writes the backup, and the backup merged by Wine's regedit into
# a fresh prefix gives back every key and value.   usage: windows9x_test.sh CLI FIXTURES_DIR
set -u
cli=$1 me=$2/winme-dfwinreg-creg
if [[ ! -f $me/USER.DAT ]]; then
    echo "Skipped: the Windows Me registry $me is not here (no ../shared beside the clone)"
    exit 77
fi
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
source "$(dirname "$0")/../cli/expect.sh"
source "$(dirname "$0")/wine_merge.sh"
mkdir -p "$work/disk/WINDOWS"
cp "$me/SYSTEM.DAT" "$me/USER.DAT" "$work/disk/WINDOWS/"

"$cli" --windows "$work/disk" status >"$work/out" 2>"$work/err"
expect "status exits 0" test $? = 0
expect "the version" grep -qx 'CommentOnglet1: 5.50.4134.0100' "$work/out"
expect "the identity" grep -qx 'IdentiteCourante: {5BF89071-1772-4861-B17B-50F47CC6DBDD}' "$work/out"
expect "no store folder, no group, and no message for either" \
    bash -c "grep -qx 'RepertoireCourant: ' '$work/out' && grep -qx 'TexteGroupeActif:  ' '$work/out' && test ! -s '$work/err'"

"$cli" --windows "$work/disk" save "$work/me.reg" 2>"$work/err"
expect "save exits 0" test $? = 0
expect "the five directory services are saved" test "$(grep -c '^\[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts\\' "$work/me.reg")" = 5
expect "merged by regedit, every key and value comes back" merged_gives_back "$cli" "$work/me.reg" "$work"
finish
