#!/usr/bin/env python3
"""Reads a plug-in's program chunk from the LV2 state Ardour saved (state.ttl) and checks
parameter values in it.

Usage: lv2_state.py STATE_TTL KEY_URI INDEX=VALUE...
The chunk is the property KEY_URI, base64 in the Turtle: "tffp", the format 0x00010000,
then each parameter's real value as a little-endian double. Exits 1 with a reason when the
property is missing or damaged or a value differs.
"""

import base64
import re
import struct
import sys


def program_values(ttl, key):
    # A short or a long ("""...""") string literal, typed xsd:base64Binary.
    match = re.search(r"<" + re.escape(key) + r'>\s+"(?:"")?([A-Za-z0-9+/=\s]*)"', ttl)
    if match is None:
        raise ValueError(f"the state has no property <{key}>")
    chunk = base64.b64decode("".join(match.group(1).split()))
    if len(chunk) < 8 or chunk[0:4] != b"tffp" or struct.unpack("<i", chunk[4:8])[0] != 0x10000:
        raise ValueError(f"the chunk does not start with the program header: {chunk[:8]!r}")
    if (len(chunk) - 8) % 8 != 0:
        raise ValueError(f"the chunk's {len(chunk)} bytes are not a header and whole doubles")
    return list(struct.unpack(f"<{(len(chunk) - 8) // 8}d", chunk[8:]))


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[0], encoding="utf-8") as f:
        ttl = f.read()
    try:
        values = program_values(ttl, argv[1])
    except ValueError as e:
        print(f"FAIL: {e}", file=sys.stderr)
        return 1
    print("state: " + " ".join(f"{i}={v:g}" for i, v in enumerate(values)))
    for check in argv[2:]:
        index, expected = check.split("=")
        got = values[int(index)]
        if abs(got - float(expected)) > 1e-6:
            print(f"FAIL: parameter {index} is {got} in the state, expected {expected}",
                  file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
