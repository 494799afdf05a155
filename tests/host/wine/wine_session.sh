# Sourced by the wine test scripts: a throw-away wine prefix on a virtual X display
# (found with xvfb-run -a, so tests run side by side), removed on exit, and the
# check helpers. Needs WINE (set by run_wine.sh).
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
: "${WINE:=wine}"
WINEPREFIX=$(mktemp -d)
work=$(mktemp -d)
out=$work/output.txt
failures=0

wine_cleanup() {
  wineserver -k 2>/dev/null  # this prefix's server holds files open until it exits
  wineserver -w 2>/dev/null
  rm -rf "$WINEPREFIX" "$work"
}
trap wine_cleanup EXIT

# wine_run ARGS...: runs a Windows program under wine on its own virtual display,
# output (CRs removed) in $out.
wine_run() {
  xvfb-run -a -s "-screen 0 1280x1024x24" "$WINE" "$@" 2>&1 | tr -d '\r' >"$out"
}

# expect NAME PATTERN...: every pattern must match a line of $out.
expect() {
  local name=$1
  shift
  for pattern in "$@"; do
    if ! grep -qE -- "$pattern" "$out"; then
      echo "FAIL [$name]: no line matching '$pattern'; the output was:"
      cat "$out"
      failures=$((failures + 1))
      return 1
    fi
  done
  echo "PASS [$name]"
}

# in_order NAME PATTERN...: the patterns match lines of $out in this order.
in_order() {
  local name=$1 from=1 line
  shift
  for pattern in "$@"; do
    line=$(tail -n +"$from" "$out" | grep -nE -m1 -- "$pattern" | cut -d: -f1)
    if [ -z "$line" ]; then
      echo "FAIL [$name]: no line matching '$pattern' after line $from; the output was:"
      cat "$out"
      failures=$((failures + 1))
      return 1
    fi
    from=$((from + line))
  done
  echo "PASS [$name]"
}

wine_finish() {
  [ "$failures" = 0 ] || { echo "$failures check(s) failed"; exit 1; }
  echo "all checks passed"
  exit 0
}
