// ImgkitReadImage and ImgkitWriteImage: files of every format made by other programs read as Pillow
// reads them, round trips keep every index, palette entry and alpha value, the smallest PNG form,
// content before names, and hostile headers.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "codec_test_support.h"
#include "imgkit/codec_io.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kSamples = std::string(ORVIK_SOURCE_DIR) + "/tests/imgkit/samples.py";

// What ImgkitReadImage gave; the blocks are freed at the end.
struct Opened {
    ImgkitPicture picture{};
    ImgkitReadInfo info{};
    int status = -1;

    explicit Opened(const std::string& path) {
        status = ImgkitReadImage(path.c_str(), &picture, &info, nullptr, nullptr);
    }
    ~Opened() {
        std::free(picture.header);
        std::free(picture.bits);
        std::free(picture.entryAlpha);
    }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;

    int Bits() const { return picture.header->biBitCount; }
};

// Red, green, blue and alpha of a picture, top row first.
Picture PictureOf(const ImgkitPicture& picture) {
    const BITMAPINFOHEADER& h = *picture.header;
    Picture p;
    p.width = h.biWidth;
    p.height = h.biHeight;
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* row = picture.bits + size_t(p.height - 1 - y) * h.biXPelsPerMeter;
        for (int x = 0; x < p.width; ++x) {
            uint8_t b, g, r, a = 255;
            if (h.biBitCount == 8) {
                const RGBQUAD& c = picture.palette[row[x]];
                b = c.rgbBlue, g = c.rgbGreen, r = c.rgbRed;
                if (picture.entryAlpha) a = picture.entryAlpha[row[x]];
            } else {
                const uint8_t* px = row + x * (h.biBitCount / 8);
                b = px[0], g = px[1], r = px[2];
                if (h.biBitCount == 32) a = px[3];
            }
            p.rgb.insert(p.rgb.end(), {r, g, b});
            p.alpha.push_back(a);
        }
    }
    return p;
}

// Pillow's pictures of the files, made by one run of the samples script.
void DecodeWithPillow(const std::vector<std::string>& files) {
    std::vector<std::string> argv = {"/usr/bin/python3", kSamples, "decode"};
    argv.insert(argv.end(), files.begin(), files.end());
    bool ok = false;
    RunProgram(argv, &ok);
    ASSERT_TRUE(ok) << "Pillow (python3-pil) could not decode the files";
}

Picture PillowPicture(const std::string& file) {
    const Bytes data = ReadFile(file + ".rgba");
    Picture p;
    std::istringstream head(std::string(data.begin(), data.end()));
    head >> p.width >> p.height;
    const size_t start = std::string(data.begin(), data.end()).find('\n') + 1;
    const size_t pixels = size_t(p.width) * p.height;
    if (data.size() != start + 4 * pixels) return {};
    for (size_t i = 0; i < pixels; ++i) {
        p.rgb.insert(p.rgb.end(), {data[start + 4 * i], data[start + 4 * i + 1], data[start + 4 * i + 2]});
        p.alpha.push_back(data[start + 4 * i + 3]);
    }
    return p;
}

// The largest difference of a colour channel where both show the pixel, and of alpha; -1 when the
// sizes differ.
int Difference(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.alpha.size() != b.alpha.size()) return -1;
    int worst = 0;
    for (size_t i = 0; i < a.alpha.size(); ++i) {
        worst = std::max(worst, std::abs(a.alpha[i] - b.alpha[i]));
        if (a.alpha[i] == 0 || b.alpha[i] == 0) continue;
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(a.rgb[3 * i + c] - b.rgb[3 * i + c]));
    }
    return worst;
}

