// One colour reduction as Decrease Color Depth, Remap to Palette and `orvik --convert` choose it,
// its run through the colour-reduction library, and how far its result lies from the original.
// The same choice on the same image gives the same bytes wherever it is made.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/image_buffer.h"
#include "quantz/quantz.h"

// The colour-reduction library's file name.
inline constexpr char kColourLibrary[] = "libquantz.so";

struct ReductionChoice {
    int paletteMethod = kQuantzOctree;        // a QuantzPaletteMethod
    int ditherMethod = kQuantzNearestColour;  // a QuantzDitherMethod
    int colours = kPaletteEntries;            // median cut and octree: 2..256 entries at most
    std::vector<RGBQUAD> palette;             // kQuantzGivenPalette: its 1..256 entries

    bool operator==(const ReductionChoice& other) const;
};

// The fewest and most colours a median-cut or octree palette may have.
constexpr int kMinColours = 2;
constexpr int kMaxColours = kPaletteEntries;

// The blocks of a reduced image (an 8-bit header block with its colour table, and rows), released
// with the object unless taken; each entry's opacity, and the entry transparent pixels were given.
class CReducedImage {
public:
    CReducedImage() = default;
    ~CReducedImage();
    CReducedImage(CReducedImage&& other) noexcept;
    CReducedImage& operator=(CReducedImage&& other) noexcept;
    CReducedImage(const CReducedImage&) = delete;
    CReducedImage& operator=(const CReducedImage&) = delete;

    explicit operator bool() const { return m_header != nullptr; }
    const BITMAPINFOHEADER* Header() const { return m_header; }
    const uint8_t* Bits() const { return m_bits; }
    const RGBQUAD* Palette() const { return HeaderPalette(m_header); }
    const uint8_t* EntryAlpha() const { return m_entryAlpha; }
    int TransparentEntry() const { return m_transparentEntry; }

    // Hands the blocks over to the caller, who frees them; the object is empty afterwards.
    void Release(BITMAPINFOHEADER** header, uint8_t** bits);

private:
    friend struct ReductionRun;
    void Reset();
    BITMAPINFOHEADER* m_header = nullptr;
    uint8_t* m_bits = nullptr;
    uint8_t m_entryAlpha[kPaletteEntries] = {};
    int m_transparentEntry = -1;
};

enum class ReductionResult {
    Ok,
    Refused,  // the library does not take the image or the choice
    NoMemory,
    Cancelled,  // the progress function asked to stop
    Malformed,  // the library returned something the program cannot hold
};

// One run of ReduceColours: the image (8, 24 or 32 bits per pixel; for 8 bits `header` is the
// 1064-byte block with its colour table, and `entryAlpha` its opacities or null), what to do,
// and what the library may report to and keep for the caller.
struct ReductionRun {
    const BITMAPINFOHEADER* header = nullptr;
    const uint8_t* bits = nullptr;
    const uint8_t* entryAlpha = nullptr;
    ReductionChoice choice;
    QuantzProgressFunction progress = nullptr;
    void* progressContext = nullptr;
    int firstRow = 0;  // with rowCount > 0: only these rows, counted from the top, need filling in
    int rowCount = 0;
    QuantzPalettePlan* plan = nullptr;

    // Calls the library's ReduceColours; on Ok `out` holds a result of the image's size.
    ReductionResult Run(QuantzReduce reduce, CReducedImage* out) const;
};

// The peak signal-to-noise ratio of a reduced image against the image it came from, in dB, over
// rows firstY..endY - 1 counted from the top (all when endY is -1): the mean squared difference of
// the red, green and blue of every pixel that is not transparent in the original. Infinite when
// they agree. `source` is as for ReductionRun.
double ReductionPsnr(const BITMAPINFOHEADER* source, const uint8_t* sourceBits, const uint8_t* sourceAlpha,
                     const CReducedImage& reduced, int firstY = 0, int endY = -1);

// The words of `orvik --convert` for the methods: "median-cut", "octree", "standard"; "none",
// "ordered", "error-diffusion". -1 for any other word.
int PaletteMethodOfWord(std::string_view word);
int DitherMethodOfWord(std::string_view word);
