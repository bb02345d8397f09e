#!/usr/bin/env bash
# Checks of the Debian package, one step per ctest test:
#   CheckPackage.sh STEP BUILD_DIR
# "build" makes the package into BUILD_DIR/package-test; the other steps use it.
set -euo pipefail
step=$1
build=$(cd "$2" && pwd)
out=$build/package-test
app_id=net.vorlix.Vorlix

fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "$1 is not installed (scripts/install-deps.sh installs it)"; }
the_deb() {
  local debs=("$out"/vorlix_*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single package in $out"
  echo "${debs[0]}"
}
# A scratch folder removed when the step ends.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unpacked() { dpkg -x "$(the_deb)" "$scratch/root"; echo "$scratch/root"; }

case $step in
build)
  cpack=${CPACK:-cpack}
  need "$cpack"; need dpkg-shlibdeps; need file
  rm -rf "$out"
  "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$scratch/log" 2>&1 ||
    { cat "$scratch/log"; fail "cpack"; }
  the_deb
  ;;
contents)
  deb=$(the_deb)
  info=$(dpkg-deb -I "$deb")
  echo "$info"
  grep -qx ' Package: vorlix' <<<"$info" || fail "package name"
  version=$(sed -n 's/^project(Vorlix VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
  grep -qx " Version: $version" <<<"$info" || fail "version is not $version"
  for library in libc6 libstdc++6 libqt6widgets6 libpugixml1v5; do
    grep -q "^ Depends:.*\b$library\b" <<<"$info" || fail "$library missing from Depends"
  done
  # Loaded at the first download, so no binary names it for dpkg-shlibdeps.
  grep -q '^ Depends:.*\blibcurl4 (>= 7\.85\.0)' <<<"$info" || fail "libcurl4 missing from Depends"
  grep -q '^ Suggests:.*\bpython3-nautilus\b' <<<"$info" || fail "python3-nautilus missing from Suggests"
  # The databases are refreshed by triggers: no maintainer scripts.
  for script in preinst postinst prerm postrm; do
    ! dpkg-deb --info "$deb" "$script" >/dev/null 2>&1 || fail "unexpected $script"
  done
  listing=$(dpkg-deb -c "$deb" | awk '{print $1, $2, $NF}')
  expected=(
    usr/bin/vorlix
    usr/lib/vorlix/vorlix-gui.so
    usr/share/vorlix/Languages/1027.xml
    usr/share/vorlix/Languages/1033.xml
    usr/share/applications/$app_id.desktop
    usr/share/mime/packages/vorlix.xml
    usr/share/metainfo/$app_id.metainfo.xml
    usr/share/man/man1/vorlix.1.gz
    usr/share/doc/vorlix/copyright
    usr/share/doc/vorlix/changelog.gz
    usr/share/icons/hicolor/scalable/apps/$app_id.svg
    usr/share/nautilus-python/extensions/vorlix.py
  )
  for entry in verify compute folder; do
    expected+=(usr/share/nemo/actions/vorlix-$entry.nemo_action
               usr/share/Thunar/sendto/vorlix-$entry.desktop
               usr/share/kio/servicemenus/vorlix-$entry.desktop)
  done
  for size in 16 24 32 48 64 128; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
  done
  for path in "${expected[@]}"; do
    grep -q " \./$path\$" <<<"$listing" || fail "$path missing from the package"
  done
  grep -q '^-rwxr-xr-x root/root \./usr/bin/vorlix$' <<<"$listing" || fail "usr/bin/vorlix mode or owner"
  ! grep -v '^d' <<<"$listing" | grep -v '^-rwxr-xr-x .*/usr/bin/vorlix$' | grep -qv '^-rw-r--r-- root/root' ||
    fail "files other than the program must be 644 root/root"
  ! grep '^d' <<<"$listing" | grep -qv '^drwxr-xr-x root/root' || fail "folders must be 755 root/root"
  ;;
lintian)
  need lintian
  # Errors and warnings fail.
  lintian --fail-on error,warning --display-level '>=warning' "$(the_deb)"
  ;;
