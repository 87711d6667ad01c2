#!/usr/bin/env bash
# Regenerates the workbooks and text files of tests/ovntool/import/ with the real
# programs that write them: openpyxl and the xlsxwriter module (Debian's python3),
# Gnumeric's ssconvert and LibreOffice Calc run headless (each installed when
# missing). CI uses the checked-in files and needs none of these programs.
#
#   openpyxl-hidden-copy-first.xlsx   a hidden copy "Menu (2)" (slot 1 OLD) before "Menu" (slot 1 NEW)
#   openpyxl-notes-and-kitchen.xlsx   visible "Notes" and "Kitchen" (slot 1 NEW), a hidden "Old"
#   openpyxl-formula.xlsx             a name as a formula, saved without a calculated result
#   xlsxwriter-formula.xlsx           the same formula with the result 0 and fullCalcOnLoad
#   calc-formula-recalculated.xlsx    openpyxl-formula.xlsx opened and saved by Calc
#   xlsxwriter-times-1900.xlsx        cook times as numbers in time and General cells
#   xlsxwriter-times-1904.xlsx        the same in the 1904 date system
#   ssconvert-times.xlsx              times.csv (24:00, 1:30, 18:00 typed) as Gnumeric reads it
#   openpyxl-wide-header.xlsx         the menu's header with one more cell at XFD1
#   calc-semicolon.csv                ../spreadsheet/calc-resaved.xlsx as Calc writes CSV with ";"
#   calc-unicode-text.txt             the same as Calc's "Unicode text" (UTF-16 LE, tabs)
#   calc-empty-row.csv                a sheet with an empty row in the middle, as Calc writes CSV
#
# The expected menus (times-expected.csv) and times.csv are written by hand.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh python3-openpyxl python3-xlsxwriter gnumeric libreoffice-calc-nogui
fixtures=tests/ovntool/import
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A profile of its own, so that a running Calc or the user's settings play no part.
calc() { soffice -env:UserInstallation="file://$work/profile" --headless "$@" >/dev/null; }

/usr/bin/python3 - "$fixtures" "$work" <<'EOF'
import sys
import openpyxl
import xlsxwriter

out = sys.argv[1]
header = ["slot", "name", "cook_temp", "cook_time", "fan_speed", "power_level", "roast_n_hold", "hold_temp"]


def menu_sheet(sheet, name):
    sheet.append(header)
    sheet.append([1, name, "350", "0130", "LOW", "80", "0", "160"])


book = openpyxl.Workbook()
menu_sheet(book.active, "NEW")
book.active.title = "Menu"
backup = book.copy_worksheet(book.active)  # as "Move or Copy... / Create a copy" makes it
backup.title = "Menu (2)"
backup["B2"] = "OLD"
backup.sheet_state = "hidden"
book.move_sheet(backup, offset=-1)
book.active = 1
book.save(f"{out}/openpyxl-hidden-copy-first.xlsx")

book = openpyxl.Workbook()
book.active.title = "Notes"
book.active.append(["Edited by Sam, Monday"])
menu_sheet(book.create_sheet("Kitchen"), "NEW")
old = book.create_sheet("Old")
menu_sheet(old, "OLD")
old.sheet_state = "hidden"
book.save(f"{out}/openpyxl-notes-and-kitchen.xlsx")

book = openpyxl.Workbook()
book.active.title = "Menu"
menu_sheet(book.active, '=UPPER("roast")')
book.save(f"{out}/openpyxl-formula.xlsx")

book = xlsxwriter.Workbook(f"{out}/xlsxwriter-formula.xlsx")
sheet = book.add_worksheet("Menu")
sheet.write_row(0, 0, header)
sheet.write_row(1, 0, [1, None, "350", "0130", "LOW", "80", "0", "160"])
sheet.write_formula(1, 1, '=UPPER("roast")')
book.close()

for system in ("1900", "1904"):
    book = xlsxwriter.Workbook(f"{out}/xlsxwriter-times-{system}.xlsx", {"date_1904": system == "1904"})
    sheet = book.add_worksheet("Menu")
    formats = {code: book.add_format({"num_format": code}) for code in ("[h]:mm", "h:mm", "h:mm:ss", "mm:ss")}
    sheet.write_row(0, 0, header)
    times = [(0.75, "[h]:mm"), (0.0625, "h:mm"), (5 / 1440, "h:mm:ss"), (130, None), (0.0625, None), (1 / 24, "mm:ss")]
    for slot, (value, code) in enumerate(times):
        sheet.write_row(slot + 1, 0, [slot, f"T{slot}", "350"])
        sheet.write_number(slot + 1, 3, value, formats.get(code))
        sheet.write_row(slot + 1, 4, ["LOW", "80", "0", "160"])
    book.close()

book = openpyxl.Workbook()
book.active.title = "Menu"
menu_sheet(book.active, "WIDE")
book.active["XFD1"] = "notes"
book.save(f"{out}/openpyxl-wide-header.xlsx")

book = openpyxl.Workbook()
book.active.title = "Menu"
menu_sheet(book.active, "FIRST")
book.active.append([])
book.active.append([2, "THIRD", "350", "0130", "LOW", "80", "0", "160"])
book.save(f"{sys.argv[2]}/empty-row.xlsx")
EOF

ssconvert "$fixtures/times.csv" "$fixtures/ssconvert-times.xlsx"

calc --convert-to xlsx --outdir "$work/recalculated" "$fixtures/openpyxl-formula.xlsx"
cp "$work/recalculated/openpyxl-formula.xlsx" "$fixtures/calc-formula-recalculated.xlsx"

# CSV filter options: separator, text delimiter (34, "), character set (76 UTF-8, 65535 UTF-16).
cp tests/ovntool/spreadsheet/calc-resaved.xlsx "$work/menu.xlsx"
calc --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76' --outdir "$work/semicolon" "$work/menu.xlsx"
cp "$work/semicolon/menu.csv" "$fixtures/calc-semicolon.csv"
calc --convert-to 'csv:Text - txt - csv (StarCalc):9,34,65535' --outdir "$work/unicode" "$work/menu.xlsx"
cp "$work/unicode/menu.csv" "$fixtures/calc-unicode-text.txt"
calc --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir "$work/empty" "$work/empty-row.xlsx"
cp "$work/empty/empty-row.csv" "$fixtures/calc-empty-row.csv"

/usr/bin/python3 -c 'import openpyxl, xlsxwriter; print("openpyxl", openpyxl.__version__, "xlsxwriter", xlsxwriter.__version__)'
ssconvert --version | head -n 1
soffice --version
