// Palette files: what other programs write is read as they mean it, what the program writes reads
// back the same, and a bad file gives its reason.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "document/palette_file.h"

namespace {

bool Same(const RGBQUAD& c, int red, int green, int blue) {
    return c.rgbRed == red && c.rgbGreen == green && c.rgbBlue == blue && c.rgbReserved == 0;
}

PaletteFile Ramp(int count) {
    PaletteFile palette;
    for (int i = 0; i < count; ++i)
        palette.colours.push_back(RGBQUAD{uint8_t(255 - i), uint8_t(i * 7), uint8_t(i), 0});
    return palette;
}

}  // namespace

TEST(PaletteFile, ReadsFilesOfOtherPrograms) {
    // GIMP: header, name, columns, comments, blank lines, tabs, names with spaces, no final newline.
    const PaletteReadResult gimp = ParsePalette(
        "GIMP Palette\nName: Sunset tones\nColumns: 4\n# made by hand\n#\n"
        "255   0   0\tRed\n  0 128 255\tSky blue shade\n\n 12  34  56\n  7   8   9 Untitled",
        PaletteFormat::Unknown);
    ASSERT_EQ(gimp.error, PaletteError::None);
    EXPECT_EQ(gimp.palette.format, PaletteFormat::Gimp);
    EXPECT_EQ(gimp.palette.name, "Sunset tones");
    EXPECT_EQ(gimp.palette.columns, 4);
    ASSERT_EQ(gimp.palette.colours.size(), 4u);
    EXPECT_TRUE(Same(gimp.palette.colours[0], 255, 0, 0));
    EXPECT_TRUE(Same(gimp.palette.colours[1], 0, 128, 255));
    EXPECT_TRUE(Same(gimp.palette.colours[3], 7, 8, 9));
    EXPECT_EQ(gimp.palette.names[1], "Sky blue shade");
    EXPECT_EQ(gimp.palette.names[2], "");
    EXPECT_FALSE(gimp.palette.Truncated());

    // Paint Shop Pro: CRLF line ends, a file named .pal whatever its content says.
    const PaletteReadResult jasc =
        ParsePalette("JASC-PAL\r\n0100\r\n3\r\n0 0 0\r\n255 255 255\r\n10 20 30\r\n", PaletteFormat::Jasc);
    ASSERT_EQ(jasc.error, PaletteError::None);
    EXPECT_EQ(jasc.palette.format, PaletteFormat::Jasc);
    ASSERT_EQ(jasc.palette.colours.size(), 3u);
    EXPECT_TRUE(Same(jasc.palette.colours[1], 255, 255, 255));
    EXPECT_TRUE(Same(jasc.palette.colours[2], 10, 20, 30));

    // A hex list with a byte-order mark, '#' and either case; ACT with and without its trailer.
    const PaletteReadResult hex = ParsePalette(
        "\xEF\xBB\xBF"
        "ff8000\n#00FF7f\r\n\n",
        PaletteFormat::Hex);
    ASSERT_EQ(hex.error, PaletteError::None);
    ASSERT_EQ(hex.palette.colours.size(), 2u);
    EXPECT_TRUE(Same(hex.palette.colours[0], 255, 128, 0));
    EXPECT_TRUE(Same(hex.palette.colours[1], 0, 255, 127));

    std::string act(768, '\0');
    act[3] = char(200);   // entry 1 red
    act[767] = char(99);  // entry 255 blue
    const PaletteReadResult full = ParsePalette(act, PaletteFormat::Unknown);
    ASSERT_EQ(full.error, PaletteError::None);
    EXPECT_EQ(full.palette.format, PaletteFormat::Act);
    ASSERT_EQ(full.palette.colours.size(), 256u);
    EXPECT_TRUE(Same(full.palette.colours[1], 200, 0, 0));
    EXPECT_TRUE(Same(full.palette.colours[255], 0, 0, 99));
    EXPECT_EQ(full.palette.transparentIndex, -1);
    const PaletteReadResult counted =
        ParsePalette(act + std::string("\x00\x10\x00\x03", 4), PaletteFormat::Act);
    ASSERT_EQ(counted.error, PaletteError::None);
    EXPECT_EQ(counted.palette.colours.size(), 16u);
    EXPECT_EQ(counted.palette.transparentIndex, 3);

    // Microsoft's RIFF palette, as Windows programs name it .pal.
    std::string riff("RIFF\x14\x00\x00\x00PAL data\x08\x00\x00\x00\x00\x03\x01\x00\x01\x02\x03\x00", 28);
    const PaletteReadResult microsoft = ParsePalette(riff, PaletteFormat::Jasc);
    ASSERT_EQ(microsoft.error, PaletteError::None);
    ASSERT_EQ(microsoft.palette.colours.size(), 1u);
    EXPECT_TRUE(Same(microsoft.palette.colours[0], 1, 2, 3));
}

