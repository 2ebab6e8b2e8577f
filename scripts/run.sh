#!/usr/bin/env bash
# Starts Orvantis from the build folder. On a first start it writes a settings file that names the
# bundled world map as the last map, so a newcomer sees a real map at once.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
program="$build/orvantis"

if [[ ! -x "$program" ]]; then
  echo "The main program is not built yet; converting an example .where position instead:"
  echo "1500 1200" | "$build/orvantis-coords" where sextant
  exit 0
fi

# The program writes bookmarks and links back into the map info files, so a newcomer plays with
# copies of the sample maps in the build folder, never with the ones in the source tree.
# Sample maps added since the last start are copied too; copies already there are kept as played.
maps="$(cd "$build" && pwd)/maps"
mkdir -p "$maps"
for sample in "$root"/assets/maps/*; do
  [[ -e "$maps/${sample##*/}" ]] || cp "$sample" "$maps"/
done
settings="$(cd "$build" && pwd)/orvantis.ini"
if [[ ! -e "$settings" ]]; then
  printf '[General]\r\nLastMapFilename=%s\r\n' "$maps/Veldrane.dem" >"$settings"
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Orvantis is a desktop program and no display was found (DISPLAY is not set)." >&2
  echo "On a machine without a screen, try it under a virtual one: xvfb-run -a $program" >&2
  exit 1
fi
exec "$program"
