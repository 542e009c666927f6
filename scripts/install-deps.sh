#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail

# Build and tests: the toolchain, Qt and clang's sanitizer runtime for the fuzzer.
packages=(cmake ninja-build g++ clang make qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
          qt6-multimedia-dev libgl-dev libclang-rt-14-dev python3
          # lld links the eighty-odd programs of a build (tests, tools) several times faster.
          lld
          # Trends: Qt Charts (its CMake package needs Qt OpenGL's).
          qt6-charts-dev libqt6opengl6-dev
          # French: lupdate and lrelease.
          qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
          # MQTT: the client library, and the broker the tests start on 127.0.0.1.
          libmosquitto-dev mosquitto
          # velmora-logger as a systemd service: readiness and watchdog notices (sd_notify).
          libsystemd-dev
          # A wall clock that jumps under a running logger, for the tests (libfaketime).
          faketime
          # make bench: the plain serial terminal the CPU figures are compared with.
          picocom
          # The Debian package and its checks.
          dpkg-dev fakeroot file desktop-file-utils appstream lintian
          # ... and systemd-analyze, which checks the logger's service unit in it.
          systemd
          # The icon's PNG sizes, rendered from its SVG at build time.
          librsvg2-bin
          # The manual pages, made from each program's --help.
          help2man
          # The logger's tests with a wall clock stepped under it (libfaketime).
          faketime)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "Please install these packages with your system's package manager: ${missing[*]}" >&2
  exit 1
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
