"""Synthesizes the sound effects: menu clicks, the six eating sounds, dying and the soft step."""
import numpy as np

import common
import synth as s


def tone(freq, seconds, wave=s.sine, env=None):
    t = s.time_axis(seconds)
    x = wave(freq, t)
    return x * (env if env is not None else s.exp_decay(len(t), seconds / 4))


def place(buf, x, at):
    # Every snippet starts and ends at silence, so no note boundary clicks.
    x = s.fade_edges(x, 0.002, 0.008)
    i = int(at * s.RATE)
    buf[i:i + len(x)] += x[:max(0, len(buf) - i)]


def menu_click():
    t = s.time_axis(0.09)
    f = 700 + 500 * np.minimum(1, t / 0.02)
    x = s.square(f, t, 7) * s.exp_decay(len(t), 0.025) * 0.6
    x += s.fft_filter(s.noise(len(t), 1), 2000, 9000) * s.exp_decay(len(t), 0.004) * 0.5
    return s.normalise(x, 0.6)


def menu_hover():
    t = s.time_axis(0.05)
    x = s.sine(1480, t) * s.exp_decay(len(t), 0.012) + 0.3 * s.sine(2960, t) * s.exp_decay(len(t), 0.006)
    return s.normalise(x, 0.3)


def eat_normal():
    """A crisp bite and a happy two-note chirp."""
    buf = np.zeros(int(0.22 * s.RATE))
    n = int(0.05 * s.RATE)
    crunch = s.fft_filter(s.noise(n, 2), 1500, 7000) * s.exp_decay(n, 0.012)
    place(buf, crunch * 0.8, 0.0)
    place(buf, crunch * 0.5, 0.045)
    for i, note in enumerate(("E5", "A5")):
        t = s.time_axis(0.09)
        x = s.pulse(s.midi_hz(s.note_number(note)), t, 0.3, 10) * s.exp_decay(len(t), 0.04)
        place(buf, x * 0.5, 0.04 + i * 0.07)
    return s.normalise(s.fade_edges(buf), 0.7)


def eat_super():
    """A bright rising sparkle of bells."""
    buf = np.zeros(int(0.75 * s.RATE))
    for i, note in enumerate(("C6", "E6", "G6", "C7", "E7")):
        t = s.time_axis(0.45)
        f = s.midi_hz(s.note_number(note))
        idx = 2.5 * s.exp_decay(len(t), 0.08)
        x = np.sin(2 * np.pi * f * t + idx * np.sin(2 * np.pi * f * 3.5 * t)) * s.exp_decay(len(t), 0.14)
        place(buf, x * (0.45 - i * 0.04), i * 0.055)
    shimmer = s.fft_filter(s.noise(len(buf), 3), 6000, 12000) * np.exp(-np.arange(len(buf)) / s.RATE / 0.2)
    buf += shimmer * 0.08
    return s.normalise(s.fade_edges(buf, fade_out=0.05), 0.7)


def eat_rotten():
    """A sour, wobbling slide down: yuck."""
    t = s.time_axis(0.45)
    f = 320 * np.exp(-t * 2.2) + 90
    f = f * (1 + 0.06 * np.sin(2 * np.pi * 14 * t))
    x = s.saw(f, t, 12) * s.adsr(len(t), 0.01, 0.3, 0.6, 0.12) * 0.5
    x += s.saw(f * 1.03, t, 12) * s.adsr(len(t), 0.01, 0.3, 0.6, 0.12) * 0.4
    x = s.fft_filter(x, 60, 2200)
    n = int(0.06 * s.RATE)
    squelch = s.fft_filter(s.noise(n, 4), 200, 1200) * s.exp_decay(n, 0.02)
    x[:n] += s.fade_edges(squelch, 0.001, 0.01) * 0.6
    return s.normalise(s.fade_edges(x, fade_out=0.04), 0.7)


def eat_turbo():
    """A rising zap with a rushing whoosh."""
    t = s.time_axis(0.5)
    f = 180 * np.exp(t * 5.2)
    x = s.square(np.minimum(f, 3000), t, 9) * s.adsr(len(t), 0.005, 0.5, 0.7, 0.15) * 0.45
    whoosh = s.noise(len(t), 5)
    whoosh = s.one_pole_lowpass(whoosh, 300 + 6000 * (t / t[-1]) ** 2)
    x += whoosh * np.sin(np.pi * t / t[-1]) * 0.5
    return s.normalise(s.fade_edges(x, fade_out=0.05), 0.7)


