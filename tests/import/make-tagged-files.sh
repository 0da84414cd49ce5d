#!/bin/sh
# Writes the tagged pictures of the import tests into the folder given: JPEGs whose EXIF user comment
# is written in both byte orders, a TIFF with an image description, and one JPEG without tags. Run
# natively, beside the tests, by ctest.
set -eu
out=$1
mkdir -p "$out"
rm -f "$out"/*
convert -size 40x30 xc:gray50 "$out/plain.jpg"
cp "$out/plain.jpg" "$out/intel.jpg"
cp "$out/plain.jpg" "$out/motorola.jpg"
exiftool -q -overwrite_original -ExifByteOrder=II -UserComment='  /%IA123, /%DClass%4B' "$out/intel.jpg"
exiftool -q -overwrite_original -ExifByteOrder=MM -UserComment='  /%IA123, /%DClass%4B' "$out/motorola.jpg"
convert -size 40x30 xc:gray50 -compress none "$out/described.tif"
exiftool -q -overwrite_original -ImageDescription='Auxiliary=A123 (Smith),/%DName%Ann;Other=x' "$out/described.tif"