TEST(PaletteFile, WritesEachFormatByItsRulesAndReadsItBack) {
    PaletteFile palette = Ramp(256);
    palette.name = "Ramp\nwith a break";
    palette.names.assign(256, "");
    palette.names[1] = "second";
    const std::string gimp = FormatPalette(palette, PaletteFormat::Gimp);
    EXPECT_EQ(gimp.substr(0, 46), "GIMP Palette\nName: Ramp with a break\nColumns: ");
    EXPECT_NE(gimp.find("\n#\n  0   0 255\tIndex 0\n  1   7 254\tsecond\n"), std::string::npos);
    const std::string jasc = FormatPalette(palette, PaletteFormat::Jasc);
    EXPECT_EQ(jasc.substr(0, 30), "JASC-PAL\r\n0100\r\n256\r\n0 0 255\r\n");
    EXPECT_EQ(FormatPalette(palette, PaletteFormat::Act).size(), 768u);
    EXPECT_EQ(FormatPalette(palette, PaletteFormat::Hex).substr(0, 14), "0000ff\n0107fe\n");

    for (PaletteFormat format :
         {PaletteFormat::Gimp, PaletteFormat::Jasc, PaletteFormat::Act, PaletteFormat::Hex}) {
        for (int count : {1, 17, 256}) {
            PaletteFile source = Ramp(count);
            source.transparentIndex = format == PaletteFormat::Act && count == 17 ? 5 : -1;
            const PaletteReadResult back =
                ParsePalette(FormatPalette(source, format), PaletteFormat::Unknown);
            ASSERT_EQ(back.error, PaletteError::None) << int(format) << " " << count;
            EXPECT_EQ(back.palette.format, format);
            ASSERT_EQ(back.palette.colours.size(), size_t(count)) << int(format);
            for (int i = 0; i < count; ++i)
                EXPECT_TRUE(Same(back.palette.colours[i], i, uint8_t(i * 7), 255 - i))
                    << int(format) << " " << i;
            EXPECT_EQ(back.palette.transparentIndex, source.transparentIndex);
        }
    }
}

TEST(PaletteFile, TakesTheFirst256ColoursOfALargerFile) {
    std::string gimp = "GIMP Palette\n";
    std::string jasc = "JASC-PAL\n0100\n300\n";
    std::string hex;
    for (int i = 0; i < 300; ++i) {
        const std::string line = std::to_string(i % 256) + " 0 " + std::to_string(i / 256) + "\n";
        gimp += line;
        jasc += line;
        char digits[8];
        std::snprintf(digits, sizeof digits, "%02x00%02x\n", i % 256, i / 256);
        hex += digits;
    }
    for (const auto& [text, format] :
         {std::pair{gimp, PaletteFormat::Gimp}, std::pair{jasc, PaletteFormat::Jasc},
          std::pair{hex, PaletteFormat::Hex}}) {
        const PaletteReadResult result = ParsePalette(text, format);
        ASSERT_EQ(result.error, PaletteError::None) << int(format);
        EXPECT_TRUE(result.palette.Truncated());
        EXPECT_EQ(result.palette.fileColours, 300u);
        ASSERT_EQ(result.palette.colours.size(), 256u);
        EXPECT_TRUE(Same(result.palette.colours[255], 255, 0, 0));
    }
}

