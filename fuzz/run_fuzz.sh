#!/usr/bin/env bash
# Runs one fuzz target for a bounded time, starting from its seed folders and
# the inputs earlier runs kept in WORK/corpus. Exits 77 (the test is skipped)
# when the target was not built because clang or libFuzzer is missing.
# Usage: run_fuzz.sh FUZZER SECONDS WORK [SEED_FOLDER...]
set -uo pipefail
fuzzer=$1 seconds=$2 work=$3
shift 3
if [ ! -x "$fuzzer" ]; then
  echo "skipped: $fuzzer was not built (clang with libFuzzer is missing)"
  exit 77
fi
mkdir -p "$work/corpus" "$work/crashes"
seeds=()
for folder in "$@"; do
  if [ -d "$folder" ]; then seeds+=("$folder"); fi
done
# Inputs that fault are kept in WORK/crashes; rerun one with: FUZZER FILE
# A fixed seed (FUZZ_SEED to change it) makes a run repeat the same inputs in
# the same order, so a test run fails the same way every time or not at all.
exec "$fuzzer" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/crashes/" "$work/corpus" "${seeds[@]}"
