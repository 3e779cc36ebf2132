#!/usr/bin/env python3
"""Writes the seed corpora of the store targets: form-list files (sfm/), stored
form records in the store's three places (formrec/), printer-query value
names (queryname/), bar-font-list files (sbf/), stored bar fonts
(barfontrec/) and stored downloaded fonts (dttf/). Run from this folder."""
import os
import struct


def record(w, h, name, left=1270, right=1270, top=0, bottom=3000, flags=0, size=92):
    rec = struct.pack("<6iI", w, h, left, right, top, bottom, flags) + name.encode("latin-1").ljust(64, b"\0")
    return rec[:size]


def sfm(records, size=92, magic=b"SFM1"):
    return magic + struct.pack("<I", size) + b"".join(records)


stocks = [record(101600, 152400, "4x6 in shipping"), record(50800, 25400, "2x1 in"),
          record(152400, 101600, "6x4 in landscape"), record(38000, 25000, "38x25 mm", 1000, 1000)]
sfm_seeds = {
    "stocks.sfm": sfm(stocks),
    "short88.sfm": sfm([r[:88] for r in stocks], 88),
    "empty.sfm": sfm([]),
    "size0.sfm": sfm(stocks, 0),
    "size93.sfm": sfm(stocks, 93),
    "duplicates.sfm": sfm([record(50800, 25400, "same", flags=7), record(60000, 25400, "same"),
                           record(1, 1, "", flags=1)]),
    "extreme.sfm": sfm([record(0x7FFFFFFF, -0x80000000, "x" * 64, 0x7FFFFFFF, -1, -0x80000000, 0x7FFFFFFF)]),
    "partial.sfm": sfm(stocks)[:-20],
}


def entry(place, index, data):
    return bytes([place, index, len(data)]) + data


formrec_seeds = {
    "three_places": entry(0, 0, record(60000, 30000, "USER", flags=1)) + entry(0, 1, struct.pack("<i", 2000))
    + entry(1, 0, struct.pack("<i", 2)) + entry(1, 1, record(50800, 25400, "Custom", flags=4))
    + entry(1, 2, record(76200, 25400, "Custom 3x1", flags=4))
    + entry(2, 0, struct.pack("<i", 1)) + entry(2, 1, record(101600, 152400, "4x6", flags=2)),
    "short_records": entry(1, 0, struct.pack("<i", 3)) + entry(1, 1, record(1, 2, "a")[:10])
    + entry(1, 3, record(1, 2, "b")[:50]) + entry(0, 0, b"\x01"),
    "huge_count": entry(2, 0, struct.pack("<i", 0x7FFFFFFF)) + entry(2, 7, record(5, 5, "late", flags=6)),
    "user_flags_everywhere": entry(1, 0, struct.pack("<i", 1)) + entry(1, 1, record(9, 9, "zz", flags=1))
    + entry(2, 0, struct.pack("<i", 1)) + entry(2, 1, record(9, 9, "USER", flags=3)),
}


def query(cmd, min_unit=0xFFFF):
    name = "MRLGetPrinterData".encode("utf-16-le")
    name += struct.pack("<5H", 0xA6, len(cmd) or 0xFFFF, 0xA6, min_unit, 0xA6) + cmd
    return name + b"\0" * (len(cmd) % 2) + b"\0\0"


queryname_seeds = {"hs": query(b"~HS", 82), "enq": query(b"<ENQ>", 1), "empty": query(b"", 0xFFFE),
                   "binary": query(bytes(range(7)), 3)}



def barfont(name, symbology, dpi=203, flags=0, x=3):
    rec = bytearray(164)
    struct.pack_into("<I", rec, 0, 400)
    rec[11] = 0x30
    rec[12:12 + len(name)] = name.encode("latin-1")
    two = symbology in (14, 15, 16, 17, 18, 25, 26, 28, 29)
    struct.pack_into("<iiI", rec, 44, 2 if two else 1, dpi, flags)
    struct.pack_into("<H", rec, 72, 64 if two else 92)
    if two:
        struct.pack_into("<hhh", rec, 78, symbology, 0, 0)
        struct.pack_into("<hhhhh", rec, 96, 0, x, 0, 0, 0)
        struct.pack_into("<hhh", rec, 118, 2, 9, 76)
    else:
        struct.pack_into("<ihh", rec, 100, 13, symbology, x)
        struct.pack_into("<hhhhhhhh", rec, 114, 2, 50, 1, 1, 0, 1, 0, 97)
    return bytes(rec)


