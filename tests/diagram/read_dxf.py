"""Reads a DXF file with ezdxf, an independent reader, and prints what the tests check as JSON:
the version, code page, layers, text styles, every TEXT with its layer, and the extents of every
entity (texts by their insertion and alignment points)."""
import json
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
msp = doc.modelspace()
texts = []
xs, ys = [], []
counts = {}
for e in msp:
    kind = e.dxftype()
    counts[kind] = counts.get(kind, 0) + 1
    if kind == "TEXT":
        texts.append({"text": e.dxf.text, "layer": e.dxf.layer, "height": e.dxf.height,
                      "x": e.dxf.insert[0], "y": e.dxf.insert[1], "style": e.dxf.style})
        for p in (e.dxf.insert, e.dxf.get("align_point", e.dxf.insert)):
            xs.append(p[0])
            ys.append(p[1])
    elif kind == "LINE":
        xs += [e.dxf.start[0], e.dxf.end[0]]
        ys += [e.dxf.start[1], e.dxf.end[1]]
    elif kind in ("CIRCLE", "ARC"):
        xs += [e.dxf.center[0] - e.dxf.radius, e.dxf.center[0] + e.dxf.radius]
        ys += [e.dxf.center[1] - e.dxf.radius, e.dxf.center[1] + e.dxf.radius]
    elif kind == "POLYLINE":
        for v in e.vertices:
            xs.append(v.dxf.location[0])
            ys.append(v.dxf.location[1])
json.dump({
    "version": doc.dxfversion,
    "encoding": doc.encoding,
    "auditErrors": len(auditor.errors),
    "layers": sorted(layer.dxf.name for layer in doc.layers),
    "styles": {s.dxf.name: [s.dxf.font, s.dxf.bigfont] for s in doc.styles},
    "entities": counts,
    "texts": texts,
    "extents": [min(xs), min(ys), max(xs), max(ys)] if xs else [],
}, sys.stdout, ensure_ascii=False)
