#!/usr/bin/env bash
# Installs what is missing, builds everything and opens Pixalon under Wine.
# Without a usable display it starts Xvfb with a VNC server on localhost.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pix_install_packages
PIX_SKIP_WIN32=1 pix_build
pix_wine_prefix "$PIX_PREFIXES/run"

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  pix_start_xvfb 50
  vncport=5900
  while ss -ltn 2>/dev/null | grep -q ":$vncport "; do vncport=$((vncport + 1)); done
  x11vnc -display "$DISPLAY" -localhost -rfbport "$vncport" -forever -shared -nopw -quiet -bg \
         -o /tmp/pixalon-x11vnc.log >/dev/null 2>&1
  pix_log "No display was available: Pixalon runs on a virtual screen ($DISPLAY)."
  pix_log "Connect a VNC viewer to localhost:$vncport (for example: vncviewer localhost:$vncport)."
  pix_log "From another machine: ssh -L $vncport:localhost:$vncport this-host, then connect to localhost:$vncport."
  trap 'kill $PIX_XVFB_PID 2>/dev/null; pkill -f "x11vnc -display $DISPLAY" 2>/dev/null || true' EXIT
fi

cd "$PIX_BUILD/win64/bin"
pix_log "starting Pixalon"
wine pixalon.exe
