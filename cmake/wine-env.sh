# Sourced by the scripts that run Windows programs: the build's own Wine prefix and quiet settings.
# usage: . cmake/wine-env.sh <build-dir>
PELLORIN_BUILD=$(cd "$1" && pwd)
export WINEPREFIX="$PELLORIN_BUILD/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts; a crashing program exits instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export LANG=en_US.UTF-8
export LC_ALL=en_US.UTF-8

# Makes the prefix once: about ten seconds on a new machine.
pellorin_make_prefix() {
  if [ ! -f "$WINEPREFIX/.pellorin-ready" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.pellorin-ready"
  fi
}

# Wine's virtual desktop: without a window manager, showing each top-level window costs two seconds.
# Running `wine reg` already starts the desktop process, and on a new prefix that happens before the
# setting exists, so that session is ended and a persistent one started with the virtual desktop.
# The desktop is started here, with its output discarded: started by the first test instead, it would
# inherit that test's output and keep ctest waiting for it to close.
pellorin_virtual_desktop() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -p
  wine reg query 'HKCU\Software\Wine\Explorer' >/dev/null 2>&1
}
