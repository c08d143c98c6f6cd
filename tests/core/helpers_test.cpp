#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "document/file_types.h"
#include "document/image_file.h"
#include "document/line_steps.h"
#include "document/pixel_routines.h"
#include "document/plugin_library.h"
#include "document/save_checks.h"

TEST(FileTypes, LastDotOfTheFileNameCaseInsensitive) {
    EXPECT_EQ(FileTypeOfPath("/home/a/CAT.BMP"), FileType::Bmp);
    EXPECT_EQ(FileTypeOfPath("cat.old.bmp"), FileType::Bmp);
    EXPECT_EQ(FileTypeOfPath("/home/a/my.pics/cat.pcx"), FileType::Pcx);
    EXPECT_EQ(FileTypeOfPath("/home/a/.local/photo.Jpg"), FileType::Jpeg);
    EXPECT_EQ(FileTypeOfPath("photo.jpeg"), FileType::Jpeg);
    EXPECT_EQ(FileTypeOfPath("/home/a/my.pics/cat"), FileType::Unknown);
    EXPECT_EQ(FileTypeOfPath("cat.bmp.txt"), FileType::Unknown);
    EXPECT_EQ(FileTypeOfPath("cat.3dt"), FileType::Unknown);
    EXPECT_EQ(FileTypeOfPath("cat."), FileType::Unknown);
    EXPECT_EQ(FileTypeOfPath(""), FileType::Unknown);
    EXPECT_FALSE(HasExtension("/home/a/my.pics/cat"));
    EXPECT_FALSE(HasExtension("/home/a/.hidden"));
    EXPECT_TRUE(HasExtension("/home/a/cat.png"));
    EXPECT_EQ(DefaultExtension(FileType::Jpeg), ".jpg");
    // Every extension of the table saves in its format.
    const std::pair<const char*, FileType> names[] = {
        {"a.jfif", FileType::Jpeg}, {"a.JPE", FileType::Jpeg},  {"a.dib", FileType::Bmp},
        {"a.tif", FileType::Tiff},  {"a.TIFF", FileType::Tiff}, {"a.ppm", FileType::Pnm},
        {"a.pgm", FileType::Pnm},   {"a.pbm", FileType::Pnm},   {"a.pnm", FileType::Pnm},
        {"a.tga", FileType::Tga},   {"a.ico", FileType::Ico},   {"a.gif", FileType::Gif},
        {"a.webp", FileType::WebP}};
    for (const auto& [name, type] : names)
        EXPECT_EQ(FileTypeOfPath(name), type) << name;
}

// The launcher and the AppStream file offer exactly the types of the table that the program reads.
TEST(FileTypes, LauncherAndAppStreamListTheTablesTypes) {
    const std::vector<std::string> types = ReadableMimeTypes();
    std::string desktop;
    {
        std::ifstream in(std::string(ORVIK_SOURCE_DIR) + "/dist/orvik.desktop");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("MimeType=", 0) == 0) desktop = line.substr(9);
    }
    std::string expected;
    for (const std::string& type : types)
        expected += type + ";";
    EXPECT_EQ(desktop, expected);
    std::vector<std::string> listed;
    std::ifstream in(std::string(ORVIK_SOURCE_DIR) + "/dist/org.orvik.Orvik.metainfo.xml");
    for (std::string line; std::getline(in, line);) {
        const size_t open = line.find("<mediatype>"), close = line.find("</mediatype>");
        if (open != std::string::npos && close != std::string::npos)
            listed.push_back(line.substr(open + 11, close - open - 11));
    }
    EXPECT_EQ(listed, types);
}

