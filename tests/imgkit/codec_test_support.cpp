#include "codec_test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

std::string CorpusDir() {
    const std::string dir = ORVIK_CORPUS_DIR;
    return !dir.empty() && std::filesystem::is_directory(dir) ? dir : std::string();
}

std::string RunProgram(const std::vector<std::string>& argv, bool* ok) {
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string data;
    char buffer[1 << 16];
    for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) > 0;)
        data.append(buffer, n);
    close(out[0]);
    int status = -1;
    if (spawned == 0) waitpid(pid, &status, 0);
    if (ok) *ok = spawned == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return data;
}

Picture ParsePnm(const std::string& data) {
    size_t pos = 0;
    auto token = [&]() {
        while (pos < data.size() &&
               (std::isspace(static_cast<unsigned char>(data[pos])) || data[pos] == '#')) {
            if (data[pos] == '#') pos = data.find('\n', pos);
            if (pos == std::string::npos)
                pos = data.size();
            else
                ++pos;
        }
        const size_t start = pos;
        while (pos < data.size() && !std::isspace(static_cast<unsigned char>(data[pos])))
            ++pos;
        return data.substr(start, pos - start);
    };
    Picture p;
    const std::string magic = token();
    int depth = 0, maxval = 1;
    if (magic == "P7") {
        for (std::string key = token(); !key.empty() && key != "ENDHDR"; key = token()) {
            const std::string value = token();
            if (key == "WIDTH") p.width = std::stoi(value);
            if (key == "HEIGHT") p.height = std::stoi(value);
            if (key == "DEPTH") depth = std::stoi(value);
            if (key == "MAXVAL") maxval = std::stoi(value);
        }
    } else if (magic == "P4" || magic == "P5" || magic == "P6") {
        p.width = std::stoi(token());
        p.height = std::stoi(token());
        if (magic != "P4") maxval = std::stoi(token());
        depth = magic == "P6" ? 3 : 1;
    } else {
        return {};
    }
    ++pos;  // the single white-space character before the samples
    const size_t pixels = size_t(p.width) * p.height;
    const size_t sampleBytes = maxval > 255 ? 2 : 1;
    const size_t rowBytes = magic == "P4" ? (p.width + 7) / 8 : p.width * depth * sampleBytes;
    if (data.size() < pos + rowBytes * p.height || depth < 1 || depth > 4) return {};
    auto sample = [&](size_t i) {
        const auto* s = reinterpret_cast<const uint8_t*>(data.data() + pos);
        const int v = sampleBytes == 2 ? s[2 * i] << 8 | s[2 * i + 1] : s[i];
        return static_cast<uint8_t>((v * 255 + maxval / 2) / maxval);
    };
    p.rgb.resize(3 * pixels);
    if (depth == 2 || depth == 4) p.alpha.resize(pixels);
    for (size_t i = 0; i < pixels; ++i) {
        if (magic == "P4") {
            const size_t y = i / p.width, x = i % p.width;
            const bool black = data[pos + y * rowBytes + x / 8] >> (7 - x % 8) & 1;
            std::fill_n(&p.rgb[3 * i], 3, black ? 0 : 255);
            continue;
        }
        for (int c = 0; c < 3; ++c)
            p.rgb[3 * i + c] = sample(i * depth + (depth >= 3 ? c : 0));
        if (!p.alpha.empty()) p.alpha[i] = sample(i * depth + depth - 1);
    }
    return p;
}

Picture DecodeWithTool(const std::string& path) {
    const std::string ext = path.substr(path.rfind('.') + 1);
    std::vector<std::string> argv;
    if (ext == "png")
        argv = {"pngtopam", "-alphapam", path};
    else if (ext == "bmp")
        argv = {"bmptopnm", path};
    else if (ext == "pcx")
        argv = {"pcxtoppm", path};
    else
        argv = {"djpeg", "-pnm", path};
    // djpeg reports damaged data with a non-zero status but still writes the whole picture; a
    // picture cut short does not parse.
    return ParsePnm(RunProgram(argv));
}

int MaxDifference(const Picture& ours, const Picture& reference) {
    if (ours.width != reference.width || ours.height != reference.height ||
        ours.rgb.size() != reference.rgb.size())
        return -1;
    int worst = 0;
    for (size_t i = 0; i < ours.rgb.size(); ++i) {
        if (!reference.alpha.empty() && reference.alpha[i / 3] != 255) continue;
        worst = std::max(worst, std::abs(ours.rgb[i] - reference.rgb[i]));
    }
    return worst;
}

Loaded::Loaded(ReadImageFn reader, const std::string& path) {
    header = reader(path.c_str(), &bits, &palette);
    topDown = reader != ReadBMP && reader != ReadPNG;
    if (!header) {
        EXPECT_EQ(bits, nullptr) << path << ": rows stored by a failed read";
        EXPECT_EQ(palette, nullptr) << path << ": palette stored by a failed read";
    }
}

Loaded::~Loaded() {
    std::free(header);
    std::free(bits);
}

Picture Loaded::ToPicture() const {
    Picture p;
    p.width = header->biWidth;
    p.height = header->biHeight;
    p.rgb.resize(size_t(3) * p.width * p.height);
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* row = bits + size_t(topDown ? y : p.height - 1 - y) * header->biXPelsPerMeter;
        for (int x = 0; x < p.width; ++x) {
            uint8_t* out = &p.rgb[3 * (size_t(y) * p.width + x)];
            if (header->biBitCount == 8) {
                const RGBQUAD& c = palette[row[x]];
                out[0] = c.rgbRed, out[1] = c.rgbGreen, out[2] = c.rgbBlue;
            } else {
                out[0] = row[3 * x + 2], out[1] = row[3 * x + 1], out[2] = row[3 * x];
            }
        }
    }
    return p;
}

void ExpectReaderContract(const Loaded& image) {
    const BITMAPINFOHEADER& h = *image.header;
    ASSERT_TRUE(IsModelHeader(h));
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biSizeImage, uint32_t(h.biXPelsPerMeter) * uint32_t(h.biHeight));
    ASSERT_NE(image.bits, nullptr);
    if (h.biBitCount == 8) {
        EXPECT_EQ(image.palette, HeaderPalette(image.header));
        EXPECT_EQ(h.biClrUsed, 256u);
    } else {
        EXPECT_EQ(image.palette, nullptr);
    }
    const int rowBytes = h.biWidth * h.biBitCount / 8;
    for (int row = 0; row < h.biHeight; ++row)
        for (int i = rowBytes; i < h.biXPelsPerMeter; ++i)
            ASSERT_EQ(image.bits[size_t(row) * h.biXPelsPerMeter + i], 0) << "padding of row " << row;
}

ReadImageFn ReaderFor(const std::string& path) {
    const std::string ext = path.substr(path.rfind('.') + 1);
    if (ext == "bmp") return ReadBMP;
    if (ext == "pcx") return LoadPCX;
    if (ext == "png") return ReadPNG;
    return ReadJpeg;
}

ScratchDir::ScratchDir() {
    char name[] = "/tmp/imgkit-test-XXXXXX";
    if (mkdtemp(name)) m_path = name;
}

ScratchDir::~ScratchDir() {
    if (m_path.empty()) return;
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> ScratchDir::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
