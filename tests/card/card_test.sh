#!/usr/bin/env bash
# ovntool card, read back as a person's PDF tools read it: one page of the
# paper asked for, fonts embedded, title and creator, and every named slot's
# item, name and values on one line of `pdftotext -layout`.
# Usage: card_test.sh OVNTOOL VERSION
set -uo pipefail
ovntool=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# ovntool itself never loads Qt: only its helper does.
ldd "$ovntool" | grep -q libQt && fail "ovntool links Qt"

# A full gas menu: names with the characters a PDF or a shell might take for
# its own, every other value varied by slot.
names=([0]='"HOT" &' [1]='100% RYE' [2]='[BREAD]' [3]='A\B' [4]='WWWWWWWW')
fans=(HIGH LOW OFF)
csv="slot,name,cook_temp,cook_time,fan_speed,power_level,roast_n_hold,hold_temp"
expected=()
for slot in $(seq 0 99); do
    name=${names[$slot]:-DISH$slot}
    temp=$((200 + 3 * slot))
    time=$(printf '%02d:%02d' $((slot % 18)) $((slot % 60)))
    fan=${fans[$((slot % 3))]}
    power=$((slot % 11 * 10))
    roast=$((slot % 3 == 0 ? 1 : 0))
    hold=$((100 + slot))
    csv+=$'\n'"$slot,\"${name//\"/\"\"}\",$temp,${time/:/},$fan,$power,$roast,$hold"
    line="$((slot % 10)) $name $temp $power $time $fan"
    ((roast)) && line+=" $hold"
    expected+=("$line")
done
printf '%s\n' "$csv" >full.csv
"$ovntool" import full.csv --oven gas -o full.ovn || { echo "FAIL cannot build the menu"; exit 1; }

# pdftotext with runs of spaces as one, so that a slot reads "3 A\B 209 30 03:03 HIGH".
text_of() { pdftotext -layout "$1" - | tr -s ' '; }

"$ovntool" card full.ovn -o full.pdf --paper a4 2>errors || fail "card of a full menu: status $?"
[[ -s errors ]] && fail "card of a full menu: $(cat errors)"
info=$(pdfinfo full.pdf)
for want in "Title: *full.ovn" "Creator: *ovntool $version" "Pages: *1" "Page size: *595 x 842 pts (A4)" \
    "PDF version: *1.[4-7]"; do
    grep -qx "$want" <<<"$info" || fail "pdfinfo has no line '$want'"
done
pdffonts full.pdf | tail -n +3 | awk '$(NF-4) != "yes" { exit 1 }' || fail "a font is not embedded: $(pdffonts full.pdf)"
text=$(text_of full.pdf)
grep -qF "Oven: Gas" <<<"$text" || fail "no oven type"
for line in "${expected[@]}"; do
    grep -qF -- "$line" <<<"$text" || fail "no line with '$line'"
done
grep -q damaged <<<"$text" && fail "an intact menu is called damaged"

# Half a menu on Letter: a free place shows its item number alone, and
# standard output takes the PDF when it is no terminal.
"$ovntool" new --oven electric -o half.ovn
"$ovntool" card half.ovn --paper letter -o - >half.pdf || fail "card to standard output: status $?"
pdfinfo half.pdf | grep -qx "Page size: *612 x 792 pts (letter)" || fail "Letter paper not taken"
grep -qF "Oven: Electric" <<<"$(text_of half.pdf)" || fail "no electric oven"

# The paper of the locale: C says A4; en_US says Letter (compiled here when
# the locale sources are installed, so that no system locale is needed).
LC_ALL=C "$ovntool" card half.ovn -o c.pdf
pdfinfo c.pdf | grep -q "(A4)" || fail "the C locale does not give A4"
mkdir locales
if localedef -i en_US -f UTF-8 locales/en_US.UTF-8 >/dev/null 2>&1; then
    LOCPATH=$work/locales LC_ALL= LC_PAPER=en_US.UTF-8 "$ovntool" card half.ovn -o us.pdf
    pdfinfo us.pdf | grep -q "(letter)" || fail "LC_PAPER=en_US.UTF-8 does not give Letter"
fi

# A damaged menu is printed with a line that says so, the warning on standard error, exit 0.
cp full.ovn damaged.ovn
printf '\xff' | dd of=damaged.ovn bs=1 seek=$((8 + 24 * 50 + 18)) conv=notrunc status=none
"$ovntool" card damaged.ovn -o damaged.pdf 2>errors || fail "damaged menu: status $?"
grep -q "fails its checks" errors || fail "damaged menu: no warning on standard error"
grep -q "damaged" <<<"$(text_of damaged.pdf)" || fail "damaged menu: the card does not say so"

# "-" is standard input, as for the other commands.
"$ovntool" card - -o stdin.pdf <full.ovn || fail "card of standard input: status $?"
pdfinfo stdin.pdf | grep -qx "Title: *standard input" || fail "standard input is not the title"

# Refusals: exit 2, a message, and nothing written. A file card cannot read or
# of the wrong size is refused as by show, export and diff (the ovntool tests).
cp full.ovn kept.ovn
while IFS='|' read -r label args; do
    read -r -a argv <<<"$args"
    "$ovntool" card "${argv[@]}" 2>errors
    status=$?
    [[ $status == 2 && -s errors && ! -e out.pdf ]] || fail "$label: status $status, $(cat errors)"
done <<'CASES'
noOutput|full.ovn
unknownPaper|full.ovn -o out.pdf --paper a3
twoFiles|full.ovn half.ovn -o out.pdf
outputIsInput|full.ovn -o full.ovn
CASES
cmp -s full.ovn kept.ovn || fail "outputIsInput: the menu file was changed"

((failures == 0)) && echo "card: all cases pass"
exit $((failures > 0))
