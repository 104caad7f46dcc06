#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the frames a player saw and prints how the road moved in them:
#   updates=<frames a second that differ from the one before>
#   cv=<coefficient of variation of the road's movement a frame>
#   step=<their mean movement a frame, pixels>
# Input, on stdin:
#   raw WIDTH HEIGHT SECONDS  gray bytes, frame after frame (ffmpeg's
#                             rawvideo) of the play area; the median's
#                             edge and the centre line in columns 200 to 245
#   json SECONDS              one JSON object a line: {"hash": n, "rows": [...],
#                             "at": ms} with the band summed row by row;
#                             adds interval_cv, the frames' own evenness,
#                             and speed_cv, that of the movement a millisecond
import json
import statistics
import sys

BAND = range(200, 246)
LONGEST = 40  # half the dashes' period: further reads as a step back


def frames_from_raw(width, height):
    data = sys.stdin.buffer.read()
    size = width * height
    for at in range(0, len(data) - size + 1, size):
        frame = data[at:at + size]
        rows = [sum(frame[y * width + BAND.start:y * width + BAND.stop]) for y in range(height)]
        yield hash(frame), rows


def frames_from_json():
    for line in sys.stdin:
        if line.strip():
            sample = json.loads(line)
            yield sample["hash"], sample["rows"], sample["at"]


def shift(before, after):
    """How far down the band moved from one frame to the next."""
    def cost(s):
        return sum(abs(after[y] - before[y - s]) for y in range(LONGEST, len(after)))
    return min(range(LONGEST), key=cost)


def main():
    mode = sys.argv[1]
    if mode == "raw":
        width, height, seconds = int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
        frames = list(frames_from_raw(width, height))
    else:
        seconds = float(sys.argv[2])
        frames = list(frames_from_json())
    updates = sum(1 for a, b in zip(frames, frames[1:]) if a[0] != b[0])
    steps = [shift(a[1], b[1]) for a, b in zip(frames, frames[1:])]
    mean = statistics.mean(steps) if steps else 0
    cv = statistics.pstdev(steps) / mean if mean else float("nan")
    line = f"frames={len(frames)} updates={updates / seconds:.1f} cv={cv:.3f} step={mean:.2f}"
    if mode == "json" and len(frames) > 2:
        gaps = [b[2] - a[2] for a, b in zip(frames, frames[1:])]
        speeds = [step / gap for step, gap in zip(steps, gaps)]
        line += f" interval_cv={statistics.pstdev(gaps) / statistics.mean(gaps):.3f}"
        line += f" speed_cv={statistics.pstdev(speeds) / statistics.mean(speeds):.3f}"
    print(line)


main()
