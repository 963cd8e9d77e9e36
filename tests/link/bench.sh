#!/usr/bin/env bash
# Link throughput benchmark (not run by ctest): camsim paces its bytes at
# the line rate (8N1: 10 bits a byte) and hcctl downloads one full-size
# Cirra picture at 115,200 and 230,400 baud. Prints the payload bytes per
# second as a share of the line's byte rate; the goal is at least 97 %.
#
#   tests/link/bench.sh [BUILD_DIR]     (default: build; needs build/host and build/win64)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
source "$root/scripts/common.sh"
pix_wine_env "$PIX_PREFIXES/test"
[ -f "$WINEPREFIX/system.reg" ] || pix_wine_prefix "$WINEPREFIX"
camsim=$build/host/bin/camsim
bin=$build/win64/bin
port=12
work=$(mktemp -d /tmp/hc-bench-XXXXXX)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -f "$WINEPREFIX/dosdevices/com$port"; rm -rf "$work"; }
trap cleanup EXIT

"$camsim" --model cirra --make-demo "$work/store" --demo-count 1
size=$(stat -c %s "$work/store/memory/PIC00001.HCR")
"$camsim" --model cirra --storage "$work/store" --pace --link "$work/tty" >/dev/null 2>"$work/camsim.err" &
pid=$!
for _ in $(seq 1 100); do [ -L "$work/tty" ] && break; sleep 0.05; done
ln -sfn "$work/tty" "$WINEPREFIX/dosdevices/com$port"

echo "picture: $size bytes"
for speed in 1152 2304; do
  out=$(cd "$bin" && HCCTL_STATS=1 "$root/scripts/wine-run" hcctl.exe --port $port --model cirra --speed $speed \
          get memory 0 1 'Z:'"${work//\//\\}"'\p.hcr' 2>&1 | tr -d '\r')
  cmp -s "$work/p.hcr" "$work/store/memory/PIC00001.HCR" || { echo "download differs"; exit 1; }
  rate=$(echo "$out" | sed -n 's/.*: \([0-9]*\) bytes\/s$/\1/p')
  awk -v r="$rate" -v b="$speed" 'BEGIN { line = b * 100 / 10; printf "%6d baud: %7d payload bytes/s of %6d line bytes/s = %.1f %%\n", b * 100, r, line, 100 * r / line }'
  echo "$out" | grep 'link:' | sed 's/^/        /'
done
