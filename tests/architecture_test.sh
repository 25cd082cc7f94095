#!/usr/bin/env bash
# The layers include downwards only: the model (src/app) and the commands below it know
# neither Qt nor any particular registry store; the registry layer knows nothing above it.
set -u
src=$1
failures=0
forbid() { # pattern, folders...
    local pattern=$1
    shift
    local hits
    hits=$(grep -rnE "$pattern" "$@" 2>/dev/null)
    if [[ -n $hits ]]; then
        echo "FAIL: forbidden include:"
        echo "$hits"
        failures=$((failures + 1))
    fi
}
model=()
for d in app backup adapt; do [[ -d $src/$d ]] && model+=("$src/$d"); done
forbid '#include <Q' "${model[@]}" "$src/registry"
forbid '#include "registry/(memory_store|windows_store|offline_registry|hive_reader|wine_registry_reader|reg_file_reader|store_options)\.h"' "${model[@]}"
forbid '#include "(app|backup|adapt|gui|cli)/' "$src/registry"
forbid '#include "(gui|cli)/' "${model[@]}"
echo "$((4 - failures)) passed, $failures failed"
[[ $failures == 0 ]]
