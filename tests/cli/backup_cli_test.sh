#!/usr/bin/env bash
# quillon-cli save, lookup and save-hive on the sample installation.
#   usage: backup_cli_test.sh CLI SAMPLE_INSTALLATION_DIR SOURCE_DIR
set -u
cli=$1 sample=$2 src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp # every temporary file of the program must be gone after each command
mkdir -p "$TMPDIR"
source "$(dirname "$0")/expect.sh"
no_temporary_files() { [[ -z $(ls -A "$TMPDIR") ]]; }
user="$sample/Documents and Settings/Luc/NTUSER.DAT"

"$cli" --windows "$sample" save "$work/all.reg" 2>"$work/err"
expect "save exits 0" test $? = 0
expect "save writes the reviewed file" cmp -s "$work/all.reg" "$src/tests/data/sample-xp.save.expected.reg"

"$cli" --windows "$sample" save "$work/none.reg" --only '' 2>"$work/err"
expect "nothing ticked exits 1" test $? = 1
"$cli" --windows "$sample" save "$work/x.reg" --only 'signatures,nothing' 2>/dev/null
expect "an unknown box is a usage error" test $? = 2
"$cli" --windows "$sample" save "$work/missing/x.reg" 2>"$work/err"
expect "an unwritable file exits 1" test $? = 1

"$cli" --windows "$sample" --load "AUTRE=$user" lookup AUTRE >"$work/out" 2>&1
expect "lookup exits 0" test $? = 0
expect "lookup prints the identity" grep -qx 'IdentiteAutre: {3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}' "$work/out"
"$cli" --windows "$sample" lookup AUTRE >"$work/out" 2>&1
expect "lookup of a hive that is not loaded exits 1" test $? = 1
# With no user of its own the start-up reports a missing identity; the lookup still succeeds.
"$cli" --hive "HKEY_LOCAL_MACHINE\Software=$sample/WINDOWS/system32/config/software" \
    --load "AUTRE=$user" lookup AUTRE >"$work/out" 2>"$work/err"
expect "lookup exits 0 when it found both fields, after start-up messages" test $? = 0 -a -s "$work/err"

"$cli" --windows "$sample" --load "AUTRE=$user" save-hive AUTRE "$work/hive.reg" 2>"$work/err"
expect "save-hive exits 0" test $? = 0
expect "generated identity accounts below the current user" grep -q '^\[HKEY_CURRENT_USER\\Identities\\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001\]' "$work/hive.reg"
"$cli" --windows "$sample" --load "AUTRE=$user" save-hive AUTRE "$work/no.reg" --identity '{NONE}' 2>"$work/err"
expect "an unknown identity ends without a file" test $? = 1 -a ! -e "$work/no.reg"
# Asked to end while it waits to write into a pipe that no one reads, with its backup made.
mkfifo "$work/out.fifo"
"$cli" --windows "$sample" save "$work/out.fifo" 2>/dev/null &
for _ in $(seq 100); do [[ -n $(ls -A "$TMPDIR") ]] && break; sleep 0.1; done
kill -TERM $!
for _ in $(seq 50); do kill -0 $! 2>/dev/null || break; sleep 0.1; done
kill -KILL $! 2>/dev/null
wait $!
expect "a request to end ends the command (status 143)" test $? = 143
# The commands end on their own paths, an interruption included: none leaves a temporary file.
expect "no temporary file is left" no_temporary_files

finish
