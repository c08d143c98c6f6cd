// Files built byte by byte: size limits, run-length edge cases, palettes and offsets that lie.
#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "codec_test_support.h"
#include "imgkit/codec_io.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A BMP with a 40-byte header, `entries` palette colours (entry i = i, i, i) and the given pixel data.
Bytes MakeBmp(int32_t width, int32_t height, int bits, uint32_t compression, const Bytes& pixels,
              int entries = 0, uint32_t coloursUsed = 0) {
    const size_t pixelOffset = 54 + 4 * size_t(entries);
    Bytes f(pixelOffset + pixels.size());
    f[0] = 'B', f[1] = 'M';
    Put32(&f[10], uint32_t(pixelOffset));
    Put32(&f[14], 40);
    Put32(&f[18], uint32_t(width));
    Put32(&f[22], uint32_t(height));
    Put16(&f[26], 1);
    Put16(&f[28], uint32_t(bits));
    Put32(&f[30], compression);
    Put32(&f[46], coloursUsed);
    for (int i = 0; i < entries; ++i)
        std::fill_n(&f[54 + 4 * i], 3, uint8_t(i));
    std::copy(pixels.begin(), pixels.end(), f.begin() + pixelOffset);
    return f;
}

// A PCX with the given geometry and data, run-length encoded (encoding 1) or stored as it is (0),
// optionally followed by a VGA palette.
Bytes MakePcx(int width, int height, int bits, int planes, int bytesPerLine, const Bytes& data, bool vga,
              int encoding = 1) {
    Bytes f(128 + data.size() + (vga ? 769 : 0));
    f[0] = 10, f[1] = 5, f[2] = uint8_t(encoding), f[3] = uint8_t(bits);
    Put16(&f[8], uint32_t(width - 1));
    Put16(&f[10], uint32_t(height - 1));
    f[65] = uint8_t(planes);
    Put16(&f[66], uint32_t(bytesPerLine));
    std::copy(data.begin(), data.end(), f.begin() + 128);
    if (vga) {
        uint8_t* palette = &f[128 + data.size()];
        palette[0] = 12;
        for (int i = 0; i < 256; ++i)
            palette[1 + 3 * i] = uint8_t(i);  // red i, no green or blue
    }
    return f;
}

class Hostile : public testing::Test {
protected:
    // Writes the bytes to a file and reads them with the reader for `name`.
    std::unique_ptr<Loaded> Read(const std::string& name, const Bytes& bytes) {
        WriteFile(dir.File(name), bytes);
        auto image = std::make_unique<Loaded>(ReaderFor(name), dir.File(name));
        if (*image) ExpectReaderContract(*image);
        return image;
    }
    // The 8-bit rows of a read image, bottom row first, without padding.
    static std::vector<Bytes> Rows(const Loaded& image) {
        std::vector<Bytes> rows;
        for (int r = 0; r < image.header->biHeight; ++r) {
            const uint8_t* p = image.bits + r * image.header->biXPelsPerMeter;
            rows.emplace_back(p, p + image.header->biWidth);
        }
        return rows;
    }
    ScratchDir dir;
};

TEST_F(Hostile, BmpSizeLimitsComeFirst) {
    EXPECT_TRUE(*Read("a.bmp", MakeBmp(65535, 1, 8, 0, Bytes(65536), 1)));
    EXPECT_FALSE(*Read("a.bmp", MakeBmp(65536, 1, 8, 0, Bytes(65536), 1)));
    EXPECT_FALSE(*Read("a.bmp", MakeBmp(1, 65536, 8, 0, Bytes(4 * 65536), 1)));
    EXPECT_FALSE(*Read("a.bmp", MakeBmp(1, -65536, 24, 0, Bytes(4 * 65536))));
    // Run-length data would allocate the whole block before decoding: 65536 * 16385 > 1 GiB.
    EXPECT_FALSE(*Read("a.bmp", MakeBmp(65535, 16385, 8, 1, {0, 1}, 1)));
    EXPECT_FALSE(*Read("a.bmp", MakeBmp(32768, 10923, 24, 0, {})));
}

TEST_F(Hostile, BmpTopDownAndBitDepths) {
    // Top-down 24 bit: the first stored row becomes the last in the block.
    auto image = Read("a.bmp", MakeBmp(1, -2, 24, 0, {1, 2, 3, 0, 4, 5, 6, 0}));
    ASSERT_TRUE(*image);
    EXPECT_EQ(image->bits[0], 4);
    EXPECT_EQ(image->bits[4], 1);
    // 2 bits per pixel, indices 0..3 in one byte, with a palette of four entries padded to 256.
    image = Read("a.bmp", MakeBmp(4, 1, 2, 0, {0x1B, 0, 0, 0}, 4));
    ASSERT_TRUE(*image);
    EXPECT_EQ(Rows(*image), (std::vector<Bytes>{{0, 1, 2, 3}}));
    EXPECT_EQ(image->palette[3].rgbRed, 3);
    EXPECT_EQ(image->palette[4].rgbRed, 0);
}

