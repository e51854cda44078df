#!/usr/bin/env bash
# Keeps one wineserver up across the Windows test suites (a CTest fixture):
#
#   wine-server.sh start PROGRAM   a persistent wineserver, and PROGRAM run
#                                   once with no test so that Wine's own
#                                   processes (desktop, services) come up
#   wine-server.sh stop            ends the server and every process of its prefix
#                                   (of this prefix only)
#
# Without it every suite boots and tears down those processes, and they
# hold the suite's output pipe open for seconds after it ends. They start
# here with their output on /dev/null instead. Only with a display: without
# one each run gets an X server of its own, which the server cannot share.
set -u

here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/wine-env.sh"

[ -n "${DISPLAY:-}" ] || exit 0
case "${1:-}" in
  start)
    # A server still up (an interrupted run's) is kept and simply reused.
    wineserver -p </dev/null >/dev/null 2>&1
    wine "$2" --gtest_filter=-* </dev/null >/dev/null 2>&1
    exit 0
    ;;
  stop)
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    exit 0
    ;;
  *)
    echo "usage: $0 start PROGRAM | stop" >&2
    exit 2
    ;;
esac
