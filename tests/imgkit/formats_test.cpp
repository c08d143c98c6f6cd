// ImgkitReadImage and ImgkitWriteImage: files of every format made by other programs read as Pillow
// reads them, round trips keep every index, palette entry and alpha value, the smallest PNG form,
// content before names, and hostile headers.
#include <algorithm>
#include <cstring>
#include <fstream>
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

    explicit Opened(const std::string& path) { status = ImgkitReadImage(path.c_str(), &picture, &info, nullptr, nullptr); }
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
        // Taking 16 bits to 8, alpha out of colours and ink to light are roundings of their own; the other files
        // give Pillow's picture exactly.
        const bool rounded = name.find("16") != std::string::npos || name.find("assoc") != std::string::npos ||
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
                bits[size_t(row) * header->biXPelsPerMeter + i] = uint8_t(i * 7 + row * 29 + (i % 4 == 3) * 100);
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
        int readBack;       // the depth read back
        bool exactPixels;   // the pixels (indices for 8 bits) come back byte for byte
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
        Sample sample(c.format == IMGKIT_FORMAT_ICO ? 7 : 45, c.format == IMGKIT_FORMAT_ICO ? 5 : 9, c.bitCount,
                      c.entryAlpha);
        const Bytes before = Pixels(sample.picture);
        ASSERT_EQ(ImgkitWriteImage(dir.File(c.name).c_str(), c.format, nullptr, &sample.picture, nullptr, nullptr),
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
