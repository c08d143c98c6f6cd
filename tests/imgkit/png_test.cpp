// PNG: every kind of file (made here with netpbm, and the corpus's PNG files) reads with the pixels of
// netpbm's decoder composited over white; hostile and damaged files are refused.
#include <cstring>
#include <filesystem>

#include "codec_test_support.h"
#include "document/image_file.h"
#include "tests/core/test_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The reference with its transparency composited over white, as ReadPNG shows it.
Picture OverWhite(Picture p) {
    for (size_t i = 0; i < p.alpha.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            const int v = p.rgb[3 * i + c], a = p.alpha[i];
            p.rgb[3 * i + c] = uint8_t((v * a + 255 * (255 - a) + 127) / 255);
        }
    p.alpha.clear();
    return p;
}

// netpbm's picture of a PNG. netpbm (11.01) leaves the tRNS colour of an 8-bit truecolour file
// opaque; that colour is made transparent here.
Picture Reference(const std::string& path) {
    Picture p = ParsePnm(RunProgram({"pngtopam", "-alphapam", path}));
    const Bytes file = ReadFile(path);
    const std::string text(file.begin(), file.end());
    const size_t trns = text.find("tRNS");
    if (p.alpha.empty() || file[24] != 8 || file[25] != 2 || trns == std::string::npos) return p;
    for (size_t i = 0; i < p.alpha.size(); ++i)
        if (p.rgb[3 * i] == file[trns + 5] && p.rgb[3 * i + 1] == file[trns + 7] &&
            p.rgb[3 * i + 2] == file[trns + 9])
            p.alpha[i] = 0;
    return p;
}

void ExpectReadsLikeNetpbm(const std::string& path, int bitCount) {
    const Loaded image(ReadPNG, path);
    ASSERT_TRUE(image) << "refused";
    ExpectReaderContract(image);
    if (bitCount) {
        EXPECT_EQ(image.header->biBitCount, bitCount);
    }
    const Picture reference = Reference(path);
    ASSERT_GT(reference.width, 0) << "no reference picture";
    EXPECT_EQ(MaxDifference(image.ToPicture(), OverWhite(reference)), 0);
}

// Made opaque over white, what ImgkitReadImage keeps of the transparency gives ReadPNG's picture
// byte for byte: the document opens transparent pictures that way until it keeps transparency.
void ExpectOpaqueLikeReadPng(const std::string& path) {
    const Loaded old(ReadPNG, path);
    ImageFileBlocks blocks;
    ImageFileInfo info;
    ASSERT_EQ(ReadImageFile(ImgkitReadImage, path, &blocks, &info), ImageFileStatus::Ok);
    ASSERT_TRUE(CompositeOverWhite(&blocks, info.grey));
    ASSERT_TRUE(old);
    ASSERT_EQ(blocks.entryAlpha, nullptr);
    ASSERT_EQ(std::memcmp(blocks.header, old.header, kHeaderBytes), 0);
    EXPECT_EQ(std::memcmp(blocks.bits, old.bits, old.header->biSizeImage), 0);
    if (old.header->biBitCount == 8) {
        EXPECT_EQ(std::memcmp(blocks.palette, old.palette, kPaletteBytes), 0);
    }
}

constexpr int kWidth = 37, kHeight = 11;

// A PGM or PPM of kWidth x kHeight. `distinct` > 0: that many different values (colours), else a
// different one in nearly every pixel.
std::string Pnm(bool colour, int maxval, int distinct) {
    std::string out = (colour ? "P6\n" : "P5\n") + std::to_string(kWidth) + " " + std::to_string(kHeight) +
                      "\n" + std::to_string(maxval) + "\n";
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < (colour ? 3 : 1); ++c) {
                const uint32_t k =
                    distinct ? uint32_t(x * 3 + y * 5) % distinct : uint32_t(x * 131 + y * 517);
                const uint32_t v =
                    (k * (37 + 54 * c) + (distinct ? 0 : (k * 2654435761u) >> 9)) % (maxval + 1u);
                if (maxval > 255) out += char(v >> 8);
                out += char(v);
            }
    return out;
}

struct Kind {
    const char* name;
    bool colour;
    int maxval;
    int distinct;
    const char* option;  // "", "alpha" (an alpha channel), "tRNS" (the second pixel's colour transparent)
    int colourType;      // as pnmtopng writes it: 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int depth;
    int bitCount;  // what ReadPNG makes of it
};

