#!/usr/bin/env bash
# Screenshots of the desktop program's main window in English and Japanese,
# taken from a real window under Xvfb on the demo client and dressed by
# simulated clicks: the weapons browsed and one worn over a background
# picture (docs/screenshot-en.png, docs/screenshot-ja.png), and the tops
# browsed with one worn (docs/screenshot-en-tops.png, ...-ja-tops.png), and
# in both languages the item card over the list and over the slot panel
# (docs/screenshot-en-card-list.png, ...-card-slot.png), the favourites
# window with the recently worn items (...-favorites.png), a search of
# every slot (...-every-slot.png), the save slot dialog saving into a new slot
# and loading it (...-save.png, ...-load.png), the view zoomed twice
# through its right-click menu (...-zoom.png) and the export options
# dialog (...-export-options.png).
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
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display xdpyinfo >/dev/null 2>&1 || { echo "screenshots: Xvfb did not start on $display" >&2; exit 1; }
"$bin/varune-cli" demo-backgrounds "$work/bg" >/dev/null

for lang in en_US ja_JP; do
  printf '[Data]\nClientPath=%s/\n' "$client" >"$work/varune-wardrobe.ini"
  rm -f "$work/fav.dat" "$work/save.dat"  # each language starts without favourites and slots
  DISPLAY=$display LANG=$lang.UTF-8 VARUNE_APPDIR=$work "$bin/varune-wardrobe" 2>"$work/log-$lang" &
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
  [ -n "$geometry" ] || { echo "screenshots: the window did not appear:" >&2; cat "$work/log-$lang" >&2; exit 1; }
  IFS=, read -r wx wy _ _ <<<"$geometry"
  sleep 1  # the first frames are painted
  # Clicks and keys at window coordinates.
  click() { DISPLAY=$display xdotool mousemove $((wx + $1)) $((wy + $2)) click --repeat "${3:-1}" --delay 80 1; sleep 0.4; }
  keys() { DISPLAY=$display xdotool key --delay 80 "$@"; sleep 0.4; }
  shot() {
    DISPLAY=$display xdotool mousemove $((wx + 700)) $((wy + 480))
    sleep 0.4
    DISPLAY=$display scrot -o -a "$geometry" "$1"
    echo "$1"
  }
  # The pointer rests at window coordinates; the card appears under it.
  hover_shot() {
    DISPLAY=$display xdotool mousemove $((wx + $1)) $((wy + $2))
    sleep 0.6
    DISPLAY=$display scrot -o -a "$geometry" "$3"
    echo "$3"
  }
  name=docs/screenshot-${lang%_*}
  click 128 30           # the weapon cell of the slot panel
  click 140 304 2        # the third weapon of the list, worn
  click 640 14           # the background list: the second picture
  keys Down Down Return
  shot "$name.png"
  click 30 64            # the tops cell
  click 240 304 2        # the fifth top, worn
  shot "$name-tops.png"
  hover_shot 190 304 "$name-card-list.png"  # the fourth top of the list
  hover_shot 30 64 "$name-card-slot.png"    # the top worn, in its cell
  click 190 304          # the fourth top selected: its star shows
  click 478 272          # ... and makes it a favourite
  click 664 147          # the favourites window, the two items worn listed as recent
  shot "$name-favorites.png"
  click 664 147
  click 620 274          # the search box: "(" and Enter search every slot
  keys parenleft Return
  shot "$name-every-slot.png"
  keys ctrl+a BackSpace
  click 30 64            # the tops cell again
  # The slot dialog opens centred over the window.
  click 128 192          # SAVE
  click 426 154          # the new slot's row
  shot "$name-save.png"
  click 423 335          # the dialog's SAVE
  click 128 168          # LOAD
  click 426 154          # the slot just saved
  shot "$name-load.png"
  click 511 335          # Cancel
  # The view's menu opens at the pointer: Copy, Copy link, Paste, Random outfit, Zoom, Export options, Language.
  view_menu() { DISPLAY=$display xdotool mousemove $((wx + 300)) $((wy + 120)) click 3; sleep 0.4; }
  view_menu
  keys Down Down Down Down Down Right Down Return  # Zoom, 2x
  shot "$name-zoom.png"
  view_menu
  keys Down Down Down Down Down Down Return       # Export options...
  shot "$name-export-options.png"
  keys Escape
  kill $app
  wait $app || true
done
