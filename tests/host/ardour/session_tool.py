#!/usr/bin/env python3
"""Helpers for the Ardour host test: the test signal, the session edit that places it on the
track, and the sample-by-sample comparison of the render with the signal.

Subcommands (every failure prints a reason on stderr and exits 1):
  signal  OUT_DIR FRAMES RATE           write in-L.wav and in-R.wav (32-bit float, mono)
  inject  SESSION_FILE AUDIO_DIR TRACK FRAMES RATE
                                        add the two files as one stereo region at position 0
                                        of TRACK's playlist, plus a session range around it
  compare OUT_DIR RENDER_WAV FRAMES     check the render's two channels against the signal
"""

import math
import os
import struct
import sys
import xml.etree.ElementTree as ET

# Ardour 7 writes positions and lengths as "a<superclock>": audio time counted in ticks of
# 1/282240000 s whatever the session's sample rate.
SUPERCLOCK_RATE = 282240000

# Float rounding allowance. The signal is float32 from end to end (file, Ardour's buffers,
# the plug-in's float <-> double round trip, a float export), so a faithful chain is exact;
# the allowance only absorbs a gain stage that is 1.0 in a slightly different spelling.
TOLERANCE = 1e-6

WAVE_FORMAT_PCM = 1
WAVE_FORMAT_IEEE_FLOAT = 3
WAVE_FORMAT_EXTENSIBLE = 0xFFFE


class ToolError(Exception):
    """A failure with a message meant for the person reading the test log."""


def test_signal(frames, rate):
    """Two different channels, so that a swap, a mono fold-down or a dropped channel shows.

    Left: two tones plus a small seeded pseudo-random part (a pure tone hides sample slips
    of a whole period). Right: a slower tone with a ramp, negative for the first half.
    Values stay well inside (-1, 1) so that no stage clips."""
    left, right = [], []
    seed = 12345
    for n in range(frames):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        noise = (seed / 0x7FFFFFFF - 0.5) * 0.1
        t = n / rate
        left.append(0.5 * math.sin(2 * math.pi * 441.0 * t)
                    + 0.25 * math.sin(2 * math.pi * 3001.0 * t) + noise)
        right.append(0.6 * math.sin(2 * math.pi * 97.0 * t) + 0.3 * (n / frames - 0.5))
    # Round through float32 so the reference holds exactly what the files hold.
    as_f32 = lambda xs: list(struct.unpack(f"<{len(xs)}f", struct.pack(f"<{len(xs)}f", *xs)))
    return as_f32(left), as_f32(right)


