#!/usr/bin/python3
"""Writes the .xlsx fixtures of the circuit import tests into this folder.

circuits_openpyxl.xlsx  written by openpyxl (Debian's python3-openpyxl, which writes its texts as
                        inline strings): numbers, a title row above the header, the columns in
                        reverse order, the circuit sheet second after a notes sheet, one result
                        column.
circuits_shared.xlsx    laid out as Excel writes it: every text a shared string, numbers without a
                        type, the description of WL2 a rich-text item with a phonetic guide.
circuits_inline.xlsx    written element by element as some writers do: inline strings (one in
                        rich-text runs), a prefixed namespace, cells out of order and cells without
                        references, a formula's cached text, a blank row, an absolute relationship
                        target and a value in a column without a header.
error_cell.xlsx         a #DIV/0! in the R column of row 3 (openpyxl).
damaged_xml.xlsx        the sheet XML cut off in the middle.
corrupt_sheet.xlsx      a byte of the compressed sheet changed, so its checksum fails.
too_many_rows.xlsx      one cell in row 100001.
poles_openpyxl.xlsx     a pole list of the pole-list import (openpyxl): a title row, the headers
                        in another order and lenient forms, the numbers as numbers; a trunk N1-N3
                        and a branch 支线1 of two poles from N2 on its own cable.

Saved by LibreOffice Calc 7.4 (not written by this script; soffice is not needed for the tests):
circuits_libreoffice.xlsx   circuits_openpyxl.xlsx opened and saved as .xlsx:
                              soffice --headless --convert-to "xlsx:Calc MS Excel 2007 XML" \
                                      circuits_openpyxl.xlsx
circuits_libreoffice.csv    its sheet 回路表 saved as CSV (comma, double quotes, UTF-8):
                              soffice --headless --convert-to \
                                "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,2" \
                                circuits_openpyxl.xlsx
schedule_libreoffice.xlsx   the schedule korvane-cli writes for docs/examples/street_lighting.kvp
                            (--project ... --xlsx), opened and saved as .xlsx as above.

Every file but the last holds the three circuits of the tests' severalCircuits(): an end load (WL1), a lamp
feeder in turn (WL2) and several loads (WL3).
    python3 make_fixtures.py
"""

import os
import zipfile
from xml.sax.saxutils import escape

import openpyxl

HERE = os.path.dirname(os.path.abspath(__file__))

HEADERS = [
    "回路编号", "说明", "损失类型", "电缆类型", "截面(mm²)", "R(Ω/km)", "X(Ω/km)", "R0(mΩ/m)",
    "X0(mΩ/m)", "Rphp(mΩ/m)", "Xphp(mΩ/m)", "R′(mΩ/m)", "X′(mΩ/m)", "K", "t(s)",
    "泄漏电流(mA/km)", "Ib(A)", "保护方式", "负荷类型", "线路种类", "负荷情况", "U(kV)", "cosφ",
    "线芯工作温度(℃)", "环境温度(℃)", "负荷(A或kW)", "负荷距离(km)", "多个负荷", "灯杆数",
    "每杆灯数", "灯功率(W)", "灯功率因数", "镇流器系数", "杆距(m)", "首杆距离(m)", "接线方式",
    "起始相",
]

CABLE = {
    "损失类型": "聚氯乙烯绝缘电力电缆(0.6/1kV)", "电缆类型": "VV 四芯 铜芯", "截面(mm²)": "50",
    "R(Ω/km)": 0.387, "X(Ω/km)": 0.08, "R0(mΩ/m)": 0.3, "X0(mΩ/m)": 0.08, "Rphp(mΩ/m)": 0.9,
    "Xphp(mΩ/m)": 0.16, "R′(mΩ/m)": 0.6, "X′(mΩ/m)": 0.15, "K": 115, "t(s)": 0.1,
    "泄漏电流(mA/km)": 79,
}

