#!/usr/bin/env bash
# Renders the program's artwork with ImageMagick and python3 (Debian packages
# imagemagick, python3). The results are committed; run this only to change them.
#   res/tarvix/art/mouse.bmp  bitmap 300: 161x200, 24 bits, top view of the mouse on white,
#                             a side button on each flank, grey guide lines on row 64
#   res/tarvix/art/mouse-<dpi>.bmp  the same picture drawn for 120, 144 and 192 DPI, at 161x200
#                             scaled as the dialog scales (201x250, 242x300, 322x400)
#   res/tarvix/art/app.ico    icon group 128: 16/32/48 px at 8 bits, 16/32/48/128/256 px at 32 bits
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/res/tarvix/art"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# --- the mouse picture --------------------------------------------------------
# Body centred at x=80; side buttons on the flanks at the height of row 64.
# Drawn once per resolution the program carries, from the same shapes in 96-DPI
# pixels: scaled about pixel edges, so every shape keeps its place; the guide
# lines stay crisp rows, as thick as one 96-DPI pixel scaled and starting on row
# 64 scaled, as the dialog scales its own rows (MulDiv, halves rounded up).
mouse() {
  local dpi=$1 target=$2
  python3 - "$dpi" "$target" <<'PY' | xargs -0 convert
import sys
dpi = int(sys.argv[1])
s = dpi / 96
def muldiv(v):
    return (v * dpi + 48) // 96
def num(v):
    v = round(v, 3)
    return str(int(v)) if v == int(v) else str(v)
def at(c):  # a 96-DPI pixel's centre at this resolution
    return num(s * (c + 0.5) - 0.5)
def pts(*cs):
    return " ".join(",".join(at(c) for c in cs[i:i + 2]) for i in range(0, len(cs), 2))
def rr(x0, y0, x1, y1, rx, ry):
    return f"roundrectangle {pts(x0, y0, x1, y1)} {num(rx * s)},{num(ry * s)}"
def line(x0, y0, x1, y1):
    return f"line {pts(x0, y0, x1, y1)}"
width, height = muldiv(161), muldiv(200)
top, thick = muldiv(64), muldiv(1)
left_end, right_start = round(23 * s), round(138 * s)  # the side buttons' outer edges
centre = num(top + (thick - 1) / 2)
guides = [f"line 0,{centre} {left_end - 1},{centre}", f"line {right_start},{centre} {width - 1},{centre}"]
fills = [f"rectangle 0,{top} {left_end - 1},{top + thick - 1}",
         f"rectangle {right_start},{top} {width - 1},{top + thick - 1}"]
args = ["-size", f"{width}x{height}", "xc:white",
        "-stroke", "#D8D8D8", "-strokewidth", num(thick), "-draw", guides[0], "-draw", guides[1],
        "-stroke", "#505860", "-strokewidth", num(2 * s), "-fill", "#F4F6F8",
        "-draw", rr(30, 14, 130, 190, 48, 56),
        "-stroke", "#A0A8B0", "-strokewidth", num(s), "-draw", line(80, 16, 80, 80), "-draw", line(32, 80, 128, 80),
        "-stroke", "#505860", "-fill", "#C8D0D8", "-draw", rr(75, 32, 85, 58, 4, 4),
        "-stroke", "#1F5FA8", "-strokewidth", num(s), "-fill", "#3C8CE6",
        "-draw", rr(23, 54, 33, 76, 3, 3), "-draw", rr(127, 54, 137, 76, 3, 3),
        "-stroke", "none", "-fill", "#D8D8D8", "-draw", fills[0], "-draw", fills[1],
        "-alpha", "off", "-type", "TrueColor", "BMP3:" + sys.argv[2]]
sys.stdout.write("\0".join(args) + "\0")
PY
}
mouse 96 "$out/mouse.bmp"
for dpi in 120 144 192; do
  mouse "$dpi" "$out/mouse-$dpi.bmp"
done
# --- the application icon -----------------------------------------------------
convert -size 256x256 xc:none \
  -fill '#1F5FA8' -draw 'roundrectangle 8,8 247,247 44,44' \
  -stroke '#20303F' -strokewidth 6 -fill white -draw 'roundrectangle 78,30 178,226 50,56' \
  -stroke '#20303F' -strokewidth 4 -draw 'line 128,34 128,104' -draw 'line 80,104 176,104' \
  -stroke none -fill '#FF9F1C' -draw 'roundrectangle 62,92 84,146 8,8' -draw 'roundrectangle 172,92 194,146 8,8' \
  "$tmp/master.png"
for s in 16 32 48 128 256; do
  convert "$tmp/master.png" -resize ${s}x${s} -depth 8 "RGBA:$tmp/$s.rgba"
done

python3 - "$tmp" "$out/app.ico" <<'PY'
import struct, sys
tmp, target = sys.argv[1], sys.argv[2]

def rows(size):
    data = open(f"{tmp}/{size}.rgba", "rb").read()
    return [data[y * size * 4:(y + 1) * size * 4] for y in range(size)]

def and_mask(size, opaque):
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(size)):
        line = bytearray(stride)
        for x in range(size):
            if not opaque(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)

def dib32(size):
    r = rows(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            R, G, B, A = r[y][x * 4:x * 4 + 4]
            pixels += bytes((B, G, R, A))
    return header + bytes(pixels) + and_mask(size, lambda x, y: r[y][x * 4 + 3] >= 128)

def dib8(size):
    r = rows(size)
    palette, index = [], {}
    def colour(x, y):
        R, G, B, A = r[y][x * 4:x * 4 + 4]
        if A < 128:
            return (255, 255, 255)
        # Flatten the anti-aliased edge onto white, then reduce to 6 levels per channel.
        R, G, B = [(c * A + 255 * (255 - A)) // 255 for c in (R, G, B)]
        return tuple(round(c / 51) * 51 for c in (R, G, B))
    pixels = bytearray()
    stride = (size + 3) & ~3
    for y in reversed(range(size)):
        line = bytearray(stride)
        for x in range(size):
            c = colour(x, y)
            if c not in index:
                index[c] = len(palette)
                palette.append(c)
            line[x] = index[c]
        pixels += line
    assert len(palette) <= 256
    table = b"".join(bytes((B, G, R, 0)) for R, G, B in palette) + bytes(4 * (256 - len(palette)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    return header + table + bytes(pixels) + and_mask(size, lambda x, y: r[y][x * 4 + 3] >= 128)

def png(size):
    import subprocess
    return subprocess.run(["convert", "-size", f"{size}x{size}", "-depth", "8",
                           f"RGBA:{tmp}/{size}.rgba", "PNG32:-"], check=True,
                          capture_output=True).stdout

images = [(16, 8, dib8(16)), (32, 8, dib8(32)), (48, 8, dib8(48)),
          (16, 32, dib32(16)), (32, 32, dib32(32)), (48, 32, dib32(48)),
          (128, 32, dib32(128)), (256, 32, png(256))]
offset = 6 + 16 * len(images)
directory, blobs = b"", b""
for size, bits, blob in images:
    directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
    offset += len(blob)
    blobs += blob
open(target, "wb").write(struct.pack("<HHH", 0, 1, len(images)) + directory + blobs)
PY
echo "artwork written to $out"
