#!/usr/bin/env bash
# The real tessivar.exe's auxiliary windows: About with its link, the alert
# settings with the real open-file dialog, and Help.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

T="tessivar  Geiger Counter"
PROGRAM=$E2E_BUILD_DIR/tessivar.exe

e2e_init windows
e2e_start_xvfb
e2e_make_prefix
# Wine's browser launcher hands URLs to xdg-open: a stand-in records them.
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$E2E_TMP/urls.log"
STUB
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH=$E2E_TMP/bin:$PATH

# Wine's sound library traces each sound it is asked to play, with its name
# and flags, to the program's error output.
WINEDEBUG=-all,trace+winmm e2e_start_program "$PROGRAM"
e2e_require "main window appears" e2e_wait_window "$T" active 20000

client_size() { e2e_probe window "$1" | e2e_field client | cut -d, -f3-; }

# About
e2e_choose_menu "$T" 271
e2e_require "About opens" e2e_wait_window "About" visible 10000
e2e_expect "About client size" "$(client_size About)" "350,200"
about_text=$(e2e_probe controls About | e2e_select control class=Static | e2e_field text)
e2e_expect "About text names the version" "${about_text:0:28}" "tessivar  version 1.1.3.1085"
e2e_expect "the link shows the home page" "$(e2e_control_field About 264 text)" \
  "http://www.station-network.example/"
e2e_expect "Ok is control 8" "$(e2e_control_field About 8 text)" "Ok"
e2e_screenshot about About
e2e_click_control About 264
url_seen() { grep -q "http://www.station-network.example/" "$E2E_TMP/urls.log" 2>/dev/null; }
e2e_wait_for 15000 url_seen && e2e_pass "the link opens the home page in the browser" ||
  e2e_fail "the link opens the home page in the browser" "no URL reached xdg-open"
e2e_wait_window "About" visible 1000 && e2e_pass "About stays open after the link" ||
  e2e_fail "About stays open after the link" "gone"
e2e_probe press About 8
e2e_wait_window "About" gone 5000 && e2e_pass "Ok closes About" || e2e_fail "Ok closes About" "still open"

# Alert settings
A="Audible Alert Config"
e2e_choose_menu "$T" 272
e2e_require "alert settings open" e2e_wait_window "$A" visible 10000
e2e_expect "alert settings client size" "$(client_size "$A")" "350,200"
e2e_expect "level field shows 0" "$(e2e_control_field "$A" 11 text)" "0"
e2e_expect "average box" "$(e2e_control_field "$A" 14 text),$(e2e_control_field "$A" 14 checked)" \
  "Use 10 minute average for alert,0"
e2e_expect "sound field" "$(e2e_control_field "$A" 13 text),$(e2e_control_field "$A" 13 readonly)" \
  "(default sound),1"
e2e_expect "buttons" "$(e2e_control_field "$A" 12 text),$(e2e_control_field "$A" 10 text)" "browse,Ok"
e2e_screenshot alert-settings "$A"
e2e_expect "no sound before one is chosen" "$(grep -c PlaySound "$E2E_TMP/program.err")" 0
touch "$E2E_WORK/alarm.wav"
wine_path="Z:${E2E_WORK//\//\\}\\alarm.wav"
e2e_click_control "$A" 12
D="Please choose an alert sound"
if e2e_wait_window "$D" active 15000; then
  e2e_pass "browse opens the file dialog"
  e2e_screenshot file-dialog
  xdotool type --delay 20 "$wine_path"
  xdotool key Return
  # The probe writes a backslash in a value as two.
  field_is_path() { [ "$(e2e_control_field "$A" 13 text)" = "${wine_path//\\/\\\\}" ]; }
  e2e_wait_for 10000 field_is_path && e2e_pass "the chosen path shows in the sound field" ||
    e2e_fail "the chosen path shows in the sound field" "$(e2e_control_field "$A" 13 text)"
  # The chosen file is played once as a preview, asynchronously and by its
  # name alone; the sound library is loaded for it, on this first sound.
  played() { grep -qF "SoundName=L\"${wine_path//\\/\\\\}\"" "$E2E_TMP/program.err"; }
  e2e_wait_for 10000 played && e2e_pass "the chosen sound is played" ||
    e2e_fail "the chosen sound is played" "$(grep -i playsound "$E2E_TMP/program.err" | head -3)"
  e2e_expect "the sound is played asynchronously, by its name alone" \
    "$(grep -o 'MULTIMEDIA_PlaySound .*' "$E2E_TMP/program.err" | sed 's/.*fdwSound=//' | sort -u)" \
    "00000001"
else
  e2e_fail "browse opens the file dialog" "no dialog"
fi
e2e_probe press "$A" 10
e2e_wait_window "$A" gone 5000 && e2e_pass "Ok closes the alert settings" ||
  e2e_fail "Ok closes the alert settings" "still open"

# Help
e2e_choose_menu "$T" 269
e2e_require "Help opens" e2e_wait_window "Help" visible 10000
e2e_expect "Help client size" "$(client_size Help)" "600,600"
e2e_screenshot help Help
e2e_probe close Help
e2e_wait_window "Help" gone 5000 && e2e_pass "its close box closes Help only" ||
  e2e_fail "its close box closes Help only" "still open"
e2e_wait_window "$T" visible 1000 && e2e_pass "the main window stays" ||
  e2e_fail "the main window stays" "gone"

# The service pages: each menu command hands its URL to the browser. The
# signed ones carry the SHA-1 of both icon files and the signed text.
signed_url() {
  local t=$1 digest
  digest=$(cat "$E2E_ROOT/res/tessivar-256.ico" "$E2E_ROOT/res/tessivar-32bit.ico" \
    <(printf 'v=1.1.3.1085,t=%s,n=' "$t") | sha1sum | cut -c1-40)
  printf 'https://www.station-network.example/u/post.php?n=&v=1.1.3.1085&t=%s&a=%s' "$t" "$digest"
}
: >"$E2E_TMP/urls.log"
t_before=$(python3 -c 'import calendar, time; print(calendar.timegm(time.localtime()) // 1024)')
for id in 266 265 264 270; do
  e2e_choose_menu "$T" "$id"
  lines_are() { [ "$(wc -l <"$E2E_TMP/urls.log")" -ge "$1" ]; }
  e2e_wait_for 15000 lines_are $(($(wc -l <"$E2E_TMP/urls.log") + 1)) || true
done
t_after=$(python3 -c 'import calendar, time; print(calendar.timegm(time.localtime()) // 1024)')
for t in "$t_before" "$t_after"; do
  want="$(signed_url "$t")
$(signed_url "$t")&register=1
http://www.station-network.example/chart/view.php?n=1:
https://www.station-network.example/u/help/?v=1.1.3.1085"
  [ "$(cat "$E2E_TMP/urls.log")" = "$want" ] && break
done
e2e_expect "the service pages open in the browser" "$(cat "$E2E_TMP/urls.log")" "$want"

e2e_choose_menu "$T" 262
e2e_wait_exit 10000 || true
e2e_expect "Quit ends with exit code 0" "$E2E_EXIT_CODE" 0
e2e_summary
