# Shared by run.sh, test.sh and the developer scripts. Source it, don't run it.
# Everything here is idempotent: a second call does only what is missing.

PIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PIX_BUILD=${PIX_BUILD:-$PIX_ROOT/build}
PIX_PREFIXES=$PIX_ROOT/.wineprefix

# Debian packages the build, the program and the tests need.
PIX_PACKAGES=(
  cmake ninja-build make g++ git
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  googletest
  wine wine64 fonts-wine
  xvfb xauth x11vnc x11-utils
  imagemagick libtiff-tools libjpeg-turbo-progs
  python3 python3-pil python3-olefile python3-numpy
  clang libclang-rt-14-dev
)

pix_log() { printf '[pixalon] %s\n' "$*" >&2; }

pix_install_packages() {
  local missing=()
  local p
  for p in "${PIX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    pix_log "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  # Installing wine32 makes the wine wrapper pick the 32-bit loader, which this
  # kernel cannot run.
  if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q 'install ok installed'; then
    pix_log "warning: wine32 is installed; 32-bit Wine cannot run here and may break 'wine'"
  fi
}

# Configure and build the Windows, 32-bit Windows and host trees.
pix_build() {
  local jobs=${PIX_JOBS:-$(nproc)}
  cmake -S "$PIX_ROOT" -B "$PIX_BUILD/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PIX_ROOT/cmake/mingw-x86_64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$PIX_ROOT/scripts/wine-run" >/dev/null
  cmake --build "$PIX_BUILD/win64" -j "$jobs"
  if [ "${PIX_SKIP_HOST:-0}" != 1 ]; then
    cmake -S "$PIX_ROOT" -B "$PIX_BUILD/host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DPIX_SANITIZE=ON >/dev/null
    cmake --build "$PIX_BUILD/host" -j "$jobs"
  fi
  if [ "${PIX_SKIP_WIN32:-0}" != 1 ]; then
    cmake -S "$PIX_ROOT" -B "$PIX_BUILD/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$PIX_ROOT/cmake/mingw-i686.cmake" >/dev/null
    cmake --build "$PIX_BUILD/win32" -j "$jobs"
  fi
}

# Wine settings shared by every run. The prefix is the project's own, never ~/.wine.
pix_wine_env() {
  export WINEPREFIX=${1:-$PIX_PREFIXES/run}
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko download prompts, no desktop menu entries.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# Create the prefix on first use; make sure no crash dialog can ever wait for a click.
pix_wine_prefix() {
  pix_wine_env "$1"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    pix_log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Debian's Wine does not look for its own fonts (package fonts-wine) by
  # itself; without them "MS Sans Serif" falls back to a wider font and every
  # dialog comes out larger than on Windows.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  if [ -d /usr/share/wine/fonts ] && [ ! -e "$fonts/sserife.fon" ]; then
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$fonts/"; done
  fi
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
  fi
}

# Start a private Xvfb on a free display number and export DISPLAY.
pix_start_xvfb() {
  local n=${1:-90}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  PIX_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  pix_log "Xvfb did not start on $DISPLAY"
  return 1
}
