#!/usr/bin/env bash
# What a user gets from `cmake --install` and from the Debian package, checked in a throw-away
# prefix: every file in its place, the desktop entry and metainfo valid, the rule naming the
# installed probe, the probe telling the mouse from other devices on fake sysfs trees, the installed
# programs finding their data files, and the package listing all of it. Nothing is installed on
# the machine itself.
#   check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

prefix="$work/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

id=com.brisvane.bvconfig
files=(
  bin/bvconfig bin/bvctl
  libexec/bvconfig/bvconfig-udev-probe
  lib/udev/rules.d/70-bvconfig.rules
  share/bvconfig/config.ini share/bvconfig/ui.local share/bvconfig/BVPresetProfile1.pfd
  share/bvconfig/images/hand.cur share/bvconfig/images/attack.cur
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  "share/icons/hicolor/48x48/apps/$id.png" "share/icons/hicolor/128x128/apps/$id.png"
  "share/icons/hicolor/256x256/apps/$id.png"
)
for f in "${files[@]}"; do
  [ -f "$prefix/$f" ] || fail "cmake --install did not install $f"
done
for size in 48 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    fail "the ${size} px icon is not a ${size} x ${size} PNG"
done
echo "installed: ${#files[@]} files"

out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) || fail "desktop entry: $out"
[ -z "$out" ] || fail "desktop entry: $out"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "metainfo: $(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1)"
echo "desktop entry and metainfo valid"

probe="$prefix/libexec/bvconfig/bvconfig-udev-probe"
grep -qxF "IMPORT{program}=\"$probe %S%p\"" "$prefix/lib/udev/rules.d/70-bvconfig.rules" ||
  fail "the rule does not run the installed probe: $(cat "$prefix/lib/udev/rules.d/70-bvconfig.rules")"

# The probe, as udev runs it, on hidraw device folders of a fake sysfs.
descriptors="$src/fuzz/corpus/fuzz_hid_descriptor"
check_probe() { # name descriptor-file-or-none expected-output
  local node="$work/sys/$1/hidraw/hidraw0"
  mkdir -p "$node/device"
  [ "$2" = none ] || cp "$descriptors/$2" "$node/device/report_descriptor"
  local got
  got=$("$probe" "$node") || fail "the probe failed on the $1 node"
  [ "$got" = "$3" ] || fail "the probe printed '$got' for the $1 node, expected '$3'"
}
check_probe mouse virtual_mouse "BVCONFIG_MOUSE=1"
check_probe keyboard keyboard ""
check_probe damaged unclosed ""
check_probe none none ""
[ -z "$("$probe")" ] || fail "the probe printed something without an argument"
echo "probe: mouse, keyboard, damaged and missing descriptors"

# The installed programs find their data files in share/bvconfig, with settings in the work folder.
run() {
  env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" \
    LANG=C.UTF-8 "$@"
}
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
doctor=$(run "$prefix/bin/bvctl" doctor) || fail "bvctl doctor failed"
printf '%s' "$doctor" | grep -qF "\"program_folder\": \"$prefix/share/bvconfig\"" ||
  fail "the installed bvctl looks for its data elsewhere: $doctor"
for f in config.ini ui.local BVPresetProfile1.pfd images/hand.cur images/attack.cur; do
  printf '%s' "$doctor" | grep -qF "\"$f\": true" || fail "the installed bvctl does not find $f: $doctor"
done
run "$prefix/bin/bvctl" udev-rule | grep -qxF "IMPORT{program}=\"$probe %S%p\"" ||
  fail "bvctl udev-rule does not name the installed probe"
shown=$(run QT_QPA_PLATFORM=offscreen BV_VIRTUAL_MOUSE="$work/mouse.state" BV_KEEP_SYSTEM_MOUSE=1 BV_STARTUP_PROBE=1 \
  timeout 60 "$prefix/bin/bvconfig" 2>"$work/bvconfig.err") || fail "the installed bvconfig: $(cat "$work/bvconfig.err")"
printf '%s' "$shown" | grep -q '^shown ' || fail "the installed bvconfig showed no window: $shown"
echo "installed bvctl and bvconfig find their data; bvconfig starts on the virtual mouse"

# The Debian package, built from the same build.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >/dev/null
deb=$(ls "$work"/package/bvconfig_*.deb)
contents=$(dpkg-deb --contents "$deb")
for f in "${files[@]}"; do
  printf '%s\n' "$contents" | grep -q " \./usr/$f\$" || fail "the package lacks /usr/$f"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -q postinst || fail "the package has no postinst"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package's dependencies miss Qt: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/udev/rules.d/70-bvconfig.rules |
  grep -qxF 'IMPORT{program}="/usr/libexec/bvconfig/bvconfig-udev-probe %S%p"' ||
  fail "the package's rule does not run /usr/libexec/bvconfig/bvconfig-udev-probe"
echo "package: $(basename "$deb"), $(printf '%s\n' "$contents" | grep -vc '/$') files"
