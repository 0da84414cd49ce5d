#!/bin/bash
# Runs every test (or the ctest arguments given) under Wine inside an X server of its own.
# usage: cmake/run-tests.sh <build-dir> [ctest arguments...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1; shift

if [ -z "${PELLORIN_IN_XVFB:-}" ]; then
  export PELLORIN_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$build" "$@"
fi

. "$here/wine-env.sh" "$build"
wineserver -k >/dev/null 2>&1 || true
pellorin_make_prefix
# One server for the whole run, so that each test process starts fast.
pellorin_virtual_desktop

jobs=$(nproc 2>/dev/null || echo 2)
ctest --test-dir "$PELLORIN_BUILD" --output-on-failure --no-tests=error -j "$jobs" "$@"
rc=$?
wineserver -k >/dev/null 2>&1 || true
exit $rc
