# Shared set-up of scripts/run and scripts/test: installs the Debian packages
# that are missing, then configures and builds Release into build/.
set -euo pipefail

STELVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
STELVO_BUILD="$STELVO_ROOT/build"

STELVO_PACKAGES=(
  cmake make g++ pkg-config python3 file
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libgtest-dev libgmock-dev libbenchmark-dev
  shared-mime-info fonts-dejavu-core fonts-liberation2
  xvfb xauth xdotool imagemagick openbox
  desktop-file-utils appstream dpkg-dev
  clang libclang-rt-14-dev
  python3-icalendar
  openmpi-bin libopenmpi-dev
)

stelvo_install_packages() {
  local missing=()
  for package in "${STELVO_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

stelvo_build() {
  cmake -S "$STELVO_ROOT" -B "$STELVO_BUILD" -DCMAKE_BUILD_TYPE=Release "$@"
  cmake --build "$STELVO_BUILD" -j "$(nproc)"
}
