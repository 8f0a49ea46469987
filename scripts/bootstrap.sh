#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the demo need.
# Quiet and quick when everything is already there.
set -euo pipefail
PKGS=(cmake g++ make clang libclang-rt-14-dev
      qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libjpeg-dev libgtest-dev
      pkg-config libsodium-dev libarchive-dev libsqlite3-dev
      xvfb xauth imagemagick fonts-liberation
      pulseaudio pulseaudio-utils espeak-ng sox
      gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
      dpkg-dev file appstream desktop-file-utils xdotool help2man lintian
      dbus-daemon dbus-bin)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "bootstrap: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
