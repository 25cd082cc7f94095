#!/usr/bin/env bash
# Damages one block header ("hbin") of each real hive at a time (the second block, one in the
# middle, the last) and counts the keys and values that quillon-cli and hivexregedit --unsafe
# recover from the same damaged file. Prints a Markdown table.
#   usage: bench/damaged_hive_compare.sh [QUILLON_CLI] [FIXTURES_DIR]
set -u
cli=${1:-build/native/src/quillon-cli}
fixtures=${2:-../shared/fixtures/real}
command -v hivexregedit >/dev/null || { echo "hivexregedit is needed (Debian: libwin-hivex-perl)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
count() { grep -ac "$1" "$2" 2>/dev/null || echo 0; }
echo "| hive | damaged block | quillon keys | quillon values | hivexregedit keys | hivexregedit values |"
echo "|---|---|---|---|---|---|"
for hive in "$fixtures"/*/NTUSER.DAT; do
    [[ -f $hive ]] || { echo "no real hives in $fixtures"; exit 0; }
    blocks=($(python3 -c "
b = open('$hive', 'rb').read()
o = [i for i in range(0x1000, len(b), 0x1000) if b[i:i + 4] == b'hbin']
print(len(o), o[1], o[len(o) // 2], o[-1])"))
    for which in none second middle last; do
        cp "$hive" "$work/d.dat"
        case $which in second) at=${blocks[1]} ;; middle) at=${blocks[2]} ;; last) at=${blocks[3]} ;; *) at= ;; esac
        [[ -n $at ]] && printf 'xbin' | dd of="$work/d.dat" bs=1 seek="$at" conv=notrunc status=none
        rm -f "$work/q.reg"
        "$cli" --hive "HKEY_CURRENT_USER=$work/d.dat" export HKEY_CURRENT_USER "$work/q.reg" 2>/dev/null
        hivexregedit --unsafe --export "$work/d.dat" '\' >"$work/h.reg" 2>/dev/null
        echo "| $(basename "$(dirname "$hive")") | $which${at:+ (offset $at of ${blocks[0]} blocks)} |" \
             "$(count '^\[' "$work/q.reg") | $(count '^["@]' "$work/q.reg") |" \
             "$(count '^\[' "$work/h.reg") | $(count '^["@]' "$work/h.reg") |"
    done
done
