#!/bin/sh
# Times a whole-process print of the 5,000-row, 10-column sample workbook to
# PDF: program start, reading, layout and the PDF written by the printing
# library.
#
#   bench/spreadsheet/print-large-workbook.sh [build-dir]
set -eu

build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
workbook="$source_dir/samples/workbooks/large-5000x10.pxl"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

export LC_ALL=en_US.UTF-8
export TALLOWIN_REGISTRY="$out/settings.reg"
export PLOTWISE_CONFIG="$out/no-config"
export PLOTWISE_OUTPUT="$out/large.pdf"
export SOURCE_DATE_EPOCH=0

start=$(date +%s.%N)
status=0
"$build/bin/tallowin" --workbook="$workbook" --no-sheet-dialog --exit-codes || status=$?
end=$(date +%s.%N)
pages=$(pdfinfo "$out/large.pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
printf 'tallowin: status %s, %s pages, %.2f s\n' "$status" "${pages:-?}" "$(echo "$end - $start" | bc)"
