#!/usr/bin/env python3
"""Writes the seeds of fuzz_microns: a settings byte (bits 0-1 measurement,
2-3 separator . , ' and 0xB7, 4 leading zero, 5 inch system) and UTF-16 text.
Run from this folder."""
import os

seeds = {
    "mm_fraction": (0x10, "25.4"),
    "inch_unit": (0x12, "1.5 in"),
    "comma_cm": (0x16, "2,54 cm"),
    "inch_four_digits": (0x11, "12.3456"),
    "signs_blanks": (0x03, " - -.5mm"),
    "clamped": (0x31, "2000 mm"),
    "beyond_32_bits": (0x12, "25400.999 in"),
}
os.makedirs("microns", exist_ok=True)
for name, (how, text) in seeds.items():
    with open(f"microns/{name}", "wb") as f:
        f.write(bytes([how]) + text.encode("utf-16-le"))