TEST(PaletteFile, GivesTheReasonAndLineOfABadFile) {
    struct Case {
        std::string bytes;
        PaletteFormat hint;
        PaletteError error;
        int line;
    };
    const Case cases[] = {
        {"", PaletteFormat::Gimp, PaletteError::Empty, 0},
        {"GIMP Palette\n# ok\n1 2 3\n1 2\n", PaletteFormat::Gimp, PaletteError::BadColour, 4},
        {"GIMP Palette\n1 2 256\n", PaletteFormat::Gimp, PaletteError::BadColour, 2},
        {"GIMP Palette\r\nName: x\r\n-1 2 3\r\n", PaletteFormat::Gimp, PaletteError::BadColour, 3},
        {"GIMP Palette\n# nothing\n", PaletteFormat::Gimp, PaletteError::NoColours, 0},
        {"Palette of mine\n1 2 3\n", PaletteFormat::Gimp, PaletteError::BadHeader, 1},
        {"JASC-PAL\r\nversion\r\n", PaletteFormat::Jasc, PaletteError::BadHeader, 2},
        {"JASC-PAL\r\n0100\r\nmany\r\n", PaletteFormat::Jasc, PaletteError::BadCount, 3},
        {"JASC-PAL\r\n0100\r\n3\r\n1 2 3\r\n4 5 6\r\n", PaletteFormat::Jasc, PaletteError::MissingColours, 6},
        {"JASC-PAL\r\n0100\r\n2\r\n1 2 3\r\n4 5 x\r\n", PaletteFormat::Jasc, PaletteError::BadColour, 5},
        {"JASC-PAL\r\n0100\r\n0\r\n", PaletteFormat::Jasc, PaletteError::NoColours, 0},
        {"ff00ff\nff00f\n", PaletteFormat::Hex, PaletteError::BadColour, 2},
        {"ff00ff\n12345g\n", PaletteFormat::Hex, PaletteError::BadColour, 2},
        {std::string(767, '\0'), PaletteFormat::Act, PaletteError::BadSize, 0},
        {std::string(768, '\0') + std::string("\x01\x01\xFF\xFF", 4), PaletteFormat::Act,
         PaletteError::BadCount, 0},
        {"hello, world\n", PaletteFormat::Unknown, PaletteError::UnknownFormat, 0},
        {std::string("RIFF\x10\x00\x00\x00PAL data\xFF\x00\x00\x00", 20), PaletteFormat::Jasc,
         PaletteError::BadSize, 0},
    };
    for (const Case& c : cases) {
        const PaletteReadResult result = ParsePalette(c.bytes, c.hint);
        EXPECT_EQ(result.error, c.error) << c.bytes;
        EXPECT_EQ(result.line, c.line) << c.bytes;
        EXPECT_TRUE(result.palette.colours.empty()) << c.bytes;
    }
    EXPECT_EQ(ParsePalette("JASC-PAL\n0100\n3\n1 2 3\n", PaletteFormat::Jasc).expected, 3u);
    EXPECT_EQ(ParsePalette(std::string(kMaxPaletteFileBytes + 1, ' ')).error, PaletteError::TooLarge);
    EXPECT_EQ(ReadPaletteFile("/nonexistent/folder/palette.gpl").error, PaletteError::CannotOpen);
    EXPECT_EQ(PaletteFormatOfPath("/a.b/colours.GPL"), PaletteFormat::Gimp);
    EXPECT_EQ(PaletteFormatOfPath("/a.act/colours"), PaletteFormat::Unknown);
}
