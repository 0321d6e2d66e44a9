"""Reads a settings workbook with xlrd, a reader independent of this
program, and checks what the export promises: values and their cell types,
fonts, the merged M1:N1, text format on the hexadecimal columns, fill and
border colours, alignment and column widths.

usage: check_workbook.py <file.xls> <expected.json>
expected.json holds "copy", "url", "title" and "rows": eight lists A..N,
numbers as numbers and texts as strings.
"""
import io
import json
import re
import sys

import xlrd

NOTES = {
    (2, 9): "※空白は自由に編集しても問題ありません｡",
    (3, 9): "※セルの行列の位置は変更しないでください｡",
    (4, 9): "※エクスポートで上書きすると、編集した部分はすべて消えてしまいます。",
    (14, 0): "CAN ID、D1～D8は、１６進数の半角で入力します。",
}
HEADERS = ["No.", "EX", "CAN ID", "DLC", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8",
           "送信 [ms]", "送信ON"]
# 1/256 of a 7-pixel digit, 5 pixels of padding included.
WIDTHS = [1206, 1206, 3254, 1462] + [1206] * 8 + [2998, 1718]
CHARACTERS = [4, 4, 12, 5] + [4] * 8 + [11, 6.13]
TEXT_COLUMNS = [2] + list(range(4, 12))
LIGHT_YELLOW, GREY = 43, 63


def main():
    path, expected_path = sys.argv[1:3]
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    log = io.StringIO()
    book = xlrd.open_workbook(path, formatting_info=True, logfile=log)
    sheet = book.sheet_by_index(0)
    problems = []

    def check(ok, what):
        if not ok:
            problems.append(what)

    def xf(r, c):
        return book.xf_list[sheet.cell_xf_index(r, c)]

    def font_size(r, c):
        return book.font_list[xf(r, c).font_index].height / 20

    def text(r, c, value):
        cell = sheet.cell(r, c)
        check(cell.ctype == xlrd.XL_CELL_TEXT and cell.value == value,
              f"cell {r},{c}: {cell!r}, expected text {value!r}")

    check("WARNING" not in log.getvalue() and "***" not in log.getvalue(),
          "xlrd complained: " + log.getvalue())
    check(book.nsheets == 1 and sheet.name == "Sheet1", "one sheet named Sheet1")

    text(0, 0, expected["title"])
    text(1, 0, expected["copy"])
    text(2, 0, expected["url"])
    text(0, 5, "設定ファイル")
    m1 = sheet.cell(0, 12)
    check(m1.ctype == xlrd.XL_CELL_TEXT and
          re.fullmatch(r"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d", m1.value), f"M1 date text: {m1!r}")
    check(sheet.cell(0, 13).ctype == xlrd.XL_CELL_BLANK, "N1 is a blank cell of the merge")
    check(sheet.merged_cells == [(0, 1, 12, 14)], f"merges: {sheet.merged_cells}")
    for c in (12, 13):
        check(xf(0, c).alignment.hor_align == 3, f"M1:N1 right-aligned, column {c}")
    for (r, c), value in NOTES.items():
        text(r, c, value)
        check(font_size(r, c) == 8, f"note {r},{c} font size {font_size(r, c)}")
    for r, c, size in ((0, 0, 10), (0, 5, 10), (0, 12, 10), (1, 0, 8), (2, 0, 8)):
        check(font_size(r, c) == size, f"cell {r},{c} font size {font_size(r, c)}, not {size}")

    for c, header in enumerate(HEADERS):
        text(5, c, header)
        check(font_size(5, c) == 9, f"header {c} font size")
        check(xf(5, c).alignment.hor_align == 2, f"header {c} centred")
        check(xf(5, c).background.fill_pattern == 1 and
              xf(5, c).background.pattern_colour_index == LIGHT_YELLOW, f"header {c} fill")
    check(book.colour_map[LIGHT_YELLOW] == (0xFF, 0xFF, 0x99), "palette 43 is FFFF99")
    check(book.colour_map[GREY] == (0x33, 0x33, 0x33), "palette 63 is 333333")

    for n, row in enumerate(expected["rows"]):
        r = 6 + n
        check(sheet.rowinfo_map[r].height >= 14 * 20, f"row {r} tall enough for 14 points")
        for c, value in enumerate(row):
            cell = sheet.cell(r, c)
            wanted = xlrd.XL_CELL_TEXT if isinstance(value, str) else xlrd.XL_CELL_NUMBER
            check(cell.ctype == wanted and cell.value == value,
                  f"cell {r},{c}: {cell!r}, expected {value!r}")
            fmt = book.format_map[xf(r, c).format_key].format_str
            check((fmt == "@") == (c in TEXT_COLUMNS), f"cell {r},{c} number format {fmt!r}")
            check(font_size(r, c) == 14, f"cell {r},{c} font size")
            check(xf(r, c).alignment.hor_align == 3, f"cell {r},{c} right-aligned")
            check(xf(r, c).background.fill_pattern == 0, f"cell {r},{c} unfilled")

    for r in range(5, 14):
        for c in range(14):
            b = xf(r, c).border
            sides = [(b.left_line_style, b.left_colour_index), (b.right_line_style, b.right_colour_index),
                     (b.top_line_style, b.top_colour_index), (b.bottom_line_style, b.bottom_colour_index)]
            check(all(side == (1, GREY) for side in sides), f"cell {r},{c} borders {sides}")
    check(xf(0, 0).border.left_line_style == 0, "A1 without borders")

    for c, (width, characters) in enumerate(zip(WIDTHS, CHARACTERS)):
        got = sheet.colinfo_map[c].width
        check(got == width, f"column {c} width {got}, expected {width}")
        # Back to characters: within one pixel of the width asked for.
        check(abs((got / 256 * 7 - 5) / 7 - characters) < 1 / 7, f"column {c} characters")

    if problems:
        print("\n".join(problems))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
