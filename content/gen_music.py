"""Sequences and renders the three music tracks, then encodes them as Ogg Vorbis.

The scores are written below as note lists; the tail of each render (echoes, decays) is folded back onto
its start, so the track loops without a seam.
"""
import os
import subprocess
import tempfile

import numpy as np

import common
import synth as s

CHORDS = {"": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10), "m7": (0, 3, 7, 10), "maj7": (0, 4, 7, 11)}
ROOTS = {"C": 0, "C#": 1, "Db": 1, "D": 2, "Eb": 3, "E": 4, "F": 5, "F#": 6, "Gb": 6, "G": 7, "Ab": 8, "A": 9,
         "Bb": 10, "B": 11}


def chord(name):
    root = name[:2] if len(name) > 1 and name[1] in "#b" else name[:1]
    return ROOTS[root], CHORDS[name[len(root):]]


def parse(line):
    """'G4/.5 r/1 ...' -> [(beat, length, midi or None)]."""
    out, beat = [], 0.0
    for tok in line.split():
        name, dur = tok.split("/")
        d = float(dur)
        out.append((beat, d, None if name == "r" else s.note_number(name)))
        beat += d
    return out, beat


class Song:
    def __init__(self, bpm, bars, tail=4.0):
        self.bpm = bpm
        self.beat = 60.0 / bpm
        self.length = int(round(bars * 4 * self.beat * s.RATE))
        self.buses = {}
        self.tail = int(tail * s.RATE)

    def bus(self, name):
        if name not in self.buses:
            self.buses[name] = np.zeros((self.length + self.tail, 2))
        return self.buses[name]

    def add(self, bus, at_beat, x, pan=0.0, gain=1.0):
        i = int(round(at_beat * self.beat * s.RATE))
        buf = self.bus(bus)
        x = x[:max(0, len(buf) - i)]
        left = np.cos((pan + 1) * np.pi / 4) * gain
        right = np.sin((pan + 1) * np.pi / 4) * gain
        buf[i:i + len(x), 0] += x * left
        buf[i:i + len(x), 1] += x * right

    def seconds(self, beats):
        return beats * self.beat

    def mix(self, processing):
        out = np.zeros((self.length + self.tail, 2))
        for name, buf in self.buses.items():
            out += processing.get(name, lambda b: b)(buf)
        # Fold the tail onto the start: the loop's seam carries the same echoes as any other bar line.
        out[:self.tail] += out[self.length:]
        out = out[:self.length]
        out = np.tanh(out * 1.1) / np.tanh(1.1)
        return s.normalise(out, 0.891)   # -1 dBFS


# --- instruments -----------------------------------------------------------------------------------------

def lead(freq, seconds, duty=0.25):
    t = s.time_axis(seconds + 0.08)
    vib = 1 + 0.006 * np.sin(2 * np.pi * 5.5 * t) * np.clip((t - 0.18) / 0.2, 0, 1)
    x = s.pulse(freq * vib, t, duty, 14)
    return s.fade_edges(x * s.adsr(len(t), 0.006, 0.12, 0.65, 0.07, hold=seconds), 0.002, 0.01)


def bell(freq, seconds):
    t = s.time_axis(seconds + 0.6)
    idx = 1.8 * np.exp(-t / 0.25)
    x = np.sin(2 * np.pi * freq * t + idx * np.sin(2 * np.pi * freq * 3.0 * t))
    x += 0.25 * np.sin(2 * np.pi * freq * 2.0 * t)
    return s.fade_edges(x * s.exp_decay(len(t), 0.45, 0.003), 0.002, 0.05)


def epiano(freq, seconds):
    t = s.time_axis(seconds + 0.4)
    idx = 1.1 * np.exp(-t / 0.4)
    x = np.sin(2 * np.pi * freq * t + idx * np.sin(2 * np.pi * freq * t))
    x += 0.15 * np.sin(2 * np.pi * freq * 4.0 * t) * np.exp(-t / 0.05)
    env = s.adsr(len(t), 0.004, 0.7, 0.35, 0.25, hold=seconds)
    return s.fade_edges(x * env, 0.002, 0.03)


