#!/bin/bash
# Writes the notices of the libraries built into the program (libjpeg-turbo, libpng, zlib) into one text file
# shipped beside it, from the very sources the build used.
#   write-notices.sh <output file> <libjpeg-turbo source> <libpng source> <zlib copyright file>
set -eu
out=$1 jpeg=$2 png=$3 zlib=$4
section() { # section <title> <file>...
  printf '%s\n%s\n\n' "$1" "$(printf '%*s' ${#1} '' | tr ' ' '=')"
  shift
  for f in "$@"; do
    cat "$f"
    printf '\n\n'
  done
}
{
  echo "Pellorin contains the following libraries, each under its own licence, reproduced below."
  echo
  section "libjpeg-turbo $(cat "$jpeg/.unpacked") (Debian source package)" "$jpeg/LICENSE.md" "$jpeg/README.ijg"
  section "libpng $(cat "$png/.unpacked") (Debian source package)" "$png/LICENSE"
  section "zlib (Debian package libz-mingw-w64-dev)" "$zlib"
} > "$out.tmp"
mv "$out.tmp" "$out"
