#!/usr/bin/python3
"""Runs modulacje-sim and the Python reference on the same fresh start-up directories and compares
every working file byte for byte, and stdout, stderr and the exit status of every call.

Usage: compare.py --sim PATH [--quick] [--only TEXT] [--jobs N] [--keep DIR] [--list]

Each case is one or more calls in a fresh start-up directory (Tmp/ with the template of the
generated tone, and any hand-made working file the case puts there). The table printed lists each
mismatch: the case, the file (or stdout/stderr/exit), the first differing word or byte and both
values. The last line is `N passed, M failed`.
"""

import argparse
import concurrent.futures
import glob
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
REFERENCE = [sys.executable, os.path.join(HERE, "reference.py")]
TEMPLATE = os.path.join(ROOT, "data", "Tmp", "wzorzec.wav")
FIXTURES = sorted(glob.glob(os.path.join(ROOT, "..", "shared", "fixtures", "speech", "*.wav")))
WORKING_FILES = ["001.tmp", "002.tmp", "003.tmp", "004.tmp", "005.tmp", "006.tmp", "007.tmp",
                 "008.tmp", "we.wav", "wy.wav", "tmp_we.wav", "wzorzec.wav"]


# ----------------------------------------------------------------------------------------------
# Hand-made input files


def wav_bytes(bits, frames, channels=1, block_align=None, fmt_extra=b"", before=b"",
              data_first=False, data_size=None, form=b"WAVE", riff_size=None, fmt_size=None):
    """A RIFF/WAVE file; frames are lists of per-channel integer codes (or ints for mono)."""
    per = bits // 8
    ba = block_align if block_align is not None else channels * per
    fmt_body = struct.pack("<HHIIHH", 1, channels, 8000, 8000 * ba, ba, bits) + fmt_extra
    if fmt_size is not None:
        fmt_body = fmt_body[:fmt_size]
    fmt = b"fmt " + struct.pack("<I", len(fmt_body)) + fmt_body + (b"\0" * (len(fmt_body) % 2))
    body = bytearray()
    for fr in frames:
        for code in (fr if isinstance(fr, (list, tuple)) else [fr]):
            if bits == 8:
                body.append(code & 0xFF)
            elif bits == 16:
                body += struct.pack("<h", code)
            else:
                body += int(code).to_bytes(per, "little", signed=True)
    size = len(body) if data_size is None else data_size
    data = b"data" + struct.pack("<I", size) + bytes(body)
    inner = before + (data + fmt if data_first else fmt + data)
    rs = len(inner) + 4 if riff_size is None else riff_size
    return b"RIFF" + struct.pack("<I", rs) + form + inner


def fixture_codes(path):
    with open(path, "rb") as f:
        data = f.read()
    n = (len(data) - 44) // 2
    return list(struct.unpack_from("<%dh" % n, data, 44))


def stream_bytes(values):
    return b"".join(struct.pack("<f", v) for v in values)


def hand_input(values):
    """A hand-made input: 001.tmp with the values and a matching 16-bit we.wav."""
    codes = [max(-32768, min(32767, int(v * 32767))) if v - v == 0 else 0 for v in values]
    return {"001.tmp": stream_bytes([float(len(values))] + values), "we.wav": wav_bytes(16, codes)}


def bound_values(kind, n, w):
    """The cell bounds and levels of a uniform or A-law quantiser, and their float neighbours."""
    sys.path.insert(0, HERE)
    import reference

    def up(v):  # the next float32 above v
        if v == 0:
            return 1e-45
        bits = struct.unpack("<i", struct.pack("<f", v))[0]
        return struct.unpack("<f", struct.pack("<i", bits + (1 if v > 0 else -1)))[0]

    cells = reference.uniform_grid(w, n) if kind == "ROW" else reference.log_cells(w, n)
    out = []
    for lo, hi, level in cells:
        for v in (lo, hi, level):
            out += [v, -up(-v), up(v)]
    return out


