#!/usr/bin/python3
"""Checks the reference against the worked values of the documents (exact float32 where given).

Run: /usr/bin/python3 tools/crosscheck/selftest.py   (prints each failure and a summary line)
"""

import math
import os
import shutil
import struct
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference as R  # noqa: E402

FAILURES = []
CHECKS = 0


def check(name, got, want):
    global CHECKS
    CHECKS += 1
    if got != want:
        FAILURES.append("%s: got %r, want %r" % (name, got, want))


def near(name, got, want, tol):
    global CHECKS
    CHECKS += 1
    if got is None or abs(got - want) > tol:
        FAILURES.append("%s: got %r, want about %r" % (name, got, want))


f = R.f32


def wav_bytes(bits, samples, channels=1, block_align=None, fmt_extra=b"", chunks_before=b"",
              data_first=False, data_size=None, form=b"WAVE", riff=b"RIFF"):
    per = bits // 8
    ba = block_align if block_align is not None else channels * per
    fmt_body = struct.pack("<HHIIHH", 1, channels, 8000, 8000 * ba, ba, bits) + fmt_extra
    fmt = b"fmt " + struct.pack("<I", len(fmt_body)) + fmt_body
    if len(fmt_body) % 2:
        fmt += b"\0"
    if bits == 8:
        body = bytes(samples)
    elif bits == 16:
        body = struct.pack("<%dh" % len(samples), *samples)
    else:
        body = bytes(samples)
    size = len(body) if data_size is None else data_size
    data = b"data" + struct.pack("<I", size) + body
    inner = chunks_before + (data + fmt if data_first else fmt + data)
    return riff + struct.pack("<I", len(inner) + 4) + form + inner


class Dir:
    def __enter__(self):
        self.root = tempfile.mkdtemp(prefix="xcheck-self-")
        self.tmp = os.path.join(self.root, "Tmp")
        os.mkdir(self.tmp)
        R.write_wav(os.path.join(self.tmp, "wzorzec.wav"), _fmt16(), [])
        with open(os.path.join(self.tmp, "wzorzec.wav"), "wb") as out:
            out.write(wav_bytes(16, []))
        return self

    def __exit__(self, *a):
        shutil.rmtree(self.root)

    def p(self, name):
        return os.path.join(self.tmp, name)

    def put(self, name, data):
        with open(self.p(name), "wb") as out:
            out.write(data)
        return self.p(name)

    def get(self, name):
        with open(self.p(name), "rb") as fh:
            return fh.read()

    def stream(self, name, values):
        w = R.StreamWriter(self.p(name))
        for v in values:
            w.write(v)
        w.close()

    def words(self, name):
        h, v = R.read_stream(self.p(name))
        return [h] + v


def _fmt16():
    fm = R.WavFormat()
    fm.channels, fm.bits, fm.block_align, fm.sample_rate, fm.format_tag = 1, 16, 2, 8000, 1
    return fm


def samples16(data):
    n = (len(data) - 44) // 2
    return list(struct.unpack_from("<%dh" % n, data, 44))