def eat_beer():
    """Three glugs and a hiccup."""
    buf = np.zeros(int(0.8 * s.RATE))
    for i, base in enumerate((170, 150, 135)):
        t = s.time_axis(0.12)
        f = base * (1 + 0.5 * np.exp(-t * 40)) * (1 + 0.08 * np.sin(2 * np.pi * 30 * t))
        x = s.sine(f, t) * s.adsr(len(t), 0.01, 0.05, 0.5, 0.04) * 0.8
        x += s.fft_filter(s.noise(len(t), 10 + i), 200, 900) * s.exp_decay(len(t), 0.03) * 0.4
        place(buf, x, i * 0.13)
    t = s.time_axis(0.12)
    f = 400 + 900 * np.minimum(1, t / 0.05)
    hic = s.triangle(f, t, 5) * s.adsr(len(t), 0.005, 0.04, 0.3, 0.05)
    place(buf, hic * 0.7, 0.52)
    return s.normalise(s.fade_edges(buf, fade_out=0.04), 0.7)


def eat_cake():
    """Nom nom, then a warm little fanfare."""
    buf = np.zeros(int(0.8 * s.RATE))
    for i in range(2):
        t = s.time_axis(0.08)
        x = s.triangle(260 - i * 30, t, 5) * s.adsr(len(t), 0.005, 0.03, 0.4, 0.03)
        place(buf, x * 0.6, i * 0.1)
    chord = ("G4", "C5", "E5", "G5")
    for i, note in enumerate(chord):
        t = s.time_axis(0.55 - i * 0.03)
        f = s.midi_hz(s.note_number(note))
        x = s.saw(f * (1 + 0.004 * np.sin(2 * np.pi * 5.5 * t)), t, 10) * s.adsr(len(t), 0.02, 0.2, 0.5, 0.15)
        place(buf, s.fft_filter(x, 100, 3500) * 0.3, 0.21 + i * 0.03)
    return s.normalise(s.fade_edges(buf, fade_out=0.05), 0.7)


def worm_die():
    """A deflating wah-wah fall and a soft thump."""
    buf = np.zeros(int(1.3 * s.RATE))
    for i, note in enumerate(("G4", "F#4", "F4", "E4")):
        dur = 0.2 if i < 3 else 0.55
        t = s.time_axis(dur)
        f = s.midi_hz(s.note_number(note)) * (1 + 0.02 * np.sin(2 * np.pi * 6 * t))
        if i == 3:
            f = f * np.exp(-t * 0.8)
        x = s.square(f, t, 11) * s.adsr(len(t), 0.01, 0.1, 0.7, 0.08)
        wah = 0.5 + 0.5 * np.sin(2 * np.pi * (2.5 if i == 3 else 5) * t - np.pi / 2)
        x = s.fft_filter(x, 80, 2500) * (0.5 + 0.5 * wah)
        place(buf, x * 0.45, i * 0.22)
    n = int(0.25 * s.RATE)
    t = np.arange(n) / s.RATE
    thump = np.sin(2 * np.pi * (90 * np.exp(-t * 8) + 40) * t) * s.exp_decay(n, 0.08)
    place(buf, thump * 0.8, 0.0)
    return s.normalise(s.fade_edges(buf, fade_out=0.08), 0.75)


def worm_move():
    """A muffled, short pat: heard three times a second, so quiet, low and round with no click."""
    n = int(0.07 * s.RATE)
    t = np.arange(n) / s.RATE
    body = np.sin(2 * np.pi * (110 * np.exp(-t * 30) + 190) * t) + 0.25 * np.sin(2 * np.pi * 380 * t)
    env = np.minimum(1, t / 0.006) * np.exp(-t / 0.016)
    puff = s.fft_filter(s.noise(n, 7), 150, 900) * np.minimum(1, t / 0.004) * np.exp(-t / 0.01)
    x = body * env * 0.8 + puff * 0.25
    return s.normalise(s.fade_edges(x, 0.001, 0.02), 0.16)


SOUNDS = {
    "menuClick": menu_click, "menuHover": menu_hover, "wormEatNormal": eat_normal, "wormEatSuper": eat_super,
    "wormEatRotten": eat_rotten, "wormEatTurbo": eat_turbo, "wormEatBeer": eat_beer, "wormEatCake": eat_cake,
    "wormDie": worm_die, "wormMove": worm_move,
}


def main():
    for name, make in SOUNDS.items():
        s.write_wav(common.out_path("sounds", name + ".wav"), make())


if __name__ == "__main__":
    main()
