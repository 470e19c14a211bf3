#!/usr/bin/env python3
"""Writes the seed corpus of the fuzzers into fuzz/corpus: a few speech fixtures cut short and
hand-made malformed WAV files, each a few dozen bytes. Run from the project root; the output is
kept in the repository, so this only needs running again when a seed is added."""

import os
import struct

FIXTURES = "../shared/fixtures/speech"
OUT = "fuzz/corpus"


def le16(v):
    return struct.pack("<H", v & 0xFFFF)


def le32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def chunk(cid, body, size=None):
    pad = b"\0" if len(body) % 2 else b""
    return cid + le32(len(body) if size is None else size) + body + pad


def fmt(channels=1, bits=16, rate=8000, align=None, tag=1):
    align = channels * bits // 8 if align is None else align
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits)


def riff(form, *chunks, size=None):
    body = form + b"".join(chunks)
    return b"RIFF" + le32(len(body) if size is None else size) + body


PCM16 = b"".join(le16(v) for v in (0, 1000, -1000, 32767, -32768, 5))
PCM8 = bytes([0, 127, 254, 255, 1])

SEEDS = {
    "empty": b"",
    "riff-only": b"RIFF",
    "rifx": b"RIFX" + riff(b"WAVE", chunk(b"fmt ", fmt()), chunk(b"data", PCM16))[4:],
    "form-avi": riff(b"AVI ", chunk(b"fmt ", fmt()), chunk(b"data", PCM16)),
    "no-fmt": riff(b"WAVE", chunk(b"data", PCM16)),
    "no-data": riff(b"WAVE", chunk(b"fmt ", fmt())),
    "data-before-fmt": riff(b"WAVE", chunk(b"data", PCM16), chunk(b"fmt ", fmt())),
    "list-and-odd-chunk": riff(b"WAVE", chunk(b"fmt ", fmt(bits=8)),
                               chunk(b"LIST", b"INFO" + chunk(b"ISFT", b"abc")),
                               chunk(b"odd ", b"xyz"), chunk(b"data", PCM8)),
    "fmt-short": riff(b"WAVE", chunk(b"fmt ", fmt()[:14]), chunk(b"data", PCM16)),
    "fmt-18": riff(b"WAVE", chunk(b"fmt ", fmt() + le16(0)), chunk(b"data", PCM16)),
    "fmt-cut": riff(b"WAVE", chunk(b"fmt ", fmt()))[:30],
    "bits24": riff(b"WAVE", chunk(b"fmt ", fmt(bits=24)), chunk(b"data", bytes(9))),
    "stereo8": riff(b"WAVE", chunk(b"fmt ", fmt(channels=2, bits=8)), chunk(b"data", PCM8 * 2)),
    "align0": riff(b"WAVE", chunk(b"fmt ", fmt(align=0)), chunk(b"data", PCM16)),
    "align1-16bit": riff(b"WAVE", chunk(b"fmt ", fmt(align=1)), chunk(b"data", PCM16)),
    "data-past-end": riff(b"WAVE", chunk(b"fmt ", fmt()), chunk(b"data", PCM16, size=0xFFFFFFFF)),
    "chunk-size-wraps": riff(b"WAVE", chunk(b"JUNK", b"", size=0xFFFFFFF9),
                             chunk(b"fmt ", fmt()), chunk(b"data", PCM16)),
    "riff-size-below-4": riff(b"WAVE", chunk(b"fmt ", fmt()), chunk(b"data", PCM16), size=2),
    "list-size-below-4": riff(b"WAVE", chunk(b"LIST", b"INFO", size=1), chunk(b"fmt ", fmt()),
                              chunk(b"data", PCM16)),
    "zero-samples": riff(b"WAVE", chunk(b"fmt ", fmt()), chunk(b"data", b"")),
    "pcm8": riff(b"WAVE", chunk(b"fmt ", fmt(bits=8)), chunk(b"data", PCM8)),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(OUT, name + ".wav"), "wb") as f:
            f.write(data)
    # Real speech, cut after about 300 samples: the data chunk claims more than the file holds.
    for name in ("0_george_0", "5_lucas_7"):
        with open(os.path.join(FIXTURES, name + ".wav"), "rb") as f:
            data = f.read(44 + 600)
        with open(os.path.join(OUT, "cut-" + name + ".wav"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