// What saving in each format asks about first, for an 8-bit picture of colours, one of the grey ramp
// and a true-colour one; what saving over a file of several pictures asks; what no format can hold.
TEST(FileTypes, EachFormatAsksAboutWhatItCannotKeep) {
    RGBQUAD colours[kPaletteEntries], greys[kPaletteEntries];
    for (int i = 0; i < kPaletteEntries; ++i) {
        colours[i] = RGBQUAD{uint8_t(i), 40, uint8_t(255 - i), 0};
        greys[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    }
    // The texts of the rules that apply, joined; "reduce" marks a copy reduced to 256 colours.
    const auto asked = [](FileType type, SaveSubject subject) {
        std::string texts;
        for (const SaveLossRule* rule : SaveLosses(*FormatOf(type), subject))
            texts += std::string(rule->message) + (rule->reducesColours ? " reduce" : "") + "|";
        return texts;
    };
    const auto picture = [](int bitCount, const RGBQUAD* palette, bool lossy = false) {
        SaveSubject subject;
        subject.bitCount = bitCount;
        subject.width = subject.height = 10;
        subject.palette = bitCount == 8 ? palette : nullptr;
        subject.lossy = lossy;
        return subject;
    };
    const char* const kNothing = "";
    const char* const kChanges = "colours change slightly";
    const char* const kLooksSame = "will look the same";
    const char* const kReduces = "at most 256 colours";
    struct Expected {
        FileType type;
        const char *colours, *greys, *trueColour, *lossyColours;
    };
    const Expected expected[] = {
        {FileType::Bmp, kNothing, kNothing, kNothing, kNothing},
        {FileType::Pcx, kNothing, kNothing, kNothing, kNothing},
        {FileType::Jpeg, kChanges, kChanges, kNothing, kChanges},
        {FileType::Png, kNothing, kNothing, kNothing, kNothing},
        {FileType::Gif, kNothing, kNothing, kReduces, kNothing},
        {FileType::Tiff, kNothing, kNothing, kNothing, kNothing},
        {FileType::WebP, kLooksSame, kLooksSame, kNothing, kChanges},
        {FileType::Tga, kNothing, kNothing, kNothing, kNothing},
        {FileType::Ico, kNothing, kNothing, kNothing, kNothing},
        {FileType::Pnm, kLooksSame, kNothing, kNothing, kLooksSame},
    };
    ASSERT_EQ(std::size(expected), FileFormats().size());
    const auto matches = [](const std::string& texts, const char* part) {
        return *part ? texts.find(part) != std::string::npos && texts.find('|') == texts.size() - 1
                     : texts.empty();
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(FormatOf(e.type)->name);
        EXPECT_PRED2(matches, asked(e.type, picture(8, colours)), e.colours);
        EXPECT_PRED2(matches, asked(e.type, picture(8, greys)), e.greys);
        EXPECT_PRED2(matches, asked(e.type, picture(24, nullptr)), e.trueColour);
        EXPECT_PRED2(matches, asked(e.type, picture(8, colours, true)), e.lossyColours);
        EXPECT_EQ(asked(e.type, picture(24, nullptr)).find("reduce|") != std::string::npos,
                  e.trueColour == kReduces);
    }
    // Saving over the file the picture came from asks when Orvik opened only part of it.
    const std::pair<FileType, const char*> sources[] = {{FileType::Gif, "%2 frames"},
                                                        {FileType::WebP, "%2 frames"},
                                                        {FileType::Tiff, "%2 pages"},
                                                        {FileType::Ico, "%2 images"}};
    for (const auto& [type, text] : sources) {
        SaveSubject over = picture(8, colours);
        over.sourceType = type;
        over.sourceFrames = 3;
        EXPECT_PRED2(matches, asked(FileType::Png, over), text);
        over.sourceFrames = 1;
        EXPECT_EQ(asked(FileType::Png, over), "");
    }
    // Transparency: what each format holds of a 32-bit picture's and of an 8-bit one's (two fully
    // and one partly transparent entry); the texts about it of the rules that apply.
    uint8_t alpha[kPaletteEntries];
    std::fill_n(alpha, kPaletteEntries, 255);
    alpha[3] = alpha[5] = 0;
    alpha[9] = 128;
    const auto transparency = [&](FileType type, int bitCount) {
        SaveSubject subject = picture(bitCount, colours);
        subject.entryAlpha = bitCount == 8 ? alpha : nullptr;
        subject.transparent = subject.partlyTransparent = true;
        std::string texts;
        for (const SaveLossRule* rule : SaveLosses(*FormatOf(type), subject))
            if (std::string(rule->message).find("transparent") != std::string::npos) texts += rule->message;
        return texts;
    };
    const char* const kWhite = "cannot be transparent. The transparent parts will become white.";
    const char* const kOneColour = "can have only one transparent colour";
    const char* const kPartly = "cannot be partly transparent";
    const std::tuple<FileType, const char*, const char*> kept[] = {
        {FileType::Bmp, kWhite, kWhite},      {FileType::Pcx, kWhite, kWhite},
        {FileType::Jpeg, kWhite, kWhite},     {FileType::Png, kNothing, kNothing},
        {FileType::Gif, kPartly, kOneColour}, {FileType::Tiff, kNothing, kNothing},
        {FileType::WebP, kNothing, kNothing}, {FileType::Tga, kNothing, kNothing},
        {FileType::Ico, kNothing, kPartly},   {FileType::Pnm, kWhite, kWhite}};
    for (const auto& [type, trueColour, entries] : kept) {
        SCOPED_TRACE(FormatOf(type)->name);
        const std::string asked32 = transparency(type, 32), asked8 = transparency(type, 8);
        EXPECT_TRUE(*trueColour ? asked32.find(trueColour) != std::string::npos : asked32.empty()) << asked32;
        EXPECT_TRUE(*entries ? asked8.find(entries) != std::string::npos : asked8.empty()) << asked8;
    }
    // TIFF holds an 8-bit picture's transparency as an alpha channel, so the palette goes.
    SaveSubject tiff = picture(8, colours);
    tiff.entryAlpha = alpha;
    EXPECT_PRED2(matches, asked(FileType::Tiff, tiff), kLooksSame);
    // Nothing transparent in the pixels: nothing asked about it.
    SaveSubject opaque = picture(32, nullptr);
    EXPECT_EQ(asked(FileType::Jpeg, opaque), "");

    SaveSubject deep = picture(24, nullptr);
    deep.sourceType = FileType::Png;
    deep.sourceReducedDepth = true;
    EXPECT_PRED2(matches, asked(FileType::Png, deep), "more than 8 bits");
    // Sizes a format cannot store are refused; the largest it can are not.
    SaveSubject size = picture(24, nullptr);
    size.width = 256, size.height = 256;
    EXPECT_EQ(SaveRefusal(*FormatOf(FileType::Ico), size), nullptr);
    size.height = 257;
    EXPECT_NE(SaveRefusal(*FormatOf(FileType::Ico), size), nullptr);
    size.width = 16384, size.height = 1;
    EXPECT_NE(SaveRefusal(*FormatOf(FileType::WebP), size), nullptr);
    EXPECT_EQ(SaveRefusal(*FormatOf(FileType::Tiff), size), nullptr);
}

// A picture fitted to a format keeps what the format holds; what it cannot is put over white.
TEST(FileTypes, PicturesAreFittedToWhatTheFormatHolds) {
    const auto eightBit = [](ImageFileBlocks* blocks) {
        ASSERT_EQ(AllocateImage(4, 1, 8, &blocks->header, &blocks->bits), ImageStatus::Ok);
        blocks->palette = HeaderPalette(blocks->header);
        for (int i = 0; i < kPaletteEntries; ++i)
            blocks->palette[i] = RGBQUAD{0, 0, 200, 0};
        blocks->entryAlpha = static_cast<uint8_t*>(std::malloc(kPaletteEntries));
        std::fill_n(blocks->entryAlpha, kPaletteEntries, 255);
        blocks->entryAlpha[1] = blocks->entryAlpha[2] = 0;
        blocks->entryAlpha[3] = 51;
        for (int x = 0; x < 4; ++x)
            blocks->bits[x] = static_cast<uint8_t>(x);
    };
    const uint8_t mixed = OverWhite(200, 51);  // red 200 at a fifth over white
    struct Case {
        FileType type;
        uint8_t alpha1, alpha2, alpha3, red3;
    };
    const Case cases[] = {{FileType::Png, 0, 0, 51, 200},
                          {FileType::Gif, 0, 255, 255, mixed},
                          {FileType::Ico, 0, 0, 255, mixed},
                          {FileType::Bmp, 255, 255, 255, mixed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatOf(c.type)->name);
        ImageFileBlocks blocks;
        eightBit(&blocks);
        EXPECT_EQ(NeedsFitting(*FormatOf(c.type), 8, blocks.entryAlpha), c.type != FileType::Png);
        ASSERT_TRUE(FitForFormat(*FormatOf(c.type), &blocks));
        ASSERT_EQ(blocks.header->biBitCount, 8);
        const uint8_t alpha[] = {EntryAlpha(blocks.entryAlpha, 1), EntryAlpha(blocks.entryAlpha, 2),
                                 EntryAlpha(blocks.entryAlpha, 3)};
        EXPECT_EQ(alpha[0], c.alpha1);
        EXPECT_EQ(alpha[1], c.alpha2);
        EXPECT_EQ(alpha[2], c.alpha3);
        EXPECT_EQ(blocks.palette[3].rgbRed, c.red3);
        EXPECT_EQ(blocks.palette[0].rgbRed, 200) << "opaque entries stay";
    }
    // TIFF takes the opacities as an alpha channel of a 32-bit picture.
    ImageFileBlocks tiff;
    eightBit(&tiff);
    ASSERT_TRUE(FitForFormat(*FormatOf(FileType::Tiff), &tiff));
    ASSERT_EQ(tiff.header->biBitCount, 32);
    EXPECT_EQ(tiff.entryAlpha, nullptr);
    const uint8_t tiffPixels[] = {0, 0, 200, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 200, 51};
    EXPECT_EQ(std::memcmp(tiff.bits, tiffPixels, sizeof tiffPixels), 0);
    // Which pixels are transparent, and partly so, through the entries they use.
    SaveSubject described;
    DescribeTransparency(*tiff.header, tiff.bits, nullptr, &described);
    EXPECT_TRUE(described.transparent && described.partlyTransparent);
    ImageFileBlocks indexed;
    eightBit(&indexed);
    indexed.bits[3] = 0;  // entry 3, the partly transparent one, no longer in use
    DescribeTransparency(*indexed.header, indexed.bits, indexed.entryAlpha, &described);
    EXPECT_TRUE(described.transparent && !described.partlyTransparent);
    indexed.bits[1] = indexed.bits[2] = 0;
    DescribeTransparency(*indexed.header, indexed.bits, indexed.entryAlpha, &described);
    EXPECT_FALSE(described.transparent);
    // A 32-bit picture for JPEG becomes 24-bit over white; for PNG it needs nothing.
    ImageFileBlocks rgba;
    ASSERT_EQ(AllocateImage(2, 1, 32, &rgba.header, &rgba.bits), ImageStatus::Ok);
    const uint8_t pixels[] = {10, 20, 30, 255, 0, 0, 200, 51};
    std::memcpy(rgba.bits, pixels, sizeof pixels);
    EXPECT_FALSE(NeedsFitting(*FormatOf(FileType::Png), 32, nullptr));
    EXPECT_TRUE(NeedsFitting(*FormatOf(FileType::Jpeg), 32, nullptr));
    ASSERT_TRUE(FitForFormat(*FormatOf(FileType::Jpeg), &rgba));
    ASSERT_EQ(rgba.header->biBitCount, 24);
    const uint8_t white = OverWhite(0, 51);
    const uint8_t opaque[] = {10, 20, 30, white, white, mixed};
    EXPECT_EQ(std::memcmp(rgba.bits, opaque, sizeof opaque), 0);
}

// The fully transparent pixels of a 32-bit picture reduced for GIF take one entry: a free one, or
// the least used, whose pixels move to the nearest other entry.
TEST(FileTypes, TransparentPixelsOfAReducedCopyTakeOneEntry) {
    const auto run = [](int width, int transparentX, const std::function<uint8_t(int)>& index,
                        std::vector<uint8_t>* indices) {
        ImageFileBlocks source, reduced;
        uint8_t* alpha = nullptr;
        EXPECT_EQ(AllocateImage(width, 1, 32, &source.header, &source.bits), ImageStatus::Ok);
        EXPECT_EQ(AllocateImage(width, 1, 8, &reduced.header, &reduced.bits), ImageStatus::Ok);
        RGBQUAD* palette = HeaderPalette(reduced.header);
        for (int i = 0; i < kPaletteEntries; ++i)
            palette[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
        palette[5] = RGBQUAD{0, 0, 0, 0};  // entry 0's colour
        for (int x = 0; x < width; ++x) {
            source.bits[4 * x + 3] = x == transparentX ? 0 : 255;
            reduced.bits[x] = index(x);
        }
        EXPECT_TRUE(MarkTransparentPixels(*source.header, source.bits, reduced.header, reduced.bits, &alpha));
        indices->assign(reduced.bits, reduced.bits + width);
        const int entry = TransparentEntry(alpha);
        std::free(alpha);
        return entry;
    };
    std::vector<uint8_t> indices;
    EXPECT_EQ(run(
                  3, 1, [](int x) { return uint8_t(x == 2); }, &indices),
              2);
    EXPECT_EQ(indices, (std::vector<uint8_t>{0, 2, 1}));
    // Every entry in use: entry 0 is among the least used; its pixel goes to entry 5.
    EXPECT_EQ(run(
                  257, 256, [](int x) { return uint8_t(x % 256); }, &indices),
              0);
    EXPECT_EQ(indices[0], 5);
    EXPECT_EQ(indices[256], 0);
    EXPECT_EQ(indices[5], 5);
    // Nothing fully transparent: no entry alpha block.
    EXPECT_EQ(run(
                  3, -1, [](int) { return uint8_t{0}; }, &indices),
              -1);
}

namespace {

std::vector<std::pair<int, int>> Line(int x0, int y0, int x1, int y1) {
    std::vector<std::pair<int, int>> points;
    ForEachLinePoint(x0, y0, x1, y1, [&](int x, int y) { points.emplace_back(x, y); });
    return points;
}

}  // namespace

TEST(LineSteps, PointsOfTheLine) {
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(Line(0, 0, 5, 2), (P{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(Line(7, 7, 7, 7), (P{{7, 7}}));
    EXPECT_EQ(Line(3, 0, 0, 0), (P{{3, 0}, {2, 0}, {1, 0}, {0, 0}}));
    EXPECT_EQ(Line(0, 3, 0, 0), (P{{0, 3}, {0, 2}, {0, 1}, {0, 0}}));
    // Every line starts and ends at its end points and moves at most one pixel per axis a step.
    for (int x1 = -9; x1 <= 9; x1 += 3)
        for (int y1 = -9; y1 <= 9; y1 += 2) {
            const auto points = Line(0, 0, x1, y1);
            ASSERT_EQ(points.front(), std::make_pair(0, 0));
            ASSERT_EQ(points.back(), std::make_pair(x1, y1));
            EXPECT_EQ(points.size(), size_t(std::max(std::abs(x1), std::abs(y1)) + 1));
            for (size_t i = 1; i < points.size(); ++i) {
                EXPECT_LE(std::abs(points[i].first - points[i - 1].first), 1);
                EXPECT_LE(std::abs(points[i].second - points[i - 1].second), 1);
            }
        }
}

TEST(PluginLibrary, MissingLibraryAndSymbol) {
    CPluginLibrary missing("libdoes-not-exist-orvik.so");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.Symbol<void (*)()>("anything"), nullptr);
    CPluginLibrary libc("libc.so.6");  // from the search path
    ASSERT_TRUE(libc.IsLoaded());
    EXPECT_NE(libc.Symbol<void* (*)(size_t)>("malloc"), nullptr);
    EXPECT_EQ(libc.Symbol<void (*)()>("NoSuchExport"), nullptr);
    EXPECT_FALSE(CPluginLibrary::ProgramFolder().empty());
    EXPECT_EQ(CPluginLibrary::ProgramFolder().back(), '/');
}