def test_wav_and_conversions():
    with Dir() as d:
        # 8-bit codes and their floats, with two scales.
        src = d.put("in8.wav", wav_bytes(8, [0, 127, 254]))
        R.wav_to_stream(src, d.p("s.tmp"), 3.0, 1.0)
        check("8-bit to stream", d.words("s.tmp"), [3.0, -1.0, 0.0, 1.0])
        R.wav_to_stream(src, d.p("s.tmp"), 3.0, 0.5)
        check("8-bit to stream x0.5", d.words("s.tmp"), [3.0, -0.5, 0.0, 0.5])
        r = R.WavReader(d.put("r8.wav", wav_bytes(8, [0, 127, 254, 255])))
        check("8-bit reads", r.read_samples(), [-1.0, 0.0, 1.0, f(128 / 127)])
        r = R.WavReader(d.put("r16.wav", wav_bytes(16, [-32768])))
        check("16-bit -32768", r.read_samples(), [f(-32768 / 32767)])
        # 0 samples: the stream holds only its header.
        R.wav_to_stream(d.put("e.wav", wav_bytes(16, [])), d.p("s.tmp"), 0.0, 1.0)
        check("empty wav stream", len(d.get("s.tmp")), 4)
        # Stream to WAV with a 16-bit reference.
        ref = d.put("ref.wav", wav_bytes(16, []))
        d.stream("s.tmp", [2.0, 0.5, -0.5])
        R.stream_to_wav(d.p("s.tmp"), d.p("o.wav"), ref)
        check("stream to wav", samples16(d.get("o.wav")), [16383, -16383])
        d.stream("s.tmp", [0.0])
        R.stream_to_wav(d.p("s.tmp"), d.p("o.wav"), ref)
        check("header-0 stream gives zero header", d.get("o.wav"),
              b"RIFF" + struct.pack("<I", 36) + b"WAVEfmt " + struct.pack("<I", 16)
              + bytes(16) + b"data" + bytes(4))
        # ScaleWav with gain 1 moves codes toward zero.
        codes = [1, 3, 100, -32768, 16383, 32767]
        R.scale_wav(d.put("c.wav", wav_bytes(16, codes)), d.p("c2.wav"), 1.0)
        check("scale 1.0 code moves", samples16(d.get("c2.wav")),
              [0, 2, 99, -32767, 16383, 32767])
        # Writing: 8-bit codes, 16-bit codes, clipping instead of wrap-around.
        fm8 = R.WavFormat()
        fm8.channels, fm8.bits, fm8.block_align = 1, 8, 1
        R.write_wav(d.p("w8.wav"), fm8, [-1.0, 0.0, 1.0, -1.01, 1.02, float("nan")])
        check("8-bit writes", list(d.get("w8.wav")[44:]), [0, 127, 254, 0, 255, 127])
        R.write_wav(d.p("w16.wav"), _fmt16(), [1.0, -1.0, 1.5, -1.5, float("nan")])
        check("16-bit writes", samples16(d.get("w16.wav")), [32767, -32767, 32767, -32768, 0])
        # Odd count of 8-bit samples: no pad byte.
        R.write_wav(d.p("odd.wav"), fm8, [0.0] * 3)
        data = d.get("odd.wav")
        check("odd 8-bit length", (len(data), struct.unpack_from("<I", data, 4)[0]), (47, 39))


def test_chunk_walking():
    with Dir() as d:
        cases = [
            ("plain", wav_bytes(16, [1, 2, 3]), True, 3),
            ("data before fmt", wav_bytes(16, [1, 2, 3], data_first=True), True, 3),
            ("LIST before", wav_bytes(16, [1, 2], chunks_before=b"LIST" + struct.pack("<I", 8)
                                      + b"INFOabcd"), True, 2),
            ("odd chunk before", wav_bytes(16, [5, 6], chunks_before=b"junk" + struct.pack(
                "<I", 3) + b"xyz\0"), True, 2),
            ("fmt of 18 bytes", wav_bytes(16, [7], fmt_extra=b"\0\0"), True, 1),
            ("not RIFF", b"RIFX" + wav_bytes(16, [1])[4:], False, 0),
            ("not WAVE", wav_bytes(16, [1], form=b"AVI "), False, 0),
            ("data claims more", wav_bytes(16, [1, 2, 3], data_size=1000), True, 3),
            ("block align 0", wav_bytes(16, [1, 2], block_align=0), True, 0),
        ]
        for name, data, ok, count in cases:
            r = R.WavReader(d.put("c.wav", data))
            check("open " + name, (r.ok, r.sample_count()), (ok, count))
        r = R.WavReader(d.put("c.wav", wav_bytes(16, [5, 6], chunks_before=b"junk" + struct.pack(
            "<I", 3) + b"xyz\0")))
        check("samples after odd chunk", r.read_samples(), [f(5 / 32767), f(6 / 32767)])
        nodata = wav_bytes(16, [])[:-8]
        nodata = nodata[:4] + struct.pack("<I", len(nodata) - 8) + nodata[8:]
        r = R.WavReader(d.put("c.wav", nodata))
        check("no data chunk keeps format", (r.ok, r.fmt.bits, r.fmt.sample_rate),
              (False, 16, 8000))
        r = R.WavReader(d.put("c.wav", wav_bytes(24, [0] * 6, block_align=3)))
        check("24-bit opens but is not an input", (r.ok, r.samples_readable()), (True, False))
        st = wav_bytes(16, [100, -100, 200, -200], channels=2)
        r = R.WavReader(d.put("st.wav", st))
        check("stereo first channel", r.read_samples(), [f(100 / 32767), f(200 / 32767)])
        R.scale_wav(d.p("st.wav"), d.p("st2.wav"), 1.0)
        check("stereo write duplicates", samples16(d.get("st2.wav")), [99, 99, 199, 199])


