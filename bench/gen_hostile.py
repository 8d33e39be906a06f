#!/usr/bin/env python3
"""Writes the costliest plot files we know of, each about SIZE bytes, into a
folder: commands whose output is many times their own length (arcs with the
finest chord angle, wedges, Bezier runs, stroke-font labels, hatched fills),
single commands at the buffer limit, and noise. The converter must take time
in proportion to the input for every one of them.
    gen_hostile.py FOLDER [SIZE]"""
import os
import random
import sys

folder = sys.argv[1]
size = int(sys.argv[2]) if len(sys.argv) > 2 else 1 << 20
os.makedirs(folder, exist_ok=True)


def write(name, text):
    with open(os.path.join(folder, name + ".plt"), "w", encoding="latin-1", newline="") as f:
        f.write(text)


def repeated(name, unit, head="IN;SP1;PD;"):
    write(name, head + unit * ((size - len(head)) // len(unit)))


# Every arc at the finest chord angle: about 720 points per command.
repeated("arcs_fine_chord", "PA5000,5000;AA5000,4000,359,0.5;")
repeated("circles_fine_chord", "CI3000,0.5;")
repeated("edge_wedges", "EW3000,0,359,0.5;")
repeated("filled_wedges", "WG3000,0,359,0.5;")
repeated("arcs_relative_huge_sweep", "AR100,100,1e9,0.5;")
# One Bezier command with as many control points as the buffer holds.
pts = []
n = 0
while n < size - 40 or len(pts) % 6:
    p = str(len(pts) % 9000)
    pts.append(p)
    n += len(p) + 1
write("bezier_one_command", "IN;SP1;PA0,0;PD;BZ" + ",".join(pts) + ";")
repeated("bezier_many", "BZ0,0,100,900,900,100;")
# Stroke-font labels (the converter draws each character as strokes when
# configured to; the run measures them either way).
repeated("labels", "LBABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789\x03")
repeated("labels_control_chars", "LB\r\n\r\n\r\n\x08\x08\x08\x08\x03")
repeated("labels_big_rotated", "DI1,1;SI99,99;LBX\x03DR-1,1;CP99,-99;LBY\x03")
repeated("pens_and_line_types", "SP1;SP2;PW0.5;LT2,1;SP3;WU1;PT0.1;")
repeated("hatched_fills", "FT3,1,45;RA9000,9000;FT4,1,30;RR100,100;FT1;WG500,0,90;")
repeated("polygon_mode", "PM0;PD1,1,2,2,3,1;PM1;PD4,4,5,5;PM2;FP;EP;")
repeated("user_line_type", "UL1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;LT1;PD0,0,9000,9000;")
repeated("tiny_scaling", "IP0,0,1,1;SC0,1e-9,0,1e-9;PD1,1;")
repeated("empty_commands", ";")
repeated("unknown_commands", "ZZ;QQ1,2,3;")
repeated("escapes", "\x1bE\x1b%-12345X\x1b.N;\x1b.@;")
# Single commands at the limit of the command buffer.
# Pen-down pairs of one-digit numbers: the densest geometry PE can carry.
write("pe_one_command", "IN;SP1;PE" + "\xc1\xc2" * ((size - 20) // 2) + ";")
repeated("pe_many", "PE:\xc1<=\xc1\xc1\xc1\xc2\xc2\xc1;")
write("label_one_command", "IN;SP1;LB" + "A" * (size - 20) + "\x03")
rnd = random.Random(1)
with open(os.path.join(folder, "random_bytes.plt"), "wb") as f:
    f.write(bytes(rnd.randrange(256) for _ in range(size)))