TEST_F(Hostile, BmpRunLengthEdgeCases) {
    // A run, a delta up and past the right edge, a clipped run, end of line, a literal with padding,
    // end of bitmap.
    auto image =
        Read("a.bmp", MakeBmp(4, 3, 8, 1, {3, 7, 0, 2, 1, 1, 2, 9, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}, 10));
    ASSERT_TRUE(*image);
    EXPECT_EQ(Rows(*image), (std::vector<Bytes>{{7, 7, 7, 0}, {0, 0, 0, 0}, {1, 2, 3, 0}}));
    // RLE4: an odd literal of five nibbles, then a two-colour run.
    image = Read("a.bmp", MakeBmp(7, 1, 4, 2, {0, 5, 0x12, 0x34, 0x50, 0, 2, 0xAB}, 16));
    ASSERT_TRUE(*image);
    EXPECT_EQ(Rows(*image), (std::vector<Bytes>{{1, 2, 3, 4, 5, 10, 11}}));
    // A literal longer than the data and no end marker: what is there is used, nothing more read.
    image = Read("a.bmp", MakeBmp(5, 2, 8, 1, {0, 16, 1, 2}, 3));
    ASSERT_TRUE(*image);
    EXPECT_EQ(Rows(*image), (std::vector<Bytes>{{1, 2, 0, 0, 0}, {0, 0, 0, 0, 0}}));
    // A delta far beyond the last row ends the picture.
    EXPECT_TRUE(*Read("a.bmp", MakeBmp(2, 2, 8, 1, {0, 2, 255, 255, 2, 1}, 2)));
    // Compressed rows cannot be top-down.
    EXPECT_FALSE(*Read("a.bmp", MakeBmp(2, -2, 8, 1, {0, 1}, 2)));
}

TEST_F(Hostile, BmpPalettesAndOffsetsThatLie) {
    // Two colours announced as four billion; index 200 has no colour and stays black.
    auto image = Read("a.bmp", MakeBmp(1, 1, 8, 0, {200, 0, 0, 0}, 2, 0xFFFFFFFF));
    ASSERT_TRUE(*image);
    EXPECT_EQ(image->bits[0], 200);
    EXPECT_EQ(image->palette[1].rgbGreen, 1);
    EXPECT_EQ(PaletteColour(image->palette[200]), 0u);

    Bytes f = MakeBmp(2, 2, 24, 0, Bytes(16));
    Put32(&f[10], 30);  // pixels inside the header
    EXPECT_FALSE(*Read("a.bmp", f));
    Put32(&f[10], 0x7FFFFFF0);
    EXPECT_FALSE(*Read("a.bmp", f));
    f = MakeBmp(2, 2, 24, 0, Bytes(13));  // last row one byte short
    EXPECT_FALSE(*Read("a.bmp", f));
    EXPECT_FALSE(*Read("a.bmp", MakeBmp(2, 2, 8, 0, Bytes(8))));  // indices without a palette
    f = MakeBmp(1, 1, 32, 3, Bytes(12 + 4));                      // bit fields, every mask zero
    Put32(&f[10], 66);
    EXPECT_FALSE(*Read("a.bmp", f));
}

TEST_F(Hostile, PcxGeometryAndRuns) {
    // A run over the end of the first line into the second, then a literal 0xC5 as a run of one.
    auto image = Read("a.pcx", MakePcx(3, 2, 8, 1, 4, {0xC6, 9, 0xC1, 0xC5, 1, 2, 3}, true));
    ASSERT_TRUE(*image);
    EXPECT_EQ(Rows(*image), (std::vector<Bytes>{{9, 9, 9}, {9, 9, 0xC5}}));
    EXPECT_EQ(image->palette[7].rgbRed, 7);
    // Four planes of one bit: each plane gives one bit of the index.
    image = Read("a.pcx", MakePcx(4, 1, 1, 4, 2, {0xA0, 0, 0x60, 0, 0xB0, 0, 0x10, 0}, false));
    ASSERT_TRUE(*image);
    EXPECT_EQ(Rows(*image), (std::vector<Bytes>{{5, 2, 7, 12}}));
    // Lines shorter than the width, data that ends inside a run, sizes the data cannot fill.
    EXPECT_FALSE(*Read("a.pcx", MakePcx(8, 1, 8, 1, 4, Bytes(8, 1), false)));
    EXPECT_FALSE(*Read("a.pcx", MakePcx(4, 1, 8, 1, 4, {1, 2, 3, 0xC1}, false)));
    EXPECT_FALSE(*Read("a.pcx", MakePcx(65535, 65535, 8, 3, 65535, Bytes(64, 0xFF), false)));
    EXPECT_FALSE(*Read("a.pcx", MakePcx(4, 1, 8, 2, 4, Bytes(8), false)));  // two planes of 8 bits
}

