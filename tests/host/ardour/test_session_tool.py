#!/usr/bin/env python3
"""The Ardour host test is only as strict as its comparison and its WAV reader: these cases
make sure that the faults a broken chain produces are reported, not waved through."""

import os
import struct
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import session_tool as tool  # noqa: E402

FRAMES = 4800
RATE = 48000


def write_wav(path, channels, rate=RATE, tag=3, bits=32):
    """Interleaved WAV with an extra chunk before the data, as Ardour writes them."""
    frames = len(channels[0])
    flat = [channels[c][n] for n in range(frames) for c in range(len(channels))]
    if tag == 3:
        data = struct.pack(f"<{len(flat)}f", *flat)
    else:
        data = b"".join(int(round(x * 32767)).to_bytes(2, "little", signed=True) for x in flat)
    align = len(channels) * bits // 8
    fmt = struct.pack("<HHIIHH", tag, len(channels), rate, rate * align, align, bits)
    bext = b"\0" * 7  # odd size: the reader must honour the pad byte
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"bext" + struct.pack("<I", len(bext)) + bext + b"\0"
            + b"data" + struct.pack("<I", len(data)) + data)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


class CompareTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        tool.cmd_signal(self.dir.name, FRAMES, RATE)
        self.left = tool.read_wav(os.path.join(self.dir.name, "in-L.wav"))[1][0]
        self.right = tool.read_wav(os.path.join(self.dir.name, "in-R.wav"))[1][0]

    def tearDown(self):
        self.dir.cleanup()

    def compare(self, channels, rate=RATE):
        path = os.path.join(self.dir.name, "render.wav")
        write_wav(path, channels, rate)
        tool.cmd_compare(self.dir.name, path, FRAMES)

    def assert_rejected(self, channels, words, rate=RATE):
        with self.assertRaises(tool.ToolError) as caught:
            self.compare(channels, rate)
        self.assertIn(words, str(caught.exception))

    def test_identical_render_passes_and_signal_channels_differ(self):
        self.compare([self.left, self.right])
        self.assertNotEqual(self.left[:100], self.right[:100])
        self.assertTrue(all(-1.0 < x < 1.0 for x in self.left + self.right))

    def test_faults_of_a_broken_chain_are_reported(self):
        nan = self.left[:50] + [float("nan")] + self.left[51:]
        self.assert_rejected([nan, self.right], "left channel differs at frame 50")
        self.assert_rejected([self.right, self.left], "left channel differs at frame 0")
        self.assert_rejected([self.left, self.left], "right channel differs at frame 0")
        self.assert_rejected([[0.0] * FRAMES, [0.0] * FRAMES], "pure silence")
        self.assert_rejected([self.left], "1 channels")
        self.assert_rejected([self.left[:-1], self.right[:-1]], "expected at least")
        self.assert_rejected([self.left, self.right], "Hz", rate=44100)

    def test_a_delay_is_named_as_such(self):
        delayed = [[0.0] * 7 + ch[:-7] for ch in (self.left, self.right)]
        self.assert_rejected(delayed, "delayed by 7 frames")

    def test_a_change_below_the_allowance_passes_and_above_it_fails(self):
        nudged = [x + 1e-7 for x in self.left]
        self.compare([nudged, self.right])
        nudged[1234] += 1e-5
        self.assert_rejected([nudged, self.right], "frame 1234")

    def test_sound_after_the_signal_fails(self):
        longer = [ch + [0.0] * 10 for ch in (self.left, self.right)]
        self.compare(longer)
        longer[1][FRAMES + 3] = 0.5
        self.assert_rejected(longer, "not silent after the signal")


class ReadWavTest(unittest.TestCase):
    def test_pcm16_reads_back_scaled(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "pcm.wav")
            write_wav(path, [[0.5, -0.25, 0.0]], tag=1, bits=16)
            rate, chans = tool.read_wav(path)
            self.assertEqual(rate, RATE)
            self.assertEqual(len(chans), 1)
            for got, want in zip(chans[0], [16384 / 32768, -8192 / 32768, 0.0]):
                self.assertAlmostEqual(got, want, places=3)

    def test_non_wav_is_refused(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "x.wav")
            with open(path, "wb") as f:
                f.write(b"not a wave file at all")
            with self.assertRaises(tool.ToolError):
                tool.read_wav(path)


class InjectTest(unittest.TestCase):
    SESSION = """<?xml version="1.0" encoding="UTF-8"?>
<Session version="7002" name="t" sample-rate="48000" id-counter="200">
  <Sources/><Regions/><Locations/>
  <Routes><Route id="121" name="in" audio-playlist="183"/></Routes>
  <Playlists><Playlist id="183" name="in" type="audio" orig-track-id="121"/></Playlists>
</Session>"""

    def test_region_spans_both_files_with_fresh_ids_and_no_fades(self):
        with tempfile.TemporaryDirectory() as d:
            session = os.path.join(d, "t.ardour")
            with open(session, "w") as f:
                f.write(self.SESSION)
            tool.cmd_signal(d, FRAMES, RATE)
            tool.cmd_inject(session, d, "in", FRAMES, RATE)
            root = ET.parse(session).getroot()
            sources = root.find("Sources").findall("Source")
            self.assertEqual([s.get("name") for s in sources], ["in-L.wav", "in-R.wav"])
            region = root.find("Playlists/Playlist/Region")
            self.assertEqual(region.get("channels"), "2")
            self.assertEqual(region.get("source-0"), sources[0].get("id"))
            self.assertEqual(region.get("source-1"), sources[1].get("id"))
            # 0.1 s in superclock ticks, as a duration from position 0.
            self.assertEqual(region.get("length"), "a28224000@a0")
            self.assertEqual((region.get("fade-in-active"), region.get("fade-out-active")),
                             ("0", "0"))
            ids = [int(e.get("id")) for e in root.iter() if e.tag in
                   ("Source", "Region", "Location")]
            self.assertEqual(len(set(ids)), 5)
            self.assertTrue(all(i > 200 for i in ids))
            self.assertGreater(int(root.get("id-counter")), max(ids))

    def test_missing_track_is_reported(self):
        with tempfile.TemporaryDirectory() as d:
            session = os.path.join(d, "t.ardour")
            with open(session, "w") as f:
                f.write(self.SESSION)
            with self.assertRaises(tool.ToolError):
                tool.cmd_inject(session, d, "other", FRAMES, RATE)


if __name__ == "__main__":
    unittest.main()
