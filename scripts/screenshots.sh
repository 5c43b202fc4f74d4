#!/usr/bin/env bash
# Writes into out/screenshots/ the main window of an interactive start in
# each of its three views (window-*.png), its options menu and each dialog a
# person opens from it (dialog-*.png: start-up screen, resize, plain-text
# options, spreadsheet options, e-mail fonts), shown under Xvfb over a
# scratch documents folder filled from samples/ and a scratch settings file,
# driven with xdotool. Then runs scripts/screenshots-printdialog.sh when present. Needs a
# built tree (build/), xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
out="$root/out/screenshots"
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/docs" "$scratch/runtime"
chmod 700 "$scratch/runtime"
cp -r "$root/samples/pocketword" "$root/samples/text" "$root/samples/rtf" "$root/samples/workbooks" "$scratch/docs/"
cp -r "$root/samples/maildir" "$scratch/Maildir"
printf 'Personal = %s\n' "$scratch/Maildir" > "$scratch/mailstores.conf"

cat > "$scratch/capture.sh" <<'INNER'
#!/usr/bin/env bash
set -u
"$TALLOWIN" > /dev/null 2>&1 &
program=$!
window=""
for _ in $(seq 50); do
  sleep 0.2
  window="$(xdotool search --onlyvisible --name '^Tallowin$' 2>/dev/null | head -1)"
  [ -n "$window" ] && break
done
sleep 0.7
eval "$(xdotool getwindowgeometry --shell "$window")"
shoot() { sleep 0.7; import -window root "$OUT/$1.png"; }
# The view buttons sit at the right end of the menu bar at the foot of the
# window: documents, workbooks, e-mail, each BUTTON pixels wide; the menu
# button sits at its left end.
view() {
  xdotool mousemove "$((X + WIDTH - 30 - (3 - $1) * BUTTON))" "$((Y + HEIGHT - BAR / 2))" click 1
  sleep 0.7
}
# Opens the menu and chooses its entry N (separators are skipped).
menu() {
  xdotool mousemove "$((X + 50))" "$((Y + HEIGHT - BAR / 2))" click 1
  sleep 0.5
  xdotool key --repeat "$1" --delay 80 Down
  if [ "${2:-}" = show ]; then return; fi
  xdotool key Return
}
# Double-clicks row N (from 1) of the list.
row() {
  xdotool mousemove "$((X + 80))" "$((Y + ROW / 2 + $1 * ROW))" click --repeat 2 --delay 80 1
}
shoot dialog-startup
xdotool key Return
shoot window-documents
menu 3 show; shoot menu-documents; xdotool key Escape; sleep 0.3
menu 3; shoot dialog-resize; xdotool key Return
row 1; shoot dialog-plaintext; xdotool key Escape
view 2; shoot window-workbooks
row 1; shoot dialog-sheet; xdotool key Escape
view 3; shoot window-email
# The folder button at the left of the e-mail header bar, the sort button
# at its right.
xdotool mousemove "$((X + 40))" "$((Y + 14))" click 1; shoot email-folders; xdotool key Escape; sleep 0.3
xdotool mousemove "$((X + WIDTH - 40))" "$((Y + 14))" click 1; shoot email-sort; xdotool key Escape; sleep 0.3
menu 3; shoot dialog-mailfonts; xdotool key Return
view 1
xdotool key --window "$window" alt+F4 2>/dev/null || true
sleep 0.3
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
exit 0
INNER
chmod +x "$scratch/capture.sh"

env TALLOWIN="$build/bin/tallowin" OUT="$out" BUTTON="${BUTTON:-53}" BAR="${BAR:-48}" ROW="${ROW:-18}" \
  TALLOWIN_REGISTRY="$scratch/registry.reg" TALLOWIN_DOCUMENTS="$scratch/docs" \
  TALLOWIN_MAILSTORES="$scratch/mailstores.conf" \
  XDG_RUNTIME_DIR="$scratch/runtime" PLOTWISE_OUTPUT="$scratch/out.pdf" LANG=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1024x768x24" "$scratch/capture.sh"
echo "wrote the window's views, its menu and its dialogs into $out"

if [ -x "$root/scripts/screenshots-printdialog.sh" ]; then
  "$root/scripts/screenshots-printdialog.sh"
fi
