// The codec library on a 6000 x 4000 photograph (a corpus photo scaled up with netpbm at start-up):
// BMP and PCX read and write, ReadJpeg beside djpeg on the same file, ReadPNG beside pngtopnm on the
// same file (made by pnmtopng), SavePNG beside pnmtopng, and netpbm's readers for scale. Figures are
// bytes of pixel block per second (stride * height); writers also count the bytes of the file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "document/image_buffer.h"
#include "document/pixel_routines.h"
#include "imgkit/imgkit.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// The picture in both depths and saved in every format, made once. The files live in /tmp; writes
// also go to /dev/shm, a memory file system where the flush to disk costs nothing.
struct Files {
    std::string dir;
    std::string memoryDir;
    BITMAPINFOHEADER* header24 = nullptr;
    BITMAPINFOHEADER* header8 = nullptr;
    uint8_t* bits24 = nullptr;
    uint8_t* bits8 = nullptr;
    RGBQUAD* palette = nullptr;
    bool ok = false;

    Files() {
        const std::string photo = std::string(ORVIK_CORPUS_DIR) + "/photos/kodim23.png";
        char name[] = "/tmp/imgkit-bench-XXXXXX";
        if (!std::filesystem::exists(photo) || !mkdtemp(name)) return;
        dir = name;
        char memoryName[] = "/dev/shm/imgkit-bench-XXXXXX";
        if (mkdtemp(memoryName)) memoryDir = memoryName;
        // The picture as netpbm's programs take it, and as pnmtopng writes it at its default settings.
        const std::string command = "pngtopnm '" + photo + "' | pamscale -width " + std::to_string(kWidth) +
                                    " -height " + std::to_string(kHeight) + " > " + Path("ppm") +
                                    " 2>/dev/null && pnmtopng " + Path("ppm") + " > " + Path("png");
        if (std::system(command.c_str()) != 0) return;
        FILE* pipe = std::fopen(Path("ppm").c_str(), "r");
        if (!pipe) return;
        char magic[3] = {};
        int width = 0, height = 0, maxval = 0;
        const bool header = std::fscanf(pipe, "%2s %d %d %d", magic, &width, &height, &maxval) == 4 &&
                            std::fgetc(pipe) != EOF && std::strcmp(magic, "P6") == 0 && width == kWidth &&
                            height == kHeight && maxval == 255;
        if (header &&
            CreateBlankImage(kWidth, kHeight, kImage24Bit, &header24, &palette, &bits24) == ImageStatus::Ok) {
            const int stride = header24->biXPelsPerMeter;
            ok = true;
            for (int y = 0; y < kHeight && ok; ++y) {
                uint8_t* row = bits24 + size_t(kHeight - 1 - y) * stride;
                ok = std::fread(row, 3, kWidth, pipe) == size_t(kWidth);
                for (int x = 0; x < kWidth; ++x)
                    std::swap(row[3 * x], row[3 * x + 2]);
            }
        }
        ok = std::fclose(pipe) == 0 && ok;
        if (!ok) return;
        bits8 = static_cast<uint8_t*>(std::malloc(size_t(header24->biSizeImage)));
        header8 = static_cast<BITMAPINFOHEADER*>(std::calloc(1, kHeaderBlockBytes8));
        std::memcpy(bits8, bits24, header24->biSizeImage);
        std::memcpy(header8, header24, kHeaderBytes);
        uint8_t* eight = bits8;
        ok = Reduce24To8(&eight, &header8, palette);
        bits8 = eight;
        ok = ok && SaveBitmap(Path("bmp").c_str(), bits24, *header24, palette) &&
             SavePCX(Path("pcx").c_str(), bits24, *header24, palette) &&
             SavePCX(Path("8.pcx").c_str(), bits8, *header8, palette) &&
             SaveJpeg(Path("jpg").c_str(), bits24, *header24, palette);
    }
    ~Files() {
        std::free(header24);
        std::free(header8);
        std::free(bits24);
        std::free(bits8);
        std::free(palette);
        if (!dir.empty()) std::filesystem::remove_all(dir);
        if (!memoryDir.empty()) std::filesystem::remove_all(memoryDir);
    }
    std::string Path(const std::string& ext) const { return dir + "/picture." + ext; }
};

