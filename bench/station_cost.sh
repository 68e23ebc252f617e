#!/usr/bin/env bash
# The station's cost as a whole process: tessivar.exe under Wine with the
# simulated counter, logging at 30 CPM and at 5000 pulse bytes a second,
# sampling the program's and the wineserver's CPU time and memory from /proc
# every second; an idle Win32 program under the same Wine is the baseline.
# Prints the figures; it is a measurement, not a test.
#
#   bench/station_cost.sh [MINUTES]     (default 3 minutes of logging a run)
#
# The 5000 B/s run also proves that every byte is counted. The counter starts
# at the program's second greeting, which follows its first minute (empty, so
# the port is reopened); it sends one byte at once, so the program's first
# counted minute - which it neither writes nor reports - is a known 1, then
# from 62 s on MINUTES minutes flat out, then nothing. Every byte after the
# first must then appear in the data file: the lines' sum equals what the
# counter says it sent. The counter's own minutes start at that greeting, a
# few ms after the program's minute, so each line is also compared with the
# counter's minute; the two differ by at most the bytes of one poll interval
# (200 ms, 1000 bytes) waiting in the line at a minute's end.
set -euo pipefail
. "$(dirname "$0")/../tests/e2e/lib.sh"
MINUTES=${1:-3}
COUNTER_SIM=$E2E_ROOT/build/sim/tools/counter-sim/counter-sim
TICKS=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
mem_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
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

# Samples process PID and the wineserver every second for SECONDS; prints the
# cpu seconds per wall minute of both, the program's RSS after the first
# minute and at the end, its high-water mark, and its RSS once a minute.
sample() {
  local pid=$1 seconds=$2 server first_rss=0 last_rss=0 p0 s0 p1 s1 i per_minute=""
  server=$(pid_of wineserver)
  p0=$(cpu_ticks "$pid")
  s0=$(cpu_ticks "$server")
  for ((i = 1; i <= seconds; i++)); do
    sleep 1
    [ "$i" -eq 60 ] && first_rss=$(mem_kb "$pid" VmRSS)
    [ $((i % 60)) -eq 0 ] && per_minute+=" $(mem_kb "$pid" VmRSS)"
  done
  last_rss=$(mem_kb "$pid" VmRSS)
  p1=$(cpu_ticks "$pid")
  s1=$(cpu_ticks "$server")
  awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v t="$TICKS" -v m="$(echo "$seconds / 60" | bc -l)" \
    -v f="$first_rss" -v l="$last_rss" -v h="$(mem_kb "$pid" VmHWM)" 'BEGIN {
      printf "  program %.3f cpu-s/min, wineserver %.3f cpu-s/min\n", p / t / m, s / t / m
      printf "  program VmRSS %d kB after the first minute, %d kB at the end, VmHWM %d kB\n", f, l, h
    }'
  echo "  program VmRSS each minute (kB):$per_minute"
}

# The receiver answers every report, as the service does, so each minute's
# report runs its whole course (connection, request, answer) as it would in
# the field.
start_station() {
  e2e_init "cost-$1"
  shift
  e2e_start_xvfb
  e2e_make_prefix
  mkdir -p "$E2E_WORK/data"
  python3 "$E2E_ROOT/tools/push-receiver/push_receiver.py" --log "$E2E_TMP/push.log" \
    >"$E2E_TMP/receiver.out" 2>&1 &
  RECEIVER_PID=$!
  e2e_stop_at_exit "$RECEIVER_PID"
  e2e_wait_for 10000 grep -q listening "$E2E_TMP/receiver.out"
  "$COUNTER_SIM" --link "$E2E_TMP/pty" --start-after-greeting --log "$E2E_TMP/counter.log" "$@" &
  SIM_PID=$!
  e2e_stop_at_exit "$SIM_PID"
  e2e_wait_for 10000 test -e "$E2E_TMP/pty"
  ln -s "$E2E_TMP/pty" "$WINEPREFIX/dosdevices/com3"
  e2e_start_program "$E2E_BUILD_DIR/tessivar.exe"
  e2e_wait_window "tessivar  Geiger Counter" active 20000
}

