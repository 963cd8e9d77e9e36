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
wineserver -p
# Start the prefix's background services here, on no pipe: started by the
# first test instead, they inherit ctest's output pipe and ctest waits for
# them until the test times out.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${PIX_XVFB_PID:-}" ] && kill "$PIX_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

jobs=${PIX_TEST_JOBS:-2}
status=0
pix_log "Windows tests (Wine, DISPLAY=$DISPLAY)"
ctest --test-dir "$PIX_BUILD/win64" -j "$jobs" --output-on-failure --no-tests=error "$@" || status=1
if [ -d "$PIX_BUILD/host" ]; then
  pix_log "native tests"
  ctest --test-dir "$PIX_BUILD/host" -j "$jobs" --output-on-failure --no-tests=ignore "$@" || status=1
fi
exit $status
