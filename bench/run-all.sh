#!/usr/bin/env bash
# Runs every benchmark: the Google Benchmark programs, then whole-process comparisons with
# other tools on the same 1,000,000-point file, printing times, CPU times, peak memory and
# the ratios against their targets.
#
#   bench/run-all.sh BUILD_DIR
#
# Environment: BENCH_RUNS (hyperfine runs of wend-cli, gpsbabel convert and xmllint, default 3),
# BENCH_SLOW_RUNS (runs of the peers that take minutes, gpxpy and gpsbabel's simplify,
# default 1; timed by /usr/bin/time alone), BENCH_SLOW_LIMIT (seconds after which such a run
# is stopped and reported as a lower bound, default 3600),
# BENCH_STRENGTH (simplification strength, default 0.25), BENCH_POINTS (points of the
# comparison file, default 1000000; smaller for a quick check), BENCH_SKIP_GBENCH=1.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: bench/run-all.sh BUILD_DIR}" && pwd)"
runs="${BENCH_RUNS:-3}"
slow_runs="${BENCH_SLOW_RUNS:-1}"
slow_limit="${BENCH_SLOW_LIMIT:-3600}"
strength="${BENCH_STRENGTH:-0.25}"
data="$here/data"
out="$data/out"
results="$data/results"
mkdir -p "$data" "$out" "$results"
rm -f "$results"/*

cli="$build/wend-cli"
generator="$build/bench/wend-bench-generate"
# gpxpy comes from the Debian package, which the system interpreter sees.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
for tool in "$cli" "$generator" "$build/bench/bench_gpx_io" "$build/bench/bench_processing" \
  "$build/bench/bench_document_commands" "$build/bench/bench_point_edit_memory"; do
  [ -x "$tool" ] || { echo "run-all.sh: $tool is missing (make bench builds it)" >&2; exit 2; }
done
for tool in hyperfine gpsbabel xmllint /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "run-all.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
"$python" -c "import gpxpy" 2>/dev/null || { echo "run-all.sh: $python cannot import gpxpy (python3-gpxpy)" >&2; exit 2; }

# --- inputs: made once, again only when the generator changed ---------------------------
generate() { # points name
  local file="$data/$2"
  if [ ! -s "$file" ] || [ "$here/GenerateGPX.cpp" -nt "$file" ]; then
    echo "generating $2 ($1 points)"
    "$generator" "$1" "$file.tmp" && mv "$file.tmp" "$file"
  fi
}
generate 10000 10k.gpx
generate 100000 100k.gpx
generate 1000000 1m.gpx
points="${BENCH_POINTS:-1000000}"
if [ "$points" = 1000000 ]; then
  input="$data/1m.gpx"
else
  generate "$points" "$points.gpx"
  input="$data/$points.gpx"
fi
input_bytes=$(stat -c %s "$input")
echo "input: $input, $input_bytes bytes, $(grep -c '<trkpt' "$input") track points"

# --- Google Benchmark ---------------------------------------------------------------------
if [ "${BENCH_SKIP_GBENCH:-0}" != 1 ]; then
  echo; echo "=== Google Benchmark: reading and writing GPX"
  "$build/bench/bench_gpx_io"
  echo; echo "=== Google Benchmark: statistics and simplification over 1,000,000 points"
  "$build/bench/bench_processing"
  echo; echo "=== Google Benchmark: Delete of a stretch of a 1,000,000-point track, Undo, Redo"
  "$build/bench/bench_document_commands"
  echo; echo "=== Single-point edits of a 1,000,000-point track: heap growth of their undo steps, time"
  "$build/bench/bench_point_edit_memory"
fi

# --- the application: opening the file and panning over it ----------------------------------
if [ -x "$build/bench/bench_app_open_pan" ]; then
  echo; echo "=== The application: opening $(basename "$input") and panning"
  "$build/bench/bench_app_open_pan" "$input"
  echo; echo "=== The application: every editing tool dragging over $(basename "$input")"
  "$build/bench/bench_tool_drags" "$input"
  echo; echo "=== The application: the profile pane on $(basename "$input")"
  "$build/bench/bench_profile" "$input"
else
  echo; echo "(the application was not built: no measure of opening, panning and the profile)"
fi

# --- whole-process comparisons ---------------------------------------------------------------
# Peak resident memory (KiB) of one run of a command, saved under a name.
peak() { # name command...
  local name="$1"
  shift
  /usr/bin/time -f "%M" -o "$results/$name.peak" "$@" >/dev/null
}

# For commands that take minutes: wall, user and system seconds and peak memory of each of
# BENCH_SLOW_RUNS runs, one line per run. A run stopped at BENCH_SLOW_LIMIT is marked
# "stopped": its times are lower bounds.
slow() { # name command...
  local name="$1" i rc
  shift
  for ((i = 1; i <= slow_runs; i++)); do
    rc=0
    /usr/bin/time -f "%e %U %S %M" -o "$results/$name.run" timeout "$slow_limit" "$@" >/dev/null || rc=$?
    if [ $rc -eq 124 ]; then
      echo "$(grep -v '^Command' "$results/$name.run") stopped" >>"$results/$name.time"
    elif [ $rc -ne 0 ]; then
      echo "run-all.sh: $name failed (exit $rc)" >&2
      exit 1
    else
      cat "$results/$name.run" >>"$results/$name.time"
    fi
    echo "$name run $i: $(tail -1 "$results/$name.time" | awk '{printf "wall %ss, user %ss, system %ss, peak %d MiB %s", $1, $2, $3, $4 / 1024, $5}')"
  done
}

echo; echo "=== GPX round trip: wend-cli convert, gpsbabel, xmllint --stream ($runs runs each)"
hyperfine --runs "$runs" --export-json "$results/convert.json" \
  -n "wend-cli convert" "$cli convert $input $out/wend.gpx" \
  -n "gpsbabel" "gpsbabel -i gpx -f $input -o gpx -F $out/gpsbabel.gpx" \
  -n "xmllint --stream" "xmllint --noout --stream $input"
peak convert "$cli" convert "$input" "$out/wend.gpx"
peak gpsbabel gpsbabel -i gpx -f "$input" -o gpx -F "$out/gpsbabel.gpx"
peak xmllint xmllint --noout --stream "$input"
rm -f "$out/wend.gpx" "$out/gpsbabel.gpx"

echo; echo "=== Statistics: wend-cli stats ($runs runs), gpxpy ($slow_runs run(s), minutes each)"
hyperfine --runs "$runs" --export-json "$results/stats.json" \
  -n "wend-cli stats" "$cli stats $input"
peak stats "$cli" stats "$input"
slow gpxpy "$python" "$here/gpxpy_stats.py" "$input"

echo; echo "=== Simplification: wend-cli simplify --strength $strength, gpsbabel simplify,count=N"
"$cli" simplify "$input" "$out/wend-simplified.gpx" --strength "$strength"
# gpsbabel's count is per track: give each track the share of points wend kept.
read -r kept tracks < <("$cli" info --json "$out/wend-simplified.gpx" | "$python" -c '
import json, sys
items = [i for i in json.load(sys.stdin)["items"] if i["type"] == "track"]
print(sum(i["points"] for i in items), len(items))')
count=$(( (kept + tracks - 1) / tracks ))
echo "wend keeps $kept track points in $tracks tracks: gpsbabel gets count=$count per track"
hyperfine --runs "$runs" --export-json "$results/simplify.json" \
  -n "wend-cli simplify" "$cli simplify $input $out/wend-simplified.gpx --strength $strength"
peak simplify "$cli" simplify "$input" "$out/wend-simplified.gpx" --strength "$strength"
slow gpsbabel-simplify gpsbabel -i gpx -f "$input" -x simplify,count="$count" -o gpx -F "$out/gpsbabel-simplified.gpx"
[ -s "$out/gpsbabel-simplified.gpx" ] &&
  echo "gpsbabel kept $(grep -c '<trkpt' "$out/gpsbabel-simplified.gpx") track points"
rm -f "$out/wend-simplified.gpx" "$out/gpsbabel-simplified.gpx"

echo
"$python" "$here/summarize.py" "$results" "$input_bytes"
