#!/bin/bash
# The outside tools' side of the image benchmark: makes the synthetic 24-megapixel JPEGs (once), then times
# libvips and ImageMagick doing the benchmark's four tasks and the import benchmark's pipeline on them and
# writes their figures for imagebench.exe and importbench.exe, which measure our side on the same files in
# the same `make bench` run and print the ratios.
#   reference.txt lines: <tool> <task> <seconds per image> <peak resident MB>
set -eu
data=$1
mkdir -p "$data"
cd "$data"

missing=""
command -v vips >/dev/null || missing="$missing libvips-tools"
[ -x /usr/bin/convert ] || missing="$missing imagemagick"
command -v /usr/bin/time >/dev/null || missing="$missing time"
if [ -n "$missing" ]; then
  echo "imagebench: installing$missing"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
IM=/usr/bin/convert
export MAGICK_THREAD_LIMIT=$(nproc) VIPS_CONCURRENCY=$(nproc)

images="in1.jpg in2.jpg"
seed=1
for f in $images; do
  if [ ! -s "$f" ]; then
    echo "imagebench: making $f (4000 x 6000)"
    $IM -seed $seed -size 4000x6000 gradient:'#203050'-'#e0b080' -attenuate 0.35 +noise Gaussian \
      -quality 92 -sampling-factor 2x2 "$f"
  fi
  seed=$((seed + 1))
done
# The tables of task 2: a brightening curve, as a 256 x 1 LUT image for vips.
[ -s lut.pgm ] || python3 -c "
import sys
v=bytes(min(255,int(round(255*((i/255.0)**(1/1.2))))) for i in range(256))
sys.stdout.buffer.write(b'P5\n256 1\n255\n'+v)" > lut.pgm

# run <label> <command...>: accumulates seconds and the peak RSS (MB) of one command
measure() {
  /usr/bin/time -f '%e %M' -o time.out "$@" >/dev/null 2>&1 || { echo "imagebench: failed: $*" >&2; echo "0 0" > time.out; }
  read -r s kb < time.out
  echo "$s $((kb / 1024))"
}
add() { python3 -c "import sys; print(f'{float(sys.argv[1])+float(sys.argv[2]):.3f}')" "$1" "$2"; }
max() { [ "$1" -gt "$2" ] && echo "$1" || echo "$2"; }

: > reference.txt
n=0
declare -A secs peak
for key in vips:draft vips:decode vips:pixels vips:encode vips:persist vips:png vips:import vips:export im:draft im:decode im:pixels im:encode im:persist im:png im:import im:export; do
  secs[$key]=0; peak[$key]=0
