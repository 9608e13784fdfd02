#!/usr/bin/env bash
# Checks the desktop launcher and the AppStream metainfo with Debian's validators,
# builds the Debian package with cpack, unpacks it into a temporary root and runs
# the packaged stelvo-cli from there.
# Usage: package_test.sh SOURCE_DIR BUILD_DIR
# Exit 0 passed, 1 failed, 77 skipped (a tool is missing).
set -euo pipefail

source_dir="$1"
build_dir="$2"
app_id="io.github.stelvo.Stelvo"

for tool in desktop-file-validate appstreamcli cpack dpkg-deb dpkg-shlibdeps python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed"
    exit 77
  fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/stelvo-package.XXXXXX")"
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# desktop-file-validate exits 0 on hints and warnings alike; only hints are accepted.
validate_desktop() {
  local output
  output="$(desktop-file-validate "$1" 2>&1)" || fail "desktop-file-validate rejects $1: $output"
  if grep -Eq ': (error|warning):' <<<"$output"; then
    fail "desktop-file-validate complains about $1: $output"
  fi
  echo "ok: $1 is a valid desktop entry"
}

validate_metainfo() {
  local output
  output="$(appstreamcli validate --no-net "$1" 2>&1)" || fail "appstreamcli rejects $1: $output"
  echo "ok: $1 is valid AppStream metainfo"
}

validate_desktop "$source_dir/packaging/$app_id.desktop"
validate_metainfo "$build_dir/packaging/$app_id.metainfo.xml"

echo "building the package (cpack -G DEB)"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
shopt -s nullglob
packages=("$work"/out/stelvo_*.deb)
[ ${#packages[@]} -eq 1 ] || fail "expected one stelvo_*.deb, found ${#packages[@]}"
package="${packages[0]}"
echo "ok: built $(basename "$package")"

[ "$(dpkg-deb -f "$package" Package)" = stelvo ] || fail "package name is not stelvo"
depends="$(dpkg-deb -f "$package" Depends)"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6 libc6; do
  tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qxF "$library" ||
    fail "Depends lacks $library: $depends"
done
tr ',' '\n' <<<"$depends" | sed 's/^ *//' | grep -qxF "fonts-liberation2 | fonts-liberation" ||
  fail "Depends lacks the window's fonts: $depends"
echo "ok: Depends: $depends"

root="$work/root"
dpkg-deb -x "$package" "$root"
expected=(
  usr/bin/stelvo
  usr/bin/stelvo-cli
  "usr/share/applications/$app_id.desktop"
  "usr/share/metainfo/$app_id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  usr/share/doc/stelvo/LICENSE
)
for side in 16 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${side}x${side}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  [ -s "$root/$file" ] || fail "the package lacks /$file"
done
for program in stelvo stelvo-cli; do
  [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done
echo "ok: the package holds the executables, launcher, metainfo, icons and licence"

# Each PNG icon has the size of the theme directory it sits in.
for side in 16 32 48 64 128 256; do
  python3 - "$root/usr/share/icons/hicolor/${side}x${side}/apps/$app_id.png" "$side" <<'EOF' ||
import struct, sys
path, side = sys.argv[1], int(sys.argv[2])
data = open(path, "rb").read(24)
if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
    sys.exit(f"{path} is not a PNG file")
width, height = struct.unpack(">II", data[16:24])
if (width, height) != (side, side):
    sys.exit(f"{path} is {width} x {height}, expected {side} x {side}")
EOF
    fail "icon of size $side is wrong"
done
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "scalable icon is no SVG"
echo "ok: the icons have their sizes"

validate_desktop "$root/usr/share/applications/$app_id.desktop"
validate_metainfo "$root/usr/share/metainfo/$app_id.metainfo.xml"
grep -qx "Exec=stelvo" "$root/usr/share/applications/$app_id.desktop" || fail "launcher does not run stelvo"
grep -qx "Icon=$app_id" "$root/usr/share/applications/$app_id.desktop" || fail "launcher names another icon"

cli="$root/usr/bin/stelvo-cli"
status=0
"$cli" --help >"$work/help.txt" 2>"$work/help.err" || status=$?
[ "$status" -eq 0 ] || fail "stelvo-cli --help exited with $status: $(cat "$work/help.err")"
grep -q '^Usage: stelvo-cli \[options\]' "$work/help.txt" || fail "--help prints no usage line"
grep -q -- '--state' "$work/help.txt" || fail "--help does not list --state"
echo "ok: packaged stelvo-cli --help"

status=0
"$cli" --bodies 10 --steps 5 --state >"$work/state.txt" 2>"$work/state.err" || status=$?
[ "$status" -eq 0 ] || fail "stelvo-cli --state exited with $status: $(cat "$work/state.err")"
grep -qx 'time_days 45' "$work/state.txt" || fail "--state: time is not 45 days: $(head -1 "$work/state.txt")"
[ "$(grep -c '^body ' "$work/state.txt")" -eq 10 ] || fail "--state does not list ten bodies"
# Stripping for the package changes no result: the build tree's executable prints the same bits.
"$build_dir/app/cli/stelvo-cli" --bodies 10 --steps 5 --state >"$work/state-build.txt"
cmp -s "$work/state.txt" "$work/state-build.txt" || fail "packaged and built stelvo-cli differ"
echo "ok: packaged stelvo-cli --state matches the build"
echo "PASSED"
