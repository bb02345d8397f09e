#!/usr/bin/env bash
# Once, by hand, not in CI: the installed package in a real file manager.
# Builds and installs the package, starts Xvfb, a D-Bus session and Nemo on a
# folder holding a checksum list, right-clicks the list (xdotool), chooses
# "Verify checksums" and takes
# screenshots of the menu and of what the program shows then.
#   scripts/try-file-manager.sh [OUTPUT_FOLDER]   (default build/try-file-manager)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/try-file-manager}")
scripts/install-deps.sh nemo xdotool dbus-x11 imagemagick
scripts/package.sh
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
debs=(build/vorlix_*.deb)
# An installed package changes what the association tests see: it goes again
# afterwards, unless it was there before.
was_installed=$(dpkg-query -W -f='${Status}' vorlix 2>/dev/null | grep -c 'install ok installed' || true)
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "./${debs[0]}" >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  # The program that Nemo started, by its windows; then Nemo, D-Bus and Xvfb.
  if [ -n "${DISPLAY:-}" ]; then
    for pid in $(xdotool search --class vorlix getwindowpid 2>/dev/null | sort -u); do
      kill "$pid" 2>/dev/null || true
    done
  fi
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  [ -z "${DBUS_SESSION_BUS_PID:-}" ] || kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
  rm -rf "$work"
  if [ "$was_installed" = 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq vorlix >/dev/null || true
  fi
}
trap cleanup EXIT
unset DISPLAY

# A folder and files with blanks, quotes and letters beyond ASCII, and the
# list md5sum makes of them.
home=$work/home
folder="$home/Stažené 'soubory' k ověření"
mkdir -p "$folder"
printf 'první soubor\n' >"$folder/žluťoučký kůň.txt"
head -c 3000000 /dev/zero >"$folder/it's \"big\".bin"
(cd "$folder" && md5sum -- *.txt *.bin >MD5SUMS)
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_CACHE_HOME=$home/.cache LANG=C.UTF-8 LC_ALL=C.UTF-8 NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY QT_QPA_PLATFORM VORLIX_UI

display=:$((70 + RANDOM % 20))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
eval "$(dbus-launch --sh-syntax)"

nemo --no-desktop "$folder" >"$work/nemo.log" 2>&1 &
pids+=($!)
timeout 60 xdotool search --sync --onlyvisible --class nemo >/dev/null
sleep 3
mkdir -p "$out"
shot() { import -window root "$out/$1.png"; echo "$out/$1.png"; }

# The folder shows its three files in name order, MD5SUMS first, in the top
# left corner of Nemo's window, which opens at the screen's corner without a
# window manager; a click selects it and a right-click opens its menu.
xdotool mousemove 237 155 click 1
sleep 1
shot 1-selected
xdotool click 3
sleep 2
shot 2-menu
# Nemo 5.6 lists "Open With Vorlix", "Open With", then its actions by name:
# "Compute MD5", "Verify checksums". VORLIX_MENU_STEPS changes the count.
for _ in $(seq "${VORLIX_MENU_STEPS:-4}"); do xdotool key Down; sleep 0.2; done
shot 3-entry
xdotool key Return
sleep 6
shot 4-results
echo "Look at the screenshots: 4-results.png shows the results window with both"
echo "files intact and the summary over it. Nemo's log:"
cat "$work/nemo.log"
