#!/usr/bin/env bash
# Photographs every dialog template of PIXRES.DLL as Wine shows it, with the
# owner-drawn buttons painted and long sample texts filled in: one PNG per
# dialog, named <template>-<name>.png.
#
#   scripts/dialog-shots.sh [OUTDIR]      (default: out/dialogs)
#
# Builds the Windows tree if needed, runs on a private Xvfb and its own Wine
# prefix (.wineprefix/gallery), and leaves nothing running.
set -euo pipefail
source "$(dirname "$0")/common.sh"

out=$(realpath -m "${1:-$PIX_ROOT/out/dialogs}")
mkdir -p "$out"

pix_install_packages
PIX_SKIP_HOST=1 PIX_SKIP_WIN32=1 pix_build

pix_wine_prefix "$PIX_PREFIXES/gallery"
# Xvfb has no window manager to draw title bars: let Wine draw its own frames,
# as Windows would, so that the pictures show captions and borders.
if ! grep -q '"Decorated"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
fi
pix_start_xvfb
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${PIX_XVFB_PID:-}" ] && kill "$PIX_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

cd "$PIX_BUILD/win64/bin"
wine dialog_gallery.exe "$(winepath -w "$out")" | tr -d '\r' | while read -r shot; do
  pix_log "wrote $(winepath -u "$shot" 2>/dev/null || echo "$shot")"
done
# The gallery's exit code tells whether every dialog was created and saved.
exit "${PIPESTATUS[0]}"