def write_float_wav(path, samples, rate):
    """A mono 32-bit float WAV; the standard `wave` module writes integer PCM only."""
    data = struct.pack(f"<{len(samples)}f", *samples)
    fmt = struct.pack("<HHIIHH", WAVE_FORMAT_IEEE_FLOAT, 1, rate, rate * 4, 4, 32)
    # A float WAV carries a 'fact' chunk with the frame count.
    fact = struct.pack("<I", len(samples))
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"fact" + struct.pack("<I", len(fact)) + fact
            + b"data" + struct.pack("<I", len(data)) + data)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def read_wav(path):
    """Returns (rate, channels as lists of floats). Reads integer PCM (16/24/32) and float
    (32/64), plain or extensible, skipping any other chunk (Ardour writes 'bext' and more)."""
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as e:
        raise ToolError(f"cannot read {path}: {e.strerror}")
    if len(raw) < 12 or raw[0:4] != b"RIFF" or raw[8:12] != b"WAVE":
        raise ToolError(f"{path} is not a RIFF/WAVE file")
    fmt, data, pos = None, None, 12
    while pos + 8 <= len(raw):
        cid, size = raw[pos:pos + 4], struct.unpack("<I", raw[pos + 4:pos + 8])[0]
        body = raw[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = body
        elif cid == b"data":
            data = body
        pos += 8 + size + (size & 1)  # chunks are padded to even sizes
    if fmt is None or data is None or len(fmt) < 16:
        raise ToolError(f"{path} has no usable fmt/data chunks")
    tag, nch, rate, _, align, bits = struct.unpack("<HHIIHH", fmt[:16])
    if tag == WAVE_FORMAT_EXTENSIBLE and len(fmt) >= 26:
        tag = struct.unpack("<H", fmt[24:26])[0]  # first two bytes of the sub-format GUID
    width = bits // 8
    if nch < 1 or align != nch * width:
        raise ToolError(f"{path}: unexpected layout ({nch} channels, block {align}, {bits} bits)")
    frames = len(data) // align
    if tag == WAVE_FORMAT_IEEE_FLOAT and bits in (32, 64):
        code = "f" if bits == 32 else "d"
        flat = struct.unpack(f"<{frames * nch}{code}", data[:frames * align])
    elif tag == WAVE_FORMAT_PCM and bits in (16, 24, 32):
        flat = [pcm_sample(data, i * width, width) for i in range(frames * nch)]
    else:
        raise ToolError(f"{path}: unsupported sample format (tag {tag}, {bits} bits)")
    return rate, [list(flat[c::nch]) for c in range(nch)]


def pcm_sample(data, offset, width):
    value = int.from_bytes(data[offset:offset + width], "little", signed=True)
    return value / float(1 << (8 * width - 1))


def cmd_signal(out_dir, frames, rate):
    left, right = test_signal(frames, rate)
    write_float_wav(os.path.join(out_dir, "in-L.wav"), left, rate)
    write_float_wav(os.path.join(out_dir, "in-R.wav"), right, rate)


def cmd_inject(session_file, audio_dir, track, frames, rate):
    """Ardour's Lua has no import call, so the region is written into the saved session the
    way an import would leave it: one Source per mono file (found by name in the session's
    audiofiles folder), a whole-file region in the session's region list, and a copy of it
    on the track's playlist."""
    try:
        tree = ET.parse(session_file)
    except (OSError, ET.ParseError) as e:
        raise ToolError(f"cannot parse {session_file}: {e}")
    root = tree.getroot()
    route = next((r for r in root.iter("Route") if r.get("name") == track), None)
    if route is None or not route.get("audio-playlist"):
        raise ToolError(f"no audio track named '{track}' in {session_file}")
    playlist = next((p for p in root.iter("Playlist")
                     if p.get("id") == route.get("audio-playlist")), None)
    sources, regions = root.find("Sources"), root.find("Regions")
    if playlist is None or sources is None or regions is None:
        raise ToolError(f"{session_file} lacks the track's playlist or the source/region lists")

    # New objects take ids above the session's counter, which is then moved past them:
    # two sources, the whole-file region, the playlist's region and the session range.
    first = int(root.get("id-counter", "0")) + 1
    ids = list(range(first, first + 5))
    root.set("id-counter", str(ids[-1] + 1))
    for sid, name in zip(ids[:2], ("in-L.wav", "in-R.wav")):
        if not os.path.isfile(os.path.join(audio_dir, name)):
            raise ToolError(f"{name} is not in {audio_dir}")
        ET.SubElement(sources, "Source", {
            "name": name, "type": "audio", "flags": "", "id": str(sid),
            "captured-for": "", "take-id": "", "channel": "0", "origin": "", "gain": "1"})

    end = f"a{frames * SUPERCLOCK_RATE // rate}"
    for rid, parent, whole in ((ids[2], regions, "1"), (ids[3], playlist, "0")):
        ET.SubElement(parent, "Region", region_attributes(rid, ids[0], ids[1], end, whole))

    # The session range is what a render covers; an import would have set it.
    locations = root.find("Locations")
    if locations is None:
        locations = ET.SubElement(root, "Locations")
    ET.SubElement(locations, "Location", {
        "id": str(ids[4]), "name": "session", "start": "a0", "end": end,
        "flags": "IsSessionRange", "locked": "0", "timestamp": "0", "cue": "0"})
    tree.write(session_file, encoding="UTF-8", xml_declaration=True)


def region_attributes(rid, left_id, right_id, end, whole_file):
    # Lengths are durations, written as "<distance>@<origin>"; a bare "a<n>" makes Ardour's
    # parser read an empty origin and abort the whole session load.
    # Fades are switched off: Ardour's default 64-sample fades would otherwise shape the first
    # and last samples, and the comparison is meant to be exact.
    return {
        "name": "in", "id": str(rid), "type": "audio", "whole-file": whole_file,
        "import": "1", "external": "0", "muted": "0", "opaque": "1", "locked": "0",
        "video-locked": "0", "automatic": "0", "hidden": "0", "position-locked": "0",
        "valid-transients": "0", "sync-marked": "0", "left-of-split": "0",
        "right-of-split": "0", "start": "a0", "length": f"{end}@a0", "position": "a0",
        "sync-position": "a0", "ancestral-start": "a0", "ancestral-length": "a0@a0",
        "stretch": "1", "shift": "1", "layering-index": "0", "tags": "",
        "scale-amplitude": "1", "envelope-active": "0", "default-fade-in": "1",
        "default-fade-out": "1", "fade-in-active": "0", "fade-out-active": "0",
        # Without "channels" Ardour reads only source-0 and plays it on both track channels.
        "channels": "2", "source-0": str(left_id), "source-1": str(right_id),
        "master-source-0": str(left_id), "master-source-1": str(right_id)}


def cmd_compare(out_dir, render, frames):
    """Sample-by-sample comparison. The render must start with the signal's first sample:
    Ardour aligns the export for the latency its plug-ins report, and the plug-in under test
    reports none, so no offset is allowed. Extra frames at the end must be silence."""
    ref_rate, (ref_l,) = read_wav(os.path.join(out_dir, "in-L.wav"))
    _, (ref_r,) = read_wav(os.path.join(out_dir, "in-R.wav"))
    rate, chans = read_wav(render)
    if rate != ref_rate:
        raise ToolError(f"render is at {rate} Hz, the input at {ref_rate} Hz")
    if len(chans) != 2:
        raise ToolError(f"render has {len(chans)} channels, expected 2")
    if len(chans[0]) < frames:
        raise ToolError(f"render holds {len(chans[0])} frames, expected at least {frames}")
    if max(abs(x) for c in chans for x in c) == 0.0:
        raise ToolError("render is pure silence: the region or the plug-in produced nothing")
    for name, ref, got in (("left", ref_l, chans[0]), ("right", ref_r, chans[1])):
        for n in range(frames):
            # Written so that a NaN or an infinity in the render counts as a mismatch.
            if not abs(got[n] - ref[n]) <= TOLERANCE:
                raise ToolError(f"{name} channel differs at frame {n}: rendered {got[n]!r}, "
                                f"input {ref[n]!r}{offset_hint(ref, got, n)}")
        tail = max((abs(x) for x in got[frames:]), default=0.0)
        if not tail <= TOLERANCE:
            raise ToolError(f"{name} channel is not silent after the signal (peak {tail})")
    print(f"render matches the input: {frames} frames x 2 channels, "
          f"max error {max_error(ref_l, ref_r, chans, frames):.3g}")


def offset_hint(ref, got, at):
    """On a mismatch, say whether the render is the input shifted by a few frames: that points
    at latency handling rather than at the plug-in's processing."""
    for shift in range(-2048, 2049):
        window = range(max(at - shift, 0), min(len(ref), len(got) - shift, at + 1024))
        if shift == 0 or len(window) < 256:
            continue
        if all(abs(got[n + shift] - ref[n]) <= TOLERANCE for n in window):
            return f" (the render looks like the input delayed by {shift} frames)"
    return ""


def max_error(ref_l, ref_r, chans, frames):
    return max(max(abs(chans[0][n] - ref_l[n]), abs(chans[1][n] - ref_r[n]))
               for n in range(frames))


def main(argv):
    try:
        if len(argv) == 4 and argv[0] == "signal":
            cmd_signal(argv[1], int(argv[2]), int(argv[3]))
        elif len(argv) == 6 and argv[0] == "inject":
            cmd_inject(argv[1], argv[2], argv[3], int(argv[4]), int(argv[5]))
        elif len(argv) == 4 and argv[0] == "compare":
            cmd_compare(argv[1], argv[2], int(argv[3]))
        else:
            raise ToolError("usage: see the top of session_tool.py")
    except ToolError as e:
        print(f"session_tool: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
