#!/bin/bash
# The image library's PICT files read by an outside reader: the test program writes them with the pixels it
# expects beside them (as PPM), ImageMagick reads the PICT, and the pixels must be the same.
set -eu
exe=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Debian's own ImageMagick binary: a plain "convert" on PATH may be something else on some machines.
IM=/usr/bin/convert-im6.q16
if [ ! -x "$IM" ]; then
  echo "ImageMagick's convert is missing: PICT files not checked (package imagemagick)"; exit 77
fi
PELLORIN_PICT_OUT="Z:${out//\//\\}" wine "$exe" --gtest_filter='ImageCodecs.PictFilesForTheOutsideCheck' --gtest_brief=1
for bits in 24 8; do
  [ -f "$out/blocks$bits.pct" ] || { echo "no PICT file for $bits bits"; exit 1; }
  "$IM" "pict:$out/blocks$bits.pct" -depth 8 "ppm:$out/read$bits.ppm"
  "$IM" "$out/blocks$bits.ppm" -depth 8 "ppm:$out/want$bits.ppm"
  if ! cmp -s "$out/read$bits.ppm" "$out/want$bits.ppm"; then
    echo "PICT at $bits bits reads back with other pixels"; exit 1
  fi
  res=$(/usr/bin/identify-im6.q16 -format '%x' "pict:$out/blocks$bits.pct" 2>/dev/null || true)
  echo "PICT $bits bits: pixels match; resolution as read: $res"
done
