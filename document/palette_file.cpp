#include "document/palette_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "document/translatable.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? char(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

// The lines of a text file; "\r\n", "\n" and a lone "\r" all end a line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}
    bool Next(std::string_view* line) {
        if (m_pos >= m_text.size()) return false;
        size_t end = m_pos;
        while (end < m_text.size() && m_text[end] != '\n' && m_text[end] != '\r')
            ++end;
        *line = m_text.substr(m_pos, end - m_pos);
        if (end < m_text.size() && m_text[end] == '\r') {
            ++end;
            if (end < m_text.size() && m_text[end] == '\n') ++end;
        } else if (end < m_text.size()) {
            ++end;
        }
        m_pos = end;
        ++m_number;
        return true;
    }
    int Number() const { return m_number; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
    int m_number = 0;
};

// A decimal number 0..max at the start of `text` (after blanks); the rest is left in `text`.
bool TakeNumber(std::string_view* text, long max, long* value) {
    std::string_view t = *text;
    while (!t.empty() && IsSpace(t.front()))
        t.remove_prefix(1);
    size_t digits = 0;
    long v = 0;
    while (digits < t.size() && t[digits] >= '0' && t[digits] <= '9') {
        v = v * 10 + (t[digits] - '0');
        if (v > max) return false;
        ++digits;
    }
    if (digits == 0 || (digits < t.size() && !IsSpace(t[digits]))) return false;
    *value = v;
    *text = t.substr(digits);
    return true;
}

// Three values 0..255 at the start of `text`; what follows is left in `text`.
bool TakeColour(std::string_view* text, RGBQUAD* colour) {
    long red = 0, green = 0, blue = 0;
    if (!TakeNumber(text, 255, &red) || !TakeNumber(text, 255, &green) || !TakeNumber(text, 255, &blue))
        return false;
    *colour = RGBQUAD{uint8_t(blue), uint8_t(green), uint8_t(red), 0};
    return true;
}

// Keeps a colour while there is room; counts every one.
void AddColour(PaletteFile& palette, const RGBQUAD& colour, std::string_view name) {
    ++palette.fileColours;
    if (palette.colours.size() >= size_t{kPaletteEntries}) return;
    palette.colours.push_back(colour);
    palette.names.emplace_back(name);
}

PaletteReadResult Failure(PaletteError error, int line = 0) {
    PaletteReadResult result;
    result.error = error;
    result.line = line;
    return result;
}

PaletteReadResult Finish(PaletteFile palette) {
    if (palette.colours.empty()) return Failure(PaletteError::NoColours);
    PaletteReadResult result;
    result.palette = std::move(palette);
    return result;
}

// GIMP: "GIMP Palette", then optional "Name:" and "Columns:" lines, '#' comments, blank lines and
// lines of "red green blue" with an optional name after them.
PaletteReadResult ParseGimp(std::string_view text) {
    LineReader lines(text);
    std::string_view line;
    if (!lines.Next(&line) || !StartsWith(Trim(line), "GIMP Palette"))
        return Failure(PaletteError::BadHeader, 1);
    PaletteFile palette;
    palette.format = PaletteFormat::Gimp;
    while (lines.Next(&line)) {
        const std::string_view content = Trim(line);
        if (content.empty() || content.front() == '#') continue;
        if (StartsWith(content, "Name:")) {
            palette.name = std::string(Trim(content.substr(5)));
            continue;
        }
        if (StartsWith(content, "Columns:")) {
            // Out of range or not a number: the default layout, as GIMP does.
            std::string_view rest = content.substr(8);
            long columns = 0;
            palette.columns = TakeNumber(&rest, 256, &columns) ? int(columns) : 0;
            continue;
        }
        std::string_view rest = content;
        RGBQUAD colour;
        if (!TakeColour(&rest, &colour)) return Failure(PaletteError::BadColour, lines.Number());
        AddColour(palette, colour, Trim(rest));
    }
    return Finish(std::move(palette));
}

