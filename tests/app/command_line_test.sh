#!/usr/bin/env bash
# The ovenmenu executable's command line: help, version and usage errors answer
# on their own. The window system named does not exist, so a case passes only
# when the program ends before it would open a window.
# Usage: command_line_test.sh OVENMENU VERSION
set -uo pipefail
ovenmenu=$1 version=$2
export QT_QPA_PLATFORM=no-such-platform
failures=0
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

# expect NAME STATUS STDOUT-PATTERN STDERR-PATTERN -- ARGS... (patterns are bash globs)
expect() {
    local name=$1 status=$2 out_pattern=$3 err_pattern=$4
    shift 5
    local out err got
    out=$("$ovenmenu" "$@" 2>"$errors")
    got=$?
    err=$(<"$errors")
    # shellcheck disable=SC2053  # the patterns are globs on purpose
    if [[ $got != "$status" || $out != $out_pattern || $err != $err_pattern ]]; then
        printf 'FAIL %s: status %s\n--- stdout\n%s\n--- stderr\n%s\n' "$name" "$got" "$out" "$err"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

try="Try 'ovenmenu --help'."
expect version 0 "ovenmenu $version" "" -- --version
expect help 0 "Usage: ovenmenu [[]--[]] [[]FILE[]]"$'\n'"*--version*Ctrl+P*print the menu card*Ctrl+Z*Ctrl+Y*" "" -- --help
expect helpShort 0 "Usage: ovenmenu *" "" -- -h
expect helpAfterAFile 0 "Usage: ovenmenu *" "" -- menu.ovn --help
expect unknownOption 2 "" "ovenmenu: unknown option '--bogus'"$'\n'"$try" -- --bogus
expect qtOptionsAreNotTaken 2 "" "ovenmenu: unknown option '-platform'"$'\n'"$try" -- -platform offscreen
expect twoFiles 2 "" "ovenmenu: one FILE at a time"$'\n'"$try" -- a.ovn b.ovn
expect emptyName 2 "" "ovenmenu: the FILE name is empty"$'\n'"$try" -- ""
expect helpAfterDashDashIsAFile 2 "" "ovenmenu: one FILE at a time"$'\n'"$try" -- -- --help x.ovn
exit $((failures > 0))
