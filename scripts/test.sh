#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test:
# the Windows tests under Wine on a private Xvfb, then the native tests.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pix_install_packages
pix_build

pix_wine_prefix "$PIX_PREFIXES/test"
pix_start_xvfb
# One persistent wineserver for the whole run, so that each test starts quickly.
wineserver -p || true  # already running for this prefix is fine
# Start Wine's session services now, detached from ctest's output pipe: a
# service started by the first test would inherit the pipe and keep ctest
# waiting for it to close.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${PIX_XVFB_PID:-}" ] && kill "$PIX_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

jobs=${PIX_TEST_JOBS:-2}
status=0
passed=0
failed=0
# Runs one ctest tree, keeps its output visible and adds its counts to the totals.
run_ctest() {
  local log
  log=$(mktemp)
  ctest --test-dir "$1" -j "$jobs" --output-on-failure "${@:2}" 2>&1 | tee "$log" || status=1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    local total fail
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    fail=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - fail))
    failed=$((failed + fail))
  fi
  rm -f "$log"
}

pix_log "Windows tests (Wine, DISPLAY=$DISPLAY)"
run_ctest "$PIX_BUILD/win64" --no-tests=error "$@"
if [ -d "$PIX_BUILD/host" ]; then
  pix_log "native tests"
  run_ctest "$PIX_BUILD/host" --no-tests=ignore "$@"
fi
echo "tests: $passed passed, $failed failed"
exit $status
