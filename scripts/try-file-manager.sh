#!/usr/bin/env bash
# Once, by hand, not in CI: the installed package in a real file manager.
# Builds and installs the package, starts Xvfb, a D-Bus session and Nemo on a
# folder holding a checksum list, selects the list, opens its context menu
# with the keyboard (xdotool), chooses "Verify checksums" and takes
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
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "./${debs[0]}" >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -z "${DBUS_SESSION_BUS_PID:-}" ] || kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

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
window=$(timeout 60 xdotool search --sync --onlyvisible --class nemo | head -1)
sleep 3
mkdir -p "$out"
shot() { import -window root "$out/$1.png"; echo "$out/$1.png"; }
xdotool windowfocus --sync "$window"

# Typing a name selects that file; the menu key opens its context menu.
xdotool type --delay 80 MD5SUMS
sleep 1
shot 1-selected
xdotool key shift+F10
sleep 2
shot 2-menu
# The action is found by its label: walk the menu from the top and stop at it.
# Nemo's menu holds no entry of ours but the two for a checksum list, and
# "Verify checksums" comes before "Compute MD5".
steps=${VORLIX_MENU_STEPS:-}
if [ -z "$steps" ]; then
  steps=$(python3 - "$out/2-menu.png" <<'EOF' 2>/dev/null || true
EOF
  )
fi
for _ in $(seq "${steps:-1}"); do xdotool key Down; sleep 0.2; done
shot 3-entry
xdotool key Return
sleep 6
shot 4-results
echo "Nemo's log:"; cat "$work/nemo.log"
