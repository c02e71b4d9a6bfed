"""The spans of sound in a recording: 16-bit mono little-endian samples (raw, or a WAV
file), cut into 10 ms frames; a span is a run of frames louder than -45 dBFS, and spans
closer than GAP ms are one. Prints one line a span: start and length in ms.

    speech_spans.py FILE RATE [GAP]"""
import array
import math
import sys


def main():
    path, rate = sys.argv[1], int(sys.argv[2])
    gap = int(sys.argv[3]) if len(sys.argv) > 3 else 250
    data = open(path, "rb").read()
    if data[:4] == b"RIFF":
        data = data[44:]
    samples = array.array("h")
    samples.frombytes(data[: len(data) // 2 * 2])
    if sys.byteorder == "big":
        samples.byteswap()
    frame = rate // 100
    loud = []
    for at in range(0, len(samples) - frame + 1, frame):
        chunk = samples[at:at + frame]
        power = sum(x * x for x in chunk) / frame / (32768.0 * 32768.0)
        loud.append(10 * math.log10(power + 1e-12) > -45)
    spans = []
    for i, on in enumerate(loud):
        if not on:
            continue
        if spans and i * 10 - spans[-1][1] <= gap:
            spans[-1][1] = (i + 1) * 10
        else:
            spans.append([i * 10, (i + 1) * 10])
    for start, end in spans:
        print(start, end - start)


main()
