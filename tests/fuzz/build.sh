#!/usr/bin/env bash
# Builds the libFuzzer target of the .HCR reader and decoder (host only, clang).
#   tests/fuzz/build.sh            -> build/fuzz/hcr_fuzz
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${PIX_BUILD:-$root/build}/fuzz
mkdir -p "$out"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/hcdrv32" "$root"/hcdrv32/core/*.cpp "$root/tests/fuzz/hcr_fuzz.cpp" -o "$out/hcr_fuzz"
echo "$out/hcr_fuzz"
