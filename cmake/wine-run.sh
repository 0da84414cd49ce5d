#!/bin/sh
# Runs a Windows program under Wine with the build's own prefix and quiet settings.
# WINEPREFIX may be set by the caller; otherwise the prefix beside the build folder is used.
: "${WINEPREFIX:=${PELLORIN_WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
exec wine "$@"
