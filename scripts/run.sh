#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: prints the bundled
# samples to PDF files in out/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

mkdir -p out
PLOTWISE_OUTPUT="$PWD/out/testpage.pdf" build/bin/plotwise-testpage
echo "Printed: out/testpage.pdf"

# Every sample, printed as a caller would print it: /Q skips the print
# dialog (and the plain-text options), /XQ the spreadsheet options, /E
# makes the exit status say whether it printed (0). The samples print with
# settings of their own, so the user's are not touched. The command line
# separates folders with "\" ("/" starts a switch).
export TALLOWIN_REGISTRY="$PWD/out/samples-settings.reg"
rm -f "$TALLOWIN_REGISTRY"
failed=0

report() { # sample output status
  if [ "$3" -eq 0 ]; then
    echo "Printed: $2"
  else
    echo "FAILED (exit status $3): $1" >&2
    failed=1
  fi
}

for sample in samples/text/*.txt samples/rtf/*.rtf samples/pocketword/*.psw samples/pocketword/*.pwi \
              samples/workbooks/*.pxl; do
  [ -e "$sample" ] || continue
  folder=$(basename "$(dirname "$sample")")
  name=$(basename "$sample")
  output="out/${folder}-${name%.*}.pdf"
  status=0
  case "$sample" in
    *.pxl) PLOTWISE_OUTPUT="$PWD/$output" build/bin/tallowin /A "${sample//\//\\}" /XQ /Q /E || status=$? ;;
    *) PLOTWISE_OUTPUT="$PWD/$output" build/bin/tallowin /F "${sample//\//\\}" /Q /E || status=$? ;;
  esac
  report "$sample" "$output" "$status"
done

# Every message of the sample Maildir.
for message in samples/maildir/cur/* samples/maildir/new/*; do
  [ -f "$message" ] || continue
  case "$(basename "$message")" in .*) continue ;; esac
  output="out/mail-$(basename "$message" | cut -d. -f1-2).pdf"
  status=0
  PLOTWISE_OUTPUT="$PWD/$output" build/bin/tallowin --quick --mail "$message" || status=$?
  report "$message" "$output" "$status"
done
exit "$failed"
