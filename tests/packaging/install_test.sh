#!/bin/sh
# cmake --install into a scratch prefix, then what a desktop and a user find there: every
# file in its place, the file type and "Open with" wiring, each installed program started
# (offscreen) from the prefix, and the command-line tool at work.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR VERSION [MIME_TYPE_OF]
set -u
build=$1 source=$2 version=$3 qt_type_of=${4:-}
scratch=$(mktemp -d)
pids=
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null; done
  rm -rf "$scratch"
}
trap cleanup EXIT
prefix=$scratch/prefix
fail=0
problem() { echo "FAIL: $*" >&2; fail=1; }

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log" >&2; echo "FAIL: cmake --install" >&2; exit 1; }

# Where the platform expects each file.
for f in bin/quillon bin/probator bin/torvane-cfg bin/torvane-unit \
         share/applications/org.torvane.Quillon.desktop \
         share/applications/org.torvane.Probator.desktop \
         share/metainfo/org.torvane.Quillon.metainfo.xml \
         share/metainfo/org.torvane.Probator.metainfo.xml \
         share/mime/packages/torvane-config.xml \
         share/icons/hicolor/scalable/apps/org.torvane.Quillon.svg \
         share/icons/hicolor/scalable/apps/org.torvane.Probator.svg \
         share/man/man1/quillon.1.gz share/man/man1/probator.1.gz \
         share/man/man1/torvane-cfg.1.gz share/man/man1/torvane-unit.1.gz \
         share/bash-completion/completions/torvane-cfg \
         share/bash-completion/completions/torvane-unit \
         share/doc/torvane-tools/copyright share/doc/torvane-tools/changelog.gz; do
  [ -f "$prefix/$f" ] || problem "not installed: $f"
done
for f in bin/quillon bin/probator bin/torvane-cfg bin/torvane-unit; do
  [ -x "$prefix/$f" ] || problem "not executable: $f"
done

# Each PNG icon is as large as the folder it lies in says (width and height from the
# PNG header, bytes 16 to 23).
for size in 16 32 48 64 128 256; do
  for id in org.torvane.Quillon org.torvane.Probator; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] || { problem "no $size px icon for $id"; continue; }
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dims" = "${size}x${size}" ] || problem "$png is $dims"
  done
done

# The man pages decompress to pages with a title.
for page in quillon probator torvane-cfg torvane-unit; do
  gzip -dc "$prefix/share/man/man1/$page.1.gz" | grep -q '^\.TH ' || problem "$page.1.gz"
done

# "Open with": the file type is told by content alone, so that a plain *.ini or *.cfg stays
# text/plain while an enciphered one is the config type, for GIO, for Qt and for xdg-mime
# alike; the editor's entry handles the config type and nothing else.
plain_ini=$scratch/types/plain.ini plain_cfg=$scratch/types/plain.cfg
config_cfg=$scratch/types/unit.cfg config_ini=$scratch/types/unit.ini
mkdir -p "$scratch/types"
printf '[General]\r\nname=unit 1\r\nbeep=on\r\n' >"$plain_ini"
printf '# settings\nport=/dev/ttyS0\nspeed=115200\n' >"$plain_cfg"
cp "$source/tests/editor/codec/data/settings.cfg" "$config_cfg"
cp "$config_cfg" "$config_ini"
expect_types() { # TOOL-NAME COMMAND... : each file's type on a line of its own
  name=$1
  shift
  said=$("$@" "$plain_ini" "$plain_cfg" "$config_cfg" "$config_ini" 2>&1 | tr '\n' ' ')
  expected="text/plain text/plain application/x-torvane-config application/x-torvane-config "
  [ "$said" = "$expected" ] || problem "$name gives the types: $said"
}
gio_type() { for f in "$@"; do gio info -a standard::content-type "$f" | sed -n 's/^ *standard::content-type: //p'; done; }
xdg_type() { for f in "$@"; do xdg-mime query filetype "$f"; done; }
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" 2>"$scratch/mime.log" || problem "update-mime-database: $(cat "$scratch/mime.log")"
  ! grep -q 'x-torvane-config' "$prefix/share/mime/globs2" || problem "the type claims files by name"
  (
    export XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$scratch/data-home"
    if command -v gio >/dev/null; then expect_types gio gio_type; else problem "no gio"; fi
    if [ -n "$qt_type_of" ]; then expect_types QMimeDatabase "$qt_type_of"; fi
    # xdg-mime asks the desktop's own tool; on a GNOME desktop that is GIO.
    if command -v xdg-mime >/dev/null; then
      XDG_CURRENT_DESKTOP=GNOME expect_types xdg-mime xdg_type
    else
      problem "no xdg-mime"
    fi
    exit $fail
  ) || fail=1
