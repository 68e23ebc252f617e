#!/usr/bin/env bash
# Builds tessivar.exe and runs the station under Wine in a virtual desktop.
#
# The program runs in station/ (its data file goes to station/data/). Serial
# devices /dev/ttyUSB* and /dev/ttyACM* become COM1, COM2, ...; when there is
# none, a simulated counter (tools/counter-sim) is attached as COM3. With no
# display, the station runs on its own Xvfb server and a screenshot of the
# desktop is saved to station/screenshot.png every minute.
#
# Environment: TESSIVAR_CPM (mean counts per minute of the simulated counter,
# default 30), TESSIVAR_STATION_DIR (default: station/ in the repository).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh

cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset sim >/dev/null
cmake --build --preset sim --target counter-sim

station=${TESSIVAR_STATION_DIR:-$root/station}
mkdir -p "$station/data"
export WINEPREFIX="$station/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winealsa.drv,winepulse.drv="

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT INT TERM

if [ -z "${DISPLAY:-}" ]; then
  display=:${TESSIVAR_DISPLAY:-77}
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  (
    while sleep 60; do import -window root "$station/screenshot.png" 2>/dev/null || true; done
  ) &
  pids+=($!)
  echo "No display: running on Xvfb $display; a screenshot goes to $station/screenshot.png every minute."
fi

if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "Preparing the Wine prefix in $WINEPREFIX (once)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi

# Serial ports: real counters first, else the simulated one on COM3. Wine
# links every serial device it finds (a machine's /dev/ttyS0 as com1) when a
# session's first process starts; those links are replaced by ours.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
rm -f "$WINEPREFIX"/dosdevices/com[0-9]*
n=1
for dev in /dev/ttyUSB* /dev/ttyACM*; do
  [ -e "$dev" ] || continue
  ln -s "$dev" "$WINEPREFIX/dosdevices/com$n"
  echo "COM$n is $dev"
  n=$((n + 1))
done
if [ "$n" -eq 1 ]; then
  pty=$station/counter-pty
  rm -f "$pty"
  build/sim/tools/counter-sim/counter-sim --link "$pty" --cpm "${TESSIVAR_CPM:-30}" \
    --log "$station/counter-sim.log" &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$pty" ] && break; sleep 0.1; done
  ln -s "$pty" "$WINEPREFIX/dosdevices/com3"
  echo "No counter attached: a simulated counter at ${TESSIVAR_CPM:-30} CPM is COM3."
fi

cp build/windows/tessivar.exe "$station/"
cd "$station"
echo "Starting the station; the data file grows in $station/data/."
wine explorer /desktop=tessivar,1024x768 tessivar.exe
