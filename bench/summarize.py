#!/usr/bin/env python3
"""Prints the whole-process comparison of bench/run-all.sh: times, CPU times, peak memory
and the ratios against their targets, from hyperfine's JSON and /usr/bin/time's output
("%M" alone for a peak; "%e %U %S %M" per line for the slow peers timed without hyperfine).

    summarize.py RESULTS_DIR INPUT_BYTES
"""
import json
import os
import statistics
import sys

results, input_bytes = sys.argv[1], int(sys.argv[2])
MiB = 1024 * 1024


def runs(group):
    with open(os.path.join(results, group + ".json")) as f:
        return {r["command"]: r for r in json.load(f)["results"]}


def timed(name):
    """The runs of a slow peer in the shape of a hyperfine result, plus its peak."""
    with open(os.path.join(results, name + ".time")) as f:
        lines = [line.split() for line in f if line.strip()]
    rows = [[float(v) for v in line[:4]] for line in lines]
    walls = [r[0] for r in rows]
    return {"stopped": any(len(line) > 4 for line in lines),
            "mean": statistics.mean(walls),
            "stddev": statistics.stdev(walls) if len(walls) > 1 else None,
            "user": statistics.mean(r[1] for r in rows),
            "system": statistics.mean(r[2] for r in rows),
            "peak": max(r[3] for r in rows) * 1024, "runs": len(rows)}


def peak_bytes(name):
    path = os.path.join(results, name + ".peak")
    if not os.path.exists(path):
        return timed(name)["peak"]
    with open(path) as f:
        return int(f.read().split()[-1]) * 1024


measured = {}
for group in ("convert", "stats", "simplify"):
    measured.update(runs(group))
measured["gpxpy"] = timed("gpxpy")
measured["gpsbabel simplify"] = timed("gpsbabel-simplify")
peaks = {
    "wend-cli convert": "convert", "gpsbabel": "gpsbabel", "xmllint --stream": "xmllint",
    "wend-cli stats": "stats", "gpxpy": "gpxpy",
    "wend-cli simplify": "simplify", "gpsbabel simplify": "gpsbabel-simplify",
}


def wall(name):
    return measured[name]["mean"]


def cpu(name):
    return measured[name]["user"] + measured[name]["system"]


print(f"input: {input_bytes / MiB:.1f} MiB")
print(f"{'command':<20} {'runs':>4} {'wall s (mean ± sd)':>20} {'CPU s (user+sys)':>17} {'peak MiB':>9} {'peak/file':>10}")
for name, peak in peaks.items():
    r = measured[name]
    p = peak_bytes(peak)
    n = r.get("runs") or len(r.get("times", []))
    print(f"{name:<20} {n:>4} {r['mean']:>11.2f} ± {r['stddev'] or 0:<6.2f} {cpu(name):>17.2f} "
          f"{p / MiB:>9.0f} {p / input_bytes:>10.2f}{'  stopped: lower bounds' if r.get('stopped') else ''}")

print()
rows = [
    ("convert / gpsbabel, wall", wall("wend-cli convert") / wall("gpsbabel"), "<=", 0.25),
    ("convert / gpsbabel, CPU", cpu("wend-cli convert") / cpu("gpsbabel"), "<=", 0.25),
    ("convert / xmllint --stream, wall", wall("wend-cli convert") / wall("xmllint --stream"), "<=", 2.5),
    ("convert / xmllint --stream, CPU", cpu("wend-cli convert") / cpu("xmllint --stream"), "<=", 2.5),
    ("convert peak memory / file size", peak_bytes("convert") / input_bytes, "<=", 1.5),
    ("gpsbabel peak memory / file size", peak_bytes("gpsbabel") / input_bytes, None, None),
    ("gpxpy / stats (speed-up), wall", wall("gpxpy") / wall("wend-cli stats"), ">=", 20),
    ("gpxpy / stats (speed-up), CPU", cpu("gpxpy") / cpu("wend-cli stats"), ">=", 20),
    ("gpsbabel / simplify (speed-up), wall", wall("gpsbabel simplify") / wall("wend-cli simplify"), ">=", 3),
    ("gpsbabel / simplify (speed-up), CPU", cpu("gpsbabel simplify") / cpu("wend-cli simplify"), ">=", 3),
]
print(f"{'ratio':<40} {'measured':>9}  target")
stopped = {"gpxpy": measured["gpxpy"].get("stopped"),
           "gpsbabel /": measured["gpsbabel simplify"].get("stopped")}
for label, value, op, target in rows:
    if any(label.startswith(k) and v for k, v in stopped.items()):
        label += " (at least)"
    if op is None:
        print(f"{label:<40} {value:>9.2f}  (for reference)")
        continue
    met = value <= target if op == "<=" else value >= target
    print(f"{label:<40} {value:>9.2f}  {op} {target:<5} {'met' if met else 'MISSED'}")
