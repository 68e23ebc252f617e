#!/usr/bin/env bash
# End-to-end checks of the network part on the win32 backend under Wine,
# through tests/win32/push_driver.exe:
#   - the client strings and the station id under Wine (the WMI refresher is
#     missing there, so the sequential-UUID fallback decides);
#   - the five service pages reach the browser (a logging xdg-open first on
#     PATH) with the signed ones checked against sha1sum;
#   - a report reaches the local receiver on 127.0.0.1:80 with the exact
#     target, the user agent, the no-cache request and no cookie, against an
#     answering, a failing, a long and a slow service;
#   - against a service that accepts and never answers, every report ends
#     after the time-out and reports started one after another do not pile up.
#
# Usage: tests/e2e/net_check.sh [BUILD_DIR]
# BUILD_DIR (default $E2E_BUILD_DIR, else build/windows-test) holds
# push_driver.exe built with the push host 127.0.0.1:
#   cmake --preset windows-test && cmake --build --preset windows-test --target push_driver
# The reports run in a network namespace of their own (unshare -n, as root),
# so the receiver's port 80 never meets another check's; without unshare the
# host's 127.0.0.1:80 must be free. NET_KEEP=1 keeps the temp folder.
# Prints one line per check and "N passed, M failed"; exit status 1 on failure.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)