def test_numbers():
    for text, want in [("1,0", 1.0), (" 0,5 ", 0.5), ("1.5", 1.5), ("-2e3", -2000.0),
                       ("1e39", None), (",5", None), ("5,", None), ("", None), ("1 0", None),
                       ("3999,9", f(3999.9)), ("+7", 7.0)]:
        check("decimal %r" % text, R.parse_decimal(text), want)
    for text, want in [("8", 8), (" +16 ", 16), ("-3", -3), ("2147483648", None),
                       ("8.0", None), ("", None), ("x", None)]:
        check("integer %r" % text, R.parse_integer(text), want)
    check("measure text", R.format_measure(10 * math.log10(2.0)), "3,01029995663981")
    check("empty segmental text", R.format_measure(R.FLT_MIN), "1,17549435082229E-38")
    check("ceiling in dB", R.format_measure(10 * math.log10(R.FLT_MAX))[:6], "385,31")


def cells(q):
    t = q.table
    return list(zip(t.lo, t.hi, t.level))


def test_quantisers():
    q = R.Quantiser("ROW", 3, 1.0, 0)
    check("ROW 3 cells", cells(q), [(-1.5, -0.5, -1.0), (-0.5, 0.5, 0.0), (0.5, 1.5, 1.0)])
    check("ROW 3 maps", [q.quantise(x) for x in (0.5, -0.5, 3.0, -3.0)], [0.0, -1.0, 1.0, -1.0])
    q = R.Quantiser("ROW", 4, 1.0, 0)
    t = f(2 / 3)
    check("ROW 4 levels", q.table.level, [-1.0, f(t - 1), f(2 * t - 1), 1.0])
    check("ROW 4 maps 0 to the lower middle", q.quantise(0.0), f(t - 1))
    near("ROW 4 shared bound above 0", q.table.hi[1], 3e-8, 2e-8)
    check("ROW 8 top level", R.Quantiser("ROW", 8, 1.0, 0).table.level[-1], f(1.0000001))
    q = R.Quantiser("LOG", 3, 1.0, 0)
    near("LOG 3 expanded inner bound", q.table.hi[0], -0.039044, 1e-6)
    near("LOG 3 level", q.table.level[2], 0.76952, 1e-5)
    check("LOG 3 outer bounds", (q.table.lo[0], q.table.hi[2]), (-1.5, 1.5))
    check("LOG 3 centre", q.table.level[1], 0.0)
    q = R.Quantiser("LOG", 8, 1.0, 0)
    for got, want in zip(q.table.level[4:], [0.0094268, 0.046458, 0.18250, 0.71689]):
        near("LOG 8 level", got, want, want * 5e-5)
    check("LOG 8 outer bounds", (q.table.lo[0], q.table.hi[-1]),
          (-1.1428571939468384, 1.1428571939468384))
    check("BRAK", R.Quantiser("BRAK", 4, 1.0, 0).quantise(5.5), 5.5)
    check("unknown kind", R.Quantiser("", 4, 1.0, 0).quantise(0.7), 0.0)
    check("NaN on cells", R.Quantiser("ROW", 4, 1.0, 0).quantise(float("nan")), 0.0)


