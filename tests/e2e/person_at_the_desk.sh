#!/usr/bin/env bash
# The installed program in a real X server, used as a person would: picks
# the simulated converter's port with the keyboard, runs Read all and Write
# all, switches the language from the menu.  A screenshot after each step
# lands in OUT_DIR.  Checks what a person would see: the windows appear, the
# device's state changes after Write all, the language is kept.
#   person_at_the_desk.sh INSTALL_DIR ORN-DEVSIM OUT_DIR
set -euo pipefail
install_dir=$1 devsim=$2 out=$3
rm -rf "$out" && mkdir -p "$out"
work=$(mktemp -d)
export ORN_RUN_DIR=$work/run
mkdir -p "$ORN_RUN_DIR"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

start_device() {   # the simulator as COM230 with a state file
  "$devsim" --com 230 --state "$work/device.txt" --log "$work/traffic.log" >/dev/null 2>&1 & sim=$!
  pids+=("$sim")
  for _ in $(seq 50); do [ -e "$ORN_RUN_DIR/COM230" ] && return; sleep 0.1; done
  fail "the simulator did not start"
}
stop_device() { kill "$sim"; wait "$sim" 2>/dev/null || true; }
shot() { import -window root "$out/$1.png"; }
requests() { grep -c '^rx' "$work/traffic.log" || true; }
until_true() {   # waits up to 20 s for a condition
  for _ in $(seq 200); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
wait_window() {   # a visible window of exactly this title
  xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1
}

start_device
cp -r "$install_dir" "$work/inst"
"$work/inst/bin/orn-config" >"$out/program.log" 2>&1 & pids+=($!)

scan=$(timeout 20 bash -c "$(declare -f wait_window); wait_window 'ORN Config - Scan'") || fail "no scan panel"
sleep 0.5
shot 1-scan-panel
xdotool windowactivate --sync "$scan" 2>/dev/null || xdotool windowfocus --sync "$scan"
xdotool key End Return   # the port list has the keyboard; the simulator is listed last
main=$(timeout 20 bash -c "$(declare -f wait_window); wait_window 'ORN Config'") || fail "no main panel after picking the port"
sleep 0.5
shot 2-main-panel-connected

reads_before=$(requests)
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool key ctrl+r
until_true '[ $(( $(requests) - reads_before )) -ge 91 ]' || fail "Read all sent $(( $(requests) - reads_before )) requests, not 91"
sleep 0.5
shot 3-after-read-all

# The device changes behind the program's back; Write all puts the panel's values back.
stop_device
sed -i 's/^tx1_timeout = .*/tx1_timeout = 1/' "$work/device.txt"
start_device
xdotool key ctrl+w
until_true "grep -q '^tx1_timeout = 1000\$' '$work/device.txt'" || fail "Write all did not reach the device"
sleep 0.5
shot 4-after-write-all
stop_device

# Language → Traditional Chinese, by mouse, as a person would.
eval "$(xdotool getwindowgeometry --shell "$main")"
menu_x=$(( X + 383 )) menu_y=$(( Y + 8 ))
xdotool mousemove "$menu_x" "$menu_y" click 1
sleep 0.5
shot 5-language-menu
xdotool mousemove "$menu_x" $(( menu_y + 52 )) click 1
until_true "[ \"\$(cat '$work/inst/bin/Lang_type.txt' 2>/dev/null)\" = 1 ]" || fail "the language choice was not kept"
sleep 0.5
shot 6-traditional-chinese
echo "1 passed, 0 failed"
