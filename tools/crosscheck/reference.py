#!/usr/bin/python3
"""Independent reference of the simulator's working files, for byte-for-byte cross-checks.

A second, deliberately plain reading of the documents in Python: the WAV classes, the working
files and their conversions, the input actions (file, tone, attenuation), the multiplier table,
the quantisers (uniform, A-law, Lloyd-Max, adaptive), the predictors (SG, SGN, least squares), the
frame loop with its measures and the three runs, and a command line with the options, outputs and
exit statuses of modulacje-sim.

float32 arithmetic is emulated by computing in Python double from float32 operands and rounding
once, where a value is stored, through an array('f') slot (which rounds to nearest and gives
infinity on overflow, as a C cast does). Running sums are float32 and round after every term.

Overflow handling follows a trap model: a stored result that is infinite stops the computation at
that point, before anything that follows it (including the write of that value to a file).

Only the standard library is used, except numpy's long double for the tone's phase.
"""

import array
import json
import math
import os
import re
import struct
import sys

# ----------------------------------------------------------------------------------------------
# float32 emulation

_SLOT = array.array("f", [0.0])
FLT_MAX = 3.4028234663852886e38
FLT_MIN = 1.1754943508222875e-38


def f32(x):
    """x rounded to the nearest float32 (infinity beyond the range), as a Python float."""
    _SLOT[0] = x
    return _SLOT[0]


class Overflow(Exception):
    """A float32 result beyond the float32 range."""


class DivisionByZero(Exception):
    """A floating-point division by zero."""


def s32(x):
    """Stores x as float32; an infinite result is an overflow."""
    _SLOT[0] = x
    v = _SLOT[0]
    if v == math.inf or v == -math.inf:
        raise Overflow()
    return v


def s32v(values):
    """Stores a list of doubles as float32 values; any infinite result is an overflow."""
    out = array.array("f", values).tolist()
    for v in out:
        if v == math.inf or v == -math.inf:
            raise Overflow()
    return out


def fdiv(a, b):
    if b == 0:
        raise DivisionByZero()
    return a / b


def f32_bytes(x):
    _SLOT[0] = x
    return _SLOT.tobytes()


# ----------------------------------------------------------------------------------------------
# Texts typed by the user (Polish conventions)

_INT_RE = re.compile(r"[+-]?[0-9]+\Z")
_DEC_RE = re.compile(r"[+-]?[0-9]+([.,][0-9]+)?([eE][+-]?[0-9]+)?\Z")


def _strip_spaces(text):
    return text.strip(" ")


def parse_integer(text):
    """An optional sign and decimal digits that fit in 32 bits, or None."""
    t = _strip_spaces(text)
    if not _INT_RE.match(t):
        return None
    v = int(t)
    if v < -(2**31) or v > 2**31 - 1:
        return None
    return v


def parse_decimal(text):
    """The nearest double of the text rounded to float32, or None (also beyond float32 range)."""
    t = _strip_spaces(text)
    if not _DEC_RE.match(t):
        return None
    d = float(t.replace(",", "."))
    v = f32(d)
    if math.isinf(v):
        return None
    return v


def format_measure(v):
    """%.15G with a decimal comma."""
    return ("%.15G" % v).replace(".", ",")


# ----------------------------------------------------------------------------------------------
# Sample streams

def read_stream(path):
    """All float32 words of a stream file: (header, list of values)."""
    with open(path, "rb") as f:
        data = f.read()
    n = len(data) // 4
    a = array.array("f")
    a.frombytes(data[: 4 * n])
    if sys.byteorder != "little":
        a.byteswap()
    words = a.tolist()
    if not words:
        return None, []
    return words[0], words[1:]


class StreamWriter:
    """A float32 little-endian stream; values are appended as they are produced."""

    def __init__(self, path):
        self.f = open(path, "wb")
        self.buf = array.array("f")

    def write(self, v):
        self.buf.append(v)

    def close(self):
        if sys.byteorder != "little":
            self.buf.byteswap()
        self.f.write(self.buf.tobytes())
        self.f.close()


# ----------------------------------------------------------------------------------------------
# RIFF/WAVE files


class WavFormat:
    def __init__(self):
        self.format_tag = 0
        self.channels = 0
        self.sample_rate = 0
        self.avg_bytes = 0
        self.block_align = 0
        self.bits = 0

    def copy_from(self, other):
        for k in ("format_tag", "channels", "sample_rate", "avg_bytes", "block_align", "bits"):
            setattr(self, k, getattr(other, k))


