#!/usr/bin/python3
"""Writes the six bell sounds as short 16-bit mono WAV files beside this script.

The sounds are synthesised here (sine partials under simple envelopes), so the program ships no
recorded audio. Run it again after changing a recipe; the output is deterministic.
"""
import math
import os
import struct
import wave

RATE = 11025  # enough for partials below 5 kHz, and keeps every file under 10 KB


def envelope(t, attack, decay):
    """A quick linear attack followed by an exponential decay."""
    if t < attack:
        return t / attack
    return math.exp(-(t - attack) / decay)


def render(duration, voice):
    count = int(RATE * duration)
    fade = int(RATE * 0.01)  # a short fade-out so no file ends on a click
    samples = []
    for n in range(count):
        t = n / RATE
        value = voice(t)
        if n > count - fade:
            value *= (count - n) / fade
        samples.append(max(-1.0, min(1.0, value)))
    return samples


def purr(t):
    # A low hum whose loudness flutters 28 times a second.
    flutter = 0.55 + 0.45 * math.sin(2 * math.pi * 28 * t)
    tone = math.sin(2 * math.pi * 190 * t) + 0.4 * math.sin(2 * math.pi * 380 * t)
    return 0.45 * envelope(t, 0.02, 0.16) * flutter * tone


def ping(t):
    # One clear high note that rings out.
    return 0.5 * envelope(t, 0.003, 0.09) * (math.sin(2 * math.pi * 1760 * t)
                                               + 0.2 * math.sin(2 * math.pi * 3520 * t))


def funk(t):
    # Two quick descending notes with a reedy timbre.
    freq = 392 if t < 0.09 else 294
    start = 0.0 if t < 0.09 else 0.09
    local = t - start
    reed = sum(math.sin(2 * math.pi * freq * k * local) / k for k in (1, 2, 3, 5))
    return 0.32 * envelope(local, 0.005, 0.06) * reed


def glass(t):
    # Inharmonic partials, as a struck glass rings.
    partials = ((1318, 1.0, 0.18), (2637, 0.5, 0.10), (3609, 0.35, 0.07), (4400, 0.2, 0.05))
    return 0.32 * sum(a * envelope(t, 0.002, d) * math.sin(2 * math.pi * f * t) for f, a, d in partials)


def bottle(t):
    # A hollow blown tone: a pure fundamental whose pitch settles, with a soft odd harmonic.
    phase = 2 * math.pi * (440 * t + 30 * 0.03 * (1 - math.exp(-t / 0.03)))
    return 0.5 * envelope(t, 0.03, 0.12) * (math.sin(phase) + 0.15 * math.sin(3 * phase))


def frog(t):
    # Two croaks: a low buzzing tone chopped into pulses.
    croak = 0 if 0.11 < t < 0.16 else 1
    local = t if t <= 0.11 else t - 0.16
    pulse = 1.0 if (local * 45) % 1.0 < 0.55 else 0.15
    buzz = sum(math.sin(2 * math.pi * 160 * k * local) / k for k in (1, 2, 3, 4))
    return 0.3 * croak * envelope(local, 0.008, 0.07) * pulse * buzz


SOUNDS = {
    "Purr": (0.40, purr),
    "Ping": (0.35, ping),
    "Funk": (0.28, funk),
    "Glass": (0.45, glass),
    "Bottle": (0.35, bottle),
    "Frog": (0.30, frog),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, (duration, voice) in SOUNDS.items():
        samples = render(duration, voice)
        with wave.open(os.path.join(here, name + ".wav"), "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(b"".join(struct.pack("<h", int(round(s * 32767))) for s in samples))


if __name__ == "__main__":
    main()