def flute(freq, seconds):
    t = s.time_axis(seconds + 0.15)
    vib = 1 + 0.005 * np.sin(2 * np.pi * 5.0 * t) * np.clip((t - 0.25) / 0.3, 0, 1)
    x = s.additive(freq * vib, t, [1, 0.3, 0.12, 0.05])
    breath = s.fft_filter(s.noise(len(t), int(freq)), freq, freq * 4) * 0.05
    return s.fade_edges((x + breath) * s.adsr(len(t), 0.06, 0.2, 0.8, 0.12, hold=seconds), 0.002, 0.02)


def pluck(freq, seconds, duty=0.125):
    t = s.time_axis(min(seconds, 0.25) + 0.05)
    return s.fade_edges(s.pulse(freq, t, duty, 10) * s.exp_decay(len(t), 0.07), 0.001, 0.01)


def bass(freq, seconds):
    t = s.time_axis(seconds + 0.03)
    x = s.triangle(freq, t, 11) + 0.25 * s.square(freq, t, 7)
    return s.fade_edges(x * s.adsr(len(t), 0.004, 0.18, 0.55, 0.03, hold=seconds), 0.001, 0.01)


def soft_bass(freq, seconds):
    t = s.time_axis(seconds + 0.05)
    x = s.sine(freq, t) + 0.35 * s.triangle(freq * 2, t, 5)
    return s.fade_edges(x * s.adsr(len(t), 0.01, 0.4, 0.6, 0.05, hold=seconds), 0.002, 0.02)


def pad(freqs, seconds):
    t = s.time_axis(seconds + 0.4)
    x = np.zeros_like(t)
    for f in freqs:
        for det in (-0.004, 0.004):
            x += s.saw(f * (1 + det), t, 10)
    env = s.adsr(len(t), 0.35, 0.8, 0.8, 0.35, hold=seconds)
    return s.fade_edges(x * env / max(1, len(freqs)), 0.01, 0.05)


def kick():
    n = int(0.3 * s.RATE)
    t = np.arange(n) / s.RATE
    f = 45 + 90 * np.exp(-t * 30)
    return s.fade_edges(np.sin(2 * np.pi * np.cumsum(f) / s.RATE) * np.exp(-t / 0.12), 0.001, 0.02)


def snare(seed=20):
    n = int(0.2 * s.RATE)
    t = np.arange(n) / s.RATE
    x = s.fft_filter(s.noise(n, seed), 900, 8000) * np.exp(-t / 0.06)
    x += 0.5 * np.sin(2 * np.pi * 190 * t) * np.exp(-t / 0.04)
    return s.fade_edges(x, 0.001, 0.02)


def hat(seed=30, length=0.05):
    n = int(length * s.RATE)
    t = np.arange(n) / s.RATE
    return s.fade_edges(s.fft_filter(s.noise(n, seed), 7000, None) * np.exp(-t / (length / 3)), 0.0005, 0.005)


def shaker(seed=40):
    n = int(0.09 * s.RATE)
    t = np.arange(n) / s.RATE
    env = np.minimum(1, t / 0.02) * np.exp(-t / 0.03)
    return s.fade_edges(s.fft_filter(s.noise(n, seed), 4000, 12000) * env, 0.001, 0.01)


def rim():
    n = int(0.08 * s.RATE)
    t = np.arange(n) / s.RATE
    x = np.sin(2 * np.pi * 820 * t) * np.exp(-t / 0.012) + s.fft_filter(s.noise(n, 50), 2000, 6000) * \
        np.exp(-t / 0.008) * 0.5
    return s.fade_edges(x, 0.0005, 0.01)


# --- helpers for writing parts ---------------------------------------------------------------------------

