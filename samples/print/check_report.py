#!/usr/bin/env python3
"""Checks the printed report's pages (PPM images from ghostscript) against
the layout the sample prints, in centimetres from the sheet's corner.

usage: check_report.py DPI page-1.ppm page-2.ppm ...
"""
import sys

# The sample's layout (samples/print/main.cpp).
HEADER_TOP, HEADER_BOTTOM, LEFT, RIGHT = 1.5, 3.0, 1.5, 19.5
LOGO_TOP, LOGO_LEFT, LOGO_HEIGHT, LOGO_WIDTH = 1.7, 16.5, 1.0, 2.0
RULE_TOP = 3.9
FIRST_ROW, ROW_HEIGHT, ROWS_PER_PAGE = 4.2, 0.45, 50
COL_LEFT = 2.0
FOOTER_TOP = 27.3
TOLERANCE = 4  # pixels


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6", f"{path}: not a binary PPM"
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos + 1:]


class Page:
    def __init__(self, path, dpi):
        self.path, self.dpi = path, dpi
        self.w, self.h, self.px = read_ppm(path)

    def cm(self, value):
        return value / 2.54 * self.dpi

    def rgb(self, x, y):
        i = (y * self.w + x) * 3
        return self.px[i], self.px[i + 1], self.px[i + 2]

    def dark(self, x, y):
        return sum(self.rgb(x, y)) < 3 * 128

    def bbox(self, x0, y0, x1, y1, test):
        """Bounding box (left, top, right, bottom) of the pixels passing test."""
        xs, ys = [], []
        for y in range(max(0, int(y0)), min(self.h, int(y1))):
            for x in range(max(0, int(x0)), min(self.w, int(x1))):
                if test(x, y):
                    xs.append(x)
                    ys.append(y)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None


failures = []


def near(what, got, want):
    ok = abs(got - want) <= TOLERANCE
    print(f"  {what}: {got} (expected {want:.1f}){'' if ok else '  <-- FAIL'}")
    if not ok:
        failures.append(what)


def check(page, number):
    print(f"page {number}: {page.w}x{page.h} at {page.dpi} dpi")
    cm = page.cm
    # The header box, drawn with a wide pen centred on its edges.
    mid_y = int(cm((HEADER_TOP + HEADER_BOTTOM) / 2))
    left = next(x for x in range(page.w) if page.dark(x, mid_y))
    near("header box left edge", left + 1, cm(LEFT))
    x_mid = int(cm(10))
    top = next(y for y in range(page.h) if page.dark(x_mid, y))
    near("header box top edge", top + 1, cm(HEADER_TOP))
    # The rule under the column headings: a row dark across the page.
    span = range(int(cm(LEFT)) + 5, int(cm(RIGHT)) - 5)
    rule = [y for y in range(int(cm(RULE_TOP - 0.3)), int(cm(RULE_TOP + 0.3)))
            if sum(page.dark(x, y) for x in span) > 0.95 * len(span)]
    if not rule:
        failures.append("rule")
        print("  rule: not found  <-- FAIL")
    else:
        near("rule", (rule[0] + rule[-1]) / 2, cm(RULE_TOP))
    # The logo: its deep blue.
    logo = page.bbox(cm(LOGO_LEFT - 1), cm(LOGO_TOP - 0.5), cm(LOGO_LEFT + LOGO_WIDTH + 1),
                     cm(LOGO_TOP + LOGO_HEIGHT + 0.5),
                     lambda x, y: page.rgb(x, y)[2] > 120 and page.rgb(x, y)[0] < 60)
    if not logo:
        failures.append("logo")
        print("  logo: not found  <-- FAIL")
    else:
        near("logo left", logo[0], cm(LOGO_LEFT))
        near("logo top", logo[1], cm(LOGO_TOP))
        near("logo right", logo[2] + 1, cm(LOGO_LEFT + LOGO_WIDTH))
        near("logo bottom", logo[3] + 1, cm(LOGO_TOP + LOGO_HEIGHT))
    # The first row's first cell: its ink starts at the cell's corner (the
    # capitals' top lies a little below the cell's top).
    row = page.bbox(cm(COL_LEFT - 0.5), cm(FIRST_ROW - 0.1), cm(COL_LEFT + 2.4), cm(FIRST_ROW + ROW_HEIGHT - 0.05),
                    page.dark)
    if not row:
        failures.append("first row")
        print("  first row: not found  <-- FAIL")
    else:
        near("first row left", row[0], cm(COL_LEFT))
        near("first row top", row[1], cm(FIRST_ROW) + 4)
    # Fifty rows: ink in the last row's band, none between it and the footer.
    last = FIRST_ROW + (ROWS_PER_PAGE - 1) * ROW_HEIGHT
    if not page.bbox(cm(COL_LEFT), cm(last), cm(RIGHT), cm(last + ROW_HEIGHT), page.dark):
        failures.append("row 50")
        print("  row 50: missing  <-- FAIL")
    if page.bbox(cm(LEFT), cm(last + ROW_HEIGHT), cm(RIGHT), cm(FOOTER_TOP - 0.05), page.dark):
        failures.append("rows past 50")
        print("  ink between row 50 and the footer  <-- FAIL")
    # The footer: the date at the left margin, the page number right-aligned.
    foot = page.bbox(0, cm(FOOTER_TOP - 0.1), page.w, cm(FOOTER_TOP + 0.6), page.dark)
    if not foot:
        failures.append("footer")
        print("  footer: not found  <-- FAIL")
    else:
        near("footer left", foot[0], cm(LEFT))
        near("page number right", foot[2] + 1, cm(RIGHT))


def main():
    dpi = int(sys.argv[1])
    pages = sys.argv[2:]
    for n, path in enumerate(pages, 1):
        check(Page(path, dpi), n)
    if failures:
        print("FAILED: " + ", ".join(failures))
        sys.exit(1)
    print(f"{len(pages)} pages as laid out")


main()