TEST(Formats, FilesMadeByOtherProgramsReadAsPillowReadsThem) {
    ScratchDir dir;
    bool made = false;
    RunProgram({"/usr/bin/python3", kSamples, "make", dir.Path()}, &made);
    ASSERT_TRUE(made) << "the samples script needs python3-pil";
    std::ifstream index(dir.File("index.txt"));
    std::vector<std::tuple<std::string, int, int>> files;
    std::vector<std::string> paths;
    for (std::string name; index >> name;) {
        int bits = 0, frames = 0;
        index >> bits >> frames;
        files.emplace_back(name, bits, frames);
        paths.push_back(dir.File(name));
    }
    ASSERT_GE(files.size(), 60u);
    DecodeWithPillow(paths);
    for (const auto& [name, bits, frames] : files) {
        SCOPED_TRACE(name);
        const Opened image(dir.File(name));
        ASSERT_EQ(image.status, IMGKIT_OK);
        EXPECT_TRUE(IsModelHeader(*image.picture.header));
        EXPECT_EQ(image.Bits(), bits);
        EXPECT_EQ(image.info.frames, frames);
        EXPECT_EQ(image.picture.palette != nullptr, bits == 8);
        if (image.picture.palette) {
            EXPECT_EQ(image.picture.palette, HeaderPalette(image.picture.header));
        }
        // Taking 16 bits to 8, alpha out of colours and ink to light are roundings of their own; the other
        // files give Pillow's picture exactly.
        const bool rounded = name.find("16") != std::string::npos ||
                             name.find("assoc") != std::string::npos ||
                             name.find("cmyk") != std::string::npos;
        const int tolerance = rounded ? 1 : 0;
        EXPECT_LE(Difference(PictureOf(image.picture), PillowPicture(dir.File(name))), tolerance);
    }
}

// An image of each form with every row, index and entry different, and transparency where the form
// has it.
struct Sample {
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    uint8_t alpha[kPaletteEntries];
    ImgkitPicture picture{};