// JASC: "JASC-PAL", a version ("0100"), the number of colours, then that many lines of
// "red green blue" (a fourth value, which some programs add, is ignored). Lines after them are not
// part of the palette.
PaletteReadResult ParseJasc(std::string_view text) {
    LineReader lines(text);
    std::string_view line;
    if (!lines.Next(&line) || Trim(line) != "JASC-PAL") return Failure(PaletteError::BadHeader, 1);
    if (!lines.Next(&line)) return Failure(PaletteError::BadHeader, 2);
    {
        std::string_view version = Trim(line);
        long number = 0;
        if (!TakeNumber(&version, 9999, &number) || !Trim(version).empty())
            return Failure(PaletteError::BadHeader, 2);
    }
    long count = 0;
    {
        if (!lines.Next(&line)) return Failure(PaletteError::BadCount, 3);
        std::string_view text3 = Trim(line);
        if (!TakeNumber(&text3, 1 << 24, &count) || !Trim(text3).empty())
            return Failure(PaletteError::BadCount, 3);
    }
    if (count == 0) return Failure(PaletteError::NoColours);
    PaletteFile palette;
    palette.format = PaletteFormat::Jasc;
    while (palette.fileColours < size_t(count)) {
        if (!lines.Next(&line)) {
            PaletteReadResult result = Failure(PaletteError::MissingColours, lines.Number() + 1);
            result.expected = size_t(count);
            result.palette.fileColours = palette.fileColours;
            return result;
        }
        std::string_view rest = Trim(line);
        if (rest.empty()) continue;
        RGBQUAD colour;
        long alpha = 0;
        if (!TakeColour(&rest, &colour) ||
            !(Trim(rest).empty() || (TakeNumber(&rest, 255, &alpha) && Trim(rest).empty())))
            return Failure(PaletteError::BadColour, lines.Number());
        AddColour(palette, colour, {});
    }
    return Finish(std::move(palette));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One colour a line as six hex digits RRGGBB, optionally after a '#'; blank lines are skipped.
PaletteReadResult ParseHex(std::string_view text) {
    LineReader lines(text);
    std::string_view line;
    PaletteFile palette;
    palette.format = PaletteFormat::Hex;
    while (lines.Next(&line)) {
        std::string_view content = Trim(line);
        if (content.empty()) continue;
        if (content.front() == '#') content.remove_prefix(1);
        if (content.size() != 6) return Failure(PaletteError::BadColour, lines.Number());
        uint8_t rgb[3];
        for (int i = 0; i < 3; ++i) {
            const int high = HexDigit(content[2 * i]);
            const int low = HexDigit(content[2 * i + 1]);
            if (high < 0 || low < 0) return Failure(PaletteError::BadColour, lines.Number());
            rgb[i] = uint8_t(high * 16 + low);
        }
        AddColour(palette, RGBQUAD{rgb[2], rgb[1], rgb[0], 0}, {});
    }
    return Finish(std::move(palette));
}

// Photoshop: 256 red, green, blue triples, then optionally the number of colours in use and the
// transparent entry (0xFFFF for none), both big-endian 16-bit.
PaletteReadResult ParseAct(std::string_view bytes) {
    if (bytes.size() != 768 && bytes.size() != 772) return Failure(PaletteError::BadSize);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t count = kPaletteEntries;
    PaletteFile palette;
    palette.format = PaletteFormat::Act;
    if (bytes.size() == 772) {
        const size_t used = size_t{p[768]} << 8 | p[769];
        const size_t transparent = size_t{p[770]} << 8 | p[771];
        if (used > size_t{kPaletteEntries}) return Failure(PaletteError::BadCount);
        if (used > 0) count = used;  // some programs write 0 for a full table
        if (transparent < count) palette.transparentIndex = int(transparent);
    }
    for (size_t i = 0; i < count; ++i)
        AddColour(palette, RGBQUAD{p[3 * i + 2], p[3 * i + 1], p[3 * i], 0}, {});
    return Finish(std::move(palette));
}

uint32_t ReadLe32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Microsoft's RIFF palette: "RIFF", size, "PAL ", then chunks; the "data" chunk holds a version, a
// count and that many red, green, blue, flags entries.
PaletteReadResult ParseRiff(std::string_view bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    if (size < 12 || std::memcmp(p + 8, "PAL ", 4) != 0) return Failure(PaletteError::UnknownFormat);
    size_t pos = 12;
    while (pos + 8 <= size) {
        const size_t chunk = ReadLe32(p + pos + 4);
        if (chunk > size - pos - 8) return Failure(PaletteError::BadSize);
        if (std::memcmp(p + pos, "data", 4) == 0) {
            if (chunk < 4) return Failure(PaletteError::BadSize);
            const size_t count = size_t{p[pos + 10]} | size_t{p[pos + 11]} << 8;
            if (4 + 4 * count > chunk) return Failure(PaletteError::BadSize);
            PaletteFile palette;
            palette.format = PaletteFormat::Riff;
            const uint8_t* entry = p + pos + 12;
            for (size_t i = 0; i < count; ++i, entry += 4)
                AddColour(palette, RGBQUAD{entry[2], entry[1], entry[0], 0}, {});
            return Finish(std::move(palette));
        }
        pos += 8 + chunk + (chunk & 1);
    }
    return Failure(PaletteError::NoColours);
}

// The text of a file without a UTF-8 byte-order mark.
std::string_view WithoutBom(std::string_view bytes) {
    return StartsWith(bytes, "\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
}

// The first line, trimmed, for telling the text formats apart.
std::string_view FirstLine(std::string_view text) {
    LineReader lines(text);
    std::string_view line;
    return lines.Next(&line) ? Trim(line) : std::string_view();
}

void AppendF(std::string& out, const char* format, int a, int b, int c) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, a, b, c);
    if (n > 0) out.append(buffer, std::min<size_t>(size_t(n), sizeof buffer - 1));
}

