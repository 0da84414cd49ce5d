#!/bin/bash
# lcms2's side of the colour benchmark: converts a 24-megapixel TIFF of noise from the Adobe-compatible
# profile to sRGB with tificc and writes its seconds per megapixel for colourbench.exe.
#   reference.txt: tificc <seconds per megapixel>
set -eu
data=$1
mkdir -p "$data"
cd "$data"
icc=/usr/share/color/icc
if ! command -v tificc >/dev/null || ! command -v bc >/dev/null; then
  echo "colourbench: tificc or bc missing, no reference figure"
  exit 0
fi
# Little-endian numbers as printf %b escapes.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
# One directory entry: tag, type (3 short, 4 long), count, value.
entry() {
  le16 "$1"; le16 "$2"; le32 "$3"
  if [ "$2" = 3 ] && [ "$3" = 1 ]; then le16 "$4"; le16 0; else le32 "$4"; fi
}
w=4000 h=6000
if [ ! -s in.tif ]; then
  echo "colourbench: making in.tif ($w x $h)"
  bits=$((8 + 2 + 12 * 9 + 4))
  pixels=$((bits + 6))
  {
    printf '%b' "II*\\x00$(le32 8)$(le16 9)"
    printf '%b' "$(entry 256 4 1 $w)$(entry 257 4 1 $h)$(entry 258 3 3 $bits)$(entry 259 3 1 1)$(entry 262 3 1 2)"
    printf '%b' "$(entry 273 4 1 $pixels)$(entry 277 3 1 3)$(entry 278 4 1 $h)$(entry 279 4 1 $((w * h * 3)))"
    printf '%b' "$(le32 0)$(le16 8)$(le16 8)$(le16 8)"
    head -c $((w * h * 3)) /dev/urandom
  } > in.tif
fi
start=$(date +%s.%N)
tificc -i "$icc/compatibleWithAdobeRGB1998.icc" -o "$icc/sRGB.icc" -t 0 in.tif out.tif
end=$(date +%s.%N)
echo "tificc $(echo "($end - $start) / ($w * $h / 1000000)" | bc -l)" > reference.txt
rm -f out.tif
