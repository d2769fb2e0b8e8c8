#!/bin/sh
# Replays each fuzz target's corpus, then fuzzes it for SECONDS seconds.
# usage: run.sh BUILD_DIR SECONDS TARGET...
# New inputs go to BUILD_DIR/corpus/TARGET (the corpus in the repository is
# only read), anything that breaks an invariant to BUILD_DIR/findings/, and
# libFuzzer's own output to BUILD_DIR/TARGET.log.
set -eu
build=$1
seconds=$2
shift 2
here=$(dirname "$0")
mkdir -p "$build/findings"
for target in "$@"; do
  program=$build/tests/fuzz/$target
  seeds=$here/corpus/$target
  log=$build/$target.log
  mkdir -p "$build/corpus/$target"
  echo "== $target: corpus replay, then $seconds s of fuzzing"
  if ! "$program" -runs=0 "$seeds" >"$log" 2>&1 ||
     ! "$program" -max_total_time="$seconds" -max_len=8192 -dict="$here/$target.dict" \
         -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
         "$build/corpus/$target" "$seeds" >>"$log" 2>&1; then
    tail -n 60 "$log"
    echo "FAILED: $target (inputs in $build/findings/)"
    exit 1
  fi
  grep -E 'DONE|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log"
done
