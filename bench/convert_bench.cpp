// `orvik --convert` on a 6000 x 4000 PNG (a corpus photograph enlarged smoothly, or a made-up
// picture without the corpus) to 256 colours with error diffusion: the whole run of the program,
// and its three parts on their own (reading the PNG, the reduction, writing the 8-bit PNG).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/colour_reduction.h"
#include "imgkit/imgkit.h"

extern char** environ;

namespace {

const int kWidth = 6000, kHeight = 4000;

// Made once, removed when the program ends.
struct Files {
    std::string folder;
    std::string input;
    std::string output;
    ~Files() {
        unlink(input.c_str());
        unlink(output.c_str());
        rmdir(folder.c_str());
    }
};

// Bilinear enlargement of a 24-bit image into the bottom-up rows of the model.
std::vector<uint8_t> Enlarge(const BITMAPINFOHEADER& header, const uint8_t* bits, int64_t stride) {
    std::vector<uint8_t> out(size_t(stride) * kHeight);
    const int w = header.biWidth, h = header.biHeight;
    for (int row = 0; row < kHeight; ++row) {
        const double sy = (row + 0.5) * h / kHeight - 0.5;
        const int y0 = std::clamp(int(std::floor(sy)), 0, h - 1), y1 = std::min(y0 + 1, h - 1);
        const double fy = std::clamp(sy - y0, 0.0, 1.0);
        for (int x = 0; x < kWidth; ++x) {
            const double sx = (x + 0.5) * w / kWidth - 0.5;
            const int x0 = std::clamp(int(std::floor(sx)), 0, w - 1), x1 = std::min(x0 + 1, w - 1);
            const double fx = std::clamp(sx - x0, 0.0, 1.0);
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int xx, int yy) {
                    return bits[int64_t{yy} * header.biXPelsPerMeter + 3 * xx + c];
                };
                const double v = (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
                                 (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
                out[size_t(row) * stride + 3 * x + c] = uint8_t(std::lround(v));
            }
        }
    }
    return out;
}

const Files& TestFiles() {
    static const Files files = [] {
        Files f;
        char folder[] = "/tmp/orvik-convert-bench-XXXXXX";
        f.folder = mkdtemp(folder);
        f.input = f.folder + "/big.png";
        f.output = f.folder + "/out.png";
        const int64_t stride = RowStride(kWidth, 24);
        BITMAPINFOHEADER header{40, kWidth, kHeight, 1, 24, 0, uint32_t(stride * kHeight), int32_t(stride),
                                0,  0,      0};
        uint8_t* bits = nullptr;
        RGBQUAD* palette = nullptr;
        BITMAPINFOHEADER* photo =
            ReadPNG((std::string(ORVIK_CORPUS_DIR) + "/photos/kodim05.png").c_str(), &bits, &palette);
        std::vector<uint8_t> rows;
        if (photo && photo->biBitCount == 24) {
            rows = Enlarge(*photo, bits, stride);
        } else {
            rows.resize(size_t(stride) * kHeight);
            for (int row = 0; row < kHeight; ++row)
                for (int x = 0; x < kWidth; ++x)
                    for (int c = 0; c < 3; ++c)
                        rows[size_t(row) * stride + 3 * x + c] =
                            uint8_t((x * (c + 1) / 30 + row / (c + 9)) ^ (x * row >> 12));
        }
        std::free(photo);
        std::free(bits);
        std::free(palette);
        SavePNG(f.input.c_str(), rows.data(), header, nullptr);
        return f;
    }();
    return files;
}

void BM_ConvertCommand(benchmark::State& state) {
    const Files& files = TestFiles();
    const std::string program = ORVIK_PROGRAM;
    std::vector<std::string> words = {program,      "--convert", files.input,
                                      files.output, "--dither",  "error-diffusion"};
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start orvik");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("orvik --convert failed");
            return;
        }
    }
}
BENCHMARK(BM_ConvertCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ReadPng(benchmark::State& state) {
    for (auto _ : state) {
        uint8_t* bits = nullptr;
        RGBQUAD* palette = nullptr;
        BITMAPINFOHEADER* header = ReadPNG(TestFiles().input.c_str(), &bits, &palette);
        benchmark::DoNotOptimize(header);
        std::free(header);
        std::free(bits);
        std::free(palette);
    }
}
BENCHMARK(BM_ReadPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The reduction and the writing of its result, from the PNG read once.
void BM_ReduceAndWrite(benchmark::State& state) {
    uint8_t* bits = nullptr;
    RGBQUAD* palette = nullptr;
    BITMAPINFOHEADER* header = ReadPNG(TestFiles().input.c_str(), &bits, &palette);
    ReductionRun run;
    run.header = header;
    run.bits = bits;
    run.choice.ditherMethod = kQuantzErrorDiffusion;
    CReducedImage reduced;
    for (auto _ : state) {
        run.Run(&ReduceColours, &reduced);
        if (state.range(0))
            SavePNG(TestFiles().output.c_str(), reduced.Bits(), *reduced.Header(), reduced.Palette());
    }
    std::free(header);
    std::free(bits);
    std::free(palette);
}
BENCHMARK(BM_ReduceAndWrite)
    ->ArgName("write")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
