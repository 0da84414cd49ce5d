#!/bin/bash
# JPEG and PNG against Debian's own tools, natively beside the test program under Wine:
#  - files written by other tools (cjpeg, ImageMagick) in the variants photographers meet are read by our
#    library, which must find the pixels djpeg and ImageMagick find in them (JpegPng.OtherToolsFilesDecode);
#  - files written by our library are read by djpeg and ImageMagick: pixels, resolution, and the quality
#    ImageMagick estimates for the two save options (JpegPng.OurFilesForTheOutsideCheck).
set -eu
exe=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
IM=/usr/bin/convert-im6.q16
ID=/usr/bin/identify-im6.q16
for tool in "$IM" "$ID" /usr/bin/djpeg /usr/bin/cjpeg; do
  [ -x "$tool" ] || { echo "$tool is missing: JPEG and PNG not checked (cmake/install-deps.sh installs it)"; exit 77; }
done
winpath() { echo "Z:${1//\//\\}"; }

# --- files of other tools -------------------------------------------------------------------------------
in=$out/in
mkdir -p "$in"
cd "$in"
"$IM" -seed 7 -size 64x48 plasma:fractal -depth 8 base.ppm
list=list.txt
: > $list
# jpeg <name> <dpi or -> <comment or -> <make command...>: the file, and its pixels as djpeg decodes them
jpeg() {
  local name=$1 dpi=$2 comment=$3
  shift 3
  "$@" > "$name"
  djpeg -pnm "$name" > "$name.pnm"
  echo "$name $name.pnm 0.5 $dpi $comment" >> $list
}
jpeg baseline.jpg - - cjpeg -quality 90 base.ppm
jpeg progressive.jpg - - cjpeg -quality 90 -progressive base.ppm
jpeg s444.jpg - - cjpeg -quality 90 -sample 1x1 base.ppm
jpeg s420.jpg - - cjpeg -quality 90 -sample 2x2 base.ppm
jpeg s422.jpg - - cjpeg -quality 90 -sample 2x1 base.ppm
jpeg grey.jpg - - cjpeg -quality 90 -grayscale base.ppm
jpeg restart.jpg - - cjpeg -quality 90 -restart 1B base.ppm
jpeg optimised.jpg - - cjpeg -quality 75 -optimize base.ppm
jpeg im-progressive.jpg 300 - "$IM" base.ppm -interlace JPEG -density 300 -units PixelsPerInch -quality 85 jpg:-
jpeg im-dpcm.jpg 254 - "$IM" base.ppm -density 100 -units PixelsPerCentimeter -quality 85 jpg:-
# EXIF with orientation, resolution and a comment (no spaces: the list is split on them), put into a JFIF file without a density (cjpeg writes 1:1):
# the pixels stay as stored (turning is the program's business), the resolution comes from EXIF.
python3 - baseline.jpg exif.jpg <<'EOF'
import struct, sys
src = open(sys.argv[1], 'rb').read()
comment = b'ASCII\0\0\0' + b'Studio-4/green-screen'
# IFD0: Orientation, XResolution, YResolution, ResolutionUnit, ExifIFD; then the EXIF IFD: UserComment.
ifd0_at = 8
n0 = 5
data_at = ifd0_at + 2 + n0 * 12 + 4
xres_at, yres_at = data_at, data_at + 8
exif_at = yres_at + 8
comment_at = exif_at + 2 + 12 + 4
e = lambda tag, typ, count, value: struct.pack('<HHII', tag, typ, count, value)
tiff = b'II*\0' + struct.pack('<I', ifd0_at)
tiff += struct.pack('<H', n0) + e(274, 3, 1, 6) + e(282, 5, 1, xres_at) + e(283, 5, 1, yres_at) \
    + e(296, 3, 1, 2) + e(34665, 4, 1, exif_at) + struct.pack('<I', 0)
tiff += struct.pack('<II', 240, 1) + struct.pack('<II', 240, 1)
tiff += struct.pack('<H', 1) + e(37510, 7, len(comment), comment_at) + struct.pack('<I', 0) + comment
app1 = b'Exif\0\0' + tiff
seg = b'\xff\xe1' + struct.pack('>H', len(app1) + 2) + app1
# after SOI and the JFIF APP0
app0_len = struct.unpack('>H', src[4:6])[0]
cut = 4 + app0_len
open(sys.argv[2], 'wb').write(src[:cut] + seg + src[cut:])
EOF
echo "exif.jpg baseline.jpg.pnm 0.5 240 Studio-4/green-screen" >> $list
"$IM" base.ppm -colorspace CMYK -quality 90 cmyk.jpg
echo "cmyk.jpg refused 0 - -" >> $list
# PNG: each file, and its pixels (and alpha) as ImageMagick reads them
"$IM" base.ppm -colors 40 png8:palette.png
"$IM" palette.png -alpha off -depth 8 ppm:palette.png.ppm
echo "palette.png palette.png.ppm 0.5 - -" >> $list
"$IM" base.ppm -colorspace Gray -depth 8 -type Grayscale grey.png
"$IM" grey.png -depth 8 ppm:grey.png.ppm
echo "grey.png grey.png.ppm 0.5 - -" >> $list
"$IM" base.ppm -density 200 -units PixelsPerInch png24:rgb.png
"$IM" rgb.png -depth 8 ppm:rgb.png.ppm
echo "rgb.png rgb.png.ppm 0.5 200 -" >> $list
"$IM" base.ppm \( -size 64x48 gradient:white-black \) -alpha off -compose CopyOpacity -composite png32:rgba.png
"$IM" rgba.png -alpha off -depth 8 ppm:rgba.png.ppm
"$IM" rgba.png -alpha extract -depth 8 pgm:rgba.png.alpha.pgm
echo "rgba.png rgba.png.ppm 0.5 - - rgba.png.alpha.pgm" >> $list
"$IM" base.ppm -interlace PNG png24:interlaced.png
"$IM" interlaced.png -depth 8 ppm:interlaced.png.ppm
echo "interlaced.png interlaced.png.ppm 0.5 - -" >> $list
"$IM" base.ppm -blur 0x2 -depth 16 png48:deep.png
"$IM" deep.png -depth 8 ppm:deep.png.ppm
echo "deep.png deep.png.ppm 0.6 - -" >> $list
"$IM" base.ppm -colors 12 -depth 4 png8:small-palette.png
"$IM" small-palette.png -alpha off -depth 8 ppm:small-palette.png.ppm
echo "small-palette.png small-palette.png.ppm 0.5 - -" >> $list
cd - >/dev/null