done
tmp=$(mktemp -d /dev/shm/imagebench.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for f in $images; do
  n=$((n + 1))
  # (1) decode and a draft of about 175,000 pixels (341 x 512)
  read -r s m < <(measure vips thumbnail "$f" "$tmp/d.v" 512); secs[vips:draft]=$(add ${secs[vips:draft]} $s); peak[vips:draft]=$(max ${peak[vips:draft]} $m)
  read -r s m < <(measure $IM "$f" -resize 341x512 "$tmp/d.ppm"); secs[im:draft]=$(add ${secs[im:draft]} $s); peak[im:draft]=$(max ${peak[im:draft]} $m)
  # (2) rotate 2.5 degrees, sharpen (kernel 5), tables, resample to 1800 x 2400, encode JPEG;
  #     decode and encode timed on their own so that the pixel work can be told apart.
  read -r s m < <(measure vips copy "$f" "$tmp/a.v"); secs[vips:decode]=$(add ${secs[vips:decode]} $s); peak[vips:decode]=$(max ${peak[vips:decode]} $m)
  t0=$(date +%s.%N)
  m1=$(measure vips rotate "$tmp/a.v" "$tmp/b.v" 2.5 | cut -d' ' -f2)
  m2=$(measure vips sharpen "$tmp/b.v" "$tmp/c.v" --sigma 1 | cut -d' ' -f2)
  m3=$(measure vips maplut "$tmp/c.v" "$tmp/e.v" lut.pgm | cut -d' ' -f2)
  dw=$(vipsheader -f width "$tmp/e.v"); dh=$(vipsheader -f height "$tmp/e.v")
  sx=$(python3 -c "print(1800/$dw)"); sy=$(python3 -c "print(2400/$dh)")
  m4=$(measure vips resize "$tmp/e.v" "$tmp/g.v" $sx --vscale $sy | cut -d' ' -f2)
  t1=$(date +%s.%N)
  secs[vips:pixels]=$(add ${secs[vips:pixels]} $(python3 -c "print($t1-$t0)"))
  peak[vips:pixels]=$(max ${peak[vips:pixels]} $(max $(max $m1 $m2) $(max $m3 $m4)))
  read -r s m < <(measure vips jpegsave "$tmp/g.v" "$tmp/out.jpg" --Q 95); secs[vips:encode]=$(add ${secs[vips:encode]} $s); peak[vips:encode]=$(max ${peak[vips:encode]} $m)
  read -r s m < <(measure $IM "$f" "$tmp/a.ppm"); secs[im:decode]=$(add ${secs[im:decode]} $s); peak[im:decode]=$(max ${peak[im:decode]} $m)
  read -r s m < <(measure $IM "$tmp/a.ppm" -background white -rotate 2.5 -sharpen 2x1 -gamma 1.2 -resize '1800x2400!' "$tmp/g.ppm")
  secs[im:pixels]=$(add ${secs[im:pixels]} $s); peak[im:pixels]=$(max ${peak[im:pixels]} $m)
  read -r s m < <(measure $IM "$tmp/g.ppm" -quality 95 "$tmp/out2.jpg"); secs[im:encode]=$(add ${secs[im:encode]} $s); peak[im:encode]=$(max ${peak[im:encode]} $m)
  # (3) a lossless compressed form of the full picture: encode and decode (PNG, fastest zlib level)
  t0=$(date +%s.%N)
  m1=$(measure vips pngsave "$tmp/a.v" "$tmp/p.png" --compression 1 | cut -d' ' -f2)
  m2=$(measure vips copy "$tmp/p.png" "$tmp/q.v" | cut -d' ' -f2)
  t1=$(date +%s.%N)
  secs[vips:persist]=$(add ${secs[vips:persist]} $(python3 -c "print($t1-$t0)")); peak[vips:persist]=$(max ${peak[vips:persist]} $(max $m1 $m2))
  t0=$(date +%s.%N)
  m1=$(measure $IM "$tmp/a.ppm" -quality 10 "$tmp/p2.png" | cut -d' ' -f2)
  m2=$(measure $IM "$tmp/p2.png" "$tmp/q2.ppm" | cut -d' ' -f2)
  t1=$(date +%s.%N)
  secs[im:persist]=$(add ${secs[im:persist]} $(python3 -c "print($t1-$t0)")); peak[im:persist]=$(max ${peak[im:persist]} $(max $m1 $m2))
  # (4) PNG encode of the full decoded picture at each tool's fastest zlib level (1)
  read -r s m < <(measure vips pngsave "$tmp/a.v" "$tmp/p3.png" --compression 1); secs[vips:png]=$(add ${secs[vips:png]} $s); peak[vips:png]=$(max ${peak[vips:png]} $m)
  read -r s m < <(measure $IM "$tmp/a.ppm" -quality 10 "$tmp/p4.png"); secs[im:png]=$(add ${secs[im:png]} $s); peak[im:png]=$(max ${peak[im:png]} $m)
  # (5) what an import does with a file (for importbench): decode, a quarter turn counter-clockwise, the
  #     tables, a draft of about 175,000 pixels and a lossless compressed copy of the full picture.
  t0=$(date +%s.%N)
  m1=$(measure vips rot "$f" "$tmp/i1.v" d270 | cut -d' ' -f2)
  m2=$(measure vips maplut "$tmp/i1.v" "$tmp/i2.v" lut.pgm | cut -d' ' -f2)
  m3=$(measure vips thumbnail_image "$tmp/i2.v" "$tmp/i3.v" 512 | cut -d' ' -f2)
  m4=$(measure vips pngsave "$tmp/i2.v" "$tmp/i4.png" --compression 1 | cut -d' ' -f2)
  t1=$(date +%s.%N)
  secs[vips:import]=$(add ${secs[vips:import]} $(python3 -c "print($t1-$t0)"))
  peak[vips:import]=$(max ${peak[vips:import]} $(max $(max $m1 $m2) $(max $m3 $m4)))
  read -r s m < <(measure $IM "$f" -rotate -90 lut.pgm -clut \( +clone -resize 512x512 -write "$tmp/i5.ppm" +delete \) \
    -quality 10 "$tmp/i6.png")
  secs[im:import]=$(add ${secs[im:import]} $s); peak[im:import]=$(max ${peak[im:import]} $m)
  # (6) the export benchmark's image: rotate 2.5 degrees on white, red, contrast and saturation +10, the crop
  #     (zoom 0.8: a cut 1.25 times the picture, white round it, moved a tenth of its width right), the
  #     brightening curve, sharpen (kernel 5), 1800 x 2400 of its centre, JPEG at 300 dpi; decode to file.
  read -r rw rh < <(python3 -c "
import math
a=math.radians(2.5); c,s=math.cos(a),math.sin(a)
print(round(4000*c+6000*s), round(6000*c+4000*s))")
  read -r cw ch ox oy fy fh < <(python3 -c "
w,h=$rw,$rh; cw,ch=round(w/0.8),round(h/0.8); ox=(cw-w)//2+round(0.1*w); oy=(ch-h)//2
fh=min(ch,cw*4//3); print(cw,ch,ox,oy,(ch-fh)//2,fh)")
  read -r s m < <(measure $IM "$f" -background white -rotate 2.5 -channel R -evaluate add 4% +channel \
    -brightness-contrast 0x10 -modulate 100,110 +repage -extent "${cw}x${ch}-${ox}-${oy}" -gamma 1.2 -sharpen 2x1 \
    -resize '1800x2400^' -gravity center -extent 1800x2400 -units PixelsPerInch -density 300 -quality 95 "$tmp/ex.jpg")
  secs[im:export]=$(add ${secs[im:export]} $s); peak[im:export]=$(max ${peak[im:export]} $m)
  t0=$(date +%s.%N)
  m1=$(measure vips rotate "$f" "$tmp/r.v" 2.5 --background "255 255 255" | cut -d' ' -f2)
  m2=$(measure vips linear --uchar -- "$tmp/r.v" "$tmp/l.v" "1.14 1.1 1.1" "-3 -13 -13" | cut -d' ' -f2)
  m3=$(measure vips embed "$tmp/l.v" "$tmp/e.v" $ox $oy $cw $ch --extend background --background "255 255 255" | cut -d' ' -f2)
  m4=$(measure vips maplut "$tmp/e.v" "$tmp/t.v" lut.pgm | cut -d' ' -f2)
  m5=$(measure vips sharpen "$tmp/t.v" "$tmp/s.v" --sigma 1 | cut -d' ' -f2)
  m6=$(measure vips extract_area "$tmp/s.v" "$tmp/x.v" 0 $fy $cw $fh | cut -d' ' -f2)
  sx=$(python3 -c "print(1800/$cw)"); sy=$(python3 -c "print(2400/$fh)")
  m7=$(measure vips resize "$tmp/x.v" "$tmp/z.v" $sx --vscale $sy | cut -d' ' -f2)
  m8=$(measure vips jpegsave "$tmp/z.v" "$tmp/ex2.jpg" --Q 95 | cut -d' ' -f2)
  t1=$(date +%s.%N)
  secs[vips:export]=$(add ${secs[vips:export]} $(python3 -c "print($t1-$t0)"))
  for mm in $m1 $m2 $m3 $m4 $m5 $m6 $m7 $m8; do peak[vips:export]=$(max ${peak[vips:export]} $mm); done
  rm -f "$tmp"/*
done
for key in "${!secs[@]}"; do
  tool=${key%%:*}; task=${key#*:}
  echo "$tool $task $(python3 -c "print(f'{${secs[$key]}/$n:.3f}')") ${peak[$key]}" >> reference.txt
done
sort -o reference.txt reference.txt
echo "imagebench: outside tools measured ($(nproc) cores); figures in $data/reference.txt"
