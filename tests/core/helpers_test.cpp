#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "document/file_types.h"
#include "document/line_steps.h"
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
