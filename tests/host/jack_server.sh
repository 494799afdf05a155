# A private JACK server for the GUI host tests (ardour/gui.sh, lv2/jalv_ui_check.sh).
# Sourced after fail() and start() are defined; defines only.
#
# JACK keeps a machine-wide registry of servers in /dev/shm with room for eight. A server
# that ends without unregistering (killed by a timeout, a crash) keeps its slot until a
# server of the same name starts again, and test servers have names of their own, so on a
# machine that runs these tests often the registry fills up and every new server fails with
# "Too many servers already active". Run in a mount namespace of their own with a fresh
# /dev/shm, the test's server, its clients and their sockets see only each other.

# Runs the calling script again inside a private mount namespace with an empty /dev/shm,
# when the machine allows it (root, or unprivileged user namespaces); otherwise returns
# and the script goes on with the shared /dev/shm. Call as: jack_private_shm "$0" "$@".
jack_private_shm() {
  local script="$1"
  shift
  [[ -n "${VIRLEX_PRIVATE_SHM:-}" ]] && return 0
  local inner='mount -t tmpfs -o mode=1777 virlex-shm /dev/shm && exec "$@"'
  local way
  for way in "unshare --mount" "unshare --mount --map-root-user"; do
    # shellcheck disable=SC2086
    if $way sh -c "$inner" sh true 2>/dev/null; then
      export VIRLEX_PRIVATE_SHM=1
      # shellcheck disable=SC2086
      exec $way sh -c "$inner" sh bash "$script" "$@"
    fi
  done
  echo "note: no private /dev/shm here (unshare is not allowed); the JACK server shares the machine's"
}

# On a busy machine JACK 1.9.21 loses its footing on the notification a client sends after
# setting port metadata (Ardour names its ports with "http://jackaudio.org/metadata/pretty-name"):
# the server reads the key's text as requests ("CheckSize error", "Unknown request ...") and
# closes the client, which Ardour reports as "JACK HALTED". Where the server is private, its
# metadata store is made impossible to open, so clients send no such notification (they only
# lose pretty names, which nothing here looks at).
jack_no_metadata() {
  [[ -n "${VIRLEX_PRIVATE_SHM:-}" ]] || return 0
  local store="/dev/shm/jack_db-$(id -u)"
  [[ -e "$store" ]] || : >"$store"
}

# Starts a JACK server on its dummy driver (no sound card, no real-time scheduling: a test
# machine grants neither) and waits until clients can connect to it.
# Usage: jack_start_dummy NAME RATE PERIOD LOG
jack_start_dummy() {
  local name="$1" rate="$2" period="$3" log="$4"
  export JACK_DEFAULT_SERVER="$name" JACK_NO_AUDIO_RESERVATION=1
  jack_no_metadata
  start jackd -r -n "$name" -d dummy -r "$rate" -p "$period" >"$log" 2>&1
  local pid=${pids[-1]}
  for _ in $(seq 150); do
    jack_lsp >/dev/null 2>&1 && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  jack_lsp >/dev/null 2>&1 || fail "the JACK server did not start: $(grep -v -e '^Copyright' -e '^jackdmp' -e 'WARRANTY' -e 'conditions' "$log" | tail -n 2 | tr '\n' ' ')"
}
