#!/usr/bin/env bash
# Writes out/screenshots/print-dialog.png: the printing library's print
# dialog as a person sees it when a document is printed without /Q, shown
# under Xvfb over a sample document. Needs a built tree (build/), xvfb-run
# and ImageMagick's import; scripts/screenshots.sh calls it.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
out="$root/out/screenshots"
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

cat > "$scratch/capture.sh" <<'INNER'
#!/usr/bin/env bash
set -u
"$TALLOWIN" --file="$DOCUMENT" /E > /dev/null 2>&1 &
program=$!
# The dialog is up once the window tree holds more than the root.
for _ in $(seq 50); do
  sleep 0.2
  if xwininfo -root -children 2>/dev/null | grep -q '"Print"'; then break; fi
done
sleep 0.5
# The dialog alone, without the empty screen around it.
window="$(xwininfo -root -children | awk '/"Print"/ { print $1; exit }')"
import -window "${window:-root}" "$SHOT"
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
exit 0
INNER
chmod +x "$scratch/capture.sh"

# The documents of the run stay in the scratch folder; no queue of the
# machine is offered, and the settings are the defaults.
env -u QT_QPA_PLATFORM HOME="$scratch" TALLOWIN_REGISTRY="$scratch/registry.reg" CUPS_SERVER="$scratch/no-cups" \
  LC_ALL=C.UTF-8 TALLOWIN="$build/bin/tallowin" DOCUMENT="$root/samples/text/utf8-three-scripts.txt" SHOT="$out/print-dialog.png" \
  xvfb-run -a -s "-screen 0 1280x900x24" "$scratch/capture.sh"
echo "$out/print-dialog.png"
