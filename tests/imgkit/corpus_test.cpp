// Files made by other programs: every good one reads with the pixels of its reference, every bad one
// is refused or read within its blocks, and each reader refuses the other formats.
#include <filesystem>
#include <set>

#include "codec_test_support.h"

namespace {

// A file, its reference picture (a PNG, or a file an outside decoder reads; empty: the file itself
// through bmptopnm, pcxtoppm or djpeg) and the largest channel difference allowed.
struct Case {
    std::string file;
    std::string reference;
    int tolerance = 0;
};

void ExpectMatches(const std::vector<Case>& cases) {
    const std::string root = CorpusDir() + "/";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Loaded image(ReaderFor(c.file), root + c.file);
        ASSERT_TRUE(image) << "refused";
        ExpectReaderContract(image);
        const Picture reference = DecodeWithTool(root + (c.reference.empty() ? c.file : c.reference));
        ASSERT_GT(reference.width, 0) << "no reference picture";
        EXPECT_LE(MaxDifference(image.ToPicture(), reference), c.tolerance) << "against " << c.reference;
    }
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CorpusDir() + "/" + folder))
        if (entry.is_regular_file()) files.push_back(entry.path().string().substr(CorpusDir().size() + 1));
    std::sort(files.begin(), files.end());
    return files;
}

// The generated folders: each file made from the photo names its reference (size and kind); the
// hand-written ones and the lossy 16-bit one are compared with netpbm.
std::vector<Case> GeneratedCases(const std::string& format) {
    const std::string dir = format + "/generated/";
    const std::vector<std::pair<std::string, std::string>> kinds = {
        {"rgb16", ""},    {"16colours", "q16"}, {"clrused16", "q16"}, {"4bit", "q16"},
        {"pal4", "q16"},  {"2bit", "q4"},       {"1bit", "mono"},     {"pal1", "mono"},
        {"grey", "grey"}, {"rgb", "rgb24"},     {"", "q256"}};
    std::vector<Case> cases;
    for (const char* group : {"good", "q", "other"}) {
        for (const std::string& file : FilesBelow(dir + group)) {
            const std::string name = file.substr(file.rfind('/') + 1);
            const auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const auto& k) {
                return name.find(k.first) != std::string::npos;
            });
            if (!name.starts_with("k23-") || kind->second.empty()) {
                cases.push_back({file, "", 1});  // netpbm scales 5 and 6 bits a little differently
                continue;
            }
            const std::string size = name.substr(4, name.find('-', 4) - 4);
            const bool photo = size == "768x512" && kind->second == "rgb24";
            cases.push_back(
                {file, photo ? "photos/kodim23.png" : dir + "ref/k23-" + size + "-" + kind->second + ".png"});
        }
    }
    return cases;
}

