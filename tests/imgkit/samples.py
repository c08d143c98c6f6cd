#!/usr/bin/python3
"""Pictures made by other programs for the codec tests and the fuzz seeds, and their pictures as
Pillow decodes them.

  samples.py make DIR      writes GIF, TIFF, WebP, TGA, ICO and PNM files of every kind into DIR
                           (Pillow, ImageMagick, GraphicsMagick, cwebp, tiffcp) and DIR/index.txt:
                           one line "name bits frames" a file, with the depth and frame count the
                           codec library must give it
  samples.py decode FILE.. writes FILE.rgba beside each: "width height\\n", then the first frame's
                           red, green, blue and alpha bytes, top row first
"""
import os
import shutil
import subprocess
import sys

from PIL import Image

W, H = 37, 23


def rgb_picture():
    im = Image.new("RGB", (W, H))
    im.putdata([((x * 7 + y * 3) % 256, (x * 13) % 256, (y * 11 + x) % 256) for y in range(H) for x in range(W)])
    return im


def rgba_picture():
    im = rgb_picture().convert("RGBA")
    im.putalpha(Image.frombytes("L", (W, H), bytes((0 if x < 4 else (x * 9 + y * 5) % 256) for y in range(H) for x in range(W))))
    return im


def palette_picture(colours=256):
    im = Image.new("P", (W, H))
    im.putpalette([(i * 37 + c * 91) % 256 for i in range(colours) for c in range(3)])
    im.putdata([(x * 5 + y * 3) % colours for y in range(H) for x in range(W)])
    return im


def grey_picture():
    return Image.frombytes("L", (W, H), bytes((x * 7 + y * 5) % 256 for y in range(H) for x in range(W)))


