#!/usr/bin/env bash
# quillon-cli adapt: the backup of the sample installation "Luc" adapted on the second sample
# installation "Marie", which has another identity, user SID and store folder. The expected
# files were reviewed line by line: only the identity (first occurrence in a line), the store
# folder, the user-group keys and the address-book pair differ from the backup.
#   usage: adapt_cli_test.sh CLI BUILD_EXAMPLES_DIR SOURCE_DIR
set -u
cli=$1 examples=$2 src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/expect.sh"
backup=$src/tests/data/sample-xp.save.expected.reg
new=(--windows "$examples/sample-xp-2")
: >"$work/empty.reg"
"$cli" "${new[@]}" adapt "$work/empty.reg" "$work/x.reg" >"$work/out" 2>"$work/err"
expect "an empty backup exits 1 and says why" grep -q 'est vide : aucune ligne à adapter' "$work/err"

"$cli" "${new[@]}" adapt "$backup" "$work/adapted.reg" --folder 'D:\Courrier OE' >"$work/out" 2>"$work/err"
expect "adapt exits 0" test $? = 0
expect "the reviewed adapted file" cmp -s "$work/adapted.reg" "$src/tests/data/sample-xp.adapted.expected.reg"
expect "the summary" grep -q "Changements d'identité : 35" "$work/out"

"$cli" "${new[@]}" adapt <(cat "$backup") "$work/piped.reg" --folder 'D:\Courrier OE' >/dev/null 2>&1
expect "a backup through a pipe is adapted the same" cmp -s "$work/piped.reg" "$work/adapted.reg"

"$cli" "${new[@]}" adapt "$backup" "$work/wab.reg" --folder 'D:\Courrier OE' --address-book 'D:\Carnet\marie.wab' >/dev/null 2>&1
expect "adapt with an address book exits 0" test $? = 0
expect "the address book moves under the new identity" cmp -s "$work/wab.reg" "$src/tests/data/sample-xp.adapted-wab.expected.reg"

"$cli" "${new[@]}" adapt "$work/missing.reg" "$work/x.reg" 2>"$work/err"
expect "a missing input exits 1" test $? = 1 -a ! -e "$work/x.reg"
expect "with the reason alone" test "$(wc -l <"$work/err")" = 1
"$cli" "${new[@]}" adapt "$backup" "$work/no/such/dir/x.reg" >/dev/null 2>"$work/err"
expect "an unwritable output exits 1" test $? = 1

finish
