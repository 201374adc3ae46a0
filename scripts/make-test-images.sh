#!/usr/bin/env bash
# Regenerates the image-file test corpus in tests/data/images/: one small
# picture (13 x 7 unless the variant needs another) per variant the engine's
# readers handle, written by Pillow where it can write the variant and by the
# byte-level writers below where it cannot (RLE bitmaps, bit-field bitmaps,
# 15/16-bit TGA, planar PCX, PSD, metafiles, 16-bit and interlaced PNG).
# Beside each file: NAME.rgba, the pixels a reader must give (RGBA, rows top
# to bottom), and a line in manifest.txt: "name width height tolerance"
# (0 for lossless variants; the largest channel difference allowed for
# JPEG). Expected pixels of Pillow-written files are Pillow's own decode;
# those of hand-written files the pixels they were built from.
#   scripts/make-test-images.sh [output-dir]
# Needs python3 with Pillow (Debian: python3-pil; scripts/install-deps.sh test).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/tests/data/images}"
mkdir -p "$out"
python=/usr/bin/python3
[ -x "$python" ] || python=python3
exec "$python" - "$out" <<'EOF'
import io, os, struct, sys, zlib
from PIL import Image

out = sys.argv[1]
W, H = 13, 7
manifest = []

def pattern(x, y):
    return (20 + x * 16, 30 + y * 30, 128 + (x - y) * 6)

def alpha(x, y):
    return (255, 200, 128, 0, 64)[(x + 2 * y) % 5]

def rgb_pixels(w=W, h=H):
    return [pattern(x, y) for y in range(h) for x in range(w)]

def rgba_pixels(w=W, h=H):
    return [pattern(x, y) + (alpha(x, y),) for y in range(h) for x in range(w)]

def grey(x, y):
    return (x * 19 + y * 11) % 256

# A 16-colour palette and indices that use all of it.
PALETTE16 = [((i * 53) % 256, (i * 97) % 256, (i * 31 + 40) % 256) for i in range(16)]
def index16(x, y):
    return (x + 3 * y) % 16

def save_expected(name, w, h, rgba, tolerance=0):
    with open(os.path.join(out, name + ".rgba"), "wb") as f:
        f.write(bytes(c for p in rgba for c in p))
    manifest.append("%s %d %d %d" % (name, w, h, tolerance))

def pillow_expected(name, tolerance=0, source=None):
    im = Image.open(os.path.join(out, name))
    im.load()
    rgba = list(im.convert("RGBA").getdata())
    if source is not None:
        rgba = source
    save_expected(name, im.width, im.height, rgba, tolerance)

def put(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)

def rgb_image():
    im = Image.new("RGB", (W, H)); im.putdata(rgb_pixels()); return im
def rgba_image():
    im = Image.new("RGBA", (W, H)); im.putdata(rgba_pixels()); return im
def grey_image():
    im = Image.new("L", (W, H)); im.putdata([grey(x, y) for y in range(H) for x in range(W)]); return im
def palette_image(colours=PALETTE16):
    im = Image.new("P", (W, H))
    im.putpalette([c for p in colours for c in p] + [0] * (768 - 3 * len(colours)))
    im.putdata([index16(x, y) for y in range(H) for x in range(W)])
    return im
def mono_image():
    im = Image.new("1", (W, H)); im.putdata([255 if (x * y + x) % 3 else 0 for y in range(H) for x in range(W)]); return im

def pillow(name, im, tolerance=0, **options):
    im.save(os.path.join(out, name), **options)
    pillow_expected(name, tolerance)

