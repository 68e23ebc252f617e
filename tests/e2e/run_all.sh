#!/usr/bin/env bash
# Builds the Windows program for the end-to-end checks (reporting to
# 127.0.0.1) with the probe beside it, then runs every tests/e2e/*_check.sh
# one after the other and sums up. Exit status 1 when any check failed.
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
  if ! bash "$check" 2>&1 | tee "$out"; then
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