fonts = [barfont("Code 39 small", 0), barfont("Shipping QR", 18, flags=2), barfont("Codabar", 4),
         barfont("Matrix 300", 16, 300), barfont("UPC add-on", 7)]


def sbf(records, size=164, magic=b"SBF1"):
    return magic + struct.pack("<I", size) + b"".join(records)


sbf_seeds = {"fonts.sbf": sbf(fonts), "empty.sbf": sbf([]), "size0.sbf": sbf(fonts, 0),
             "size92.sbf": sbf([f[:92] for f in fonts], 92), "size165.sbf": sbf(fonts, 165),
             "partial.sbf": sbf(fonts)[:-30], "unknown_symbology.sbf": sbf([barfont("x", 31)])}


def font_entry(group, index, what, data):
    data = data + b"\0" * (len(data) % 2)
    return bytes([group, index, what, len(data) // 2]) + data


barfontrec_seeds = {
    "both_groups": font_entry(0, 255, 0, struct.pack("<i", 2)) + font_entry(0, 0, 1, struct.pack("<i", 164))
    + font_entry(0, 0, 0, fonts[0]) + font_entry(0, 1, 1, struct.pack("<i", 164)) + font_entry(0, 1, 0, fonts[1])
    + font_entry(1, 255, 0, struct.pack("<i", 1)) + font_entry(1, 0, 1, struct.pack("<i", 164))
    + font_entry(1, 0, 0, fonts[3][:48] + struct.pack("<i", 300) + struct.pack("<I", 8) + fonts[3][56:]),
    "long_and_short": font_entry(0, 255, 0, struct.pack("<i", 2)) + font_entry(0, 0, 1, struct.pack("<i", 300))
    + font_entry(0, 0, 0, fonts[2] + b"\xff" * 100) + font_entry(0, 1, 1, struct.pack("<i", 40))
    + font_entry(0, 1, 0, fonts[4][:40]),
    "huge_count": font_entry(0, 255, 0, struct.pack("<i", 0x7FFFFFFF)),
}



def dttf_entry(index, what, data):
    data = data + b"\0" * (len(data) % 2)
    return bytes([index, what, len(data) // 2]) + data


def dttf_block(status, size, cache=0):
    return struct.pack("<iiiBB", cache, 0, 1, 1, 0) + struct.pack("<HHi", 1 if size > 0 else 2, status, 120) \
        + bytes(32) + b"Sans 12".ljust(176, b"\0") + struct.pack("<8i", 1, 0, 50, 0, size, 30, 20, 40) + bytes(92)


dttf_seeds = {
    "three": dttf_entry(255, 0, struct.pack("<i", 3)) + b"".join(
        dttf_entry(i, 1, struct.pack("<i", 354)) + dttf_entry(i, 0, dttf_block(s, z))
        for i, (s, z) in enumerate([(3, 1000), (0, -1), (2, 500)])),
    "wrong_size": dttf_entry(255, 0, struct.pack("<i", 2)) + dttf_entry(0, 1, struct.pack("<i", 353))
    + dttf_entry(0, 0, dttf_block(0, 10)) + dttf_entry(1, 1, struct.pack("<i", 354)) + dttf_entry(1, 0, b"short"),
    "huge": dttf_entry(255, 0, struct.pack("<i", 0x7FFFFFFF)) + dttf_entry(0, 1, struct.pack("<i", 354))
    + dttf_entry(0, 0, dttf_block(0, 0x7FFFFFFF)) + dttf_entry(1, 1, struct.pack("<i", 354))
    + dttf_entry(1, 0, dttf_block(0, 0x7FFFFFFF)),
}

for folder, seeds in (("sfm", sfm_seeds), ("formrec", formrec_seeds), ("queryname", queryname_seeds),
                      ("sbf", sbf_seeds), ("barfontrec", barfontrec_seeds), ("dttf", dttf_seeds)):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
