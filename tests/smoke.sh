#!/usr/bin/env bash
# Starts the real program in a virtual X display with a settings file that names the sample world
# map, and checks from a screenshot that the window shows the map with the location cross.
# Usage: smoke.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
source=$(cd "${2:?source folder}" && pwd)

if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIPPED: Xvfb is not installed (scripts/install-deps.sh installs it)"
  exit 0
fi
for tool in xwininfo convert import; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)"
    exit 1
  fi
done
map="$source/assets/maps/Veldrane.dem"
[[ -f "$map" ]] || { echo "FAIL: the sample map $map is missing"; exit 1; }
[[ -x "$build/orvantis" ]] || { echo "FAIL: $build/orvantis is not built"; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  local status=$?
  set +e
  if [[ -n "$program_pid" ]]; then kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; fi
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

# The program keeps its settings beside itself: a copy of it (and of the windows it loads) in a folder
# of its own.
cp "$build/orvantis" "$build/orvantis-window.so" "$work/"
printf '[General]\r\nLastMapFilename=%s\r\n' "$map" >"$work/orvantis.ini"

# Xvfb picks a free display itself and tells its number. On a busy machine a fresh server has been
# seen to refuse the program's first connection, so the start is tried a few times.
start_display() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
  [[ -s "$work/display" ]] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  export DISPLAY=":$(tr -d '\n' <"$work/display")"
  for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
}
stop_display() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}

for attempt in 1 2 3; do
  start_display
  # On the virtual display, whatever platform the tests around it use.
  QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" "$work/orvantis" >"$work/program.log" 2>&1 &
  program_pid=$!
  sleep 0.5
  if kill -0 "$program_pid" 2>/dev/null || ! grep -q "could not connect to display" "$work/program.log"; then
    break
  fi
  echo "note: the program could not reach display $DISPLAY (attempt $attempt); trying a new one"
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  stop_display
done

title="Orvantis v2.2 By Vexmoor - Veldrane"
info=""
for _ in $(seq 150); do
  info=$(xwininfo -name "$title" 2>/dev/null) && break
  kill -0 "$program_pid" 2>/dev/null || { echo "FAIL: the program ended"; cat "$work/program.log"; exit 1; }
  sleep 0.1
done
[[ -n "$info" ]] || { echo "FAIL: no window titled '$title'"; xwininfo -root -tree | grep -i orvantis || true; exit 1; }
field() { awk -F: -v k="$1" '$1 ~ k {gsub(/ /, "", $2); print $2}' <<<"$info"; }
win_x=$(field "Absolute upper-left X")
win_y=$(field "Absolute upper-left Y")
win_w=$(field "Width")
win_h=$(field "Height")

# The first start opens the window at three quarters of the screen. The map area lies at (7, 20)
# below the menu bar, leaves 32 pixels of the width to the margins and the scroll bar, and ends 162
# pixels above the window's bottom edge (scroll bar, status line and coordinate panels).
area_x=$((win_x + 7))
area_w=$((win_w - 32))
area_bottom=$((win_y + win_h - 162))

# The view is centred on the cross, placed at world (0, 0): the upper left corner of the world.
ulx=$(awk -F= 'tolower($1) ~ /^upperleft_x/ {print $2+0}' "$map" | tr -d '\r')
uly=$(awk -F= 'tolower($1) ~ /^upperleft_y/ {print $2+0}' "$map" | tr -d '\r')
scroll_x=$((ulx > area_w / 2 ? ulx - area_w / 2 : 0))
cross_x=$((area_x + ulx - scroll_x))

pixel() { convert "$work/shot.png" -crop "1x1+$1+$2" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:; }
# The menu bar's height depends on the fonts: the cross is looked for below menu bars of any
# likely height.
find_cross() {
  local bar
  for bar in $(seq 12 48); do
    area_y=$((win_y + bar + 20))
    area_h=$((area_bottom - area_y))
    scroll_y=$((uly > area_h / 2 ? uly - area_h / 2 : 0))
    cross_y=$((area_y + uly - scroll_y))
    [[ $(pixel "$cross_x" "$cross_y") == "255,255,255" ]] && return 0
  done
  return 1
}
shot_ok=""
for _ in $(seq 50); do
  import -window root "$work/shot.png"
  if find_cross; then shot_ok=1; break; fi
  sleep 0.2
done
[[ -n "$shot_ok" ]] || { echo "FAIL: no white cross in column $cross_x below the menu bar"; exit 1; }
for d in 5 -5; do
  p=$(pixel $((cross_x + d)) $((cross_y + d)))
  [[ "$p" == "255,255,255" ]] || { echo "FAIL: the cross's diagonal is missing at offset $d: $p"; exit 1; }
done

# Away from the glass the map area shows the picture: many colours, and not the grey of an empty view.
crop="$((area_w - 160))x$((area_h - 10))+$((area_x + 150))+$((area_y + 5))"
colours=$(convert "$work/shot.png" -crop "$crop" +repage -format %k info:)
grey=$(convert "$work/shot.png" -crop "$crop" +repage -fill black +opaque "rgb(128,128,128)" -fill white -opaque "rgb(128,128,128)" -format '%[fx:int(100*mean)]' info:)
if ((colours < 32 || grey > 50)); then
  echo "FAIL: the map area does not show the map ($colours colours, $grey% grey)"
  exit 1
fi
echo "OK: '$title' shows the map ($colours colours) with the cross at ($cross_x, $cross_y)"
