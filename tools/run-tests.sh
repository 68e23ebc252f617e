#!/usr/bin/env bash
# Builds and runs every test: the unit and scenario tests on the simulated
# platform (with AddressSanitizer and UndefinedBehaviorSanitizer), then the
# end-to-end checks of the real Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake --preset sim >/dev/null
cmake --build --preset sim
ctest --preset sim -j2

if [ -x tests/e2e/run_all.sh ]; then
  tests/e2e/run_all.sh
fi
