#!/usr/bin/env bash
# quillon-cli adapt: the backup of the sample installation "Luc" adapted on the second sample
# installation "Marie", which has another identity, user SID and store folder.
#   usage: adapt_cli_test.sh CLI BUILD_EXAMPLES_DIR SOURCE_DIR
set -u
cli=$1 examples=$2 src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
source "$(dirname "$0")/expect.sh"
backup=$src/tests/data/sample-xp.save.expected.reg
new=(--windows "$examples/sample-xp-2")
old_id='{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}' new_id='{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}'
old_sid=S-1-5-21-1111111111-2222222222-3333333333 new_sid=S-1-5-21-4444444444-5555555555-6666666666
# D:\Courrier OE as the hex(2) bytes of an expandable string, as the old line was written.
store='"Store Root"=hex(2):44,3A,5C,43,6F,75,72,72,69,65,72,20,4F,45,0'

: >"$work/empty.reg"
"$cli" "${new[@]}" adapt "$work/empty.reg" "$work/x.reg" >"$work/out" 2>"$work/err"
expect "an empty backup exits 1 and says why" grep -q 'est vide : aucune ligne à adapter' "$work/err"

"$cli" "${new[@]}" adapt "$backup" "$work/adapted.reg" --folder 'D:\Courrier OE' >"$work/out" 2>"$work/err"
expect "adapt exits 0" test $? = 0
expect "only the expected lines change" python3 "$src/tests/cli/adapted_lines_check.py" "$backup" "$work/adapted.reg" "$old_id" "$new_id" "$old_sid" "$new_sid" "$store"
expect "the summary" grep -q "Changements d'identité : 35" "$work/out"
expect "no message when identity and folder changed" bash -c "! grep -q '^\[information\] Modifier' '$work/err'"
expect "the final message counts the lines" grep -q "^$(awk 'END{print NR}' "$backup") lignes" "$work/err"

"$cli" "${new[@]}" adapt "$backup" "$work/wab.reg" --folder 'D:\Courrier OE' --address-book 'D:\Carnet\marie.wab' >/dev/null 2>&1
expect "adapt with an address book exits 0" test $? = 0
expect "the address book moves under the new identity" python3 "$src/tests/cli/adapted_lines_check.py" "$backup" "$work/wab.reg" "$old_id" "$new_id" "$old_sid" "$new_sid" "$store" 'D:\Carnet\marie.wab'

"$cli" "${new[@]}" adapt "$work/missing.reg" "$work/x.reg" 2>"$work/err"
expect "a missing input exits 1" test $? = 1 -a ! -e "$work/x.reg"
expect "and says so" grep -q "missing.reg n'existe pas" "$work/err"
"$cli" "${new[@]}" adapt "$backup" "$work/no/such/dir/x.reg" >/dev/null 2>"$work/err"
expect "an unwritable output exits 1" test $? = 1
expect "and names the file" grep -q "no/such/dir/x.reg" "$work/err"
expect "no temporary file is left" test -z "$(ls -A "$TMPDIR")"

finish