def test_adaptive():
    m = R.Multipliers()
    for n, want in [(4, [-0.1, -0.033333335, 0.033333335, 0.1]),
                    (8, [-0.1, -0.071428575, -0.042857144, -0.014285714,
                         0.014285714, 0.042857144, 0.071428575, 0.1])]:
        check("normalised levels %d" % n, R.Quantiser("ADAP", n, 1.0, 0, m).normal,
              [f(v) for v in want])
    q16 = R.Quantiser("ADAP", 16, 1.0, 0, m)
    check("normalised 16 inner", (q16.normal[7], q16.normal[8]), (f(-0.0066666668),
                                                                   f(0.0066666668)))
    q = R.Quantiser("ADAP", 4, 1.0, 0, m)
    outs, steps = [], []
    for x in (0.5, 0.5, 0.5, 0.0, 0.0):
        outs.append(q.quantise(x))
        steps.append(q.step)
    check("adaptive outputs", outs,
          [f(v) for v in (0.010000001, 0.016000001, 0.025600001, 0.013653334, 0.010922668)])
    check("adaptive steps", steps,
          [f(v) for v in (0.16000001, 0.256, 0.40960002, 0.32768002, 0.26214403)])
    for n, want, step in [(4, -0.0033333336, 0.08), (8, 0.0014285714, None),
                          (16, -0.00066666672, None)]:
        q = R.Quantiser("ADAP", n, 1.0, 0, m)
        check("tie at 0 for %d" % n, q.quantise(0.0), f(want))
        if step is not None:
            near("step after tie", q.step, step, 1e-8)
    q = R.Quantiser("ADAP", 4, 1.0, 0, m)
    calls = 0
    while q.step != R.ADAP_FLOOR and calls < 100:
        q.quantise(0.0)
        calls += 1
    check("floor reached on call", calls, 52)
    check("floor value", q.step, f(9.99999997e-7))
    q = R.Quantiser("ADAP", 4, 1.0, 0, m)
    outs = [q.quantise(1.0) for _ in range(11)]
    near("constant 1.0, 11th output", outs[10], 1.09951, 1e-5)
    check("outer level passes 1 only at 11", (outs[9] < 1.0, outs[10] > 1.0), (True, True))


def test_lloyd():
    with Dir() as d:
        d.stream("001.tmp", [4.0, 0.1, 0.2, 0.3, 0.4])
        q = R.Quantiser("LLOYD", 4, 1.0, 1, None, d.p("001.tmp"), R.MinStdRand())
        c = cells(q)
        check("four samples: levels", [x[2] for x in c], [f(0.1), f(0.2), f(0.3), f(0.4)])
        for got, want in zip(c, [(0.05, 0.15), (0.15, 0.25), (0.25, 0.35), (0.35, 0.45)]):
            near("four samples: low", got[0], want[0], 1e-7)
            near("four samples: high", got[1], want[1], 1e-7)
        d.stream("001.tmp", [3.0, 0.8, -0.5, 0.1])
        q = R.Quantiser("LLOYD", 3, 1.0, 3, None, d.p("001.tmp"), R.MinStdRand())
        check("range = smaller magnitude: 3 levels, training moves outer ones",
              [x[2] for x in cells(q)], [-0.5, f(0.1), f(0.8)])
        # Data range 0 with the uniform codebook: zero samples take no part, levels of the
        # positive samples move to their mean.
        d.stream("001.tmp", [4.0, 0.0, 0.25, 0.75, 0.0])
        q = R.Quantiser("LLOYD", 2, 1.0, 3, None, d.p("001.tmp"), R.MinStdRand())
        check("range 0 training", [x[2] for x in cells(q)], [0.0, 0.5])
        # A training sample on a shared bound trains into the upper cell; quantising maps it down.
        lv = [0.0, 1.0]
        t = R.CellTable(R.cells_from_levels(lv))
        check("bound trains up", t.first_upper_exclusive(0.5), 1)
        check("bound quantises down", t.first_inclusive(0.5), 0)
        # Random draws: minstd_rand's first outputs.
        g = R.MinStdRand()
        check("minstd first", [g.next(), g.next()], [48271, 182605794])
        d.stream("001.tmp", [3.0, 0.5, 0.5, 0.5])
        try:
            R.Quantiser("LLOYD", 2, 1.0, 1, None, d.p("001.tmp"), R.MinStdRand())
            check("too few distinct refused", False, True)
        except R.NotEnoughDistinct:
            check("too few distinct refused", True, True)


