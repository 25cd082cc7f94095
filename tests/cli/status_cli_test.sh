#!/usr/bin/env bash
# quillon-cli status: the start-up of the window on the sample installation, and its end on a
# registry without the mail client.   usage: status_cli_test.sh CLI SAMPLE_INSTALLATION_DIR SOURCE_DIR
set -u
cli=$1 sample=$2 src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/expect.sh"

expect "--version names the program and its version" test "$("$cli" --version)" = "quillon-cli 2.5"
# Usage errors: one line and where the help is; hints where a user goes wrong.
"$cli" >"$work/out" 2>"$work/err"
expect "no command exits 2 with two lines" test $? = 2 -a "$(wc -l <"$work/err")" = 2
expect "no command points to --help" grep -qx 'Aide : quillon-cli --help' "$work/err"
"$cli" --hive "HKEY_CURRENT_USER=$sample/Documents and Settings/Luc/NTUSER.DAT" status >"$work/out" 2>"$work/err"
expect "a user hive alone says the SOFTWARE hive is needed" grep -q 'ruche SOFTWARE' "$work/err"
"$cli" --reg "$sample/WINDOWS/system32/config/software" status >"$work/out" 2>"$work/err"
expect "--reg given a hive suggests --hive" grep -q "c'est une ruche, pas un fichier .reg : donnez-le avec --hive" "$work/err"
"$cli" --windows "$sample" --partition 2 status >"$work/out" 2>"$work/err"
expect "--partition without --image is refused, not ignored" grep -q 'donnez aussi --image' "$work/err"

"$cli" --windows "$sample" status >"$work/out" 2>"$work/err"
expect "status exits 0 on the sample" test $? = 0
expect "no message on the sample" test ! -s "$work/err"
expect "version" grep -qx 'CommentOnglet1: 6.0.2900.5512' "$work/out"
expect "identity" grep -qx 'IdentiteCourante: {3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}' "$work/out"
expect "store folder" grep -qx 'RepertoireCourant: %UserProfile%\\Local Settings\\Application Data\\Identities\\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}\\Microsoft\\Outlook Express\\x00' "$work/out"
expect "group" grep -qx 'TexteGroupeActif: S-1-5-21-1111111111-2222222222-3333333333-1003' "$work/out"

# Registry options may follow the command; a .reg file may come through a pipe, read once.
"$cli" status --reg <(cat "$src/examples/sample-xp/software.reg") --reg <(cat "$src/examples/sample-xp/ntuser.reg") >"$work/out" 2>"$work/err"
expect "options after the command, .reg files through pipes" grep -qx 'IdentiteCourante: {3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}' "$work/out"
"$cli" --load S=<(cat "$sample/WINDOWS/system32/config/software") status >"$work/out" 2>"$work/err"
expect "a hive through a pipe is refused for what it is" grep -q 'pas dans un tube' "$work/err"

"$cli" --reg "$src/examples/test-key.reg" status >"$work/out" 2>"$work/err"
expect "status exits 1 without the mail client" test $? = 1
expect "the version message" grep -qx '\[stop\] Recherche de la version OE dans le registre (1): Version OE non trouvée' "$work/err"
expect "nothing printed when the window is not shown" test ! -s "$work/out"

# Without a registry option: the Wine prefix of $WINEPREFIX, else an empty registry.
mkdir -p "$work/prefix"
printf 'WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Internet Explorer] 1\n"Version"="5.50.4807.2300"\n' >"$work/prefix/system.reg"
printf 'WINE REGISTRY Version 2\n\n[Identities] 1\n"Last User ID"="{W}"\n' >"$work/prefix/user.reg"
WINEPREFIX=$work/prefix "$cli" status >"$work/out" 2>"$work/err"
expect "the default Wine prefix is read" grep -qx 'IdentiteCourante: {W}' "$work/out"
env -u WINEPREFIX HOME="$work/nohome" "$cli" status >"$work/out" 2>"$work/err"
expect "no prefix: an empty registry" grep -q 'Version OE non trouvée' "$work/err"

finish
