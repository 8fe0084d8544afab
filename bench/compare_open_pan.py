#!/usr/bin/env python3
"""Prints bench_app_open_pan's figures of two builds side by side with their targets.

    compare_open_pan.py BEFORE AFTER INFO_MS

BEFORE and AFTER hold one "name value" a line; INFO_MS is the mean time of `wend-cli info`
on the same file, measured in the same run (the opening target is relative to it).
"""
import sys


def read(path):
    figures = {}
    try:
        with open(path) as f:
            for line in f:
                name, value = line.split()
                figures[name] = float(value)
    except OSError:
        pass
    return figures


before, after, info_ms = read(sys.argv[1]), read(sys.argv[2]), float(sys.argv[3])
for figures in (before, after):
    if "open.first_frame_ms" in figures:
        figures["open.ratio_to_cli_info"] = figures["open.first_frame_ms"] / info_ms

# name, what it is, target (upper bound) or None
rows = [
    ("open.first_frame_ms", "open: to the first frame showing the tracks (ms)", None),
    ("open.ratio_to_cli_info", "open: first frame / wend-cli info", 1.15),
    ("open.statistics_ms", "open: to the statistics shown (ms)", None),
    ("open.longest_gap_ms", "open: longest unserved event-loop gap (ms)", None),
    ("open.peak_to_file", "open: peak memory / file size", 1.5),
]
for case, what in (("fitted", "fitted zoom"), ("zoom4", "zoomed in 4 levels"), ("zoom8", "zoomed in 8 levels"),
                   ("zoom8.sweep", "8 levels, along the tracks"), ("zoom4.sweep", "4 levels, start to finish")):
    rows += [
        (case + ".cpu.median", f"pan, {what}: CPU median (ms)", None),
        (case + ".cpu.p99", f"pan, {what}: CPU 99th percentile (ms)", 16),
        (case + ".wall.p99", f"pan, {what}: wall 99th percentile (ms)", None),
        (case + ".missing.run", f"pan, {what}: most frames in a row missing tracks", 1),
    ]
rows += [
    ("rebuild.count", "frames that rebuilt the caches", None),
    ("rebuild.cpu.p99", "rebuild frames: CPU 99th percentile (ms)", 33),
    ("rebuild.wall.p99", "rebuild frames: wall 99th percentile (ms)", None),
]


def show(figures, name):
    return f"{figures[name]:10.2f}" if name in figures else f"{'-':>10}"


print(f"wend-cli info on the same file: {info_ms:.0f} ms (mean)")
print(f"{'':52} {'before':>10} {'after':>10} {'target':>8}")
for name, what, target in rows:
    verdict = ""
    if target is not None and name in after:
        verdict = "  met" if after[name] <= target else "  NOT met"
    print(f"{what:52} {show(before, name)} {show(after, name)} {('<= ' + format(target, 'g')) if target is not None else '':>8}{verdict}")
