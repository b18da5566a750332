#pragma once

#include "drawing/drawing.h"

#include <QByteArray>

namespace korvane::drawing {

// The drawing as a DXF file of AutoCAD Release 12 (AC1009), the simplest version every CAD
// program reads (AutoCAD, 中望CAD, 浩辰CAD, LibreCAD): units millimetres, the sheets side by side
// in model space at 1:1, layers E-FRAME, E-LINE, E-SYMB and E-TEXT, one text style KV-HZ with the
// Chinese drafting fonts gbenor.shx and the big font gbcbig.shx (GB/T 14691 long 仿宋 look,
// width factor 0.7). A Release 12 file carries its text in the drawing's code page: here
// $DWGCODEPAGE ANSI_936 (simplified Chinese, GBK), so every Chinese text is GBK bytes, and a
// character GBK lacks is AutoCAD's \U+XXXX escape. Lines end with CR LF.
QByteArray dxfDocument(const Drawing& drawing);

// A text as a DXF string of the drawing's code page: ASCII kept; "%%" (AutoCAD's control-code
// lead) written so that it shows as typed; a backslash as \U+005C (so that a typed "\U+" stays
// text); every other character in GBK, or as \U+XXXX where GBK has none (a character beyond the
// BMP as its two surrogates, as AutoCAD writes them); a control character as a space. Exposed for
// the tests.
QByteArray dxfText(const QString& text);

} // namespace korvane::drawing