def _noop():
    pass


def test_predictors():
    p = R.Predictor("SG", 1, 0.5, _noop)
    check("new predicts 0", p.predict(), 0.0)
    p.adapt(1.0)
    check("SG after 1", (p.predict(), p.hist), (0.0, [1.0]))
    p.adapt(1.0)
    check("SG after 2", (p.w, p.predict()), ([0.5], 0.5))
    p = R.Predictor("SG", 3, 0.0, _noop)
    for v in (1.0, 2.0, 3.0):
        p.adapt(v)
    check("SG history order", (p.hist, p.w), ([1.0, 2.0, 3.0], [0.0, 0.0, 0.0]))
    p = R.Predictor("SGN", 1, 1.0, _noop)
    p.adapt(1.0)
    near("SGN Moc", p.power, 0.05, 2e-8)
    check("SGN first coefficient", p.w, [0.0])
    p.adapt(1.0)
    near("SGN second coefficient", p.w[0], 1 / (0.0975 + 0.0001), 1e-3)
    p = R.Predictor("XX", 2, 1.0, _noop)
    p.adapt(1.0)
    check("unknown predictor", (p.predict(), p.w), (0.0, [0.0, 0.0]))
    hits = []
    p = R.Predictor("SGN", 1, 1.0, lambda: hits.append(1))
    p.adapt(1e20)
    check("SGN overflow keeps Moc", (p.power, len(hits)), (0.0, 1))
    with Dir() as d:
        d.stream("001.tmp", [2.0, 1.0, 1.0])
        p = R.Predictor("NSK", 1, 1.0, _noop, d.p("001.tmp"))
        p.n = 0
        p.adapt(1.0)
        check("NSK n=0 nothing", (p.w, p.p, p.hist), ([0.0], [[1.0]], [0.0]))
        p.n = 1
        p.adapt(1.0)
        check("NSK K=1 step", (p.w, p.p, p.hist), ([0.5], [[0.5]], [1.0]))
        check("sample before start", (p.sample_in(-1), p.sample_in(0)), (0.0, 1.0))
        p = R.Predictor("NSK", 1, 0.0, _noop, d.p("001.tmp"))
        p.n = 1
        try:
            p.adapt(1.0)
            check("NSK lambda 0 divides by zero", False, True)
        except R.DivisionByZero:
            check("NSK lambda 0 divides by zero", True, True)


def run(d, mode, **kw):
    st = R.RunSettings()
    for k, v in kw.items():
        setattr(st, k, v)
    msgs = R.Messages()
    sim = R.Simulator(d.tmp, R.Multipliers(), R.MinStdRand(), msgs)
    return sim.run(mode, st)


