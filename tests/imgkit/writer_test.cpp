// The writers: round trips through our readers and through netpbm, the bytes on disk, JPEG colour and
// grey, and saves that fail without harming the file they were to replace.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "codec_test_support.h"
#include "imgkit/codec_io.h"
#include "tests/core/test_image.h"

namespace {

// A picture with a different colour in every pixel it can, and a palette of distinct colours.
void Paint(TestImage& image) {
    for (int i = 0; i < 256; ++i)
        image.palette[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    for (int row = 0; row < image.height(); ++row)
        for (int x = 0; x < image.width(); ++x) {
            if (image.header->biBitCount == 8)
                image.At8(x, row) = uint8_t(x * 5 + row * 11);
            else
                image.Set24(x, row, uint32_t(x * 2654435761u + row * 40503u) & 0xFFFFFF);
        }
}

Picture PictureOf(const TestImage& image) {
    Picture p;
    p.width = image.width();
    p.height = image.height();
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* px = image.bits + (p.height - 1 - y) * image.stride();
            const uint32_t c = image.header->biBitCount == 8 ? PaletteColour(image.palette[px[x]])
                                                             : image.At24(x, p.height - 1 - y);
            p.rgb.insert(p.rgb.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    return p;
}

int Save(SaveImageFn writer, const std::string& path, const TestImage& image) {
    return writer(path.c_str(), image.bits, *image.header, image.palette);
}

struct Shape {
    int type;
    int width;
};

class LosslessRoundTrip : public testing::TestWithParam<Shape> {};

TEST_P(LosslessRoundTrip, BmpPcxAndPngReadBackHereAndInNetpbm) {
    const auto [type, width] = GetParam();
    TestImage image(width, 7, type);
    Paint(image);
    ScratchDir dir;
    for (const std::string name : {"a.bmp", "a.pcx", "a.png"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.File(name);
        ASSERT_EQ(Save(name == "a.bmp" ? SaveBitmap : name == "a.pcx" ? SavePCX : SavePNG, path, image), 1);
        const Loaded back(ReaderFor(path), path);
        ASSERT_TRUE(back);
        ExpectReaderContract(back);
        EXPECT_EQ(back.header->biBitCount, image.header->biBitCount);
        EXPECT_EQ(MaxDifference(back.ToPicture(), PictureOf(image)), 0);
        if (type == kImage8Bit) {
            EXPECT_EQ(std::memcmp(back.palette, image.palette, kPaletteBytes), 0);
        }
        EXPECT_EQ(MaxDifference(DecodeWithTool(path), PictureOf(image)), 0) << "netpbm";
    }
    const std::vector<uint8_t> bmp = ReadFile(dir.File("a.bmp"));
    const uint8_t* info = bmp.data() + 14;
    EXPECT_EQ(Get32(bmp.data() + 2), bmp.size());
    EXPECT_EQ(Get32(info + 20), image.header->biSizeImage);
    EXPECT_EQ(Get32(info + 24), 2835u);
    EXPECT_EQ(Get32(info + 28), 2835u);
    const std::vector<uint8_t> pcx = ReadFile(dir.File("a.pcx"));
    EXPECT_EQ(pcx[1], 5);
    EXPECT_EQ(Get16(pcx.data() + 66) % 2, 0) << "scan lines of odd length";
    if (type == kImage8Bit) {
        EXPECT_EQ(pcx[pcx.size() - 769], 12);
    }
    // PNG: a palette image with all 256 entries, or truecolour; 8 bits a channel, nothing else.
    const std::vector<uint8_t> png = ReadFile(dir.File("a.png"));
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], type == kImage8Bit ? 3 : 2);
    const std::string chunks(png.begin(), png.end());
    EXPECT_EQ(chunks.find("PLTE") != std::string::npos, type == kImage8Bit);
    if (type == kImage8Bit) {
        EXPECT_EQ(Get32(&png[chunks.find("PLTE") - 4]), 0x00030000u) << "768 bytes, big-endian";
    }
    for (const char* ancillary : {"gAMA", "iCCP", "sRGB", "pHYs", "tEXt"})
        EXPECT_EQ(chunks.find(ancillary), std::string::npos) << ancillary;
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a.bmp", "a.pcx", "a.png"}));
}

INSTANTIATE_TEST_SUITE_P(Shapes, LosslessRoundTrip,
                         testing::Values(Shape{kImage8Bit, 1}, Shape{kImage8Bit, 3}, Shape{kImage8Bit, 5},
                                         Shape{kImage8Bit, 33}, Shape{kImage24Bit, 1}, Shape{kImage24Bit, 3},
                                         Shape{kImage24Bit, 5}, Shape{kImage24Bit, 33}),
                         [](const testing::TestParamInfo<Shape>& info) {
                             return std::string(info.param.type == kImage8Bit ? "Bits8" : "Bits24") +
                                    "Width" + std::to_string(info.param.width);
                         });

// A smooth 24-bit picture comes back close; an 8-bit one goes through its palette, as grey when every
// entry it uses is grey. The file carries 4:2:0 colour.
TEST(JpegWriter, ColourAndGrey) {
    ScratchDir dir;
    const std::string path = dir.File("a.jpg");
    TestImage colour(33, 21, kImage24Bit);
    for (int row = 0; row < 21; ++row)
        for (int x = 0; x < 33; ++x)
            colour.Set24(x, row, uint32_t(x * 6) << 16 | uint32_t(row * 9) << 8 | 128);
    ASSERT_EQ(Save(SaveJpeg, path, colour), 1);
    {
        const Loaded back(ReadJpeg, path);
        ASSERT_TRUE(back);
        EXPECT_EQ(back.header->biBitCount, 24);
        EXPECT_LE(MaxDifference(back.ToPicture(), PictureOf(colour)), 12);
        const std::vector<uint8_t> file = ReadFile(path);
        const uint8_t marker[] = {0xFF, 0xC0};  // baseline frame header
        const auto sof = std::search(file.begin(), file.end(), std::begin(marker), std::end(marker));
        ASSERT_NE(sof, file.end());
        EXPECT_EQ(sof[9], 3);      // components
        EXPECT_EQ(sof[11], 0x22);  // luminance sampled 2 x 2 ...
        EXPECT_EQ(sof[14], 0x11);  // ... and chrominance 1 x 1
    }

    TestImage indexed(5, 3, kImage8Bit);
    for (int i = 0; i < 256; ++i)
        indexed.palette[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    indexed.palette[200] = RGBQUAD{0, 0, 255, 0};  // red, but unused
    for (int x = 0; x < 5; ++x)
        indexed.At8(x, 0) = uint8_t(40 * x);
    ASSERT_EQ(Save(SaveJpeg, path, indexed), 1);
    EXPECT_EQ(Loaded(ReadJpeg, path).header->biBitCount, 8);
    indexed.At8(0, 0) = 200;
    ASSERT_EQ(Save(SaveJpeg, path, indexed), 1);
    const Loaded red(ReadJpeg, path);
    ASSERT_EQ(red.header->biBitCount, 24);
    const uint8_t* bottomLeft = red.bits + 2 * red.header->biXPelsPerMeter;
    EXPECT_GT(bottomLeft[2], bottomLeft[1] + 60);  // more red than green
}

struct Writer {
    const char* name;
    SaveImageFn save;
};

class FailedSave : public testing::TestWithParam<Writer> {
protected:
    FailedSave() : image(40, 30, kImage24Bit) { Paint(image); }
    TestImage image;
    ScratchDir dir;
};

TEST_P(FailedSave, LeavesTheOldFileAndNoTemporaryFile) {
    const std::string path = dir.File("old.img");
    const std::vector<uint8_t> old(5000, 'x');
    WriteFile(path, old);
    // The file may not grow past 200 bytes: the write fails half-way, as on a full disk.
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 200;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_EQ(Save(GetParam().save, path, image), 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(ReadFile(path), old);

    mkdir(dir.File("folder.img").c_str(), 0755);
    EXPECT_EQ(Save(GetParam().save, dir.File("folder.img"), image), 0);
    EXPECT_EQ(Save(GetParam().save, dir.File("missing/new.img"), image), 0);
    if (geteuid() != 0) {  // root writes in read-only folders
        chmod(dir.Path().c_str(), 0555);
        EXPECT_EQ(Save(GetParam().save, path, image), 0);
        chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(ReadFile(path), old);
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"folder.img", "old.img"}));
}

TEST_P(FailedSave, RefusesImagesTheModelCannotHold) {
    const std::string path = dir.File("new.img");
    BITMAPINFOHEADER header = *image.header;
    header.biXPelsPerMeter += 4;  // not the stride of the width
    EXPECT_EQ(GetParam().save(path.c_str(), image.bits, header, image.palette), 0);
    header = *image.header;
    header.biBitCount = 16;
    EXPECT_EQ(GetParam().save(path.c_str(), image.bits, header, image.palette), 0);
    EXPECT_EQ(GetParam().save(path.c_str(), nullptr, *image.header, image.palette), 0);
    TestImage indexed(4, 4, kImage8Bit);
    EXPECT_EQ(GetParam().save(path.c_str(), indexed.bits, *indexed.header, nullptr), 0);
    EXPECT_TRUE(dir.Names().empty());
}

// Replacing a file keeps its permissions, and saving through a link replaces the file it points at.
TEST_P(FailedSave, SuccessKeepsModeAndLinks) {
    const std::string target = dir.File("target.img");
    WriteFile(target, {1, 2, 3});
    chmod(target.c_str(), 0640);
    ASSERT_EQ(symlink("target.img", dir.File("link.img").c_str()), 0);
    ASSERT_EQ(Save(GetParam().save, dir.File("link.img"), image), 1);
    struct stat st {};
    ASSERT_EQ(lstat(dir.File("link.img").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_GT(st.st_size, 3);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link.img", "target.img"}));
}

INSTANTIATE_TEST_SUITE_P(Writers, FailedSave,
                         testing::Values(Writer{"SaveBitmap", SaveBitmap}, Writer{"SavePCX", SavePCX},
                                         Writer{"SaveJpeg", SaveJpeg}, Writer{"SavePNG", SavePNG}),
                         [](const testing::TestParamInfo<Writer>& info) { return info.param.name; });

}  // namespace
