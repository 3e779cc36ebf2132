#!/usr/bin/env python3
"""Writes the seed corpora: device modes of each layout the driver meets and
device-settings files holding them. Run from this folder."""
import struct

def devmode(size=220, extra=1240, spec_version=0x0401, driver=0x0400, prefix=b"abc",
            block=1076, version=1027, header=True, copies=1, fields=0x6F0F):
    pub = bytearray(min(size, 220))
    name = "Label printer".encode("utf-16-le")
    pub[0:len(name)] = name
    struct.pack_into("<HHHHI", pub, 64, spec_version, driver, size, extra, fields)
    if size >= 100:
        # orientation, paper size, length, width, scale, copies, source, quality, colour, duplex, yres, tt
        struct.pack_into("<12h", pub, 76, 1, 256, 1016, 508, 100, copies, 0, 203, 1, 1, 203, 3)
    priv = bytearray(extra)
    if header and extra >= 164:
        struct.pack_into("<HH4s", priv, 0, 164, 1, b"MDTN")
    if extra >= 8:
        end = extra
        priv[end - 8:end - 2] = b"mrl" + prefix
        struct.pack_into("<H", priv, end - 2, block)
        start = end - (block if block >= 1024 else block + 1024)
        if start >= 0 and start + 1060 <= extra:
            struct.pack_into("<HHHHi", priv, start + 1024, 1068, version, 0, 0, 6350)
            struct.pack_into("<12h", priv, start + 1036, 2, 0, 0, 0, 0, 0, 2, -1, 0, 18, 0, 0)
            struct.pack_into("<h", priv, start + 1060, 4)
    return bytes(pub) + bytes(priv)

seeds = {
    "current": devmode(),
    "copies5000": devmode(copies=5000),
    "nt351": devmode(size=188, spec_version=0x0320, driver=0x0350),
    "win2k_212": devmode(size=212, spec_version=0x0400),
    "foreign": devmode(header=False, prefix=b"xyz"),
    "old_block": devmode(version=1026),
    "short_tail": devmode(block=52),
    "tiny_extra": devmode(extra=7),
    "public_only": devmode(extra=0),
    "size_ffff": devmode(size=0xFFFF, extra=8),
}
for i, (name, dm) in enumerate(seeds.items()):
    with open(f"devmode/{name}", "wb") as f:
        f.write(bytes([i % 3]) + dm)
for name in ("current", "foreign", "short_tail"):
    dm = seeds[name]
    with open(f"sdm/{name}.sdm", "wb") as f:
        f.write(b"DM32" + struct.pack("<I", len(dm)) + dm)
with open("sdm/dm16.sdm", "wb") as f:
    dm = seeds["current"]
    f.write(b"DM16" + struct.pack("<I", len(dm) + 1000) + dm)
