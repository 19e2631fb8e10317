#!/usr/bin/env python3
"""Writes apca_pairs.tsv: random text/background pairs and their APCA Lc, worked out here from the
published formula with Python's own arithmetic, for the program's APCA to be checked against."""
import random

def screen_y(hex_colour):
    r, g, b = (int(hex_colour[i:i + 2], 16) / 255 for i in (1, 3, 5))
    return 0.2126729 * r ** 2.4 + 0.7151522 * g ** 2.4 + 0.0721750 * b ** 2.4

def lc(text, background):
    t, b = screen_y(text), screen_y(background)
    t = t if t > 0.022 else t + (0.022 - t) ** 1.414
    b = b if b > 0.022 else b + (0.022 - b) ** 1.414
    if abs(b - t) < 0.0005:
        return 0.0
    if b > t:
        s = (b ** 0.56 - t ** 0.57) * 1.14
        return 0.0 if s < 0.1 else (s - 0.027) * 100
    s = (b ** 0.65 - t ** 0.62) * 1.14
    return 0.0 if s > -0.1 else (s + 0.027) * 100

rng = random.Random(20)
colour = lambda: "#%02x%02x%02x" % (rng.randrange(256), rng.randrange(256), rng.randrange(256))
grey = lambda: "#" + ("%02x" % rng.randrange(256)) * 3
with open("apca_pairs.tsv", "w") as out:
    out.write("# text\tbackground\tLc (APCA 0.0.98G-4g)\n")
    for n in range(400):
        text, background = (grey(), grey()) if n % 5 == 0 else (colour(), colour())
        out.write("%s\t%s\t%.6f\n" % (text, background, lc(text, background)))
