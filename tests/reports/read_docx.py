#!/usr/bin/env python3
"""Reads the calculation books back with python-docx, a reader that shares nothing with the program.

Writes the voltage-loss and the short-circuit book with korvane-cli from the two scripts beside this
file, and the voltage-loss book once more after 工程名 and 计算者 have been filled in the 工程信息
dialog; opens each .docx the driver names on its `book<TAB>PATH` line, and checks its properties
(title, the engineer as author or none, written just now) and every paragraph: its text, the font (宋体 for Latin and
East-Asian text), size, bold, colour, alignment and line spacing. The short-circuit figures are worked out here from the handbook's formulas.

usage: read_docx.py --cli KORVANE_CLI --home PROGRAM_FOLDER --out BOOKS_FOLDER
"""

import argparse
import datetime
import glob
import math
import os
import subprocess
import sys
from decimal import ROUND_HALF_UP, Decimal

from docx import Document
from docx.enum.text import WD_ALIGN_PARAGRAPH, WD_LINE_SPACING
from docx.oxml.ns import qn
from docx.shared import Pt

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "宋体"

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def fixed(value, decimals):
    """Fixed-point text, halves away from zero, as the books print their figures."""
    quantum = Decimal(1).scaleb(-decimals)
    return str(Decimal(repr(value)).quantize(quantum, rounding=ROUND_HALF_UP))


def write_book(cli, home, out, script, first_lines=()):
    """The book a script writes; `first_lines` run before the script's own lines."""
    with open(os.path.join(HERE, script), encoding="utf-8") as f:
        text = "".join(line + "\n" for line in first_lines) + f.read()
    run = subprocess.run([cli, "--home", home, "--out", out], input=text,
                         capture_output=True, text=True, check=False)
    if run.returncode != 0:
        sys.exit(f"korvane-cli {script} ended with {run.returncode}: {run.stderr}")
    books = [line.split("\t", 1)[1] for line in run.stdout.splitlines()
             if line.startswith("book\t")]
    if len(books) != 1:
        sys.exit(f"korvane-cli {script} named {len(books)} books:\n{run.stdout}")
    return books[0]


# --- formats -------------------------------------------------------------------------------

def rpr_format(rpr):
    """(fonts, size in points, bold, colour) of a w:rPr element, read from the XML itself."""
    if rpr is None:
        return None
    fonts = rpr.find(qn("w:rFonts"))
    names = tuple(fonts.get(qn("w:" + a)) if fonts is not None else None
                  for a in ("ascii", "hAnsi", "eastAsia"))
    size = rpr.find(qn("w:sz"))
    colour = rpr.find(qn("w:color"))
    return (names,
            int(size.get(qn("w:val"))) / 2 if size is not None else None,
            rpr.find(qn("w:b")) is not None,
            colour.get(qn("w:val")) if colour is not None else None)


def run_format(run):
    """The same four through python-docx's own run API, East-Asian font from the XML."""
    font = run.font
    fonts = run._element.rPr.rFonts
    east_asian = fonts.get(qn("w:eastAsia")) if fonts is not None else None
    colour = str(font.color.rgb) if font.color is not None and font.color.rgb is not None else None
    return ((font.name, fonts.get(qn("w:hAnsi")) if fonts is not None else None, east_asian),
            font.size.pt if font.size is not None else None, bool(font.bold), colour)


def mark_format(paragraph):
    ppr = paragraph._p.pPr
    return rpr_format(ppr.find(qn("w:rPr")) if ppr is not None else None)


TITLE = ((FONT, FONT, FONT), 18.0, True, "000000")
HEADER = ((FONT, FONT, FONT), 12.0, True, "000000")
BODY = ((FONT, FONT, FONT), 10.5, True, None)

SINGLE = (1.0, WD_LINE_SPACING.SINGLE)
ONE_AND_A_HALF = (1.5, WD_LINE_SPACING.ONE_POINT_FIVE)  # 18 pt under the automatic rule


