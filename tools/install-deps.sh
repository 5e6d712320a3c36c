# Sourced by run.sh and test.sh: installs the Debian packages Gramolux needs,
# and only those that are missing, asking for sudo only when not root.

# What building and running the program needs (qt6-image-formats-plugins
# reads the TIFF artwork, qt6-l10n-tools compiles our tables of texts,
# qt6-translations-l10n holds Qt's own texts in the user's language).
GX_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-image-formats-plugins qt6-l10n-tools qt6-translations-l10n
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libsdl2-dev libasound2-dev libebur128-dev)
# Tests and benchmarks also encode fixtures, drive a real window under Xvfb,
# use a private bus, and check the install with the desktop's own tools.
# GX_PACKAGE_PACKAGES build and check the Debian package (packaging/build-deb.sh).
GX_PACKAGE_PACKAGES=(dpkg-dev file lintian)
GX_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg sox xvfb xauth xdotool libxcb1-dev dbus
  desktop-file-utils appstream librsvg2-bin libglib2.0-bin groff-base playerctl
  pulseaudio pulseaudio-utils "${GX_PACKAGE_PACKAGES[@]}")

gx_fail() {
  echo "gramolux: $*" >&2
  exit 1
}

gx_install() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || gx_fail "need root or sudo to install: ${missing[*]}"
    sudo=(sudo)
  fi
  echo "gramolux: installing ${missing[*]}"
  "${sudo[@]}" apt-get update -qq >/dev/null || gx_fail "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null \
    || gx_fail "could not install: ${missing[*]}"
}
