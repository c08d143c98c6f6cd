// Recovery files and the folder they share: exact round trips at every depth, damaged and cut-short
// files, writes that fail or are cancelled, and programs that never take each other's files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document/recovery_file.h"
#include "document/recovery_store.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own, removed with everything in it.
struct TempFolder {
    fs::path path;
    TempFolder() {
        char name[] = "/tmp/orvik-recovery-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

// A width x height image of `bitCount` bits whose every byte, padding included, differs from its
// neighbours, with a palette of its own.
RecoveryImage Image(int width, int height, int bitCount) {
    RecoveryImage copy;
    copy.image = ImageBlocks(MakeHeaderBlock(width, height, bitCount), nullptr, nullptr);
    copy.image.palette = bitCount == 8 ? HeaderPalette(copy.image.header)
                                       : static_cast<RGBQUAD*>(std::malloc(kPaletteBytes));
    const size_t bytes = size_t(copy.image.header->biXPelsPerMeter) * height;
    copy.image.bits = static_cast<uint8_t*>(std::malloc(bytes));
    for (size_t i = 0; i < bytes; ++i)
        copy.image.bits[i] = uint8_t(i * 7 + i / 13);
    for (int i = 0; i < kPaletteEntries; ++i)
        copy.image.palette[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), uint8_t(i ^ 0x55)};
    return copy;
}

std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(RecoveryFile, EveryDepthComesBackExactly) {
    TempFolder folder;
    struct Case {
        int width, height, bitCount;
        bool entryAlpha;
    };
    for (const Case& c : {Case{1, 1, 8, false}, Case{37, 5, 8, true}, Case{13, 200, 24, false},
                          Case{300, 2, 32, false}, Case{1, 70, 32, false}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bitCount);
        RecoveryImage copy;
        const RecoveryImage source = Image(c.width, c.height, c.bitCount);
        uint8_t alpha[kPaletteEntries];
        for (int i = 0; i < kPaletteEntries; ++i)
            alpha[i] = uint8_t(255 - i / 2);
        ASSERT_TRUE(CopyForRecovery(source.image.header, source.image.palette, c.entryAlpha ? alpha : nullptr,
                                    source.image.bits, &copy));
        copy.zoom = 1;
        copy.shrink = 4;
        copy.time = 1700000000123;
        copy.path = c.entryAlpha ? "" : "/home/user/Pictures/cat \xEC\x82\xAC\xEC\xA7\x84.png";
        const std::string path = folder.File("image.orvikrec");
        std::string error;
        ASSERT_TRUE(WriteRecoveryFile(path, copy, &error)) << error;
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_FALSE(fs::exists(path + ".tmp"));

        RecoveryInfo described;
        RecoveryImage back;
        ASSERT_EQ(ReadRecoveryFile(path, &described, &back), RecoveryStatus::Ok);
        const BITMAPINFOHEADER& header = *back.image.header;
        EXPECT_EQ(std::memcmp(&header, source.image.header, kHeaderBytes), 0);
        EXPECT_EQ(std::memcmp(back.image.bits, source.image.bits, size_t(header.biXPelsPerMeter) * c.height), 0);
        EXPECT_EQ(std::memcmp(back.image.palette, source.image.palette, kPaletteBytes), 0);
        EXPECT_EQ(back.image.palette == HeaderPalette(back.image.header), c.bitCount == 8);
        EXPECT_EQ(back.hasEntryAlpha, c.entryAlpha);
        EXPECT_TRUE(!c.entryAlpha || std::memcmp(back.entryAlpha, alpha, kPaletteEntries) == 0);
        EXPECT_EQ(back.zoom, 1);
        EXPECT_EQ(back.shrink, 4);
        EXPECT_EQ(back.time, 1700000000123);
        EXPECT_EQ(back.path, copy.path);

        // The small picture keeps the shape; a small image is its own picture, opacity included.
        EXPECT_EQ(std::max(described.pictureWidth, described.pictureHeight),
                  std::min(std::max(c.width, c.height), kRecoveryPictureSize));
        if (c.entryAlpha) {
            const uint8_t topLeft = source.image.bits[size_t(c.height - 1) * header.biXPelsPerMeter];
            EXPECT_EQ(described.picture[2], source.image.palette[topLeft].rgbRed);
            EXPECT_EQ(described.picture[3], alpha[topLeft]);
        }
    }
}

TEST(RecoveryFile, DamagedFilesAreRefusedAndFailedWritesLeaveTheFormerFile) {
    TempFolder folder;
    const std::string path = folder.File("image.orvikrec");
    RecoveryImage copy = Image(64, 48, 24);
    std::string error;
    ASSERT_TRUE(WriteRecoveryFile(path, copy, &error));
    const std::vector<uint8_t> good = Bytes(path);

    const std::string damaged = folder.File("damaged.orvikrec");
    const size_t cuts[] = {0, 10, 63, 64, 100, good.size() / 2, good.size() - 1};
    for (const size_t cut : cuts) {
        Put(damaged, std::vector<uint8_t>(good.begin(), good.begin() + ptrdiff_t(cut)));
        RecoveryImage back;
        EXPECT_EQ(ReadRecoveryFile(damaged, nullptr, &back), RecoveryStatus::Damaged) << cut;
    }
    for (const size_t at : {size_t{13}, size_t{30}, good.size() - 3}) {
        std::vector<uint8_t> bytes = good;
        bytes[at] ^= 0x10;
        Put(damaged, bytes);
        RecoveryImage back;
        EXPECT_EQ(ReadRecoveryFile(damaged, nullptr, &back), RecoveryStatus::Damaged) << at;
    }
    RecoveryImage back;
    EXPECT_EQ(ReadRecoveryFile(folder.File("none"), nullptr, &back), RecoveryStatus::CannotOpen);

    // A write that cannot be made, or is cancelled, leaves the former file as it was.
    copy.image.bits[0] ^= 1;
    EXPECT_FALSE(WriteRecoveryFile(folder.File("missing/image.orvikrec"), copy, &error));
    EXPECT_FALSE(error.empty());
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(WriteRecoveryFile(path, copy, &error, &cancel));
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(Bytes(path), good);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(RecoveryStore, AnOrphanGoesToOneTakerOnly) {
    TempFolder top;
    const std::string folder = top.File("state/orvik/recovery");
    std::string error;
    auto gone = std::make_unique<CRecoveryStore>(folder);
    ASSERT_TRUE(gone->Open(&error)) << error;
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    ASSERT_TRUE(WriteRecoveryFile(gone->PathFor(1), Image(4, 4, 8), &error));
    CRecoveryStore first(folder);
    CRecoveryStore second(folder);
    ASSERT_TRUE(first.Open(&error) && second.Open(&error));
    EXPECT_TRUE(first.Orphans().empty());  // its owner runs
    gone.reset();                          // and ends without its clean exit
    const std::vector<std::string> orphans = first.Orphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(second.Orphans(), orphans);
    EXPECT_TRUE(first.Claim(orphans[0], 7));
    EXPECT_FALSE(second.Claim(orphans[0], 1));
    EXPECT_TRUE(second.Orphans().empty());  // the first's own now
}
