# Transparent pictures made and compared by Pillow, a reader independent of Orvik's.
#   transparent_files.py make FOLDER       writes the files the round-trip test opens
#   transparent_files.py same A B X Y      prints "same" when B holds A's picture, but for pixel (X, Y)
#                                          from the top, or what differs
import sys

from PIL import Image

W, H = 16, 8


def indexed():
    im = Image.new("P", (W, H))
    im.putpalette([(i * 7 + c * 50) % 256 for i in range(256) for c in range(3)])
    im.putdata([(x * 3 + y * 17) % 24 for y in range(H) for x in range(W)])
    return im


def rgba():
    im = Image.new("RGBA", (W, H))
    # Fully transparent pixels keep colours of their own, so any change to them shows.
    im.putdata([(x * 16, y * 32, 200, (0, 64, 255, 128)[(x + y) % 4]) for y in range(H) for x in range(W)])
    return im


def make(folder):
    alpha = bytes(0 if i == 3 else 128 if i == 5 else 255 for i in range(256))
    indexed().save(folder + "/indexed.png", transparency=alpha)
    indexed().save(folder + "/indexed.gif", transparency=3)
    rgba().save(folder + "/rgba.png")
    rgba().save(folder + "/rgba.tif")
    rgba().save(folder + "/rgba.webp", lossless=True, exact=True)
    rgba().save(folder + "/rgba.tga")
    # Two fully transparent entries and a partly transparent one: more than a GIF holds.
    two = bytes(0 if i in (3, 4) else 128 if i == 5 else 255 for i in range(256))
    indexed().save(folder + "/two.png", transparency=two)


def picture(path):
    im = Image.open(path)
    im.load()
    if im.mode == "P":
        t = im.info.get("transparency")
        alpha = t if isinstance(t, bytes) else bytes(0 if i == t else 255 for i in range(256)) if t is not None else None
        if alpha is not None:
            alpha = (alpha + b"\xff" * 256)[:256]
        return "P", list(im.getdata()), im.getpalette()[:768], alpha
    return "RGBA", list(im.convert("RGBA").getdata()), None, None


def same(a, b, x, y):
    mode_a, pixels_a, palette_a, alpha_a = picture(a)
    mode_b, pixels_b, palette_b, alpha_b = picture(b)
    if mode_a != mode_b:
        return "%s became %s" % (mode_a, mode_b)
    # A file may hold fewer than 256 palette entries; those it holds must stay.
    if mode_a == "P" and (palette_b[: len(palette_a)] != palette_a or alpha_a != alpha_b):
        return "palette or entry opacities changed"
    changed = [i for i in range(len(pixels_a)) if pixels_a[i] != pixels_b[i]]
    if changed != [y * W + x]:
        return "changed pixels " + str([(i % W, i // W, pixels_a[i], pixels_b[i]) for i in changed[:5]])
    return "same"


if sys.argv[1] == "make":
    make(sys.argv[2])
else:
    print(same(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])))
