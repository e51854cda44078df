#!/usr/bin/env bash
# Runs a Windows program under Wine: a prefix of the project's own, no debug
# chatter, and a private X server when no display is given.
set -u

here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/wine-env.sh"

source "$here/../tools/xvfb_start.sh"
trap zq_xvfb_stop EXIT
if [ -z "${DISPLAY:-}" ]; then
  zq_xvfb_start 20 || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
fi

wine "$@"
exit $?
