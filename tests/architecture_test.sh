#!/usr/bin/env bash
# The layers include downwards only, as their libraries link. Each line forbids one arrow: a
# folder must not include from the folders named after it.
set -u
src=$1
failures=0 checks=0
forbid() { # folder, then the pattern of what it must not include
    local folder=$1 pattern=$2 hits
    checks=$((checks + 1))
    # A subfolder is a library of its own, checked by its own lines.
    hits=$(find "$src/$folder" -maxdepth 1 -type f -exec grep -nHE "#include [<\"]($pattern)" {} + 2>/dev/null)
    if [[ -n $hits ]]; then
        echo "FAIL: $folder must not include $pattern:"
        echo "$hits"
        failures=$((failures + 1))
    fi
}
below_faces='app|backup|adapt|export|files|formats|mail|options|registry|sources|stores|text'
for folder in ${below_faces//|/ }; do
    forbid "$folder" 'Q[A-Za-z]|(gui|cli|win32)/'
done
for folder in backup adapt export files formats mail options registry sources stores text; do
    forbid "$folder" 'app/'
done
forbid registry '(export|files|formats|options|sources|stores|text)/'
forbid text '(export|files|formats|options|registry|sources|stores)/'
forbid files '(export|formats|mail|options|registry|sources|stores)/'
forbid export '(formats|options|sources|stores)/'
forbid stores '(export|options)/|formats/|sources/'
forbid stores/offline 'options/'
forbid formats '(export|options|sources)/|stores/offline/'
forbid sources '(export|formats|mail|options)/|stores/offline/'
forbid backup '(options|sources|formats)/|stores/'
forbid adapt '(options|backup)/|stores/'
forbid mail '(adapt|backup|export|formats|options|registry|stores)/'
forbid app 'options/|stores/|formats/'
# The faces use the model, the chooser's logic, the store options and the text conversions.
for face in gui cli win32; do
    forbid "$face" '(backup|export|files|formats|mail|registry|sources|stores)/|adapt/(backup_adaptation|held_lines)'
done
echo "$((checks - failures)) passed, $failures failed"
[[ $failures == 0 ]]
