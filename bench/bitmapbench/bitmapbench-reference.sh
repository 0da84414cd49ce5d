#!/bin/bash
# The outside tools' side of the picture benchmark: makes the pictures (once), then times ImageMagick turning,
# levelling and colour-keying the 32 drafts, and libvips turning, mapping through a table and sharpening the
# 24-megapixel picture. bitmapbench.exe measures the program on the same files in the same `make bench` run.
#   reference.txt lines: <tool> <task> <seconds>
set -eu
data=$1
mkdir -p "$data"
cd "$data"

missing=""
command -v vips >/dev/null || missing="$missing libvips-tools"
[ -x /usr/bin/convert ] || missing="$missing imagemagick"
if [ -n "$missing" ]; then
  echo "bitmapbench: installing$missing"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
IM=/usr/bin/convert
export MAGICK_THREAD_LIMIT=$(nproc) VIPS_CONCURRENCY=$(nproc)

# 32 drafts of a portrait at the default draft size (341 x 512): a subject on a green screen, each different.
for i in $(seq -w 1 32); do
  f=draft$i.png
  [ -s "$f" ] && continue
  $IM -seed "$i" -size 341x512 xc:'rgb(20,190,40)' -attenuate 0.25 +noise Gaussian \
    -fill "rgb($((120 + 3 * 10#$i)),90,70)" -draw "ellipse 170,200 90,120 0,360" \
    -fill 'rgb(60,60,130)' -draw "rectangle 60,330 280,512" "$f"
done
[ -s full.jpg ] || $IM -seed 7 -size 4000x6000 gradient:'#203050'-'#e0b080' -attenuate 0.35 +noise Gaussian \
  -quality 92 -sampling-factor 2x2 full.jpg
# The master table of the correction the program applies (intensity +10 as a curve), for vips' maplut.
[ -s lut.pgm ] || python3 -c "
import sys
v=bytes(min(255,int(255*((i/255.0)**(1/1.25))+0.5)) for i in range(256))
sys.stdout.buffer.write(b'P5\n256 1\n255\n'+v)" > lut.pgm

seconds() { python3 -c "import sys; print(f'{float(sys.argv[2])-float(sys.argv[1]):.4f}')" "$1" "$2"; }
tmp=$(mktemp -d /dev/shm/bitmapbench.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# (1) the 32 drafts in one ImageMagick run: read, turn 2.5 degrees, levels, saturation, key the green, write.
t0=$(date +%s.%N)
$IM draft*.png -background white -rotate 2.5 -level 4%,96%,1.25 -modulate 100,120 \
  -fuzz 12% -transparent 'rgb(20,190,40)' +adjoin "$tmp/keyed%02d.miff"
t1=$(date +%s.%N)
drafts=$(seconds "$t0" "$t1")

# (2) the full picture with libvips, decoded beforehand: turn, table, sharpen.
vips copy full.jpg "$tmp/a.v"
t0=$(date +%s.%N)
vips rotate "$tmp/a.v" "$tmp/b.v" 2.5
vips maplut "$tmp/b.v" "$tmp/c.v" lut.pgm
vips sharpen "$tmp/c.v" "$tmp/d.v" --sigma 1
t1=$(date +%s.%N)
render=$(seconds "$t0" "$t1")

printf 'im drafts %s\nvips render %s\n' "$drafts" "$render" > reference.txt
echo "bitmapbench: outside tools measured ($(nproc) cores); figures in $data/reference.txt"
