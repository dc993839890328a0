#!/usr/bin/env bash
# program_starts.sh PROBE VARUNE_CLI: the program's whole run on a demo
# client (--client), from main to the first painted character view, with
# its settings in a folder of their own.
set -euo pipefail
probe=$1 cli=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" demo-client "$dir/client" >/dev/null

ms=$(VARUNE_APPDIR="$dir/" "$probe" app "$dir/client/")
[[ $ms =~ ^[0-9]+\.[0-9]+$ ]] || { echo "no first paint: '$ms'"; exit 1; }
echo "first paint after $ms ms"
