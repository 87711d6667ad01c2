#!/usr/bin/env bash
# Regenerates the spreadsheet fixtures of tests/ovntool/spreadsheet/ with LibreOffice
# Calc run headless (installed when missing). CI uses the checked-in files and needs no Calc.
# Environment: BUILD_DIR (default build), where ovntool is built.
#
#   calc-resaved.xlsx       the workbook `ovntool export --format xlsx` writes for source.ovn,
#                           opened and saved again by Calc
#   calc-written-back.csv   the CSV export of source.ovn, loaded by Calc (its defaults) and
#                           saved again as CSV
#   calc-hand-typed.xlsx    hand-typed.csv (times typed as 1:30, numbers, a name that looks
#                           like a number) loaded with Calc's type detection, saved as a workbook
#
# source.ovn is made from source.csv; the expected menus (*-expected.csv) are written by hand.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v soffice >/dev/null; then
    echo "installing: libreoffice-calc-nogui"
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update </dev/null
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends libreoffice-calc-nogui </dev/null
fi
build_dir=${BUILD_DIR:-build}
cmake --build "$build_dir" --target ovntool
ovntool=$build_dir/tools/ovntool/ovntool
fixtures=tests/ovntool/spreadsheet

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of its own, so that a running Calc or the user's settings play no part.
calc() { soffice -env:UserInstallation="file://$work/profile" --headless "$@" >/dev/null; }

"$ovntool" import "$fixtures/source.csv" --oven gas -o "$fixtures/source.ovn"

"$ovntool" export "$fixtures/source.ovn" --format xlsx -o "$work/exported.xlsx"
calc --convert-to xlsx --outdir "$work/resaved" "$work/exported.xlsx"
cp "$work/resaved/exported.xlsx" "$fixtures/calc-resaved.xlsx"

"$ovntool" export "$fixtures/source.ovn" -o "$work/exported.csv"
calc --convert-to xlsx --outdir "$work" "$work/exported.csv"
calc --convert-to csv --outdir "$work/back" "$work/exported.xlsx"
cp "$work/back/exported.csv" "$fixtures/calc-written-back.csv"

# CSV filter options: comma, double quote, UTF-8, from line 1, default column types,
# English (USA), quoted fields not forced to text, special numbers (times, dates) detected.
calc --infilter="CSV:44,34,76,1,,1033,false,true" --convert-to xlsx --outdir "$work/typed" \
    "$fixtures/hand-typed.csv"
cp "$work/typed/hand-typed.xlsx" "$fixtures/calc-hand-typed.xlsx"
soffice --version