CIRCUITS = [
    dict(CABLE, **{
        "回路编号": "WL1", "Ib(A)": 60, "保护方式": "接地故障", "负荷类型": "负荷情况",
        "线路种类": "三相平衡负荷线路", "负荷情况": "(1)终段负荷用电流矩(A.km)", "U(kV)": 0.38,
        "cosφ": 0.9, "负荷(A或kW)": 60, "负荷距离(km)": 0.1,
    }),
    dict(CABLE, **{
        "回路编号": "WL2", "说明": "主干道东侧路灯", "保护方式": "接地故障", "负荷类型": "路灯馈线",
        "灯杆数": 30, "每杆灯数": 2, "灯功率(W)": 150, "灯功率因数": 0.9, "镇流器系数": 1,
        "杆距(m)": 35, "首杆距离(m)": 20, "接线方式": "三相轮流", "起始相": "L2",
    }),
    dict(CABLE, **{
        "回路编号": "WL3", "Ib(A)": 40, "保护方式": "单相短路", "负荷类型": "负荷情况",
        "线路种类": "三相平衡负荷线路", "负荷情况": "(3)几个负荷用电流矩(A.km)", "U(kV)": 0.38,
        "cosφ": 0.9, "线芯工作温度(℃)": 70, "环境温度(℃)": 30,
        "多个负荷": "20@0.05;10@0.12;10@0.2",
    }),
]


def openpyxl_workbook(name, rows, headers, title=None, extra=None):
    book = openpyxl.Workbook()
    notes = book.active
    notes.title = "说明"
    notes["A1"] = "回路表见下一张工作表"
    sheet = book.create_sheet("回路表")
    if title:
        sheet.append([title])
    sheet.append(headers + ([extra[0]] if extra else []))
    for row in rows:
        sheet.append([row.get(h) for h in headers] + ([extra[1]] if extra else []))
    book.save(os.path.join(HERE, name))


def write_zip(name, parts):
    with zipfile.ZipFile(os.path.join(HERE, name), "w", zipfile.ZIP_DEFLATED) as z:
        for part, text in parts:
            z.writestr(part, text if isinstance(text, bytes) else text.encode("utf-8"))


MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE_RELS = "http://schemas.openxmlformats.org/package/2006/relationships"

CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
    '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
    '{shared}</Types>')
SHARED_STRINGS_TYPE = (
    '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>')


def hand_written_parts(sheet_xml, shared_strings=None, prefix="x:"):
    x = prefix
    xmlns = f'xmlns:{prefix[:-1]}="{MAIN}"' if prefix else f'xmlns="{MAIN}"'
    parts = [
        ("[Content_Types].xml",
         CONTENT_TYPES.format(shared=SHARED_STRINGS_TYPE if shared_strings is not None else "")),
        ("_rels/.rels",
         f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PACKAGE_RELS}">'
         f'<Relationship Id="rId1" Type="{RELS}/officeDocument" Target="xl/workbook.xml"/>'
         '</Relationships>'),
        ("xl/workbook.xml",
         f'<?xml version="1.0" encoding="UTF-8"?><{x}workbook {xmlns} xmlns:r="{RELS}">'
         f'<{x}sheets><{x}sheet name="Sheet1" sheetId="1" r:id="rId7"/></{x}sheets></{x}workbook>'),
        ("xl/_rels/workbook.xml.rels",
         f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PACKAGE_RELS}">'
         f'<Relationship Id="rId7" Type="{RELS}/worksheet" Target="/xl/worksheets/sheet1.xml"/>'
         + (f'<Relationship Id="rId8" Type="{RELS}/sharedStrings" Target="sharedStrings.xml"/>'
            if shared_strings is not None else "") +
         '</Relationships>'),
        ("xl/worksheets/sheet1.xml", sheet_xml),
    ]
    if shared_strings is not None:
        parts.append(("xl/sharedStrings.xml",
                      f'<?xml version="1.0" encoding="UTF-8"?><sst xmlns="{MAIN}" '
                      f'count="{len(shared_strings)}" uniqueCount="{len(shared_strings)}">'
                      + "".join(shared_strings) + "</sst>"))
    return parts


