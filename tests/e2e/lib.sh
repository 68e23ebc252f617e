# shellcheck shell=bash
# Common library of the end-to-end checks: runs a real Windows program of the
# tree under Wine in a virtual desktop under Xvfb and reads what its user sees
# through winprobe (tools/winprobe). Source it from a *_check.sh script:
#
#   . "$(dirname "$0")/lib.sh"
#   e2e_init spine                 temp folder, trap that stops everything
#   e2e_start_xvfb                 Xvfb on a free display of :97-:99
#   e2e_make_prefix [--keep-com1]  fresh Wine prefix copied from a cached
#                                  template, its wineserver and system
#                                  processes started; the comN links Wine
#                                  made for the machine's serial devices are
#                                  removed (--keep-com1: /dev/ttyS0 is com1);
#                                  link your own ports after this call: they
#                                  stay
#   e2e_start_program EXE [ARG...] runs EXE (a path) in $E2E_WORK as the
#                                  current directory; E2E_PROGRAM_PID is the
#                                  program's own process (its threads are in
#                                  /proc/$E2E_PROGRAM_PID/status)
#   e2e_wait_exit MS               waits for that program to end: sets
#                                  E2E_EXIT_CODE, fails on time-out
#   e2e_stop_at_exit PID...        processes the check started itself (a
#                                  receiver, a counter), stopped by pid at the
#                                  end before Wine and Xvfb; use it instead of
#                                  a trap of your own, which would replace the
#                                  library's
#   e2e_probe ARG...               runs winprobe (records on stdout, see below)
#   e2e_wait_window TITLE STATE [MS]  exists|gone|visible|hidden|iconic|active
#   e2e_wait_for MS CMD [ARG...]   retries CMD until it succeeds or MS pass
#   e2e_field KEY                  value of KEY in the record line on stdin
#   e2e_select KIND [KEY=VALUE...] record lines on stdin of KIND whose fields
#                                  match exactly
#   e2e_click X Y                  xdotool click at desktop coordinates
#   e2e_click_tray_icon [N]        clicks the N-th (0) icon of the tray
#   e2e_click_control TITLE ID     clicks the centre of control ID
#   e2e_control_field TITLE ID KEY field KEY of control ID's record
#   e2e_menu_tree TITLE [sysmenu]  the menu bar (or system menu) as an
#                                  indented tree, one item a line:
#                                  ID "TEXT" [checked] [grey] [disabled]
#                                  (ID "-" for a submenu)
#   e2e_choose_menu TITLE ID       opens the menus down to item ID with the
#                                  mouse and clicks it
#   e2e_screenshot NAME [TITLE]    saves build/e2e-shots/NAME.png (the window
#                                  TITLE, or the whole desktop)
#   e2e_pass NAME | e2e_fail NAME WHY | e2e_expect NAME ACTUAL EXPECTED
#   e2e_check NAME CMD [ARG...]    passes NAME when CMD succeeds, else fails it
#   e2e_require NAME CMD [ARG...]  runs CMD; when it fails, counts NAME as
#                                  failed and ends the check with its summary
#   e2e_summary                    prints "N passed, M failed"; status 1 on
#                                  failure
#
# Records: winprobe prints one line per record, its kind and then
# tab-separated key=value fields (tabs, line ends and backslashes in a value
# are escaped as \t \n \\). Rectangles are "x,y,w,h".
#
# Environment: E2E_BUILD_DIR is the folder holding tessivar.exe and the probe
# (default build/windows-test); E2E_KEEP=1 keeps the temp folder for a look.
#
# Every process a check needs is started here and stopped by its pid (the
# Wine processes through the wineserver of the check's own prefix), so a
# check starts from nothing and leaves nothing behind.

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BUILD_DIR=${E2E_BUILD_DIR:-$E2E_ROOT/build/windows-test}
E2E_SHOTS=$E2E_ROOT/build/e2e-shots
E2E_TEMPLATE=$E2E_ROOT/build/e2e-prefix-template
E2E_PASSED=0
E2E_FAILED=0

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winealsa.drv,winepulse.drv="
# The desktop every Wine process of the prefix opens in (set in the template).
E2E_DESKTOP_NAME=tessivar
E2E_DESKTOP_SIZE=1024x768

e2e_log() {
  printf '%s\n' "$*" >&2
}

e2e_init() {
  E2E_NAME=$1
  E2E_TMP=$(mktemp -d "/tmp/e2e-$E2E_NAME.XXXXXX")
  E2E_WORK=$E2E_TMP/work
  mkdir -p "$E2E_WORK" "$E2E_SHOTS"
  E2E_XVFB_PID=
  E2E_SERVER_PID=
  E2E_PROGRAM_PID=
  E2E_EXTRA_PIDS=()
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
}