class WavReader:
    """A WAV file opened for reading: walks the chunks as the RIFF reader does.

    ok is the result of opening; fmt holds the format fields (also when only the data chunk is
    missing). Samples are frames of block_align bytes; the first channel is read. A data chunk
    that claims more bytes than the file holds counts only the whole frames present.
    """

    def __init__(self, path):
        self.fmt = WavFormat()
        self.ok = False
        self.data = b""
        self.data_start = 0
        self.data_length = 0
        try:
            with open(path, "rb") as f:
                self.data = f.read()
        except OSError:
            return
        self._open()

    def _header(self, pos):
        """Reads a chunk header at pos: (id, size, dataStart, next) or None at end of file."""
        d = self.data
        if pos + 8 > len(d):
            return None
        cid = d[pos : pos + 4]
        size = struct.unpack_from("<I", d, pos + 4)[0]
        p = pos + 8
        if cid in (b"RIFF", b"LIST"):
            if p + 4 > len(d):
                return None
            form = d[p : p + 4]
            p += 4
            size = (size - 4) & 0xFFFFFFFF
        else:
            form = b""
        nxt = p + size
        if nxt % 2:
            nxt += 1
        return cid, size, p, nxt, form

    def _descend(self, parent, want):
        pos = parent[2]
        while pos < parent[3]:
            h = self._header(pos)
            if h is None:
                return None
            if h[0] == want:
                return h
            pos = h[3]
        return None

    def _open(self):
        outer = self._header(0)
        if outer is None or outer[0] != b"RIFF":
            return
        if outer[4] != b"WAVE":
            return
        fmt = self._descend(outer, b"fmt ")
        if fmt is None:
            return
        size = fmt[1]
        if size == 0 or fmt[2] + size > len(self.data):
            return
        buf = self.data[fmt[2] : fmt[2] + min(size, 16)].ljust(16, b"\0")
        (
            self.fmt.format_tag,
            self.fmt.channels,
            self.fmt.sample_rate,
            self.fmt.avg_bytes,
            self.fmt.block_align,
            self.fmt.bits,
        ) = struct.unpack("<HHIIHH", buf)
        chunk = self._descend(outer, b"data")
        if chunk is None:
            return
        self.data_start = chunk[2]
        present = max(0, len(self.data) - chunk[2])
        self.data_length = min(chunk[1], present)
        self.ok = True

    def sample_count(self):
        if self.fmt.block_align == 0:
            return 0
        return self.data_length // self.fmt.block_align

    def samples_readable(self):
        """Accepted as an input: 8 or 16 bits in frames that hold a whole sample, 1 to 16777216
        sample frames."""
        return (
            self.ok
            and self.fmt.bits in (8, 16)
            and self.fmt.block_align >= self.fmt.bits // 8
            and 1 <= self.sample_count() <= 16777216
        )

    def read_samples(self):
        """The sample_count() values of the first channel, each as float32."""
        if not self.ok or self.fmt.bits not in (8, 16):
            return []
        out = []
        ba = self.fmt.block_align
        d = self.data
        start = self.data_start
        r127 = 1.0 / 127
        r32767 = 1.0 / 32767
        for i in range(self.sample_count()):
            p = start + i * ba
            if self.fmt.bits == 8:
                if p + 1 > len(d):
                    break
                out.append(f32(d[p] * r127 - 1.0))
            else:
                if p + 2 > len(d):
                    break
                s = struct.unpack_from("<h", d, p)[0]
                out.append(f32(s * r32767))
        return out


def _code8(x):
    if math.isnan(x):
        x = 0.0
    v = (x + 1.0) * 127.0
    if math.isinf(v):
        return 255 if v > 0 else 0
    c = math.trunc(v)
    return min(255, max(0, c))


def _code16(x):
    if math.isnan(x):
        x = 0.0
    v = x * 32767.0
    if math.isinf(v):
        return 32767 if v > 0 else -32768
    c = math.trunc(v)
    return min(32767, max(-32768, c))


def write_wav(path, fmt, values):
    """Creates a WAV file with fmt's format holding values (floats), as the writer leaves it.

    With no sample written (none given, or a width other than 8/16 bits), the file keeps the
    header written at creation: all format fields 0 and data length 0.
    """
    body = bytearray()
    if fmt.bits in (8, 16) and values:
        ch = fmt.channels
        per = fmt.bits // 8
        pad = max(0, fmt.block_align - ch * per) if ch > 0 else 0
        for x in values:
            if fmt.bits == 8:
                one = bytes([_code8(x)])
            else:
                one = struct.pack("<h", _code16(x))
            body += one * ch
            body += b"\0" * pad
    if body:
        f = fmt
        length = len(body)
    else:
        f = WavFormat()
        length = 0
    header = (
        b"RIFF"
        + struct.pack("<I", (length + 36) & 0xFFFFFFFF)
        + b"WAVEfmt "
        + struct.pack(
            "<IHHIIHH", 16, f.format_tag, f.channels, f.sample_rate, f.avg_bytes,
            f.block_align, f.bits,
        )
        + b"data"
        + struct.pack("<I", length)
    )
    with open(path, "wb") as out:
        out.write(header)
        out.write(body)


# ----------------------------------------------------------------------------------------------
# Conversions between WAV files and sample streams


def wav_to_stream(wav_path, stream_path, header, scale):
    r = WavReader(wav_path)
    vals = r.read_samples()
    w = StreamWriter(stream_path)
    w.write(header)
    for v in vals:
        w.write(f32(v * scale))
    w.close()


def scale_wav(src_path, dst_path, gain):
    r = WavReader(src_path)
    vals = [f32(v * gain) for v in r.read_samples()]
    write_wav(dst_path, r.fmt, vals)


def stream_to_wav(stream_path, dst_path, ref_path):
    ref = WavReader(ref_path)
    fmt = WavFormat()
    fmt.copy_from(ref.fmt)
    header, values = read_stream(stream_path)
    out = []
    if header is not None:
        k = 0.0
        i = 0
        while k < header and i < len(values):
            out.append(values[i])
            i += 1
            k = f32(k + 1.0)
    write_wav(dst_path, fmt, out)


