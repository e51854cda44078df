# A private X server for the Windows tests and the viewer under Wine: one
# start-up shared by tools/run_tests.sh, cmake/wine-run.sh and the
# end-to-end helpers. Sourced, not run.
#
#   zq_xvfb_start [seconds]  starts one, exports DISPLAY; fails if it does not
#                            come up within the given time (default 30)
#   zq_xvfb_stop             stops the one started here; safe to call twice

zq_xvfb_pid=""

zq_xvfb_start() {
  local fifo number
  fifo="$(mktemp -u "${TMPDIR:-/tmp}/zq-xvfb.XXXXXX")"
  mkfifo "$fifo" || return 1
  # -displayfd: the server picks a free display number and writes it here
  # once it accepts clients, so no number is guessed and none is raced for.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  zq_xvfb_pid=$!
  if ! read -r -t "${1:-30}" number <"$fifo"; then
    rm -f "$fifo"
    zq_xvfb_stop
    return 1
  fi
  rm -f "$fifo"
  export DISPLAY=":$number"
}

zq_xvfb_stop() {
  [ -n "$zq_xvfb_pid" ] || return 0
  kill "$zq_xvfb_pid" 2>/dev/null || true
  wait "$zq_xvfb_pid" 2>/dev/null || true
  zq_xvfb_pid=""
}
