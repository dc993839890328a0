#!/usr/bin/env bash
# installed_tree.sh CHECK ROOT [ARGS]: checks what `cmake --install` puts in
# ROOT, the way a person's machine gets it.
#   install ROOT BUILD_DIR CMAKE  installs BUILD_DIR into ROOT (a fresh one)
#   layout ROOT [ETC_ROOT]        exactly the files a person should get; the
#                                 service's settings under ETC_ROOT/etc (ROOT)
#   programs ROOT VERSION         the programs run from ROOT and say VERSION
#   desktop ROOT                  the desktop entry validates and names what is installed
#   metainfo ROOT VERSION         the software centres' metadata validates with what it
#                                 names, and its newest release, like the changelog's, is VERSION
#   icons ROOT                    every size is a PNG of that size
#   man ROOT                      the pages render cleanly and document every command and option
#   service ROOT                  the systemd unit verifies and confines the service
#   web ROOT                      the service finds the page where it is installed and answers it
set -euo pipefail

check=$1 root=$2
shift 2
# The page's files as the source tree has them, a path from web/ a line.
source_web=$(cd "$(dirname "$0")/../../web" && pwd)
web_files() { (cd "$source_web" && find . \( -type f -o -type l \) -printf '%P\n'); }
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

icon_sizes=(16 32 48 64 128 256)
metainfo_name=io.github.varune_wardrobe.varune_wardrobe.metainfo.xml

# The page as a person reads it: unhyphenated, one line per paragraph.
render() { MANWIDTH=1000 man --nh --nj --warnings -l "$1"; }

case $check in
install)
  rm -rf "$root"
  "$2" --install "$1" --prefix "$root" >/dev/null
  ;;

layout)
  expected=(
    bin/varune-cli
    bin/varune-server
    bin/varune-wardrobe
    lib/systemd/system/varune-server.service
    share/applications/varune-wardrobe.desktop
    share/doc/varune-wardrobe/changelog.gz
    share/doc/varune-wardrobe/copyright
    share/icons/hicolor/scalable/apps/varune-wardrobe.svg
    share/man/man1/varune-cli.1.gz
    share/man/man1/varune-server.1.gz
    share/man/man1/varune-wardrobe.1.gz
    share/metainfo/$metainfo_name
  )
  etc_root=$root
  [ -d "${1:-}" ] && etc_root=$1
  [ -f "$etc_root/etc/default/varune-server" ] || fail "no etc/default/varune-server under $etc_root"
  for size in "${icon_sizes[@]}"; do expected+=("share/icons/hicolor/${size}x${size}/apps/varune-wardrobe.png"); done
  while read -r file; do expected+=("share/varune-wardrobe/web/$file"); done < <(web_files)
  # Nothing more either: no test, benchmark or library of the build.
  diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -path ./etc -prune -o -type f -printf '%P\n' | sort) ||
    fail "installed files differ from the expected list (< expected, > installed)"
  for program in varune-cli varune-server varune-wardrobe; do
    [ -x "$root/bin/$program" ] || fail "bin/$program is not executable"
  done
  ;;

programs)
  version=$1
  for program in varune-cli varune-server varune-wardrobe; do
    said=$("$root/bin/$program" --version) || fail "$program --version exits $?"
    [ "$said" = "$program $version" ] || fail "$program --version says '$said', the package says $version"
  done
  ;;

desktop)
  entry=$root/share/applications/varune-wardrobe.desktop
  # Hints (two main categories: it is a game and a graphics program) are fine.
  report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
  grep -E ': (error|warning):' <<<"$report" && fail "the desktop entry has errors or warnings"
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  [ -x "$root/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not an installed program"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no scalable icon"
  grep -q '^Name\[ja\]=' "$entry" || fail "no Japanese name"
  grep -q '^Categories=.*Game;.*Graphics;' "$entry" || fail "Categories lack Game or Graphics"
  # Outfit links open in the program, which takes one as its argument.
  grep -qx 'MimeType=x-scheme-handler/varune;' "$entry" || fail "the entry does not take varune: links"
  grep -qE '^Exec=[^ ]+ %u$' "$entry" || fail "Exec=$exec_line passes no link"
  ;;

metainfo)
  version=$1
  metainfo=$root/share/metainfo/$metainfo_name
  # Notes are fine; errors and warnings are not. validate-tree also finds
  # the desktop entry it launches, under a root it takes as /.
  tree=$(mktemp -d)
  trap 'rm -rf "$tree"' EXIT
  ln -s "$root" "$tree/usr"
  report=$(appstreamcli validate --no-net "$metainfo" 2>&1) && ! grep -qE '^ *[EW]: ' <<<"$report" ||
    fail "appstreamcli validate: $report"
  report=$(appstreamcli validate-tree --no-net "$tree" 2>&1) && ! grep -qE '^ *[EW]: ' <<<"$report" ||
    fail "appstreamcli validate-tree: $report"
  release=$(grep -oPm1 '<release version="\K[^"]+' "$metainfo" || true)
  [ "$release" = "$version" ] || fail "the newest release is '$release', the package says $version"
  newest=$(gzip -dc "$root/share/doc/varune-wardrobe/changelog.gz" | sed -nE '1s/^varune-wardrobe \(([^)]+)\).*/\1/p' || true)
  [ "$newest" = "$version" ] || fail "the changelog's newest entry is '$newest', the package says $version"
  ;;

