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
source "$(dirname "$0")/expect.sh"
key='HKEY_CURRENT_USER\Software\Test'

if [[ $mode == wine ]]; then
    run() { "$wine" "$cli" "$@"; }
    expect "regedit imports the example" "$wine" regedit /s "$(winepath -w "$src/examples/test-key.reg")"
    store=()
    expected=$src/tests/data/test-key.wine-sorted.expected.reg
    out() { winepath -w "$work/$1"; }
else
    run() { "$cli" "$@"; }
    store=(--reg "$src/examples/test-key.reg")
    expected=$src/tests/data/test-key.expected.reg
    out() { echo "$work/$1"; }
fi
export_to() { run "${store[@]}" export "$1" "$(out "$2")" "${@:3}" 2>"$work/err"; }

export_to "$key" a.reg
expect "export exits 0" test $? = 0
expect "the key, byte for byte" cmp -s "$work/a.reg" "$expected"
export_to "$key\\Sub" a.reg --append
expect "--append adds one key without a second header" \
    test "$(grep -c REGEDIT4 "$work/a.reg")" = 1 -a "$(tail -c 60 "$work/a.reg" | grep -c 'hex(2):25,54,25,0')" = 1

cp "$work/a.reg" "$work/before.reg"
export_to 'HKEY_CURRENT_USER\Software\Missing' a.reg
expect "a missing key exits 1" test $? = 1
expect "and says so" grep -q 'clé introuvable' "$work/err"
expect "and leaves the file alone" cmp -s "$work/a.reg" "$work/before.reg"
export_to 'HKEY_NOWHERE\Software' b.reg
expect "an unknown root exits 1 and says so" bash -c "test $? = 1 && grep -q 'racine connue' '$work/err'"
export_to "$key" no/such/c.reg
expect "a missing folder exits 1 and says so" bash -c "test $? = 1 && grep -q \"impossible d'écrire\" '$work/err'"
expect "nothing is left behind" test "$(ls "$work")" = $'a.reg\nbefore.reg\nerr'

run "${store[@]}" export "$key" 2>/dev/null
expect "a missing FILE is a usage error" test $? = 2
run "${store[@]}" frobnicate 2>/dev/null
expect "an unknown command is a usage error" test $? = 2
if [[ $mode == wine ]]; then
    run --reg x.reg export "$key" "$(out d.reg)" 2>/dev/null
    expect "--reg is refused on Windows" test $? = 2
else
    printf 'REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n"x"=hex:zz\r\n' >"$work/bad.reg"
    run --reg "$work/bad.reg" export 'HKEY_CURRENT_USER\A' "$work/e.reg" 2>"$work/err"
    expect "a bad .reg exits 1 and names its line" bash -c "test $? = 1 && grep -q 'bad.reg, ligne 3' '$work/err'"
    # /dev/stdout is written into, not replaced by a file: the key comes out of the pipe.
    run "${store[@]}" export "$key" /dev/stdout 2>/dev/null | cmp -s - "$expected"
    expect "export to /dev/stdout prints the key" test "${PIPESTATUS[*]}" = "0 0"
fi
finish