reports_received() { cat "$E2E_TMP/push.log" 2>/dev/null | awk '/"target"/ { n++ } END { print n + 0 }'; }
minutes_written() { tr -d '\r' <"$E2E_WORK"/data/*.txt 2>/dev/null | cut -f3 | xargs; }
lines_written() { [ "$(cat "$E2E_WORK"/data/*.txt 2>/dev/null | wc -l)" -ge "$1" ]; }
greetings_seen() { [ "$(grep -c ' greeting$' "$E2E_TMP/counter.log" 2>/dev/null)" -ge "$1" ]; }
counter_minutes() { awk '$2 == "minute" { print $5 }' "$E2E_TMP/counter.log" | xargs; }

run_30_cpm() {
  start_station 30-cpm --cpm 30
  echo "30 CPM:"
  sample "$(pid_of tessivar.exe)" $((MINUTES * 60 + 5))
  echo "  minutes written: $(minutes_written); reports received: $(reports_received)"
  echo "  counter's minutes (from its start, not aligned): $(counter_minutes)"
  e2e_cleanup_now
}

run_5000() {
  start_station 5000-bytes-per-second --greetings 2 --prelude 1 --rate 5000 \
    --rate-window "62,$((MINUTES * 60))"
  echo "5000 pulse bytes a second:"
  e2e_wait_for 80000 greetings_seen 2 || {
    echo "  the program did not reopen the port after its first minute"
    return 1
  }
  local origin
  origin=$(now_ms)
  # Sampling starts when the flat rate does and ends when it ends.
  sleep "$(echo "(62000 - ($(now_ms) - $origin)) / 1000" | bc -l)"
  sample "$(pid_of tessivar.exe)" $((MINUTES * 60))
  e2e_wait_for 90000 lines_written $((MINUTES + 1)) || true
  local sent written
  sent=$(awk '$2 == "rate" { print $4 }' "$E2E_TMP/counter.log")
  written=$(minutes_written)
  echo "  minutes written: $written; reports received: $(reports_received)"
  echo "  counter's minutes (its first is the held-back 1): $(counter_minutes)"
  echo "  bytes sent flat out: $sent; sum of the minutes written: $(echo "$written" | tr ' ' '\n' |
    awk '{ s += $1 } END { print s + 0 }')"
  e2e_cleanup_now
}

# Starts the probe's small Win32 window, with ARGS, and waits until it is up.
start_target() {
  e2e_start_program "$E2E_BUILD_DIR/winprobe-target.exe" "$@"
  e2e_wait_window "winprobe target" active 20000
}

# The probe's window (with ARGS) idle: its VmRSS once it has settled, in kB,
# into TARGET_RSS (not printed: the window's process would hold a command
# substitution open); the window is closed again.
target_rss() {
  start_target "$@"
  sleep 10
  TARGET_RSS=$(mem_kb "$(pid_of winprobe-target)" VmRSS)
  e2e_kill_pid "$E2E_PROGRAM_PID"
}

# The baseline: the probe's small Win32 window, first idle (its memory), then
# taking messages with a wait of at most 200 ms, as the station does (the
# cost of five idle turns a second under this Wine, with nothing else done).
baseline() {
  e2e_init cost-baseline
  e2e_start_xvfb
  e2e_make_prefix
  target_rss
  echo "idle Win32 program: VmRSS $TARGET_RSS kB"
  # The station asks the management service for its network adapters once at
  # start, in its own process, and COM keeps that library loaded from then
  # on; what loading it alone costs here is the part of the station's memory
  # that comes with that one query.
  target_rss --load-management
  echo "the same program with the management library loaded: VmRSS $TARGET_RSS kB"
  start_target --wait-200ms
  sleep 5
  local pid p0
  pid=$(pid_of winprobe-target)
  p0=$(cpu_ticks "$pid")
  sleep 60
  awk -v p=$(($(cpu_ticks "$pid") - p0)) -v t="$TICKS" 'BEGIN {
    printf "the same program polling every 200 ms: %.3f cpu-s/min\n", p / t }'
  e2e_cleanup_now
}

e2e_cleanup_now() {
  e2e_kill_pid "$RECEIVER_PID"
  e2e_kill_pid "$SIM_PID"
  e2e_kill_pid "$E2E_PROGRAM_PID"
  wineserver -k 2>/dev/null || true
  e2e_kill_pid "$E2E_SERVER_PID"
  e2e_kill_pid "$E2E_XVFB_PID"
  rm -rf "$E2E_TMP"
  trap - EXIT
}

SIM_PID=
RECEIVER_PID=
baseline
run_30_cpm
run_5000
