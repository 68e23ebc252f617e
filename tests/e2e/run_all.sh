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
for check in tests/e2e/*_check.sh; do
  echo "== $check"
  if ! bash "$check"; then
    failed+=("$check")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "end-to-end checks failed: ${failed[*]}"
  exit 1
fi
echo "all end-to-end checks passed"