def make_inputs(folder):
    """Writes the hand-made WAV files; returns name -> path."""
    codes = fixture_codes(FIXTURES[0])
    short = codes[:1000]
    files = {
        "8bit": wav_bytes(8, [(c >> 8) + 128 for c in codes]),
        "8bit-odd": wav_bytes(8, [(c >> 8) + 128 for c in short[:777]]),
        "stereo16": wav_bytes(16, [(c, -c // 2) for c in short], channels=2),
        "stereo8": wav_bytes(8, [((c >> 8) + 128, 128) for c in short], channels=2),
        "list-before": wav_bytes(16, short, before=b"LIST" + struct.pack("<I", 10)
                                 + b"INFOabcdef"),
        "odd-junk": wav_bytes(16, short, before=b"junk" + struct.pack("<I", 5) + b"12345\0"),
        "data-first": wav_bytes(16, short, data_first=True),
        "fmt18": wav_bytes(16, short, fmt_extra=b"\0\0"),
        "fmt14": wav_bytes(16, short, fmt_size=14),
        "claims-more": wav_bytes(16, short, data_size=10 ** 6),
        "claims-odd": wav_bytes(16, short, data_size=2 * len(short) + 1),
        "riff-size-0": wav_bytes(16, short, riff_size=0),
        "not-riff": b"RIFX" + wav_bytes(16, short)[4:],
        "not-wave": wav_bytes(16, short, form=b"AVI "),
        "24bit": wav_bytes(24, [c * 256 for c in short], block_align=3),
        "empty": wav_bytes(16, []),
        "block-align-0": wav_bytes(16, short, block_align=0),
        "no-data": wav_bytes(16, [])[:-8],
        "loud": wav_bytes(16, [max(-32768, min(32767, c * 8)) for c in short]),
        "full-scale": wav_bytes(16, [32767, -32768, 0, 16384, -16384] * 60),
        "all-phrases": wav_bytes(16, [c for f in FIXTURES for c in fixture_codes(f)]),
        "wide-frames": wav_bytes(16, [(c, 0x1234) for c in short], channels=1, block_align=4),
        "narrow-frames": wav_bytes(16, short, block_align=1),
        "fmt17": wav_bytes(16, short, fmt_extra=b"\1"),
        "data-in-list": b"RIFF" + struct.pack("<I", 4 + 24 + 12 + 8 + 20) + b"WAVE"
        + wav_bytes(16, [])[12:36]
        + b"LIST" + struct.pack("<I", 4 + 8 + 20) + b"INFO" + b"data" + struct.pack("<I", 20)
        + bytes(20),
        "huge-junk": wav_bytes(16, short, before=b"junk" + struct.pack("<I", 0xFFFFFFF0)),
        "stereo8-attenuate": wav_bytes(8, [((c >> 8) + 128, (c >> 9) + 128) for c in short],
                                       channels=2),
    }
    out = {}
    for name, data in files.items():
        if name == "no-data":
            data = data[:4] + struct.pack("<I", len(data) - 8) + data[8:]
        p = os.path.join(folder, name + ".wav")
        with open(p, "wb") as f:
            f.write(data)
        out[name] = p
    out["missing"] = os.path.join(folder, "does-not-exist.wav")
    return out


# ----------------------------------------------------------------------------------------------
# Cases


class Case:
    def __init__(self, name, calls, setup=None, template=None, stderr="exact", quick=False,
                 known=None):
        self.name = name
        self.known = known            # a deviation already understood: why the two differ
        self.calls = calls            # list of argument lists (without --dir)
        self.setup = setup            # dict: file name in Tmp -> bytes, written before the calls
        self.template = template      # bytes of Tmp/wzorzec.wav (None: the shipped one; False: none)
        self.stderr = stderr          # "exact", "title" (text is the implementer's) or "status"
        self.quick = quick


def fx(i):
    return os.path.abspath(FIXTURES[i % len(FIXTURES)])


def build_cases(inputs):
    cases = []
    add = cases.append
    short = fx(0)  # the shortest phrase

    # Input actions
    for i in range(len(FIXTURES)):
        add(Case("wav fixture %d" % i, [["--wav", fx(i)]], quick=(i == 0)))
    for name in ["8bit", "8bit-odd", "stereo16", "stereo8", "list-before", "odd-junk",
                 "data-first", "fmt18", "claims-more", "claims-odd", "riff-size-0", "loud",
                 "full-scale", "wide-frames", "fmt17"]:
        add(Case("wav " + name, [["--wav", inputs[name]]], quick=name in ("8bit", "stereo16")))
    for name in ["not-riff", "not-wave", "24bit", "no-data", "missing", "fmt14", "data-in-list",
                 "huge-junk", "narrow-frames"]:
        add(Case("wav refused " + name, [["--wav", fx(1)], ["--wav", inputs[name]]],
                 quick=name == "24bit"))
    for name in ["empty", "block-align-0"]:
        add(Case("wav refused " + name, [["--wav", fx(1)], ["--wav", inputs[name]]],
                 stderr="title"))
    for text in ["440", "1000", "2000", "3999,9", "0,001", "123,456", "1e3", " 440 ", "440.5",
                 "+7", "1234,5678"]:
        add(Case("sine %r" % text, [["--sine", text]], quick=text == "123,456"))
    for text in ["0", "-5", "4000", "", "abc", "4e3", "1,", ",5", "1e400"]:
        add(Case("sine refused %r" % text, [["--sine", "440"], ["--sine", text]]))
    for tname, tbytes in [("8-bit mono", wav_bytes(8, [])),
                          ("16-bit stereo 44100", wav_bytes(16, [], channels=2)),
                          ("24-bit", wav_bytes(24, [], block_align=3))]:
        known = None
        if tname == "24-bit":
            known = ("a template whose samples cannot be written: the program refuses the tone "
                     "and names the template, the reference writes we.wav with the all-zero header")
        add(Case("sine template " + tname, [["--sine", "300"]], template=tbytes, known=known))
        add(Case("sine template %s attenuated" % tname,
                 [["--sine", "300", "--attenuate", "6"]], template=tbytes, known=known))
    for a in ["6", "0,0", "-6", "20", "-10", "1e3", "6 --attenuate 6", "2,5"]:
        extra = []
        for part in a.split(" --attenuate "):
            extra += ["--attenuate", part]
        add(Case("wav attenuate %s" % a, [["--wav", fx(2)] + extra]))
        add(Case("sine attenuate %s" % a, [["--sine", "700"] + extra], quick=a == "-6"))
    for a in ["abc", "-800", "", "1e39"]:
        add(Case("attenuate refused %r" % a, [["--wav", fx(2)], ["--wav", fx(3),
                                                                 "--attenuate", a]]))
    add(Case("attenuate without a file", [["--sine", "440"], ["--attenuate", "6"]], quick=True))
    add(Case("sine then source wav attenuate", [["--sine", "440", "--source", "wav",
                                                 "--attenuate", "6"]]))
    add(Case("wav then sine then source wav attenuate",
             [["--wav", fx(4), "--sine", "440", "--source", "wav", "--attenuate", "3"]]))
    add(Case("wav then source sine attenuate twice",
             [["--wav", fx(4)], ["--source", "sine", "--attenuate", "3"],
              ["--source", "sine", "--attenuate", "3"]]))
    add(Case("attenuate stereo file", [["--wav", inputs["stereo16"], "--attenuate", "-3"]]))
    add(Case("attenuate 8-bit file", [["--wav", inputs["8bit"], "--attenuate", "-3"]]))
    add(Case("attenuate 8-bit stereo file", [["--wav", inputs["stereo8-attenuate"],
                                              "--attenuate", "-3"]]))
    add(Case("attenuate wide frames", [["--wav", inputs["wide-frames"], "--attenuate", "3"]]))
    add(Case("no Tmp directory", [["--sine", "440"]], template=False, stderr="status"))

    # Usage and start-up
    for args in [["--bogus"], ["--mode"], ["--mode", "xyz"], ["--law", "row"],
                 ["--codebook", "lloyd"], ["--algorithm", "sg"], ["--source", "file"],
                 ["--multipliers4", "1 2 3"]]:
        add(Case("usage %s" % " ".join(args), [["--sine", "440"], args], stderr="status"))
    add(Case("run without input", [["--mode", "pcm", "--levels", "4"]], quick=True))

    # PCM
    def pcm(name, i, *settings, quick=False, stderr="exact", setup=None):
        add(Case("pcm " + name, [["--wav", fx(i)], ["--mode", "pcm"] + list(settings)],
                 quick=quick, stderr=stderr, setup=setup))

    k = 0
    for law in ["ROW", "LOG", "ADAP"]:
        for n in range(2, 17):
            pcm("%s %d" % (law, n), k, "--law", law, "--levels", str(n),
                quick=(law, n) in (("ROW", 4), ("LOG", 8)))
            k += 1
    for n in range(2, 17):
        for cb in ["random", "log", "uniform"]:
            pcm("LLOYD %d %s" % (n, cb), k, "--law", "LLOYD", "--levels", str(n),
                "--codebook", cb, quick=(n, cb) == (8, "random"))
            k += 1
    for law, n in [("ROW", 1), ("ROW", 17), ("ROW", 100), ("ROW", 256), ("ROW", 257),
                   ("ROW", 0), ("ROW", -3), ("LOG", 1), ("LOG", 100), ("LOG", 1000),
                   ("LOG", 65536), ("LOG", 65537), ("LLOYD", 1), ("LLOYD", 64), ("LLOYD", 256),
                   ("LLOYD", 65537), ("ADAP", 2), ("ADAP", 5), ("ADAP", 32), ("LLOYD", 5000)]:
        pcm("%s %d" % (law, n), k, "--law", law, "--levels", str(n))
        k += 1
    for cb in ["log", "uniform"]:
        pcm("LLOYD 300 %s" % cb, 1, "--law", "LLOYD", "--levels", "300", "--codebook", cb)
    for law in ["ROW", "LOG", "LLOYD", "ADAP"]:
        for rng in ["0,5", "0,25", "1", "0,001", "1.0", "2e-1"]:
            pcm("%s 8 range %s" % (law, rng), k, "--law", law, "--levels", "8", "--range", rng)
            k += 1
    for levels, rng in [("", "1,0"), ("x", "2"), ("300", "2"), ("4", "1,01"), ("4", "0"),
                        ("4", "-0,5"), ("4", "abc"), ("4", ""), ("8.0", "1,0"),
                        ("99999999999", "1,0"), (" 8 ", " 0,5 ")]:
        pcm("settings %r %r" % (levels, rng), 2, "--law", "ROW", "--levels", levels,
            "--range", rng, quick=levels == "300")
    pcm("json ROW 5", 3, "--law", "ROW", "--levels", "5", "--json", quick=True)
    pcm("json LLOYD 4", 3, "--law", "LLOYD", "--levels", "4", "--json")
    add(Case("pcm ROW 3 on hand-made exact signal",
             [["--mode", "pcm", "--levels", "3"]],
             setup=hand_input([1.0, 0.0, -1.0] * 100)))
    add(Case("pcm with we.wav missing", [["--mode", "pcm", "--levels", "3"]],
             setup={"001.tmp": stream_bytes([3.0, 0.5, 0.0, -0.5])},
             known="no we.wav to copy the format from: the program refuses to write wy.wav"))
    add(Case("pcm on silence", [["--mode", "pcm", "--levels", "4", "--json"]],
             setup=hand_input([0.0] * 700)))
    add(Case("pcm huge input stops", [["--mode", "pcm", "--levels", "4"]],
             setup=hand_input([0.1] * 150 + [3e19] * 150),
             quick=True))
    add(Case("pcm LLOYD random on few values", [["--mode", "pcm", "--law", "LLOYD",
                                                  "--levels", "4"]],
             setup=hand_input([0.5, -0.5, 0.25] * 3 + [0.5])))
    add(Case("pcm LLOYD log on one-signed signal", [["--mode", "pcm", "--law", "LLOYD",
                                                       "--levels", "4", "--codebook", "log"]],
             setup=hand_input([0.001 * i for i in range(200)])))
    add(Case("pcm ADAP on full scale", [["--wav", inputs["full-scale"]],
                                        ["--mode", "pcm", "--law", "ADAP", "--levels", "8"]]))
    add(Case("pcm 8-bit input", [["--wav", inputs["8bit"], "--mode", "pcm", "--levels", "7"]]))
    add(Case("pcm stereo input", [["--wav", inputs["stereo16"], "--mode", "pcm", "--law",
                                   "LOG", "--levels", "16"]]))
    add(Case("pcm on attenuated tone", [["--sine", "1000", "--attenuate", "12", "--mode", "pcm",
                                         "--law", "ADAP", "--levels", "4"]]))
    add(Case("pcm two LLOYD calls", [["--wav", fx(5), "--mode", "pcm", "--law", "LLOYD",
                                      "--levels", "6"],
                                     ["--mode", "pcm", "--law", "LLOYD", "--levels", "6"]]))

    # Multipliers
    for n, text in [(4, "2,5 0,8 0,8 2,5"), (8, "1 1 1 1 1 1 1 1"),
                    (16, "3 2,5 2 1,5 1 0,9 0,9 0,9 0,9 0,9 0,9 1 1,5 2 2,5 3"),
                    (4, "0 0 0 0"), (4, "-1 1 1 -1"), (4, "1e3 1e3 1e3 1e3"),
                    (4, "1,6 0,8 0,8 1.6")]:
        add(Case("pcm ADAP %d multipliers %s" % (n, text),
                 [["--wav", fx(n)], ["--multipliers%d" % n, text, "--mode", "pcm", "--law",
                                     "ADAP", "--levels", str(n)]], quick=text.startswith("2,5")))
    for n, text in [(4, "1,6 x 0,8 1,6"), (8, "1 1 1 1 1 1 1 1e39"), (16, " ".join(["a"] * 16))]:
        add(Case("multipliers refused %d %s" % (n, text),
                 [["--wav", fx(n)], ["--multipliers%d" % n, text, "--mode", "pcm", "--law",
                                     "ADAP", "--levels", str(n)]]))
    add(Case("multipliers only, no run", [["--wav", fx(0), "--multipliers4", "2 2 2 2"]]))

    # Prediction
    def pred(name, i, *settings, quick=False, stderr="exact", setup=None):
        add(Case("prediction " + name, [["--wav", fx(i)], ["--mode", "prediction"]
                                        + list(settings)], quick=quick, stderr=stderr,
                 setup=setup))

    params = {"SG": ["0,01", "0,1", "0,5", "2", "-0,1", "0"],
              "SGN": ["0,001", "0,01", "0,1", "1", "-0,01"],
              "NSK": ["0,99", "0,9", "1", "0,5", "1,01"]}
    k = 0
    for alg, ps in params.items():
        for kk in [1, 2, 5, 11]:
            for p in ps:
                if alg == "NSK" and kk == 11 and p not in ("0,99", "0,5"):
                    continue
                pred("%s K=%d %s" % (alg, kk, p), k, "--algorithm", alg, "--coefficients",
                     str(kk), "--parameter", p,
                     quick=(alg, kk, p) in (("SGN", 5, "0,1"), ("NSK", 2, "0,99")))
                k += 1
    for alg, p in [("SG", "1000"), ("SG", "1e30"), ("SGN", "1e36"), ("NSK", "1e-30"),
                   ("NSK", "0,001"), ("SGN", "1e30")]:
        pred("%s overflow %s" % (alg, p), k, "--algorithm", alg, "--coefficients", "3",
             "--parameter", p, quick=(alg, p) == ("SG", "1000"))
        k += 1
    pred("NSK lambda 0", 1, "--algorithm", "NSK", "--coefficients", "2", "--parameter", "0",
         stderr="title", quick=True)
    for coef, par in [("", "0,1"), ("0", "0,1"), ("12", "0,1"), ("x", "0,1"), ("-1", "0,1"),
                      ("3", ""), ("3", "x"), ("3", "1e39"), (" 11 ", " 0,1 "), ("12", "x")]:
        pred("settings %r %r" % (coef, par), 2, "--coefficients", coef, "--parameter", par,
             quick=coef == "12")
    pred("json SGN", 4, "--algorithm", "SGN", "--coefficients", "4", "--parameter", "0,05",
         "--json")
    add(Case("prediction on silence", [["--mode", "prediction", "--coefficients", "2",
                                        "--parameter", "0,1"]],
             setup=hand_input([0.0] * 300)))
    add(Case("prediction gate on energy", [["--mode", "prediction", "--coefficients", "1",
                                            "--parameter", "0,5", "--json"]],
             setup=hand_input([0.0028] * 128 + [0.004] * 128 + [0.5, -0.5] * 64)))
    add(Case("prediction huge input", [["--mode", "prediction", "--algorithm", "SGN",
                                        "--coefficients", "2", "--parameter", "0,1"]],
             setup=hand_input([0.2] * 100 + [2e19] * 100)))

    # ADPCM
    def adpcm(name, i, *settings, quick=False, stderr="exact"):
        add(Case("adpcm " + name, [["--wav", fx(i)], ["--mode", "adpcm"] + list(settings)],
                 quick=quick, stderr=stderr))

    k = 0
    for n in [4, 8, 16]:
        for alg, ps in [("SG", ["0,05", "0,3"]), ("SGN", ["0,01", "0,1"]), ("NSK", ["0,99"])]:
            for kk in [1, 2, 5, 11]:
                if alg == "NSK" and kk == 11 and n != 16:
                    continue
                for p in ps:
                    adpcm("ADAP %d %s K=%d %s" % (n, alg, kk, p), k, "--levels", str(n),
                          "--algorithm", alg, "--coefficients", str(kk), "--parameter", p,
                          quick=(n, alg, kk, p) == (8, "SGN", 5, "0,1"))
                    k += 1
    for law, n in [("ROW", 16), ("ROW", 3), ("LOG", 16), ("LLOYD", 8), ("LLOYD", 16)]:
        for alg in ["SG", "NSK"]:
            adpcm("%s %d %s" % (law, n, alg), k, "--law", law, "--levels", str(n),
                  "--algorithm", alg, "--coefficients", "2", "--parameter",
                  "0,1" if alg == "SG" else "0,95", "--codebook", "uniform" if n == 16 else
                  "random")
            k += 1
    adpcm("ADAP 4 overflow SG", 2, "--levels", "4", "--algorithm", "SG", "--coefficients", "3",
          "--parameter", "50")
    adpcm("NSK lambda 0", 3, "--levels", "4", "--algorithm", "NSK", "--coefficients", "1",
          "--parameter", "0", stderr="title")
    add(Case("adpcm exploding multipliers", [["--wav", fx(4)],
                                             ["--multipliers4", "50 50 50 50", "--mode", "adpcm",
                                              "--levels", "4", "--coefficients", "2",
                                              "--parameter", "0,01"]], quick=True))
    add(Case("adpcm shrinking multipliers", [["--wav", fx(4)],
                                             ["--multipliers8", "0,1 0,1 0,1 0,1 0,1 0,1 0,1 "
                                              "0,1", "--mode", "adpcm", "--levels", "8",
                                              "--coefficients", "2", "--parameter", "0,01"]]))
    for levels, coef, rng, par, law in [("", "2", "1,0", "0,1", "ADAP"),
                                        ("300", "2", "2", "0,1", "ROW"),
                                        ("4", "0", "0", "0,1", "ADAP"),
                                        ("4", "x", "0", "0,1", "ADAP"),
                                        ("4", "12", "1,0", "0,1", "ADAP"),
                                        ("4", "2", "1,0", "", "ADAP"),
                                        ("5", "2", "1,0", "0,1", "ADAP"),
                                        ("1", "x", "1,0", "0,1", "LOG"),
                                        ("4", "2", "abc", "x", "ADAP")]:
        adpcm("settings %r %r %r %r %s" % (levels, coef, rng, par, law), 5, "--law", law,
              "--levels", levels, "--coefficients", coef, "--range", rng, "--parameter", par,
              quick=coef == "0")
    adpcm("json ADAP 16 SGN", 0, "--levels", "16", "--algorithm", "SGN", "--coefficients", "3",
          "--parameter", "0,05", "--json")
    add(Case("adpcm on silence", [["--mode", "adpcm", "--levels", "4", "--coefficients", "2",
                                   "--parameter", "0,1"]],
             setup=hand_input([0.0] * 300)))
    add(Case("adpcm on a tone", [["--sine", "440", "--mode", "adpcm", "--levels", "8",
                                  "--algorithm", "NSK", "--coefficients", "4",
                                  "--parameter", "0,98"]]))

    # Every phrase through a spread of coders.
    spread = [
        ["--mode", "pcm", "--law", "ROW", "--levels", "8"],
        ["--mode", "pcm", "--law", "LOG", "--levels", "16", "--range", "0,8"],
        ["--mode", "pcm", "--law", "LLOYD", "--levels", "16"],
        ["--mode", "pcm", "--law", "ADAP", "--levels", "8"],
        ["--mode", "prediction", "--algorithm", "SG", "--coefficients", "4", "--parameter",
         "0,2"],
        ["--mode", "prediction", "--algorithm", "SGN", "--coefficients", "8", "--parameter",
         "0,05"],
        ["--mode", "prediction", "--algorithm", "NSK", "--coefficients", "6", "--parameter",
         "0,97"],
        ["--mode", "adpcm", "--levels", "16", "--algorithm", "SGN", "--coefficients", "11",
         "--parameter", "0,05"],
        ["--mode", "adpcm", "--law", "LOG", "--levels", "32", "--algorithm", "NSK",
         "--coefficients", "3", "--parameter", "0,99"],
    ]
    for i in range(len(FIXTURES)):
        for j, settings in enumerate(spread):
            add(Case("spread phrase %d coder %d" % (i, j), [["--wav", fx(i)] + settings]))

    # Tones through the coders.
    for freq in ["100", "440", "1000", "2000", "3500"]:
        for j in (1, 3, 6, 7):
            add(Case("tone %s coder %d" % (freq, j), [["--sine", freq] + spread[j]]))
    add(Case("tone on an 8-bit template, ADPCM", [["--sine", "600"] + spread[7]],
             template=wav_bytes(8, [])))
    add(Case("stereo input, ADPCM", [["--wav", inputs["stereo16"]] + spread[7]]))
    add(Case("8-bit stereo input, prediction", [["--wav", inputs["stereo8"]] + spread[6]]))

    # Loud inputs (values beyond 1 in 001.tmp, we.wav clipped) and gains near the float limit.
    for j, settings in enumerate(spread):
        add(Case("loud phrase coder %d" % j, [["--wav", fx(5), "--attenuate", "-20"] + settings]))
    for j in (0, 4, 5, 7):
        add(Case("gain 10^38.5 coder %d" % j, [["--wav", fx(1), "--attenuate", "-770"]
                                               + spread[j]]))
        add(Case("gain 10^19 coder %d" % j, [["--wav", fx(1), "--attenuate", "-380"]
                                             + spread[j]]))

    # Texts at the edges of their grammar and of float32.
    for text in ["+8", "08", "1e1", "8 ", "\t8", "0x8", "2147483647", "-2147483648"]:
        add(Case("levels text %r" % text, [["--wav", fx(2), "--mode", "pcm", "--law", "LOG",
                                            "--levels", text]]))
    for text in ["1,00000003", "1,0000001", "0,999999999", "1e0", "1E-1", "0,5e1", ".5",
                 "1e-46", "1,4e-45"]:
        add(Case("range text %r" % text, [["--wav", fx(2), "--mode", "pcm", "--law", "ROW",
                                           "--levels", "6", "--range", text]]))
    for text in ["1e-3", "5E-2", "-0", "0,5e1", ".5", "1e-45", "3,4028235e38", "3,5e38"]:
        add(Case("parameter text %r" % text, [["--wav", fx(3), "--mode", "prediction",
                                               "--algorithm", "SGN", "--coefficients", "2",
                                               "--parameter", text]]))
    for text in ["3999,9999", "3999,9998", "1e-45", "0,0000001"]:
        add(Case("sine text %r" % text, [["--sine", text, "--mode", "pcm", "--levels", "5"]]))

    # Ties and shared bounds: the adaptive quantiser on silence, inputs lying exactly on the
    # cell bounds and levels, and the Lloyd-Max design on few distinct values.
    for n in (4, 8, 16):
        add(Case("pcm ADAP %d on silence" % n, [["--mode", "pcm", "--law", "ADAP", "--levels",
                                                 str(n)]], setup=hand_input([0.0] * 300)))
    for kind, n in [("ROW", 3), ("ROW", 4), ("ROW", 8), ("ROW", 16), ("LOG", 3), ("LOG", 8),
                    ("LOG", 16)]:
        add(Case("pcm %s %d on its own bounds" % (kind, n),
                 [["--mode", "pcm", "--law", kind, "--levels", str(n), "--range", "0,75"]],
                 setup=hand_input(bound_values(kind, n, 0.75))))
    steps = [-0.5, -0.25, 0.0, 0.25, 0.5, 0.125, -0.375]
    for n in (2, 3, 4, 5, 8):
        for cb in ("random", "log", "uniform"):
            add(Case("pcm LLOYD %d %s on few values" % (n, cb),
                     [["--mode", "pcm", "--law", "LLOYD", "--levels", str(n), "--codebook", cb]],
                     setup=hand_input([steps[(i * 5) % 7] for i in range(400)])))
    for n, cb in [(16, "random"), (16, "log"), (16, "uniform"), (64, "random")]:
        add(Case("pcm LLOYD %d %s on 8-bit input" % (n, cb),
                 [["--wav", inputs["8bit"], "--mode", "pcm", "--law", "LLOYD", "--levels", str(n),
                   "--codebook", cb]]))

    # All the phrases in one long input.
    for j in (0, 1, 2, 3, 4, 5, 7):
        add(Case("all phrases coder %d" % j, [["--wav", inputs["all-phrases"]] + spread[j]]))
    add(Case("all phrases, multipliers kept per call",
             [["--wav", inputs["all-phrases"], "--multipliers16", " ".join(["1,1"] * 16)],
              spread[7]]))

    # Order of the actions and the first refusal.
    add(Case("multipliers refused after an input action",
             [["--multipliers4", "1 x 1 1", "--wav", fx(1), "--mode", "pcm", "--law", "ADAP",
               "--levels", "4"]]))
    add(Case("refused file stops the later actions",
             [["--wav", inputs["24bit"], "--sine", "440", "--mode", "pcm", "--levels", "4"]]))
    add(Case("refused tone stops the later actions",
             [["--wav", fx(2), "--sine", "0", "--attenuate", "6", "--mode", "pcm",
               "--levels", "4"]]))

    # Hand-made input streams that no input action writes.
    inf, nan = float("inf"), float("nan")
    for label, values in [("an infinite sample", [0.1] * 50 + [inf] + [0.1] * 50),
                          ("a NaN sample", [0.1] * 50 + [nan] + [0.1] * 50)]:
        for j in (0, 3, 4, 6, 7):
            known = None
            if label == "a NaN sample" and j in (4, 6):
                known = ("a NaN inside the predictor: the program stops the run as an invalid "
                         "operation, the reference lets the NaN through")
            add(Case("%s coder %d" % (label, j), [spread[j]], setup=hand_input(values),
                     known=known))
    bad_headers = [("header 0", stream_bytes([0.0])),
                   ("header beyond 2^24", stream_bytes([16777218.0] + [0.1] * 10)),
                   ("header beyond the values", stream_bytes([300.0] + [0.1] * 200)),
                   ("header 2.5", stream_bytes([2.5, 0.1, 0.2, 0.3]))]
    for label, data in bad_headers:
        for j in (0, 6, 7):
            known = None
            if label == "header 2.5":
                known = ("a header that is not whole: wy.wav is to hold 3 values of a stream "
                         "of 2; the program refuses, the reference writes the 2")
            add(Case("%s coder %d" % (label, j), [spread[j]],
                     setup={"001.tmp": data, "we.wav": wav_bytes(16, [1, 2, 3])},
                     stderr="title", known=known))

    # A refused run leaves the files of the last successful run, including wy.wav.
    add(Case("refused run keeps files",
             [["--wav", short, "--mode", "pcm", "--levels", "8"],
              ["--mode", "pcm", "--levels", "0"],
              ["--mode", "adpcm", "--levels", "8", "--coefficients", "13"],
              ["--mode", "prediction", "--coefficients", "2", "--parameter", "z"]], quick=True))
    add(Case("runs of each kind in turn",
             [["--wav", fx(3), "--mode", "prediction", "--coefficients", "3", "--parameter",
               "0,1"], ["--mode", "pcm", "--levels", "8"],
              ["--mode", "adpcm", "--levels", "8", "--coefficients", "3", "--parameter", "0,1"]]))
    return cases


# ----------------------------------------------------------------------------------------------
# Running and comparing


def run_side(command, case, root):
    tmp = os.path.join(root, "Tmp")
    if case.template is not False:
        os.makedirs(tmp)
        if case.template is None:
            shutil.copyfile(TEMPLATE, os.path.join(tmp, "wzorzec.wav"))
        else:
            with open(os.path.join(tmp, "wzorzec.wav"), "wb") as f:
                f.write(case.template)
    for name, data in (case.setup or {}).items():
        with open(os.path.join(tmp, name), "wb") as f:
            f.write(data)
    results = []
    for args in case.calls:
        p = subprocess.run(command + ["--dir", root] + args, capture_output=True, timeout=600)
        results.append((p.returncode, p.stdout.decode("utf-8", "replace"),
                        p.stderr.decode("utf-8", "replace")))
    files = {}
    for name in WORKING_FILES:
        path = os.path.join(tmp, name)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                files[name] = f.read()
    return results, files


def _word(data, i):
    if 4 * i + 4 > len(data):
        return "(none)"
    v = struct.unpack_from("<f", data, 4 * i)[0]
    return "%r (0x%08x)" % (v, struct.unpack_from("<I", data, 4 * i)[0])


def diff_file(name, a, b):
    """A description of the first difference between the sim's bytes a and the reference's b."""
    if a is None or b is None:
        return "exists: sim %s, reference %s" % (a is not None, b is not None)
    if a == b:
        return None
    n = min(len(a), len(b))
    first = next((i for i in range(n) if a[i] != b[i]), n)
    if name.endswith(".tmp"):
        w = first // 4
        return "word %d: sim %s, reference %s (sizes %d, %d bytes)" % (
            w, _word(a, w), _word(b, w), len(a), len(b))
    if first < 44:
        return "header byte %d: sim %s, reference %s (sizes %d, %d)" % (
            first, a[first:first + 4].hex(), b[first:first + 4].hex(), len(a), len(b))
    return "data byte %d (after the 44-byte header: %d): sim %s, reference %s (sizes %d, %d)" % (
        first, first - 44, a[first:first + 2].hex(), b[first:first + 2].hex(), len(a), len(b))


def _titles(text):
    return [line.split(": ", 1)[0] for line in text.splitlines()]


def _same_stdout(a, b):
    if a == b:
        return True
    try:
        return json.loads(a) == json.loads(b)
    except ValueError:
        return False


def compare_case(case, sim, root):
    a_root = os.path.join(root, "sim")
    b_root = os.path.join(root, "ref")
    a_res, a_files = run_side(sim, case, a_root)
    b_res, b_files = run_side(REFERENCE, case, b_root)
    problems = []
    for k, ((ra, oa, ea), (rb, ob, eb)) in enumerate(zip(a_res, b_res)):
        where = "call %d" % (k + 1)
        if "Traceback (most recent call last)" in eb:
            problems.append((where + " reference crashed", eb.strip()[-300:]))
        if ra != rb:
            problems.append((where + " exit", "sim %d, reference %d; stderr sim %r, ref %r" % (
                ra, rb, ea.strip()[:200], eb.strip()[:200])))
        if case.stderr == "status":
            continue
        if not _same_stdout(oa, ob):
            problems.append((where + " stdout", "sim %r, reference %r" % (oa, ob)))
        if case.stderr == "exact" and ea != eb:
            problems.append((where + " stderr", "sim %r, reference %r" % (ea, eb)))
        if case.stderr == "title" and _titles(ea) != _titles(eb):
            problems.append((where + " stderr titles", "sim %r, reference %r" % (ea, eb)))
    for name in WORKING_FILES:
        d = diff_file(name, a_files.get(name), b_files.get(name))
        if d and not (a_files.get(name) is None and b_files.get(name) is None):
            problems.append((name, d))
    return problems


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--sim", required=True, help="path of modulacje-sim")
    ap.add_argument("--quick", action="store_true", help="a small, quick subset")
    ap.add_argument("--only", default=None, help="cases whose name contains this text")
    ap.add_argument("--jobs", type=int, default=1)
    ap.add_argument("--keep", default=None, help="keep the start-up directories here")
    ap.add_argument("--list", action="store_true", help="list the cases and stop")
    args = ap.parse_args()
    if not FIXTURES:
        print("no speech fixtures found beside the project", file=sys.stderr)
        return 2
    work = args.keep or tempfile.mkdtemp(prefix="xcheck-")
    os.makedirs(work, exist_ok=True)
    inputs_dir = os.path.join(work, "inputs")
    os.makedirs(inputs_dir, exist_ok=True)
    inputs = make_inputs(inputs_dir)
    cases = build_cases(inputs)
    if args.quick:
        cases = [c for c in cases if c.quick]
    if args.only:
        cases = [c for c in cases if args.only in c.name]
    if args.list:
        for c in cases:
            print(c.name)
        return 0
    sim = [os.path.abspath(args.sim)]

    def one(indexed):
        i, case = indexed
        root = os.path.join(work, "case%03d" % i)
        if os.path.exists(root):
            shutil.rmtree(root)
        try:
            return case, compare_case(case, sim, root)
        finally:
            if not args.keep:
                shutil.rmtree(root, ignore_errors=True)

    failed = known = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for case, problems in pool.map(one, enumerate(cases)):
            if problems:
                failed += 1
                tag = "KNOWN" if case.known else "MISMATCH"
                known += 1 if case.known else 0
                if case.known:
                    print("KNOWN | %s | %s" % (case.name, case.known))
                for where, what in problems:
                    print("%s | %s | %s | %s" % (tag, case.name, where, what))
                sys.stdout.flush()
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    if known:
        print("%d of the failures are known deviations (marked KNOWN)" % known)
    print("%d passed, %d failed" % (len(cases) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
