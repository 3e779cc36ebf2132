#!/usr/bin/env python3
"""Virtual label printer behind a pipe port of Wine's spooler.

The printer's port is "|python3 vprinter.py receive DIR": the spooler runs it
once per document with the document on stdin. It keeps each job as
DIR/job-NNNN.prn, applies set-configuration commands to DIR/config.txt (the
printer's stored configuration, which the Windows side answers queries from)
and draws the box commands of the sample printer languages into
DIR/job-NNNN.png; a PostScript job (the GDI path) is rendered with Ghostscript
when it is installed, else DIR/job-NNNN.txt says why there is no picture.
Downloaded fonts are kept in DIR/fonts/ (NAME.ttf, or NAME.glyphs and a sample
of the glyphs, NAME.png, also drawn as DIR/job-NNNN-glyphs.png); a delete
command removes them. The printer's font memory holds "memory BYTES" of
config.txt (default 2 MB); a font that does not fit, or any font while the
line "fault memory" is there, is not kept: DIR/job-NNNN.txt says so and the
job fails (the spooler reports it to the sender).
Colour commands keep the heads' registration in the configuration and draw
registration tests and alignment patterns in the planes' colours.

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
MEMORY = 2 << 20

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
                if key in ("firmware", "fault", "registration", "misregistration"):
                    cfg[key] = value
                elif key in cfg or key == "memory":
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
        for key in ("fault", "registration", "misregistration"):
            if cfg.get(key):
                f.write("%s %s\n" % (key, cfg[key]))
        if "memory" in cfg:
            f.write("memory %d\n" % cfg["memory"])
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


# Font commands of the three languages: a header (command, characters, cell
# height, orientation, size, widest, average width, ascent, then the name),
# TrueType data and bitmap characters (their byte counts last).
FONTS = re.compile(
    rb"\^FH(?P<zh>-?\d+(?:,-?\d+){7}),(?P<zn>[^\n]*)\n"
    rb"|\x1bF(?P<ih>-?\d+(?:;-?\d+){7});(?P<in>[^\r\n]*)\r\n"
    rb"|\{FH;(?P<th>-?\d+(?:,-?\d+){7}),(?P<tn>[^|]*)\|\}\n"
    rb"|(?:\^FD|\x1bD|\{FD;)(?P<d>\d+)(?:\n|\r\n|\|\})"
    rb"|(?:\^FC|\x1bC|\{FC;)(?P<c>\d+(?:[,;]\d+){5})(?:\n|\r\n|\|\})")


def font_events(data):
    """("head", numbers, name), ("data", bytes) and ("char", numbers, bytes) in order."""
    events = []
    pos = 0
    while True:
        m = FONTS.search(data, pos)
        if m is None:
            return events
        pos = m.end()
        head = m.group("zh") or m.group("ih") or m.group("th")
        if head is not None:
            name = m.group("zn") if m.group("zh") else m.group("in") if m.group("ih") else m.group("tn")
            events.append(("head", [int(v) for v in re.split(rb"[,;]", head)], name.decode("latin-1")))
        elif m.group("d") is not None:
            n = int(m.group("d"))
            events.append(("data", data[pos:pos + n]))
            pos += n
        else:
            nums = [int(v) for v in re.split(rb"[,;]", m.group("c"))]
            events.append(("char", nums, data[pos:pos + nums[5]]))
            pos += nums[5]


def glyph_rows(nums, bits):
    """A character's pixels as rows of 0/1, upright or as sent turned."""
    code, width, per_line, height, orient, n = nums
    lines = width if orient else height
    cols = height if orient else width
    return [[bits[y * per_line + x // 8] >> (7 - x % 8) & 1 if y * per_line + x // 8 < len(bits) else 0
             for x in range(cols)] for y in range(lines)]


def draw_glyphs(path, chars, per_row=16, gap=4):
    """A sample of the characters, per_row to a line, black on white."""
    cells = [glyph_rows(nums, bits) for nums, bits in chars]
    cw = max((len(c[0]) for c in cells if c), default=1)
    ch = max((len(c) for c in cells), default=1)
    cols = min(per_row, len(cells)) or 1
    width = min(cols * (cw + gap) + gap, 8000)
    height = min(((len(cells) + cols - 1) // cols) * (ch + gap) + gap, 8000)
    rows = [bytearray(b"\xff" * width) for _ in range(height)]
    for i, cell in enumerate(cells):
        ox, oy = gap + (i % cols) * (cw + gap), gap + (i // cols) * (ch + gap)
        for y, line in enumerate(cell):
            for x, ink in enumerate(line):
                if ink and oy + y < height and ox + x < width:
                    rows[oy + y][ox + x] = 0
    png(path, width, height, rows)


def safe_name(name):
    return re.sub(r"[^A-Za-z0-9_.-]", "_", name)[:64] or "font"


def keep_fonts(d, data, base, cfg):
    """Applies the job's font commands to the printer's memory; a refusal in words, or None."""
    events = font_events(data)
    if not events:
        return None
    fonts = os.path.join(d, "fonts")
    os.makedirs(fonts, exist_ok=True)
    used = sum(os.path.getsize(os.path.join(fonts, f)) for f in os.listdir(fonts)
               if f.endswith((".ttf", ".glyphs")))
    capacity = cfg.get("memory", MEMORY)
    name, ttf, chars = None, b"", []
    for e in events:
        if e[0] == "head":
            name = safe_name(e[2])
            if e[1][0] == 3:
                for ext in (".ttf", ".glyphs", ".png"):
                    path = os.path.join(fonts, name + ext)
                    if os.path.exists(path):
                        os.remove(path)
        elif e[0] == "data":
            ttf += e[1]
        else:
            chars.append((e[1], e[2]))
    if name is None or not (ttf or chars):
        return None
    size = len(ttf) + sum(16 + len(b) for _, b in chars)
    for ext in (".ttf", ".glyphs"):
        old = os.path.join(fonts, name + ext)
        if os.path.exists(old):
            used -= os.path.getsize(old)
    if cfg.get("fault") == "memory" or used + size > capacity:
        return ("printer memory full: font %s needs %d bytes, %d of %d bytes are free; the font was not kept\n"
                % (name, size, max(0, capacity - used), capacity))
    if ttf:
        with open(os.path.join(fonts, name + ".ttf"), "wb") as f:
            f.write(ttf)
    if chars:
        with open(os.path.join(fonts, name + ".glyphs"), "wb") as f:
            for nums, bits in chars:
                f.write(struct.pack("<6HI", *nums[:5], 0, len(bits)) + bits)
        upright = [c for c in chars if c[0][4] == 0] or chars
        draw_glyphs(os.path.join(fonts, name + ".png"), upright)
        shutil.copyfile(os.path.join(fonts, name + ".png"), base + "-glyphs.png")
    return None


def png(path, width, height, rows, colour=False):
    def chunk(kind, body):
        c = struct.pack(">I", len(body)) + kind + body
        return c + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(r) for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2 if colour else 0, 0, 0, 0)))
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
    if draw_colour(base + ".png", data, load_config(os.path.dirname(job) or ".")):
        return
    bars = boxes(data)
    if bars:
        draw(base + ".png", bars)


# Colour commands of the three languages: plane colour (plane, RRGGBB),
# registration (head count, four x, four y offsets in tenths of a dot),
# registration test (head count), alignment pattern (head, reference head,
# x range, y range).
COLOUR = re.compile(
    rb"\^C(?P<z>[PRTA])(?P<zv>[-\d,A-F]*)\n"
    rb"|\x1b(?P<i>[PRTA])(?P<iv>[-\d;A-F]*)\r\n"
    rb"|\{C(?P<t>[PRTA]);(?P<tv>[-\d,A-F]*)\|\}\n")


def colour_commands(data):
    found = []
    for m in COLOUR.finditer(data):
        kind = (m.group("z") or m.group("i") or m.group("t")).decode()
        values = re.split(rb"[,;]", m.group("zv") or m.group("iv") or m.group("tv") or b"")
        try:
            found.append((kind, [int(v, 16) if kind == "P" and i == 1 else int(v) for i, v in enumerate(values)]))
        except ValueError:
            continue
    return found


def offsets(cfg, key):
    """Eight offsets (four x, four y) in tenths of a dot from a configuration line."""
    try:
        values = [int(v) for v in cfg.get(key, "").split()]
    except ValueError:
        values = []
    values = values[-8:]
    return values + [0] * (8 - len(values))


def apply_registration(data, cfg):
    changed = False
    for kind, values in colour_commands(data):
        if kind == "R" and len(values) == 9 and 0 <= values[0] <= 4:
            cfg["registration"] = " ".join(str(v) for v in values[1:])
            changed = True
    return changed


def mix(a, b):
    """Inks on top of each other: what the driver's palette does."""
    return tuple(255 - min(255, (255 - x) + (255 - y)) for x, y in zip(a, b))


def draw_colour(path, data, cfg):
    """Registration test and alignment patterns in the planes' colours; False without colour commands."""
    commands = colour_commands(data)
    planes = {}
    shapes = []   # (x, y, w, h, rgb)
    reg, mis = offsets(cfg, "registration"), offsets(cfg, "misregistration")
    for kind, v in commands:
        if kind == "P" and len(v) == 2 and 0 <= v[0] < 4:
            planes[v[0]] = ((v[1] >> 16) & 255, (v[1] >> 8) & 255, v[1] & 255)
        elif kind == "T" and len(v) == 1:
            # Every head draws the same cross and a swatch where its registration puts it.
            for h in range(min(v[0], 4)):
                c = planes.get(h, (0, 0, 0))
                dx, dy = (reg[h] + mis[h]) // 10, (reg[4 + h] + mis[4 + h]) // 10
                ox, oy = 220 + dx, 220 + dy
                shapes += [(ox - 150, oy - 3, 300, 6, c), (ox - 3, oy - 150, 6, 300, c),
                           (ox - 150 + 80 * h, oy + 170, 60, 60, c)]
        elif kind == "A" and len(v) == 6 and 0 <= v[0] < 4 and 0 <= v[1] < 4:
            head, ref, x0, x1, y0, y1 = v
            hc, rc = planes.get(head, (0, 0, 0)), planes.get(ref, (0, 0, 0))
            widest = max(abs(x0), abs(x1), abs(y0), abs(y1), 0) // 10
            step = min(2 * widest + 40, 460)
            for k in range(9):
                # Column k and row k print the head moved by the k-th offset of the range.
                cx = (x0 + ((x1 - x0) * k + 4) // 8 + mis[head] - mis[ref]) // 10
                cy = (y0 + ((y1 - y0) * k + 4) // 8 + mis[4 + head] - mis[4 + ref]) // 10
                # Columns on top: the head's line continues the reference's below it.
                # Rows under them: the head's line continues the reference's to its right.
                at = widest + 20 + k * step
                rows_at = 200 + widest
                shapes += [(at, 0, 4, 60, rc), (at + cx, 60, 4, 60, hc),
                           (at - 40, rows_at, 40, 4, rc), (at, rows_at + cy, 40, 4, hc)]
    if not shapes:
        return False
    left = min(min(x for x, y, w, h, c in shapes), 0)
    top = min(min(y for x, y, w, h, c in shapes), 0)
    margin = 8
    width = min(max(x + w for x, y, w, h, c in shapes) - left + 2 * margin, 8000)
    height = min(max(y + h for x, y, w, h, c in shapes) - top + 2 * margin, 8000)
    rows = [bytearray(b"\xff" * (3 * width)) for _ in range(height)]
    for x, y, w, h, c in shapes:
        x0, y0 = max(0, x - left + margin), max(0, y - top + margin)
        x1, y1 = min(width, x - left + margin + w), min(height, y - top + margin + h)
        for row in rows[y0:y1]:
            for px in range(x0, x1):
                row[3 * px:3 * px + 3] = bytes(mix(tuple(row[3 * px:3 * px + 3]), c))
    png(path, width, height, rows, colour=True)
    return True


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
    if apply_config(data, cfg) | apply_registration(data, cfg):
        save_config(d, cfg)
    render(path)
    refused = keep_fonts(d, data, os.path.splitext(path)[0], cfg)
    if refused:
        with open(os.path.splitext(path)[0] + ".txt", "w") as f:
            f.write(refused)
        return 1
    return 0


def main(argv):
    if len(argv) == 2 and argv[1] in ("-h", "--help"):
        print(__doc__.strip())
        return 0
    if len(argv) == 3 and argv[1] == "receive":
        return receive(argv[2])
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
