#!/usr/bin/env bash
# One run of tools/measure_idle.sh: the program started on an X server of
# its own (and the Wine prefix in ZQ_WINEPREFIX), left alone while its
# window is open, and the time its threads spent on a processor measured
# (nanoseconds from /proc/PID/task/*/schedstat, not the clock tick's
# samples), with its Wine server's time over the same spell.
#
#   measure_idle_run.sh EXE SECONDS SYNC PEERS DRIVER [program arguments]
#
# SYNC is a directory shared by PEERS runs started together: each says
# there that its window is up, and all begin to measure once every one has,
# so that they measure the same spell of the machine. Prints one line:
# "NANOSECONDS WINESERVER_NANOSECONDS DRIVER IN USE". With ZQ_IDLE_THREADS
# naming a file, each thread's share goes there too, one "TID NANOSECONDS"
# line per thread in the order they were made (the first is the program's
# own thread).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source tools/measure_lib.sh

[ $# -ge 5 ] || { echo "usage: $0 exe seconds sync peers driver [arguments]" >&2; exit 2; }
# shellcheck disable=SC2034  # read by measure_start
measure_exe="$1"
seconds="$2"
sync="$3"
peers="$4"
shift 4
wineprefix="${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zq-wineprefix}"

# "TID NANOSECONDS" per thread of a process, the time each spent running.
thread_times() {
  local task ns
  for task in /proc/"$1"/task/*; do
    read -r ns _ <"$task/schedstat" 2>/dev/null && echo "${task##*/} $ns"
  done
}

# Nanoseconds the process's threads ran between two thread_times lists: a
# thread that came later counts whole, one that ended is not seen (an idle
# program keeps its threads).
ran_between() {
  awk 'NR == FNR { before[$1] = $2; next } { total += $2 - (($1 in before) ? before[$1] : 0) }
       END { printf "%d", total }' <(echo "$1") <(echo "$2")
}

# The Wine server of our prefix works in a directory named server-DEV-INODE
# after the prefix directory.
wineserver_pid() {
  local dir pid
  dir="$(printf 'server-%x-%x' "$(stat -c %d "$wineprefix")" "$(stat -c %i "$wineprefix")")"
  for pid in $(pgrep -x 'wineserver(32|64)?'); do
    [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$dir" ] && echo "$pid" && return
  done
}

# The same per thread: "TID NANOSECONDS", by thread id.
ran_per_thread() {
  awk 'NR == FNR { before[$1] = $2; next } { printf "%s %d\n", $1, $2 - (($1 in before) ? before[$1] : 0) }' \
    <(echo "$1") <(echo "$2") | sort -n
}

measure_start_x >/dev/null
measure_start "$@" >/dev/null
touch "$sync/ready.$$"
for _ in $(seq 1 3000); do
  [ "$(find "$sync" -name 'ready.*' | wc -l)" -ge "$peers" ] && break
  sleep 0.1
done
server="$(wineserver_pid)"
before="$(thread_times "$measure_pid")"
server_before="$([ -n "$server" ] && thread_times "$server")"
sleep "$seconds"
after="$(thread_times "$measure_pid")"
server_after="$([ -n "$server" ] && thread_times "$server")"
measure_stop
[ -n "${ZQ_IDLE_THREADS:-}" ] && ran_per_thread "$before" "$after" >"$ZQ_IDLE_THREADS"
echo "$(ran_between "$before" "$after") $(ran_between "$server_before" "$server_after") $measure_used"
