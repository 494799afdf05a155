#!/usr/bin/env python3
"""Finds a plug-in's entry in an Ardour mixer strip on a screenshot.

Usage: find_processor.py SCREEN.ppm  ->  prints "X Y", the centre of the widest run of the
dark red that Ardour 7's default theme paints plug-in entries with (lighter when selected),
or exits 1."""

import sys


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maximum
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit("not an 8-bit PPM")
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def is_entry_red(r, g, b):
    # The entry's dark red, or the lighter red it turns once selected (a double click that
    # came too slowly for GTK arrives as a single click and selects it).
    plain = 0x5A <= r <= 0x7A and 0x2A <= g <= 0x3A
    selected = 0x80 <= r <= 0x96 and 0x50 <= g <= 0x60
    return (plain or selected) and abs(g - b) <= 2 and r - g >= 0x28


def main():
    width, height, pixels = read_ppm(sys.argv[1])
    best = (0, 0, 0)  # run length, x centre, y
    for y in range(height):
        run = 0
        row = pixels[y * width * 3:(y + 1) * width * 3]
        for x in range(width):
            if is_entry_red(row[3 * x], row[3 * x + 1], row[3 * x + 2]):
                run += 1
                if run > best[0]:
                    best = (run, x - run // 2, y)
            else:
                run = 0
    if best[0] < 40:
        sys.exit(1)
    print(best[1], best[2])


main()
