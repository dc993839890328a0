#!/usr/bin/env bash
# check-package.sh DEB: unpacks the package into a temporary root (dpkg -x,
# no root needed) and runs the installed tree's checks on its /usr, after
# the control fields a person's apt relies on; then Debian's own checker,
# lintian, which must find no error and no warning.
set -euo pipefail

deb=$1
checks=$(dirname "$0")/../tests/install/installed_tree.sh
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = varune-wardrobe ] || { echo "check-package: Package is '$(field Package)'" >&2; exit 1; }
version=$(field Version)
depends=$(field Depends)
# Found by dpkg-shlibdeps from the programs' links, and named by hand.
for needed in libqt6widgets6 libpng16-16 fonts-ipafont-gothic fonts-dejavu-core qt6-qpa-plugins; do
  grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || { echo "check-package: Depends lacks $needed: $depends" >&2; exit 1; }
done

dpkg -x "$deb" "$root"
bash "$checks" layout "$root/usr" "$root"
for check in desktop icons man service web; do bash "$checks" "$check" "$root/usr"; done
bash "$checks" metainfo "$root/usr" "$version"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/default/varune-server ||
  { echo "check-package: /etc/default/varune-server is not a conffile" >&2; exit 1; }
bash "$checks" programs "$root/usr" "$version"
# Its "I:" and "P:" notes are advice, not faults.
report=$(lintian --fail-on none --tag-display-limit 0 "$deb" 2>&1) || { echo "check-package: lintian: $report" >&2; exit 1; }
if grep -E '^[EW]: ' <<<"$report" >&2; then echo "check-package: lintian reports the lines above" >&2; exit 1; fi
echo "check-package: $(basename "$deb"): $("$root/usr/bin/varune-cli" --version), Depends: $depends"
