#!/bin/bash
# Starts Pellorin.exe under Wine: on the user's display, or in an X server of its own when there is none.
# usage: cmake/run-program.sh <build-dir> [program arguments...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1; shift

if [ -z "${DISPLAY:-}" ] && [ -z "${PELLORIN_IN_XVFB:-}" ]; then
  export PELLORIN_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$build" "$@"
fi

. "$here/wine-env.sh" "$build"
pellorin_make_prefix
wine regsvr32 /s "$PELLORIN_BUILD/bin/zvkLUT.ocx"
exec wine "$PELLORIN_BUILD/bin/Pellorin.exe" "$@"