# ---- BMP ----
def bmp(name, w, h, bpp, rows, palette=(), compression=0, header=40, masks=(), top_down=False, ppm=0, expected=None):
    pal = b"".join(bytes((b, g, r) + ((0,) if header != 12 else ())) for r, g, b in palette)
    mask_bytes = b"".join(struct.pack("<I", m) for m in masks) if header == 40 else b""
    if header == 12:
        info = struct.pack("<IHHHH", 12, w, h, 1, bpp)
    else:
        info = struct.pack("<IiiHHIIiiII", header, w, -h if top_down else h, 1, bpp, compression, len(rows), ppm, ppm,
                           len(palette), 0)
        extra = b""
        if header >= 52:
            m = list(masks) + [0] * (4 - len(masks))
            extra = struct.pack("<IIII", *m)[: header - 40 if header < 56 else 16]
        if header >= 108:
            extra += struct.pack("<I", 0x73524742) + b"\0" * 48
        if header >= 124:
            extra += b"\0" * 16
        info += extra
    offset = 14 + len(info) + len(mask_bytes) + len(pal)
    data = b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + mask_bytes + pal + rows
    put(name, data)
    save_expected(name, w, h, expected)

def packed_rows(w, h, bpp, value, bottom_up=True):
    rows = []
    for y in range(h):
        bits = "".join(format(value(x, y), "0%db" % bpp) for x in range(w))
        bits += "0" * (-len(bits) % 32)
        rows.append(int(bits, 2).to_bytes(len(bits) // 8, "big"))
    return b"".join(reversed(rows) if bottom_up else rows)

def pal_expected(value, palette, w=W, h=H):
    return [palette[value(x, y)] + (255,) for y in range(h) for x in range(w)]

mono = [(0, 0, 0), (250, 240, 10)]
monov = lambda x, y: (x + y) % 2
bmp("bmp_1bit.bmp", W, H, 1, packed_rows(W, H, 1, monov), mono, expected=pal_expected(monov, mono))
bmp("bmp_4bit.bmp", W, H, 4, packed_rows(W, H, 4, index16), PALETTE16, expected=pal_expected(index16, PALETTE16))
pillow("bmp_8bit.bmp", palette_image())
bmp("bmp_core_8bit.bmp", W, H, 8, packed_rows(W, H, 8, index16), PALETTE16, header=12,
    expected=pal_expected(index16, PALETTE16))
pillow("bmp_24bit.bmp", rgb_image())
def bgr_rows(w, h, bottom_up=True):
    rows = []
    for y in range(h):
        r = b"".join(bytes((b, g, r)) for r, g, b in (pattern(x, y) for x in range(w)))
        rows.append(r + b"\0" * (-len(r) % 4))
    return b"".join(reversed(rows) if bottom_up else rows)
bmp("bmp_24bit_topdown.bmp", W, H, 24, bgr_rows(W, H, False), top_down=True, expected=[p + (255,) for p in rgb_pixels()])
bmp("bmp_24bit_v4.bmp", W, H, 24, bgr_rows(W, H), header=108, ppm=3780, expected=[p + (255,) for p in rgb_pixels()])
# 16-bit: 5-6-5 bit fields and plain 5-5-5.
def sixteen(name, fields):
    rows, expected = [], []
    for y in range(H):
        r = b""
        for x in range(W):
            red, green, blue = pattern(x, y)
            if fields:
                v = (red >> 3) << 11 | (green >> 2) << 5 | blue >> 3
                e = ((v >> 11) * 255 + 15) // 31, (((v >> 5) & 63) * 255 + 31) // 63, ((v & 31) * 255 + 15) // 31
            else:
                v = (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3
                e = ((v >> 10) * 255 + 15) // 31, (((v >> 5) & 31) * 255 + 15) // 31, ((v & 31) * 255 + 15) // 31
            r += struct.pack("<H", v)
            expected.append(e + (255,))
        rows.append(r + b"\0" * (-len(r) % 4))
    exp_rows = [expected[y * W:(y + 1) * W] for y in range(H)]
    bmp(name, W, H, 16, b"".join(reversed(rows)), compression=3 if fields else 0,
        masks=(0xF800, 0x07E0, 0x001F) if fields else (), expected=[p for row in exp_rows for p in row])
sixteen("bmp_16bit_565.bmp", True)
sixteen("bmp_16bit_555.bmp", False)
# 32-bit with an alpha mask in a V5 header.
rows = []
for y in range(H):
    rows.append(b"".join(bytes((b, g, r, a)) for r, g, b, a in (pattern(x, y) + (alpha(x, y),) for x in range(W))))
bmp("bmp_32bit_v5_alpha.bmp", W, H, 32, b"".join(reversed(rows)), compression=3, header=124,
    masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000), expected=rgba_pixels())
# RLE8 and RLE4: runs, absolute runs, end of line, end of bitmap.
def rle8(value, w, h):
    data = b""
    for y in reversed(range(h)):
        row = [value(x, y) for x in range(w)]
        data += bytes((3, row[0])) + bytes((0, w - 3)) + bytes(row[3:]) + (b"\0" if (w - 3) % 2 else b"")
        data += b"\0\0"
    return data + b"\0\1"
rle8v = lambda x, y: index16(0, y) if x < 3 else index16(x, y)
bmp("bmp_rle8.bmp", W, H, 8, rle8(rle8v, W, H), PALETTE16, compression=1, expected=pal_expected(rle8v, PALETTE16))
def rle4(w, h):
    data = b""
    for y in reversed(range(h)):
        a, b = y % 16, (y + 5) % 16
        data += bytes((w, a << 4 | b)) + b"\0\0"
    return data + b"\0\1"
rle4v = lambda x, y: y % 16 if x % 2 == 0 else (y + 5) % 16
bmp("bmp_rle4.bmp", W, H, 4, rle4(W, H), PALETTE16, compression=2, expected=pal_expected(rle4v, PALETTE16))

# ---- PNG ----
pillow("png_rgb.png", rgb_image())
pillow("png_rgba.png", rgba_image())
pillow("png_grey.png", grey_image())
la = Image.merge("LA", (grey_image(), rgba_image().split()[3]))
pillow("png_grey_alpha.png", la)
pillow("png_palette_8bit.png", palette_image())
pillow("png_palette_4bit.png", palette_image(), bits=4)
pillow("png_mono.png", mono_image())
trns = palette_image(); trns.info["transparency"] = bytes([255, 0, 128] + [255] * 13)
pillow("png_palette_trns.png", trns, transparency=bytes([255, 0, 128] + [255] * 13))

def png_chunks(chunks):
    data = b"\x89PNG\r\n\x1a\n"
    for kind, body in chunks:
        data += struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return data

def png_raw(w, h, depth, colour, row_bytes, interlace=False, extra=()):
    ihdr = struct.pack(">IIBBBBB", w, h, depth, colour, 0, 0, 1 if interlace else 0)
    if not interlace:
        raw = b"".join(b"\0" + row_bytes(0, y, 1, w) for y in range(h))
    else:
        raw = b""
        for x0, y0, dx, dy in ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)):
            xs = list(range(x0, w, dx))
            if not xs:
                continue
            for y in range(y0, h, dy):
                raw += b"\0" + row_bytes(x0, y, dx, len(xs))
    return png_chunks([(b"IHDR", ihdr)] + list(extra) + [(b"IDAT", zlib.compress(raw)), (b"IEND", b"")])

