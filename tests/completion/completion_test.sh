#!/usr/bin/env bash
# ovntool's bash completion, driven as bash drives it, over a directory of
# menus, spreadsheets and other files. Usage: completion_test.sh COMPLETION-FILE
set -uo pipefail
# shellcheck source=/dev/null
source "$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
touch a.ovn B.OVN c.Ovn d.csv E.XLSX f.txt g.json h.pdf
mkdir sub
failures=0

# expect "WORDS..." "REPLIES..." : the last word is the one being completed; replies in any order.
expect() {
    local -a COMP_WORDS
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=("")
    local COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$1 COMPREPLY=()
    _ovntool
    local got want wanted
    read -ra wanted <<<"$2"
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    want=$(printf '%s\n' "${wanted[@]}" | sort | xargs)
    if [[ $got != "$want" ]]; then
        printf 'FAIL [%s]: got "%s", want "%s"\n' "$1" "$got" "$want"
        failures=$((failures + 1))
    else
        printf 'ok   [%s]\n' "$1"
    fi
}

menus="a.ovn B.OVN c.Ovn sub"
expect "ovntool " "check show export import diff new card --help --version"
expect "ovntool e" "export"
expect "ovntool check " "$menus"
expect "ovntool check a.ovn " "$menus"
expect "ovntool check -" "--help --"
expect "ovntool check -- -" ""
expect "ovntool show " "$menus"
expect "ovntool diff a.ovn " "$menus"
expect "ovntool export a.ovn -" "--format -o --help --"
expect "ovntool export a.ovn --format " "csv json xlsx"
expect "ovntool export a.ovn -o " "d.csv E.XLSX g.json sub"
expect "ovntool import " "d.csv E.XLSX f.txt sub"
expect "ovntool import d.csv -" "--oven --sheet -o --help --"
expect "ovntool import E.XLSX --sheet " ""
expect "ovntool import d.csv --oven " "gas electric"
expect "ovntool import d.csv --oven gas -o " "$menus"
expect "ovntool new -" "--oven -o --help --"
expect "ovntool new --oven e" "electric"
expect "ovntool card " "$menus"
expect "ovntool card a.ovn -" "-o --paper --help --"
expect "ovntool card a.ovn --paper " "a4 letter"
expect "ovntool card a.ovn -o " "h.pdf sub"
exit $((failures > 0))
