#!/usr/bin/python3
"""hcrtool end to end, checked by independent readers (PIL, djpeg).

usage: hcrtool_check.py HCRTOOL PICTURE.png
"""
import io
import os
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image

TOOL, SOURCE = sys.argv[1], sys.argv[2]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True)


def psnr(a, b, border=4):
    a = np.asarray(a, dtype=np.float64)[border:-border, border:-border]
    b = np.asarray(b, dtype=np.float64)[border:-border, border:-border]
    mse = ((a - b) ** 2).mean()
    return 99.0 if mse == 0 else 10 * np.log10(255.0**2 / mse)


with tempfile.TemporaryDirectory() as tmp:
    p = lambda name: os.path.join(tmp, name)
    src = Image.open(SOURCE).convert("RGB")
    src.save(p("in.ppm"))
    src.save(p("in.bmp"))

    r = run("make", "--model", "cirra", "--name", "TRIP0042.HCR", "--date", "2003-11-30T23:59:58",
            "--exposure-us", "2500", "--fnumber", "4.5", "--flash", "--zoom", "3", "--distance-mm", "1200",
            p("in.ppm"), p("a.HCR"))
    check(r.returncode == 0, f"make: {r.stderr}")
    info = run("info", p("a.HCR")).stdout
    for line in ("model: Cirra (104)", f"size: {src.width}x{src.height}", "name: TRIP0042.HCR",
                 "date: 2003-11-30T23:59:58", "exposure: 2500 us", "f-number: 4.5", "flash: yes",
                 "zoom: 3 (focal length 77 mm)", "thumbnail: 160x120"):
        check(line in info.splitlines(), f"info lacks '{line}':\n{info}")

    # BMP input and the PPM input make the same file.
    r = run("make", "--model", "cirra", "--name", "TRIP0042.HCR", "--date", "2003-11-30T23:59:58",
            "--exposure-us", "2500", "--fnumber", "4.5", "--flash", "--zoom", "3", "--distance-mm", "1200",
            p("in.bmp"), p("b.HCR"))
    check(r.returncode == 0 and open(p("a.HCR"), "rb").read() == open(p("b.HCR"), "rb").read(),
          "BMP and PPM inputs differ")

    check(run("thumb", p("a.HCR"), p("t.bmp")).returncode == 0, "thumb")
    thumb = Image.open(p("t.bmp")).convert("RGB")
    check(thumb.size == (160, 120), f"thumbnail size {thumb.size}")
    want = src.resize((160, 120), Image.Resampling.BOX)
    check(psnr(thumb, want, 1) > 35, f"thumbnail differs from a box downscale: {psnr(thumb, want, 1):.1f} dB")

    for ext in ("bmp", "ppm"):
        check(run("decode", p("a.HCR"), p("d." + ext)).returncode == 0, "decode " + ext)
    dec = Image.open(p("d.bmp")).convert("RGB")
    check(dec.size == src.size, "decoded size")
    check(np.array_equal(np.asarray(dec), np.asarray(Image.open(p("d.ppm")))), "BMP and PPM outputs differ")
    q = psnr(dec, src)
    check(q > 38, f"decoded picture too far from the original: {q:.2f} dB")

    last = 0
    for quality in (75, 90, 100):
        out = p(f"q{quality}.jpg")
        check(run("decode", "--quality", str(quality), p("a.HCR"), out).returncode == 0, f"jpeg {quality}")
        im = Image.open(out)
        im.load()
        check(im.format == "JPEG" and im.size == src.size, f"PIL reads q{quality}")
        jq = psnr(im.convert("RGB"), dec)
        check(jq > last, f"q{quality} not better than the quality below: {jq:.2f}")
        last = jq
        dj = subprocess.run(["djpeg", "-ppm", out], capture_output=True)
        check(dj.returncode == 0 and dj.stdout[:2] == b"P6", f"djpeg reads q{quality}: {dj.stderr!r}")
        djim = Image.open(io.BytesIO(dj.stdout))
        check(djim.size == src.size, "djpeg size")
        exif = im.getexif()
        sub = exif.get_ifd(0x8769)
        check(exif.get(0x010F) == "Tellan Halcyra Company", f"Make {exif.get(0x010F)!r}")
        check(exif.get(0x0110) == "Cirra", f"Model {exif.get(0x0110)!r}")
        check(exif.get(0x0132) == "2003:11:30 23:59:58", "DateTime")
        check(sub.get(0x9003) == "2003:11:30 23:59:58", "DateTimeOriginal")
        check(abs(float(sub.get(0x829A, 0)) - 0.0025) < 1e-9, f"ExposureTime {sub.get(0x829A)}")
        check(abs(float(sub.get(0x829D, 0)) - 4.5) < 1e-9, f"FNumber {sub.get(0x829D)}")
        check(sub.get(0x9209) == 1, f"Flash {sub.get(0x9209)}")
        check(abs(float(sub.get(0x920A, 0)) - 77) < 1e-9, f"FocalLength {sub.get(0x920A)}")
    check(last > 40, f"quality 100 only {last:.2f} dB")

    # A Belva at zoom position 7 has no focal length; an Avena has no zoom at all.
    run("make", "--model", "belva", "--zoom", "7", p("in.ppm"), p("belva.HCR"))
    run("decode", p("belva.HCR"), p("belva.jpg"))
    sub = Image.open(p("belva.jpg")).getexif().get_ifd(0x8769)
    check(0x920A not in sub and sub.get(0x9209) == 0, f"Belva zoom 7: {dict(sub)}")

    run("make", "--size", "camera", "--model", "avena", p("in.ppm"), p("avena.HCR"))
    check("size: 640x480" in run("info", p("avena.HCR")).stdout, "--size camera")

    # Bad input: non-zero exit and a single line on stderr.
    data = open(p("a.HCR"), "rb").read()
    open(p("cut.HCR"), "wb").write(data[: len(data) // 2])
    flipped = bytearray(data)
    flipped[len(data) // 2] ^= 4
    open(p("flip.HCR"), "wb").write(flipped)
    open(p("junk.ppm"), "wb").write(b"P6\n10 10\n255\n" + b"\0" * 20)
    for args in (("decode", p("cut.HCR"), p("x.bmp")), ("info", p("flip.HCR")), ("decode", p("flip.HCR"), p("x.jpg")),
                 ("info", p("missing.HCR")), ("make", p("junk.ppm"), p("x.HCR")),
                 ("make", "--model", "belva", "--name", "TWELVECHARSX", p("in.ppm"), p("x.HCR")),
                 ("make", "--zoom", "8", p("in.ppm"), p("x.HCR")), ("decode", p("a.HCR"), p("x.gif")),
                 ("frobnicate",)):
        r = run(*args)
        lines = r.stderr.strip().splitlines()
        check(r.returncode != 0 and len(lines) == 1 and lines[0].startswith("hcrtool: "),
              f"{args[0]} {os.path.basename(args[-1])}: exit {r.returncode}, stderr {r.stderr!r}")
    check(not os.path.exists(p("x.bmp")) and not os.path.exists(p("x.HCR")), "output written on failure")

sys.exit(1 if failures else 0)
