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

# Every sample document, printed as a caller would print it: /Q skips the
# options dialog, /E makes the exit status say whether it printed (0). The
# samples print with settings of their own, so the user's are not touched.
# The command line separates folders with "\" ("/" starts a switch).
export TALLOWIN_REGISTRY="$PWD/out/samples-settings.reg"
rm -f "$TALLOWIN_REGISTRY"
failed=0
for sample in samples/text/*.txt samples/rtf/*.rtf samples/pocketword/*.psw samples/pocketword/*.pwi; do
  [ -e "$sample" ] || continue
  folder=$(basename "$(dirname "$sample")")
  name=$(basename "$sample")
  output="out/${folder}-${name%.*}.pdf"
  status=0
  PLOTWISE_OUTPUT="$PWD/$output" build/bin/tallowin /F "${sample//\//\\}" /Q /E || status=$?
  if [ "$status" -eq 0 ]; then
    echo "Printed: $output"
  else
    echo "FAILED (exit status $status): $sample" >&2
    failed=1
  fi
done
exit "$failed"