def exactly(points):
    return (Pt(points), WD_LINE_SPACING.EXACTLY)


def check_style(book, index, paragraph, font, alignment, spacing):
    where = f"{book} paragraph {index} {paragraph.text!r}"
    for run in paragraph.runs:
        check(run_format(run) == font, f"{where}: run format {run_format(run)}, not {font}")
    check(mark_format(paragraph) == font,
          f"{where}: paragraph mark format {mark_format(paragraph)}, not {font}")
    check(paragraph.alignment == alignment,
          f"{where}: alignment {paragraph.alignment}, not {alignment}")
    pf = paragraph.paragraph_format
    check((pf.line_spacing, pf.line_spacing_rule) == spacing,
          f"{where}: line spacing {(pf.line_spacing, pf.line_spacing_rule)}, not {spacing}")


def check_properties(book, document, title, engineer):
    core = document.core_properties
    check(core.title == title, f"{book}: title property {core.title!r}, not {title!r}")
    check(core.author == engineer, f"{book}: author property {core.author!r}, not {engineer!r}")
    now = datetime.datetime.now(datetime.timezone.utc)
    created = core.created.replace(tzinfo=datetime.timezone.utc) if core.created else None
    check(created is not None and datetime.timedelta(0) <= now - created
          < datetime.timedelta(minutes=10),
          f"{book}: created {core.created}, not just before {now}")


def check_book(book, path, title, body, body_spacing, project="", engineer=""):
    document = Document(path)
    check_properties(book, document, title, engineer)
    paragraphs = document.paragraphs
    texts = [p.text for p in paragraphs]

    today = datetime.date.today()
    dates = {f"计算时间:{d.year}/{d.month}/{d.day}"
             for d in (today, today - datetime.timedelta(days=1))}
    check(texts[4] in dates, f"{book}: date line {texts[4]!r}, expected one of {sorted(dates)}")
    frame = [title, "", "工程名:" + project, "计算者:" + engineer, texts[4], "计算依据：",
             "《工业与民用配电设计手册》第三版：", "《民用建筑电气设计规范》JGJ 16 - 2008", ""]
    expected = frame + body + [""]  # the document's final paragraph follows the body
    check(len(texts) == len(expected), f"{book}: {len(texts)} paragraphs, not {len(expected)}")
    for i, (got, want) in enumerate(zip(texts, expected)):
        check(got == want, f"{book} paragraph {i}: {got!r}, not {want!r}")

    centred, left = WD_ALIGN_PARAGRAPH.CENTER, WD_ALIGN_PARAGRAPH.LEFT
    for i, paragraph in enumerate(paragraphs[:-1]):
        if i < 2:
            check_style(book, i, paragraph, TITLE, centred, SINGLE)
        elif i < 9:
            check_style(book, i, paragraph, HEADER, left, ONE_AND_A_HALF)
        else:
            check_style(book, i, paragraph, BODY, left, exactly(body_spacing))
    return len(paragraphs)


# --- the voltage-loss book ----------------------------------------------------------------------

