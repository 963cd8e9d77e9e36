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

# Whatever ends this script (the program's end, Ctrl-C, a kill) takes the
# camera, the program and the virtual screen with it.
cleanup() {
  kill "$camsim_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  if [ -n "${vnc_pid:-}" ]; then kill "$vnc_pid" 2>/dev/null || true; fi
  if [ -n "${PIX_XVFB_PID:-}" ]; then kill "$PIX_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
for _ in $(seq 1 300); do [ -L "$camera_link" ] && break; sleep 0.1; done

launch=(wine pixalon.exe)
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  pix_start_xvfb 50
  vncport=5900
  while ss -ltn 2>/dev/null | grep -q ":$vncport "; do vncport=$((vncport + 1)); done
  x11vnc -display "$DISPLAY" -localhost -rfbport "$vncport" -forever -shared -nopw -quiet \
         -o /tmp/pixalon-x11vnc.log >/dev/null 2>&1 &
  vnc_pid=$!
  # A virtual screen has no window manager: Wine's own desktop window draws
  # the title bars and frames, so windows can be moved and closed as usual.
  launch=(wine explorer /desktop=Pixalon,1280x1024 pixalon.exe)
  pix_log "No display was available: Pixalon runs on a virtual screen ($DISPLAY)."
  pix_log "Connect a VNC viewer to localhost:$vncport (for example: vncviewer localhost:$vncport)."
  pix_log "From another machine: ssh -L $vncport:localhost:$vncport this-host, then connect to localhost:$vncport."
fi

cd "$PIX_BUILD/win64/bin"
pix_log "starting Pixalon"
# In the background with a wait, so that a signal reaches the cleanup at once.
"${launch[@]}" &
wait $!
