"""Reads a settings workbook with xlrd, a reader independent of this program,
and checks what the export promises: values and their cell types, font sizes,
alignment, the merged M1:N1, text format on the hexadecimal columns, fill and
border colours and column widths.

usage: check_workbook.py <file.xls> <expected.txt>
expected.txt: A1, A2 and A3 (empty: an empty cell), then a line per table row
with columns B..N separated by blanks.
"""
import io
import re
import sys

import xlrd

NOTES = [(2, 9, "※空白は自由に編集しても問題ありません｡"), (3, 9, "※セルの行列の位置は変更しないでください｡"),
         (4, 9, "※エクスポートで上書きすると、編集した部分はすべて消えてしまいます。"),
         (14, 0, "CAN ID、D1～D8は、１６進数の半角で入力します。")]
HEADERS = ["No.", "EX", "CAN ID", "DLC", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8",
           "送信 [ms]", "送信ON"]
# 4, 4, 12, 5, 4 x 8, 11 and 6.13 characters in 1/256 of a 7-pixel digit,
# 5 pixels of padding included.
WIDTHS = [1206, 1206, 3254, 1462] + [1206] * 8 + [2998, 1718]
TEXT_COLUMNS = [2] + list(range(4, 12))
GENERAL, CENTRE, RIGHT = 0, 2, 3
LIGHT_YELLOW, GREY = 43, 63


def main():
    path, expected_path = sys.argv[1:3]
    with open(expected_path, encoding="utf-8") as f:
        title, copy, url, *rows = f.read().splitlines()
    log = io.StringIO()
    book = xlrd.open_workbook(path, formatting_info=True, logfile=log)
    sheet = book.sheet_by_index(0)
    problems = []

    def check(ok, what):
        if not ok:
            problems.append(what)

    def cell(r, c, value, size, align=GENERAL):
        got, xf = sheet.cell(r, c), book.xf_list[sheet.cell_xf_index(r, c)]
        kind = xlrd.XL_CELL_TEXT if isinstance(value, str) else xlrd.XL_CELL_NUMBER
        check((got.ctype, got.value) == ((kind, value) if value != "" else (xlrd.XL_CELL_BLANK, "")),
              f"cell {r},{c}: {got!r}, expected {value!r}")
        check(book.font_list[xf.font_index].height == size * 20, f"cell {r},{c} font size")
        check(xf.alignment.hor_align == align, f"cell {r},{c} alignment")
        return xf

    check("WARNING" not in log.getvalue() and "***" not in log.getvalue(),
          "xlrd complained: " + log.getvalue())
    check(book.nsheets == 1 and sheet.name == "Sheet1", "one sheet named Sheet1")
    for r, c, value, size in [(0, 0, title, 10), (1, 0, copy, 8), (2, 0, url, 8),
                              (0, 5, "設定ファイル", 10)] + [note + (8,) for note in NOTES]:
        check(cell(r, c, value, size).border.left_line_style == 0, f"cell {r},{c} without borders")
    m1 = str(sheet.cell_value(0, 12))
    check(re.fullmatch(r"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d", m1), f"M1 date text: {m1!r}")
    cell(0, 12, m1, 10, RIGHT)
    cell(0, 13, "", 10, RIGHT)  # the blank cell of the merge
    check(sheet.merged_cells == [(0, 1, 12, 14)], f"merges: {sheet.merged_cells}")
    palette = [book.colour_map[LIGHT_YELLOW], book.colour_map[GREY]]
    check(palette == [(0xFF, 0xFF, 0x99), (0x33, 0x33, 0x33)], f"palette 43 and 63: {palette}")

    check(len(rows) == 8, f"{len(rows)} expected rows")
    for r, line in enumerate([None] + rows, start=5):  # the header line, then the table
        header = line is None
        check(header or sheet.rowinfo_map[r].height >= 14 * 20, f"row {r} tall enough for 14 points")
        for c, value in enumerate(HEADERS if header else [str(r - 5)] + line.split(" ")):
            text = not header and c in TEXT_COLUMNS
            xf = cell(r, c, value if header or text else float(value), 9 if header else 14,
                      CENTRE if header else RIGHT)
            fmt = book.format_map[xf.format_key].format_str
            check((fmt == "@") == text, f"cell {r},{c} number format {fmt!r}")
            fill = (xf.background.fill_pattern, xf.background.pattern_colour_index)
            check(fill == (1, LIGHT_YELLOW) if header else fill[0] == 0, f"cell {r},{c} fill {fill}")
            sides = {(getattr(xf.border, side + "_line_style"), getattr(xf.border, side + "_colour_index"))
                     for side in ("left", "right", "top", "bottom")}
            check(sides == {(1, GREY)}, f"cell {r},{c} borders {sides}")
    widths = [sheet.colinfo_map[c].width for c in range(14)]
    check(widths == WIDTHS, f"column widths {widths}, expected {WIDTHS}")

    print("\n".join(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