    Sample(int width, int height, int bitCount, bool entryAlpha) {
        EXPECT_EQ(AllocateImage(width, height, bitCount, &header, &bits), ImageStatus::Ok);
        const int bytes = bitCount / 8;
        for (int row = 0; row < height; ++row)
            for (int i = 0; i < width * bytes; ++i)
                bits[size_t(row) * header->biXPelsPerMeter + i] =
                    uint8_t(i * 7 + row * 29 + (i % 4 == 3) * 100);
        picture = {header, bits, nullptr, nullptr};
        if (bitCount == 8) {
            picture.palette = HeaderPalette(header);
            for (int i = 0; i < kPaletteEntries; ++i) {
                picture.palette[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
                alpha[i] = i == 7 ? 0 : 255;
            }
            if (entryAlpha) picture.entryAlpha = alpha;
        }
    }
    ~Sample() {
        std::free(header);
        std::free(bits);
    }
};

// Every row of the pixels, without padding, bottom row first.
Bytes Pixels(const ImgkitPicture& p) {
    Bytes out;
    const BITMAPINFOHEADER& h = *p.header;
    for (int row = 0; row < h.biHeight; ++row) {
        const uint8_t* r = p.bits + size_t(row) * h.biXPelsPerMeter;
        out.insert(out.end(), r, r + h.biWidth * h.biBitCount / 8);
    }
    return out;
}

TEST(Formats, RoundTripsKeepWhatEachFormatHolds) {
    struct Case {
        const char* name;
        int format;
        int bitCount;
        bool entryAlpha;
        int readBack;      // the depth read back
        bool exactPixels;  // the pixels (indices for 8 bits) come back byte for byte
    };
    const Case cases[] = {
        {"eight.gif", IMGKIT_FORMAT_GIF, 8, true, 8, true},
        {"eight.tif", IMGKIT_FORMAT_TIFF, 8, false, 8, true},
        {"rgb.tif", IMGKIT_FORMAT_TIFF, 24, false, 24, true},
        {"rgba.tif", IMGKIT_FORMAT_TIFF, 32, false, 32, true},
        {"rgb.webp", IMGKIT_FORMAT_WEBP, 24, false, 24, true},
        {"rgba.webp", IMGKIT_FORMAT_WEBP, 32, false, 32, true},
        {"eight.webp", IMGKIT_FORMAT_WEBP, 8, true, 32, false},
        {"eight.tga", IMGKIT_FORMAT_TGA, 8, true, 8, true},
        {"rgb.tga", IMGKIT_FORMAT_TGA, 24, false, 24, true},
        {"rgba.tga", IMGKIT_FORMAT_TGA, 32, false, 32, true},
        {"eight.ico", IMGKIT_FORMAT_ICO, 8, true, 8, true},
        {"rgb.ico", IMGKIT_FORMAT_ICO, 24, false, 24, true},
        {"rgba.ico", IMGKIT_FORMAT_ICO, 32, false, 32, true},
        {"rgb.ppm", IMGKIT_FORMAT_PNM, 24, false, 24, true},
        {"eight.ppm", IMGKIT_FORMAT_PNM, 8, false, 24, false},
        {"eight.png", IMGKIT_FORMAT_PNG, 8, true, 8, true},
        {"rgba.png", IMGKIT_FORMAT_PNG, 32, false, 32, true},
        {"eight.bmp", IMGKIT_FORMAT_BMP, 8, false, 8, true},
        {"rgb.pcx", IMGKIT_FORMAT_PCX, 24, false, 24, true},
    };
    ScratchDir dir;
    std::vector<std::string> written;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Odd widths, so rows have padding; 7 x 5 for icons, which are small.
        Sample sample(c.format == IMGKIT_FORMAT_ICO ? 7 : 45, c.format == IMGKIT_FORMAT_ICO ? 5 : 9,
                      c.bitCount, c.entryAlpha);
        const Bytes before = Pixels(sample.picture);
        ASSERT_EQ(
            ImgkitWriteImage(dir.File(c.name).c_str(), c.format, nullptr, &sample.picture, nullptr, nullptr),
            IMGKIT_OK);
        EXPECT_EQ(Pixels(sample.picture), before) << "the writer changed the caller's rows";
        const Opened back(dir.File(c.name));
        ASSERT_EQ(back.status, IMGKIT_OK);
        EXPECT_EQ(back.info.format, c.format);
        ASSERT_EQ(back.Bits(), c.readBack);
        if (c.exactPixels) {
            EXPECT_EQ(Pixels(back.picture), before);
        }
        if (c.bitCount == 8 && c.readBack == 8) {
            EXPECT_EQ(std::memcmp(back.picture.palette, sample.picture.palette, kPaletteBytes), 0);
            ASSERT_EQ(back.picture.entryAlpha != nullptr, c.entryAlpha);
            if (c.entryAlpha) {
                EXPECT_EQ(std::memcmp(back.picture.entryAlpha, sample.alpha, kPaletteEntries), 0);
            }
        }
        written.push_back(dir.File(c.name));
    }
    // What the files show, to an independent reader, is the picture that was written.
    DecodeWithPillow(written);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Sample sample(c.format == IMGKIT_FORMAT_ICO ? 7 : 45, c.format == IMGKIT_FORMAT_ICO ? 5 : 9,
                            c.bitCount, c.entryAlpha);
        EXPECT_EQ(Difference(PictureOf(sample.picture), PillowPicture(dir.File(c.name))), 0);
    }
}

}  // namespace

namespace {

// A picture of `width` x `height` whose 8-bit pixels are `index(x, y)` (y from the top), on
// `palette` (256 entries).
struct Indexed {
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    ImgkitPicture picture{};

    Indexed(int width, int height, const std::function<int(int, int)>& index,
            const std::function<RGBQUAD(int)>& palette, const uint8_t* entryAlpha = nullptr) {
        EXPECT_EQ(AllocateImage(width, height, 8, &header, &bits), ImageStatus::Ok);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bits[size_t(height - 1 - y) * header->biXPelsPerMeter + x] = uint8_t(index(x, y));
        for (int i = 0; i < kPaletteEntries; ++i)
            HeaderPalette(header)[i] = palette(i);
        picture = {header, bits, HeaderPalette(header), const_cast<uint8_t*>(entryAlpha)};
    }
    ~Indexed() {
        std::free(header);
        std::free(bits);
    }
};

RGBQUAD Grey(int i) {
    return RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
}

}  // namespace

