#!/usr/bin/env bash
# Installs everything the project needs to build, run and test on Debian 12.
# Idempotent: quiet and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  fonts-ipafont-gothic
  xvfb xdotool x11-utils imagemagick
  python3 python3-pyatspi at-spi2-core dbus dbus-x11
  util-linux
  g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 locales
  clang libclang-rt-14-dev clang-format
  doctest-dev
  chromium gnumeric poppler-utils
  dpkg-dev desktop-file-utils man-db
  openbox xfwm4 ibus ibus-anthy libglib2.0-bin xclip python3-gi
  fuse3 python3-fusepy
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

# Wine takes its ANSI code page from the locale: 932 needs ja_JP.UTF-8 generated.
ensure_japanese_locale() {
  if locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    return 0
  fi
  $sudo sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP\.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  ensure_japanese_locale
  exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
ensure_japanese_locale
