"""Writes a settings workbook as another program would, with xlwt: whole
numbers as RK values, Latin texts in 8-bit form, numbers typed into the
hexadecimal columns, rows 11 to 14 missing. With "second-active", the
settings sheet is the second one and the workbook opens on it; the first
is a settings sheet too, with other rows.
usage: make_xlwt_workbook.py <file.xls> [second-active]
"""
import sys

import xlwt


def write_settings(sheet, rows):
    sheet.write(0, 0, "telpod ver1.11 edited elsewhere")
    sheet.write(0, 5, "設定ファイル")
    for n, values in enumerate(rows):
        for c, value in enumerate(values):
            if value != "":
                sheet.write(6 + n, c, value)


book = xlwt.Workbook(encoding="utf-8")
if len(sys.argv) > 2 and sys.argv[2] == "second-active":
    older = book.add_sheet("前の設定")
    write_settings(older, [[n, 1, "7DF", 2, "AA", "", "", "", "", "", "", "", 5, 1] for n in range(1, 9)])
    book.active_sheet = 1
sheet = book.add_sheet("設定")
sheet.set_selected(True)
write_settings(sheet, [
    [1, 1, 10, 8, 0, 1, 2, 3, 4, 5, 6, 7, 12.5, 1],
    [2, "0", "1fffffff", "3", "ff", "Fe", "a", "0", "00", "10", "99", "7f", "250", "0"],
    [],
    [4, 0, "0x10", 9, "100", -1, 1.5, "F F", "", "", "", "", 0, 2],
])
book.save(sys.argv[1])
