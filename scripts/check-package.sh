#!/usr/bin/env bash
# Checks the Debian package that `make package` built, as a user would meet it:
#   - it holds the programs, the resource folder, the desktop file, the icons, the metainfo and
#     a manual page per program;
#   - unpacked anywhere, its programs answer --help and --version with no display at all;
#   - desktop-file-validate, appstreamcli validate and lintian find no error;
#   - the logger's service unit passes systemd-analyze verify, and systemd-analyze security
#     prints its exposure score (it fails above the score the documentation gives).
# Usage: scripts/check-package.sh path/to/velmora_VERSION_ARCH.deb
set -euo pipefail

deb=${1:?usage: $0 package.deb}
app_id=com.orvane.velmora
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== contents (dpkg-deb -c)"
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected=(
  ./usr/bin/velmora
  ./usr/bin/velmora-sim
  ./usr/share/velmora/Moyeu2.png
  ./usr/share/velmora/DariVozirovavavavover.png
  ./usr/share/velmora/alarm_hydro.wav
  ./usr/share/applications/$app_id.desktop
  ./usr/share/icons/hicolor/scalable/apps/$app_id.svg
  ./usr/share/metainfo/$app_id.metainfo.xml
  ./usr/share/doc/velmora/copyright
  ./usr/share/doc/velmora/changelog.gz
  ./usr/share/man/man1/velmora.1.gz
  ./usr/share/man/man1/velmora-sim.1.gz
)
unit=./lib/systemd/system/velmora-logger.service
if grep -qxF ./usr/bin/velmora-logger <<<"$listing"; then
  expected+=(./usr/share/man/man1/velmora-logger.1.gz)
  # The service: its unit (not enabled: no link to it anywhere), its user and its state folder.
  expected+=("$unit" ./usr/lib/sysusers.d/velmora-logger.conf ./usr/lib/tmpfiles.d/velmora-logger.conf)
  if grep -q '\.wants/' <<<"$listing"; then fail "the package enables a unit"; fi
fi
for size in 16 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  grep -qxF "$file" <<<"$listing" || fail "missing from the package: $file"
done
echo "all ${#expected[@]} expected files present"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg -x "$deb" "$unpacked"

echo "== programs without a display"
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
version=$(dpkg-deb -f "$deb" Version)
"${no_display[@]}" "$unpacked/usr/bin/velmora" --version | grep -qx "Velmora $version" \
  || fail "velmora --version does not print \"Velmora $version\""
"${no_display[@]}" "$unpacked/usr/bin/velmora" --help | grep -q -- "--port" \
  || fail "velmora --help does not list its options"
programs=(velmora-sim)
[ -x "$unpacked/usr/bin/velmora-logger" ] && programs+=(velmora-logger)
for program in "${programs[@]}"; do
  "${no_display[@]}" "$unpacked/usr/bin/$program" --help | grep -q -- "--help" \
    || fail "$program --help does not answer"
  "${no_display[@]}" "$unpacked/usr/bin/$program" --version | grep -qx "$program $version" \
    || fail "$program --version does not print \"$program $version\""
done
printf -v names '%s, ' velmora "${programs[@]}"
echo "${names%, }: --help and --version answered"

if [ -f "$unpacked/$unit" ]; then
  echo "== systemd-analyze (velmora-logger.service)"
  # The unit as installed, its program taken from the unpacked package (verify checks that the
  # command exists and is executable); the manual page is not installed on this machine.
  checked="$unpacked/velmora-logger.service"
  sed "s|/usr/bin/velmora-logger|$unpacked/usr/bin/velmora-logger|" "$unpacked/$unit" >"$checked"
  systemd-analyze verify --man=no "$checked"
  echo "systemd-analyze verify: no complaint"
  # The exposure score the documentation gives; a change to the unit that raises it fails here.
  max_exposure=1.5
  report=$(systemd-analyze security --offline=true --threshold=0 "$checked" || true)
  score=$(sed -n 's/.*Overall exposure level for .*: \([0-9.]*\).*/\1/p' <<<"$report")
  [ -n "$score" ] || fail "systemd-analyze security printed no exposure level"
  echo "systemd-analyze security: exposure $score (at most $max_exposure)"
  awk -v s="$score" -v m="$max_exposure" 'BEGIN { exit !(s <= m) }' \
    || fail "the unit's exposure $score is above $max_exposure: $(grep '✗' <<<"$report")"
  grep -q '^Type=notify' "$unpacked/$unit" && grep -q '^WatchdogSec=' "$unpacked/$unit" \
    && grep -q '^RestartPreventExitStatus=2' "$unpacked/$unit" && grep -q '^LoadCredential=' "$unpacked/$unit" \
    || fail "the unit lacks Type=notify, WatchdogSec=, RestartPreventExitStatus=2 or LoadCredential="
  if grep -qw echo "$unpacked/$unit"; then fail "the unit's set-up notes echo a password"; fi
fi

echo "== desktop-file-validate"
desktop-file-validate "$unpacked/usr/share/applications/$app_id.desktop"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$app_id.metainfo.xml"
echo "== lintian"
lintian --fail-on error "$deb"
echo "check-package: $(basename "$deb") passed"
