#!/usr/bin/env bash
# Renders the hand-drawn SVGs in src/ into the pictures and icons the build
# embeds. Dev-only: the outputs are committed, so the build needs none of this.
# Needs rsvg-convert, icotool, Debian's python3 with PIL, and DejaVu fonts
# (the lettering is rasterised here, never at build time).
set -euo pipefail
cd "$(dirname "$0")"

# Debian's interpreter, where python3-pil lands (a pyenv or venv python
# first on PATH would not see it).
py=/usr/bin/python3

need=()
command -v rsvg-convert >/dev/null || need+=(librsvg2-bin)
command -v icotool >/dev/null || need+=(icoutils)
{ [ -x "$py" ] && "$py" -c 'import PIL' 2>/dev/null; } || need+=(python3-pil)
fc-list 2>/dev/null | grep -q 'DejaVu Sans:style=Bold' || need+=(fonts-dejavu-core)
if ((${#need[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

svg() { rsvg-convert "$@"; }

# Window pictures go in as 24-bit bottom-up BI_RGB BMPs; PIL writes exactly that for RGB.
to_bmp24() {
  "$py" - "$1" "$2" <<'PY'
import sys
from PIL import Image
Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2], format='BMP')
PY
}

svg src/background.svg -o "$tmp/background.png"
to_bmp24 "$tmp/background.png" background.bmp
svg src/about.svg -o "$tmp/about.png"
to_bmp24 "$tmp/about.png" about.bmp

for state in normal hover pressed; do
  svg "src/btn_$state.svg" -o "btn_$state.png"
done

for f in src/glyph[0-8]_*.svg; do
  svg "$f" -o "$(basename "${f%.svg}").png"
done

# The notification area draws 16, 20, 24 or 32 px at 100, 125, 150 and 200 %; each size
# is rendered from the drawing, so none is a stretched smaller one.
tray=()
for s in 32 24 20 16; do
  svg -w "$s" -h "$s" src/tray.svg -o "$tmp/tray$s.png"
  tray+=("$tmp/tray$s.png")
done
icotool -c -b 32 -o tray.ico "${tray[@]}"

# Large sizes scale from one drawing; 24 and 16 have their own pixel-grid drawings.
for s in 256 48 32; do
  svg -w "$s" -h "$s" src/program.svg -o "$tmp/program$s.png"
done
svg src/program-24.svg -o "$tmp/program24.png"
svg src/program-16.svg -o "$tmp/program16.png"
icotool -c -b 32 -o program.ico --raw="$tmp/program256.png" \
  "$tmp/program48.png" "$tmp/program32.png" "$tmp/program24.png" "$tmp/program16.png"

# The resource compiler and the controls take these sizes and formats on
# trust; catch a drifted source here rather than as a garbled window.
"$py" - <<'PY'
import struct, sys
from PIL import Image

bad = []
def check(ok, what):
    if not ok:
        bad.append(what)

def bmp(name, w, h):
    with open(name, 'rb') as f:
        head = f.read(54)
    width, height, planes, bpp, comp = struct.unpack_from('<iiHHI', head, 18)
    check(head[:2] == b'BM' and (width, height, bpp, comp) == (w, h, 24, 0),
          f'{name}: want {w}x{h} 24-bit BI_RGB bottom-up, got {width}x{height} {bpp}-bit comp {comp}')

def png(name, w, h):
    im = Image.open(name)
    check(im.size == (w, h) and im.mode == 'RGBA',
          f'{name}: want {w}x{h} RGBA, got {im.size} {im.mode}')
    return im

def ico(name, sizes):
    with open(name, 'rb') as f:
        data = f.read()
    _, kind, count = struct.unpack_from('<HHH', data, 0)
    got = {}
    for i in range(count):
        w, h, _, _, _, bpp, size, off = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        w, h = w or 256, h or 256
        is_png = data[off:off + 8] == b'\x89PNG\r\n\x1a\n'
        if not is_png:
            bpp = struct.unpack_from('<H', data, off + 14)[0]
        got[w] = (h, bpp, is_png)
    for s in sizes:
        check(s in got and got[s][0] == s and (got[s][2] or got[s][1] == 32),
              f'{name}: {s}x{s} 32-bit entry missing or wrong: {got.get(s)}')
    check(kind == 1 and set(got) == set(sizes), f'{name}: sizes {sorted(got)}, want {sorted(sizes)}')
    if 256 in sizes:
        check(got[256][2], f'{name}: the 256 entry must be PNG-compressed')

bmp('background.bmp', 500, 300)
bmp('about.bmp', 565, 380)
for state in ('normal', 'hover', 'pressed'):
    im = png(f'btn_{state}.png', 277, 66)
    a = im.getchannel('A')
    # the button control treats its outer 3 px as outside; nothing solid may sit there
    edge = max(max(a.crop(box).getdata()) for box in
               ((0, 0, 277, 3), (0, 0, 3, 66), (274, 0, 277, 66), (0, 63, 277, 66)))
    check(edge < 64, f'btn_{state}.png: alpha {edge} in the 3 px margin')
    check(a.getpixel((0, 0)) == 0 and a.getpixel((138, 33)) == 255,
          f'btn_{state}.png: corners must be clear and the face opaque')
import glob
glyphs = sorted(glob.glob('glyph[0-8]_*.png'))
check(len(glyphs) == 9, f'want 9 glyphs, found {len(glyphs)}')
for g in glyphs:
    a = png(g, 24, 24).getchannel('A')
    check(min(a.getdata()) == 0 and max(a.getdata()) == 255, f'{g}: needs real transparency')
ico('tray.ico', [32, 24, 20, 16])
ico('program.ico', [256, 48, 32, 24, 16])

if bad:
    print('\n'.join(bad), file=sys.stderr)
    sys.exit(1)
print('art: all outputs have the expected sizes and formats')
PY