const Kind kKinds[] = {
    {"palette 1 bit", true, 255, 2, "", 3, 1, 8},
    {"palette 2 bits", true, 255, 4, "", 3, 2, 8},
    {"palette 4 bits", true, 255, 16, "", 3, 4, 8},
    {"palette 8 bits", true, 255, 200, "", 3, 8, 8},
    {"palette with tRNS", true, 255, 16, "tRNS", 3, 4, 8},
    {"grey 1 bit", false, 1, 0, "", 0, 1, 8},
    {"grey 2 bits", false, 3, 0, "", 0, 2, 8},
    {"grey 4 bits", false, 15, 0, "", 0, 4, 8},
    {"grey 8 bits", false, 255, 0, "", 0, 8, 8},
    {"grey 16 bits", false, 65535, 0, "", 0, 16, 8},
    {"grey with tRNS", false, 255, 0, "tRNS", 0, 8, 8},
    {"grey and alpha", false, 255, 0, "alpha", 4, 8, 8},
    {"grey and alpha 16 bits", false, 65535, 0, "alpha", 4, 16, 8},
    {"RGB", true, 255, 0, "", 2, 8, 24},
    {"RGB 16 bits", true, 65535, 0, "", 2, 16, 24},
    {"RGB with tRNS", true, 255, 0, "tRNS", 2, 8, 24},
    {"RGBA", true, 255, 0, "alpha", 6, 8, 24},
    {"RGBA 16 bits", true, 65535, 0, "alpha", 6, 16, 24},
};

TEST(PngReader, EveryKindMadeByNetpbmInterlacedOrNot) {
    ScratchDir dir;
    for (const Kind& kind : kKinds) {
        for (const bool interlaced : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (interlaced ? ", interlaced" : ""));
            const std::string source = dir.File(kind.colour ? "in.ppm" : "in.pgm");
            const std::string text = Pnm(kind.colour, kind.maxval, kind.distinct);
            WriteFile(source, Bytes(text.begin(), text.end()));
            std::vector<std::string> argv = {"pnmtopng"};
            if (interlaced) argv.push_back("-interlace");
            if (std::string(kind.option) == "alpha") {
                const std::string alpha = Pnm(false, kind.maxval, 0);
                WriteFile(dir.File("alpha.pgm"), Bytes(alpha.begin(), alpha.end()));
                argv.push_back("-alpha=" + dir.File("alpha.pgm"));
                argv.push_back("-force");  // no palette, however few the colours
            } else if (std::string(kind.option) == "tRNS") {
                const auto* second = reinterpret_cast<const uint8_t*>(text.data() + text.size()) -
                                     (kWidth * kHeight - 1) * (kind.colour ? 3 : 1);
                char colour[32];
                std::snprintf(colour, sizeof colour, "-transparent=rgb:%02x/%02x/%02x", second[0],
                              second[kind.colour ? 1 : 0], second[kind.colour ? 2 : 0]);
                argv.push_back(colour);
            }
            argv.push_back(source);
            bool ok = false;
            const std::string png = RunProgram(argv, &ok);
            ASSERT_TRUE(ok && png.size() > 33) << "pnmtopng failed";
            const std::string path = dir.File("kind.png");
            WriteFile(path, Bytes(png.begin(), png.end()));
            // The file is the kind it should be: IHDR's depth, colour type and interlace method.
            ASSERT_EQ(int(uint8_t(png[24])), kind.depth);
            ASSERT_EQ(int(uint8_t(png[25])), kind.colourType);
            ASSERT_EQ(png[28], interlaced ? 1 : 0);
            if (std::string(kind.option) == "tRNS") {
                ASSERT_NE(png.find("tRNS"), std::string::npos);
            }
            ExpectReadsLikeNetpbm(path, kind.bitCount);
            ExpectOpaqueLikeReadPng(path);
        }
    }
}

TEST(PngReader, CorpusFilesReadLikeNetpbm) {
    REQUIRE_CORPUS();
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CorpusDir())) {
        if (!entry.is_regular_file()) continue;
        const std::string path = entry.path().string();
        const Bytes head = ReadFile(path);
        if (head.size() < 8 || std::string(head.begin(), head.begin() + 4) != "\x89PNG") continue;
        SCOPED_TRACE(path);
        ExpectReadsLikeNetpbm(path, 0);
        ++files;
    }
    EXPECT_GE(files, 140);
}

// A small greyscale PNG made by pnmtopng.
Bytes SmallPng(const ScratchDir& dir) {
    const std::string text = Pnm(false, 255, 0);
    WriteFile(dir.File("in.pgm"), Bytes(text.begin(), text.end()));
    const std::string png = RunProgram({"pnmtopng", dir.File("in.pgm")});
    return Bytes(png.begin(), png.end());
}