def voltage_loss_body():
    inputs = [
        "【输入参数】：",
        " 线路种类: 三相平衡负荷线路",
        " 负荷情况: (1)终段负荷用电流矩(A.km)",
        " 电缆损失类型:  聚氯乙烯绝缘电力电缆(0.6/1kV)",
        " 电缆型号或类型:  VV 四芯 铜芯",
        " 线芯截面:  S = 50(mm2)",
        " 线路单位长度电阻:  R = 0.387(Ω/km)",
        " 线路单位长度感抗:  X = 0.08(Ω/km)",
        " 标称电压:  V = 0.38(kV)",
        " 功率因数:  cosφ = 0.85",
        " 负荷计算电流:  I = 100(A)",
        " 线路长度:      L = 0.5(km)",
        "",
        "【计算过程】：",
    ]
    # Δu = √3/(10·U)·(R·cosφ + X·sinφ)·I·L and Lmax = 1000·5/(k·Z·I·0.46) with k = 1.16.
    computation = [
        " 计算公式（终段负荷，电流矩法）：",
        "   Δu% = √3 / (10 × U) × (R × cosφ + X × sinφ) × I × L",
        " 式中：U—标称电压(kV)；R、X—线路单位长度电阻、感抗(Ω/km)；",
        "       I—负荷计算电流(A)；L—线路长度(km)。",
        " 代入数值：",
        "   cosφ = 0.8500，sinφ = 0.5268",
        "   Δu% = √3 / (10 × 0.38) × (0.387 × 0.8500 + 0.08 × 0.5268) × 100 × 0.5",
        "   Δu% = 8.4573",
        " 校验结果：电压损Δu% ≥5%不符合要求请重新选择导体截面;",
        " 线路最大允许长度（Δu% = 5%）：",
        "   Lmax = 1000 × 5 / (k × Z × I × 0.46)",
        " 式中：k—温度系数；Z—线路单位长度阻抗(Ω/km)；",
        "       θc—线芯工作温度(℃)；θa—环境温度(℃)。",
        "   k = (θc - θa) × 0.004 + 1 = (70 - 30) × 0.004 + 1 = 1.16",
        "   Z = √(R ^ 2 + X ^ 2) = √(0.387 ^ 2 + 0.08 ^ 2) = " + fixed(math.hypot(0.387, 0.08), 6),
        "   Lmax = 1000 × 5 / (1.16 × 0.395182 × 100 × 0.46)",
        "   Lmax = 237.1138 (m)",
    ]
    return inputs + computation


# --- the short-circuit book ---------------------------------------------------------------------

