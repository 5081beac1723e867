// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HostileCorpus.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace hostile {
namespace {

enum class Endian { Little, Big };

// A header field to overwrite: offset, width in bytes (1, 2 or 4), byte order.
struct Field {
    const char *what;
    size_t offset;
    int width;
    Endian endian;
};

bool StartsWith(const std::vector<uint8_t> &b, const char *magic)
{
    const size_t n = std::strlen(magic);
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
}

size_t Find(const std::vector<uint8_t> &b, const char *text, size_t from = 0)
{
    const size_t n = std::strlen(text);
    for (size_t i = from; i + n <= b.size(); ++i) {
        if (std::memcmp(b.data() + i, text, n) == 0)
            return i;
    }
    return std::string::npos;
}

void Put(std::vector<uint8_t> &b, const Field &f, uint32_t value)
{
    for (int i = 0; i < f.width; ++i) {
        const int shift = f.endian == Endian::Little ? 8 * i : 8 * (f.width - 1 - i);
        if (f.offset + size_t(i) < b.size())
            b[f.offset + size_t(i)] = uint8_t(value >> shift);
    }
}

uint32_t Crc32(const uint8_t *data, size_t n)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// PNG header changes keep a valid chunk checksum, so the decoder sees the values.
void FixPngHeaderCrc(std::vector<uint8_t> &b)
{
    if (b.size() < 33)
        return;
    const uint32_t crc = Crc32(b.data() + 12, 17);
    Put(b, {"crc", 29, 4, Endian::Big}, crc);
}

// The offset of the GIF's first LZW code-size byte, or npos.
size_t GifCodeSizeOffset(const std::vector<uint8_t> &b)
{
    if (b.size() < 13)
        return std::string::npos;
    size_t pos = 13 + (b[10] & 0x80 ? 3u << ((b[10] & 7) + 1) : 0);
    while (pos < b.size()) {
        if (b[pos] == 0x21) { // extension: label, then sub-blocks
            pos += 2;
            while (pos < b.size() && b[pos] != 0)
                pos += size_t(b[pos]) + 1;
            ++pos;
        } else if (b[pos] == 0x2C) {
            if (pos + 10 > b.size())
                return std::string::npos;
            const uint8_t flags = b[pos + 9];
            return pos + 10 + (flags & 0x80 ? 3u << ((flags & 7) + 1) : 0);
        } else {
            return std::string::npos;
        }
    }
    return std::string::npos;
}

// The header fields worth attacking in this file, found from its format.
std::vector<Field> FieldsOf(const std::vector<uint8_t> &b)
{
    constexpr auto L = Endian::Little;
    constexpr auto B = Endian::Big;
    std::vector<Field> f;
    if (StartsWith(b, "BM")) {
        f = {{"offset", 10, 4, L},      {"headersize", 14, 4, L}, {"width", 18, 4, L},
             {"height", 22, 4, L},      {"planes", 26, 2, L},     {"bits", 28, 2, L},
             {"compression", 30, 4, L}, {"colours", 46, 4, L}};
    } else if (StartsWith(b, "\x89PNG")) {
        f = {{"width", 16, 4, B},
             {"height", 20, 4, B},
             {"depth", 24, 1, B},
             {"colourtype", 25, 1, B},
             {"interlace", 28, 1, B}};
    } else if (StartsWith(b, "\xFF\xD8")) {
        size_t sof = Find(b, "\xFF\xC0");
        if (sof == std::string::npos)
            sof = Find(b, "\xFF\xC2");
        if (sof != std::string::npos)
            f = {{"height", sof + 5, 2, B},
                 {"width", sof + 7, 2, B},
                 {"components", sof + 9, 1, B},
                 {"segment", sof + 2, 2, B}};
    } else if (StartsWith(b, "GIF")) {
        f = {{"screenwidth", 6, 2, L}, {"screenheight", 8, 2, L}, {"flags", 10, 1, L}};
        const size_t code = GifCodeSizeOffset(b);
        if (code != std::string::npos)
            f.push_back({"codesize", code, 1, L});
    } else if (StartsWith(b, "II*")) {
        f = {{"ifd", 4, 4, L}};
        const size_t ifd = b.size() >= 8 ? (b[4] | b[5] << 8 | b[6] << 16 | size_t(b[7]) << 24) : 0;
        if (ifd + 2 <= b.size()) {
            const size_t count = b[ifd] | b[ifd + 1] << 8;
            for (size_t i = 0; i < count && ifd + 2 + 12 * i + 12 <= b.size(); ++i) {
                const size_t entry = ifd + 2 + 12 * i;
                const int tag = b[entry] | b[entry + 1] << 8;
                const int type = b[entry + 2] | b[entry + 3] << 8;
                if (tag == 256 || tag == 257 || tag == 258 || tag == 259 || tag == 262 || tag == 273
                    || tag == 277 || tag == 278 || tag == 279)
                    f.push_back({"tag", entry + 8, type == 3 ? 2 : 4, L});
                f.push_back({"count", entry + 4, 4, L});
            }
        }
    } else if (StartsWith(b, "MM")) {
        f = {{"ifd", 4, 4, B}};
    } else if (!b.empty() && b[0] == 0x0A && b.size() >= 128) {
        f = {{"bits", 3, 1, L},          {"xmin", 4, 2, L},    {"ymin", 6, 2, L},
             {"xmax", 8, 2, L},          {"ymax", 10, 2, L},   {"planes", 65, 1, L},
             {"bytesperline", 66, 2, L}, {"encoding", 2, 1, L}};
    } else if (StartsWith(b, "FORM")) {
        f = {{"formsize", 4, 4, B}};
        const size_t bmhd = Find(b, "BMHD");
        if (bmhd != std::string::npos)
            f.insert(f.end(), {{"bmhdsize", bmhd + 4, 4, B},
                               {"width", bmhd + 8, 2, B},
                               {"height", bmhd + 10, 2, B},
                               {"planes", bmhd + 16, 1, B},
                               {"masking", bmhd + 17, 1, B},
                               {"compression", bmhd + 18, 1, B}});
        for (const char *chunk : {"CMAP", "CAMG", "BODY"}) {
            const size_t at = Find(b, chunk);
            if (at != std::string::npos)
                f.push_back({chunk, at + 4, 4, B});
        }
    } else if (b.size() >= 18) { // TGA
        f = {{"idlength", 0, 1, L},   {"maptype", 1, 1, L},   {"type", 2, 1, L},
             {"mapfirst", 3, 2, L},   {"maplength", 5, 2, L}, {"mapbits", 7, 1, L},
             {"width", 12, 2, L},     {"height", 14, 2, L},   {"bits", 16, 1, L},
             {"descriptor", 17, 1, L}};
    }
    return f;
}

// Where the picture data starts, for the "runs past the end" variants.
size_t DataStart(const std::vector<uint8_t> &b)
{
    if (!b.empty() && b[0] == 0x0A && b.size() > 128)
        return 128;
    if (StartsWith(b, "FORM")) {
        const size_t body = Find(b, "BODY");
        return body == std::string::npos ? b.size() : body + 8;
    }
    if (StartsWith(b, "BM") && b.size() >= 14)
        return std::min<size_t>(b.size(), b[10] | b[11] << 8 | b[12] << 16);
    if (b.size() >= 18 && !StartsWith(b, "GIF") && !StartsWith(b, "\x89PNG")
        && !StartsWith(b, "\xFF\xD8") && !StartsWith(b, "II") && !StartsWith(b, "MM"))
        return std::min(b.size(), 18 + size_t(b[0]) + size_t(b[5] | b[6] << 8) * ((b[7] + 7) / 8));
    return b.size();
}

} // namespace