bool IsBadFile(const std::string& path) {
    for (const char* part : {"/bad/", "/b/", "/bugs/", "/crashtest/"})
        if (path.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(CorpusBmp, BmpsuiteMatchesItsReferences) {
    REQUIRE_CORPUS();
    const std::string s = "bmp/bmpsuite/";
    std::vector<Case> cases;
    auto add = [&](const std::string& file, const std::string& ref, int tolerance = 0) {
        cases.push_back({s + file + ".bmp", s + "ref/" + ref + ".png", tolerance});
    };
    for (const char* f : {"g/pal1", "g/pal1wb"})
        add(f, "pal1");
    for (const char* f :
         {"g/pal1bg",       "g/pal4",         "g/pal4gs",      "g/pal8",        "g/pal8gs",
          "g/pal8w124",     "g/pal8w125",     "g/pal8w126",    "g/rgb16",       "g/rgb16-565",
          "g/rgb24",        "q/pal1p1",       "q/pal2",        "q/pal2color",   "q/rgb16-231",
          "q/rgb16-3103",   "q/rgb32-7187",   "q/rgba16-1924", "q/rgba16-4444", "q/rgba32-1010102",
          "q/rgba32-61754", "q/rgba32-81284", "b/rgb16-880"})
        add(f, std::string(f).substr(2));
    add("g/pal4rle", "pal4");
    add("g/pal8nonsquare", "pal8nonsquare-e");
    for (const char* f : {"g/pal8-0", "g/pal8os2", "g/pal8rle", "g/pal8topdown", "g/pal8v4", "g/pal8v5",
                          "q/pal8offs", "q/pal8os2-hs", "q/pal8os2-sz", "q/pal8os2sp", "q/pal8os2v2",
                          "q/pal8os2v2-16", "q/pal8os2v2-40sz", "q/pal8os2v2-sz", "q/pal8oversizepal"})
        add(f, "pal8");
    // Skipped pixels and a cut-off bitmap keep index 0.
    for (const char* f : {"q/pal4rlecut", "q/pal4rletrns", "q/pal8rlecut", "q/pal8rletrns"})
        add(f, std::string(f).substr(2) + "-0");
    add("g/rgb16-565pal", "rgb16-565");
    add("g/rgb16bfdef", "rgb16");
    add("q/rgb16faketrns", "rgb16");
    for (const char* f : {"g/rgb24pal", "g/rgb32", "g/rgb32bf", "g/rgb32bfdef", "q/rgb24largepal",
                          "q/rgb24lprof", "q/rgb24prof", "q/rgb32-xbgr", "q/rgb32fakealpha", "q/rgb32h52"})
        add(f, "rgb24");
    add("q/rgb32-111110", "rgb24", 1);  // 11 and 10 bits per channel round back to within one level
    for (const char* f : {"q/rgba32-1", "q/rgba32-2", "q/rgba32abf", "q/rgba32h56"})
        add(f, "rgba32");
    ExpectMatches(cases);
}

TEST(CorpusBmp, OtherSourcesMatchNetpbm) {
    REQUIRE_CORPUS();
    std::vector<Case> cases = GeneratedCases("bmp");
    EXPECT_EQ(cases.size(), 35u) << "files in bmp/generated/{good,q,other}";
    cases.push_back({"bmp/bmpsuite/q/rgb24prof2.bmp", ""});  // pixels as stored; the profile is ignored
    for (const char* f :
         {"Core_1_Bit", "Core_4_Bit", "Info_1_Bit", "Info_1_Bit_Top_Down", "Info_4_Bit",
          "Info_4_Bit_Top_Down", "Info_8_Bit", "Info_8_Bit_Top_Down", "Info_A8_R8_G8_B8",
          "Info_A8_R8_G8_B8_Top_Down", "Info_R8_G8_B8", "Info_R8_G8_B8_Top_Down", "Info_X1_R5_G5_B5",
          "Info_X1_R5_G5_B5_Top_Down", "V3_A1_R5_G5_B5", "V3_A1_R5_G5_B5_Top_Down"})
        cases.push_back({std::string("bmp/image-rs/") + f + ".bmp", ""});
    // netpbm misreads the masks of 56-byte headers; these hold the picture of the 8-bit-channel files.
    for (const char* f :
         {"V3_X8_R8_G8_B8", "V3_X8_R8_G8_B8_Top_Down", "V3_R5_G6_B5", "V3_R5_G6_B5_Top_Down",
          "V3_A4_R4_G4_B4", "V3_A4_R4_G4_B4_Top_Down", "V3_X4_R4_G4_B4", "V3_X4_R4_G4_B4_Top_Down"})
        cases.push_back({std::string("bmp/image-rs/") + f + ".bmp", "bmp/image-rs/Info_R8_G8_B8.bmp", 8});
    for (const std::string& f : FilesBelow("bmp/sail"))
        if (!IsBadFile(f)) cases.push_back({f, ""});
    for (const char* f : {"libjpeg-turbo/shira_bird8", "libjpeg-turbo/testimg", "libjpeg-turbo/vgl_5674_0098",
                          "libjpeg-turbo/vgl_6434_0018a", "libjpeg-turbo/vgl_6548_0026a", "pillow/hopper",
                          "pillow/hopper_rle8", "pillow/hopper_rle8_grayscale"})
        cases.push_back({std::string("bmp/") + f + ".bmp", ""});
    ExpectMatches(cases);
}

TEST(CorpusPcx, GoodFilesMatchTheirReferences) {
    REQUIRE_CORPUS();
    std::vector<Case> cases = GeneratedCases("pcx");
    EXPECT_EQ(cases.size(), 30u) << "files in pcx/generated/{good,q,other}";
    cases.push_back({"pcx/image-rs/24bit.pcx", "pcx/image-rs/24bit.pcx.4210721a.png"});
    cases.push_back({"pcx/image-rs/256-palette.pcx", "pcx/image-rs/256-palette.pcx.7308a650.png"});
    for (const char* f : {"pillow/odd_stride", "pillow/p_4_planes", "pillow/pil184", "sail/bpp1-indexed",
                          "sail/bpp24-rgb", "sail/bpp4-indexed", "sail/bpp8-indexed", "zigimg/test-bpp1",
                          "zigimg/test-bpp24", "zigimg/test-bpp4", "zigimg/test-bpp8"})
        cases.push_back({std::string("pcx/") + f + ".pcx", ""});
    ExpectMatches(cases);
}

// libjpeg-turbo decodes for us as it does for djpeg, damaged files included: whatever ReadJpeg
// accepts must equal djpeg's picture. Only 12-bit and lossless files may be refused unless damaged.
TEST(CorpusJpeg, EveryFileReadEqualsDjpeg) {
    REQUIRE_CORPUS();
    const std::set<std::string> unsupported = {"testorig12.jpg", "monkey12.jpg", "jpeg_lossless_sel1.jpg"};
    int read = 0;
    for (const std::string& file : FilesBelow("jpeg")) {
        if (file.ends_with(".png")) continue;
        SCOPED_TRACE(file);
        const std::string path = CorpusDir() + "/" + file;
        const Loaded image(ReadJpeg, path);
        const std::string name = path.substr(path.rfind('/') + 1);
        if (!image) {
            EXPECT_TRUE(IsBadFile(path) || unsupported.count(name)) << "refused";
            continue;
        }
        ++read;
        ExpectReaderContract(image);
        const Picture reference = DecodeWithTool(path);
        if (reference.width > 0)
            EXPECT_EQ(MaxDifference(image.ToPicture(), reference), 0);
        else
            EXPECT_TRUE(IsBadFile(path)) << "djpeg gave no picture";
    }
    EXPECT_GT(read, 150);
}

TEST(CorpusJpeg, CmykMatchesReferences) {
    REQUIRE_CORPUS();
    const std::string dir = "jpeg/jpeg-decoder/reftest/mozilla/";
    ExpectMatches({{dir + "jpg-cmyk-1.jpg", dir + "jpg-cmyk-1.png", 1},
                   {dir + "jpg-cmyk-2.jpg", dir + "jpg-cmyk-2.png", 1}});
}

// Malformed files: refused, or read into blocks that keep the contract (the sanitizer build catches
// any access outside them).
TEST(CorpusBad, RefusedOrReadSafely) {
    REQUIRE_CORPUS();
    int refused = 0;
    for (const char* format : {"bmp", "pcx", "jpeg"}) {
        for (const std::string& file : FilesBelow(format)) {
            if (!IsBadFile(file)) continue;
            SCOPED_TRACE(file);
            const Loaded image(ReaderFor(file), CorpusDir() + "/" + file);
            if (image)
                ExpectReaderContract(image);
            else
                ++refused;
        }
    }
    EXPECT_GT(refused, 100);
}

TEST(CorpusBad, ReadersRefuseOtherFormats) {
    REQUIRE_CORPUS();
    const std::vector<std::pair<std::string, ReadImageFn>> mismatches = {
        {"bmp", LoadPCX},  {"bmp", ReadJpeg}, {"pcx", ReadBMP},
        {"pcx", ReadJpeg}, {"jpeg", ReadBMP}, {"jpeg", LoadPCX}};
    for (const auto& [folder, reader] : mismatches) {
        for (const std::string& file : FilesBelow(folder)) {
            if (ReaderFor(file) == reader) continue;  // a JPEG reference among the BMP files
            SCOPED_TRACE(file);
            EXPECT_FALSE(Loaded(reader, CorpusDir() + "/" + file));
        }
    }
}
