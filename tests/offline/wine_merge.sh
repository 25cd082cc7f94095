# Sourced by the offline tests; $QUILLON_WINE is the Wine loader. merged_gives_back NATIVE_CLI BACKUP WORK: merges BACKUP into
# the Wine prefix $WINEPREFIX with Wine's regedit, reads each of its key sections back with
# NATIVE_CLI, and succeeds when every key and value of BACKUP is there, same type, same bytes.
merged_gives_back() {
    local cli=$1 backup=$2 work=$3 key first=1 mode
    "$QUILLON_WINE" regedit /s "$("$QUILLON_WINE" winepath -w "$backup" 2>/dev/null)" 2>/dev/null || return 1
    wineserver -w
    : >"$work/readback.reg"
    while IFS= read -r key; do
        if [[ $first == 1 ]]; then mode=(); first=0; else mode=(--append); fi
        "$cli" --wine-prefix "$WINEPREFIX" export "$key" "$work/readback.reg" "${mode[@]}" || return 1
    done < <(awk 'prev == " \r" && /^\[/ { sub(/^\[/, ""); sub(/\]\r$/, ""); print } { prev = $0 }' "$backup")
    python3 "$(dirname "${BASH_SOURCE[0]}")/reg_compare.py" "$backup" "$work/readback.reg" >"$work/compare" ||
        { head "$work/compare"; return 1; }
}