else
  problem "no update-mime-database"
fi
if command -v update-desktop-database >/dev/null; then
  update-desktop-database "$prefix/share/applications" || problem update-desktop-database
  grep -qxF 'application/x-torvane-config=org.torvane.Quillon.desktop;' \
    "$prefix/share/applications/mimeinfo.cache" || problem "the editor does not handle its type"
  [ "$(grep -c 'org.torvane.Quillon.desktop' "$prefix/share/applications/mimeinfo.cache")" = 1 ] ||
    problem "the editor is offered for another type: $(cat "$prefix/share/applications/mimeinfo.cache")"
fi
if command -v xdg-mime >/dev/null; then
  for type in text/plain application/x-torvane-config; do
    default=$(XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$scratch/data-home" \
              XDG_CONFIG_HOME="$scratch/config-home" XDG_CURRENT_DESKTOP=X-Generic \
              xdg-mime query default "$type" 2>/dev/null)
    case $default in *Quillon*) [ "$type" != text/plain ] || problem "the editor is the default for $type" ;; esac
  done
fi
[ -z "$(find "$prefix" -name 'mimeapps.list' -o -name 'defaults.list')" ] ||
  problem "a default application is set"
grep -q '^Exec=quillon %F$' "$prefix/share/applications/org.torvane.Quillon.desktop" ||
  problem "the editor's entry does not pass the files it is given"

# The installed programs answer on standard output without a display.
for program in quillon probator torvane-cfg; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version) ||
    problem "$program --version failed"
  [ "$out" = "$program $version" ] || problem "$program --version said: $out"
done

# Each installed program started as from the menu, offscreen, with a home of its own. It
# counts as running once it has loaded its platform plugin and sits waiting in its event
# loop; one that ends by itself has failed.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" \
       XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$source/tests/editor/codec/data/settings.cfg" "$scratch/unit.cfg"
started() { # pid
  grep -q 'libqoffscreen' "/proc/$1/maps" 2>/dev/null &&
    [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = S ]
}
for program in quillon probator; do
  if [ $program = quillon ]; then
    "$prefix/bin/$program" "$scratch/unit.cfg" >"$scratch/$program.log" 2>&1 &
  else
    "$prefix/bin/$program" >"$scratch/$program.log" 2>&1 &
  fi
  pid=$!
  pids="$pids $pid"
  tries=0
  until started $pid; do
    if ! kill -0 $pid 2>/dev/null; then
      problem "$program ended by itself: $(cat "$scratch/$program.log")"
      break
    fi
    tries=$((tries + 1))
    [ $tries -lt 300 ] || { problem "$program did not start within 30 s"; break; }
    sleep 0.1
  done
  if kill -0 $pid 2>/dev/null; then
    # The program runs from the prefix, not from the build tree.
    [ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/$program" ] || problem "$program runs $(readlink /proc/$pid/exe)"
    kill $pid
    wait $pid 2>/dev/null
    echo "$program started from $prefix/bin"
  fi
done

# The tool from the prefix: the golden file to its text and back.
tool=$prefix/bin/torvane-cfg
"$tool" decode "$scratch/unit.cfg" >"$scratch/unit.txt" || problem "torvane-cfg decode"
cmp -s "$scratch/unit.txt" "$source/tests/editor/codec/data/settings.txt" || problem "decoded text differs"
"$tool" encode -o "$scratch/again.cfg" <"$scratch/unit.txt" || problem "torvane-cfg encode"
cmp -s "$scratch/again.cfg" "$scratch/unit.cfg" || problem "encoded file differs"
[ "$("$tool" check "$scratch/again.cfg")" = "$scratch/again.cfg: round-trips" ] || problem "torvane-cfg check"

[ $fail -eq 0 ] && echo "installed into a scratch prefix; every program runs from it"
exit $fail
