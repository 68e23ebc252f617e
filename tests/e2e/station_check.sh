#!/usr/bin/env bash
# The whole station on the real tessivar.exe, in real 60-second minutes: a
# simulated counter on COM3 plays a known script, the local push receiver
# stands in for the service (silent for the first minutes, then answering),
# and data/ exists. Then a restart rebuilds the chart from the data file.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

T="tessivar  Geiger Counter"
PROGRAM=$E2E_BUILD_DIR/tessivar.exe
COUNTER_SIM=${COUNTER_SIM:-$E2E_ROOT/build/sim/tools/counter-sim/counter-sim}
SCRIPT=(17 23 0 31 12)  # counts of the program's minutes 1 to 5
MINUTES=${#SCRIPT[@]}
ALERT_LEVEL=20  # reached by minutes 2 and 4 (23 and 31)

e2e_init station
e2e_start_xvfb
e2e_make_prefix
mkdir -p "$E2E_WORK/data"

python3 "$E2E_ROOT/tools/push-receiver/push_receiver.py" --log "$E2E_TMP/push.log" \
  --mode silent >"$E2E_TMP/receiver.out" 2>&1 &
RECEIVER_PID=$!
"$COUNTER_SIM" --link "$E2E_TMP/counter-pty" --script "$(IFS=,; echo "${SCRIPT[*]}")" --burst \
  --start-after-greeting --log "$E2E_TMP/counter.log" &
COUNTER_PID=$!
e2e_stop_at_exit "$RECEIVER_PID" "$COUNTER_PID"
listening() { grep -q listening "$E2E_TMP/receiver.out"; }
e2e_require "push receiver listens on 127.0.0.1:80" e2e_wait_for 10000 listening
e2e_require "counter on its pty" e2e_wait_for 10000 test -e "$E2E_TMP/counter-pty"
ln -s "$E2E_TMP/counter-pty" "$WINEPREFIX/dosdevices/com3"

# Wine's sound library traces each sound it is asked to play to the
# program's error output.
WINEDEBUG=-all,trace+winmm e2e_start_program "$PROGRAM"
e2e_require "main window appears" e2e_wait_window "$T" active 20000
started=$(date +%s)
greeted() { grep -q greeting "$E2E_TMP/counter.log"; }
e2e_wait_for 10000 greeted && e2e_pass "the counter receives the greeting" ||
  e2e_fail "the counter receives the greeting" "nothing arrived"
e2e_expect "the greeting, byte for byte" "$(grep -m1 ' rx ' "$E2E_TMP/counter.log" | cut -d' ' -f3-)" \
  "41 54 5A 0D 3C 48 45 41 52 54 42 45 41 54 31 3E 3E"
network_id=$(e2e_menu_tree "$T" | sed -n 's/^  263 "Network ID: \(.*\)" grey$/\1/p')
e2e_expect "COM3 chosen, network ID ends in .3" "${network_id##*.}" 3

# The alert level, set as a user does in the first minute: typed into the
# level field of the alert settings, which takes it at once.
A="Audible Alert Config"
e2e_choose_menu "$T" 272
e2e_require "alert settings open" e2e_wait_window "$A" visible 10000
e2e_click_control "$A" 11
xdotool key End BackSpace BackSpace BackSpace
xdotool type --delay 50 "$ALERT_LEVEL"
level_shown() { [ "$(e2e_control_field "$A" 11 text)" = "$ALERT_LEVEL" ]; }
e2e_wait_for 5000 level_shown && e2e_pass "alert level $ALERT_LEVEL typed" ||
  e2e_fail "alert level $ALERT_LEVEL typed" "$(e2e_control_field "$A" 11 text)"
e2e_probe press "$A" 10
e2e_wait_window "$A" gone 5000 || true

# Watch status field 1 and the program's threads while the minutes pass.
program_pid=$E2E_PROGRAM_PID
: >"$E2E_TMP/status.log"
max_threads=0
base_threads=$(awk '/^Threads:/ { print $2 }' "/proc/$program_pid/status")
deadline=$((started + MINUTES * 60 + 8))
while [ "$(date +%s)" -lt "$deadline" ]; do
  e2e_probe status "$T" | e2e_select statuspart index=1 | e2e_field text >>"$E2E_TMP/status.log" || true
  threads=$(awk '/^Threads:/ { print $2 }' "/proc/$program_pid/status")
  [ "$threads" -gt "$max_threads" ] && max_threads=$threads
  if [ "$(date +%s)" -ge $((started + 200)) ] && [ ! -e "$E2E_TMP/push.log.mode" ]; then
    echo ok >"$E2E_TMP/push.log.mode"  # the service answers again from minute 4 on
  fi
  sleep 2
done

for count in "${SCRIPT[@]}"; do
  # A zero minute's text is replaced in the same turn by the reopen's.
  [ "$count" -eq 0 ] && continue
  grep -qx "  CPM=$count" "$E2E_TMP/status.log" && e2e_pass "status showed \"  CPM=$count\"" ||
    e2e_fail "status showed \"  CPM=$count\"" "never seen"
done
grep -q ' CPM=' "$E2E_TMP/status.log" && e2e_pass "live counts in the status bar" ||
  e2e_fail "live counts in the status bar" "none seen"
e2e_expect "the zero minute reopened the port: greeted twice" \
  "$(grep -c ' rx 41 54 5A 0D 3C' "$E2E_TMP/counter.log")" 2
grep -qF "Opened serial port COM3 --  Reading file data\\\\log-$network_id.txt" "$E2E_TMP/status.log" &&
  e2e_pass "the reopen reloaded the history from the data file" ||
  e2e_fail "the reopen reloaded the history from the data file" "no reading message"

data="$E2E_WORK/data/log-$network_id.txt"
# The first positive minute is held back and the zero minute reopens the
# port instead: the file holds minutes 2, 4 and 5.
want_counts="23 31 12"
got_counts=$(tr -d '\r' <"$data" | cut -f3 | xargs || true)
e2e_expect "data file holds the reported minutes" "$got_counts" "$want_counts"
bad_lines=$(LC_ALL=C grep -c -v -P '^\d{4}-\d\d-\d\d\t\d\d:\d\d:\d\d\t[1-9]\d*\r$' "$data" || true)
e2e_expect "every line is date TAB time TAB count CR LF" "$bad_lines" 0
e2e_expect "24 bytes a line" "$(wc -c <"$data")" $((3 * 24))
seconds() { tr -d '\r' <"$data" | awk -F'\t' '{ split($2, t, ":"); print t[1] * 3600 + t[2] * 60 + t[3] }'; }
gaps=$(seconds | awk 'NR > 1 { print $1 - last } { last = $1 }' | xargs)
e2e_expect "no line delayed by the silent service (minutes 4 and 5 a minute apart)" \
  "$(awk '{ d = $2 - 60; print (d < 0 ? -d : d) <= 2 }' <<<"$gaps")" 1

targets=$(python3 -c 'import json,sys; [print(json.loads(l)["target"]) for l in open(sys.argv[1])]' \
  "$E2E_TMP/push.log")
e2e_expect "the receiver got exactly the reported minutes" "$targets" \
  "/push.php?id=$network_id&v=w32_1.1.3.1085&c=23
/push.php?id=$network_id&v=w32_1.1.3.1085&c=31
/push.php?id=$network_id&v=w32_1.1.3.1085&c=12"
headers=$(python3 -c 'import json,sys; h=json.loads(open(sys.argv[1]).readlines()[-1])["headers"]
print(h.get("User-Agent"), "|", h.get("Pragma"), "|", "Cookie" in h)' "$E2E_TMP/push.log")
e2e_expect "user agent, no-cache, no cookie" "$headers" \
  "Mozilla/4.0 (Compatible; Win32 4.51; Windows 7) | no-cache | False"
# No file was chosen, so the alert is the system's default sound, by the
# name the program starts with; asked for once in each minute that reached
# the level, asynchronously and by name alone.
e2e_expect "the alert sounded in the two minutes at or above the level" \
  "$(grep -c 'proc_PlaySound SoundName=L"(default sound)" !' "$E2E_TMP/program.err")" 2
e2e_expect "the alert is played asynchronously, by its name alone" \
  "$(grep -o 'MULTIMEDIA_PlaySound .*' "$E2E_TMP/program.err" | sed 's/.*fdwSound=//' | sort | uniq -c |
    xargs)" "2 00000001"
e2e_expect "threads in flight stay bounded while the service is silent" \
  "$((max_threads - base_threads <= 3))" 1
e2e_screenshot station-chart "$T"

# A restart: the first open rebuilds the chart from the data file.
e2e_choose_menu "$T" 262
e2e_wait_exit 10000 || true
e2e_expect "Quit ends with exit code 0" "$E2E_EXIT_CODE" 0
e2e_start_program "$PROGRAM"
e2e_wait_window "$T" active 20000 || true
reading() {
  e2e_probe status "$T" | e2e_select statuspart index=1 | e2e_field text |
    grep -qF " --  Reading file data\\\\log-$network_id.txt"
}
e2e_wait_for 10000 reading && e2e_pass "the restart reloads the data file" ||
  e2e_fail "the restart reloads the data file" "no reading message"
e2e_screenshot station-restart "$T"
e2e_choose_menu "$T" 262
e2e_wait_exit 10000 || true
e2e_summary