icons)
  for size in "${icon_sizes[@]}"; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/varune-wardrobe.png
    # Signature, then IHDR's width and height as 32-bit big-endian words.
    header=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
    [ "${header:0:16}" = 89504e470d0a1a0a ] || { fail "$png is no PNG"; continue; }
    dimensions=$((16#${header:32:8}))x$((16#${header:40:8}))
    [ "$dimensions" = "${size}x${size}" ] || fail "$png is $dimensions, not ${size}x${size}"
  done
  svg=$root/share/icons/hicolor/scalable/apps/varune-wardrobe.svg
  grep -q '<svg' "$svg" || fail "$svg is no SVG"
  ;;

man)
  pages=$root/share/man/man1
  warnings=$(mktemp)
  trap 'rm -f "$warnings"' EXIT
  for program in varune-cli varune-server varune-wardrobe; do
    text=$(render "$pages/$program.1.gz" 2>"$warnings") || fail "man cannot render $program.1"
    [ -s "$warnings" ] && fail "$program.1 renders with warnings: $(cat "$warnings")"
    help=$("$root/bin/$program" --help)
    # Every option the help names, and every command with its arguments as
    # the help writes them (the page may only add typography).
    while read -r option; do
      grep -qF -- "$option" <<<"$text" || fail "$program.1 lacks $option"
    done < <(grep -oE -- '(^|[ [(|])--?[a-z][a-z-]*' <<<"$help" | sed 's/^[ [(|]//' | sort -u)
    if [ "$program" = varune-cli ]; then
      commands=$(sed -n '/^commands:$/,/^$/s/^  \([^ ]\)/\1/p' <<<"$help")
      [ -n "$commands" ] || fail "varune-cli --help lists no commands"
      while read -r command; do
        grep -qxF -- "       $command" <<<"$text" || fail "varune-cli.1 lacks the command '$command'"
      done <<<"$commands"
    fi
  done
  ;;

service)
  unit=$root/lib/systemd/system/varune-server.service
  # The unit names /usr/bin, where the package puts the program; here it runs from ROOT.
  copy=$(mktemp -d)
  trap 'rm -rf "$copy"' EXIT
  sed "s#/usr/bin/#$root/bin/#" "$unit" >"$copy/varune-server.service"
  report=$(MANPATH=$root/share/man systemd-analyze verify "$copy/varune-server.service" 2>&1) ||
    fail "systemd-analyze verify: $report"
  for line in DynamicUser=yes ProtectSystem=strict ProtectHome=read-only NoNewPrivileges=yes PrivateTmp=yes \
    EnvironmentFile=-/etc/default/varune-server; do
    grep -qxF "$line" "$unit" || fail "the unit lacks $line"
  done
  ;;

web)
  work=$(mktemp -d)
  trap 'kill "${server:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
  "$root/bin/varune-cli" demo-client "$work/client" >/dev/null
  "$root/bin/varune-server" "$work/client" --listen 127.0.0.1:0 >"$work/said" 2>"$work/log" &
  server=$!
  for _ in $(seq 200); do grep -q '^listening on' "$work/said" && break; sleep 0.1; done
  port=$(sed -n 's/^listening on 127.0.0.1://p' "$work/said")
  [ -n "$port" ] || fail "varune-server did not start: $(cat "$work/log")"
  # Every file of the page, answered as installed (the icon is the program's).
  while read -r file; do
    /usr/bin/python3 -c 'import sys, urllib.request; sys.stdout.buffer.write(urllib.request.urlopen(sys.argv[1]).read())' \
      "http://127.0.0.1:$port/$file" >"$work/answer" 2>/dev/null || { fail "/$file is not answered"; continue; }
    cmp -s "$work/answer" "$root/share/varune-wardrobe/web/$file" || fail "/$file is not the installed file"
  done < <(web_files)
  grep -q 'no web page' "$work/log" && fail "varune-server found no page: $(cat "$work/log")"
  ;;

*)
  echo "unknown check $check" >&2
  exit 2
  ;;
esac
[ "$failures" -eq 0 ]
