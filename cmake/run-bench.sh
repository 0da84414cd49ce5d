#!/bin/bash
# Runs every benchmark program of bench/ under Wine and prints its figures.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1; shift
if [ -z "${PELLORIN_IN_XVFB:-}" ]; then
  export PELLORIN_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$build" "$@"
fi
. "$here/wine-env.sh" "$build"
pellorin_make_prefix
shopt -s nullglob
benches=("$PELLORIN_BUILD"/bench/*.exe)
if [ ${#benches[@]} -eq 0 ]; then
  echo "No benchmark programs yet."
  exit 0
fi
rc=0
for b in "${benches[@]}"; do
  echo "== $(basename "$b")"
  wine "$b" "$@" || rc=1
done
exit $rc