// Files stored without compression (encoding 0), as ImageMagick and GraphicsMagick write them with
// compression off: bytes-per-line bytes per plane and line, the width's own (odd ones too) or more,
// taken as they are, even those that would start a run in a compressed file. 8 bits with the VGA
// palette after the lines, or red, green and blue planes. A file that ends inside the lines is refused.
TEST_F(Hostile, PcxWithoutCompression) {
    for (int width : {1, 3, 5, 33}) {
        for (int planes : {1, 3}) {
            for (int bytesPerLine : {width, width + 1}) {
                SCOPED_TRACE(testing::Message()
                             << width << " wide, " << planes << " planes, " << bytesPerLine);
                const int height = 3;
                const int line = planes * bytesPerLine;
                Bytes data(size_t(line) * height);
                for (size_t i = 0; i < data.size(); ++i)
                    data[i] = uint8_t(i * 37 + 0xC0);
                const Bytes file = MakePcx(width, height, 8, planes, bytesPerLine, data, planes == 1, 0);
                auto image = Read("u.pcx", file);
                ASSERT_TRUE(*image);
                ASSERT_EQ(image->header->biWidth, width);
                ASSERT_EQ(image->header->biHeight, height);
                for (int y = 0; y < height; ++y) {  // rows come top-down
                    const uint8_t* in = &data[size_t(y) * line];
                    const uint8_t* row = image->bits + y * image->header->biXPelsPerMeter;
                    for (int x = 0; x < width; ++x) {
                        if (planes == 1) {
                            EXPECT_EQ(row[x], in[x]) << x << "," << y;
                            EXPECT_EQ(image->palette[row[x]].rgbRed, row[x]);
                        } else {
                            const Bytes bgr{in[2 * bytesPerLine + x], in[bytesPerLine + x], in[x]};
                            EXPECT_EQ(Bytes(row + 3 * x, row + 3 * x + 3), bgr) << x << "," << y;
                        }
                    }
                }
                Bytes shorter = MakePcx(width, height, 8, planes, bytesPerLine,
                                        Bytes(data.begin(), data.end() - 1), planes == 1, 0);
                EXPECT_FALSE(*Read("u.pcx", shorter));
                EXPECT_FALSE(*Read("u.pcx", Bytes(file.begin(), file.begin() + 128 + data.size() - 1)));
            }
        }
    }
}

// A JPEG whose frame header claims a picture over 1 GiB is refused before decoding; a file with more
// scans than any picture needs is refused as well.
TEST_F(Hostile, JpegLimits) {
    RGBQUAD palette[256] = {};
    uint8_t bits[4] = {};
    BITMAPINFOHEADER header{40, 1, 1, 1, 24, 0, 4, 4, 0, 0, 0};
    ASSERT_EQ(SaveJpeg(dir.File("a.jpg").c_str(), bits, header, palette), 1);
    Bytes f = ReadFile(dir.File("a.jpg"));
    const uint8_t marker[] = {0xFF, 0xC0};
    const auto sof = std::search(f.begin(), f.end(), std::begin(marker), std::end(marker));
    ASSERT_NE(sof, f.end());
    EXPECT_TRUE(*Read("b.jpg", f));
    sof[5] = sof[7] = 30000 >> 8, sof[6] = sof[8] = 30000 & 255;
    EXPECT_FALSE(*Read("b.jpg", f));

    REQUIRE_CORPUS();
    f = ReadFile(CorpusDir() + "/jpeg/generated/good/k23-127x85-progressive-420.jpg");
    const uint8_t sos[] = {0xFF, 0xDA};
    const auto last = std::find_end(f.begin(), f.end(), std::begin(sos), std::end(sos));
    const Bytes scan(last, f.end() - 2);
    for (int i = 0; i < 1000; ++i)
        f.insert(f.end() - 2, scan.begin(), scan.end());
    EXPECT_FALSE(*Read("b.jpg", f));
}

// The program finds the functions by name; nothing else is exported.
TEST(Library, ExportsExactlyItsFunctions) {
    const std::string symbols =
        RunProgram({"nm", "-D", "--defined-only", "--format=just-symbols", IMGKIT_LIBRARY});
    EXPECT_EQ(symbols,
              "ImgkitReadImage\nImgkitWriteImage\nLoadPCX\nReadBMP\nReadJpeg\nReadPNG\nSaveBitmap\nSaveJpeg\n"
              "SavePCX\nSavePNG\n");
}

}  // namespace