def shared_sheet():
    """Every text a shared string, as Excel writes them; numbers untyped."""
    strings = []
    index = {}

    def shared(text):
        if text not in index:
            index[text] = len(strings)
            strings.append(f"<si><t>{escape(text)}</t></si>")
        return index[text]

    # The rich-text item first: two runs and a phonetic guide that is not part of the text.
    strings.append('<si><r><t>主干道</t></r><r><rPr><b/><sz val="11"/></rPr><t>东侧路灯</t></r>'
                   '<rPh sb="0" eb="3"><t>ZHUGANDAO</t></rPh><phoneticPr fontId="1"/></si>')
    rich = 0
    rows = []
    for r, values in enumerate([None] + CIRCUITS, start=1):
        cells = []
        for i, h in enumerate(HEADERS):
            ref = f"{column_letters(i)}{r}"
            v = h if values is None else values.get(h)
            if values is CIRCUITS[1] and h == "说明":
                cells.append(f'<c r="{ref}" t="s"><v>{rich}</v></c>')
            elif v is None:
                continue
            elif isinstance(v, str):
                cells.append(f'<c r="{ref}" t="s"><v>{shared(v)}</v></c>')
            else:
                cells.append(f'<c r="{ref}"><v>{v!r}</v></c>')
        rows.append(f'<row r="{r}" spans="1:{len(HEADERS)}">' + "".join(cells) + "</row>")
    sheet = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
             f'<worksheet xmlns="{MAIN}" xmlns:r="{RELS}"><dimension ref="A1:AK4"/>'
             f'<sheetData>{"".join(rows)}</sheetData>'
             '<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>'
             '</worksheet>')
    return sheet, strings


def column_letters(index):
    letters = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        letters = chr(ord("A") + rest) + letters
    return letters


def inline_cell(value, ref=None):
    r = f' r="{ref}"' if ref else ""
    if value is None:
        return ""
    if isinstance(value, str):
        return f'<x:c{r} t="inlineStr"><x:is><x:t>{escape(value)}</x:t></x:is></x:c>'
    return f"<x:c{r}><x:v>{value!r}</x:v></x:c>"


def inline_sheet():
    rows = [f'<x:row r="1">{"".join(inline_cell(h) for h in HEADERS)}</x:row>']
    # WL1 (row 2): every cell with its reference, written from the last column to the first.
    wl1 = [inline_cell(CIRCUITS[0].get(h), f"{column_letters(i)}2") for i, h in enumerate(HEADERS)]
    rows.append('<x:row r="2">' + "".join(reversed(wl1)) + "</x:row>")
    # Row 3 is left out and row 4 holds only empty cells: both are skipped.
    rows.append('<x:row r="4"><x:c r="A4"/><x:c r="B4"/></x:row>')
    # WL2 (row 5): its description in rich-text runs, a note in AM (no header).
    cells = []
    for i, h in enumerate(HEADERS):
        ref = f"{column_letters(i)}5"
        if h == "说明":
            cells.append(f'<x:c r="{ref}" t="inlineStr"><x:is><x:r><x:t>主干道</x:t></x:r>'
                         f'<x:r><x:rPr><x:i/></x:rPr><x:t>东侧路灯</x:t></x:r></x:is></x:c>')
        else:
            cells.append(inline_cell(CIRCUITS[1].get(h), ref))
    cells.append('<x:c r="AM5" t="inlineStr"><x:is><x:t>备注</x:t></x:is></x:c>')
    rows.append('<x:row r="5">' + "".join(cells) + "</x:row>")
    # WL3 (row 6): no references at all, so every cell is the one after the last; Ib is a
    # formula with its cached text.
    cells = []
    for h in HEADERS:
        v = CIRCUITS[2].get(h)
        if h == "Ib(A)":
            cells.append('<x:c t="str"><x:f>TEXT(40,"0")</x:f><x:v>40</x:v></x:c>')
        elif v is None:
            cells.append("<x:c/>")
        elif isinstance(v, str):
            cells.append(f'<x:c t="inlineStr"><x:is><x:t>{escape(v)}</x:t></x:is></x:c>')
        else:
            cells.append(f'<x:c t="n"><x:v>{v!r}</x:v></x:c>')
    rows.append("<x:row>" + "".join(cells) + "</x:row>")
    return (f'<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="{MAIN}">'
            f'<x:sheetData>{"".join(rows)}</x:sheetData></x:worksheet>')