std::vector<HostileFile> HostileVariants(const std::string &baseName,
                                         const std::vector<uint8_t> &valid)
{
    std::vector<HostileFile> out;
    auto add = [&](std::string what, std::vector<uint8_t> bytes) {
        if (StartsWith(valid, "\x89PNG"))
            FixPngHeaderCrc(bytes);
        out.push_back({baseName + "." + what, std::move(bytes)});
    };

    // Truncations at every header byte, then at a few points in the data.
    const size_t headerEnd = std::min<size_t>(valid.size(), 140);
    for (size_t n = 0; n < headerEnd; n += (n < 40 ? 1 : 7))
        add("cut" + std::to_string(n), {valid.begin(), valid.begin() + long(n)});
    for (size_t n : {valid.size() / 2, valid.size() * 3 / 4, valid.size() - 1})
        add("cut" + std::to_string(n), {valid.begin(), valid.begin() + long(n)});

    // Header fields at hostile values.
    for (const Field &f : FieldsOf(valid)) {
        std::vector<uint32_t> values;
        if (f.width == 1)
            values = {0, 1, 9, 12, 255};
        else if (f.width == 2)
            values = {0, 1, 0x7FFF, 0x8000, 0xFFFF};
        else
            values = {
                0, 1, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, uint32_t(valid.size() + 1000)};
        for (uint32_t v : values) {
            std::vector<uint8_t> bytes = valid;
            Put(bytes, f, v);
            add(std::string(f.what) + "@" + std::to_string(f.offset) + "=" + std::to_string(v),
                std::move(bytes));
        }
    }

    // Runs that pass the end of the picture: the data replaced by run codes of each
    // format's longest run (PCX 0xFF, TGA 0xFF, ByteRun1 0x81, BMP RLE 0xFF).
    const size_t start = DataStart(valid);
    if (start < valid.size()) {
        for (uint8_t code : {uint8_t(0xFF), uint8_t(0x81), uint8_t(0x00)}) {
            std::vector<uint8_t> bytes = valid;
            std::fill(bytes.begin() + long(start), bytes.end(), code);
            add("runs" + std::to_string(code), std::move(bytes));
        }
    }

    // Bit flips anywhere, reproducible.
    std::mt19937 random(uint32_t(valid.size()) * 2654435761u);
    for (int i = 0; i < 24 && !valid.empty(); ++i) {
        std::vector<uint8_t> bytes = valid;
        for (int k = 0; k <= i % 4; ++k)
            bytes[random() % bytes.size()] ^= uint8_t(1u << (random() % 8));
        add("flip" + std::to_string(i), std::move(bytes));
    }
    return out;
}

std::vector<HostileFile> MakeHostileCorpus(const std::string &folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<HostileFile> corpus;
    for (const auto &path : files) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> valid{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        for (HostileFile &f : HostileVariants(path.filename().string(), valid))
            corpus.push_back(std::move(f));
    }
    return corpus;
}

} // namespace hostile
