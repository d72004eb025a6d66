#!/usr/bin/env python3
"""Writes sample Excel workbooks (.xlsx) for trying out and timing the converter.

Each workbook holds SHEETS sheets of ROWS rows: a header line, then rows of
text, whole numbers, amounts and a formula. Only the standard library is used.

    tools/make_sample_workbooks.py FOLDER [--count 20] [--sheets 3] [--rows 120]
"""

import argparse
import os
import random
import zipfile
from xml.sax.saxutils import escape

COLUMNS = ["Region", "Product", "Units", "Price", "Revenue", "Cost", "Margin", "Quarter", "Manager", "Note"]
REGIONS = ["North", "South", "East", "West", "Centre"]
PRODUCTS = ["Widget", "Gadget", "Bracket", "Sprocket", "Flange", "Gasket", "Hinge"]
MANAGERS = ["Ada", "Brook", "Chen", "Dara", "Emil", "Farah", "Goran"]

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
{sheets}
</Types>"""
SHEET_TYPE = ('<Override PartName="/xl/worksheets/sheet{n}.xml" '
              'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>')
ROOT_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""
WORKBOOK = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets>{sheets}</sheets>
</workbook>"""
WORKBOOK_SHEET = '<sheet name="{name}" sheetId="{n}" r:id="rId{n}"/>'
WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
{rels}
</Relationships>"""
WORKBOOK_REL = ('<Relationship Id="rId{n}" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                'relationships/worksheet" Target="worksheets/sheet{n}.xml"/>')
SHEET = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<sheetData>{rows}</sheetData>
</worksheet>"""


def column_letter(index):
    return chr(ord("A") + index)


def text_cell(ref, text):
    return f'<c r="{ref}" t="inlineStr"><is><t>{escape(text)}</t></is></c>'


def number_cell(ref, value):
    return f'<c r="{ref}"><v>{value}</v></c>'


def formula_cell(ref, formula):
    return f'<c r="{ref}"><f>{escape(formula)}</f></c>'


def sheet_xml(rng, sheet_title, rows):
    lines = []
    header = "".join(text_cell(f"{column_letter(c)}1", name) for c, name in enumerate(COLUMNS))
    lines.append(f'<row r="1">{header}</row>')
    for r in range(2, rows + 1):
        units = rng.randint(1, 900)
        price = round(rng.uniform(1, 250), 2)
        cost = round(units * price * rng.uniform(0.4, 0.9), 2)
        cells = [
            text_cell(f"A{r}", rng.choice(REGIONS)),
            text_cell(f"B{r}", rng.choice(PRODUCTS)),
            number_cell(f"C{r}", units),
            number_cell(f"D{r}", price),
            formula_cell(f"E{r}", f"C{r}*D{r}"),
            number_cell(f"F{r}", cost),
            formula_cell(f"G{r}", f"E{r}-F{r}"),
            text_cell(f"H{r}", f"Q{rng.randint(1, 4)}"),
            text_cell(f"I{r}", rng.choice(MANAGERS)),
            text_cell(f"J{r}", f"{sheet_title} line {r - 1}"),
        ]
        lines.append(f'<row r="{r}">{"".join(cells)}</row>')
    return SHEET.format(rows="".join(lines))


def write_workbook(path, seed, sheets, rows):
    rng = random.Random(seed)
    names = [f"Sheet {n}" for n in range(1, sheets + 1)]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml",
                   CONTENT_TYPES.format(sheets="".join(SHEET_TYPE.format(n=n) for n in range(1, sheets + 1))))
        z.writestr("_rels/.rels", ROOT_RELS)
        z.writestr("xl/workbook.xml", WORKBOOK.format(
            sheets="".join(WORKBOOK_SHEET.format(name=escape(name), n=n) for n, name in enumerate(names, 1))))
        z.writestr("xl/_rels/workbook.xml.rels", WORKBOOK_RELS.format(
            rels="".join(WORKBOOK_REL.format(n=n) for n in range(1, sheets + 1))))
        for n, name in enumerate(names, 1):
            z.writestr(f"xl/worksheets/sheet{n}.xml", sheet_xml(rng, name, rows))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--count", type=int, default=20)
    parser.add_argument("--sheets", type=int, default=3)
    parser.add_argument("--rows", type=int, default=120)
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    for i in range(1, args.count + 1):
        path = os.path.join(args.folder, f"Sample{i:02d}.xlsx")
        write_workbook(path, seed=i, sheets=args.sheets, rows=args.rows)
        print(path)


if __name__ == "__main__":
    main()
