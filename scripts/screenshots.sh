#!/usr/bin/env bash
# Writes out/screenshots/window-documents.png, window-workbooks.png and
# window-email.png: the main window of an interactive start in each of its
# three views, shown under Xvfb over a scratch documents folder filled from
# samples/ and a scratch settings file. The view buttons are clicked with
# xdotool. Then runs scripts/screenshots-printdialog.sh when present. Needs a
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
# The view buttons sit at the right end of the menu bar at the foot of the
# window: documents, workbooks, e-mail, each BUTTON pixels wide.
shoot() { import -window root "$OUT/window-$1.png"; }
click() {
  xdotool mousemove "$((X + WIDTH - 30 - (3 - $1) * BUTTON))" "$((Y + HEIGHT - BAR / 2))" click 1
  sleep 0.7
}
shoot documents
click 2; shoot workbooks
click 3; shoot email
click 1
xdotool key --window "$window" alt+F4 2>/dev/null || true
sleep 0.3
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
exit 0
INNER
chmod +x "$scratch/capture.sh"

env TALLOWIN="$build/bin/tallowin" OUT="$out" BUTTON="${BUTTON:-53}" BAR="${BAR:-48}" \
  TALLOWIN_REGISTRY="$scratch/registry.reg" TALLOWIN_DOCUMENTS="$scratch/docs" \
  XDG_RUNTIME_DIR="$scratch/runtime" PLOTWISE_OUTPUT="$scratch/out.pdf" LANG=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1024x768x24" "$scratch/capture.sh"
echo "wrote $out/window-documents.png $out/window-workbooks.png $out/window-email.png"

if [ -x "$root/scripts/screenshots-printdialog.sh" ]; then
  "$root/scripts/screenshots-printdialog.sh"
fi
