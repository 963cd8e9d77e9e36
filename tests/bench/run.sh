#!/usr/bin/env bash
# Benchmarks of the portable core (not part of ctest). Builds bench_core
# natively with the library's own optimisation, converts the Kodak pictures to
# PPM, prints demosaicing quality, lossless size, decode and JPEG speeds, and
# compares the JPEG encoder with cjpeg (libjpeg-turbo, SIMD off) on the same
# 1280 x 960 picture: file size, RGB PSNR, encoding speed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${PIX_BUILD:-$root/build}/bench
kodak=${PIX_KODAK:-/work/shared/testimages/kodak}
mkdir -p "$out/kodak"
g++ -std=c++20 -O3 -DNDEBUG -I"$root/hcdrv32" "$root"/hcdrv32/core/*.cpp "$root/tests/bench/bench_core.cpp" "$root/tests/core/test_images.cpp" \
  -o "$out/bench_core"
/usr/bin/python3 - "$kodak" "$out/kodak" <<'PY'
import glob, os, sys
from PIL import Image
for f in sorted(glob.glob(os.path.join(sys.argv[1], "*.png"))):
    dst = os.path.join(sys.argv[2], os.path.basename(f)[:-4] + ".ppm")
    if not os.path.exists(dst):
        Image.open(f).convert("RGB").save(dst)
PY
"$out/bench_core" "$out/kodak" "$out"

# The same picture through hcrtool's encoder and through cjpeg.
tool=${HCRTOOL:-$root/build/host/bin/hcrtool}
/usr/bin/python3 - "$tool" "$out" <<'PY'
import io, os, subprocess, sys, time
import numpy as np
from PIL import Image
tool, out = sys.argv[1], sys.argv[2]
ppm = os.path.join(out, "cirra.ppm")
ref = np.asarray(Image.open(ppm), dtype=np.float64)
def psnr(path):
    im = np.asarray(Image.open(path).convert("RGB"), dtype=np.float64)
    return 10 * np.log10(255.0 ** 2 / ((im - ref) ** 2).mean())
# hcrtool encodes the decoded picture; hand cjpeg the same pixels.
dec = os.path.join(out, "decoded.ppm")
subprocess.run([tool, "decode", os.path.join(out, "cirra.HCR"), dec], check=True)
ref = np.asarray(Image.open(dec), dtype=np.float64)
env = dict(os.environ, JSIMD_FORCENONE="1")
print(f"{'quality':>7} {'ours bytes':>11} {'cjpeg bytes':>11} {'size':>7} {'ours dB':>8} {'cjpeg dB':>8} {'cjpeg MP/s (incl. start-up)':>28}")
for q in (75, 90, 100):
    ours = os.path.join(out, f"ours{q}.jpg")
    theirs = os.path.join(out, f"cjpeg{q}.jpg")
    subprocess.run([tool, "decode", "--quality", str(q), os.path.join(out, "cirra.HCR"), ours], check=True)
    subprocess.run(["cjpeg", "-quality", str(q), "-outfile", theirs, dec], check=True, env=env)
    best = 1e9
    for _ in range(7):
        t = time.perf_counter()
        subprocess.run(["cjpeg", "-quality", str(q), "-outfile", os.devnull, dec], check=True, env=env)
        best = min(best, time.perf_counter() - t)
    a, b = os.path.getsize(ours), os.path.getsize(theirs)
    print(f"{q:>7} {a:>11} {b:>11} {100.0 * (a - b) / b:>+6.2f}% {psnr(ours):>8.3f} {psnr(theirs):>8.3f} {1.2288 / best:>28.1f}")
PY