# ----------------------------------------------------------------------------------------------
# Refusals and messages


class Refusal(Exception):
    """A message box that ends the action: (title, text)."""

    def __init__(self, title, text):
        super().__init__(title + ": " + text)
        self.title = title
        self.text = text


class Messages:
    """Collects the messages that do not end the call (predictor overflow)."""

    def __init__(self, echo=None):
        self.lines = []
        self.echo = echo

    def show(self, title, text):
        self.lines.append((title, text))
        if self.echo:
            self.echo(title, text)


# ----------------------------------------------------------------------------------------------
# Input actions

SAMPLING_INTERVAL = 0.000125
TWO_PI = 6.283185307179586
TONE_LENGTH = 2560


def tone_values(f):
    """sin(((2*pi*f)*i)*0.000125) with the phase in long double, sine in double, stored float32."""
    import numpy as np

    two_pi = np.longdouble(TWO_PI)
    ff = np.longdouble(f)
    dt = np.longdouble(SAMPLING_INTERVAL)
    out = []
    for i in range(TONE_LENGTH):
        phase = ((two_pi * ff) * np.longdouble(i)) * dt
        out.append(f32(math.sin(float(phase)) * 1.0))
    return out


class InputPage:
    """The input actions: choose a file, generate the tone, select the source, attenuate."""

    def __init__(self, tmp):
        self.tmp = tmp
        self.source = "wav"
        self.chosen = None
        self.signal_length = 0

    def path(self, name):
        return os.path.join(self.tmp, name)

    def choose_file(self, wav_path):
        self.source = "wav"
        self.chosen = wav_path
        r = WavReader(wav_path)
        if not r.samples_readable():
            raise Refusal("Blad", "Blad pliku wejsciowego")
        n = r.sample_count()
        self.signal_length = n
        wav_to_stream(wav_path, self.path("001.tmp"), float(n), 1.0)
        scale_wav(wav_path, self.path("we.wav"), 1.0)

    def generate(self, text):
        f = parse_decimal(text)
        if f is None or not (0 < f < 4000):
            raise Refusal("Błąd", "Niepoprawna wartość częstotliwości.")
        self.source = "sine"
        self.signal_length = TONE_LENGTH
        w = StreamWriter(self.path("001.tmp"))
        w.write(float(TONE_LENGTH))
        for v in tone_values(f):
            w.write(v)
        w.close()
        stream_to_wav(self.path("001.tmp"), self.path("we.wav"), self.path("wzorzec.wav"))

    def select_source(self, source):
        self.source = source

    def attenuate(self, text):
        if self.source == "wav":
            r = WavReader(self.chosen) if self.chosen else None
            if r is None or not r.samples_readable():
                raise Refusal("Blad", "Blad pliku wejsciowego")
            self.signal_length = r.sample_count()
            h = float(self.signal_length)
        else:
            # The tone's attenuation needs the current input stream; without one it is refused
            # like a file that cannot be read (nothing is touched).
            if not os.path.isfile(self.path("001.tmp")):
                raise Refusal("Blad", "Blad pliku wejsciowego")
            h, _ = read_stream(self.path("001.tmp"))
        a = parse_decimal(text)
        if a is None:
            raise Refusal("Błąd", "Niepoprawna wartość tłumienia.")
        try:
            g = f32(10.0 ** ((-1.0 * a) * 0.05))
        except OverflowError:
            g = math.inf
        if math.isinf(g):
            raise Refusal("Błąd", "Niepoprawna wartość tłumienia.")
        if self.source == "wav":
            wav_to_stream(self.chosen, self.path("001.tmp"), h, g)
            scale_wav(self.chosen, self.path("we.wav"), g)
        else:
            we = self.path("we.wav")
            tmp_we = self.path("tmp_we.wav")
            wav_to_stream(we, self.path("001.tmp"), h, g)
            scale_wav(we, tmp_we, 1.0)
            scale_wav(tmp_we, we, g)
            os.remove(tmp_we)


# ----------------------------------------------------------------------------------------------
# Multiplier table

DEFAULT_MULTIPLIERS = {
    4: [1.6, 0.8, 0.8, 1.6],
    8: [1.75, 1.75, 0.9, 0.9, 0.9, 0.9, 1.75, 1.75],
    16: [2.4, 2.0, 1.6, 1.2, 0.8, 0.8, 0.8, 0.8, 0.8, 0.8, 0.8, 0.8, 1.2, 1.6, 2.0, 2.4],
}


class Multipliers:
    def __init__(self):
        self.rows = {n: [f32(v) for v in vals] for n, vals in DEFAULT_MULTIPLIERS.items()}

    def edit(self, n, texts):
        """The dialog's OK: stores each text in turn; a bad text stops with the message."""
        for i, t in enumerate(texts):
            v = parse_decimal(t)
            if v is None:
                raise Refusal("Błąd", "Niepoprawny format liczby")
            self.rows[n][i] = v


# ----------------------------------------------------------------------------------------------
# Pseudo-random generator: std::minstd_rand, default seed


class MinStdRand:
    def __init__(self):
        self.x = 1

    def next(self):
        self.x = (48271 * self.x) % 2147483647
        return self.x


# ----------------------------------------------------------------------------------------------
# Quantiser

