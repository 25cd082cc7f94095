#!/usr/bin/env bash
# Adapts a synthetic backup of 1,000,000 lines (identity, Store Root, user-group and address-book
# lines spread through it) with quillon-cli adapt, and makes the same substitutions with sed on
# the same file, in one run. Prints both times, their ratio, and Quillon's peak memory against
# the file's size.   usage: bench/adapt_bench.sh [BUILD_DIR]   (default build/native)
set -euo pipefail
build=${1:-build/native}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
old='{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D}' new='{8C1E6A42-5B7D-4F3A-A1C9-2D4E6F8A0B1C}'
oldsid=S-1-5-21-1111111111-2222222222-3333333333 newsid=S-1-5-21-4444444444-5555555555-6666666666

awk -v id="$old" -v sid="$oldsid" 'BEGIN {
    ORS = "\r\n"; print "REGEDIT4"; n = 1
    while (n < 1000000) {
        k = int(n / 10)
        if (k % 500 == 1) { print "[HKEY_USERS\\" sid "-1003\\RemoteAccess\\Profile\\FAI " k "]"; n++; continue }
        if (k % 700 == 2) { print "\"Store Root\"=\"C:\\\\Documents and Settings\\\\Luc\\\\OE " k "\""; n++; continue }
        if (k % 900 == 3 && n % 10 == 0) { print "[HKEY_CURRENT_USER\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]"; print "@=\"C:\\\\Carnet\\\\" k ".wab\""; n += 2; continue }
        if (n % 10 == 0) { print " "; print "[HKEY_CURRENT_USER\\Identities\\" id "\\Software\\Microsoft\\Outlook Express\\5.0\\Rules\\Mail\\" k "]"; n += 2; continue }
        print "\"Value " n "\"=hex(3):" sprintf("%X,%X,%X,%X,%X,%X,%X,%X,%X,%X,%X,%X", n%256, k%256, 1,2,3,4,5,6,7,8,9,10); n++
    } }' >"$work/backup.reg"
size=$(stat -c %s "$work/backup.reg")
echo "backup: $(awk 'END{print NR}' "$work/backup.reg") lines, $((size / 1000000)) MB"

best_of_3() { # prints "seconds peak_kb" of the fastest of three runs
    local best="" line
    for _ in 1 2 3; do
        line=$(/usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -n 1)
        if [[ -z $best || $(echo "${line% *} < ${best% *}" | bc -l) == 1 ]]; then best=$line; fi
    done
    echo "$best"
}
read -r quillon quillon_kb < <(best_of_3 "$build/src/quillon-cli" --windows "$build/examples/sample-xp-2" \
    adapt "$work/backup.reg" "$work/adapted.reg" --folder 'D:\Mail' --address-book 'D:\Carnet\b.wab')
cat >"$work/adapt.sed" <<SED
s/$old/$new/
s/^"Store Root".*/"Store Root"="D:\\\\\\\\Mail"/
s/^\\[HKEY_USERS\\\\$oldsid-1003/[HKEY_USERS\\\\$newsid-1003/
s/^\\[HKEY_CURRENT_USER\\\\Software\\\\Microsoft\\\\WAB\\\\WAB4\\\\Wab File Name\\]/[HKEY_CURRENT_USER\\\\Identities\\\\$new\\\\Software\\\\Microsoft\\\\WAB\\\\WAB4\\\\Wab File Name]/
s/^@="C:\\\\\\\\Carnet.*/@="D:\\\\\\\\Carnet\\\\\\\\b.wab"/
SED
read -r sed_s sed_kb < <(best_of_3 sh -c "sed -f '$work/adapt.sed' '$work/backup.reg' > '$work/sed.reg'")
printf 'quillon-cli adapt : %6.2f s, peak memory %d MB (%.1fx the file)\n' "$quillon" $((quillon_kb / 1024)) "$(echo "$quillon_kb * 1024 / $size" | bc -l)"
printf 'sed               : %6.2f s\n' "$sed_s"
printf 'quillon / sed     : %.2fx (target at most 2x); memory target under 3x the file\n' "$(echo "$quillon / $sed_s" | bc -l)"
