#!/usr/bin/env bash
# End-to-end scenarios of the driver under Wine against camsim on a
# pseudo-terminal. ctest runs one scenario per test, each on its own COM
# port, so scenarios can run side by side in one Wine prefix.
#
#   run-e2e.sh SCENARIO PORT CAMSIM BIN_DIR
#
# The port is mapped by pointing the prefix's dosdevices/comN at a symbolic
# link that camsim makes to its terminal; Wine resolves that at every open,
# so no wineserver restart is needed. camsim is stopped on every exit path.
set -uo pipefail
scenario=$1 port=$2 camsim=$3 bin=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$root/scripts/wine-run
: "${WINEPREFIX:=$root/.wineprefix/test}"
export WINEPREFIX
[ -x "$camsim" ] || { echo "camsim not built at $camsim (build the host tree)"; exit 77; }
[ -d "$WINEPREFIX/dosdevices" ] || { echo "no Wine prefix at $WINEPREFIX"; exit 77; }

work=$(mktemp -d /tmp/hc-e2e-XXXXXX)
com=$WINEPREFIX/dosdevices/com$port
pid=
failures=0
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -f "$com"
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }

start_camsim() {  # camsim options...
  stop_camsim
  "$camsim" --link "$work/tty" "$@" >"$work/camsim.out" 2>"$work/camsim.err" &
  pid=$!
  for _ in $(seq 1 100); do [ -L "$work/tty" ] && break; sleep 0.05; done
  [ -L "$work/tty" ] || { echo "camsim did not start:"; cat "$work/camsim.err"; exit 1; }
  ln -sfn "$work/tty" "$com"
}
stop_camsim() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=; fi
}
make_store() {  # model dir count size
  "$camsim" --model "$1" --make-demo "$2" --demo-count "$3" --demo-size "$4" || exit 1
}
# Console output of Windows programs ends its lines with CR LF.
hcctl() { (cd "$bin" && "$wine_run" hcctl.exe --port "$port" "$@") | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# Runs hcctl expecting failure with a status, within a time limit.
expect_status() {  # status max_seconds hcctl-args...
  local want=$1 limit=$2; shift 2
  local t0=$SECONDS out
  out=$(hcctl "$@" 2>&1) && { fail "hcctl $* succeeded, expected status $want"; return; }
  echo "$out" | grep -q "status $want:" || fail "hcctl $*: expected status $want, got: $out"
  [ $((SECONDS - t0)) -le "$limit" ] || fail "hcctl $* took $((SECONDS - t0)) s (limit $limit s)"
}

# Every picture of the store downloaded by get-all, byte for byte.
check_get_all() {  # model store out
  local model=$1 store=$2 out=$3
  hcctl --model "$model" get-all "$(winpath "$out")" >"$work/get-all.log" 2>&1 || { fail "get-all: $(cat "$work/get-all.log")"; return; }
  local n=0 f rel dest
  while IFS= read -r f; do
    rel=${f#"$store"/}
    if [ "$model" = avena ]; then
      dest=$out/$(basename "$rel")
    else
      dest=$out/${rel/#memory/Memory}
      dest=${dest/#"$out"\/card/$out/Card}
    fi
    cmp -s "$f" "$dest" || fail "get-all: $dest differs from $rel"
    n=$((n + 1))
  done < <(find "$store" -name '*.HCR' | sort)
  [ "$n" -gt 0 ] || fail "get-all: the store was empty"
  [ "$(find "$out" -type f | wc -l)" -eq "$n" ] || fail "get-all: wrote $(find "$out" -type f | wc -l) files for $n pictures"
}

model_type() { case $1 in avena) echo 100 ;; belva) echo 101 ;; cirra) echo 104 ;; esac; }

case $scenario in
  avena | belva | cirra)
    model=$scenario
    make_store "$model" "$work/store" 3 160x120
    start_camsim --model "$model" --storage "$work/store"
    check_get_all "$model" "$work/store" "$work/all"
    # JPEG and BMP of one picture, read by an independent decoder: same size,
    # and the same picture within what JPEG loses.
    hcctl --model "$model" get memory 0 1 "$(winpath "$work/p.jpg")" --format jpg --quality 90 >/dev/null || fail "get jpg"
    hcctl --model "$model" get memory 0 1 "$(winpath "$work/p.bmp")" --format bmp >/dev/null || fail "get bmp"
    hcctl --model "$model" thumb memory 0 1 "$(winpath "$work/t.bmp")" || fail "thumb"
    /usr/bin/python3 - "$work" <<'PY' || fail "independent decoder"