const Files& Picture() {
    static const Files files;
    return files;
}

bool Ready(benchmark::State& state) {
    if (Picture().ok) return true;
    state.SkipWithError("could not make the test picture (corpus photo, pngtopnm, pamscale)");
    return false;
}

void Read(benchmark::State& state, ReadImageFn reader, const std::string& ext) {
    if (!Ready(state)) return;
    const std::string path = Picture().Path(ext);
    int64_t bytes = 0;
    for (auto _ : state) {
        uint8_t* bits = nullptr;
        RGBQUAD* palette = nullptr;
        BITMAPINFOHEADER* header = reader(path.c_str(), &bits, &palette);
        if (!header) {
            state.SkipWithError("read failed");
            return;
        }
        bytes += header->biSizeImage;
        std::free(header);
        std::free(bits);
    }
    state.SetBytesProcessed(bytes);
}

int64_t FileBytes(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// Saves over the previous file each time, or (fresh) into a name that does not exist yet: replacing
// a file also costs the removal of the old one.
void Write(benchmark::State& state, SaveImageFn writer, const std::string& ext, bool indexed, bool toMemory,
           bool fresh = false) {
    if (!Ready(state)) return;
    const Files& f = Picture();
    const BITMAPINFOHEADER& header = indexed ? *f.header8 : *f.header24;
    if (toMemory && f.memoryDir.empty()) {
        state.SkipWithError("no /dev/shm");
        return;
    }
    const std::string path = (toMemory ? f.memoryDir : f.dir) + "/out." + ext;
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            unlink(path.c_str());
            state.ResumeTiming();
        }
        if (!writer(path.c_str(), indexed ? f.bits8 : f.bits24, header, f.palette)) {
            state.SkipWithError("write failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * header.biSizeImage);
    state.counters["file_bytes"] = double(FileBytes(path));
}

// An outside program reading the file, for comparison: its output is discarded, or (toMemory) written
// to a file in /dev/shm, as a writer's is, and counted.
void Tool(benchmark::State& state, const char* program, const std::string& ext, bool toMemory = false) {
    if (!Ready(state)) return;
    const std::string path = Picture().Path(ext);
    const std::string output = toMemory ? Picture().memoryDir + "/tool.out" : "/dev/null";
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (!freopen(output.c_str(), "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
            execlp(program, program, path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Picture().header24->biSizeImage);
    if (toMemory) state.counters["file_bytes"] = double(FileBytes(output));
}

}  // namespace

BENCHMARK_CAPTURE(Read, ReadPNG, ReadPNG, "png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Tool, pngtopnm, "pngtopnm", "png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Write, SavePNG_24bit_shm, SavePNG, "png", false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Tool, pnmtopng_shm, "pnmtopng", "ppm", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Write, SavePNG_8bit_shm, SavePNG, "png", true, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Read, ReadJpeg, ReadJpeg, "jpg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Tool, djpeg, "djpeg", "jpg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Write, SaveJpeg_tmp, SaveJpeg, "jpg", false, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Read, ReadBMP_24bit, ReadBMP, "bmp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Tool, bmptopnm, "bmptopnm", "bmp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Write, SaveBitmap_24bit_tmp, SaveBitmap, "bmp", false, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Write, SaveBitmap_24bit_shm, SaveBitmap, "bmp", false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Write, SaveBitmap_24bit_tmp_fresh, SaveBitmap, "bmp", false, false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Write, SaveBitmap_24bit_shm_fresh, SaveBitmap, "bmp", false, true, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Read, LoadPCX_24bit, LoadPCX, "pcx")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Read, LoadPCX_8bit, LoadPCX, "8.pcx")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Tool, pcxtoppm, "pcxtoppm", "pcx")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Write, SavePCX_24bit_tmp, SavePCX, "pcx", false, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Write, SavePCX_24bit_shm, SavePCX, "pcx", false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Write, SavePCX_8bit_tmp, SavePCX, "pcx", true, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Write, SavePCX_8bit_shm, SavePCX, "pcx", true, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