metadata)
  need desktop-file-validate; need appstreamcli; need update-mime-database; need file
  root=$(unpacked)
  desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
  appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$app_id.metainfo.xml"
  # The MIME type is one the database accepts, for "*.md5" files, and the
  # desktop entry opens it.
  cp -r "$root/usr/share/mime" "$scratch/mime"
  update-mime-database "$scratch/mime" >/dev/null
  mime=$(sed -n 's/^\(.*\):\*\.md5$/\1/p' "$scratch/mime/globs")
  [ -n "$mime" ] || fail "no MIME type for *.md5"
  grep -q "^MimeType=\(.*;\)\?$mime;" "$root/usr/share/applications/$app_id.desktop" ||
    fail "the desktop entry does not open $mime"
  # So are the other digests' lists.
  list=$(sed -n 's/^\(.*\):sha256sums$/\1/p' "$scratch/mime/globs")
  [ -n "$list" ] || fail "no MIME type for SHA256SUMS"
  grep -q "^MimeType=\(.*;\)\?$list;" "$root/usr/share/applications/$app_id.desktop" ||
    fail "the desktop entry does not open $list"
  for size in 16 24 32 48 64 128; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "$icon: $(file -b "$icon")"
  done
  grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "scalable icon"
  ;;
filemanagers)
  need desktop-file-validate; need update-mime-database; need md5sum
  [ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import gi; gi.require_version("Nautilus", "4.0")' ||
    fail "python3-gi and gir1.2-nautilus-4.0 are not installed (scripts/test.sh installs them)"
  root=$(unpacked)
  # GIO knows checksum files by the package's MIME type, as the file managers do.
  mkdir -p "$scratch/share"
  cp -r "$root/usr/share/mime" "$scratch/share/mime"
  # It warns that the folder is not among XDG_DATA_DIRS; here it is made so.
  update-mime-database "$scratch/share/mime" >/dev/null 2>&1
  XDG_DATA_DIRS="$scratch/share:/usr/share" /usr/bin/python3 "$(dirname "$0")/CheckFileManagers.py" \
    "$root" "$build/vorlix"
  ;;
run)
  root=$(unpacked)
  program=$root/usr/bin/vorlix
  [ ! -e "$root/usr/bin/Languages" ] || fail "packs beside the program in the package"
  [ "$("$program" --version)" = "$("$build/vorlix" --version)" ] || fail "--version"
  # A console run from the unpacked root finds its packs in share/vorlix.
  mkdir -p "$scratch/home/work"
  printf 'installed layout\n' >"$scratch/home/work/data.bin"
  run() {
    (cd "$scratch/home/work" && env -i PATH=/usr/bin:/bin LANG=C.UTF-8 VORLIX_UI=console \
      HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/config" \
      XDG_DATA_HOME="$scratch/home/data" XDG_CACHE_HOME="$scratch/home/cache" \
      "$program" "$@" </dev/null)
  }
  status=0
  run /sourcefile:"$scratch/home/work/data.bin" /auto || status=$?
  [ $status -eq 0 ] || fail "/sourcefile /auto ended with $status"
  digest=$(md5sum "$scratch/home/work/data.bin" | cut -c1-32)
  grep -q "$digest" "$scratch/home/work/data.bin.MD5" || fail "the saved digest is not $digest"
  status=0
  run "$scratch/home/work/data.bin.MD5" >"$scratch/verify" || status=$?
  [ $status -eq 0 ] || { cat "$scratch/verify"; fail "verification ended with $status"; }
  # The window front-end, from its module in lib/vorlix: /auto saves and ends
  # before a window shows.
  printf 'through the windows\n' >"$scratch/home/work/window.bin"
  status=0
  (cd "$scratch/home/work" && env -i PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/config" \
    XDG_DATA_HOME="$scratch/home/data" XDG_CACHE_HOME="$scratch/home/cache" \
    timeout 60 "$program" /sourcefile:"$scratch/home/work/window.bin" /auto \
    </dev/null >"$scratch/window" 2>&1) || status=$?
  [ $status -eq 0 ] || { cat "$scratch/window"; fail "the window run ended with $status"; }
  digest=$(md5sum "$scratch/home/work/window.bin" | cut -c1-32)
  grep -q "$digest" "$scratch/home/work/window.bin.MD5" || fail "the window saved no $digest"
  ;;
*)
  fail "unknown step $step"
  ;;
esac
