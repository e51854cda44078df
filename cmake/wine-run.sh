#!/usr/bin/env bash
# Runs a Windows program under Wine: a prefix of the project's own, no debug
# chatter, and a private X server when no display is given.
set -u

export WINEPREFIX="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      DISPLAY= wineboot -i >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi

source "$(dirname "${BASH_SOURCE[0]}")/../tools/xvfb_start.sh"
trap zq_xvfb_stop EXIT
if [ -z "${DISPLAY:-}" ]; then
  zq_xvfb_start 20 || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
fi

wine "$@"
exit $?
