#!/usr/bin/env python3
"""The LV2 Ardour test trusts lv2_state.py to find the program chunk in a saved state: these
cases make sure a missing, damaged or different chunk is reported, not read as values."""

import base64
import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import lv2_state  # noqa: E402

KEY = "urn:orbek:virlex#program"


def state_ttl(chunk, long_literal=True):
    text = base64.b64encode(chunk).decode()
    # lilv breaks long base64 literals over lines.
    text = "\n".join(text[i:i + 76] for i in range(0, len(text), 76))
    literal = f'"""{text}"""' if long_literal else f'"{text}"'
    return f"<>\n\tstate:state [\n\t\t<{KEY}> {literal}^^xsd:base64Binary\n\t] .\n"


def chunk(*values, magic=b"tffp", version=0x10000):
    return magic + struct.pack("<i", version) + struct.pack(f"<{len(values)}d", *values)


class ProgramValues(unittest.TestCase):
    def test_reads_every_double_after_the_header_in_both_literal_forms(self):
        values = [1.0, -13.5, 45.0, 0.25] + [0.5] * 12
        for long_literal in (True, False):
            ttl = state_ttl(chunk(*values), long_literal)
            self.assertEqual(lv2_state.program_values(ttl, KEY), values)

    def test_a_missing_key_a_wrong_header_or_a_torn_chunk_is_an_error(self):
        with self.assertRaisesRegex(ValueError, "no property"):
            lv2_state.program_values(state_ttl(chunk(1.0)), "urn:other#program")
        with self.assertRaisesRegex(ValueError, "program header"):
            lv2_state.program_values(state_ttl(chunk(1.0, magic=b"pfft")), KEY)
        with self.assertRaisesRegex(ValueError, "program header"):
            lv2_state.program_values(state_ttl(chunk(1.0, version=2)), KEY)
        with self.assertRaisesRegex(ValueError, "whole doubles"):
            lv2_state.program_values(state_ttl(chunk(1.0) + b"\x00"), KEY)


if __name__ == "__main__":
    unittest.main()