# --- our files -----------------------------------------------------------------------------------------
mine=$out/mine
mkdir -p "$mine"
PELLORIN_FOREIGN_IN=$(winpath "$in") PELLORIN_JPEGPNG_OUT=$(winpath "$mine") \
  wine "$exe" --gtest_filter='JpegPng.OtherToolsFilesDecode:JpegPng.OurFilesForTheOutsideCheck' --gtest_brief=1
cd "$mine"
for f in q70.jpg q95.jpg grey.jpg colour.png palette.png; do
  [ -s "$f" ] || { echo "our library wrote no $f"; exit 1; }
done
djpeg -pnm q70.jpg > q70.pnm
djpeg -pnm q95.jpg > q95.pnm
djpeg -pnm grey.jpg > grey.pnm
"$IM" colour.png -depth 8 ppm:colour.ppm
"$IM" palette.png -depth 8 ppm:palette.ppm
python3 - <<'EOF'
import sys
def pnm(path):
    import re
    data = open(path, 'rb').read()
    head = re.match(rb'(P[56])\s+(\d+)\s+(\d+)\s+255\s', data)
    magic, w, h = head.group(1), int(head.group(2)), int(head.group(3))
    pixels = data[head.end():]
    ch = 3 if magic == b'P6' else 1
    return w, h, ch, pixels[: w * h * ch]
def mean_diff(a, b, grey_of_b=False):
    wa, ha, ca, pa = a
    wb, hb, cb, pb = b
    assert (wa, ha) == (wb, hb), f'sizes {wa}x{ha} and {wb}x{hb}'
    total = 0
    for i in range(wa * ha):
        if grey_of_b:
            r, g, bl = pb[3 * i: 3 * i + 3]
            total += abs(pa[i] - (0.299 * r + 0.587 * g + 0.114 * bl))
        else:
            total += sum(abs(pa[ca * i + k] - pb[cb * i + k]) for k in range(3))
    return total / (wa * ha * (1 if grey_of_b else 3))
photo, blocks = pnm('photo.ppm'), pnm('blocks.ppm')
checks = [('q70.jpg by djpeg', mean_diff(pnm('q70.pnm'), photo), 4.0),
          ('q95.jpg by djpeg', mean_diff(pnm('q95.pnm'), photo), 2.0),
          ('grey.jpg by djpeg', mean_diff(pnm('grey.pnm'), photo, True), 2.0),
          ('colour.png by ImageMagick', mean_diff(pnm('colour.ppm'), photo), 0.0),
          ('palette.png by ImageMagick', mean_diff(pnm('palette.ppm'), blocks), 0.0)]
bad = False
for name, diff, tolerance in checks:
    print(f'{name}: mean difference {diff:.2f} (at most {tolerance})')
    bad |= diff > tolerance
sys.exit(1 if bad else 0)
EOF
fail=0
expect() { # expect <what> <got> <want>
  if [ "$2" != "$3" ]; then echo "$1: $2, expected $3"; fail=1; else echo "$1: $2"; fi
}
expect "q95.jpg resolution" "$("$ID" -format '%x %y %U' q95.jpg)" "300 300 PixelsPerInch"
expect "grey.jpg colour space" "$("$ID" -format '%[colorspace] %[channels]' grey.jpg)" "Gray gray"
expect "colour.png resolution" "$("$ID" -units PixelsPerInch -format '%[fx:round(resolution.x)] %[fx:round(resolution.y)]' colour.png)" "300 300"
expect "palette.png resolution" "$("$ID" -units PixelsPerInch -format '%[fx:round(resolution.x)] %[fx:round(resolution.y)]' palette.png)" "72 144"
expect "palette.png type" "$("$ID" -format '%[png:IHDR.color-type-orig]' palette.png)" "3"
q70=$("$ID" -format '%Q' q70.jpg)
q95=$("$ID" -format '%Q' q95.jpg)
s70=$(stat -c %s q70.jpg)
s95=$(stat -c %s q95.jpg)
echo "quality as ImageMagick estimates it: option 1 $q70 ($s70 bytes), option 2 $q95 ($s95 bytes)"
[ "$q70" -ge 68 ] && [ "$q70" -le 72 ] || { echo "option 1 is not near quality 70"; fail=1; }
[ "$q95" -ge 93 ] && [ "$q95" -le 97 ] || { echo "option 2 is not near quality 95"; fail=1; }
[ "$s70" -lt "$s95" ] || { echo "quality 70 is not smaller than 95"; fail=1; }
exit $fail
