#!/usr/bin/env bash
# Makes docs/contact-sheet.png: every catalogue filter (as `paloran filters`
# lists them) applied by `paloran filter` to one photo-like test picture
# (gradients, shapes and grain, generated here), tiled with the names as
# labels. Names the engine does not run yet show the picture unchanged.
#   scripts/contact-sheet.sh [path/to/paloran]   (default: build/paloran)
# Needs ImageMagick's montage (a documentation-only dependency; installed
# with apt-get when missing) and python3.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
paloran="${1:-$root/build/paloran}"
[ -x "$paloran" ] || { echo "contact-sheet: no paloran at $paloran (scripts/build.sh release first)" >&2; exit 1; }
montage_bin="$(command -v montage || true)"
if [ -z "$montage_bin" ]; then
  if [ "$(id -u)" = 0 ]; then apt-get install -y imagemagick >/dev/null; else sudo apt-get install -y imagemagick >/dev/null; fi
  montage_bin="$(command -v montage)"
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The test picture: a sky gradient, a sun, hills, a house, a tree and grain.
python3 - "$work/picture.png" <<'PY'
import math, random, struct, sys, zlib
W, H = 240, 180
random.seed(5)
px = bytearray()
def inside_house(x, y): return 140 <= x < 200 and 95 <= y < 145
def inside_roof(x, y): return 130 <= x < 210 and 65 <= y < 95 and abs(x - 170) <= (y - 65) * 40 / 30
for y in range(H):
    px.append(0)  # filter byte of the row
    for x in range(W):
        t = y / H
        r, g, b = 70 + 120 * t, 130 + 80 * t, 230 - 40 * t                  # sky
        if math.hypot(x - 60, y - 45) < 22: r, g, b = 255, 215, 90           # sun
        hill = 120 + 18 * math.sin(x / 23.0) + 10 * math.sin(x / 9.0 + 1)
        if y > hill: r, g, b = 40 + 0.3 * (y - hill), 120 - 0.2 * (y - hill), 50   # grass
        if inside_house(x, y): r, g, b = 200, 170, 140
        if 160 <= x < 178 and 115 <= y < 145: r, g, b = 90, 50, 30           # door
        if inside_roof(x, y): r, g, b = 150, 40, 35
        if 30 <= x < 38 and 110 <= y < 150: r, g, b = 90, 60, 30             # trunk
        if math.hypot(x - 34, y - 100) < 18: r, g, b = 30, 100 + (x * 7 + y * 3) % 40, 40
        n = random.gauss(0, 6)
        px += bytes(max(0, min(255, int(c + n))) for c in (r, g, b)) + b'\xff'
def chunk(tag, data):
    return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 6, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(bytes(px), 9)) + chunk(b'IEND', b'')
open(sys.argv[1], 'wb').write(png)
PY

tiles=()
i=0
while IFS= read -r line; do
  pipeline="${line%% *}"
  name="$(echo "${line#"$pipeline"}" | sed 's/^ *//')"
  [ -n "$name" ] || continue
  i=$((i + 1))
  out="$work/$(printf '%03d' "$i").png"
  label="$name"
  if [ "$pipeline" = "-" ]; then label="$name (not yet)"; fi
  # The texture families and the pattern builder draw a shipped effect
  # script of their category word; the Lua filter runs a shipped script.
  text=()
  case "$name" in
    "Backgrounds "*|"Texturize "*|"Displacement Bump "*|"Pattern Explorer")
      category="${name##* }"; [ "$name" = "Pattern Explorer" ] && category=Material
      text=(--text "$(ls "$root/data/effects/$category"/*.efs | head -1)") ;;
    "Lua Filter") text=(--text "$root/data/lua/sketch_strokes.lua") ;;
  esac
  # Off-centre sliders: at 500 several tone filters are the identity.
  if ! "$paloran" filter "$name" "$work/picture.png" "$out" --p1 350 --p2 650 --p3 400 --p4 600 --p5 450 \
       --p6 550 --opt1 1 --color 200,120,40 --random 1234 "${text[@]}" >/dev/null 2>&1; then
    cp "$work/picture.png" "$out"
    label="$name (failed)"
  fi
  tiles+=(-label "$label" "$out")
done < <("$paloran" filters)

mkdir -p "$root/docs"
"$montage_bin" -font DejaVu-Sans -pointsize 11 "${tiles[@]}" -tile 12x -geometry 128x96+3+3 -depth 8 \
  -background white "$root/docs/contact-sheet.png"
echo "contact-sheet: $i filters -> docs/contact-sheet.png"
