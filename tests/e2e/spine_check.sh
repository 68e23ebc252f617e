#!/usr/bin/env bash
# The real tessivar.exe with no serial port: its window, menus, status bar
# and tray icon as a user sees them, hiding and showing, and both ways out.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

T="tessivar  Geiger Counter"
PROGRAM=$E2E_BUILD_DIR/tessivar.exe

e2e_init spine
e2e_start_xvfb
e2e_make_prefix
e2e_start_program "$PROGRAM"
e2e_require "main window appears, active" e2e_wait_window "$T" active 20000

window=$(e2e_probe window "$T")
menubar=$(e2e_field menubar <<<"$window")
IFS=, read -r -a outer <<<"$(e2e_field outer <<<"$window")"
e2e_expect "client area is 600 x 300 less the menu bar" \
  "$(e2e_field client <<<"$window" | cut -d, -f3-)" "600,$((300 - menubar))"
e2e_expect "window is centred on the screen" \
  "$(((2 * outer[0] + outer[2] - 1024) / 2)),$(((2 * outer[1] + outer[3] - 768) / 2))" "0,0"
for flag in thickframe=0 minimizebox=1 maximizebox=1 visible=1 iconic=0; do
  e2e_expect "window $flag" "$(e2e_field "${flag%=*}" <<<"$window")" "${flag#*=}"
done

e2e_expect "menu tree" "$(e2e_menu_tree "$T")" '- "Local"
  - "Serial Port"
    0 ""
  268 "Open Data Directory"
  272 "Set Audible Alert"
  262 "Quit"
- "Register"
  263 "Network ID: " grey
  265 "Register software"
  266 "Set My Location"
- "Network"
  264 "Show full chart"
- "Help"
  269 "Help"
  270 "Online Help"
  271 "About"'
e2e_expect "system menu Close is grey" \
  "$(e2e_menu_tree "$T" sysmenu | grep -c '^61536 ".*" grey$')" 1

controls=$(e2e_probe controls "$T")
chart=$(e2e_select control id=3 <<<"$controls")
e2e_expect "chart image control at the top left" \
  "$(e2e_field class <<<"$chart"),$(e2e_field rect <<<"$chart")" "Static,0,0,600,250"

status=$(e2e_probe status "$T")
e2e_expect "status field 0 ends at 40" \
  "$(e2e_select statuspart index=0 <<<"$status" | e2e_field right)" 40
e2e_expect "status field 1 takes the rest" \
  "$(e2e_select statuspart index=1 <<<"$status" | e2e_field right)" -1
e2e_expect "status field 1 text" \
  "$(e2e_select statuspart index=1 <<<"$status" | e2e_field text)" "Initializing... NetworkID = "
e2e_expect "progress bar in field 0" \
  "$(e2e_select statuschild class=msctls_progress32 <<<"$status" | e2e_field part)" 0

e2e_wait_for 5000 e2e_tray_icon_rect >/dev/null || true
e2e_expect "tray icon with its tip" "$(e2e_probe tray | e2e_select trayicon | e2e_field tip)" \
  "tessivar"
e2e_screenshot spine "$T"

e2e_click_tray_icon
e2e_wait_window "$T" hidden 5000 && e2e_pass "a tray click hides the window" ||
  e2e_fail "a tray click hides the window" "still shown"
e2e_click_tray_icon
e2e_wait_window "$T" active 5000 && e2e_pass "a second tray click shows it, active" ||
  e2e_fail "a second tray click shows it, active" "not active"
e2e_probe syscommand "$T" minimize
e2e_wait_window "$T" hidden 5000 && e2e_pass "minimising hides the window" ||
  e2e_fail "minimising hides the window" "still shown"
e2e_click_tray_icon
e2e_wait_window "$T" active 5000 && e2e_pass "the tray brings a minimised window back" ||
  e2e_fail "the tray brings a minimised window back" "not active"
e2e_expect "and at its normal size" "$(e2e_probe window "$T" | e2e_field iconic)" 0

e2e_choose_menu "$T" 262
e2e_wait_exit 10000 || true
e2e_expect "Quit ends the program with exit code 0" "$E2E_EXIT_CODE" 0

e2e_start_program "$PROGRAM"
e2e_wait_window "$T" visible 20000 || true
e2e_probe close "$T"
e2e_wait_exit 10000 || true
e2e_expect "a close request ends it with exit code 0" "$E2E_EXIT_CODE" 0

e2e_summary
