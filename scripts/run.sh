#!/usr/bin/env bash
# Installs what is missing, builds everything and opens Pixalon under Wine.
# Without a usable display it starts Xvfb with a VNC server on localhost.
set -euo pipefail
source "$(dirname "$0")/common.sh"

pix_install_packages
PIX_SKIP_WIN32=1 pix_build
pix_wine_prefix "$PIX_PREFIXES/run"

# The demo camera: camsim plays a camera with its demo pictures (PIXALON_CAMERA:
# avena, belva or cirra, default cirra) on COM1. Wine maps COM1 to camsim's
# terminal through HKLM\Software\Wine\Ports, read when the wineserver starts.
camera_link=$WINEPREFIX/camera-com1
if ! grep -qF "\"COM1\"=\"$camera_link\"" "$WINEPREFIX/system.reg"; then
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$camera_link" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
fi
"$PIX_BUILD/host/bin/camsim" --model "${PIXALON_CAMERA:-cirra}" --demo --link "$camera_link" >/dev/null \
  2>"$PIX_BUILD/camsim.log" &
camsim_pid=$!
pix_stop_camera() { kill "$camsim_pid" 2>/dev/null || true; }
trap pix_stop_camera EXIT
for _ in $(seq 1 300); do [ -L "$camera_link" ] && break; sleep 0.1; done

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  pix_start_xvfb 50
  vncport=5900
  while ss -ltn 2>/dev/null | grep -q ":$vncport "; do vncport=$((vncport + 1)); done
  x11vnc -display "$DISPLAY" -localhost -rfbport "$vncport" -forever -shared -nopw -quiet -bg \
         -o /tmp/pixalon-x11vnc.log >/dev/null 2>&1
  pix_log "No display was available: Pixalon runs on a virtual screen ($DISPLAY)."
  pix_log "Connect a VNC viewer to localhost:$vncport (for example: vncviewer localhost:$vncport)."
  pix_log "From another machine: ssh -L $vncport:localhost:$vncport this-host, then connect to localhost:$vncport."
  trap 'pix_stop_camera; kill $PIX_XVFB_PID 2>/dev/null; pkill -f "x11vnc -display $DISPLAY" 2>/dev/null || true' EXIT
fi

cd "$PIX_BUILD/win64/bin"
pix_log "starting Pixalon"
wine pixalon.exe
