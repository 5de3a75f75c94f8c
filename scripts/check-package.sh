#!/usr/bin/env bash
# The Debian package as a user's system meets it: its contents and dependencies, lintian
# (no errors allowed), and the desktop entries and AppStream metadata it carries through
# their validators. Usage: check-package.sh BUILD_DIR (the folder `make package` fills).
set -euo pipefail
build=${1:-build/package}
shopt -s nullglob
debs=("$build"/torvane-tools_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "check-package: expected one torvane-tools .deb in $build" >&2; exit 1; }
deb=${debs[0]}

echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
echo "== contents"
dpkg -c "$deb"

echo "== lintian"
# As root lintian only warns; CI runs as root.
if lintian --fail-on error --display-info --allow-root "$deb"; then
  echo "lintian: no errors"
else
  echo "lintian: errors (see above)" >&2
  exit 1
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
status=0
echo "== desktop-file-validate"
desktops=("$unpacked"/usr/share/applications/*.desktop)
[ ${#desktops[@]} -eq 2 ] || { echo "expected 2 desktop entries, found ${#desktops[@]}" >&2; status=1; }
for f in "${desktops[@]}"; do
  if desktop-file-validate "$f"; then echo "valid: ${f#"$unpacked"}"; else status=1; fi
done
echo "== appstreamcli validate"
metainfos=("$unpacked"/usr/share/metainfo/*.metainfo.xml)
[ ${#metainfos[@]} -eq 2 ] || { echo "expected 2 metainfo files, found ${#metainfos[@]}" >&2; status=1; }
for f in "${metainfos[@]}"; do
  appstreamcli validate --no-net --strict "$f" || status=1
done
exit $status