def test_runs():
    with Dir() as d:
        d.stream("001.tmp", [2.0, 0.6, -0.2])
        d.put("we.wav", wav_bytes(16, [1, 2]))
        m, ratios, seg, overall = run(d, "pcm", law="ROW", levels="3")
        check("PCM 002", d.words("002.tmp"), [2.0, 1.0, 0.0])
        check("PCM 003", d.words("003.tmp"), [2.0, f(f(0.6) - 1.0), f(-0.2)])
        near("PCM ratio", ratios[0], 2.0, 1e-6)
        near("PCM segmental", seg, 3.0103, 1e-4)
        check("PCM wy.wav samples", samples16(d.get("wy.wav")), [32767, 0])

        d.stream("001.tmp", [3.0, 1.0, 1.0, 1.0])
        m, ratios, seg, overall = run(d, "prediction", algorithm="SG", coefficients="1",
                                      parameter="0,5")
        check("prediction 002", d.words("002.tmp"), [3.0, 0.0, 0.0, 0.5])
        check("prediction 004", d.words("004.tmp"), [3.0, 1.0, 1.0, 0.5])
        check("prediction 005", d.words("005.tmp"), [1.0, 0.0, 0.5, 0.75])
        check("prediction ratio", ratios[0], f(3.0 / 2.25))
        near("prediction segmental", seg, 1.2494, 1e-4)

        d.stream("001.tmp", [2.0, 0.6, 0.6])
        m, ratios, seg, overall = run(d, "adpcm", law="ROW", levels="3", algorithm="SG",
                                      coefficients="1", parameter="0,5")
        check("ADPCM 002", d.words("002.tmp"), [2.0, 1.0, 1.0])
        check("ADPCM 004", d.words("004.tmp"), [2.0, f(0.6), f(0.6)])
        check("ADPCM 003", d.words("003.tmp"), [2.0, f(1.0 - f(0.6))] * 1 + [f(1.0 - f(0.6))])
        check("ADPCM 005", d.words("005.tmp"), [1.0, 0.0, 0.5])
        near("ADPCM ratio", ratios[0], 2.25, 1e-5)
        near("ADPCM segmental", seg, 3.5218, 1e-4)

        # Silence: ratios 0, empty segmental, ceiling.
        d.stream("001.tmp", [300.0] + [0.0] * 300)
        m, ratios, seg, overall = run(d, "prediction", coefficients="2", parameter="0,1")
        check("silence", (ratios, seg, overall), ([0.0, 0.0, 0.0], R.FLT_MIN, R.FLT_MAX))
        check("006 header for 300", d.words("006.tmp")[0], 2.0)
        for n, frames in [(256, 2), (257, 3), (127, 1)]:
            d.stream("001.tmp", [float(n)] + [0.5] * n)
            run(d, "pcm", law="ROW", levels="3")
            check("frames of %d" % n, len(d.words("006.tmp")) - 1, frames)
        # A quantiser that reproduces the input gives the ceiling.
        d.stream("001.tmp", [3.0, 1.0, 0.0, -1.0])
        m, ratios, seg, overall = run(d, "pcm", law="ROW", levels="3")
        check("exact quantiser", (ratios[0], overall), (R.FLT_MAX, R.FLT_MAX))
        # Gate: ratio f32(0.00128) is below the double threshold.
        check("gate float 0.00128", f(0.00128) > R.GATE, False)
        # Huge input: guarded stop.
        d.stream("001.tmp", [2.0, 1e30, 1e30])
        try:
            run(d, "pcm", law="ROW", levels="3")
            check("huge input stops", False, True)
        except R.Refusal as r:
            check("huge input stops", (r.title, r.text),
                  ("Przekroczono zakres", "Sprawdź ustawienia układu."))


def test_settings_order():
    with Dir() as d:
        d.stream("001.tmp", [2.0, 0.1, 0.2])
        cases = [
            ("pcm", dict(levels=""), R.LEVELS_MSG),
            ("pcm", dict(levels="300", range="2"), R.RANGE_MSG),
            ("adpcm", dict(law="ROW", levels="300", range="2"), R.LEVELS_MSG),
            ("adpcm", dict(law="ADAP", levels="4", coefficients="0", range="0"), R.RANGE_MSG),
            ("adpcm", dict(law="ADAP", levels="4", coefficients="x", range="0"),
             "Niepoprawna wartość 'Liczba współczynników predykcji'."),
            ("prediction", dict(coefficients="12"), "Niepoprawna wartość 'Rząd predyktora'"),
            ("prediction", dict(coefficients="x"),
             "Niepoprawna wartość 'Lizcba współczynników predykcji'."),
            ("prediction", dict(coefficients="2", parameter="a"),
             "Niepoprawna wartość 'Parametr predykcji'"),
            ("adpcm", dict(law="ADAP", levels="4", coefficients="2", parameter="a"),
             "Niepoprawna wartość 'Parametr predykcji'."),
            ("pcm", dict(law="ADAP", levels="32"), R.LEVELS_MSG),
            ("pcm", dict(law="LOG", levels="1"), R.LEVELS_MSG),
            ("pcm", dict(law="LLOYD", levels="65537"), R.LEVELS_MSG),
            ("pcm", dict(law="ROW", levels="4", range="1,01"), R.RANGE_MSG),
            ("pcm", dict(law="LLOYD", levels="3"), R.DISTINCT_MSG),
        ]
        for mode, kw, msg in cases:
            try:
                run(d, mode, **kw)
                check("refusal %s %r" % (mode, kw), None, msg)
            except R.Refusal as r:
                check("refusal %s %r" % (mode, kw), r.text, msg)
        check("LOG 1000 accepted", run(d, "pcm", law="LOG", levels="1000")[0], "SNR")
        check("range 1,0 accepted", run(d, "pcm", law="ROW", levels="4", range="1,0")[0], "SNR")


