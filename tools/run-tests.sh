#!/usr/bin/env bash
# Builds and runs every test: the unit and scenario tests on the simulated
# platform (with AddressSanitizer and UndefinedBehaviorSanitizer), the
# threaded scenarios again under ThreadSanitizer, then the end-to-end checks
# of the real Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake --preset sim >/dev/null
cmake --build --preset sim
ctest --preset sim -j2

cmake --preset sim-tsan >/dev/null
cmake --build --preset sim-tsan --target minute_tick_test alert_settings_test
TSAN_OPTIONS=halt_on_error=1 ctest --preset sim-tsan -R 'MinuteTick|AlertSettings'

tests/e2e/run_all.sh
