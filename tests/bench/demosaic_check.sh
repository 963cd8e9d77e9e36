#!/usr/bin/env bash
# Bit-for-bit comparison of the demosaicing with its plain reference
# (demosaic_check.cpp), built with SSE2, without it, and with ASan/UBSan.
# Not part of ctest: it takes a while and is for work on the demosaicing.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${PIX_BUILD:-$root/build}/bench
mkdir -p "$out"
src=("$root/hcdrv32/core/demosaic.cpp" "$root/tests/bench/demosaic_check.cpp" "$root/tests/bench/demosaic_reference.cpp")
g++ -std=c++20 -O3 -DNDEBUG -I"$root/hcdrv32" "${src[@]}" -o "$out/demosaic_check"
g++ -std=c++20 -O3 -DNDEBUG -U__SSE2__ -I"$root/hcdrv32" "${src[@]}" -o "$out/demosaic_check_nosse2"
g++ -std=c++20 -O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -I"$root/hcdrv32" "${src[@]}" \
  -o "$out/demosaic_check_asan"
for b in demosaic_check demosaic_check_nosse2 demosaic_check_asan; do
  printf '%-22s ' "$b:"
  "$out/$b"
done