def make(out):
    os.makedirs(out, exist_ok=True)
    index = []

    def add(name, bits, frames=1):
        index.append(f"{name} {bits} {frames}")

    def run(name, bits, frames, *command):
        """A file made by an outside program, when it is there."""
        if shutil.which(command[0]) is None:
            return
        if subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0:
            add(name, bits, frames)

    def path(name):
        return os.path.join(out, name)

    rgb, rgba, pal, grey = rgb_picture(), rgba_picture(), palette_picture(), grey_picture()
    rgb.save(path("source.png"))
    rgba.save(path("source-alpha.png"))

    # GIF: palette, transparency, interlacing, a small table, greys, an animation.
    pal.save(path("pillow-palette.gif"))
    add("pillow-palette.gif", 8)
    pal.save(path("pillow-transparent.gif"), transparency=5)
    add("pillow-transparent.gif", 8)
    pal.save(path("pillow-interlaced.gif"), interlace=True)
    add("pillow-interlaced.gif", 8)
    palette_picture(2).save(path("pillow-two-colours.gif"))
    add("pillow-two-colours.gif", 8)
    grey.save(path("pillow-grey.gif"))
    add("pillow-grey.gif", 8)
    frames = [palette_picture(), palette_picture(16), palette_picture(4)]
    frames[0].save(path("pillow-animated.gif"), save_all=True, append_images=frames[1:], duration=100, loop=0)
    add("pillow-animated.gif", 8, 3)
    run("magick-interlaced.gif", 8, 1, "convert", path("source.png"), "-interlace", "GIF", path("magick-interlaced.gif"))
    run("gm-palette.gif", 8, 1, "gm", "convert", path("source.png"), path("gm-palette.gif"))

    # TIFF: every depth and compression of the reader's list.
    for compression in ("raw", "packbits", "tiff_lzw", "tiff_adobe_deflate", "jpeg"):
        name = f"pillow-rgb-{compression}.tif"
        rgb.save(path(name), compression=compression)
        add(name, 24)
    for compression in ("raw", "tiff_lzw", "tiff_adobe_deflate"):
        grey.save(path(f"pillow-grey-{compression}.tif"), compression=compression)
        add(f"pillow-grey-{compression}.tif", 8)
        pal.save(path(f"pillow-palette-{compression}.tif"), compression=compression)
        add(f"pillow-palette-{compression}.tif", 8)
    rgba.save(path("pillow-rgba.tif"), compression="tiff_adobe_deflate")
    add("pillow-rgba.tif", 32)
    rgba.convert("LA").save(path("pillow-grey-alpha.tif"))
    add("pillow-grey-alpha.tif", 32)
    grey.point(lambda v: 255 if v > 127 else 0).convert("1").save(path("pillow-bilevel.tif"), compression="group4")
    add("pillow-bilevel.tif", 8)
    rgb.save(path("pillow-pages.tif"), save_all=True, append_images=[grey, pal.convert("RGB")])
    add("pillow-pages.tif", 24, 3)
    run("tiffcp-tiled.tif", 24, 1, "tiffcp", "-t", "-w", "16", "-l", "16", "-c", "zip", path("pillow-rgb-raw.tif"), path("tiffcp-tiled.tif"))
    run("tiffcp-separate.tif", 24, 1, "tiffcp", "-p", "separate", path("pillow-rgb-raw.tif"), path("tiffcp-separate.tif"))
    run("tiffcp-big-endian.tif", 24, 1, "tiffcp", "-B", "-c", "lzw:2", path("pillow-rgb-raw.tif"), path("tiffcp-big-endian.tif"))
    run("tiffcp-tiled-grey.tif", 8, 1, "tiffcp", "-t", "-w", "16", "-l", "32", path("pillow-grey-raw.tif"), path("tiffcp-tiled-grey.tif"))
    run("magick-rgb16.tif", 24, 1, "convert", path("source.png"), "-depth", "16", path("magick-rgb16.tif"))
    run("magick-grey16.tif", 8, 1, "convert", path("source.png"), "-colorspace", "Gray", "-depth", "16", path("magick-grey16.tif"))
    run("magick-grey4.tif", 8, 1, "convert", path("source.png"), "-colorspace", "Gray", "-depth", "4", path("magick-grey4.tif"))
    run("magick-palette4.tif", 8, 1, "convert", path("source.png"), "-colors", "16", "-type", "Palette", "-depth", "4", path("magick-palette4.tif"))
    run("magick-cmyk.tif", 24, 1, "convert", path("source.png"), "-colorspace", "CMYK", path("magick-cmyk.tif"))
    run("magick-ycbcr-jpeg.tif", 24, 1, "convert", path("source.png"), "-compress", "JPEG", "-define", "tiff:photometric=ycbcr", path("magick-ycbcr-jpeg.tif"))
    run("magick-rgba-assoc.tif", 32, 1, "convert", path("source-alpha.png"), "-define", "tiff:alpha=associated", path("magick-rgba-assoc.tif"))
    run("magick-miniswhite.tif", 8, 1, "convert", path("source.png"), "-colorspace", "Gray", "-define", "tiff:photometric=min-is-white", path("magick-miniswhite.tif"))
    run("gm-rgb.tif", 24, 1, "gm", "convert", path("source.png"), "-compress", "LZW", path("gm-rgb.tif"))

    # WebP: lossless and lossy, with alpha or not, an animation.
    rgb.save(path("pillow-lossless.webp"), lossless=True)
    add("pillow-lossless.webp", 24)
    rgba.save(path("pillow-lossless-alpha.webp"), lossless=True, exact=True)
    add("pillow-lossless-alpha.webp", 32)
    rgb.save(path("pillow-lossy.webp"), quality=80)
    add("pillow-lossy.webp", 24)
    rgba.save(path("pillow-lossy-alpha.webp"), quality=80)
    add("pillow-lossy-alpha.webp", 32)
    rgb.save(path("pillow-animated.webp"), save_all=True, append_images=[rgba, rgb], duration=100, lossless=True)
    add("pillow-animated.webp", 32, 3)
    run("cwebp-lossless.webp", 24, 1, "cwebp", "-quiet", "-lossless", path("source.png"), "-o", path("cwebp-lossless.webp"))
    run("cwebp-lossy-alpha.webp", 32, 1, "cwebp", "-quiet", "-q", "75", path("source-alpha.png"), "-o", path("cwebp-lossy-alpha.webp"))

    # TGA: colour-mapped, true colour 24 and 32, grey; run-length or not; either row order.
    for rle in (False, True):
        kind = "rle" if rle else "raw"
        options = {"compression": "tga_rle"} if rle else {}
        for picture, name, bits in ((pal, "mapped", 8), (rgb, "rgb", 24), (rgba, "rgba", 32), (grey, "grey", 8)):
            picture.save(path(f"pillow-{name}-{kind}.tga"), **options)
            add(f"pillow-{name}-{kind}.tga", bits)
    rgb.save(path("pillow-top-down.tga"), orientation=1)
    add("pillow-top-down.tga", 24)
    run("magick-rgb.tga", 24, 1, "convert", path("source.png"), path("magick-rgb.tga"))
    run("magick-rgba.tga", 32, 1, "convert", path("source-alpha.png"), path("magick-rgba.tga"))
    run("gm-rgb.tga", 24, 1, "gm", "convert", path("source.png"), path("gm-rgb.tga"))

    # ICO: PNG and bitmap images, several sizes, bitmaps with masks.
    rgba.save(path("pillow-sizes.ico"), sizes=[(16, 16), (37, 23)])
    add("pillow-sizes.ico", 32, 2)
    run("magick-sizes.ico", 32, 3, "convert", path("source-alpha.png"), "-define", "icon:auto-resize=16,32,48", path("magick-sizes.ico"))
    run("magick-bitmap.ico", 32, 1, "convert", path("source.png"), "-define", "icon:format=bmp", path("magick-bitmap.ico"))
    run("magick-palette.ico", 8, 1, "convert", path("source.png"), "-colors", "16", "-type", "Palette", path("magick-palette.ico"))

    # PNM: bit maps, grey maps and pixel maps, raw and plain, 16 bits.
    grey.point(lambda v: 255 if v > 127 else 0).convert("1").save(path("pillow-bitmap.pbm"))
    add("pillow-bitmap.pbm", 8)
    grey.save(path("pillow-grey.pgm"))
    add("pillow-grey.pgm", 8)
    rgb.save(path("pillow-colour.ppm"))
    add("pillow-colour.ppm", 24)
    run("magick-plain.pbm", 8, 1, "convert", path("source.png"), "-monochrome", "-compress", "none", path("magick-plain.pbm"))
    run("magick-plain.pgm", 8, 1, "convert", path("source.png"), "-colorspace", "Gray", "-compress", "none", path("magick-plain.pgm"))
    run("magick-plain.ppm", 24, 1, "convert", path("source.png"), "-compress", "none", path("magick-plain.ppm"))
    run("magick-16bit.ppm", 24, 1, "convert", path("source.png"), "-depth", "16", path("magick-16bit.ppm"))
    run("magick-16bit.pgm", 8, 1, "convert", path("source.png"), "-colorspace", "Gray", "-depth", "16", path("magick-16bit.pgm"))

    with open(path("index.txt"), "w") as f:
        f.write("\n".join(index) + "\n")


def decode(files):
    for name in files:
        try:
            im = Image.open(name)
            im.seek(0)
            if im.mode in ("I", "I;16", "I;16B"):
                # Pillow clips 16-bit greys to 255 in convert(); scale them to 8 bits instead.
                im = im.convert("I").point(lambda v: v * (255 / 65535) + 0.5).convert("L")
            im = im.convert("RGBA")
            size, pixels = im.size, im.tobytes()
        except (OSError, ValueError):
            # Pillow 9.4 reads no TGA with a 32-bit colour map: ImageMagick does.
            size = tuple(int(v) for v in subprocess.run(["identify", "-format", "%w %h", name + "[0]"], check=True,
                                                         capture_output=True).stdout.split())
            pixels = subprocess.run(["convert", name + "[0]", "-auto-orient", "-depth", "8", "rgba:-"], check=True,
                                    capture_output=True).stdout
        with open(name + ".rgba", "wb") as f:
            f.write(f"{size[0]} {size[1]}\n".encode())
            f.write(pixels)


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "make":
        make(sys.argv[2])
    elif len(sys.argv) >= 2 and sys.argv[1] == "decode":
        decode(sys.argv[2:])
    else:
        sys.exit(__doc__)
