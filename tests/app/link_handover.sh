#!/usr/bin/env bash
# link_handover.sh WARDROBE VARUNE_CLI: the program as a browser starts it
# for a varune: link. With the program already running on the same folder,
# the second start hands the link over and ends at once; the running one
# puts the outfit on, which its settings at exit show.
set -euo pipefail
wardrobe=$1 cli=$2
dir=$(mktemp -d)
first=""
trap '[ -n "$first" ] && kill "$first" 2>/dev/null; rm -rf "$dir"' EXIT
"$cli" demo-client "$dir/client" >/dev/null
code=$("$cli" code "$dir/client" --gender female --random 3)
link="varune:outfit/$(tr '+/' '-_' <<<"${code%%=*}")"
mkdir -m 700 "$dir/run"
export VARUNE_APPDIR="$dir/" XDG_RUNTIME_DIR="$dir/run"

"$wardrobe" --client "$dir/client" 2>"$dir/first.log" &
first=$!
for _ in $(seq 600); do compgen -G "$dir/run/varune-wardrobe-*.sock" >/dev/null && break; sleep 0.1; done
compgen -G "$dir/run/varune-wardrobe-*.sock" >/dev/null || { echo "the first start made no socket"; cat "$dir/first.log"; exit 1; }

timeout 60 "$wardrobe" --client "$dir/client" "$link" || { echo "the second start did not end well: $?"; exit 1; }
kill -TERM "$first"
wait "$first" || { echo "the first start ended with $?"; cat "$dir/first.log"; exit 1; }
first=""
grep -qx 'Gender=1' "$dir/varune-wardrobe.ini" || { echo "the outfit was not put on:"; cat "$dir/varune-wardrobe.ini"; exit 1; }
echo "handed over: $link"
