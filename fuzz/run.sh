#!/usr/bin/env bash
# Runs the fuzz targets built in BUILD_DIR (by `make fuzz`).
#
#   fuzz/run.sh BUILD_DIR [SECONDS]
#
# SECONDS is the time for the GPX reader (default 600); the keyed archive fuzzer runs
# FUZZ_ARCHIVE_SECONDS (default a third of it), the map tools' point index FUZZ_INDEX_SECONDS
# (default the same as the archive's). Working corpora grow in fuzz/corpus-run/,
# crashing inputs land in fuzz/artifacts/. Exit status 1 when a target found a problem.
# WEND_FUZZ_LENIENT_REPAIRED=1 lets the reader fuzzer go on past files written from repaired
# input that need repair again (known faults, see tests/core/formats/fuzz-regressions/).
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(dirname "$here")"
build="${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS]}"
build="$(cd "$build" && pwd)"
seconds="${2:-600}"
archive_seconds="${FUZZ_ARCHIVE_SECONDS:-$(( seconds / 3 > 30 ? seconds / 3 : 30 ))}"
index_seconds="${FUZZ_INDEX_SECONDS:-$archive_seconds}"
seeds="${WEND_SHARED_DIR:-$repo/../shared}/corpus/gpx"

reader="$build/fuzz/fuzz_gpx_reader"
archive="$build/fuzz/fuzz_keyed_archive"
index="$build/fuzz/fuzz_item_point_index"
seedmaker="$build/fuzz/wend-fuzz-archive-seeds"
for f in "$reader" "$archive" "$index" "$seedmaker"; do
  [ -x "$f" ] || { echo "fuzz/run.sh: $f is missing (build with make fuzz)" >&2; exit 2; }
done

work="$here/corpus-run"
artifacts="$here/artifacts"
mkdir -p "$work/gpx-reader" "$work/keyed-archive" "$work/item-point-index" \
  "$artifacts/gpx-reader" "$artifacts/keyed-archive" "$artifacts/item-point-index"

if [ -d "$seeds" ]; then
  cp -n "$seeds"/* "$work/gpx-reader/" 2>/dev/null || true
  "$seedmaker" "$work/keyed-archive" "$seeds"/*.gpx
else
  echo "fuzz/run.sh: $seeds not found; starting from empty corpora"
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
run() { # name binary seconds extra-options...
  local name="$1" binary="$2" time="$3"
  shift 3
  echo "== $name: fuzzing for ${time}s"
  local start=$SECONDS rc=0
  "$binary" "$work/$name" -max_total_time="$time" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="$artifacts/$name/" "$@" || rc=$?
  [ $rc -eq 0 ] || status=1
  echo "== $name: ran $((SECONDS - start))s, $([ $rc -eq 0 ] && echo clean || echo "FOUND A PROBLEM (exit $rc)")," \
       "corpus $(ls "$work/$name" | wc -l) inputs"
}

run gpx-reader "$reader" "$seconds" -dict="$here/gpx.dict"
run keyed-archive "$archive" "$archive_seconds"
run item-point-index "$index" "$index_seconds"

if [ $status -ne 0 ]; then
  echo "fuzz/run.sh: a target reported a problem; the input is in $artifacts" >&2
fi
exit $status
