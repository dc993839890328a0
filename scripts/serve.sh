#!/usr/bin/env bash
# Starts varune-server on the demo client (`make serve`) and tells the
# addresses to try: the dress-up page first. PORT (default 8080) chooses
# where it listens.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/release/bin
client="$PWD/build/demo-client"
port=${PORT:-8080}

[ -f "$client/ROWID.SPF" ] || { mkdir -p "$client" && "$bin/varune-cli" demo-client "$client" >/dev/null; }
code=$("$bin/varune-cli" code "$client" --gender female --random 7)
url_code=$(tr '+/' '-_' <<<"${code%%=*}")
cat <<TEXT
serve: varune-server on the demo client (Ctrl+C stops it)
  the dress-up page: http://127.0.0.1:$port/
  an outfit on it:   http://127.0.0.1:$port/#$url_code&anim=Move
  curl http://127.0.0.1:$port/api/v1/info
  curl 'http://127.0.0.1:$port/api/v1/items?gender=female&slot=13&limit=5'
  curl -o walk.webp 'http://127.0.0.1:$port/api/v1/render/$url_code.webp?anim=Move&crop=1&scale=3'
TEXT
exec "$bin/varune-server" "$client" --listen "127.0.0.1:$port"
