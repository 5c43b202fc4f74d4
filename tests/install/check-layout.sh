#!/usr/bin/env bash
# Installs the build into a scratch root (DESTDIR, prefix /usr), checks that
# every file is in its place, and prints a text with the installed program,
# which must find its libraries beside it.
set -euo pipefail
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr > /dev/null
expected=(
  usr/bin/tallowin
  usr/lib/tallowin/libplotwise.so
  usr/lib/tallowin/libplotwise-dialog.so
  usr/lib/tallowin/tallowinpocketword.so
  usr/lib/tallowin/tallowinrtf.so
  usr/lib/tallowin/tallowinlang07.so
  usr/share/tallowin/help/tallowin.htm
  usr/share/applications/tallowin.desktop
  usr/share/mime/packages/tallowin.xml
  usr/share/icons/hicolor/scalable/apps/tallowin.svg
  usr/share/icons/hicolor/48x48/apps/tallowin.png
  usr/share/man/man1/tallowin.1
)
status=0
for path in "${expected[@]}"; do
  if [ ! -f "$root/$path" ]; then
    echo "missing: /$path"
    status=1
  fi
done
[ -x "$root/usr/bin/tallowin" ] || { echo "/usr/bin/tallowin is not executable"; status=1; }
[ $status -eq 0 ] || exit $status

echo "A line to print." > "$root/note.txt"
env -u TALLOWIN_LIBDIR -u TALLOWIN_DATADIR -u DISPLAY -u WAYLAND_DISPLAY HOME="$root" LC_ALL=C \
  TALLOWIN_REGISTRY="$root/registry.reg" PLOTWISE_OUTPUT="$root/note.pdf" \
  "$root/usr/bin/tallowin" --file="$root/note.txt" /Q /E
[ -s "$root/note.pdf" ] || { echo "the installed program printed nothing"; exit 1; }
echo "installed layout is complete"
