#!/usr/bin/env bash
# The program's spine on the real tessivar.exe, with no serial port: the main
# window, its menus, status bar and tray icon as a user sees them, hiding and
# showing it, and the two ways to end it.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

T="tessivar  Geiger Counter"
PROGRAM=$E2E_BUILD_DIR/tessivar.exe

status_part() {
  e2e_probe status "$T" | e2e_select statuspart "index=$1"
}

status_text_is() {
  [ "$(status_part 1 | e2e_field text)" = "$1" ]
}

e2e_init spine
e2e_start_xvfb
e2e_make_prefix
e2e_start_program "$PROGRAM"
e2e_require "window \"$T\" appears" e2e_wait_window "$T" visible 30000
# The status text is the last thing start-up writes.
e2e_wait_for 10000 status_text_is "Initializing... NetworkID = " || true

window=$(e2e_probe window "$T")
menubar=$(e2e_field menubar <<<"$window")
IFS=, read -r -a outer <<<"$(e2e_field outer <<<"$window")"
# The menu bar, added after the window was made for a 600 x 300 client area,
# takes its height out of those 300 pixels.
e2e_expect "client area 600 x (300 - menu bar $menubar)" \
  "$(e2e_field client <<<"$window" | cut -d, -f3-)" "600,$((300 - menubar))"
e2e_expect "window centred on the 1024 x 768 screen" \
  "$(((2 * outer[0] + outer[2] - 1024) / 2)),$(((2 * outer[1] + outer[3] - 768) / 2))" "0,0"
for flag in caption=1 sysmenu=1 minimizebox=1 maximizebox=1 thickframe=0 iconic=0 zoomed=0; do
  e2e_expect "window $flag" "$(e2e_field "${flag%=*}" <<<"$window")" "${flag#*=}"
done

e2e_expect "menu tree, no serial port" "$(e2e_menu_tree "$T")" '- "Local"
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
e2e_expect "system menu Close (61536) greyed" \
  "$(e2e_menu_tree "$T" sysmenu | grep -c '^61536 ".*" grey$')" 1

status=$(e2e_probe status "$T")
e2e_expect "status bar has two fields" "$(e2e_select statusbar <<<"$status" | e2e_field parts)" 2
e2e_expect "status field 0 ends at 40" "$(e2e_select statuspart index=0 <<<"$status" | e2e_field right)" 40
e2e_expect "status field 1 takes the rest" \
  "$(e2e_select statuspart index=1 <<<"$status" | e2e_field right)" -1
e2e_expect "status field 1 text" "$(e2e_select statuspart index=1 <<<"$status" | e2e_field text)" \
  "Initializing... NetworkID = "
e2e_expect "progress bar in status field 0" \
  "$(e2e_select statuschild class=msctls_progress32 <<<"$status" | e2e_field part)" 0

controls=$(e2e_probe controls "$T")
progress=$(e2e_select control class=msctls_progress32 <<<"$controls")
e2e_expect "progress bar smooth, 0 of 0..100" \
  "$(for k in smooth pos min max; do e2e_field $k <<<"$progress"; done | paste -sd,)" "1,0,0,100"
chart=$(e2e_select control id=3 <<<"$controls")
e2e_expect "chart control 3: borderless image at 0,0 600 x 250" \
  "$(for k in class rect border; do e2e_field $k <<<"$chart"; done | paste -sd' ')" \
  "Static 0,0,600,250 0"

e2e_wait_for 10000 e2e_tray_icon_rect >/dev/null || true
e2e_expect "tray icon with the tip \"tessivar\"" \
  "$(e2e_probe tray | e2e_select trayicon | e2e_field tip)" tessivar
e2e_screenshot spine-main "$T"
e2e_screenshot spine-desktop

e2e_probe syscommand "$T" minimize
e2e_check "minimise hides the window" e2e_wait_window "$T" hidden 5000
e2e_click_tray_icon
e2e_check "tray click shows the hidden window, active" e2e_wait_window "$T" active 5000
window=$(e2e_probe window "$T")
e2e_expect "shown again at its normal size" \
  "$(e2e_field iconic <<<"$window"),$(e2e_field outer <<<"$window" | cut -d, -f3-)" \
  "0,${outer[2]},${outer[3]}"
e2e_click_tray_icon
e2e_check "tray click hides the shown window" e2e_wait_window "$T" hidden 5000
e2e_click_tray_icon
e2e_wait_window "$T" active 5000 || true

e2e_choose_menu "$T" 262
e2e_wait_exit 10000 || true
e2e_expect "Quit (262) ends the program with exit code 0" "$E2E_EXIT_CODE" 0

e2e_start_program "$PROGRAM"
e2e_require "window appears again" e2e_wait_window "$T" visible 30000
e2e_probe close "$T"
e2e_wait_exit 10000 || true
e2e_expect "close request ends the program with exit code 0" "$E2E_EXIT_CODE" 0

e2e_summary