// Sets a chunk's CRC again after its contents were changed.
void FixCrc(Bytes& file, size_t chunk) {
    const uint32_t length =
        uint32_t(file[chunk]) << 24 | file[chunk + 1] << 16 | file[chunk + 2] << 8 | file[chunk + 3];
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = chunk + 4; i < chunk + 8 + length; ++i) {
        crc ^= file[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    crc ^= 0xFFFFFFFF;
    for (int i = 0; i < 4; ++i)
        file[chunk + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
}

TEST(PngReader, HostileAndDamagedFilesAreRefused) {
    ScratchDir dir;
    const Bytes good = SmallPng(dir);
    ASSERT_GT(good.size(), 60u);
    const std::string path = dir.File("bad.png");
    auto read = [&](const Bytes& bytes) {
        WriteFile(path, bytes);
        const Loaded image(ReadPNG, path);
        if (image) ExpectReaderContract(image);
        return bool(image);
    };
    ASSERT_TRUE(read(good));
    // Sizes outside the model: a side over 65535, or a block over 1 GiB (refused before any pixel
    // data is read, so the little data there is does not matter).
    for (const auto& [width, height] : {std::pair{65536u, 1u}, {1u, 65536u}, {0u, 5u}, {65535u, 65535u}}) {
        Bytes f = good;
        for (int i = 0; i < 4; ++i) {
            f[16 + i] = uint8_t(width >> (24 - 8 * i));
            f[20 + i] = uint8_t(height >> (24 - 8 * i));
        }
        FixCrc(f, 8);
        EXPECT_FALSE(read(f)) << width << " x " << height;
    }
    // Cut short inside the pixel data; a damaged byte in it (the checksum finds it); not a PNG at all.
    EXPECT_FALSE(read(Bytes(good.begin(), good.begin() + good.size() / 2)));
    Bytes damaged = good;
    damaged[good.size() - 20] ^= 0x55;
    EXPECT_FALSE(read(damaged));
    EXPECT_FALSE(read(Bytes(good.begin() + 8, good.end())));
    EXPECT_FALSE(read({}));
    EXPECT_TRUE(dir.Names() == std::vector<std::string>({"bad.png", "in.pgm"}));
}

}  // namespace

// Large 8-bit pictures are compressed in bands of about 1 MiB of rows, joined into one stream:
// bands that divide the rows unevenly, the widest rows, 1 bit per sample and tiny pictures read back
// exactly, here and in netpbm.
TEST(PngWriter, PixelsCompressedInBandsReadBackExactly) {
    struct Case {
        int width, height;
        bool grey;  // the grey ramp using black and white only: 1 bit a sample
        int step;   // indices used: multiples of this
    };
    ScratchDir dir;
    for (const Case c : {Case{4099, 700, false, 1}, Case{65535, 40, false, 1}, Case{30001, 300, true, 255},
                         Case{5, 40, false, 64}, Case{1, 9, false, 1}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        TestImage image(c.width, c.height, kImage8Bit);
        for (int i = 0; i < 256; ++i)
            image.palette[i] = c.grey ? RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0}
                                      : RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
        for (int row = 0; row < c.height; ++row)
            for (int x = 0; x < c.width; ++x)
                image.At8(x, row) = uint8_t((x * 5 + row * 11 + (x * row >> 7)) % (256 / c.step) * c.step);
        const std::string path = dir.File("a.png");
        ASSERT_EQ(SavePNG(path.c_str(), image.bits, *image.header, image.palette), 1);
        const Loaded back(ReadPNG, path);
        ASSERT_TRUE(back);
        ASSERT_EQ(back.header->biWidth, c.width);
        ASSERT_EQ(back.header->biHeight, c.height);
        const int64_t stride = back.header->biXPelsPerMeter;
        bool same = true;
        for (int row = 0; row < c.height && same; ++row)
            same = std::memcmp(back.bits + row * stride, image.bits + row * image.stride(), c.width) == 0;
        EXPECT_TRUE(same);
        const std::vector<uint8_t> png = ReadFile(path);
        EXPECT_EQ(png[24], c.grey ? 1 : 8) << "bits a sample";
        const Picture reference = DecodeWithTool(path);
        ASSERT_EQ(reference.width, c.width);
        bool matches = true;
        for (int y = 0; y < c.height && matches; ++y)
            for (int x = 0; x < c.width && matches; ++x) {
                const RGBQUAD& e = image.palette[image.At8(x, c.height - 1 - y)];
                const uint8_t* p = &reference.rgb[3 * (size_t(y) * c.width + x)];
                matches = p[0] == e.rgbRed && p[1] == e.rgbGreen && p[2] == e.rgbBlue;
            }
        EXPECT_TRUE(matches) << "netpbm";
    }
}
