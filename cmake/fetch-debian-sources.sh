#!/bin/bash
# Fetches Debian source packages with apt and unpacks them (Debian's patches applied), without touching the
# machine's apt configuration: the deb-src sources list, the package lists and the download cache all live
# in <work>/apt. Sources already unpacked are kept, so a rebuild never fetches again.
#   fetch-debian-sources.sh <work folder> <source package>...
# Each package ends up in <work>/src/<source package>. The newest version the archive lists that actually
# downloads is taken: a mirror may list a security release whose files are not there (yet), so the next
# listed version is tried. No version is pinned, so point releases need no change here.
set -eu
work=$1
shift
mkdir -p "$work/src"
work=$(cd "$work" && pwd)

# One fetch at a time per build folder.
exec 9>"$work/.lock"
flock 9

wanted=()
for pkg in "$@"; do
  [ -f "$work/src/$pkg/.unpacked" ] || wanted+=("$pkg")
done
[ ${#wanted[@]} -eq 0 ] && exit 0

for tool in apt-get apt-cache dpkg-source; do
  if ! command -v $tool >/dev/null 2>&1; then
    echo "fetch-debian-sources: $tool is missing (cmake/install-deps.sh installs dpkg-dev)" >&2
    exit 1
  fi
done

apt="$work/apt"
mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
# The machine's own Debian entries, as deb-src: same mirrors and suites as the installed packages.
: > "$apt/sources.list.d/debian-src.list"
shopt -s nullglob
# Only Debian's archive: entries of other vendors' repositories are left out.
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\(.*debian.*\)$/deb-src \1\2/p' "$f" \
    >> "$apt/sources.list.d/debian-src.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
  grep -q '^URIs:.*debian' "$f" || continue
  { sed 's/^Types:.*/Types: deb-src/' "$f"; echo; } > "$apt/sources.list.d/$(basename "$f")"
done
opts=(-o "Dir::Etc::SourceList=$apt/sources.list.d/debian-src.list"
      -o "Dir::Etc::SourceParts=$apt/sources.list.d"
      -o "Dir::State::Lists=$apt/lists"
      -o "Dir::Cache=$apt/cache"
      -o "APT::Sandbox::User=root"
      -o "Acquire::Retries=3")
# Non-root users may read the system's package state but not lock it: apt only downloads here.
[ "$(id -u)" -eq 0 ] || opts+=(-o "Debug::NoLocking=1")

echo "fetch-debian-sources: reading Debian's source lists"
if ! apt-get -qq "${opts[@]}" update; then
  echo "fetch-debian-sources: apt-get update of the deb-src lists failed (network, or no Debian entries in /etc/apt)" >&2
  exit 1
fi

for pkg in "${wanted[@]}"; do
  # Every listed version, newest first by Debian's own ordering.
  versions=""
  for v in $(apt-cache "${opts[@]}" showsrc "$pkg" 2>/dev/null |
    awk -v p="$pkg" '/^Package: /{ok = ($2 == p)} ok && /^Version: /{print $2}' | sort -u); do
    sorted="" placed=""
    for w in $versions; do
      if [ -z "$placed" ] && dpkg --compare-versions "$v" gt "$w"; then sorted="$sorted $v"; placed=1; fi
      sorted="$sorted $w"
    done
    [ -n "$placed" ] || sorted="$sorted $v"
    versions=$sorted
  done
  if [ -z "$versions" ]; then
    echo "fetch-debian-sources: the archive lists no source package $pkg" >&2
    exit 1
  fi
  done_pkg=""
  for v in $versions; do
    tmp="$work/src/.download-$pkg"
    rm -rf "$tmp"
    mkdir -p "$tmp"
    echo "fetch-debian-sources: $pkg $v"
    if (cd "$tmp" && apt-get -qq "${opts[@]}" source --download-only "$pkg=$v" >/dev/null 2>"$tmp.err"); then
      rm -rf "$work/src/$pkg"
      # apt has checked the files against the archive's signed index; dpkg-source's own signature check
      # has no keyring here and only talks, so its chatter is shown when it fails.
      if ! dpkg-source -q -x "$tmp"/*.dsc "$work/src/$pkg" >"$tmp.err" 2>&1; then
        cat "$tmp.err" >&2
        exit 1
      fi
      rm -f "$work/src/"*.orig.tar.*
      echo "$v" > "$work/src/$pkg/.unpacked"
      mkdir -p "$work/src/packages"
      mv "$tmp"/* "$work/src/packages/"
      rm -rf "$tmp" "$tmp.err"
      done_pkg=1
      break
    fi
    echo "fetch-debian-sources: $pkg $v did not download: $(grep -m1 'E:' "$tmp.err" || true)" >&2
  done
  if [ -z "$done_pkg" ]; then
    echo "fetch-debian-sources: no listed version of $pkg could be downloaded" >&2
    exit 1
  fi
done
