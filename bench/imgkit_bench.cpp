// The codec library on a 6000 x 4000 photograph (a corpus photo scaled up with netpbm at start-up):
// BMP and PCX read and write, ReadJpeg beside djpeg on the same file, ReadPNG beside pngtopnm on the
// same file (made by pnmtopng), SavePNG beside pnmtopng, and netpbm's readers for scale. GIF, TIFF
// and WebP through ImgkitReadImage and ImgkitWriteImage beside the reference tools on the same file
// and at the same settings: gif2rgb and Pillow, tifftopnm and tiffcp (Deflate with horizontal
// differencing, level 6), dwebp and cwebp (lossless -q 75 -m 4 -exact, lossy -q 90, both -mt).
// Figures are bytes of pixel block per second (stride * height); writers and the tools that write
// also count the bytes of the file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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
        // The formats of the reference tools: ours, and what the tools start from.
        const ImgkitPicture indexed{header8, bits8, HeaderPalette(header8), nullptr};
        const ImgkitPicture colour{header24, bits24, nullptr, nullptr};
        const ImgkitWriteOptions lossy{1, 90};
        ok = ok &&
             ImgkitWriteImage(Path("gif").c_str(), IMGKIT_FORMAT_GIF, nullptr, &indexed, nullptr, nullptr) ==
                 0 &&
             ImgkitWriteImage(Path("tif").c_str(), IMGKIT_FORMAT_TIFF, nullptr, &colour, nullptr, nullptr) ==
                 0 &&
             ImgkitWriteImage(Path("webp").c_str(), IMGKIT_FORMAT_WEBP, nullptr, &colour, nullptr, nullptr) ==
                 0 &&
             ImgkitWriteImage(Path("lossy.webp").c_str(), IMGKIT_FORMAT_WEBP, &lossy, &colour, nullptr,
                              nullptr) == 0;
        // The 8-bit picture as Pillow takes it for writing a GIF, and an uncompressed TIFF for tiffcp.
        const std::string raw = "tiffcp -c none " + Path("tif") + " " + Path("raw.tif");
        ok = ok && std::system(raw.c_str()) == 0;
        if (FILE* indices = std::fopen(Path("indices").c_str(), "wb")) {
            for (int y = 0; y < kHeight; ++y)
                std::fwrite(bits8 + size_t(kHeight - 1 - y) * header8->biXPelsPerMeter, 1, kWidth, indices);
            for (int i = 0; i < 256; ++i) {
                const RGBQUAD& c = HeaderPalette(header8)[i];
                const uint8_t rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
                std::fwrite(rgb, 1, 3, indices);
            }
            ok = std::fclose(indices) == 0 && ok;
        }
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

// The same through ImgkitReadImage.
void ReadByContent(benchmark::State& state, const std::string& ext) {
    if (!Ready(state)) return;
    const std::string path = Picture().Path(ext);
    int64_t bytes = 0;
    for (auto _ : state) {
        ImgkitPicture picture{};
        ImgkitReadInfo info{};
        if (ImgkitReadImage(path.c_str(), &picture, &info, nullptr, nullptr) != IMGKIT_OK) {
            state.SkipWithError("read failed");
            return;
        }
        bytes += picture.header->biSizeImage;
        std::free(picture.header);
        std::free(picture.bits);
        std::free(picture.entryAlpha);
    }
    state.SetBytesProcessed(bytes);
}

