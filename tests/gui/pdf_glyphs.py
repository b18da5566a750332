#!/usr/bin/env python3
"""Lists the characters a PDF really draws, read with fontTools from the fonts embedded in it.

For every embedded TrueType font (a Type0 font over a CIDFontType2 with a FontFile2 program) the
ToUnicode map gives the character of each CID; a character counts as drawn when the glyph of its
CID has an outline. Characters whose glyph is empty, or whose font is not embedded, are not drawn.
A reader of the text layer would still find them: this is what a person sees.

usage: pdf_glyphs.py PDF TEXT_FILE
Prints each non-blank character of TEXT_FILE (UTF-8) that the PDF does not draw, as U+XXXX and the
character, one per line, then a closing line; exits 1 when there is one.
"""

import io
import logging
import re
import sys
import zlib

from fontTools.ttLib import TTFont

OBJECT = re.compile(rb"(\d+) 0 obj\s*(.*?)endobj", re.S)
STREAM = re.compile(rb"stream\r?\n(.*)\r?\nendstream", re.S)


def objects(pdf):
    """Object number -> (dictionary bytes, decoded stream bytes or None)."""
    found = {}
    for match in OBJECT.finditer(pdf):
        body = match.group(2)
        stream = STREAM.search(body)
        data = None
        head = body
        if stream:
            head = body[:stream.start()]
            data = stream.group(1)
            if b"/FlateDecode" in head:
                data = zlib.decompress(data)
        found[int(match.group(1))] = (head, data)
    return found


def reference(head, key):
    match = re.search(rb"/" + key + rb"\s*\[?\s*(\d+) 0 R", head)
    return int(match.group(1)) if match else None


def hex_text(code):
    """A UTF-16BE hex string of a CMap as text."""
    return bytes.fromhex(code.decode()).decode("utf-16-be")


def to_unicode(cmap):
    """CID -> text, from the bfchar and bfrange sections of a ToUnicode CMap."""
    mapping = {}
    for section in re.findall(rb"beginbfchar(.*?)endbfchar", cmap, re.S):
        for cid, text in re.findall(rb"<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>", section):
            mapping[int(cid, 16)] = hex_text(text)
    for section in re.findall(rb"beginbfrange(.*?)endbfrange", cmap, re.S):
        for low, high, rest in re.findall(
                rb"<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*(\[[^\]]*\]|<[0-9A-Fa-f]+>)", section):
            low, high = int(low, 16), int(high, 16)
            if rest.startswith(b"["):
                for i, text in enumerate(re.findall(rb"<([0-9A-Fa-f]+)>", rest)):
                    mapping[low + i] = hex_text(text)
            else:
                first = hex_text(rest[1:-1])
                for i in range(high - low + 1):
                    mapping[low + i] = first[:-1] + chr(ord(first[-1]) + i)
    return mapping


def has_outline(font, glyph_id):
    glyf = font["glyf"]
    order = font.getGlyphOrder()
    if glyph_id >= len(order):
        return False
    glyph = glyf[order[glyph_id]]
    return glyph.numberOfContours != 0  # composites (-1) draw their components


def drawn_characters(pdf):
    table = objects(pdf)
    drawn = set()
    for head, _ in table.values():
        if not re.search(rb"/Subtype\s*/Type0", head):
            continue
        unicode_ref = reference(head, b"ToUnicode")
        descendant_ref = reference(head, b"DescendantFonts")
        if unicode_ref is None or descendant_ref is None:
            continue
        descendant = table[descendant_ref][0]
        descriptor_ref = reference(descendant, b"FontDescriptor")
        program_ref = reference(table[descriptor_ref][0], b"FontFile2") if descriptor_ref else None
        if program_ref is None:
            continue  # not embedded: nothing of it is drawn for sure
        font = TTFont(io.BytesIO(table[program_ref][1]))
        for cid, text in to_unicode(table[unicode_ref][1]).items():
            if has_outline(font, cid):
                drawn.update(text)
    return drawn


def main():
    logging.getLogger("fontTools").setLevel(logging.ERROR)
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        drawn = drawn_characters(f.read())
    with open(sys.argv[2], encoding="utf-8") as f:
        wanted = sorted({c for c in f.read() if not c.isspace()})
    missing = [c for c in wanted if c not in drawn]
    for c in missing:
        print(f"U+{ord(c):04X} {c}")
    print(f"{len(wanted) - len(missing)} drawn, {len(missing)} not drawn")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