def corrupt_sheet(name):
    path = os.path.join(HERE, name)
    with zipfile.ZipFile(path) as z:
        info = z.getinfo("xl/worksheets/sheet1.xml")
    data = bytearray(open(path, "rb").read())
    # The local header: 30 bytes, the name and the extra field, then the compressed data.
    name_length = int.from_bytes(data[info.header_offset + 26:info.header_offset + 28], "little")
    extra_length = int.from_bytes(data[info.header_offset + 28:info.header_offset + 30], "little")
    start = info.header_offset + 30 + name_length + extra_length
    data[start + info.compress_size // 2] ^= 0x55
    open(path, "wb").write(bytes(data))


def poles_workbook(name):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "杆位表"
    sheet.append(["某路 杆位表"])
    sheet.append(["杆 号", "支线", "起始杆号", "杆距（m）", "灯具1数量", "灯具1功率(W)",
                  "灯具1功率因数", "灯具1镇流器系数", "灯具2数量", "灯具2功率(W)", "灯具2功率因数",
                  "灯具2镇流器系数", "相别", "支线电缆类型", "支线截面(mm2)"])
    sheet.append(["N1", None, None, 20, 1, 150, 0.95, 1, 1, 40, 0.9, 1, None, None, None])
    sheet.append(["N2", None, None, 35.5, 1, 150, 0.95, 1, None, None, None, None, "l3", None, None])
    sheet.append(["N3", None, None, 60, 1, 150, 0.95, 1, None, None, None, None, None, None, None])
    sheet.append(["B1", "支线1", "N2", 25, 2, 60, 0.9, 1.1, None, None, None, None, None,
                  "VV 四芯 铜芯", 16])
    sheet.append(["B2", "支线1", None, 30, 2, 60, 0.9, 1.1, None, None, None, None, None, None, None])
    book.save(name)


def main():
    poles_workbook("poles_openpyxl.xlsx")
    openpyxl_workbook("circuits_openpyxl.xlsx", CIRCUITS, list(reversed(HEADERS)),
                      title="某工程 回路表", extra=("Δu(%)", 1.23))
    bad = [dict(c) for c in CIRCUITS]
    bad[1]["R(Ω/km)"] = "#DIV/0!"  # openpyxl writes the error codes as error cells
    openpyxl_workbook("error_cell.xlsx", bad, HEADERS)

    sheet, strings = shared_sheet()
    write_zip("circuits_shared.xlsx", hand_written_parts(sheet, strings, prefix=""))

    sheet = inline_sheet()
    write_zip("circuits_inline.xlsx", hand_written_parts(sheet))
    write_zip("damaged_xml.xlsx", hand_written_parts(sheet[:len(sheet) // 2]))
    write_zip("corrupt_sheet.xlsx", hand_written_parts(sheet))
    corrupt_sheet("corrupt_sheet.xlsx")
    write_zip("too_many_rows.xlsx", hand_written_parts(
        f'<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="{MAIN}"><x:sheetData>'
        '<x:row r="100001"><x:c r="A100001"><x:v>1</x:v></x:c></x:row></x:sheetData></x:worksheet>'))


if __name__ == "__main__":
    main()