// An 8-bit picture is written in the smallest PNG form that gives back every index and entry; the
// file shows the same picture to Pillow.
TEST(Formats, EightBitPngsTakeTheSmallestFormThatKeepsEverything) {
    uint8_t alpha[kPaletteEntries];
    std::fill_n(alpha, kPaletteEntries, 255);
    alpha[3] = 0;
    alpha[5] = 128;
    const auto few = [](int i) {
        return i < 16 ? RGBQUAD{uint8_t(i * 16), uint8_t(200 - i), 7, 0} : RGBQUAD{};
    };
    struct Case {
        const char* name;
        std::function<int(int, int)> index;
        std::function<RGBQUAD(int)> palette;
        const uint8_t* alpha;
        int depth, colourType, paletteEntries, alphaEntries;
    };
    const Case cases[] = {
        {"bilevel", [](int x, int y) { return (x + y) % 2 ? 255 : 0; }, Grey, nullptr, 1, 0, 0, 0},
        {"grey-levels-of-4-bits", [](int x, int y) { return (x * y) % 16 * 17; }, Grey, nullptr, 4, 0, 0, 0},
        {"grey", [](int x, int y) { return x * 9 + y; }, Grey, nullptr, 8, 0, 0, 0},
        {"two-colours", [](int x, int) { return x % 2; }, few, nullptr, 4, 3, 16, 0},
        {"sixteen-colours-with-alpha", [](int x, int y) { return (x + y) % 16; }, few, alpha, 4, 3, 16, 6},
        {"full-palette", [](int x, int) { return x % 4; },
         [](int i) {
             return RGBQUAD{1, uint8_t(i), 2, 0};
         },
         nullptr, 8, 3, 256, 0},
        {"grey-ramp-with-alpha", [](int x, int) { return x % 8; }, Grey, alpha, 8, 3, 256, 6},
    };
    ScratchDir dir;
    std::vector<std::string> files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Indexed image(29, 7, c.index, c.palette, c.alpha);
        const std::string path = dir.File(std::string(c.name) + ".png");
        ASSERT_EQ(
            ImgkitWriteImage(path.c_str(), IMGKIT_FORMAT_PNG, nullptr, &image.picture, nullptr, nullptr),
            IMGKIT_OK);
        const Bytes file = ReadFile(path);
        EXPECT_EQ(file[24], c.depth);
        EXPECT_EQ(file[25], c.colourType);
        const std::string chunks(file.begin(), file.end());
        const auto length = [&](const char* chunk) {
            const size_t at = chunks.find(chunk);
            return at == std::string::npos
                       ? 0u
                       : Get32(&file[at - 4]) >> 24 | (Get32(&file[at - 4]) >> 8 & 0xFF00);
        };
        EXPECT_EQ(length("PLTE"), 3u * c.paletteEntries);
        EXPECT_EQ(length("tRNS"), unsigned(c.alphaEntries));
        const Opened back(path);
        ASSERT_EQ(back.status, IMGKIT_OK);
        EXPECT_EQ(Pixels(back.picture), Pixels(image.picture));
        EXPECT_EQ(std::memcmp(back.picture.palette, image.picture.palette, kPaletteBytes), 0);
        EXPECT_EQ(back.picture.entryAlpha != nullptr, c.alpha != nullptr);
        files.push_back(path);
    }
    DecodeWithPillow(files);
    for (size_t i = 0; i < files.size(); ++i) {
        const Case& c = cases[i];
        const Indexed image(29, 7, c.index, c.palette, c.alpha);
        EXPECT_EQ(Difference(PictureOf(image.picture), PillowPicture(files[i])), 0) << c.name;
    }
}

