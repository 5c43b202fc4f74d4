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

# --- E-mail: one message of the sample Maildir -----------------------------
# Prints the German quoted-printable sample with its encoded headers.
PLOTWISE_OUTPUT="$PWD/out/mail-sample.pdf" \
  build/bin/tallowin --quick --mail "samples/maildir/cur/1764925200.M200002P4242.tallowin:2,S"
echo "Printed: out/mail-sample.pdf"
# --- end of the e-mail block -------------------------------------------------
