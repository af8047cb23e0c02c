# Sourced by the smoke scripts: on_virtual_display SCREEN COMMAND [ARG...]
# runs COMMAND on a fresh virtual X server whose screen is SCREEN (for
# example 1280x800x24) and returns COMMAND's status.
#
# The server picks a free display number itself and names it only once it
# listens (-displayfd): choosing the number from the lock files in /tmp first,
# as xvfb-run does, races with any other server starting at the same moment.
# The server is not reset when its last client goes (-noreset): the
# sessions start the program several times, and a start that met the reset
# could be turned away. A server that names no display, or that a client
# cannot reach, is stopped
# and another started; so is one that goes away while the command runs, and
# the command runs again. The server's own messages are printed when none
# can be used.
on_virtual_display() {
  local screen="$1"
  shift
  local dir display server attempt status
  dir=$(mktemp -d)
  for attempt in 1 2 3; do
    : > "$dir/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3> "$dir/display" > "$dir/server.log" 2>&1 &
    server=$!
    display=""
    for _ in $(seq 1 300); do
      display=$(head -n 1 "$dir/display")
      [ -n "$display" ] && break
      kill -0 "$server" 2> /dev/null || break
      sleep 0.1
    done
    if [ -n "$display" ] && DISPLAY=":$display" xprop -root > /dev/null 2>&1; then
      status=0
      DISPLAY=":$display" "$@" || status=$?
      # A command that failed because its server went away (ended by
      # something outside the session) says nothing of the program: the
      # whole session runs again on a new server.
      if [ $status -ne 0 ] && [ $attempt -lt 3 ] &&
        ! { kill -0 "$server" 2> /dev/null && DISPLAY=":$display" xprop -root > /dev/null 2>&1; }; then
        echo "virtual X server, try $attempt: display :$display went away during the session; running it again"
        tail -n 5 "$dir/server.log"
        kill "$server" 2> /dev/null || true
        wait "$server" 2> /dev/null || true
        continue
      fi
      kill "$server" 2> /dev/null || true
      wait "$server" 2> /dev/null || true
      rm -rf "$dir"
      return $status
    fi
    echo "virtual X server, try $attempt: ${display:+display :$display }not usable"
    kill "$server" 2> /dev/null || true
    wait "$server" 2> /dev/null || true
  done
  echo "no virtual X server could be used; the last one said:"
  tail -n 20 "$dir/server.log"
  rm -rf "$dir"
  return 1
}
