// Helpers for the codec tests: reading through the library, independent decoders run as programs,
// pictures compared pixel by pixel, and scratch folders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imgkit/imgkit.h"

// The shared image folder, or "" when it is missing.
std::string CorpusDir();
#define REQUIRE_CORPUS()                                            \
    do {                                                            \
        if (CorpusDir().empty()) GTEST_SKIP() << "no image corpus"; \
    } while (0)

// RGB pixels top row first, as a reference decoder or our reader gives them. `alpha` is empty unless
// the reference carries transparency (0 = fully transparent).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    std::vector<uint8_t> alpha;
};

// Runs a program and returns its standard output; `ok` tells whether it exited with status 0.
std::string RunProgram(const std::vector<std::string>& argv, bool* ok = nullptr);
// A picture from PNM or PAM text (any maxval, bit maps included); width 0 when it is not one.
Picture ParsePnm(const std::string& data);
// Decodes with an outside program chosen by the extension: pngtopam (.png), bmptopnm, pcxtoppm,
// djpeg. Width 0 when the program fails.
Picture DecodeWithTool(const std::string& path);

// Largest difference of one channel over the pixels the reference shows opaque; -1 when the sizes
// differ.
int MaxDifference(const Picture& ours, const Picture& reference);

// What a reader returned; frees the blocks at the end.
struct Loaded {
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    RGBQUAD* palette = nullptr;
    bool topDown = false;

    Loaded(ReadImageFn reader, const std::string& path);
    ~Loaded();
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;

    explicit operator bool() const { return header != nullptr; }
    Picture ToPicture() const;
};

// Checks the blocks against the reader contract: header fields, stride, colour-table placement and
// zero row padding.
void ExpectReaderContract(const Loaded& image);

// The reader for a file name: ReadBMP, LoadPCX, ReadPNG or ReadJpeg.
ReadImageFn ReaderFor(const std::string& path);

// A fresh folder that is removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> Names() const;  // the folder's entries

private:
    std::string m_path;
};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);