def play_line(song, bus, start_beat, line, inst, pan=0.0, gain=1.0, transpose=0):
    notes, length = parse(line)
    for beat, dur, midi in notes:
        if midi is not None:
            song.add(bus, start_beat + beat, inst(s.midi_hz(midi + transpose), song.seconds(dur) * 0.92), pan, gain)
    return length


def chord_notes(name, low, high):
    root, ivs = chord(name)
    out = []
    for iv in ivs:
        pc = (root + iv) % 12
        n = low + (pc - low) % 12
        if n > high:
            n -= 12
        out.append(n)
    return sorted(out)


def bar_chords(bars):
    """'C Am Dm,G' -> per bar a list of (offset in beats, length, chord)."""
    out = []
    for bar in bars.split():
        parts = bar.split(",")
        step = 4 / len(parts)
        out.append([(i * step, step, c) for i, c in enumerate(parts)])
    return out


# --- song 1: the menu, a bouncy romp in C major -----------------------------------------------------------

S1_A = ("G4/.5 C5/.5 E5/1 D5/.5 C5/.5 E5/1 "
        "A4/.5 C5/.5 E5/1 G5/1.5 E5/.5 "
        "F5/1 E5/.5 D5/.5 C5/1 A4/1 "
        "B4/.5 C5/.5 D5/1 G4/2 "
        "G4/.5 C5/.5 E5/1 D5/.5 C5/.5 G5/1 "
        "A5/1 G5/.5 E5/.5 C5/1 E5/1 "
        "D5/1 F5/1 B4/1 D5/1 ")
S1_A_END1 = "C5/2 r/1 G4/.5 B4/.5"
S1_A_END2 = "C5/3 r/1"
S1_B = ("A5/1.5 G5/.5 F5/1 C5/1 "
        "D5/1.5 E5/.5 F5/1 G5/1 "
        "E5/1.5 D5/.5 B4/1 G4/1 "
        "A4/1 C5/1 E5/2 "
        "F5/1.5 E5/.5 D5/1 A4/1 "
        "B4/1 D5/1 G5/2 "
        "G#5/1 B5/1 D6/1 B5/1 "
        "G5/1 F5/1 E5/1 D5/1")
S1_C = ("E6/1.5 C6/.5 A5/2 F5/1.5 A5/.5 C6/2 G5/1.5 E5/.5 C6/2 B5/1.5 D6/.5 G5/2 "
        "E6/1.5 C6/.5 A5/2 A5/1.5 C6/.5 F6/2 D6/1 B5/1 G5/1 B5/1 D6/2 r/2")
S1_CHORDS = {
    "A": "C Am F G C Am Dm,G C",
    "B": "F G Em Am Dm G E7 G",
    "C": "Am F C G Am F G G",
}


