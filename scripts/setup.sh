#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, fuzz and run.
# This is the only place that lists them; the Makefile calls it before each build.
set -euo pipefail

packages=(
  # toolchain
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  # a compiler cache: CI and every work tree build the same sources more than once
  ccache
  # Qt 6: widgets, printing, tests, and the offscreen/xcb platform plugins
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  # lupdate and lrelease for the programs' translations, and Qt's own translations
  qt6-l10n-tools qt6-translations-l10n
  # the serial line to a Torvane unit
  qt6-serialport-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # xmllint, to check the tester's JUnit reports against the schema
  libxml2-utils
  # pdftotext, to read back what a test printed to PDF
  poppler-utils
  # a private X server for the widget suites and the whole-program runs, and real key
  # presses sent to it
  xvfb xauth xdotool xclip libx11-dev
  # the Windows cross build of the plain layers, and Wine to run its tests
  g++-mingw-w64-x86-64 wine64
  # metric-compatible Arial and a monospaced face for the tester's log
  fonts-liberation fonts-dejavu-core fontconfig
  # fontconfig's header: both programs start reading its configuration early
  libfontconfig-dev
  # make package and its checks: dpkg-shlibdeps (which CPack runs with `file`), lintian,
  # the desktop entry and AppStream validators, the file type and menu databases that the
  # install test builds and the three ways a desktop asks for a file's type (gio, Qt,
  # xdg-mime), git for the textconv test, and rsvg-convert for scripts/render-icons.sh
  dpkg-dev file lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin
  xdg-utils git librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "setup: these packages are missing and there is no sudo to install them: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
