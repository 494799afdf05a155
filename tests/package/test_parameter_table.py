#!/usr/bin/env python3
"""The manual's parameter table generator against a stand-in for vsthost: the table follows
what the plug-in reports, and any disagreement with the descriptions stops the build."""

import os
import stat
import subprocess
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "..", "..", "manual", "parameter_table.py")

# A plug-in with a switch, a three-way choice, a level in dB and a value that displays a
# text with a '|' in it. It answers `info` and `--param` the way vsthost prints them.
FAKE_VSTHOST = textwrap.dedent("""\
    #!/usr/bin/env python3
    import sys
    params = [("power", "", lambda v: "off" if v < 0.5 else "on", 1.0),
              ("mode", "", lambda v: ["slow", "mid", "fast"][min(int(v * 3), 2)], 0.0),
              ("gain", "dB", lambda v: "%.1f" % (-60 + 66 * v), 0.5),
              ("pipe", "", lambda v: "a|b" if v < 0.5 else "c", 0.0)]
    if sys.argv[1] != "info":
        sys.exit(2)
    args = sys.argv[3:]
    while args:
        assert args[0] == "--param"
        index, value = args[1].split("=")
        name, label, show, _ = params[int(index)]
        v = float(value)
        print("param set %s: %s = %f [%s]" % (index, name, v, show(v)))
        args = args[2:]
    print("params: %d" % len(params))
    for i, (name, label, show, default) in enumerate(params):
        print("param %d: %s = %f [%s] '%s'" % (i, name, default, show(default), label))
    """)

DESCRIPTIONS = textwrap.dedent("""\
    # comment
    power: Switches it.
    mode: How fast.

    gain: How loud.
    pipe: Shows a bar.
    """)


class ParameterTable(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.host = os.path.join(self.dir.name, "vsthost")
        with open(self.host, "w") as f:
            f.write(FAKE_VSTHOST)
        os.chmod(self.host, os.stat(self.host).st_mode | stat.S_IEXEC)

    def tearDown(self):
        self.dir.cleanup()

    def run_generator(self, descriptions):
        path = os.path.join(self.dir.name, "parameters.txt")
        with open(path, "w") as f:
            f.write(descriptions)
        out = os.path.join(self.dir.name, "table.md")
        result = subprocess.run([sys.executable, GENERATOR, self.host, "module.so", path, out],
                                capture_output=True, text=True)
        table = open(out).read() if os.path.exists(out) else None
        return result, table

    def test_rows_come_from_the_plugin(self):
        result, table = self.run_generator(DESCRIPTIONS)
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = [line for line in table.splitlines() if line.startswith("| ") and line[2].isdigit()]
        self.assertEqual(len(rows), 4)
        # Few display texts are listed as choices in the order they appear; many are a range.
        self.assertEqual(rows[0], "| 0 | power | on | off, on | Switches it. |")
        self.assertEqual(rows[1], "| 1 | mode | slow | slow, mid, fast | How fast. |")
        self.assertEqual(rows[2], "| 2 | gain | -27.0 dB | -60.0 to 6.0 dB | How loud. |")
        # A '|' in a text cannot break the table.
        self.assertEqual(rows[3], "| 3 | pipe | a\\|b | a\\|b, c | Shows a bar. |")

    def test_a_parameter_without_a_description_stops_the_build(self):
        result, table = self.run_generator(DESCRIPTIONS.replace("gain: How loud.\n", ""))
        self.assertEqual(result.returncode, 1)
        self.assertIn("does not describe the parameter(s) gain", result.stderr)
        self.assertIsNone(table)

    def test_a_description_of_a_parameter_that_is_gone_stops_the_build(self):
        result, table = self.run_generator(DESCRIPTIONS + "volume: Old.\n")
        self.assertEqual(result.returncode, 1)
        self.assertIn("does not have: volume", result.stderr)
        self.assertIsNone(table)

    def test_malformed_and_repeated_lines_are_refused(self):
        result, _ = self.run_generator(DESCRIPTIONS + "no colon here\n")
        self.assertEqual(result.returncode, 1)
        self.assertIn("expected 'NAME: TEXT'", result.stderr)
        result, _ = self.run_generator(DESCRIPTIONS + "mode: Again.\n")
        self.assertEqual(result.returncode, 1)
        self.assertIn("'mode' is described twice", result.stderr)

    def test_a_failing_host_stops_the_build(self):
        with open(self.host, "w") as f:
            f.write("#!/bin/sh\necho 'cannot load module' >&2\nexit 1\n")
        result, table = self.run_generator(DESCRIPTIONS)
        self.assertEqual(result.returncode, 1)
        self.assertIn("cannot load module", result.stderr)
        self.assertIsNone(table)


if __name__ == "__main__":
    unittest.main()