def short_circuit_body():
    """Paragraphs 1 to 67 and the loops, for the inputs of short_circuit_book.kvs."""
    ss, uk, st, dp = 100, 4, 630, 6.2
    rmm, xmm, rphpmm, xphpmm, lm = 0.03, 0.15, 0.05, 0.3, 10
    ro, xo, rphpo, xphpo, rn, xn, lx = 0.3, 0.08, 0.9, 0.16, 0.6, 0.15, 100
    cun2 = (1.05 * 380) ** 2

    # The book's chain: each value to six decimals, the next one from that text.
    def chain(value):
        return float(fixed(value, 6))

    zs = chain(cun2 / ss / 1000)
    xs = chain(0.995 * zs)
    rs = chain(0.1 * xs)
    rphps, xphps = chain(2 * rs / 3), chain(2 * xs / 3)
    zt = chain(uk * cun2 / (100 * st))
    rt = chain(dp * cun2 / st ** 2)
    xt = chain(math.sqrt(zt ** 2 - rt ** 2))
    rm, xm, rx, xx = chain(rmm * lm), chain(xmm * lm), chain(ro * lx), chain(xo * lx)

    def f6(v):
        return fixed(v, 6)

    c_line = " \u3000c =   1.05               ……电压系数，计算三相短路电流时取1.05:"
    part_one = [
        "一、计算三相短路电流：", "1、系统阻抗: ", "【相关系数：】: ", c_line,
        " \u3000Un =  380 (V)            ……变压器低压侧标称电压 :", "【输入参数：】:",
        "   Ss =100 (MVA)            ……变压器高压侧系统短路容量", "【计算公式：】",
        "   Zs = (c × Un)^ 2 / Ss/1000", "   Xs = 0.995 × Zs",
        "   Zs = " + f6(zs), "   Xs = " + f6(xs), "   Rs = " + f6(rs),
        "2、变压器阻抗: ", "【相关系数：】: ", c_line,
        " \u3000Un =  380 (V)            ……变压器低压侧标称电压:", "【输入参数：】:",
        " \u3000Uk =4 (%)                ……变压器电抗电压百分数:",
        " \u3000St =630 (kVA)            ……变压器的额定容量 :",
        " \u3000ΔP =6.2 (kW)           ……变压器短路损耗 :", "【计算公式：】",
        "   Zt = Uk × (c × Un) ^ 2) / 100 × St", "   Rt = ΔP × (c × Un) ^ 2) / St ^ 2",
        "   Xt = √(Zt ^ 2 - Rt ^ 2)",
        "   Zt = " + f6(zt), "   Rt = " + f6(rt), "   Xt = " + f6(xt),
        "3、求母线阻抗: ", "【输入参数：】:",
        " \u3000Rmm =0.03 (mΩ/m)         ……选定选定母线单位长度的相电阻:",
        " \u3000Xmm =0.15 (mΩ/m)         ……选定母线单位长度的相电抗:",
        " \u3000Lm =10 (m)                  ……母线长度:", "【计算公式：】",
        "   Rm = Rmm × Lm", "   Xm = Xmm × Lm", "   Rm = " + f6(rm), "   Xm = " + f6(xm),
        "4、求线路阻抗: ", "【输入参数：】:",
        " \u3000Ro =0.3 (mΩ/m)           ……选定配电线路单位长度的相电阻:",
        " \u3000Xo =0.08 (mΩ/m)           ……选定配电线路单位长度的相电抗:",
        " \u3000Lx =100 (m)                 ……配电线路长度:", "【计算公式：】",
        "   Rx = Ro × Lx", "   Xx = Xo × Lx", "   Rx = " + f6(rx), "   Xx = " + f6(xx),
    ]
    part_two = [
        "二、计算单相短路电流：", "1、系统相保阻抗: ", "【输入参数：】:",
        "   Rs =" + f6(rs) + " (mΩ)            ……系统电阻",
        "   Xs =" + f6(xs) + " (mΩ)            ……系统电抗", "【计算公式：】",
        "   Rphps = 2 × Rs / 3", "   Xphps = 2 × Xs / 3",
        "   Rphps = " + f6(rphps), "   Xphps = " + f6(xphps),
        "2、变压器相保阻抗: ", "【输入参数：】:",
        "   Rt =" + f6(rt) + " (mΩ)", "   Xt =" + f6(xt) + " (mΩ)", "【计算公式：】",
        "   Rphpt =  Rt", "   Xphpt =  Xt", "   Rphpt = " + f6(rt), "   Xphpt = " + f6(xt),
    ]

    # The page's own computation, in full precision (handbook: I″k3 = c·Un/(√3·ZΣ),
    # Id = Un/(√3·Zphp), I″k1 = Un/(√3·Z1)).
    s_zs = cun2 / ss / 1000
    s_xs, s_rs = 0.995 * s_zs, 0.0995 * s_zs
    s_zt, s_rt = uk * cun2 / (100 * st), dp * cun2 / st ** 2
    s_xt = math.sqrt(s_zt ** 2 - s_rt ** 2)
    r_sum = s_rs + s_rt + rmm * lm + ro * lx
    x_sum = s_xs + s_xt + xmm * lm + xo * lx
    z_sum = math.hypot(r_sum, x_sum)
    ik3 = 399 / (math.sqrt(3) * z_sum)
    rphp = 2 * s_rs / 3 + s_rt + rphpmm * lm + rphpo * lx
    xphp = 2 * s_xs / 3 + s_xt + xphpmm * lm + xphpo * lx
    zphp = math.hypot(rphp, xphp)
    r1 = s_rs + s_rt + rmm * lm + rn * lx
    x1 = s_xs + s_xt + xmm * lm + xn * lx
    z1 = math.hypot(r1, x1)
    three_phase = [
        "5、三相短路电流: ", "【计算公式：】", "   RΣ = Rs + Rt + Rm + Rx",
        "   XΣ = Xs + Xt + Xm + Xx", "   ZΣ = √(RΣ ^ 2 + XΣ ^ 2)",
        "   I″k3 = c × Un / (√3 × ZΣ)", "   I″k2 = 0.866 × I″k3",
        "   RΣ = " + f6(r_sum), "   XΣ = " + f6(x_sum), "   ZΣ = " + f6(z_sum),
        "   I″k3 = " + fixed(ik3, 4) + " (kA)", "   I″k2 = " + fixed(0.866 * ik3, 4) + " (kA)",
    ]
    single_phase = [
        "3、母线相保阻抗: ", "【输入参数：】:",
        " \u3000Rphpmm =0.05 (mΩ/m)      ……选定母线单位长度的相保电阻:",
        " \u3000Xphpmm =0.3 (mΩ/m)      ……选定母线单位长度的相保电抗:", "【计算公式：】",
        "   Rphpm = Rphpmm × Lm", "   Xphpm = Xphpmm × Lm",
        "   Rphpm = " + f6(rphpmm * lm), "   Xphpm = " + f6(xphpmm * lm),
        "4、线路相保阻抗: ", "【输入参数：】:",
        " \u3000Rphpo =0.9 (mΩ/m)       ……选定配电线路单位长度的相保电阻:",
        " \u3000Xphpo =0.16 (mΩ/m)       ……选定配电线路单位长度的相保电抗:", "【计算公式：】",
        "   Rphpx = Rphpo × Lx", "   Xphpx = Xphpo × Lx",
        "   Rphpx = " + f6(rphpo * lx), "   Xphpx = " + f6(xphpo * lx),
        "5、单相接地故障电流: ", "【计算公式：】", "   Rphp = Rphps + Rphpt + Rphpm + Rphpx",
        "   Xphp = Xphps + Xphpt + Xphpm + Xphpx", "   Zphp = √(Rphp ^ 2 + Xphp ^ 2)",
        "   Id = Un / (√3 × Zphp)", "   Rphp = " + f6(rphp), "   Xphp = " + f6(xphp),
        "   Zphp = " + f6(zphp), "   Id = " + fixed(380 / (math.sqrt(3) * zphp), 4) + " (kA)",
        "6、单相短路电流: ", "【输入参数：】:",
        " \u3000R' =0.6 (mΩ/m)          ……选定配电线路单位长度的相中电阻:",
        " \u3000X' =0.15 (mΩ/m)          ……选定配电线路单位长度的相中电抗:", "【计算公式：】",
        "   R1 = Rs + Rt + Rm + R' × Lx", "   X1 = Xs + Xt + Xm + X' × Lx",
        "   Z1 = √(R1 ^ 2 + X1 ^ 2)", "   I″k1 = Un / (√3 × Z1)",
        "   R1 = " + f6(r1), "   X1 = " + f6(x1), "   Z1 = " + f6(z1),
        "   I″k1 = " + fixed(380 / (math.sqrt(3) * z1), 4) + " (kA)",
    ]
    return part_one + three_phase + part_two + single_phase


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--home", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    os.makedirs(args.out, exist_ok=True)
    for old in glob.glob(os.path.join(args.out, "*.docx")):
        os.remove(old)

    voltage_loss = write_book(args.cli, args.home, args.out, "voltage_loss_book.kvs")
    short_circuit = write_book(args.cli, args.home, args.out, "short_circuit_book.kvs")
    count = check_book("voltage-loss book", voltage_loss, "电压损失计算书", voltage_loss_body(), 20)
    count += check_book("short-circuit book", short_circuit, "低压配电线路短路电流计算书",
                        short_circuit_body(), 18)
    project, engineer = "滨江路路灯改造工程", "张工"
    named = write_book(args.cli, args.home, args.out, "voltage_loss_book.kvs",
                       ["show GCForm13", "set GCForm13.Text1 " + project,
                        "set GCForm13.Text2 " + engineer, "click GCForm13.Command1"])
    count += check_book("named voltage-loss book", named, "电压损失计算书", voltage_loss_body(), 20,
                        project, engineer)

    for failure in failures:
        print("FAIL:", failure)
    print(f"{count} paragraphs of 3 books read back, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