A_LAW = f32(87.6)
K_LAW = 1.0 + math.log(A_LAW)
ADAP_STEP0 = f32(0.1)
ADAP_FLOOR = f32(1e-6)


def uniform_grid(w, n):
    """Cells (low, high, centre) of the uniform grid of n levels over -w ... +w."""
    d = s32(2.0 * w / (n - 1))
    cells = []
    for i in range(n):
        c = i * d - w
        cells.append((s32(c - d / 2), s32(c + d / 2), s32(c)))
    return cells


def expand(y, peak):
    """Inverse A-law characteristic scaled to the peak of the grid."""
    t = f32(peak / K_LAW)
    if y >= 0:
        if y > t:
            x = peak * math.exp(K_LAW * y / peak - 1) / A_LAW
        else:
            x = K_LAW * y / A_LAW
    else:
        if y < -t:
            x = -peak * math.exp(-K_LAW * y / peak - 1) / A_LAW
        else:
            x = K_LAW * y / A_LAW
    return s32(x)


def log_cells(w, n):
    grid = uniform_grid(w, n)
    peak = -grid[0][0]
    cells = []
    for lo, hi, _ in grid:
        dl = expand(lo, peak)
        gh = expand(hi, peak)
        cells.append((dl, gh, s32((gh - dl) * 0.5 + dl)))
    return cells


def cells_from_levels(p):
    n = len(p)
    cells = []
    for i in range(n):
        if i == 0:
            lo = s32(p[0] - (p[1] - p[0]) * 0.5)
            hi = s32((p[1] - p[0]) * 0.5 + p[0])
        elif i == n - 1:
            lo = s32(p[n - 1] - (p[n - 1] - p[n - 2]) * 0.5)
            hi = s32((p[n - 1] - p[n - 2]) * 0.5 + p[n - 1])
        else:
            lo = s32(p[i] - (p[i] - p[i - 1]) * 0.5)
            hi = s32((p[i + 1] - p[i]) * 0.5 + p[i])
        cells.append((lo, hi, p[i]))
    return cells


def _nondecreasing(seq):
    return all(seq[i] <= seq[i + 1] for i in range(len(seq) - 1))


class CellTable:
    """Cells in ascending order with the first-match scans of the quantiser and of training."""

    def __init__(self, cells):
        import bisect

        self._bisect = bisect
        self.lo = [c[0] for c in cells]
        self.hi = [c[1] for c in cells]
        self.level = [c[2] for c in cells]
        self.monotone = _nondecreasing(self.lo) and _nondecreasing(self.hi)

    def first_inclusive(self, x):
        """Index of the first cell with lo <= x <= hi, or None."""
        if self.monotone:
            i = self._bisect.bisect_left(self.hi, x)
            if i < len(self.hi) and self.lo[i] <= x:
                return i
            return None
        for i in range(len(self.lo)):
            if self.lo[i] <= x <= self.hi[i]:
                return i
        return None

    def first_upper_exclusive(self, x):
        """Index of the first cell with lo <= x < hi, or None."""
        if self.monotone:
            i = self._bisect.bisect_right(self.hi, x)
            if i < len(self.hi) and self.lo[i] <= x:
                return i
            return None
        for i in range(len(self.lo)):
            if self.lo[i] <= x < self.hi[i]:
                return i
        return None


class NotEnoughDistinct(Exception):
    """The random initial codebook cannot find N distinct values."""


def lloyd_design(n, code, stream_path, rng):
    header, values = read_stream(stream_path)
    k = int(header) if header is not None and not math.isnan(header) else 0
    largest = 0.0
    smallest = 0.0
    for v in values:
        if v > largest:
            largest = v
        elif v < smallest:
            smallest = v
    r = abs(smallest) if abs(smallest) <= abs(largest) else abs(largest)
    if code in (0, 1):
        reachable = values[: max(k, 1)] if k > 0 else values[:1]
        if len(set(reachable)) < n:
            raise NotEnoughDistinct()

        def draw():
            j = rng.next() % k if k > 0 else 0
            return values[j]

        levels = [draw()]
        seen = set(levels)
        while len(levels) < n:
            c = draw()
            if c in seen:
                continue
            levels.append(c)
            seen.add(c)
        p = sorted(levels)
    elif code == 2:
        p = [c[2] for c in log_cells(r, n)]
    else:
        p = [c[2] for c in uniform_grid(r, n)]
    passes = 0
    while True:
        table = CellTable(cells_from_levels(p))
        lists = [[] for _ in range(n)]
        for x in values:
            i = table.first_upper_exclusive(x)
            if i is None:
                if x < p[0]:
                    i = 0
                elif x > p[n - 1]:
                    i = n - 1
                else:
                    continue
            lists[i].append(x)
        change = 0.0
        for i in range(n):
            cnt = len(lists[i])
            if cnt == 0:
                continue
            s = 0.0
            for x in reversed(lists[i]):
                s = s32(s + x)
            m = s / cnt
            c = s32((m - p[i]) * (m - p[i]))
            change = c if change == 0 else max(change, c)
            p[i] = s32(m)
        passes += 1
        if not (change > 1e-6 and passes < 6):
            break
    return cells_from_levels(p)


