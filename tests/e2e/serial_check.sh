#!/usr/bin/env bash
# The real tessivar.exe with three virtual ports: COM2 and COM5 with
# counters, COM7 with a modem. The scan, the greeting, live counts, choosing
# another port, and the modem given up.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

T="tessivar  Geiger Counter"
PROGRAM=$E2E_BUILD_DIR/tessivar.exe
COUNTER_SIM=${COUNTER_SIM:-$E2E_ROOT/build/sim/tools/counter-sim/counter-sim}

e2e_init serial
e2e_start_xvfb
e2e_make_prefix
sims=()
for port in "2 --cpm 600" "5 --cpm 300" "7 --modem ok"; do
  read -r n args <<<"$port"
  # shellcheck disable=SC2086
  "$COUNTER_SIM" --link "$E2E_TMP/com$n-pty" --start-after-greeting --log "$E2E_TMP/com$n.log" \
    $args &
  sims+=($!)
done
e2e_stop_at_exit "${sims[@]}"
for n in 2 5 7; do
  e2e_require "COM$n is on a pty" e2e_wait_for 10000 test -e "$E2E_TMP/com$n-pty"
  ln -s "$E2E_TMP/com$n-pty" "$WINEPREFIX/dosdevices/com$n"
done

e2e_start_program "$PROGRAM"
e2e_require "main window appears" e2e_wait_window "$T" active 20000
tree=$(e2e_menu_tree "$T")
e2e_expect "the scan lists COM2 checked, COM5 and COM7" "$(sed -n '3,5p' <<<"$tree")" \
  '    2 "COM2" checked
    5 "COM5"
    7 "COM7"'
network_id=$(sed -n 's/^  263 "Network ID: \(.*\)" grey$/\1/p' <<<"$tree")
e2e_expect "the network ID ends in .2" "${network_id##*.}" 2
station=${network_id%.*}

greeted() { grep -q greeting "$E2E_TMP/com$1.log"; }
e2e_wait_for 10000 greeted 2 && e2e_pass "COM2's counter is greeted" ||
  e2e_fail "COM2's counter is greeted" "nothing"
e2e_expect "the greeting, byte for byte" "$(grep -m1 ' rx ' "$E2E_TMP/com2.log" | cut -d' ' -f3-)" \
  "41 54 5A 0D 3C 48 45 41 52 54 42 45 41 54 31 3E 3E"
field1() { e2e_probe status "$T" | e2e_select statuspart index=1 | e2e_field text; }
counting() { field1 | grep -q '\* 0xFF CPM=[1-9]'; }
e2e_wait_for 15000 counting && e2e_pass "live counts in status field 1" ||
  e2e_fail "live counts in status field 1" "$(field1)"

e2e_choose_menu "$T" 5
e2e_wait_for 10000 greeted 5 && e2e_pass "choosing COM5 opens and greets it" ||
  e2e_fail "choosing COM5 opens and greets it" "nothing"
tree=$(e2e_menu_tree "$T")
e2e_expect "the check moves to COM5" "$(sed -n '3,5p' <<<"$tree")" '    2 "COM2"
    5 "COM5" checked
    7 "COM7"'
e2e_expect "item 263 follows, without its colon" "$(sed -n 's/^  263 "\(.*\)" grey$/\1/p' <<<"$tree")" \
  "Network ID $station.5"
e2e_wait_for 15000 counting && e2e_pass "COM5's counts arrive" || e2e_fail "COM5's counts arrive" "none"

e2e_choose_menu "$T" 7
rejected() { field1 | grep -q ' Error: Modem Detected!$'; }
e2e_wait_for 10000 rejected && e2e_pass "the modem on COM7 is given up" ||
  e2e_fail "the modem on COM7 is given up" "$(field1)"
tree=$(e2e_menu_tree "$T")
e2e_expect "no port checked, item 263 reads \"Network ID \"" \
  "$(grep -c checked <<<"$tree" || true),$(sed -n 's/^  263 "\(.*\)" grey$/\1/p' <<<"$tree")" \
  "0,Network ID "
e2e_screenshot serial "$T"

e2e_choose_menu "$T" 262
e2e_wait_exit 10000 || true
e2e_expect "Quit ends with exit code 0" "$E2E_EXIT_CODE" 0
e2e_summary