def song1():
    song = Song(120, 40)
    sections = [("A", 0), ("A2", 8), ("B", 16), ("C", 24), ("A3", 32)]
    for name, bar0 in sections:
        b0 = bar0 * 4
        key = name[0]
        chords = bar_chords(S1_CHORDS[key])
        if key == "A":
            line = S1_A + (S1_A_END1 if name == "A" else S1_A_END2)
            if name == "A3":
                play_line(song, "lead", b0, line, lambda f, d: lead(f, d, 0.5), 0.0, 0.22)
                play_line(song, "lead", b0, line, bell, 0.25, 0.12, 12)
            else:
                play_line(song, "lead", b0, line, lead, 0.0, 0.26)
        elif key == "B":
            play_line(song, "lead", b0, S1_B, lead, 0.0, 0.26)
        else:
            play_line(song, "lead", b0, S1_C, bell, -0.1, 0.3)
        for bar, parts in enumerate(chords):
            base = b0 + bar * 4
            last = bar == len(chords) - 1
            # Bass: bouncy in the main parts, long notes in the breakdown.
            for off, length, c in parts:
                root, ivs = chord(c)
                r = 36 + (root - 36) % 12
                fifth = r + 7
                if key == "C":
                    song.add("bass", base + off, bass(s.midi_hz(r), song.seconds(2) * 0.95), 0, 0.45)
                    song.add("bass", base + off + 2, bass(s.midi_hz(fifth), song.seconds(2) * 0.95), 0, 0.4)
                elif length == 4:
                    for beat, n, d in ((0, r, .75), (1.5, r, .5), (2, fifth, .75), (3, r + 12, .5),
                                       (3.5, fifth, .5)):
                        song.add("bass", base + beat, bass(s.midi_hz(n), song.seconds(d) * 0.9), 0, 0.42)
                else:
                    for beat, n, d in ((0, r, .75), (1, fifth, .5), (1.5, r + 12, .5)):
                        song.add("bass", base + off + beat, bass(s.midi_hz(n), song.seconds(d) * 0.9), 0, 0.42)
                tones = chord_notes(c, 67, 79)
                if name in ("A2", "B", "A3"):
                    pattern = [0, 1, 2, 1] if len(tones) == 3 else [0, 1, 2, 3]
                    for k in range(int(length * 4)):
                        n = tones[pattern[k % len(pattern)]] + (12 if k % 8 >= 4 else 0)
                        song.add("arp", base + off + k * 0.25, pluck(s.midi_hz(n), song.seconds(0.25)),
                                 -0.45 if k % 2 else 0.45, 0.07)
                if key == "C":
                    for k in range(int(length * 2)):
                        n = tones[k % len(tones)] + 12
                        song.add("arp", base + off + k * 0.5, pluck(s.midi_hz(n), song.seconds(0.5), 0.5),
                                 0.5 if k % 2 else -0.5, 0.06)
                if key in ("B", "C") or name == "A3":
                    song.add("pad", base + off, pad([s.midi_hz(n) for n in chord_notes(c, 55, 66)],
                                                    song.seconds(length)), 0, 0.2)
            # Drums.
            if key == "C":
                song.add("drums", base, kick(), 0, 0.7)
                song.add("drums", base + 3, snare(), 0.1, 0.3)
                for k in range(8):
                    song.add("drums", base + k * 0.5, hat(31 + k), 0.3, 0.08 if k % 2 else 0.05)
            else:
                kicks = (0, 2, 2.5) if bar % 2 else (0, 2)
                for k in kicks:
                    song.add("drums", base + k, kick(), 0, 0.75)
                for k in (1, 3):
                    song.add("drums", base + k, snare(20 + bar), 0.1, 0.4)
                for k in range(8):
                    song.add("drums", base + k * 0.5, hat(30 + k), 0.3, 0.13 if k % 2 else 0.07)
                if key == "B":
                    for k in range(16):
                        song.add("drums", base + k * 0.25, shaker(60 + k), -0.35, 0.05)
                if last:
                    for k in range(4):
                        song.add("drums", base + 3 + k * 0.25, snare(40 + k), 0.1, 0.18 + 0.05 * k)
    return song.mix({
        "lead": lambda b: np.stack([s.fft_filter(s.echo(b[:, c], 0.375, 0.28), 60, 6000) for c in (0, 1)], axis=1),
        "pad": lambda b: np.stack([s.fft_filter(b[:, 0], 80, 1800), s.fft_filter(b[:, 1], 80, 1800)], axis=1),
        "bass": lambda b: np.stack([s.fft_filter(b[:, 0], 30, 2500)] * 2, axis=1),
    })


# --- song 2: the credits, an easy-going stroll in F major -------------------------------------------------

S2_V = ("C5/2 A4/1 C5/1 E5/3 D5/1 D5/2 C5/1 Bb4/1 C5/3 r/1 "
        "F5/2 E5/1 C5/1 E5/2 D5/1 C5/1 D5/2 E5/2 F5/4")
S2_BR = ("A5/2 F5/1 D5/1 F5/3 D5/1 C5/2 F5/1 A5/1 G5/4 "
         "A5/2 G5/1 F5/1 F5/2 D5/1 Bb4/1 D5/2 C5/1 Bb4/1 C5/2 E5/1 G5/1")
