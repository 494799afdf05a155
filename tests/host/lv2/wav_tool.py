#!/usr/bin/env python3
"""WAV files for the LV2 tests, built on the Ardour test's signal and WAV reader.

Subcommands (a failure prints a reason on stderr and exits 1):
  write4  OUT_DIR FRAMES RATE     in-L.wav and in-R.wav (the Ardour test signal, mono) and
                                  in-4.wav: four channels, L, R and two others
  same    IN_WAV OUT_WAV CH...    OUT's channel k equals IN's channel CH[k] sample for sample
"""

import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ardour"))
import session_tool  # noqa: E402


def write_wav(path, channels, rate):
    frames = len(channels[0])
    interleaved = [channels[c][n] for n in range(frames) for c in range(len(channels))]
    data = struct.pack(f"<{len(interleaved)}f", *interleaved)
    n = len(channels)
    fmt = struct.pack("<HHIIHH", session_tool.WAVE_FORMAT_IEEE_FLOAT, n, rate, rate * 4 * n,
                      4 * n, 32)
    fact = struct.pack("<I", frames)
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"fact" + struct.pack("<I", len(fact)) + fact
            + b"data" + struct.pack("<I", len(data)) + data)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def cmd_write4(out_dir, frames, rate):
    left, right = session_tool.test_signal(frames, rate)
    third = [0.7 * math.sin(2 * math.pi * 1234.5 * n / rate) for n in range(frames)]
    fourth = [(-0.5 if (n // 100) % 2 else 0.5) for n in range(frames)]
    session_tool.cmd_signal(out_dir, frames, rate)
    write_wav(os.path.join(out_dir, "in-4.wav"), [left, right, third, fourth], rate)


def cmd_same(in_wav, out_wav, picks):
    _, ins = session_tool.read_wav(in_wav)
    _, outs = session_tool.read_wav(out_wav)
    if len(outs) != len(picks):
        raise session_tool.ToolError(f"{out_wav} has {len(outs)} channels, expected {len(picks)}")
    for k, c in enumerate(picks):
        ref, got = ins[c], outs[k]
        if len(got) != len(ref):
            raise session_tool.ToolError(f"output channel {k + 1} has {len(got)} frames, "
                                         f"expected {len(ref)}")
        for n, (a, b) in enumerate(zip(ref, got)):
            if a != b:
                raise session_tool.ToolError(f"output channel {k + 1} differs from input "
                                             f"channel {c + 1} at frame {n}: {b} != {a}")
    print(f"{out_wav}: {len(picks)} channels equal to input channels "
          f"{', '.join(str(c + 1) for c in picks)}, {len(outs[0])} frames")


def main(argv):
    try:
        if len(argv) == 4 and argv[0] == "write4":
            cmd_write4(argv[1], int(argv[2]), int(argv[3]))
        elif len(argv) >= 4 and argv[0] == "same":
            cmd_same(argv[1], argv[2], [int(c) - 1 for c in argv[3:]])
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except session_tool.ToolError as e:
        print(f"FAIL: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
