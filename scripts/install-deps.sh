#!/usr/bin/env bash
# Installs every Debian package the project needs. Quiet when all is present;
# refreshes the package lists once, and only when something is missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build pkg-config g++ make
  # codecs
  libpng-dev zlib1g-dev libdeflate-dev libjpeg62-turbo-dev libgif-dev libwebp-dev
  # sprite sheets' frame data
  nlohmann-json3-dev
  # text on surfaces
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-dejavu-core
  # settings file
  libsimpleini-dev
  # desktop program
  qt6-base-dev
  # render service: HTTP and URLs
  libboost1.81-dev libboost-url1.81-dev
  # tests, benchmarks and their peer, fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev clang libclang-rt-14-dev
  # the WebP benchmark's peer, img2webp; the service's load generator and its static-file peer
  webp wrk nginx-light
  # screenshots of the desktop program
  xvfb xauth scrot x11-utils xdotool
  # the web page's tests and screenshots in headless Chromium
  chromium chromium-driver python3-selenium
  # what a person installs: icons drawn from the SVG, manual pages from --help,
  # checks of the installed tree, the .deb and its dependencies, Debian's
  # checker of the .deb and the software centres' metadata
  librsvg2-bin desktop-file-utils man-db dpkg-dev lintian appstream
  # the render service's systemd unit, verified
  systemd
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