S2_CHORDS = {"V": "F Am Bb C F Am Bb,C F", "BR": "Dm Bb F C Dm Bb Gm C"}


def song2():
    song = Song(88, 32, tail=5.0)
    sections = [("V", 0), ("BR", 8), ("V2", 16), ("BR2", 24)]
    for name, bar0 in sections:
        b0 = bar0 * 4
        key = "V" if name.startswith("V") else "BR"
        line = S2_V if key == "V" else S2_BR
        if name == "V":
            play_line(song, "lead", b0, line, epiano, 0.0, 0.34)
        elif name == "BR":
            play_line(song, "lead", b0, line, epiano, 0.0, 0.34)
        elif name == "V2":
            play_line(song, "lead", b0, line, bell, 0.15, 0.22, 12)
            play_line(song, "lead", b0, line, flute, -0.15, 0.2)
        else:
            play_line(song, "lead", b0, line, flute, 0.0, 0.3)
        chords = bar_chords(S2_CHORDS[key])
        for bar, parts in enumerate(chords):
            base = b0 + bar * 4
            for off, length, c in parts:
                root, ivs = chord(c)
                r = 36 + (root - 36) % 12
                song.add("bass", base + off, soft_bass(s.midi_hz(r), song.seconds(min(2, length)) * 0.95), 0, 0.5)
                if length == 4:
                    song.add("bass", base + 2, soft_bass(s.midi_hz(r + 7), song.seconds(1.5) * 0.9), 0, 0.42)
                    song.add("bass", base + 3.5, soft_bass(s.midi_hz(r + (12 if bar % 2 else 5)),
                                                           song.seconds(0.5) * 0.9), 0, 0.35)
                tones = chord_notes(c, 53, 64)
                # Broken chords on the electric piano, root-fifth-third-fifth.
                order = [0, 2, 1, 2]
                for k in range(int(length * 2)):
                    n = tones[order[k % 4] % len(tones)]
                    song.add("keys", base + off + k * 0.5, epiano(s.midi_hz(n), song.seconds(0.5)),
                             -0.3 if k % 2 else 0.3, 0.1)
                if name != "V":
                    song.add("pad", base + off, pad([s.midi_hz(n) for n in chord_notes(c, 57, 69)],
                                                    song.seconds(length)), 0, 0.16)
            for k in range(8):
                song.add("drums", base + k * 0.5, shaker(70 + k), 0.4, 0.06 if k % 2 else 0.035)
            song.add("drums", base, kick(), 0, 0.5)
            song.add("drums", base + 2.5, kick(), 0, 0.35)
            if name != "V":
                for k in (1, 3):
                    song.add("drums", base + k, rim(), -0.2, 0.12)
    return song.mix({
        "lead": lambda b: np.stack([s.echo(b[:, 0], 0.51, 0.3), s.echo(b[:, 1], 0.34, 0.3)], axis=1),
        "keys": lambda b: np.stack([s.fft_filter(b[:, 0], 60, 5000), s.fft_filter(b[:, 1], 60, 5000)], axis=1),
        "pad": lambda b: np.stack([s.fft_filter(b[:, 0], 80, 1500), s.fft_filter(b[:, 1], 80, 1500)], axis=1),
    })


# --- song 3: the third campaign, a homeward march in A minor that turns to C major --------------------------

S3_A = ("A4/1 C5/.5 E5/.5 A5/2 G5/1 E5/1 D5/1 C5/1 "
        "B4/1 D5/.5 G5/.5 B5/2 A5/1 G5/1 E5/2 "
        "F5/1 E5/.5 D5/.5 C5/1 A4/1 D5/1 C5/.5 B4/.5 A4/1 E5/1 "
        "C5/1 B4/1 A4/1 G#4/1 A4/4")