def test_input_page():
    with Dir() as d:
        page = R.InputPage(d.tmp)
        for text in ("0", "-5", "4000", ""):
            try:
                page.generate(text)
                check("frequency %r refused" % text, False, True)
            except R.Refusal as r:
                check("frequency %r refused" % text, r.text, "Niepoprawna wartość częstotliwości.")
        page.generate("0,001")
        page.generate("3999,9")
        page.generate("2000")
        w = d.words("001.tmp")
        check("tone length", (len(d.get("001.tmp")), w[0]), (10244, 2560.0))
        check("tone 2000", [round(v, 6) for v in w[1:6]], [0.0, 1.0, 0.0, -1.0, 0.0])
        page.generate("1000")
        w = d.words("001.tmp")
        check("tone 1000 period 8", [round(a - b, 6) for a, b in zip(w[1:9], w[9:17])], [0.0] * 8)
        for text, want in [("6", 0.501187), ("-6", 1.995262)]:
            near("gain %s" % text, f(10.0 ** ((-1.0 * R.parse_decimal(text)) * 0.05)), want, 1e-6)
        check("gain 0", f(10.0 ** ((-1.0 * 0.0) * 0.05)), 1.0)
        # File input attenuated twice stays 6 dB down; tone attenuated twice is 12 dB down.
        src = d.put("in.wav", wav_bytes(16, [20000, -20000, 10000]))
        page.choose_file(src)
        page.attenuate("6")
        once = d.words("001.tmp")
        page.attenuate("6")
        check("file attenuation does not add up", d.words("001.tmp"), once)
        page.generate("1000")
        page.attenuate("6")
        page.attenuate("6")
        near("tone attenuation adds up", max(d.words("001.tmp")[1:]), 10 ** (-0.6), 1e-3)
        check("tmp_we.wav removed", os.path.exists(d.p("tmp_we.wav")), False)
        page2 = R.InputPage(d.tmp)
        page2.select_source("wav")
        try:
            page2.attenuate("6")
            check("attenuate without a file", False, True)
        except R.Refusal as r:
            check("attenuate without a file", (r.title, r.text), ("Blad", "Blad pliku wejsciowego"))
        try:
            page.attenuate("-800")
            check("infinite gain refused", False, True)
        except R.Refusal as r:
            check("infinite gain refused", r.text, "Niepoprawna wartość tłumienia.")
        for name, data in [("empty", wav_bytes(16, [])), ("24-bit", wav_bytes(24, [0] * 3,
                                                                               block_align=3))]:
            try:
                page.choose_file(d.put("bad.wav", data))
                check("refused " + name, False, True)
            except R.Refusal as r:
                check("refused " + name, r.title, "Blad")


def main():
    for t in (test_wav_and_conversions, test_chunk_walking, test_numbers, test_quantisers,
              test_adaptive, test_lloyd, test_predictors, test_runs, test_settings_order,
              test_input_page):
        try:
            t()
        except Exception as exc:  # a crash in one group is a failure, not the end of the test
            import traceback

            FAILURES.append("%s raised %s\n%s" % (t.__name__, exc, traceback.format_exc()))
    for line in FAILURES:
        print("FAIL", line)
    print("%d checks, %d failed" % (CHECKS, len(FAILURES)))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
