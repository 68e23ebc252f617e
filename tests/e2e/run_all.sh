#!/usr/bin/env bash
# Builds the Windows program for the end-to-end checks (reporting to
# 127.0.0.1) with the probe beside it, then runs every tests/e2e/*_check.sh
# one after the other and sums up. Exit status 1 when any check failed.
# E2E_CHECK_TIMEOUT: seconds one check may take (default 1800).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset windows-test >/dev/null
cmake --build --preset windows-test
export E2E_BUILD_DIR=$root/build/windows-test

failed=()
passed_total=0
failed_total=0
for check in tests/e2e/*_check.sh; do
  echo "== $check"
  out=$(mktemp)
  # The output goes to a file that is followed until the check itself ends:
  # a process it failed to stop still holds the file open, and a pipe to tee
  # would wait for that process for ever. A check that hangs is stopped
  # (its trap then stops what it started).
  timeout -k 30 "${E2E_CHECK_TIMEOUT:-1800}" bash "$check" >"$out" 2>&1 &
  pid=$!
  tail -n +1 -f --pid="$pid" "$out"
  if ! wait "$pid"; then
    failed+=("$check")
  fi
  # A check that died before its summary line counts as one failure.
  if ! read -r p f < <(tail -n 1 "$out" | sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p'); then
    failed+=("$check (no summary)")
    p=0 f=1
  fi
  passed_total=$((passed_total + p))
  failed_total=$((failed_total + f))
  rm -f "$out"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "end-to-end checks failed: ${failed[*]}"
fi
echo "e2e: $passed_total passed, $failed_total failed"
[ ${#failed[@]} -eq 0 ]
