#!/usr/bin/env bash
# Starts the desktop program on the demo client (the main job of `make run`).
# Its folder is build/run/: the settings there name the demo client and its
# bg/ holds background pictures made by code. Without a display it renders
# the demo character walking to build/demo.gif instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/release/bin
client="$PWD/build/demo-client"
app_dir=build/run

[ -f "$client/ROWID.SPF" ] || { mkdir -p "$client" && "$bin/varune-cli" demo-client "$client" >/dev/null; }
[ -d "$app_dir/bg" ] || "$bin/varune-cli" demo-backgrounds "$app_dir/bg" >/dev/null
[ -f "$app_dir/varune-wardrobe.ini" ] || printf '[Data]\nClientPath=%s/\n' "$client" >"$app_dir/varune-wardrobe.ini"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (DISPLAY and WAYLAND_DISPLAY are unset): the desktop program needs one."
  echo "run: rendering the demo character walking instead:"
  "$bin/varune-cli" render "$client" --anim Move -o build/demo.gif
  exit 0
fi
echo "run: varune-wardrobe on the demo client (settings and backgrounds in $app_dir/)"
exec env VARUNE_APPDIR="$app_dir" "$bin/varune-wardrobe"