// A name on one line of its own.
std::string OneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return std::string(Trim(line));
}

}  // namespace

const char* PaletteErrorText(PaletteError error) {
    switch (error) {
        case PaletteError::None:
            return QT_TRANSLATE_NOOP("PaletteError", "no error");
        case PaletteError::CannotOpen:
            return QT_TRANSLATE_NOOP("PaletteError", "The file could not be read.");
        case PaletteError::TooLarge:
            return QT_TRANSLATE_NOOP("PaletteError", "The file is larger than any palette file (16 MiB).");
        case PaletteError::Empty:
            return QT_TRANSLATE_NOOP("PaletteError", "The file is empty.");
        case PaletteError::UnknownFormat:
            return QT_TRANSLATE_NOOP("PaletteError",
                                     "It is not a palette file Orvik reads: GIMP (.gpl), JASC (.pal), "
                                     "Photoshop (.act) or a list of RRGGBB values (.hex).");
        case PaletteError::BadHeader:
            return QT_TRANSLATE_NOOP("PaletteError",
                                     "Line %1 is not the header this kind of palette file starts with "
                                     "(\"GIMP Palette\", or \"JASC-PAL\" and a version number).");
        case PaletteError::BadCount:
            return QT_TRANSLATE_NOOP("PaletteError",
                                     "The number of colours the file gives is not one its format allows.");
        case PaletteError::BadColour:
            return QT_TRANSLATE_NOOP("PaletteError",
                                     "Line %1 does not hold a colour: red, green and blue from 0 to 255, or "
                                     "six hex digits RRGGBB in a hex list.");
        case PaletteError::MissingColours:
            return QT_TRANSLATE_NOOP("PaletteError",
                                     "The file ends after %3 of the %2 colours it announces.");
        case PaletteError::NoColours:
            return QT_TRANSLATE_NOOP("PaletteError", "The file holds no colours.");
        case PaletteError::BadSize:
            return QT_TRANSLATE_NOOP("PaletteError",
                                     "The file's length does not fit its format (a Photoshop palette has "
                                     "768 or 772 bytes).");
    }
    return QT_TRANSLATE_NOOP("PaletteError", "unknown error");
}

PaletteFormat PaletteFormatOfPath(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return PaletteFormat::Unknown;
    const std::string_view extension = name.substr(dot + 1);
    if (EqualNoCase(extension, "gpl")) return PaletteFormat::Gimp;
    if (EqualNoCase(extension, "pal")) return PaletteFormat::Jasc;
    if (EqualNoCase(extension, "act")) return PaletteFormat::Act;
    if (EqualNoCase(extension, "hex")) return PaletteFormat::Hex;
    return PaletteFormat::Unknown;
}

const char* PaletteExtension(PaletteFormat format) {
    switch (format) {
        case PaletteFormat::Gimp:
            return ".gpl";
        case PaletteFormat::Jasc:
            return ".pal";
        case PaletteFormat::Act:
            return ".act";
        case PaletteFormat::Hex:
            return ".hex";
        case PaletteFormat::Unknown:
        case PaletteFormat::Riff:
            break;
    }
    return "";
}