class Quantiser:
    """Kwantyzery: kinds ROW, LOG, LLOYD, ADAP, BRAK; any other kind returns 0."""

    def __init__(self, kind, n, w, code, multipliers=None, stream_path=None, rng=None):
        self.kind = kind
        self.n = n
        self.table = None
        if kind == "LLOYD":
            self.table = CellTable(lloyd_design(n, code, stream_path, rng))
        if kind == "ROW":
            self.table = CellTable(uniform_grid(w, n))
        if kind == "LOG":
            self.table = CellTable(log_cells(w, n))
        if kind == "ADAP":
            self.step = ADAP_STEP0
            self.normal = [s32((i * 2 * self.step) / (n - 1) - self.step) for i in range(n)]
            self.mult = list(multipliers.rows[n])

    def quantise(self, x):
        if self.kind == "BRAK":
            return x
        if self.table is not None:
            if math.isnan(x):
                return 0.0
            t = self.table
            i = t.first_inclusive(x)
            if i is not None:
                return t.level[i]
            if x < t.lo[0]:
                return t.level[0]
            if x > t.hi[-1]:
                return t.level[-1]
            return 0.0
        if self.kind == "ADAP":
            return self._adaptive(x)
        return 0.0

    def _adaptive(self, x):
        levels = [s32(v * self.step) for v in self.normal]
        d = x - levels[0]
        best = s32(d * d)
        chosen = 0
        for i in range(1, self.n):
            d = x - levels[i]
            cand = d * d
            if cand <= best:
                best = s32(cand)
                chosen = i
        y = levels[chosen]
        self.step = s32(self.step * self.mult[chosen])
        if self.step < 1e-6:
            self.step = ADAP_FLOOR
        return y


# ----------------------------------------------------------------------------------------------
# Matrices (least-squares predictor): lists of rows of float32 values


def mat_mul(a, b):
    rows = len(a)
    cols = len(b[0])
    inner = len(b)
    c = [[0.0] * cols for _ in range(rows)]
    flat = [0.0] * (rows * cols)
    for k in range(inner):
        bk = b[k]
        flat = s32v(
            [a[i][k] * bk[j] + flat[i * cols + j] for i in range(rows) for j in range(cols)]
        )
    for i in range(rows):
        c[i] = flat[i * cols : (i + 1) * cols]
    return c


def mat_t(a):
    return [list(col) for col in zip(*a)]


def mat_scale(a, s):
    return [s32v([v * s for v in row]) for row in a]


def mat_sub(a, b):
    return [s32v([x - y for x, y in zip(ra, rb)]) for ra, rb in zip(a, b)]


def mat_add(a, b):
    return [s32v([x + y for x, y in zip(ra, rb)]) for ra, rb in zip(a, b)]


# ----------------------------------------------------------------------------------------------
# Predictor

SGN_BETA = f32(0.95)
SGN_EPS = f32(0.0001)


class Predictor:
    """Predyktory: SG, SGN and NSK; any other code predicts 0 and never adapts.

    on_overflow is called when a result inside the predictor overflows; the operation then
    stops, the fields keep what they had, and a prediction gives 0.0.
    """

    def __init__(self, algorithm, k, parameter, on_overflow, stream_path=None):
        self.alg = algorithm
        self.k = k
        self.par = parameter
        self.power = 0.0
        self.hist = [0.0] * k
        self.w = [0.0] * k
        self.n = 0
        self.on_overflow = on_overflow
        if algorithm == "NSK":
            _, self.input = read_stream(stream_path)
            self.p = [[1.0 if i == j else 0.0 for j in range(k)] for i in range(k)]

    def _sum(self):
        s = 0.0
        for h, w in zip(self.hist, self.w):
            s = s32(h * w + s)
        return s

    def predict(self):
        try:
            return self._sum()
        except Overflow:
            self.on_overflow()
            return 0.0

    def adapt(self, v):
        try:
            if self.alg == "SG":
                self._sg(v)
            if self.alg == "SGN":
                self._sgn(v)
            if self.alg == "NSK" and self.n > 0:
                self._nsk(v)
        except Overflow:
            self.on_overflow()

    def coefficients(self):
        return list(self.w)

    def _sg(self, v):
        mu = self.par
        yh = self._sum()
        e = s32(v - yh)
        for j in range(self.k):
            self.w[j] = s32((mu * e) * self.hist[j] + self.w[j])
        self._push_last(e, yh)

    def _push_last(self, e, yh):
        for j in range(self.k - 1):
            self.hist[j] = self.hist[j + 1]
        self.hist[self.k - 1] = s32(e + yh)

    def _sgn(self, v):
        alpha = self.par
        yh = self._sum()
        e = s32(v - yh)
        t = e + yh
        m = s32((1 - SGN_BETA) * t * t + SGN_BETA * self.power)
        mu = s32(fdiv(alpha, m + SGN_EPS))
        for j in range(self.k):
            self.w[j] = s32((mu * e) * self.hist[j] + self.w[j])
        self._push_last(e, yh)
        self.power = m

    def sample_in(self, k):
        if k < 0:
            return 0.0
        return self.input[k]

    def _nsk(self, v):
        k = self.k
        lam = self.par
        n = self.n
        p = self.p
        u = [[self.sample_in(n - 1 - i)] for i in range(k)]
        ut = mat_t(u)
        a = mat_mul(mat_mul(mat_mul(p, u), ut), p)
        d = mat_mul(mat_mul(ut, p), u)[0][0]
        den = s32(d + lam)
        g = s32(fdiv(1.0, den))
        a = mat_scale(a, g)
        diff = mat_sub(p, a)
        inv = s32(fdiv(1.0, lam))
        p2 = mat_scale(diff, inv)
        wv = [[c] for c in self.w]
        e = s32(v - self.predict())
        wv = mat_add(wv, mat_mul(mat_scale(p2, e), u))
        self.w = [row[0] for row in wv]
        self.p = p2
        for i in range(k - 1, 0, -1):
            self.hist[i] = self.hist[i - 1]
        self.hist[0] = v


