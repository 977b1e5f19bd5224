#!/usr/bin/env bash
# What a user gets from `cmake --install` and from the Debian package, checked in a throw-away
# prefix: every file in its place, the desktop entry and metainfo valid, the rule naming the
# installed probe, the probe telling the mouse from other devices on fake sysfs trees, the installed
# programs finding their data files, and the package listing all of it. Nothing is installed on
# the machine itself.
#   check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
# No `producer | grep -q`: grep leaving at the first match can make the producer die of SIGPIPE,
# which pipefail would take for a failure. Output is taken first, then searched.
has() { grep -q "$@"; }
build=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

prefix="$work/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

id=com.brisvane.bvconfig
files=(
  bin/bvconfig bin/bvctl bin/bvmon
  libexec/bvconfig/bvconfig-udev-probe
  lib/udev/rules.d/70-bvconfig.rules
  share/bvconfig/config.ini share/bvconfig/ui.local share/bvconfig/BVPresetProfile1.pfd
  share/bvconfig/images/hand.cur share/bvconfig/images/attack.cur
  share/bvconfig/manual/manual_en.html share/bvconfig/manual/manual_zh_CN.html share/bvconfig/manual/manual_zh_TW.html
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  "share/icons/hicolor/48x48/apps/$id.png" "share/icons/hicolor/128x128/apps/$id.png"
  "share/icons/hicolor/256x256/apps/$id.png"
)
for f in "${files[@]}"; do
  [ -f "$prefix/$f" ] || fail "cmake --install did not install $f"
done
for size in 48 128 256; do
  kind=$(file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")
  has "PNG image data, $size x $size" <<<"$kind" || fail "the ${size} px icon is not a ${size} x ${size} PNG: $kind"
done
echo "installed: ${#files[@]} files"

# Every manual that the installed config.ini names lies in the program folder, with its pictures.
data="$prefix/share/bvconfig"
helpFiles=$(sed -n '/^\[HelpFiles\]/,/^\[/{/^[0-9A-Fa-f]\{4\}=./p}' "$data/config.ini" | tr -d '\r')
for lang in 0409 0804 0404; do
  has "^$lang=" <<<"$helpFiles" || fail "config.ini names no manual for $lang: $helpFiles"
done
for manual in $(sed 's/^[^=]*=//' <<<"$helpFiles"); do
  [ -f "$data/$manual" ] || fail "config.ini names the manual $manual, which is not installed"
  for picture in $(grep -o 'src="[^"]*"' "$data/$manual" | sed 's/^src="//; s/"$//'); do
    [ -f "$(dirname "$data/$manual")/$picture" ] || fail "the manual $manual shows $picture, which is not installed"
  done
done
echo "manuals: $(wc -l <<<"$helpFiles") named in config.ini, installed with their pictures"

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
has -F "\"program_folder\": \"$prefix/share/bvconfig\"" <<<"$doctor" ||
  fail "the installed bvctl looks for its data elsewhere: $doctor"
for f in config.ini ui.local BVPresetProfile1.pfd images/hand.cur images/attack.cur; do
  has -F "\"$f\": true" <<<"$doctor" || fail "the installed bvctl does not find $f: $doctor"
done
rule=$(run "$prefix/bin/bvctl" udev-rule)
has -xF "IMPORT{program}=\"$probe %S%p\"" <<<"$rule" || fail "bvctl udev-rule does not name the installed probe: $rule"
shown=$(run QT_QPA_PLATFORM=offscreen BV_VIRTUAL_MOUSE="$work/mouse.state" BV_KEEP_SYSTEM_MOUSE=1 BV_STARTUP_PROBE=1 \
  timeout 60 "$prefix/bin/bvconfig" 2>"$work/bvconfig.err") || fail "the installed bvconfig: $(cat "$work/bvconfig.err")"
has '^shown ' <<<"$shown" || fail "the installed bvconfig showed no window: $shown"
# It started the installed monitor from its own folder; the path is this test's own.
for _ in $(seq 100); do [ -S "$work/run/TBrisvaneMonMain" ] && break; sleep 0.1; done
monitor=$(pgrep -f -x "$prefix/bin/bvmon") || fail "the installed bvconfig did not start bvmon"
kill $monitor
echo "installed bvctl and bvconfig find their data; bvconfig starts on the virtual mouse and starts bvmon"

# The Debian package, built from the same build.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >/dev/null
deb=$(ls "$work"/package/bvconfig_*.deb)
contents=$(dpkg-deb --contents "$deb")
for f in "${files[@]}"; do
  has " \./usr/$f\$" <<<"$contents" || fail "the package lacks /usr/$f"
done
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)
has postinst <<<"$control" || fail "the package has no postinst: $control"
depends=$(dpkg-deb -f "$deb" Depends)
has libqt6widgets6 <<<"$depends" || fail "the package's dependencies miss Qt: $depends"
packagedRule=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/udev/rules.d/70-bvconfig.rules)
has -xF 'IMPORT{program}="/usr/libexec/bvconfig/bvconfig-udev-probe %S%p"' <<<"$packagedRule" ||
  fail "the package's rule does not run /usr/libexec/bvconfig/bvconfig-udev-probe: $packagedRule"
echo "package: $(basename "$deb"), $(printf '%s\n' "$contents" | grep -vc '/$') files"
