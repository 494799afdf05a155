# Runs one of Ardour's headless tools and tells how it ended, so that the host tests can
# tell Ardour's own crashes from faults of the plug-in under test. Sourced by run.sh and
# load.sh (bash).
#
# Ardour 7.3's headless Lua runner corrupts its own heap in about a third of its runs, with
# no plug-in loaded at all: glibc aborts with stacks in Session::save_state, close_session
# or the export's teardown. Under gdb (when it can run the tool) the stack of the thread
# that crashed is kept, and it decides: a frame in the plug-in's module makes it ours.
#
# guarded_run LOG MODULE SECONDS COMMAND...
#   runs COMMAND for at most SECONDS; sets guard_status (its exit status, 128+signal for a
#   signal) and guard_crash ("" when it ended by itself, else "ours" or "ardour"); its
#   output and, after a crash, the stack of the crashed thread are in LOG.

guard_gdb=""
if command -v gdb >/dev/null && gdb -q -batch -nx -ex run --args /bin/true >/dev/null 2>&1; then
  guard_gdb=$(command -v gdb)
fi

guarded_run() {
  local log="$1" module="$2" seconds="$3"
  shift 3
  guard_crash=""
  if [[ -z "$guard_gdb" ]]; then
    timeout "$seconds" "$@" >"$log" 2>&1
    guard_status=$?
    if ((guard_status > 128)); then
      # No stack to look at: only the words of an abort can say whose it was.
      if grep -q -E 'double free|corrupted|malloc\(\)|free\(\)' "$log"; then
        guard_crash=ardour
      else
        guard_crash=unknown
      fi
    fi
    return 0
  fi
  # The verdict lines of the scripts stay in the log; gdb adds how the run ended. The
  # command goes through a shell that execs it (Ardour's tools are wrapper scripts that
  # exec the real program), and gdb follows the exec.
  timeout "$seconds" "$guard_gdb" -q -batch -nx \
    -ex "set pagination off" -ex "set print thread-events off" \
    -ex "handle SIGPIPE SIGUSR1 SIGUSR2 SIG32 SIG33 SIG34 SIG35 nostop noprint pass" \
    -ex run -ex "echo GUARD-STACK-BEGIN\n" -ex "bt 60" -ex "echo GUARD-STACK-END\n" \
    --args /bin/sh -c 'exec "$0" "$@"' "$@" >"$log" 2>&1
  if [[ $? -eq 124 ]]; then
    guard_status=124  # timed out: a hang is not Ardour's known crash
    return 0
  fi
  if grep -q -E '^\[Inferior 1 \(process [0-9]+\) exited normally\]' "$log"; then
    guard_status=0
  elif grep -q -E '^\[Inferior 1 \(process [0-9]+\) exited with code' "$log"; then
    guard_status=$((8#$(sed -n -E 's/^\[Inferior 1 \(process [0-9]+\) exited with code ([0-7]+)\]/\1/p' "$log" | tail -n 1)))
  else
    local signal
    signal=$(sed -n -E 's/.*received signal (SIG[A-Z0-9]+).*/\1/p' "$log" | tail -n 1)
    guard_status=$((128 + $(kill -l "${signal#SIG}" 2>/dev/null || echo 0)))
    if sed -n '/^GUARD-STACK-BEGIN$/,/^GUARD-STACK-END$/p' "$log" | grep -q -F "$(basename "$module")"; then
      guard_crash=ours
    else
      guard_crash=ardour
    fi
  fi
}

# The stack kept for the last crash, for the test log.
guard_stack() {
  sed -n '/^GUARD-STACK-BEGIN$/,/^GUARD-STACK-END$/p' "$1" | sed '1d;$d' | head -n 40
}
