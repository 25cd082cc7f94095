#!/usr/bin/env bash
# Every function that the shipped 32-bit executables import must exist on Windows XP SP3, and
# they need no DLL beyond the system's.
#   usage: xp_imports_test.sh OBJDUMP EXE...
set -u
objdump=$1
shift
known=$(dirname "$0")/xp_sp3_imports.txt
system_dlls='^(ADVAPI32|COMCTL32|COMDLG32|GDI32|KERNEL32|MSVCRT|OLE32|SHELL32|USER32)\.DLL$'
failures=0
for exe in "$@"; do
    imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ { dll = toupper($3); next }
                                          dll && /^\t[0-9a-f]+\t/ { print dll, $3 }')
    if [[ -z $imports ]]; then
        echo "FAIL: no import table read from $exe"
        failures=$((failures + 1))
        continue
    fi
    while read -r dll function; do
        if [[ ! $dll =~ $system_dlls ]]; then
            echo "FAIL: $(basename "$exe") needs $dll, which is not a system DLL"
            failures=$((failures + 1))
        elif ! grep -qxF "$dll $function" "$known"; then
            echo "FAIL: $(basename "$exe") imports $dll $function, not known to exist on Windows XP SP3"
            failures=$((failures + 1))
        fi
    done <<<"$imports"
    echo "$(basename "$exe"): $(wc -l <<<"$imports") imports from $(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')"
done
echo "$# executables checked, $failures imports refused"
[[ $failures == 0 ]]
