# Sourced by the command-line tests: expect DESCRIPTION COMMAND... counts a check and reports
# it when COMMAND fails; finish prints the closing line and gives the status.
failures=0 checks=0
expect() {
    checks=$((checks + 1))
    local what=$1
    shift
    "$@" || { echo "FAIL: $what"; failures=$((failures + 1)); }
}
finish() {
    echo "$((checks - failures)) passed, $failures failed"
    [[ $failures == 0 ]]
}