S3_B = ("C5/1 E5/1 G5/2 A5/1 G5/1 E5/2 "
        "F5/1 A5/1 C6/2 B5/1 A5/1 G5/2 "
        "E5/1 G5/1 C6/1.5 B5/.5 A5/1 F5/1 D5/2 "
        "G5/1 F5/1 E5/1 D5/1 C5/4")
S3_CHORDS = {"A": "Am G F Em Dm Am E7 Am", "B": "C Am F G C Am Dm,G C"}


def song3():
    song = Song(104, 32, tail=4.0)
    for name, bar0 in (("A", 0), ("B", 8), ("A2", 16), ("B2", 24)):
        b0 = bar0 * 4
        key = name[0]
        line = S3_A if key == "A" else S3_B
        if name in ("A", "B"):
            play_line(song, "lead", b0, line, flute, 0.0, 0.3)
        else:
            play_line(song, "lead", b0, line, lambda f, d: lead(f, d, 0.25), -0.1, 0.2)
            play_line(song, "lead", b0, line, bell, 0.2, 0.14, 12)
        for bar, parts in enumerate(bar_chords(S3_CHORDS[key])):
            base = b0 + bar * 4
            for off, length, c in parts:
                root, ivs = chord(c)
                r = 33 + (root - 33) % 12
                for k in range(int(length)):
                    note = r if k % 2 == 0 else r + 7
                    song.add("bass", base + off + k, bass(s.midi_hz(note), song.seconds(1) * 0.85), 0, 0.4)
                tones = chord_notes(c, 57, 69)
                for k in range(int(length * 2)):
                    n = tones[k % len(tones)]
                    song.add("arp", base + off + k * 0.5, pluck(s.midi_hz(n), song.seconds(0.5), 0.25),
                             0.3 if k % 2 else -0.3, 0.07)
                song.add("pad", base + off, pad([s.midi_hz(n) for n in chord_notes(c, 52, 64)],
                                                song.seconds(length)), 0, 0.16)
            # A marching snare roll at the end of every second bar.
            song.add("drums", base, kick(), 0, 0.6)
            song.add("drums", base + 2, kick(), 0, 0.5)
            for k in (1, 3):
                song.add("drums", base + k, snare(50 + bar), 0.1, 0.3)
            if bar % 2:
                for k in range(4):
                    song.add("drums", base + 3 + k * 0.25, snare(60 + k), 0.1, 0.12 + 0.04 * k)
            for k in range(8):
                song.add("drums", base + k * 0.5, hat(80 + k), 0.3, 0.08 if k % 2 else 0.05)
    return song.mix({
        "lead": lambda b: np.stack([s.echo(b[:, 0], 0.43, 0.25), s.echo(b[:, 1], 0.29, 0.25)], axis=1),
        "arp": lambda b: np.stack([s.fft_filter(b[:, 0], 100, 5000), s.fft_filter(b[:, 1], 100, 5000)], axis=1),
        "pad": lambda b: np.stack([s.fft_filter(b[:, 0], 80, 1500), s.fft_filter(b[:, 1], 80, 1500)], axis=1),
        "bass": lambda b: np.stack([s.fft_filter(b[:, 0], 30, 2500)] * 2, axis=1),
    })


SONGS = {"song1": (song1, 1001), "song2": (song2, 1002), "song3": (song3, 1003)}


def main(names=None):
    for name, (make, serial) in SONGS.items():
        if names and name not in names:
            continue
        audio = make()
        with tempfile.TemporaryDirectory() as tmp:
            wav = os.path.join(tmp, name + ".wav")
            s.write_wav(wav, audio)
            # A fixed stream serial keeps the encoded file the same from build to build.
            subprocess.run(["oggenc", "-Q", "-q", "4", "-s", str(serial), "-o", common.out_path("sounds", name + ".ogg"),
                            wav], check=True)
            if os.environ.get("KEEP_WAV"):
                subprocess.run(["cp", wav, "/tmp/" + name + ".wav"], check=True)


if __name__ == "__main__":
    import sys
    main(sys.argv[1:])