def rgb16(x0, y, dx, n):
    return b"".join(struct.pack(">HHH", *(c * 256 + 0x77 for c in pattern(x0 + i * dx, y))) for i in range(n))
def rgba16(x0, y, dx, n):
    return b"".join(struct.pack(">HHHH", *(c * 256 + 0x77 for c in pattern(x0 + i * dx, y) + (alpha(x0 + i * dx, y),)))
                    for i in range(n))
def rgb8(x0, y, dx, n):
    return b"".join(bytes(pattern(x0 + i * dx, y)) for i in range(n))
put("png_rgb_16bit.png", png_raw(W, H, 16, 2, rgb16)); save_expected("png_rgb_16bit.png", W, H, [p + (255,) for p in rgb_pixels()])
put("png_rgba_16bit.png", png_raw(W, H, 16, 6, rgba16)); save_expected("png_rgba_16bit.png", W, H, rgba_pixels())
put("png_rgb_interlaced.png", png_raw(W, H, 8, 2, rgb8, True))
save_expected("png_rgb_interlaced.png", W, H, [p + (255,) for p in rgb_pixels()])
def grey2(x0, y, dx, n):
    bits = "".join(format((x0 + i * dx + y) % 4, "02b") for i in range(n)); bits += "0" * (-len(bits) % 8)
    return int(bits, 2).to_bytes(len(bits) // 8, "big")
put("png_grey_2bit.png", png_raw(W, H, 2, 0, grey2))
save_expected("png_grey_2bit.png", W, H, [(v, v, v, 255) for v in (((x + y) % 4) * 85 for y in range(H) for x in range(W))])
trns_rgb = struct.pack(">HHH", *pattern(0, 0))
put("png_rgb_trns.png", png_raw(W, H, 8, 2, rgb8, extra=[(b"tRNS", trns_rgb)]))
save_expected("png_rgb_trns.png", W, H, [pattern(x, y) + (0 if (x, y) == (0, 0) else 255,) for y in range(H) for x in range(W)])
def grey16(x0, y, dx, n):
    return b"".join(struct.pack(">H", grey(x0 + i * dx, y) * 256 + 200) for i in range(n))
put("png_grey_16bit.png", png_raw(W, H, 16, 0, grey16))
save_expected("png_grey_16bit.png", W, H, [(grey(x, y),) * 3 + (255,) for y in range(H) for x in range(W)])

# ---- JPEG ----
pillow("jpeg_baseline.jpg", rgb_image(), 48, quality=95)
pillow("jpeg_progressive.jpg", rgb_image(), 48, quality=95, progressive=True)
pillow("jpeg_grey.jpg", grey_image(), 24, quality=95)
pillow("jpeg_cmyk_adobe.jpg", rgb_image().convert("CMYK"), 48, quality=95)
# The CMYK file must read as the picture it was made from.
manifest[-1] = manifest[-1]
with open(os.path.join(out, "jpeg_cmyk_adobe.jpg.rgba"), "wb") as f:
    f.write(bytes(c for p in rgb_pixels() for c in p + (255,)))
pillow("jpeg_72dpi.jpg", rgb_image(), 48, quality=90, dpi=(72, 72))
pillow("jpeg_100dpi.jpg", rgb_image(), 48, quality=90, dpi=(100, 100))

# ---- TIFF ----
pillow("tiff_rgb.tif", rgb_image())
pillow("tiff_rgb_lzw.tif", rgb_image(), compression="tiff_lzw")
pillow("tiff_rgba_deflate.tif", rgba_image(), compression="tiff_adobe_deflate")
pillow("tiff_grey_packbits.tif", grey_image(), compression="packbits")
pillow("tiff_palette.tif", palette_image())
pillow("tiff_mono.tif", mono_image())
pillow("tiff_300dpi.tif", rgb_image(), dpi=(300, 300))
g16 = Image.new("I;16", (W, H)); g16.putdata([grey(x, y) * 256 + 77 for y in range(H) for x in range(W)])
g16.save(os.path.join(out, "tiff_grey_16bit.tif"))
save_expected("tiff_grey_16bit.tif", W, H, [(grey(x, y),) * 3 + (255,) for y in range(H) for x in range(W)], 1)

# ---- GIF ----
pillow("gif_palette.gif", palette_image())
gt = palette_image()
pillow("gif_transparent.gif", gt, transparency=2)
big = Image.new("P", (W, 20)); big.putpalette([c for p in PALETTE16 for c in p] + [0] * 720)
big.putdata([(x * y) % 16 for y in range(20) for x in range(W)])
pillow("gif_interlaced.gif", big, interlace=True)

# ---- TGA ----
pillow("tga_rgb.tga", rgb_image())
pillow("tga_rgba.tga", rgba_image())
pillow("tga_rgba_rle_top.tga", rgba_image(), compression="tga_rle", orientation=1)
pillow("tga_rgb_rle.tga", rgb_image(), compression="tga_rle")
pillow("tga_grey.tga", grey_image())
pillow("tga_grey_rle.tga", grey_image(), compression="tga_rle")
pillow("tga_palette.tga", palette_image())
def tga16(name, depth, alpha_bit):
    head = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, W, H, 16 if depth == 16 else 15, 0x20 | (1 if alpha_bit else 0))
    body, expected = b"", []
    for y in range(H):
        for x in range(W):
            r, g, b = pattern(x, y)
            a = 1 if alpha(x, y) >= 128 else 0
            v = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3 | (a << 15 if alpha_bit else 0)
            body += struct.pack("<H", v)
            expected.append(tuple(((c >> 3) * 255 + 15) // 31 for c in (r, g, b)) + ((255 * a) if alpha_bit else 255,))
    put(name, head + body)
    save_expected(name, W, H, expected)
tga16("tga_15bit_top.tga", 15, False)
tga16("tga_16bit_alpha_top.tga", 16, True)

# ---- PCX ----
pillow("pcx_mono.pcx", mono_image())
pillow("pcx_8bit.pcx", palette_image())
pillow("pcx_grey.pcx", grey_image())
pillow("pcx_24bit.pcx", rgb_image())
def pcx_planes():
    bpl = (W + 7) // 8 + ((W + 7) // 8) % 2
    head = bytearray(128)
    head[0:4] = bytes((10, 5, 1, 1))
    struct.pack_into("<HHHHHH", head, 4, 0, 0, W - 1, H - 1, 72, 72)
    head[16:64] = bytes(c for p in PALETTE16 for c in p)
    head[65] = 4
    struct.pack_into("<HH", head, 66, bpl, 1)
    body = b""
    for y in range(H):
        for p in range(4):
            bits = "".join(str((index16(x, y) >> p) & 1) for x in range(W)); bits += "0" * (bpl * 8 - len(bits))
            for byte in int(bits, 2).to_bytes(bpl, "big"):
                body += bytes((0xC1, byte))  # every byte as a run of one
    put("pcx_4bit_planes.pcx", bytes(head) + body)
    save_expected("pcx_4bit_planes.pcx", W, H, pal_expected(index16, PALETTE16))
pcx_planes()

# ---- PSD ----
def packbits(row):
    outb, i = b"", 0
    while i < len(row):
        r = 1
        while i + r < len(row) and r < 128 and row[i + r] == row[i]:
            r += 1
        if r >= 2:
            outb += bytes((257 - r, row[i])); i += r
        else:
            outb += bytes((0, row[i])); i += 1
    return outb

def psd(name, mode, depth, channels, planes, rle, dpi=0):
    resources = b""
    if dpi:
        res = struct.pack(">IHHIHH", dpi << 16, 1, 1, dpi << 16, 1, 1)
        resources = b"8BIM" + struct.pack(">HH", 0x03ED, 0) + struct.pack(">I", len(res)) + res
    head = b"8BPS" + struct.pack(">H6xHIIHH", 1, channels, H, W, depth, mode)
    data = head + struct.pack(">I", 0) + struct.pack(">I", len(resources)) + resources + struct.pack(">I", 0)
    rows = [planes[c][y] for c in range(channels) for y in range(H)]
    if rle:
        packed = [packbits(r) for r in rows]
        data += struct.pack(">H", 1) + b"".join(struct.pack(">H", len(p)) for p in packed) + b"".join(packed)
    else:
        data += struct.pack(">H", 0) + b"".join(rows)
    put(name, data)

def plane(value, depth):
    return [b"".join((struct.pack(">H", value(x, y) * 257) if depth == 16 else bytes((value(x, y),))) for x in range(W))
            for y in range(H)]
chan = [lambda x, y, c=c: pattern(x, y)[c] for c in range(3)]
alp = lambda x, y: alpha(x, y)
psd("psd_rgb_raw.psd", 3, 8, 3, [plane(chan[c], 8) for c in range(3)], False, dpi=150)
save_expected("psd_rgb_raw.psd", W, H, [p + (255,) for p in rgb_pixels()])
psd("psd_rgba_rle.psd", 3, 8, 4, [plane(chan[c], 8) for c in range(3)] + [plane(alp, 8)], True)
save_expected("psd_rgba_rle.psd", W, H, rgba_pixels())
psd("psd_grey_raw.psd", 1, 8, 1, [plane(grey, 8)], False)
save_expected("psd_grey_raw.psd", W, H, [(grey(x, y),) * 3 + (255,) for y in range(H) for x in range(W)])
psd("psd_rgb_16bit_rle.psd", 3, 16, 3, [plane(chan[c], 16) for c in range(3)], True)
save_expected("psd_rgb_16bit_rle.psd", W, H, [p + (255,) for p in rgb_pixels()])
psd("psd_grey_16bit_raw.psd", 1, 16, 1, [plane(grey, 16)], False)
save_expected("psd_grey_16bit_raw.psd", W, H, [(grey(x, y),) * 3 + (255,) for y in range(H) for x in range(W)])

# ---- Metafiles: one bitmap record of a 24-bit bitmap, natural size ----
dib = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, 0, 0, 0, 0, 0) + bgr_rows(W, H)
emf_blit = struct.pack("<II4i12I2i", 81, 80 + len(dib), 0, 0, W - 1, H - 1, 0, 0, 0, 0, W, H, 80, 40, 120, len(dib) - 40,
                       0, 0xCC0020, W, H) + dib
header = struct.pack("<II4i4i4I2H3I4i", 1, 88, 0, 0, W - 1, H - 1, 0, 0, 343, 185, 0x464D4520, 0x10000,
                     88 + len(emf_blit) + 20, 3, 1, 0, 0, 0, 0, 1024, 768, 271, 203)
put("emf_stretchdibits.emf", header + emf_blit + struct.pack("<5I", 14, 20, 0, 16, 20))
save_expected("emf_stretchdibits.emf", W, H, [p + (255,) for p in rgb_pixels()])
params = struct.pack("<IH8h", 0xCC0020, 0, H, W, 0, 0, H, W, 0, 0)[:4] + struct.pack("<9h", 0, H, W, 0, 0, H, W, 0, 0)
blit = params + dib + (b"\0" if len(dib) % 2 else b"")
words = lambda b: len(b) // 2
records = struct.pack("<IHhh", 5, 0x020B, 0, 0) + struct.pack("<IHhh", 5, 0x020C, H, W)
records += struct.pack("<IH", 3 + words(blit), 0x0F43) + blit + struct.pack("<IH", 3, 0)
meta = struct.pack("<HHHIHIH", 1, 9, 0x300, 9 + words(records), 0, 3 + words(blit), 0)
place = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, W, H, 96, 0)
checksum = 0
for i in range(0, 20, 2):
    checksum ^= struct.unpack("<H", place[i:i + 2])[0]
put("wmf_stretchdib.wmf", place + struct.pack("<H", checksum) + meta + records)
save_expected("wmf_stretchdib.wmf", W, H, [p + (255,) for p in rgb_pixels()])

with open(os.path.join(out, "manifest.txt"), "w") as f:
    f.write("# name width height tolerance (made by scripts/make-test-images.sh)\n")
    f.write("\n".join(manifest) + "\n")
print("%d files in %s" % (len(manifest), out))
EOF
