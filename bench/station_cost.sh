#!/usr/bin/env bash
# The station's cost as a whole process: tessivar.exe under Wine with the
# simulated counter, three minutes at 30 CPM and three minutes at 5000 pulse
# bytes a second, sampling the program's and the wineserver's CPU time and
# memory from /proc every second; an idle Win32 program under the same Wine
# is the baseline. Prints the figures; it is a measurement, not a test.
#
#   bench/station_cost.sh [MINUTES]     (default 3 minutes a run)
set -euo pipefail
. "$(dirname "$0")/../tests/e2e/lib.sh"
MINUTES=${1:-3}
COUNTER_SIM=$E2E_ROOT/build/sim/tools/counter-sim/counter-sim
TICKS=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
mem_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
# The process named NAME that runs in this run's Wine prefix.
pid_of() {
  local p
  for p in $(pgrep -f "$1"); do
    case $(cat "/proc/$p/comm" 2>/dev/null) in bash | sh | timeout | wine | pgrep) continue ;; esac
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$p"
      return
    fi
  done
}

# Samples PROGRAM's process and the wineserver every second for SECONDS;
# prints cpu seconds per wall minute of both, and RSS in the first and the
# last minute and the high-water mark of the program.
sample() {
  local pid=$1 seconds=$2 server first_rss=0 last_rss=0 p0 s0 p1 s1 i
  server=$(pid_of wineserver)
  p0=$(cpu_ticks "$pid")
  s0=$(cpu_ticks "$server")
  for ((i = 1; i <= seconds; i++)); do
    sleep 1
    [ "$i" -eq 60 ] && first_rss=$(mem_kb "$pid" VmRSS)
  done
  last_rss=$(mem_kb "$pid" VmRSS)
  p1=$(cpu_ticks "$pid")
  s1=$(cpu_ticks "$server")
  awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v t="$TICKS" -v m="$((seconds / 60))" \
    -v f="$first_rss" -v l="$last_rss" -v h="$(mem_kb "$pid" VmHWM)" 'BEGIN {
      printf "  program %.3f cpu-s/min, wineserver %.3f cpu-s/min\n", p / t / m, s / t / m
      printf "  program VmRSS %d kB after the first minute, %d kB at the end, VmHWM %d kB\n", f, l, h
    }'
}

run() {
  local name=$1
  shift
  e2e_init "cost-$name"
  e2e_start_xvfb
  e2e_make_prefix
  mkdir -p "$E2E_WORK/data"
  "$COUNTER_SIM" --link "$E2E_TMP/pty" --start-after-greeting --log "$E2E_TMP/counter.log" "$@" &
  local sim=$!
  e2e_wait_for 10000 test -e "$E2E_TMP/pty"
  ln -s "$E2E_TMP/pty" "$WINEPREFIX/dosdevices/com3"
  e2e_start_program "$E2E_BUILD_DIR/tessivar.exe"
  e2e_wait_window "tessivar  Geiger Counter" active 20000
  echo "$name:"
  sample "$(pid_of tessivar.exe)" $((MINUTES * 60 + 5))
  echo "  minutes written: $(tr -d '\r' <"$E2E_WORK"/data/*.txt | cut -f3 | xargs)"
  kill "$sim"
  e2e_cleanup_now
}

baseline() {
  e2e_init cost-baseline
  e2e_start_xvfb
  e2e_make_prefix
  e2e_start_program "$E2E_BUILD_DIR/winprobe-target.exe"
  e2e_wait_window "winprobe target" active 20000
  sleep 10
  echo "idle Win32 program: VmRSS $(mem_kb "$(pid_of winprobe-target)" VmRSS) kB"
  e2e_cleanup_now
}

e2e_cleanup_now() {
  e2e_kill_pid "$E2E_PROGRAM_PID"
  wineserver -k 2>/dev/null || true
  e2e_kill_pid "$E2E_SERVER_PID"
  e2e_kill_pid "$E2E_XVFB_PID"
  rm -rf "$E2E_TMP"
  trap - EXIT
}

baseline
run "30-cpm" --cpm 30
run "5000-bytes-per-second" --rate 5000