passed=0
failed=0
pass() {
  echo "PASS $1"
  passed=$((passed + 1))
}
fail() {
  echo "FAIL $1: $2"
  failed=$((failed + 1))
}
expect() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "got [$2], want [$3]"; fi
}
# Retries a command until it succeeds or MS milliseconds have passed.
wait_for() {
  local deadline=$(($(date +%s%3N) + $1))
  shift
  until "$@"; do
    [ "$(date +%s%3N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

setup_wine_env() {
  export WINEPREFIX=$tmp/prefix WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=,winealsa.drv,winepulse.drv="
  export TZ=Asia/Kolkata
}

# Lets the prefix's wineserver end, so that the next Wine program starts one
# in its own network namespace (the wineserver makes the sockets).
stop_wineserver() {
  timeout 20 wineserver -w || wineserver -k
}

# ---------------------------------------------------------------- reports
# Runs in the network namespace: the receiver and the reports.

receiver_pid=
start_receiver() {
  : >"$tmp/push.log"
  echo "$1" >"$tmp/push.log.mode"
  python3 "$root/tools/push-receiver/push_receiver.py" --log "$tmp/push.log" \
    >"$tmp/receiver.out" 2>&1 &
  receiver_pid=$!
  listening() { grep -q listening "$tmp/receiver.out"; }
  wait_for 10000 listening
}

# A field of the receiver's last record (headers under "h:NAME", or "-").
record_field() {
  python3 - "$tmp/push.log" "$1" <<'PY'
import json, sys
lines = open(sys.argv[1]).read().splitlines()
if not lines:
    print("none")
    sys.exit()
record = json.loads(lines[-1])
key = sys.argv[2]
if key.startswith("h:"):
    print(record["headers"].get(key[2:], "-"))
else:
    print(record[key])
PY
}

records() { wc -l <"$tmp/push.log"; }

report_checks() {
  setup_wine_env
  if [ "${NET_NETNS:-}" = 1 ]; then ip link set lo up; fi
  local driver=$build/push_driver.exe agent="Mozilla/4.0 (Compatible; Win32 4.51; Windows 7)"
  if ! start_receiver ok; then
    fail "the receiver listens on 127.0.0.1:80" "$(cat "$tmp/receiver.out")"
    return
  fi

  local out ms
  out=$(timeout 60 wine "$driver" push A.3 17 | tr -d '\r')
  expect "one request per report" "$(records)" 1
  expect "request line" "$(record_field line)" "GET /push.php?id=A.3&v=w32_1.1.3.1085&c=17 HTTP/1.1"
  expect "User-Agent" "$(record_field h:User-Agent)" "$agent"
  expect "Host" "$(record_field h:Host)" "127.0.0.1"
  expect "the no-cache request" "$(record_field h:Pragma)" "no-cache"
  expect "no Cookie header" "$(record_field h:Cookie)" "-"
  expect "no Referer header" "$(record_field h:Referer)" "-"
  ms=${out#ended }
  [ "$ms" -lt 10000 ] 2>/dev/null && pass "an answered report ends at once" ||
    fail "an answered report ends at once" "$out"

  timeout 60 wine "$driver" push "" -4 >/dev/null
  expect "an empty id and a negative count go as they are" "$(record_field target)" \
    "/push.php?id=&v=w32_1.1.3.1085&c=-4"

  # Error status, a 1 MiB body, a 5-s answer: read, dropped, ended.
  local mode low high
  for mode in error:0:10000 big:0:20000 slow:4500:20000; do
    IFS=: read -r mode low high <<<"$mode"
    echo "$mode" >"$tmp/push.log.mode"
    out=$(timeout 60 wine "$driver" push A.3 5 | tr -d '\r')
    ms=${out#ended }
    if [ "$ms" -ge "$low" ] 2>/dev/null && [ "$ms" -lt "$high" ]; then
      pass "the answer '$mode' is read and dropped ($ms ms)"
    else
      fail "the answer '$mode' is read and dropped" "$out"
    fi
  done

  # A service that takes the connection and never answers: each report ends
  # by the receive time-out (30 s), whichever minute it was started in.
  echo silent >"$tmp/push.log.mode"
  : >"$tmp/push.log"
  out=$(timeout 170 wine "$driver" overlap A.3 3 2000 | tr -d '\r')
  expect "the silent service got every report" "$(records)" 3
  local i line
  for i in 1 2 3; do
    line=$(grep "^report $i ended" <<<"$out")
    ms=${line##* }
    if [ -n "$line" ] && [ "$ms" -ge 25000 ] && [ "$ms" -le 45000 ]; then
      pass "report $i against a silent service ends after the time-out ($ms ms)"
    else
      fail "report $i against a silent service ends after the time-out" "${out:-no output}"
    fi
  done
  grep -q "^all ended" <<<"$out" && pass "no report thread is left behind" ||
    fail "no report thread is left behind" "${out:-no output}"

  kill "$receiver_pid" 2>/dev/null
  wait "$receiver_pid" 2>/dev/null
  receiver_pid=
  stop_wineserver
}

if [ "${1:-}" = --reports ]; then
  tmp=$2 build=$3
  trap '[ -n "$receiver_pid" ] && kill "$receiver_pid" 2>/dev/null' EXIT
  report_checks
  echo "$passed $failed" >"$tmp/report-counts"
  exit 0
fi

# ---------------------------------------------------------------- main

build=${1:-${E2E_BUILD_DIR:-$root/build/windows-test}}
build=$(cd "$build" && pwd)
if [ ! -f "$build/push_driver.exe" ]; then
  echo "net_check: no $build/push_driver.exe (build the target push_driver)" >&2
  exit 2
fi
tmp=$(mktemp -d /tmp/net-checks-XXXXXX)
cleanup() {
  [ -d "$tmp/prefix" ] && WINEPREFIX=$tmp/prefix wineserver -k 2>/dev/null
  [ "${NET_KEEP:-}" = 1 ] && echo "kept $tmp" || rm -rf "$tmp"
}
trap cleanup EXIT
setup_wine_env
mkdir -p "$tmp/bin"
cat >"$tmp/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$tmp/urls.log"
STUB
chmod +x "$tmp/bin/xdg-open"
export PATH=$tmp/bin:$PATH
timeout 120 wineboot -i >/dev/null 2>&1

# Identity: Wine reports version 2.6.1 and has no WMI refresher, so the
# station id is the tail of the adapter address the sequential UUID carries.
out=$(timeout 60 wine "$build/push_driver.exe" identity | tr -d '\r')
field() { sed -n "s/^$1 //p" <<<"$out"; }
expect "versionString" "$(field version)" "1.1.3.1085"
expect "osName on Wine's default version" "$(field osName)" "7"
expect "userAgent" "$(field agent)" "Mozilla/4.0 (Compatible; Win32 4.51; Windows 7)"
expect "the user-interface thread keeps its COM apartment" "$(field apartment)" "kept"
station=$(field station)
tails=$(cat /sys/class/net/*/address | tr -d ':' | tr a-f A-F | grep -v '^0*$' | cut -c5-)
if [[ $station =~ ^[0-9A-F]{8}$ ]] && grep -qx "$station" <<<"$tails"; then
  pass "the station id is an adapter's address tail ($station)"
else
  fail "the station id is an adapter's address tail" "[$station] not in [$(echo $tails)]"
fi

# Service pages, in the browser.
signed_url() {
  local digest
  digest=$(cat "$root/res/tessivar-256.ico" "$root/res/tessivar-32bit.ico" \
    <(printf 'v=1.1.3.1085,t=%s,n=2B3C4D5E.3' "$1") | sha1sum | cut -c1-40)
  printf 'https://www.station-network.example/u/post.php?n=2B3C4D5E.3&v=1.1.3.1085&t=%s&a=%s' \
    "$1" "$digest"
}
: >"$tmp/urls.log"
t_clock=$(python3 -c 'import calendar, time; print(calendar.timegm(time.localtime()) >> 10)')
out=$(timeout 60 wine "$build/push_driver.exe" urls 2B3C4D5E.3 | tr -d '\r')
t=$(sed -n 's/^t //p' <<<"$out" | tail -n 1)
[ $((t - t_clock)) -ge 0 ] && [ $((t - t_clock)) -le 1 ] &&
  pass "t is the local date value shifted right by 10 ($t)" ||
  fail "t is the local date value shifted right by 10" "$t, local clock gives $t_clock"
five() { [ "$(wc -l <"$tmp/urls.log")" -ge 5 ]; }
wait_for 20000 five
want=$(printf '%s\n' "$(signed_url "$t")" "$(signed_url "$t")&register=1" \
  "http://www.station-network.example/chart/view.php?n=1:2B3C4D5E.3" \
  "https://www.station-network.example/u/help/?v=1.1.3.1085" \
  "http://www.station-network.example/" | sort)
# The browser launchers run side by side: their order is not the program's.
expect "the service pages reach the browser" "$(sort "$tmp/urls.log")" "$want"
stop_wineserver

# Reports, in a network namespace of their own when there is one.
if unshare -n true 2>/dev/null; then
  NET_NETNS=1 unshare -n bash "$0" --reports "$tmp" "$build"
else
  bash "$0" --reports "$tmp" "$build"
fi
if read -r p f <"$tmp/report-counts" 2>/dev/null; then
  passed=$((passed + p))
  failed=$((failed + f))
else
  fail "report checks" "ended before their summary"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
