#!/usr/bin/env bash
# Runs the fuzzer on one core for SECONDS (default 600), starting from the
# committed seeds. New inputs go to build/fuzz/corpus; crashes and leaks to
# build/fuzz/artifacts. Copy what it finds into tests/fuzz/regressions/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${PIX_BUILD:-$root/build}/fuzz
secs=${1:-600}
bin=$("$root/tests/fuzz/build.sh")
mkdir -p "$out/corpus" "$out/artifacts"
exec "$bin" "$out/corpus" "$root/tests/fuzz/corpus" "$root/tests/fuzz/regressions" \
  -max_total_time="$secs" -max_len=70000 -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$out/artifacts/" -print_final_stats=1
