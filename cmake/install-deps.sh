#!/bin/sh
# Installs the Debian packages the build and the tests need, only when something is missing.
set -eu

missing=""
need() { # need <package> <file-or-command>...
  pkg=$1; shift
  for probe in "$@"; do
    case "$probe" in
      /*) [ -e "$probe" ] && return 0 ;;
      *) command -v "$probe" >/dev/null 2>&1 && return 0 ;;
    esac
  done
  missing="$missing $pkg"
}

need cmake cmake
need make make
need g++-mingw-w64-x86-64-posix x86_64-w64-mingw32-g++-posix
need gcc-mingw-w64-x86-64-posix x86_64-w64-mingw32-gcc-posix
need binutils-mingw-w64-x86-64 x86_64-w64-mingw32-windres
need mingw-w64-tools x86_64-w64-mingw32-widl
need libwine-dev /usr/include/wine/wine/windows/oaidl.idl /usr/include/wine/windows/oaidl.idl
need wine wine
need wine64 /usr/lib/wine/wine64
need xvfb xvfb-run
need xauth xauth
need googletest /usr/src/googletest/CMakeLists.txt
need locales /usr/sbin/locale-gen
need libz-mingw-w64-dev /usr/x86_64-w64-mingw32/include/zlib.h
need imagemagick /usr/bin/convert-im6.q16
# Exported PCX files are read back by netpbm's reader, run natively beside the tests (Debian's netpbm has
# no PICT reader: PICT goes to ImageMagick).
need netpbm pcxtoppm
# libjpeg-turbo and libpng are built from Debian's source packages (cmake/fetch-debian-sources.sh):
# dpkg-source unpacks them, nasm assembles libjpeg-turbo's SIMD code; djpeg and cjpeg check our JPEGs.
need dpkg-dev /usr/bin/dpkg-source
need nasm nasm
need libjpeg-turbo-progs djpeg
need python3 /usr/bin/python3
need python3-olefile /usr/lib/python3/dist-packages/olefile
need ccache ccache
# Real colour profiles for the colour-management tests, and lcms2's tools as the reference converter.
need icc-profiles-free /usr/share/color/icc/sRGB.icc
need colord-data /usr/share/color/icc/colord/AdobeRGB1998.icc
need libgs-common /usr/share/color/icc/ghostscript/default_cmyk.icc
need liblcms2-utils transicc
# Tagged pictures for the import tests are written by exiftool, run natively beside the tests.
need libimage-exiftool-perl exiftool

if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

# Test runs pin the locale; make sure the C library knows it so Wine picks it up.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  if [ -f /etc/locale.gen ] && ! grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'en_US.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null 2>&1 || true
fi
exit 0
