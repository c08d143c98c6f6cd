#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "document/file_types.h"
#include "document/line_steps.h"
#include "document/plugin_library.h"

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
        {"a.jfif", FileType::Jpeg}, {"a.JPE", FileType::Jpeg}, {"a.dib", FileType::Bmp}, {"a.tif", FileType::Tiff},
        {"a.TIFF", FileType::Tiff}, {"a.ppm", FileType::Pnm}, {"a.pgm", FileType::Pnm}, {"a.pbm", FileType::Pnm},
        {"a.pnm", FileType::Pnm}, {"a.tga", FileType::Tga}, {"a.ico", FileType::Ico}, {"a.gif", FileType::Gif},
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
