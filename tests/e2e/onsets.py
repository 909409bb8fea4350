#!/usr/bin/env python3
"""Attacks in the demo's sound, against its pictures or against another recording.

  onsets.py flashes PICTURES.rgb SOUND.wav FPS
      PICTURES: the video's frames as raw 64 x 36 RGB. Every frame whose brightness jumps
      (a flash lands or is cut) must have an attack in SOUND within one frame of the moment
      it shows. Exits 1 unless all do.
  onsets.py match REFERENCE.wav LIVE.wav FROM TO TOLERANCE
      REFERENCE is the demo's sound on its exact 60 Hz clock (the capture tool's export), LIVE
      what a real run played. The attacks of REFERENCE between FROM and TO seconds must all
      be heard in LIVE within TOLERANCE seconds, after the one shift that lines most of them
      up (LIVE starts when the audio device opens, before the first frame). Exits 1 if not.
"""
import struct
import sys

HOP = 44 / 44100  # seconds per envelope step: a whole number of samples, about 1 ms


def read_wav(path):
    """Channels, rate and samples (-1..1) of a 16-bit or float WAV file, plain or extensible.
    A file whose writer was stopped early keeps its data length at 0: read to the end then."""
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"onsets.py: {path} is no WAV file")
    pos, channels, rate, kind, bits = 12, 0, 0, 0, 0
    while pos + 8 <= len(data):
        name, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size] if size else data[pos + 8:]
        if name == b"fmt ":
            kind, channels, rate = struct.unpack("<HHI", body[:8])
            bits = struct.unpack("<H", body[14:16])[0]
            if kind == 0xFFFE:  # extensible: the real format leads the sub-format id
                kind = struct.unpack("<H", body[24:26])[0]
        elif name == b"data":
            width = {(3, 32): 4, (1, 16): 2}.get((kind, bits))
            if not width:
                sys.exit(f"onsets.py: {path}: unsupported sample format {kind}/{bits}")
            count = len(body) // width
            samples = struct.unpack(f"<{count}{'f' if width == 4 else 'h'}", body[:count * width])
            return channels, rate, samples if width == 4 else [s / 32768 for s in samples]
        pos += 8 + size + (size & 1)
    sys.exit(f"onsets.py: {path} has no sound data")


def envelope(path):
    """Energy per HOP of the channels' sum."""
    channels, rate, samples = read_wav(path)
    step = 44 * channels if rate == 44100 else sys.exit(f"onsets.py: {path} is not at 44.1 kHz")
    return [sum(s * s for s in samples[i:i + step]) * 1e6 / step for i in range(0, len(samples) - step, step)]


def strength(energy, i):
    """How sharply the sound rises at step i: the 10 ms from i against the 20 ms before."""
    return sum(energy[i:i + 10]) / 10 / max(1.0, sum(energy[max(i - 20, 0):i]) / 20)


def attacks(energy, least=6.0):
    """The times at which the sound rises sharply out of something quieter, 50 ms apart at least."""
    loud, found = max(energy, default=0.0), []
    for i in range(20, len(energy) - 10):
        if strength(energy, i) > least and sum(energy[i:i + 10]) / 10 > 0.01 * loud:
            if not found or i * HOP - found[-1] >= 0.05:
                found.append(i * HOP)
    return found


def flashes(pictures, sound, fps):
    size, data = 64 * 36 * 3, open(pictures, "rb").read()
    level = [sum(data[k:k + size]) / size for k in range(0, len(data), size)]
    shown = [k for k in range(1, len(level)) if abs(level[k] - level[k - 1]) > 40]
    energy, span, misses = envelope(sound), int(1 / fps / HOP), 0
    for k in shown:
        at = int(k / fps / HOP)
        best = max(range(max(at - span, 20), min(at + span + 1, len(energy) - 10)),
                   key=lambda i: strength(energy, i), default=at)
        heard = strength(energy, best) > 3.0
        misses += not heard
        print(f"flash on frame {k} at {k / fps:.3f} s: "
              + (f"attack {1000 * (best * HOP - k / fps):+.0f} ms" if heard else "no attack within a frame"))
    print(f"{len(shown) - misses} of {len(shown)} flashes within one frame of an attack")
    return bool(shown) and misses == 0


def nearest(times, t):
    return min((abs(x - t) for x in times), default=float("inf"))


def match(reference, live, start, end, tolerance):
    wanted, heard = [t for t in attacks(envelope(reference)) if start <= t <= end], attacks(envelope(live))
    if not wanted:
        sys.exit("onsets.py: no attack in the reference between the given times")
    # The shift that puts the most reference attacks next to a live one, then centred on the
    # attacks it matched: the median of their signed misses.
    shifts = {h - w for w in wanted[:8] for h in heard}
    shift = max(shifts, key=lambda s: (sum(nearest(heard, w + s) <= tolerance for w in wanted), -s))
    signed = sorted(min(heard, key=lambda h: abs(h - w - shift)) - w - shift for w in wanted)
    shift += signed[len(signed) // 2]
    errors = [nearest(heard, w + shift) for w in wanted]
    print("misses in ms:", " ".join(f"{1000 * e:.0f}" for e in errors))
    inside = sum(e <= tolerance for e in errors)
    print(f"{inside} of {len(wanted)} attacks within {tolerance * 1000:.0f} ms (shift {shift:.3f} s, worst "
          f"{max(errors) * 1000:.0f} ms)")
    return inside == len(wanted)


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "flashes":
        sys.exit(not flashes(sys.argv[2], sys.argv[3], int(sys.argv[4])))
    if len(sys.argv) == 7 and sys.argv[1] == "match":
        sys.exit(not match(sys.argv[2], sys.argv[3], float(sys.argv[4]), float(sys.argv[5]), float(sys.argv[6])))
    sys.exit(__doc__)
