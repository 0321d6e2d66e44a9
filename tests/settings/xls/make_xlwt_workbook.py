"""Writes a settings workbook as another program would, with xlwt: whole
numbers as RK values, Latin texts in 8-bit form, numbers typed into the
hexadecimal columns, rows 11 to 14 missing. usage: make_xlwt_workbook.py <file.xls>
"""
import sys

import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("設定")
sheet.write(0, 0, "telpod ver1.11 edited elsewhere")
sheet.write(0, 5, "設定ファイル")
rows = [
    [1, 1, 10, 8, 0, 1, 2, 3, 4, 5, 6, 7, 12.5, 1],
    [2, "0", "1fffffff", "3", "ff", "Fe", "a", "0", "00", "10", "99", "7f", "250", "0"],
    [],
    [4, 0, "0x10", 9, "100", -1, 1.5, "F F", "", "", "", "", 0, 2],
]
for n, values in enumerate(rows):
    for c, value in enumerate(values):
        if value != "":
            sheet.write(6 + n, c, value)
book.save(sys.argv[1])
