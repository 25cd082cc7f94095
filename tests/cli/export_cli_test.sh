#!/usr/bin/env bash
# quillon-cli export from end to end: usage | export_cli_test.sh native|wine CLI SOURCE_DIR
# Natively the key comes from the example .reg file; under Wine the same file is first imported
# with Wine's regedit and read back from the live registry, whose keys and values are sorted.
set -u
# The Wine loader of the bitness under test (its regedit writes the registry view that the
# program reads).
wine=${QUILLON_WINE:-wine}
mode=$1 cli=$2 src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

if [[ $mode == wine ]]; then
    run() { "$wine" "$cli" "$@"; }
    "$wine" regedit /s "$(winepath -w "$src/examples/test-key.reg")" || fail "regedit import"
    store=()
    expected=$src/tests/data/test-key.wine-sorted.expected.reg
    out() { winepath -w "$work/$1"; }
else
    run() { "$cli" "$@"; }
    store=(--reg "$src/examples/test-key.reg")
    expected=$src/tests/data/test-key.expected.reg
    out() { echo "$work/$1"; }
fi

# The key, byte for byte, into a new file.
check
run "${store[@]}" export 'HKEY_CURRENT_USER\Software\Test' "$(out a.reg)" || fail "export exit $?"
cmp -s "$work/a.reg" "$expected" || fail "exported bytes differ from $expected"

# --append adds the key without a header; a second plain export replaces the file.
check
run "${store[@]}" export 'HKEY_CURRENT_USER\Software\Test\Sub' "$(out a.reg)" --append || fail "append exit"
lines=$(grep -c 'REGEDIT4' "$work/a.reg")
[[ $lines == 1 ]] || fail "append wrote $lines headers"
tail -c 60 "$work/a.reg" | grep -q 'hex(2):25,54,25,0' || fail "append missing the subkey"

# A missing key: exit 1, a message, the file untouched.
check
cp "$work/a.reg" "$work/before.reg"
run "${store[@]}" export 'HKEY_CURRENT_USER\Software\Missing' "$(out a.reg)" 2>"$work/err"
[[ $? == 1 ]] || fail "missing key should exit 1"
grep -q 'clé introuvable' "$work/err" || fail "missing key message: $(cat "$work/err")"
cmp -s "$work/a.reg" "$work/before.reg" || fail "missing key touched the file"

# An unknown root, a missing output folder: exit 1 with a message, nothing left behind.
check
run "${store[@]}" export 'HKEY_NOWHERE\Software' "$(out b.reg)" 2>"$work/err"
[[ $? == 1 ]] && grep -q 'racine connue' "$work/err" || fail "unknown root: $(cat "$work/err")"
check
run "${store[@]}" export 'HKEY_CURRENT_USER\Software\Test' "$(out no/such/c.reg)" 2>"$work/err"
[[ $? == 1 ]] && grep -q "impossible d'écrire" "$work/err" || fail "missing folder: $(cat "$work/err")"
[[ $(ls "$work") == $'a.reg\nbefore.reg\nerr' ]] || fail "files left behind: $(ls "$work")"

# Usage errors exit 2.
check
run "${store[@]}" export 'HKEY_CURRENT_USER\Software\Test' 2>/dev/null
[[ $? == 2 ]] || fail "missing FILE should exit 2"
check
run "${store[@]}" frobnicate 2>/dev/null
[[ $? == 2 ]] || fail "unknown command should exit 2"

if [[ $mode == wine ]]; then
    check
    run --reg x.reg export 'HKEY_CURRENT_USER\Software\Test' "$(out d.reg)" 2>"$work/err"
    [[ $? == 2 ]] || fail "--reg must be refused on Windows"
else
    check
    printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n"x"=hex:zz\r\n' >"$work/bad.reg"
    run --reg "$work/bad.reg" export 'HKEY_CURRENT_USER\A' "$work/e.reg" 2>"$work/err"
    [[ $? == 1 ]] && grep -q 'bad.reg, ligne 3' "$work/err" || fail "bad .reg: $(cat "$work/err")"
fi

echo "$((checks - failures)) passed, $failures failed"
[[ $failures == 0 ]]
