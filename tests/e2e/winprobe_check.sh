#!/usr/bin/env bash
# The harness on a program whose every answer is known (winprobe-target):
# if this check fails, the other checks' failures say nothing about the
# program under test.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

T="winprobe target"
TARGET=$E2E_BUILD_DIR/winprobe-target.exe

e2e_init winprobe
e2e_start_xvfb
e2e_make_prefix
e2e_start_program "$TARGET"
e2e_require "window appears, active" e2e_wait_window "$T" active 20000

window=$(e2e_probe window "$T")
menubar=$(e2e_field menubar <<<"$window")
IFS=, read -r -a outer <<<"$(e2e_field outer <<<"$window")"
e2e_expect "client size is 600 x 300 less the menu bar" \
  "$(e2e_field client <<<"$window" | cut -d, -f3-)" "600,$((300 - menubar))"
# Centred up to the pixel that an odd difference leaves over.
e2e_expect "window is centred" \
  "$(((2 * outer[0] + outer[2] - 1024) / 2)),$(((2 * outer[1] + outer[3] - 768) / 2))" "0,0"
for flag in thickframe=0 minimizebox=1 maximizebox=1 visible=1 iconic=0; do
  e2e_expect "window $flag" "$(e2e_field "${flag%=*}" <<<"$window")" "${flag#*=}"
done

controls=$(e2e_probe controls "$T")
# id | field | value
while IFS='|' read -r id key value; do
  e2e_expect "control $id $key" "$(e2e_select control "id=$id" <<<"$controls" | e2e_field "$key")" \
    "$value"
done <<'EOF'
20|text|Level
21|text|(default sound)
21|readonly|1
22|type|autocheckbox
23|class|msctls_updown32
23|buddy|24
23|max|10000
EOF
IFS=, read -r -a edit <<<"$(e2e_select control id=24 <<<"$controls" | e2e_field rect)"
IFS=, read -r -a spin <<<"$(e2e_select control id=23 <<<"$controls" | e2e_field rect)"
# Attached on the right, the up-down overlaps the buddy's border by up to 2.
gap=$((spin[0] - edit[0] - edit[2]))
e2e_expect "up-down sits on the right edge of its buddy" \
  "$((gap >= -2 && gap <= 0)),${spin[1]},${spin[3]}" "1,${edit[1]},${edit[3]}"

status=$(e2e_probe status "$T")
e2e_expect "status field 0 right edge" "$(e2e_select statuspart index=0 <<<"$status" | e2e_field right)" 40
e2e_expect "status field 1 to the end" "$(e2e_select statuspart index=1 <<<"$status" | e2e_field right)" -1
e2e_expect "status field 1 text keeps its blanks" \
  "$(e2e_select statuspart index=1 <<<"$status" | e2e_field text)" "Ready  two blanks"
e2e_expect "progress bar in status field 0" \
  "$(e2e_select statuschild class=msctls_progress32 <<<"$status" | e2e_field part)" 0

e2e_expect "menu tree" "$(e2e_menu_tree "$T")" '- "File"
  - "Ports"
    5 "COM5" checked
  7 "Greyed" grey
  9 "Quit"
- "Help"
  11 "About"'
e2e_expect "system menu Close is grey" \
  "$(e2e_menu_tree "$T" sysmenu | grep -c '^61536 ".*" grey$')" 1

e2e_wait_for 5000 e2e_tray_icon_rect >/dev/null || true
e2e_expect "tray icon carries the tip" "$(e2e_probe tray | e2e_select trayicon | e2e_field tip)" "$T"
e2e_screenshot winprobe-target "$T"

# Actions: the mouse on the tray icon and on the menus, messages for the rest.
e2e_click_tray_icon
e2e_check "tray click hides" e2e_wait_window "$T" hidden 5000
e2e_click_tray_icon
e2e_check "tray click shows" e2e_wait_window "$T" active 5000
e2e_probe syscommand "$T" minimize
e2e_check "minimise hides" e2e_wait_window "$T" hidden 5000
e2e_click_tray_icon
e2e_wait_window "$T" active 5000 || true
e2e_choose_menu "$T" 11
status_text() {
  [ "$(e2e_probe status "$T" | e2e_select statuspart index=1 | e2e_field text)" = "$1" ]
}
e2e_check "menu item chosen with the mouse" e2e_wait_for 5000 status_text "About chosen"
e2e_probe press "$T" 22
checked() { [ "$(e2e_probe controls "$T" | e2e_select control id=22 | e2e_field checked)" = 1 ]; }
e2e_check "pressed check box ticks" e2e_wait_for 5000 checked

e2e_choose_menu "$T" 9
e2e_wait_exit 10000 || true
e2e_expect "Quit by the mouse ends with its exit code" "$E2E_EXIT_CODE" 3

e2e_start_program "$TARGET"
e2e_wait_window "$T" visible 20000 || true
e2e_probe close "$T"
e2e_wait_exit 10000 || true
e2e_expect "close request ends with exit code 0" "$E2E_EXIT_CODE" 0

e2e_summary
