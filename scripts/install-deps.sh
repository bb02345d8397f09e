#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vorlix need,
# and any further packages named as arguments (the sanitizer and fuzz scripts
# name theirs). Only what is missing is installed; a machine that has
# everything is left alone.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev libpugixml-dev libcurl4-openssl-dev
  libglib2.0-dev
  libgtest-dev libbenchmark-dev libssl-dev
  clang-format
  ca-certificates openssl fonts-dejavu-core fonts-dejavu-extra xvfb xauth
  xdg-utils shared-mime-info desktop-file-utils
  # xdg-mime only recommends it; without it, and without a desktop session,
  # xdg-mime asks `file`, which knows nothing of the user's MIME database.
  libfile-mimeinfo-perl
  dpkg-dev file lintian appstream
  time
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
