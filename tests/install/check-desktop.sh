#!/usr/bin/env bash
# The desktop entry is valid and offers the program for the six file kinds
# and for e-mail messages; the MIME package names a type for each Pocket kind.
# Ends with 77 (skipped) when desktop-file-validate is not installed.
set -euo pipefail
data="$1"
desktop="$data/tallowin.desktop"
mime="$data/tallowin-mime.xml"

if ! command -v desktop-file-validate > /dev/null; then
  echo "skipped: desktop-file-validate is not installed (Debian package desktop-file-utils)"
  exit 77
fi
desktop-file-validate "$desktop"
if command -v xmllint > /dev/null; then
  xmllint --noout "$mime"
fi

types="$(sed -n 's/^MimeType=//p' "$desktop")"
offers() { [[ ";$types" == *";$1;"* ]] || { echo "the desktop entry does not offer $1"; exit 1; }; }
# The Pocket kinds take the type the package gives their ending.
for ending in psw pwi pxl pxt; do
  type="$(awk -v glob="*.$ending" '
    /<mime-type / { match($0, /type="[^"]*"/); current = substr($0, RSTART + 6, RLENGTH - 7) }
    index($0, "pattern=\"" glob "\"") { print current; exit }' "$mime")"
  [ -n "$type" ] || { echo "the MIME package has no type for .$ending"; exit 1; }
  offers "$type"
done
for type in application/rtf text/plain message/rfc822; do
  offers "$type"
done
echo "desktop entry and MIME package are sound"