import sys
from PIL import Image, ImageChops, ImageStat
w = sys.argv[1]
j = Image.open(w + "/p.jpg"); j.load()
b = Image.open(w + "/p.bmp").convert("RGB")
t = Image.open(w + "/t.bmp").convert("RGB")
assert j.format == "JPEG" and j.size == b.size == (160, 120), (j.format, j.size, b.size)
diff = ImageStat.Stat(ImageChops.difference(j.convert("RGB"), b)).mean
assert max(diff) < 8, diff
# The thumbnail is the picture made small.
small = b.resize(t.size, Image.BILINEAR)
tdiff = ImageStat.Stat(ImageChops.difference(small, t)).mean
assert max(tdiff) < 20, tdiff
PY
    (cd "$bin" && HC_PORT=$port HC_MODEL=$(model_type "$model") HC_STORE=$(winpath "$work/store") \
       "$wine_run" link_e2e_test.exe --gtest_color=no) || fail "driver tests"
    ;;
  faults)
    # 1 byte in 10,000 corrupted and 1 in 10,000 lost, both ways.
    make_store belva "$work/store" 2 320x240
    start_camsim --model belva --storage "$work/store" --faults corrupt=0.0001,drop=0.0001
    HCCTL_STATS=1 check_get_all belva "$work/store" "$work/all"
    grep -E "link: " "$work/get-all.log" | grep -qvE "0 commands repeated, 0 bytes asked again, 0 bad frames" \
      || fail "the line showed no damage; the fault injection did not work: $(grep link: "$work/get-all.log")"
    # The camera falls silent in the middle of a download.
    start_camsim --model belva --storage "$work/store" --faults silence-after=12000
    expect_status -1006 20 --model belva get memory 0 2 "$(winpath "$work/x.hcr")"
    [ ! -e "$work/x.hcr" ] || fail "a failed download left a file"
    ;;
  absent)
    make_store belva "$work/store" 2 160x120
    # Nothing behind the port at all.
    ln -sfn "$work/nothing-here" "$com"
    expect_status -1002 5 --model belva status
    # A camera that never answers.
    start_camsim --model belva --storage "$work/store" --faults silence-after=0
    expect_status -1002 10 --model belva status
    # Another model than the one asked for.
    start_camsim --model cirra --storage "$work/store"
    expect_status -1019 10 --model belva status
    # No card.
    start_camsim --model belva --storage "$work/store" --no-card
    hcctl --model belva list >"$work/list" || fail "list without card"
    grep -q '^card' "$work/list" && fail "pictures listed on a missing card"
    grep -c '^memory' "$work/list" | grep -qx 2 || fail "memory pictures not listed without card"
    expect_status -1005 10 --model belva get card 0 1 "$(winpath "$work/x.hcr")"
    expect_status -1005 10 --model belva delete card 0 all
    # Full memory: card pictures cannot pass until memory is freed.
    start_camsim --model belva --storage "$work/store" --memory-full
    hcctl --model belva status | grep -qx 'memory-full yes' || fail "status does not show the full memory"
    expect_status -1022 10 --model belva get card 0 1 "$(winpath "$work/x.hcr")"
    hcctl --model belva delete memory 0 1 || fail "delete in a full memory"
    hcctl --model belva get card 0 1 "$(winpath "$work/c.hcr")" >/dev/null || fail "card picture after freeing memory"
    cmp -s "$work/c.hcr" "$work/store/card/CRD00001.HCR" || fail "card picture differs"
    # A line that cannot carry the faster speeds: both ends settle lower.
    start_camsim --model belva --storage "$work/store" --faults max-baud=57600
    hcctl --model belva --speed 2304 status | grep -qx 'speed 57600' || fail "no fallback to 57600"
    hcctl --model belva --speed 2304 get card 0 1 "$(winpath "$work/c2.hcr")" >/dev/null || fail "download after fallback"
    cmp -s "$work/c2.hcr" "$work/store/card/CRD00001.HCR" || fail "download after fallback differs"
    # The Avena's port stops at 115,200.
    start_camsim --model avena --storage "$work/store"
    hcctl --model avena --speed 2304 status | grep -qx 'speed 115200' || fail "the Avena was not held to 115200"
    ;;
  *)
    echo "unknown scenario $scenario"; exit 2 ;;
esac

[ "$failures" -eq 0 ] && echo "scenario $scenario passed" && exit 0
echo "scenario $scenario: $failures failures"
echo "--- camsim said:"; cat "$work/camsim.err" 2>/dev/null | tail -20
exit 1
