#!/usr/bin/env python3
"""Writes the seed corpora of the store targets: form-list files (sfm/), stored
form records in the store's three places (formrec/) and printer-query value
names (queryname/). Run from this folder."""
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

for folder, seeds in (("sfm", sfm_seeds), ("formrec", formrec_seeds), ("queryname", queryname_seeds)):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
