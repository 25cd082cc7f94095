#!/usr/bin/env bash
# The same keys of the sample installation held three ways give the same files, byte for byte:
# the .reg sources, a Wine prefix made by Wine's regedit from them, and the regf hives built
# from them.   usage: three_stores_test.sh CLI SOURCE_DIR SAMPLE_INSTALLATION_DIR
set -u
cli=$1 src=$2 sample=$3
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
# A 32-bit prefix, as Windows XP is: its regedit writes HKEY_LOCAL_MACHINE\Software itself.
export WINEARCH=win32 WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
regs=()
for part in ntuser default software; do
    wine regedit /s "$(winepath -w "$src/examples/sample-xp/$part.reg" 2>/dev/null)" 2>/dev/null || { echo "FAIL: regedit $part"; exit 1; }
    regs+=(--reg "$src/examples/sample-xp/$part.reg")
done
wineserver -w # the registry reaches its files when the server ends

failures=0 checks=0
for key in 'HKEY_CURRENT_USER\Identities' \
           'HKEY_CURRENT_USER\Software\Microsoft\Internet Account Manager' \
           'HKEY_CURRENT_USER\Software\Microsoft\Protected Storage System Provider' \
           'HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\IntelliForms\SPW' \
           'HKEY_CURRENT_USER\Software\Microsoft\WAB\WAB4' \
           'HKEY_CURRENT_USER\RemoteAccess' \
           'HKEY_USERS\.DEFAULT\RemoteAccess' \
           'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Group Policy'; do
    checks=$((checks + 1))
    "$cli" "${regs[@]}" export "$key" "$work/reg.reg" &&
        "$cli" --wine-prefix "$WINEPREFIX" export "$key" "$work/wine.reg" &&
        "$cli" --windows "$sample" export "$key" "$work/hive.reg" || { echo "FAIL: export $key"; failures=$((failures + 1)); continue; }
    if ! cmp -s "$work/reg.reg" "$work/wine.reg" || ! cmp -s "$work/reg.reg" "$work/hive.reg"; then
        echo "FAIL: $key differs"
        diff "$work/reg.reg" "$work/wine.reg" | head -5
        diff "$work/reg.reg" "$work/hive.reg" | head -5
        failures=$((failures + 1))
    fi
done
echo "$((checks - failures)) passed, $failures failed"
[[ $failures == 0 ]]