// A GIF's colour table holds the whole palette; its code size only what the indices need.
TEST(Formats, GifCodeSizeFollowsTheIndices) {
    const Indexed image(
        20, 10, [](int x, int) { return x % 3; },
        [](int i) {
            return RGBQUAD{uint8_t(i), 9, 9, 0};
        });
    ScratchDir dir;
    ASSERT_EQ(ImgkitWriteImage(dir.File("a.gif").c_str(), IMGKIT_FORMAT_GIF, nullptr, &image.picture, nullptr,
                               nullptr),
              IMGKIT_OK);
    const Bytes file = ReadFile(dir.File("a.gif"));
    EXPECT_EQ(file[10] & 7, 7) << "a table of 256 entries";
    EXPECT_EQ(file[13 + 768], 0x2C) << "the frame follows the table";
    EXPECT_EQ(file[13 + 768 + 10], 2) << "two bits of code for indices 0 to 2";
}

TEST(Formats, ContentDecidesAndFailuresSayWhy) {
    ScratchDir dir;
    const Indexed image(
        40, 30, [](int x, int y) { return x ^ y; }, Grey);
    // A file of each format with a lying or cut header, made from a good one.
    const auto write = [&](const char* name, int format) {
        EXPECT_EQ(ImgkitWriteImage(dir.File(name).c_str(), format, nullptr, &image.picture, nullptr, nullptr),
                  IMGKIT_OK);
        return ReadFile(dir.File(name));
    };
    const auto status = [&](const Bytes& bytes, const char* name = "x.png") {
        WriteFile(dir.File(name), bytes);
        const Opened opened(dir.File(name));
        EXPECT_EQ(opened.picture.header, nullptr);
        return opened.status == IMGKIT_OK ? IMGKIT_OK : opened.status;
    };
    const auto cut = [](const Bytes& b, size_t keep) {
        return Bytes(b.begin(), b.begin() + std::min(keep, b.size()));
    };
    const auto patch = [](Bytes b, size_t at, std::initializer_list<uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), b.begin() + at);
        return b;
    };

    const Bytes png = write("good.png", IMGKIT_FORMAT_PNG);
    {
        const Opened named(dir.File("good.png"));
        WriteFile(dir.File("photo.jpg"), png);
        const Opened renamed(dir.File("photo.jpg"));
        EXPECT_EQ(renamed.status, IMGKIT_OK);
        EXPECT_EQ(renamed.info.format, IMGKIT_FORMAT_PNG);
    }
    EXPECT_EQ(status({}), IMGKIT_EMPTY);
    EXPECT_EQ(status({'h', 'e', 'l', 'l', 'o'}), IMGKIT_UNKNOWN_FORMAT);
    EXPECT_EQ(Opened(dir.File("missing.gif")).status, IMGKIT_CANNOT_OPEN);
    EXPECT_EQ(Opened(dir.Path()).status, IMGKIT_CANNOT_OPEN);

    const Bytes gif = write("good.gif", IMGKIT_FORMAT_GIF);
    EXPECT_EQ(status(cut(gif, gif.size() / 2), "a.gif"), IMGKIT_DAMAGED);
    EXPECT_EQ(status(patch(gif, 6, {0xFF, 0xFF, 0xFF, 0xFF}), "a.gif"),
              IMGKIT_TOO_LARGE);  // a 65535 x 65535 screen
    const Bytes tif = write("good.tif", IMGKIT_FORMAT_TIFF);
    EXPECT_EQ(status(cut(tif, tif.size() / 2), "a.tif"), IMGKIT_DAMAGED);
    EXPECT_EQ(status(patch(tif, 4, {0xF0, 0xFF, 0xFF, 0x7F}), "a.tif"),
              IMGKIT_DAMAGED);  // the page lies past the end
    const Bytes webp = write("good.webp", IMGKIT_FORMAT_WEBP);
    EXPECT_EQ(status(cut(webp, webp.size() / 2), "a.webp"), IMGKIT_DAMAGED);
    const Bytes tga = write("good.tga", IMGKIT_FORMAT_TGA);
    // 65535 x 65535 pixels from a few hundred bytes: refused before anything is allocated.
    EXPECT_EQ(status(patch(tga, 12, {0xFF, 0xFF, 0xFF, 0xFF}), "a.tga"), IMGKIT_DAMAGED);
    EXPECT_EQ(status(cut(tga, tga.size() / 2), "a.tga"), IMGKIT_DAMAGED);
    const Bytes ico = write("good.ico", IMGKIT_FORMAT_ICO);
    EXPECT_EQ(status(patch(ico, 18, {0xFF, 0xFF, 0, 0}), "a.ico"), IMGKIT_DAMAGED);  // the image past the end
    EXPECT_EQ(status(patch(ico, 22 + 4, {0, 0, 1, 0}), "a.ico"), IMGKIT_TOO_LARGE);  // a bitmap 65536 wide
    EXPECT_EQ(status(cut(ico, ico.size() - 200), "a.ico"), IMGKIT_DAMAGED);
    const std::string pnm = "P5\n40 30\n255\n";
    EXPECT_EQ(status(Bytes(pnm.begin(), pnm.end()), "a.pgm"), IMGKIT_DAMAGED);
    for (const std::string text : {"P6\n70000 1\n255\n", "P2\n1 1\n0\n0\n", "P3\n2 1\n255\n1 2 3 4\n"}) {
        const int expected = text[3] == '7' ? IMGKIT_TOO_LARGE : IMGKIT_DAMAGED;
        EXPECT_EQ(status(Bytes(text.begin(), text.end()), "a.ppm"), expected) << text;
    }
    // Writers: a format that cannot take the picture says so and leaves no file.
    Sample big(300, 2, 24, false);
    EXPECT_EQ(ImgkitWriteImage(dir.File("big.ico").c_str(), IMGKIT_FORMAT_ICO, nullptr, &big.picture, nullptr,
                               nullptr),
              IMGKIT_BAD_IMAGE);
    EXPECT_EQ(ImgkitWriteImage(dir.File("big.gif").c_str(), IMGKIT_FORMAT_GIF, nullptr, &big.picture, nullptr,
                               nullptr),
              IMGKIT_BAD_IMAGE);
    EXPECT_EQ(
        ImgkitWriteImage("/proc/nowhere.tif", IMGKIT_FORMAT_TIFF, nullptr, &big.picture, nullptr, nullptr),
        IMGKIT_WRITE_FAILED);
    EXPECT_FALSE(std::filesystem::exists(dir.File("big.ico")));
}

// A BMP whose header names an alpha channel opens as a 32-bit picture, as bmpsuite renders it.
TEST(Formats, BmpAlphaMasksAreKept) {
    REQUIRE_CORPUS();
    const std::string suite = CorpusDir() + "/bmp/bmpsuite/";
    const std::pair<const char*, const char*> files[] = {{"q/rgba32-1.bmp", "ref/rgba32.png"},
                                                         {"q/rgba32abf.bmp", "ref/rgba32.png"},
                                                         {"q/rgba16-4444.bmp", "ref/rgba16-4444.png"},
                                                         {"q/rgba16-5551.bmp", "ref/rgba16-5551.png"}};
    ScratchDir dir;
    std::vector<std::string> references;
    for (const auto& [bmp, png] : files) {
        references.push_back(dir.File(std::to_string(references.size()) + ".png"));
        WriteFile(references.back(), ReadFile(suite + png));
    }
    DecodeWithPillow(references);
    for (size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(files[i].first);
        const Opened image(suite + files[i].first);
        ASSERT_EQ(image.status, IMGKIT_OK);
        EXPECT_EQ(image.Bits(), 32);
        EXPECT_EQ(Difference(PictureOf(image.picture), PillowPicture(references[i])), 0);
    }
}
