#!/usr/bin/env python3
"""Virtual label printer behind a pipe port of Wine's spooler.

The printer's port is "|python3 vprinter.py receive DIR": the spooler runs it
once per document with the document on stdin. It keeps each job as
DIR/job-NNNN.prn, applies set-configuration commands to DIR/config.txt (the
printer's stored configuration, which the Windows side answers queries from)
and draws the box commands of the sample printer languages into
DIR/job-NNNN.png; a PostScript job (the GDI path) is rendered with Ghostscript
when it is installed, else DIR/job-NNNN.txt says why there is no picture.

  vprinter.py receive DIR       take one job from stdin
  vprinter.py init DIR          a printer with its factory configuration
  vprinter.py render JOB.prn    draw a kept job again (PNG next to it)
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

FACTORY = [("C", 0), ("1", 0), ("2", 0), ("4", 0), ("7", 1), ("8", 2), ("F", 0)]
FIRMWARE = "V1.00 virtual label printer"

# One scan for every command the printer draws or skips: box commands (left,
# top, width, height; tec gives two corners) and heads of commands whose
# binary payload follows (its byte count is the head's last number).
COMMANDS = re.compile(
    rb"\^BX(?P<zb>\d+,\d+,\d+,\d+)\n"
    rb"|\x1bB(?P<ib>\d+;\d+;\d+;\d+)\r\n"
    rb"|\{XB;(?P<tb>\d+,\d+,\d+,\d+)\|\}\n"
    rb"|(?:\^F[DC][\d,]*?|\x1b[DC][\d;]*?|\{F[DC];[\d,]*?)(?P<n>\d+)(?:\n|\r\n|\|\})")


def load_config(d):
    cfg = dict(FACTORY)
    cfg["firmware"] = FIRMWARE
    try:
        with open(os.path.join(d, "config.txt"), encoding="latin-1") as f:
            for line in f:
                key, _, value = line.rstrip("\n").partition(" ")
                if key == "firmware" or key == "fault":
                    cfg[key] = value
                elif key in cfg:
                    cfg[key] = int(value)
    except (OSError, ValueError):
        pass
    return cfg


def save_config(d, cfg):
    tmp = os.path.join(d, "config.txt.new")
    with open(tmp, "w", encoding="latin-1") as f:
        for key, _ in FACTORY:
            f.write("%s %d\n" % (key, cfg[key]))
        f.write("firmware %s\n" % cfg["firmware"])
        if cfg.get("fault"):
            f.write("fault %s\n" % cfg["fault"])
    os.replace(tmp, os.path.join(d, "config.txt"))


def apply_config(data, cfg):
    """Set-configuration commands: RS "ACE" n, n key/value pairs, checksum."""
    changed = False
    for m in re.finditer(rb"\x1eACE", data):
        at = m.start()
        if at + 5 > len(data):
            continue
        n = data[at + 4]
        end = at + 5 + 2 * n
        if end >= len(data):
            continue
        check = 0xFF
        for b in data[at:end]:
            check ^= b
        if check != data[end]:
            continue
        for i in range(n):
            key = chr(data[at + 5 + 2 * i])
            value = struct.unpack("b", data[at + 6 + 2 * i:at + 7 + 2 * i])[0]
            if key in dict(FACTORY):
                cfg[key] = value
                changed = True
    return changed


def boxes(data):
    """Every box command in the job's order; payloads are skipped, not parsed."""
    found = []
    pos = 0
    while True:
        m = COMMANDS.search(data, pos)
        if m is None:
            return found
        pos = m.end()
        if m.group("n") is not None:
            pos += int(m.group("n"))
            continue
        x, y, a, b = (int(v) for v in re.split(rb"[,;]", m.group("zb") or m.group("ib") or m.group("tb")))
        found.append((x, y, a - x, b - y) if m.group("tb") else (x, y, a, b))


def png(path, width, height, rows):
    def chunk(kind, body):
        c = struct.pack(">I", len(body)) + kind + body
        return c + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(r) for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


def draw(path, bars, margin=8):
    """White label with the bars in black; the label is the bars' extent."""
    bars = [b for b in bars if b[2] > 0 and b[3] > 0]
    width = min(max((x + w for x, y, w, h in bars), default=0) + 2 * margin, 8000)
    height = min(max((y + h for x, y, w, h in bars), default=0) + 2 * margin, 8000)
    rows = [bytearray(b"\xff" * width) for _ in range(height)]
    for x, y, w, h in bars:
        for row in rows[margin + y:min(margin + y + h, height)]:
            row[margin + x:min(margin + x + w, width)] = b"\0" * max(0, min(w, width - margin - x))
    png(path, width, height, rows)


def render(job):
    base = os.path.splitext(job)[0]
    with open(job, "rb") as f:
        data = f.read()
    if data.lstrip().startswith(b"%!"):
        gs = shutil.which("gs")
        if not gs:
            with open(base + ".txt", "w") as f:
                f.write("PostScript job: Ghostscript (gs) is not installed, so there is no picture\n")
            return
        # The label's size is the document's bounding box (points).
        m = re.search(rb"%%BoundingBox: *(-?\d+) +(-?\d+) +(\d+) +(\d+)", data)
        media = []
        if m and int(m.group(3)) > 0 and int(m.group(4)) > 0:
            media = ["-dDEVICEWIDTHPOINTS=" + m.group(3).decode(), "-dDEVICEHEIGHTPOINTS=" + m.group(4).decode(),
                     "-dFIXEDMEDIA"]
        subprocess.run([gs, "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pnggray", "-r203"] + media +
                       ["-sOutputFile=" + base + ".png", job], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return
    bars = boxes(data)
    if bars:
        draw(base + ".png", bars)


def receive(d):
    os.makedirs(d, exist_ok=True)
    data = sys.stdin.buffer.read()
    n = 1
    while True:
        path = os.path.join(d, "job-%04d.prn" % n)
        try:
            fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
            break
        except FileExistsError:
            n += 1
    with os.fdopen(fd, "wb") as f:
        f.write(data)
    cfg = load_config(d)
    if apply_config(data, cfg):
        save_config(d, cfg)
    render(path)


def main(argv):
    if len(argv) == 2 and argv[1] in ("-h", "--help"):
        print(__doc__.strip())
        return 0
    if len(argv) == 3 and argv[1] == "receive":
        receive(argv[2])
        return 0
    if len(argv) == 3 and argv[1] == "init":
        os.makedirs(argv[2], exist_ok=True)
        cfg = dict(FACTORY)
        cfg["firmware"] = FIRMWARE
        save_config(argv[2], cfg)
        return 0
    if len(argv) == 3 and argv[1] == "render":
        render(argv[2])
        return 0
    sys.stderr.write("vprinter: unknown command\n" + __doc__.strip().splitlines()[-3] + "\n")
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