# ----------------------------------------------------------------------------------------------
# Frame loop and runs

GATE = 0.00128
RATIO_CEILING = FLT_MAX
EMPTY_SEGMENTAL = FLT_MIN
FRAME = 128


class GuardStop(Exception):
    """An overflow at a guarded place of the frame loop."""


def guarded(x):
    v = f32(x)
    if math.isinf(v):
        raise GuardStop()
    return v


class RunResult:
    def __init__(self, measure, ratios, segmental, overall):
        self.measure = measure
        self.ratios = ratios
        self.segmental = segmental
        self.overall = overall


def frame_loop(tmp, files, k_coef, step, gate_on_energy):
    """Runs step(x, n) -> (y, err_diff_or_None, err_square) over 001.tmp in frames.

    files maps names to the run's streams in their order of opening; the step writes its own
    per-sample values. Returns the three measures; raises GuardStop after closing the files.
    """
    header, values = read_stream(os.path.join(tmp, "001.tmp"))
    c = header
    # A stream that no input action writes (no samples, more than 2^24, or fewer values than
    # its header counts) is refused before any file is opened: the loop would have nothing to
    # read or would read past the end of the stream.
    if c is None or not (1 <= c <= 16777216) or int(c) > len(values):
        raise Refusal("Błąd", "Niepoprawny plik wejściowy Tmp/001.tmp.")
    n_total = int(c)
    last = n_total // FRAME if n_total % FRAME else n_total // FRAME - 1
    writers = {}
    for name in files:
        writers[name] = StreamWriter(os.path.join(tmp, name))
    try:
        for name in files:
            if name in ("002.tmp", "003.tmp", "004.tmp"):
                writers[name].write(c)
            elif name == "005.tmp":
                writers[name].write(float(k_coef))
            elif name == "006.tmp":
                writers[name].write(float(last))
            else:
                writers[name].write(1.0)
        S = E = seg_sum = 0.0
        seg_count = 0
        ratios = []
        for j in range(last + 1):
            s = e = 0.0
            i = 0
            while i < FRAME and j * FRAME + i < n_total:
                n = j * FRAME + i
                x = values[n]
                err2 = step(x, n, writers)
                x2 = x * x
                s = guarded(s + x2)
                S = guarded(S + x2)
                e = guarded(e + err2)
                E = guarded(E + err2)
                i += 1
            if e != 0:
                r = guarded(s / e)
            elif s != 0:
                r = RATIO_CEILING
            else:
                r = 0.0
            writers["006.tmp"].write(r)
            ratios.append(r)
            gate = s if gate_on_energy else r
            if gate > GATE:
                seg_sum = guarded(seg_sum + 10 * math.log10(r))
                seg_count += 1
        segmental = f32(seg_sum / seg_count) if seg_count else EMPTY_SEGMENTAL
        writers["007.tmp"].write(segmental)
        overall = s32(S / E) if E != 0 else RATIO_CEILING
        writers["008.tmp"].write(overall)
    finally:
        for w in writers.values():
            w.close()
    return ratios, segmental, overall


class RunSettings:
    def __init__(self):
        self.law = "ROW"
        self.levels = ""
        self.range = "1,0"
        self.codebook = 1
        self.algorithm = "SG"
        self.coefficients = ""
        self.parameter = ""


LEVELS_MSG = "Niepoprawna wartość 'Liczba poziomów kwantyzacji'."
RANGE_MSG = "Niepoprawna wartość 'Zakres pracy.'."
DISTINCT_MSG = "Za mało różnych wartości próbek do wylosowania słownika."


def _check_levels_for_kind(kind, levels):
    if levels < 2:
        raise Refusal("Błąd", LEVELS_MSG)
    if kind == "ROW" and not (1 <= levels <= 256):
        raise Refusal("Błąd", LEVELS_MSG)
    if kind == "ADAP" and levels not in (4, 8, 16):
        raise Refusal("Błąd", LEVELS_MSG)
    if kind in ("LOG", "LLOYD") and levels > 65536:
        raise Refusal("Błąd", LEVELS_MSG)


def _parse_range(text):
    v = parse_decimal(text)
    if v is None or not (0 < v <= 1.0):
        raise Refusal("Błąd", RANGE_MSG)
    return v