// ImgkitWriteImage of the 8-bit or the 24-bit picture into /dev/shm.
void WriteByFormat(benchmark::State& state, int format, bool indexed, int lossy, const std::string& ext) {
    if (!Ready(state)) return;
    const Files& f = Picture();
    if (f.memoryDir.empty()) {
        state.SkipWithError("no /dev/shm");
        return;
    }
    const ImgkitPicture picture = indexed
                                      ? ImgkitPicture{f.header8, f.bits8, HeaderPalette(f.header8), nullptr}
                                      : ImgkitPicture{f.header24, f.bits24, nullptr, nullptr};
    const ImgkitWriteOptions options{lossy, lossy ? 90 : 0};
    const std::string path = f.memoryDir + "/out." + ext;
    for (auto _ : state) {
        if (ImgkitWriteImage(path.c_str(), format, &options, &picture, nullptr, nullptr) != IMGKIT_OK) {
            state.SkipWithError("write failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * picture.header->biSizeImage);
    state.counters["file_bytes"] = double(FileBytes(path));
}

// A reference tool run with `argv`, in which "@ext" stands for the picture's file of that
// extension and "@out" for a file in /dev/shm, whose size is counted when the tool writes it.
void Reference(benchmark::State& state, std::vector<std::string> argv) {
    if (!Ready(state)) return;
    const Files& f = Picture();
    const std::string output = f.memoryDir + "/reference.out";
    bool writes = false;
    for (std::string& arg : argv) {
        if (arg == "@out") {
            arg = output;
            writes = true;
        } else if (!arg.empty() && arg[0] == '@') {
            arg = f.Path(arg.substr(1));
        }
    }
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    double cpuSeconds = 0;
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
            execvp(args[0], args.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * f.header24->biSizeImage);
    // The tool's own processor time, to set beside the CPU column of the library's runs (all their
    // threads), which a busy machine leaves more exact than the elapsed time.
    state.counters["tool_cpu_ms"] = 1000 * cpuSeconds / double(state.iterations());
    if (writes) state.counters["file_bytes"] = double(FileBytes(output));
}

const char kPillowReads[] = "import sys\nfrom PIL import Image\nImage.open(sys.argv[1]).load()";
const char kPillowWritesGif[] =
    "import sys\nfrom PIL import Image\nd=open(sys.argv[1],'rb').read()\nn=6000*4000\n"
    "im=Image.frombytes('P',(6000,4000),d[:n])\nim.putpalette(d[n:])\nim.save(sys.argv[2],format='GIF')";

}  // namespace

// GIF, TIFF and WebP beside the reference tools.
BENCHMARK_CAPTURE(ReadByContent, GIF, "gif")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, gif2rgb, {"gif2rgb", "-1", "-o", "@out", "@gif"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, Pillow_reads_GIF, {"/usr/bin/python3", "-c", kPillowReads, "@gif"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(WriteByFormat, GIF_shm, IMGKIT_FORMAT_GIF, true, 0, "gif")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, Pillow_writes_GIF_shm,
                  {"/usr/bin/python3", "-c", kPillowWritesGif, "@indices", "@out"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ReadByContent, TIFF, "tif")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, tifftopnm, {"tifftopnm", "@tif"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Reference, tiffcp_reads_shm, {"tiffcp", "-c", "none", "@tif", "@out"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(WriteByFormat, TIFF_shm, IMGKIT_FORMAT_TIFF, false, 0, "tif")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, tiffcp_writes_shm, {"tiffcp", "-c", "zip:2:p6", "@raw.tif", "@out"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ReadByContent, WebP_lossless, "webp")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, dwebp_lossless, {"dwebp", "-mt", "-ppm", "@webp", "-o", "@out"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ReadByContent, WebP_lossy, "lossy.webp")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, dwebp_lossy, {"dwebp", "-mt", "-ppm", "@lossy.webp", "-o", "@out"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(WriteByFormat, WebP_lossless_shm, IMGKIT_FORMAT_WEBP, false, 0, "webp")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(Reference, cwebp_lossless_shm,
                  {"cwebp", "-quiet", "-mt", "-lossless", "-exact", "-q", "75", "-m", "4", "@ppm", "-o",
                   "@out"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(WriteByFormat, WebP_lossy_shm, IMGKIT_FORMAT_WEBP, false, 1, "webp")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(Reference, cwebp_lossy_shm, {"cwebp", "-quiet", "-mt", "-q", "90", "@ppm", "-o", "@out"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