PaletteReadResult ParsePalette(std::string_view bytes, PaletteFormat hint) {
    if (bytes.empty()) return Failure(PaletteError::Empty);
    if (bytes.size() > kMaxPaletteFileBytes) return Failure(PaletteError::TooLarge);
    if (StartsWith(bytes, "RIFF")) return ParseRiff(bytes);
    const std::string_view text = WithoutBom(bytes);
    const std::string_view first = FirstLine(text);
    if (StartsWith(first, "GIMP Palette")) return ParseGimp(text);
    if (first == "JASC-PAL") return ParseJasc(text);
    switch (hint) {
        case PaletteFormat::Gimp:
        case PaletteFormat::Jasc:
            // Named so, but the first line is not the format's.
            return Failure(PaletteError::BadHeader, 1);
        case PaletteFormat::Act:
            return ParseAct(bytes);
        case PaletteFormat::Hex:
            return ParseHex(text);
        case PaletteFormat::Riff:
            return Failure(PaletteError::UnknownFormat);
        case PaletteFormat::Unknown:
            break;
    }
    // A hex list of 96 colours with CRLF line ends is 768 bytes long, so text is tried first.
    PaletteReadResult hex = ParseHex(text);
    if (hex.error == PaletteError::None) return hex;
    if (bytes.size() == 768 || bytes.size() == 772) return ParseAct(bytes);
    return Failure(PaletteError::UnknownFormat);
}

PaletteReadResult ReadPaletteFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Failure(PaletteError::CannotOpen);
    std::string bytes;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.append(buffer, size_t(file.gcount()));
        if (bytes.size() > kMaxPaletteFileBytes) return Failure(PaletteError::TooLarge);
    }
    if (file.bad()) return Failure(PaletteError::CannotOpen);
    return ParsePalette(bytes, PaletteFormatOfPath(path));
}

std::string FormatPalette(const PaletteFile& palette, PaletteFormat format) {
    const size_t count = std::min(palette.colours.size(), size_t{kPaletteEntries});
    std::string out;
    switch (format) {
        case PaletteFormat::Gimp: {
            const std::string name = OneLine(palette.name);
            out += "GIMP Palette\nName: " + (name.empty() ? std::string("Untitled") : name) + "\n";
            AppendF(out, "Columns: %d\n#\n", palette.columns > 0 ? std::min(palette.columns, 256) : 16, 0, 0);
            for (size_t i = 0; i < count; ++i) {
                const RGBQUAD& c = palette.colours[i];
                AppendF(out, "%3d %3d %3d\t", c.rgbRed, c.rgbGreen, c.rgbBlue);
                const std::string entry =
                    i < palette.names.size() ? OneLine(palette.names[i]) : std::string();
                out += entry.empty() ? "Index " + std::to_string(i) : entry;
                out += '\n';
            }
            break;
        }
        case PaletteFormat::Jasc:
            AppendF(out, "JASC-PAL\r\n0100\r\n%d\r\n", int(count), 0, 0);
            for (size_t i = 0; i < count; ++i) {
                const RGBQUAD& c = palette.colours[i];
                AppendF(out, "%d %d %d\r\n", c.rgbRed, c.rgbGreen, c.rgbBlue);
            }
            break;
        case PaletteFormat::Act: {
            out.assign(768, '\0');
            for (size_t i = 0; i < count; ++i) {
                const RGBQUAD& c = palette.colours[i];
                out[3 * i] = char(c.rgbRed);
                out[3 * i + 1] = char(c.rgbGreen);
                out[3 * i + 2] = char(c.rgbBlue);
            }
            const bool transparent =
                palette.transparentIndex >= 0 && size_t(palette.transparentIndex) < count;
            if (count < size_t{kPaletteEntries} || transparent) {
                const unsigned index = transparent ? unsigned(palette.transparentIndex) : 0xFFFFu;
                out += char(count >> 8);
                out += char(count & 0xFF);
                out += char(index >> 8);
                out += char(index & 0xFF);
            }
            break;
        }
        case PaletteFormat::Hex:
            for (size_t i = 0; i < count; ++i) {
                const RGBQUAD& c = palette.colours[i];
                AppendF(out, "%02x%02x%02x\n", c.rgbRed, c.rgbGreen, c.rgbBlue);
            }
            break;
        case PaletteFormat::Unknown:
        case PaletteFormat::Riff:
            break;
    }
    return out;
}

PaletteFile PaletteFromEntries(const RGBQUAD* entries, int count) {
    PaletteFile palette;
    const int n = std::clamp(count, 0, kPaletteEntries);
    for (int i = 0; i < n; ++i)
        AddColour(palette, RGBQUAD{entries[i].rgbBlue, entries[i].rgbGreen, entries[i].rgbRed, 0}, {});
    return palette;
}