class Simulator:
    """The runs on one start-up directory's Tmp, with the process's multipliers and generator."""

    def __init__(self, tmp, multipliers, rng, messages):
        self.tmp = tmp
        self.mult = multipliers
        self.rng = rng
        self.messages = messages
        self._overflow_shown = False

    def _predictor_overflow(self):
        if not self._overflow_shown:
            self._overflow_shown = True
            self.messages.show("Przekroczono zakres", "Sprawdź ustawienia układu.")

    def _quantiser(self, kind, levels, rng_range, code):
        try:
            return Quantiser(
                kind, levels, rng_range, code, self.mult,
                os.path.join(self.tmp, "001.tmp"), self.rng,
            )
        except NotEnoughDistinct:
            raise Refusal("Błąd", DISTINCT_MSG)

    def _predictor(self, alg, k, par):
        return Predictor(alg, k, par, self._predictor_overflow, os.path.join(self.tmp, "001.tmp"))

    def run(self, mode, st):
        """Runs one simulation; returns (label, ratios, segmental, overall) or raises Refusal."""
        self._overflow_shown = False
        if not os.path.isfile(os.path.join(self.tmp, "001.tmp")):
            raise Refusal("Błąd", "Nie wybrano pliku wejściowego")
        try:
            if mode == "pcm":
                res = self._pcm(st)
            elif mode == "prediction":
                res = self._prediction(st)
            else:
                res = self._adpcm(st)
        except GuardStop:
            raise Refusal("Przekroczono zakres", "Sprawdź ustawienia układu.")
        except (Overflow, DivisionByZero, OverflowError, ZeroDivisionError) as exc:
            if isinstance(exc, (DivisionByZero, ZeroDivisionError)):
                raise Refusal("Błąd", "Dzielenie przez zero. Sprawdź ustawienia układu.")
            raise Refusal("Błąd", "Przekroczono zakres. Sprawdź ustawienia układu.")
        stream_to_wav(
            os.path.join(self.tmp, "002.tmp"),
            os.path.join(self.tmp, "wy.wav"),
            os.path.join(self.tmp, "we.wav"),
        )
        return res

    def _pcm(self, st):
        levels = parse_integer(st.levels)
        if levels is None:
            raise Refusal("Błąd", LEVELS_MSG)
        code = st.codebook
        v = _parse_range(st.range)
        kind = st.law
        _check_levels_for_kind(kind, levels)
        q = self._quantiser(kind, levels, v, code)

        def step(x, n, w):
            y = q.quantise(x)
            w["002.tmp"].write(y)
            diff = guarded(x - y)
            w["003.tmp"].write(diff)
            return diff * diff

        files = ["002.tmp", "003.tmp", "006.tmp", "007.tmp", "008.tmp"]
        return ("SNR",) + frame_loop(self.tmp, files, 0, step, False)

    def _prediction(self, st):
        alg = st.algorithm
        k = parse_integer(st.coefficients)
        if k is None:
            raise Refusal("Błąd", "Niepoprawna wartość 'Lizcba współczynników predykcji'.")
        if not (1 <= k <= 11):
            raise Refusal("Błąd", "Niepoprawna wartość 'Rząd predyktora'")
        par = parse_decimal(st.parameter)
        if par is None:
            raise Refusal("Błąd", "Niepoprawna wartość 'Parametr predykcji'")
        pr = self._predictor(alg, k, par)

        def step(x, n, w):
            p = pr.predict()
            pr.n = n
            pr.adapt(x)
            w["002.tmp"].write(p)
            for c in pr.coefficients():
                w["005.tmp"].write(c)
            diff = guarded(x - p)
            w["004.tmp"].write(diff)
            return diff * diff

        files = ["002.tmp", "004.tmp", "005.tmp", "006.tmp", "007.tmp", "008.tmp"]
        return ("GP",) + frame_loop(self.tmp, files, k, step, True)

    def _adpcm(self, st):
        levels = parse_integer(st.levels)
        if levels is None:
            raise Refusal("Błąd", LEVELS_MSG)
        kind = st.law
        _check_levels_for_kind(kind, levels)
        alg = st.algorithm
        coef_msg = "Niepoprawna wartość 'Liczba współczynników predykcji'."
        k = parse_integer(st.coefficients)
        if k is None:
            raise Refusal("Błąd", coef_msg)
        code = st.codebook
        v = _parse_range(st.range)
        if not (1 <= k <= 11):
            raise Refusal("Błąd", coef_msg)
        par = parse_decimal(st.parameter)
        if par is None:
            raise Refusal("Błąd", "Niepoprawna wartość 'Parametr predykcji'.")
        coder = self._predictor(alg, k, par)
        decoder = self._predictor(alg, k, par)
        q = self._quantiser(kind, levels, v, code)

        def step(x, n, w):
            p = coder.predict()
            coder.n = n
            d = s32(x - p)
            qd = q.quantise(d)
            z = s32(qd + p)
            coder.adapt(z)
            c = qd
            p2 = decoder.predict()
            decoder.n = n
            y = s32(c + p2)
            decoder.adapt(y)
            w["002.tmp"].write(y)
            for cf in coder.coefficients():
                w["005.tmp"].write(cf)
            w["004.tmp"].write(d)
            diff = guarded(qd - d)
            w["003.tmp"].write(diff)
            err = x - y
            return err * err

        files = ["002.tmp", "004.tmp", "003.tmp", "005.tmp", "006.tmp", "007.tmp", "008.tmp"]
        return ("SNR",) + frame_loop(self.tmp, files, k, step, False)


# ----------------------------------------------------------------------------------------------
# Measures as the results page shows them

LABELS = {
    "SNR": ("SNR", "SNR_SEG", "SNR bieżącej ramki"),
    "GP": ("GP", "GP_SEG", "GP bieżącej ramki"),
}


def _db(r):
    return None if r == 0 else 10 * math.log10(r)


