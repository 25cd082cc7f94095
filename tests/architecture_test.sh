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
below_faces='app|backup|adapt|disks|export|files|formats|mail|offline|options|registry|sources|stores|text'
for folder in ${below_faces//|/ }; do
    forbid "$folder" 'Q[A-Za-z]|(gui|cli|win32)/'
done
for folder in backup adapt disks export files formats mail offline options registry sources stores text; do
    forbid "$folder" 'app/'
done
forbid registry '(disks|export|files|formats|offline|options|sources|stores|text)/'
forbid text '(disks|export|files|formats|offline|options|registry|sources|stores)/'
forbid files '(disks|export|formats|mail|offline|options|registry|sources|stores)/'
# The disks sit on the files alone: what they hold is for the sources to make sense of.
forbid disks '(adapt|backup|export|formats|mail|offline|options|registry|sources|stores)/'
forbid export '(disks|formats|offline|options|sources|stores)/'
forbid stores '(disks|export|formats|offline|options|sources)/'
forbid offline 'options/'
forbid formats '(disks|export|offline|options|sources)/'
forbid sources '(export|formats|mail|offline|options)/'
forbid backup '(disks|formats|offline|options|sources|stores)/'
forbid adapt '(backup|disks|offline|options|stores)/'
forbid mail '(adapt|backup|export|offline|options|registry|stores)/'
forbid app '(disks|formats|offline|options|stores)/'
# The faces use the model, the chooser's logic, the store options and the text conversions.
for face in gui cli win32; do
    forbid "$face" '(backup|disks|export|files|formats|mail|offline|registry|sources|stores)/|adapt/(backup_adaptation|held_lines)'
done
echo "$((checks - failures)) passed, $failures failed"
[[ $failures == 0 ]]
