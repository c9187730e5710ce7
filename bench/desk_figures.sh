#!/usr/bin/env bash
# Start-up time, idle processor use and peak memory of the program as a
# person runs it: in a real X server (Xvfb), with and without simulated
# converters.  Prints a table.
#   desk_figures.sh STAGE_DIR ORN-DEVSIM
set -euo pipefail
stage=$1 devsim=$2
work=$(mktemp -d)
export ORN_RUN_DIR=$work/run
mkdir -p "$ORN_RUN_DIR"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

display=:$((190 + RANDOM % 50))
Xvfb "$display" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
cp -r "$stage" "$work/inst"
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now() { date +%s.%N; }

# Starts the program (pid in prog) and sets elapsed to the seconds until its
# scan panel is on screen.
start_up() {
  local t0 t1
  t0=$(now)
  "$work/inst/bin/orn-config" >/dev/null 2>&1 & prog=$!
  pids+=("$prog")
  xdotool search --sync --onlyvisible --name '^ORN Config - Scan$' >/dev/null
  t1=$(now)
  elapsed=$(echo "$t1 - $t0" | bc -l)
}
# Share of one core used over 10 s.
idle_cpu() {
  local a b
  a=$(cpu_ticks "$1"); sleep 10; b=$(cpu_ticks "$1")
  echo "($b - $a) / $hz / 10 * 100" | bc -l
}

start_up
no_port=$elapsed
scan_cpu=$(idle_cpu "$prog")
kill "$prog"; wait "$prog" 2>/dev/null || true

for _ in $(seq 8); do "$devsim" --com auto >/dev/null 2>&1 & pids+=($!); done
sleep 0.5
start_up
eight=$elapsed
scan=$(xdotool search --onlyvisible --name '^ORN Config - Scan$' | head -1)
xdotool windowactivate --sync "$scan" 2>/dev/null || true
xdotool key End Return
xdotool search --sync --onlyvisible --name '^ORN Config$' >/dev/null
sleep 1
connected_cpu=$(idle_cpu "$prog")
peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$prog/status")

printf '%-52s %12s %10s\n' "measure" "value" "goal"
printf '%-52s %10.3f s %10s\n' "start-up to the scan panel, no simulator" "$no_port" "<= 1 s"
printf '%-52s %10.3f s %10s\n' "start-up to the scan panel, eight simulators" "$eight" "<= 1 s"
printf '%-52s %10.2f %% %10s\n' "idle processor, scanning state (10 s)" "$scan_cpu" "<= 1 %"
printf '%-52s %10.2f %% %10s\n' "idle processor, connected, polling off (10 s)" "$connected_cpu" "<= 1 %"
printf '%-52s %8.1f MB %10s\n' "peak resident memory" "$(echo "$peak_kb / 1024" | bc -l)" "<= 80 MB"