e2e_kill_pid() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  local i
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

e2e_stop_at_exit() {
  E2E_EXTRA_PIDS+=("$@")
}

e2e_cleanup() {
  local status=$? pid
  # Everything below must run even when a step fails.
  set +e
  for pid in "${E2E_EXTRA_PIDS[@]}"; do
    e2e_kill_pid "$pid"
  done
  e2e_kill_pid "$E2E_PROGRAM_PID"
  if [ -n "$E2E_SERVER_PID" ]; then
    # Ends every process of this prefix's wineserver, then the server.
    wineserver -k 2>/dev/null || true
    e2e_kill_pid "$E2E_SERVER_PID"
  fi
  e2e_kill_pid "$E2E_XVFB_PID"
  if [ "${E2E_KEEP:-0}" = 1 ]; then
    e2e_log "kept $E2E_TMP"
  else
    rm -rf "$E2E_TMP"
  fi
  exit "$status"
}

# Waits up to MS milliseconds for CMD to succeed, trying every 50 ms.
e2e_wait_for() {
  local ms=$1
  shift
  local deadline=$(($(date +%s%N) / 1000000 + ms))
  until "$@"; do
    [ $(($(date +%s%N) / 1000000)) -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

e2e_display_free() {
  [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ]
}

e2e_display_up() {
  DISPLAY=:$1 xdotool getdisplaygeometry >/dev/null 2>&1
}

e2e_start_xvfb() {
  local n
  for n in 97 98 99; do
    e2e_display_free "$n" || continue
    Xvfb ":$n" -screen 0 "${E2E_DESKTOP_SIZE}x24" -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    if e2e_wait_for 10000 e2e_display_up "$n"; then
      export DISPLAY=:$n
      return 0
    fi
    # Another check took the display at the same moment: try the next one.
    e2e_kill_pid "$E2E_XVFB_PID"
    E2E_XVFB_PID=
  done
  e2e_log "no free X display among :97-:99"
  return 1
}

e2e_server_running() {
  wineserver -k0 2>/dev/null
}

# Starts this prefix's wineserver ourselves, so that its pid is known.
e2e_start_wineserver() {
  wineserver -f -p >"$E2E_TMP/wineserver.log" 2>&1 &
  E2E_SERVER_PID=$!
  e2e_wait_for 10000 e2e_server_running
}

# Builds the template prefix once: wineboot, the fonts (without them the
# title-bar buttons draw as letters), the virtual desktop as every process's
# default desktop (so `wine program.exe` opens there and its exit code is the
# program's).
e2e_build_template() {
  local staging=$E2E_TEMPLATE.new.$$
  rm -rf "$staging"
  (
    export WINEPREFIX=$staging
    wineboot -i >/dev/null 2>&1
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$E2E_DESKTOP_NAME" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$E2E_DESKTOP_NAME" \
      /d "$E2E_DESKTOP_SIZE" /f >/dev/null 2>&1
    # The registry is written to disk when the server ends.
    wineserver -w
  )
  rm -rf "$E2E_TEMPLATE"
  mv "$staging" "$E2E_TEMPLATE"
}

e2e_serial_links() {
  compgen -G "$WINEPREFIX/dosdevices/com*" >/dev/null
}

e2e_machine_has_serial_devices() {
  compgen -G "/dev/ttyS[0-9]*" >/dev/null || compgen -G "/dev/ttyUSB[0-9]*" >/dev/null ||
    compgen -G "/dev/ttyACM[0-9]*" >/dev/null
}

# The prefix's system processes, when they start, delete the comN links and
# make new ones for the machine's own serial devices (/dev/ttyS0 as com1).
# So they are started here, once for the whole check (the wineserver is
# persistent, so they live until the end), and the links they made are
# removed: a port a check wants is its own link made after this, and stays.
e2e_make_prefix() {
  local keep_com1=0
  [ "${1:-}" = --keep-com1 ] && keep_com1=1
  (
    # Checks running side by side build the template once between them.
    flock 9
    [ -f "$E2E_TEMPLATE/system.reg" ] || e2e_build_template
  ) 9>"$E2E_ROOT/build/e2e-prefix-template.lock"
  export WINEPREFIX=$E2E_TMP/prefix
  cp -a "$E2E_TEMPLATE" "$WINEPREFIX"
  e2e_start_wineserver
  wine cmd /c exit >/dev/null 2>&1 || true
  if e2e_machine_has_serial_devices; then
    e2e_wait_for 5000 e2e_serial_links || true
  fi
  rm -f "$WINEPREFIX"/dosdevices/com[0-9]*
  if [ "$keep_com1" = 1 ] && [ -e /dev/ttyS0 ]; then
    ln -s /dev/ttyS0 "$WINEPREFIX/dosdevices/com1"
  fi
}

e2e_start_program() {
  local exe=$1
  shift
  local rc=$E2E_TMP/program.rc
  rm -f "$rc" "$E2E_TMP/program.pid"
  (
    cd "$E2E_WORK" || exit 1
    wine "$exe" "$@" >"$E2E_TMP/program.out" 2>"$E2E_TMP/program.err" &
    echo $! >"$E2E_TMP/program.pid"
    wait $! && echo 0 >"$rc" || echo $? >"$rc"
  ) &
  e2e_wait_for 5000 test -s "$E2E_TMP/program.pid"
  E2E_PROGRAM_PID=$(cat "$E2E_TMP/program.pid")
}

e2e_wait_exit() {
  local rc=$E2E_TMP/program.rc
  E2E_EXIT_CODE=
  e2e_wait_for "$1" test -s "$rc" || return 1
  E2E_EXIT_CODE=$(cat "$rc")
  E2E_PROGRAM_PID=
}

e2e_probe() {
  wine "$E2E_BUILD_DIR/winprobe.exe" "$@"
}

e2e_wait_window() {
  e2e_probe wait "$1" "$2" "${3:-10000}"
}

e2e_field() {
  awk -v key="$1" -F'\t' '{
    for (i = 2; i <= NF; i++) {
      n = index($i, "=")
      if (substr($i, 1, n - 1) == key) { print substr($i, n + 1); exit }
    }
  }'
}

e2e_select() {
  local kind=$1
  shift
  awk -v kind="$kind" -v want="$(printf '%s\t' "$@")" -F'\t' '
    BEGIN { nwant = split(want, pairs, "\t") - 1 }
    $1 == kind {
      delete have
      for (i = 2; i <= NF; i++) { n = index($i, "="); have[substr($i, 1, n - 1)] = substr($i, n + 1) }
      for (j = 1; j <= nwant; j++) {
        n = index(pairs[j], "=")
        if (have[substr(pairs[j], 1, n - 1)] != substr(pairs[j], n + 1)) next
      }
      print
    }'
}

# The desktop's top-left corner on the X screen; Wine's screen coordinates
# count from there.
e2e_desktop_origin() {
  local id
  id=$(xdotool search --name "^$E2E_DESKTOP_NAME - Wine desktop\$" | head -n 1)
  xdotool getwindowgeometry --shell "$id" | awk -F= '/^X=/ { x = $2 } /^Y=/ { y = $2 } END { print x, y }'
}

e2e_click() {
  local origin
  read -r -a origin <<<"$(e2e_desktop_origin)"
  xdotool mousemove $(($1 + origin[0])) $(($2 + origin[1])) click 1
}

# Clicks the centre of the rectangle "x,y,w,h".
e2e_click_rect() {
  local r
  IFS=, read -r -a r <<<"$1"
  e2e_click $((r[0] + r[2] / 2)) $((r[1] + r[3] / 2))
}

# Clicks the centre of control ID of the window titled TITLE.
e2e_click_control() {
  local client rect c r
  client=$(e2e_probe window "$1" | e2e_field client)
  rect=$(e2e_probe controls "$1" | e2e_select control "id=$2" | e2e_field rect)
  IFS=, read -r -a c <<<"$client"
  IFS=, read -r -a r <<<"$rect"
  e2e_click_rect "$((c[0] + r[0])),$((c[1] + r[1])),${r[2]},${r[3]}"
}

# Field KEY of control ID of the window titled TITLE.
e2e_control_field() {
  e2e_probe controls "$1" | e2e_select control "id=$2" | e2e_field "$3"
}

e2e_tray_icon_rect() {
  e2e_probe tray | e2e_select trayicon | sed -n "$((${1:-0} + 1))p" | e2e_field rect
}

# Two clicks on the same spot within the double-click time are a press and
# a double-click, and the tray's windows take double-clicks: a check that
# clicks again right after its window has reacted would see its second click
# turned into one now and then. So each click lands 3 pixels left or right of
# the icon's centre, the other side from the click before, which is farther
# apart than a double-click may be.
E2E_TRAY_SIDE=-3
e2e_click_tray_icon() {
  local rect r
  rect=$(e2e_tray_icon_rect "${1:-0}")
  [ -n "$rect" ] || return 1
  IFS=, read -r -a r <<<"$rect"
  E2E_TRAY_SIDE=$((-E2E_TRAY_SIDE))
  e2e_click_rect "$((r[0] + E2E_TRAY_SIDE)),${r[1]},${r[2]},${r[3]}"
}

# The screen rectangle of menu item (or popup) at DEPTH/POS in the current
# dump of TITLE's menus; empty while it is not on the screen.
e2e_menu_rect() {
  e2e_probe menu "$1" | e2e_select menuitem "depth=$2" "pos=$3" | e2e_field rect
}

e2e_menu_tree() {
  e2e_probe "${2:-menu}" "$1" | awk -F'\t' '
    $1 == "menuitem" {
      for (i = 2; i <= NF; i++) { n = index($i, "="); f[substr($i, 1, n - 1)] = substr($i, n + 1) }
      line = ""
      for (d = 0; d < f["depth"]; d++) line = line "  "
      line = line (f["popup"] == 1 ? "-" : f["id"]) " \"" f["text"] "\""
      if (f["checked"] == 1) line = line " checked"
      if (f["grey"] == 1) line = line " grey"
      if (f["disabled"] == 1) line = line " disabled"
      print line
    }'
}

e2e_choose_menu() {
  local title=$1 id=$2 path depth pos
  # The positions from the bar down to the item, e.g. "0/2" for the third
  # item of the first menu.
  path=$(e2e_probe menu "$title" | awk -v id="$id" -F'\t' '
    $1 == "menuitem" {
      for (i = 2; i <= NF; i++) { n = index($i, "="); f[substr($i, 1, n - 1)] = substr($i, n + 1) }
      at[f["depth"]] = f["pos"]
      if (f["id"] == id && f["popup"] == 0) {
        s = at[0]; for (d = 1; d <= f["depth"]; d++) s = s "/" at[d]; print s; exit
      }
    }')
  [ -n "$path" ] || { e2e_log "no menu item $id in \"$title\""; return 1; }
  depth=0
  for pos in ${path//\// }; do
    e2e_wait_for 3000 e2e_menu_rect_into "$title" "$depth" "$pos" || {
      e2e_log "menu item at depth $depth pos $pos never showed"
      return 1
    }
    e2e_click_rect "$E2E_RECT"
    depth=$((depth + 1))
  done
}

e2e_menu_rect_into() {
  E2E_RECT=$(e2e_menu_rect "$1" "$2" "$3")
  [ -n "$E2E_RECT" ]
}

e2e_screenshot() {
  local name=$1 title=${2:-} full=$E2E_TMP/screen.png rect origin
  import -display "$DISPLAY" -window root "$full"
  if [ -z "$title" ]; then
    cp "$full" "$E2E_SHOTS/$name.png"
    return 0
  fi
  rect=$(e2e_probe window "$title" | e2e_field outer)
  read -r -a origin <<<"$(e2e_desktop_origin)"
  IFS=, read -r -a r <<<"$rect"
  convert "$full" -crop "${r[2]}x${r[3]}+$((r[0] + origin[0]))+$((r[1] + origin[1]))" +repage \
    "$E2E_SHOTS/$name.png"
}

e2e_pass() {
  E2E_PASSED=$((E2E_PASSED + 1))
  printf 'ok   %s\n' "$1"
}

e2e_fail() {
  E2E_FAILED=$((E2E_FAILED + 1))
  printf 'FAIL %s: %s\n' "$1" "$2"
}

e2e_expect() {
  if [ "$2" = "$3" ]; then
    e2e_pass "$1"
  elif [[ "$2$3" == *$'\n'* ]]; then
    e2e_fail "$1" "differs (- want, + got):"
    diff <(printf '%s\n' "$3") <(printf '%s\n' "$2") | sed -n 's/^</  -/p; s/^>/  +/p'
  else
    e2e_fail "$1" "got \"$2\", want \"$3\""
  fi
}

e2e_check() {
  local name=$1
  shift
  if "$@"; then
    e2e_pass "$name"
  else
    e2e_fail "$name" "not so: $*"
  fi
}

e2e_require() {
  local name=$1
  shift
  if "$@"; then
    e2e_pass "$name"
  else
    e2e_fail "$name" "cannot go on without it"
    e2e_summary || exit 1
  fi
}

e2e_summary() {
  printf '%d passed, %d failed\n' "$E2E_PASSED" "$E2E_FAILED"
  [ "$E2E_FAILED" -eq 0 ]
}