def measures_text(measure, ratios, segmental, overall):
    lab = LABELS[measure]
    o = _db(overall)
    fr = _db(ratios[0]) if ratios else None
    return [
        (lab[0], "-INF" if o is None else format_measure(o)),
        (lab[1], format_measure(segmental)),
        (lab[2], "-INF" if fr is None else format_measure(fr)),
    ]


def measures_json(measure, ratios, segmental, overall):
    return {
        "measure": measure,
        "overall_db": _db(overall),
        "segmental_db": segmental,
        "frame_db": [_db(r) for r in ratios],
    }


# ----------------------------------------------------------------------------------------------
# Command line

USAGE = """usage: reference.py [--dir DIR] [--wav PATH] [--sine TEXT] [--source wav|sine]
                    [--attenuate TEXT] [--multipliers4 T] [--multipliers8 T] [--multipliers16 T]
                    [--mode pcm|prediction|adpcm] [--law ROW|ADAP|LOG|LLOYD] [--levels TEXT]
                    [--range TEXT] [--codebook random|log|uniform] [--algorithm SG|SGN|NSK]
                    [--coefficients TEXT] [--parameter TEXT] [--json]
"""

CHOICES = {
    "--source": ("wav", "sine"),
    "--mode": ("pcm", "prediction", "adpcm"),
    "--law": ("ROW", "ADAP", "LOG", "LLOYD"),
    "--codebook": ("random", "log", "uniform"),
    "--algorithm": ("SG", "SGN", "NSK"),
}
CODEBOOK_CODES = {"random": 1, "log": 2, "uniform": 3}
INPUT_ACTIONS = ("--wav", "--sine", "--source", "--attenuate")
VALUE_OPTIONS = set(CHOICES) | {
    "--dir", "--wav", "--sine", "--attenuate", "--multipliers4", "--multipliers8",
    "--multipliers16", "--levels", "--range", "--coefficients", "--parameter",
}


class Usage(Exception):
    pass


def parse_args(argv):
    opts = {"dir": ".", "actions": [], "multipliers": [], "mode": None, "json": False}
    st = RunSettings()
    law_given = False
    i = 0
    while i < len(argv):
        a = argv[i]
        if a == "--json":
            opts["json"] = True
            i += 1
            continue
        if a not in VALUE_OPTIONS:
            raise Usage("unknown option " + a)
        if i + 1 >= len(argv):
            raise Usage("missing value for " + a)
        v = argv[i + 1]
        i += 2
        if a in CHOICES and v not in CHOICES[a]:
            raise Usage("bad value for " + a)
        if a == "--dir":
            opts["dir"] = v
        elif a in INPUT_ACTIONS:
            opts["actions"].append((a, v))
        elif a.startswith("--multipliers"):
            n = int(a[len("--multipliers"):])
            texts = v.split(" ")
            if len(texts) != n:
                raise Usage("--multipliers%d takes %d texts" % (n, n))
            opts["multipliers"].append((n, texts))
        elif a == "--mode":
            opts["mode"] = v
        elif a == "--law":
            st.law = v
            law_given = True
        elif a == "--levels":
            st.levels = v
        elif a == "--range":
            st.range = v
        elif a == "--codebook":
            st.codebook = CODEBOOK_CODES[v]
        elif a == "--algorithm":
            st.algorithm = v
        elif a == "--coefficients":
            st.coefficients = v
        elif a == "--parameter":
            st.parameter = v
    if opts["mode"] == "adpcm" and not law_given:
        st.law = "ADAP"
    opts["settings"] = st
    return opts


def main(argv=None, out=sys.stdout, err=sys.stderr):
    argv = sys.argv[1:] if argv is None else argv
    try:
        opts = parse_args(argv)
    except Usage as exc:
        err.write(str(exc) + "\n" + USAGE)
        return 2
    tmp = os.path.join(opts["dir"], "Tmp")
    if not os.path.isdir(tmp):
        err.write("Błąd: Brak katalogu %s\n" % tmp)
        return 1
    if not os.path.isfile(os.path.join(tmp, "wzorzec.wav")):
        err.write("Błąd: Brak pliku %s\n" % os.path.join(tmp, "wzorzec.wav"))
        return 1

    def echo(title, text):
        err.write("%s: %s\n" % (title, text))

    messages = Messages(echo)
    page = InputPage(tmp)
    mult = Multipliers()
    try:
        for action, value in opts["actions"]:
            if action == "--wav":
                page.choose_file(value)
            elif action == "--sine":
                page.generate(value)
            elif action == "--source":
                page.select_source(value)
            else:
                page.attenuate(value)
        for n, texts in opts["multipliers"]:
            mult.edit(n, texts)
        if opts["mode"] is None:
            return 0
        sim = Simulator(tmp, mult, MinStdRand(), messages)
        measure, ratios, segmental, overall = sim.run(opts["mode"], opts["settings"])
    except Refusal as r:
        echo(r.title, r.text)
        return 1
    if opts["json"]:
        out.write(
            json.dumps(measures_json(measure, ratios, segmental, overall), ensure_ascii=False)
            + "\n"
        )
    else:
        for label, text in measures_text(measure, ratios, segmental, overall):
            out.write("%s\t%s\n" % (label, text))
    return 0


if __name__ == "__main__":
    sys.exit(main())
