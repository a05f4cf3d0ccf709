#!/usr/bin/env bash
# Runs one fuzz target once over every file of its seed folders: the inputs
# that once found faults, and real programs, replayed under the sanitizers.
# Exits 77 (the test is skipped) when the target was not built.
# Usage: replay_fuzz.sh FUZZER SEED_FOLDER...
set -uo pipefail
fuzzer=$1
shift
if [ ! -x "$fuzzer" ]; then
  echo "skipped: $fuzzer was not built (configure with -DVENNIK_BUILD_FUZZ=ON and clang with libFuzzer)"
  exit 77
fi
inputs=()
for folder in "$@"; do
  if [ -d "$folder" ]; then
    while IFS= read -r -d '' f; do inputs+=("$f"); done < <(find "$folder" -type f -print0 | sort -z)
  fi
done
if [ ${#inputs[@]} -eq 0 ]; then
  echo "no seed inputs in: $*"
  exit 77
fi
# Given files rather than folders, libFuzzer runs each once and stops.
exec "$fuzzer" -timeout=20 -rss_limit_mb=4096 "${inputs[@]}"
