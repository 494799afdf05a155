#!/usr/bin/env python3
"""Writes the manual's parameter table from what the plug-in itself reports.

The names, defaults, units and values come from `vsthost info` runs on the built module, so
the table cannot drift from the code; only the sentence on what each parameter does comes
from the descriptions file. Any mismatch between the two stops the build.

Usage: parameter_table.py VSTHOST MODULE DESCRIPTIONS OUTPUT.md
"""

import re
import subprocess
import sys

# "param 3: input 3 = 0.000000 [off] ''" from info, "param set 3: input 3 = 0.000000 [off]"
# after a --param.
INFO_LINE = re.compile(r"^param (\d+): (.*) = (-?[0-9.]+) \[(.*)\] '(.*)'$")
SET_LINE = re.compile(r"^param set (\d+): (.*) = (-?[0-9.]+) \[(.*)\]$")

# A parameter with at most this many distinct display texts is listed by its choices.
MAX_CHOICES = 8
SWEEP_STEPS = 100


class TableError(Exception):
    pass


def run_info(vsthost, module, settings):
    args = [vsthost, "info", module]
    for index, value in settings:
        args += ["--param", f"{index}={value:.6f}"]
    result = subprocess.run(args, capture_output=True, text=True, check=False)
    if result.returncode != 0:
        raise TableError(f"{' '.join(args[:3])} failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout.splitlines()


def read_params(lines):
    params = []
    for line in lines:
        m = INFO_LINE.match(line)
        if m:
            params.append({"index": int(m[1]), "name": m[2], "normalized": float(m[3]),
                           "display": m[4], "label": m[5]})
    if not params:
        raise TableError("vsthost info listed no parameters")
    return params


def read_set_displays(lines):
    """The display text of every 'param set' line, in order, as (index, text) pairs."""
    return [(int(m[1]), m[4]) for m in map(SET_LINE.match, lines) if m]


def read_descriptions(path):
    descriptions = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            name, sep, text = (part.strip() for part in line.partition(":"))
            if not sep or not name or not text:
                raise TableError(f"{path}:{number}: expected 'NAME: TEXT'")
            if name in descriptions:
                raise TableError(f"{path}:{number}: '{name}' is described twice")
            descriptions[name] = text
    return descriptions


def check_descriptions(params, descriptions, path):
    names = [p["name"] for p in params]
    missing = [n for n in names if n not in descriptions]
    unknown = [n for n in descriptions if n not in names]
    if missing:
        raise TableError(f"{path} does not describe the parameter(s) {', '.join(missing)}")
    if unknown:
        raise TableError(f"{path} describes parameter(s) the plug-in does not have: {', '.join(unknown)}")


def probe_ends(vsthost, module, params):
    """Display texts at normalised 0 and 1. Each parameter is set right before it is read, so a
    parameter that the plug-in keeps apart from another (the two X zooms) shows its own end."""
    ends = {}
    for value in (0.0, 1.0):
        lines = run_info(vsthost, module, [(p["index"], value) for p in params])
        for index, text in read_set_displays(lines):
            ends.setdefault(index, []).append(text)
    return ends


def probe_choices(vsthost, module, params):
    """Distinct display texts over a sweep of each parameter, in order of appearance; each
    parameter goes back to its default before the next one is swept."""
    settings = []
    for p in params:
        settings += [(p["index"], k / SWEEP_STEPS) for k in range(SWEEP_STEPS + 1)]
        settings.append((p["index"], p["normalized"]))
    choices = {}
    for index, text in read_set_displays(run_info(vsthost, module, settings)):
        seen = choices.setdefault(index, [])
        if text not in seen:
            seen.append(text)
    return choices


def with_label(text, label):
    return f"{text} {label}" if label else text


def cell(text):
    return text.replace("|", "\\|")


def values_text(param, ends, choices):
    label = param["label"]
    shown = choices.get(param["index"], [])
    if 0 < len(shown) <= MAX_CHOICES:
        return ", ".join(with_label(t, label) for t in shown)
    low, high = ends[param["index"]]
    return f"{low} to {with_label(high, label)}"


def make_table(params, descriptions, ends, choices):
    rows = ["# Parameters",
            "",
            "These are the names your DAW shows for automation. The defaults are the values of a",
            "new instance.",
            "",
            "| # | Parameter | Default | Values | What it does |",
            "|--:|----------|--------|------------|------------------------------|"]
    for p in params:
        rows.append("| {} | {} | {} | {} | {} |".format(
            p["index"], cell(p["name"]), cell(with_label(p["display"], p["label"])),
            cell(values_text(p, ends, choices)), cell(descriptions[p["name"]])))
    return "\n".join(rows) + "\n"


def main(argv):
    if len(argv) != 5:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    vsthost, module, descriptions_path, output = argv[1:]
    try:
        params = read_params(run_info(vsthost, module, []))
        descriptions = read_descriptions(descriptions_path)
        check_descriptions(params, descriptions, descriptions_path)
        table = make_table(params, descriptions, probe_ends(vsthost, module, params),
                           probe_choices(vsthost, module, params))
    except (TableError, OSError) as e:
        print(f"parameter_table.py: {e}", file=sys.stderr)
        return 1
    with open(output, "w", encoding="utf-8") as f:
        f.write(table)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
