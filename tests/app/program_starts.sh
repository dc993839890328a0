#!/usr/bin/env bash
# program_starts.sh PROBE VARUNE_CLI: the program's whole run on a demo
# client (--client), from main to the first painted character view, with
# its settings in a folder of their own. The folder named for this run,
# relative and without its trailing '/', is not saved as "ClientPath".
set -euo pipefail
probe=$1 cli=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" demo-client "$dir/client" >/dev/null
printf '[Data]\nClientPath=/kept/\n' >"$dir/startup_probe.ini"

ms=$(cd "$dir" && VARUNE_APPDIR="$dir/" "$probe" app client)
[[ $ms =~ ^[0-9]+\.[0-9]+$ ]] || { echo "no first paint: '$ms'"; exit 1; }
echo "first paint after $ms ms"
grep -qx 'ClientPath=/kept/' "$dir/startup_probe.ini" || { echo "ClientPath was rewritten:"; cat "$dir/startup_probe.ini"; exit 1; }
