"""A small synthesizer: oscillators, envelopes, filters and a WAV writer, all in numpy."""
import wave

import numpy as np

RATE = 44100


def time_axis(seconds):
    return np.arange(int(round(seconds * RATE))) / RATE


def midi_hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def note_number(name):
    """'C4' is 60; sharps and flats as 'F#4' or 'Bb3'."""
    letter = name[0]
    rest = name[1:]
    shift = 0
    while rest and rest[0] in "#b":
        shift += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + NOTE_NAMES[letter] + shift


def phase_of(freq, t):
    """Phase in cycles for a constant or per-sample frequency."""
    if np.isscalar(freq):
        return freq * t
    return np.cumsum(freq) / RATE


def additive(freq, t, amps, nyquist_guard=True):
    """Sum of harmonics with the given amplitudes, leaving out those above 16 kHz (no aliasing)."""
    ph = 2 * np.pi * phase_of(freq, t)
    out = np.zeros_like(t)
    fmax = np.max(freq) if not np.isscalar(freq) else freq
    for n, a in enumerate(amps, start=1):
        if a == 0 or (nyquist_guard and fmax * n > 16000):
            continue
        out += a * np.sin(n * ph)
    return out


def saw(freq, t, harmonics=24):
    return additive(freq, t, [(-1) ** (n + 1) / n for n in range(1, harmonics + 1)]) * 0.6


def square(freq, t, harmonics=15):
    return additive(freq, t, [1 / n if n % 2 else 0 for n in range(1, harmonics + 1)]) * 0.8


def pulse(freq, t, duty=0.25, harmonics=16):
    return additive(freq, t, [np.sin(np.pi * n * duty) / n for n in range(1, harmonics + 1)]) * 0.9


def triangle(freq, t, harmonics=9):
    return additive(freq, t, [((-1) ** ((n - 1) // 2)) / (n * n) if n % 2 else 0
                              for n in range(1, harmonics + 1)]) * 0.8


def sine(freq, t):
    return np.sin(2 * np.pi * phase_of(freq, t))


def adsr(n, attack, decay, sustain, release, hold=None):
    """Envelope of n samples; the release starts at `hold` seconds (default: as late as fits)."""
    t = np.arange(n) / RATE
    total = n / RATE
    if hold is None:
        hold = max(0.0, total - release)
    env = np.where(t < attack, t / max(attack, 1e-6),
                   sustain + (1 - sustain) * np.exp(-(t - attack) / max(decay, 1e-6)))
    rel = np.clip((t - hold) / max(release, 1e-6), 0, 1)
    level_at_hold = np.interp(hold, t, env) if n else 0
    env = np.where(t >= hold, level_at_hold * (1 - rel), env)
    return env


def exp_decay(n, tau, attack=0.002):
    t = np.arange(n) / RATE
    return np.minimum(1.0, t / attack) * np.exp(-t / tau)


def noise(n, seed):
    return np.random.default_rng(seed).uniform(-1, 1, n)


def fft_filter(x, low=None, high=None, slope=1.0):
    """Zero-phase band filter by spectrum shaping (soft edges).

    The signal is padded so that the filter's ringing does not wrap round from one end to the other.
    """
    n = len(x)
    pad = 4096
    x = np.concatenate([np.zeros(pad), x, np.zeros(pad)])
    spectrum = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x), 1 / RATE)
    gain = np.ones_like(f)
    if low is not None:
        gain *= 1 / (1 + (low / np.maximum(f, 1)) ** (2 * slope))
    if high is not None:
        gain *= 1 / (1 + (f / high) ** (2 * slope))
    return np.fft.irfft(spectrum * gain, len(x))[pad:pad + n]


def one_pole_lowpass(x, cutoff):
    """A causal smoothing filter (for sweeps where the cutoff changes per sample)."""
    out = np.empty_like(x)
    acc = 0.0
    cut = np.broadcast_to(cutoff, x.shape)
    k = 1 - np.exp(-2 * np.pi * cut / RATE)
    for i in range(len(x)):
        acc += k[i] * (x[i] - acc)
        out[i] = acc
    return out


def echo(x, delay, feedback, taps=4):
    out = x.copy()
    d = int(delay * RATE)
    for k in range(1, taps + 1):
        if d * k >= len(x):
            break
        out[d * k:] += x[:-d * k] * feedback ** k
    return out


def fade_edges(x, fade_in=0.002, fade_out=0.01):
    n_in, n_out = int(fade_in * RATE), int(fade_out * RATE)
    y = x.copy()
    if n_in:
        y[:n_in] *= np.linspace(0, 1, n_in)
    if n_out:
        y[-n_out:] *= np.linspace(1, 0, n_out)
    return y


def normalise(x, peak):
    m = np.max(np.abs(x))
    return x if m == 0 else x * (peak / m)


def write_wav(path, samples):
    """16-bit PCM; a 1-D array is mono, an (n, 2) array stereo."""
    data = np.clip(np.round(samples * 32767), -32768, 32767).astype("<i2")
    channels = 1 if data.ndim == 1 else data.shape[1]
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data.tobytes())
