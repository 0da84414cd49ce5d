#!/bin/bash
# Our named-space profiles read by an outside converter: the test program writes them with its own
# conversions to Debian's sRGB profile, lcms2's transicc converts the same colours, and every channel
# must agree within one level.
set -eu
exe=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! command -v transicc >/dev/null; then
  echo "transicc is missing: profiles not checked (package liblcms2-utils)"; exit 77
fi
PELLORIN_ICC_OUT="Z:${out//\//\\}" wine "$exe" --gtest_filter='ProfileWriter.ProfilesForTheOutsideCheck' --gtest_brief=1
[ -s "$out/expected.txt" ] || { echo "no conversions written"; exit 1; }
bad=0
while read -r id r g b er eg eb; do
  got=$(printf '%s %s %s\n' "$r" "$g" "$b" | transicc -i "$out/space$id.icc" -o /usr/share/color/icc/sRGB.icc -t1 -n 2>/dev/null | tail -1)
  if ! awk -v got="$got" -v want="$er $eg $eb" 'BEGIN { split(got, a, " "); split(want, w, " ");
        for (i = 1; i <= 3; i++) { d = a[i] - w[i]; if (d < 0) d = -d; if (d > 1.5) exit 1 } }'; then
    echo "space $id: ($r $g $b) transicc gives $got, we give $er $eg $eb"; bad=1
  fi
done < <(tr -d '\r' < "$out/expected.txt")
[ $bad -eq 0 ] && echo "transicc agrees on all $(wc -l < "$out/expected.txt") conversions"
exit $bad
