#!/bin/bash
# Exported PCX and PICT files read back by outside readers, natively: the test program renders an image and
# writes it in both formats at 24 and 8 bits, with the pixels it expects beside them (PPM). netpbm's
# pcxtoppm reads the PCX files and ImageMagick the PICT ones (Debian's netpbm has no PICT reader). Pixels
# must be equal at 24 bits and within 4 levels on average at 8 (a palette); the resolution is read from the
# PCX header and from the PICT's pixel-map header.
set -eu
exe=$1
IM=/usr/bin/convert-im6.q16
if ! command -v pcxtoppm >/dev/null || [ ! -x "$IM" ]; then
  echo "pcxtoppm or ImageMagick is missing: exported PCX and PICT not checked (packages netpbm, imagemagick)"
  exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
PELLORIN_EXPORT_OUT="Z:${out//\//\\}" wine "$exe" --gtest_filter='ExportRenderImage.FilesForTheOutsideReaders' \
  --gtest_brief=1
for bits in 24 8; do
  for f in "export$bits.pcx" "export$bits.pct"; do
    [ -f "$out/$f" ] || { echo "no file $f"; exit 1; }
  done
  pcxtoppm "$out/export$bits.pcx" > "$out/pcx$bits.ppm"
  "$IM" "pict:$out/export$bits.pct" -depth 8 "ppm:$out/pict$bits.ppm"
done
python3 - "$out" <<'PY'
import struct, sys
out = sys.argv[1]

def ppm(path):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b'P6' and fields[3] == b'255', path
    return int(fields[1]), int(fields[2]), data[pos + 1:]

def pict_dpi(path):
    data = open(path, 'rb').read()
    op = 566  # after the header, the version opcodes, the default highlight and the clip region
    code = struct.unpack('>H', data[op:op + 2])[0]
    at = {0x9A: op + 2 + 4 + 2 + 8 + 8, 0x98: op + 2 + 2 + 8 + 8}[code]
    h, v = struct.unpack('>II', data[at:at + 8])
    return h >> 16, v >> 16

def pcx_dpi(path):
    return struct.unpack('<HH', open(path, 'rb').read()[12:16])

failed = False
want_w, want_h, want = ppm(f'{out}/want.ppm')
for bits in (24, 8):
    for reader, name, dpi in (('pcxtoppm', f'pcx{bits}', pcx_dpi(f'{out}/export{bits}.pcx')),
                              ('ImageMagick', f'pict{bits}', pict_dpi(f'{out}/export{bits}.pct'))):
        w, h, got = ppm(f'{out}/{name}.ppm')
        error = sum(abs(a - b) for a, b in zip(want, got)) / len(want) if len(got) == len(want) else 999
        ok = (w, h) == (want_w, want_h) and dpi == (240, 240) and (error == 0 if bits == 24 else error <= 4)
        print(f'{name} read by {reader}: {w} x {h}, {dpi[0]} x {dpi[1]} dpi, mean error {error:.2f}'
              + ('' if ok else '  <- wrong'))
        failed = failed or not ok
sys.exit(1 if failed else 0)
PY
