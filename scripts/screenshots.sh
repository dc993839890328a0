#!/usr/bin/env bash
# Screenshots of the desktop program's main window in English and Japanese,
# taken from a real window under Xvfb on the demo client:
# docs/screenshot-en.png and docs/screenshot-ja.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target varune-cli varune-wardrobe
bin=$PWD/build/release/bin
client=$PWD/build/demo-client
[ -f "$client/ROWID.SPF" ] || { mkdir -p "$client" && "$bin/varune-cli" demo-client "$client" >/dev/null; }

work=$(mktemp -d)
display=":$((100 + RANDOM % 400))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
"$bin/varune-cli" demo-backgrounds "$work/bg" >/dev/null

for lang in en_US ja_JP; do
  printf '[Data]\nClientPath=%s/\n' "$client" >"$work/varune-wardrobe.ini"
  DISPLAY=$display LANG=$lang.UTF-8 VARUNE_APPDIR=$work "$bin/varune-wardrobe" 2>/dev/null &
  app=$!
  geometry=""
  for _ in $(seq 50); do
    info=$(DISPLAY=$display xwininfo -name "Varune Wardrobe 1.9" 2>/dev/null || true)
    if [ -n "$info" ]; then
      geometry=$(awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                      /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x "," y "," w "," h}' <<<"$info")
      break
    fi
    sleep 0.2
  done
  [ -n "$geometry" ] || { echo "screenshots: the window did not appear" >&2; kill $app; exit 1; }
  sleep 1  # the first frames are painted
  out=docs/screenshot-${lang%_*}.png
  DISPLAY=$display scrot -o -a "$geometry" "$out"
  kill $app
  wait $app || true
  echo "$out"
done
