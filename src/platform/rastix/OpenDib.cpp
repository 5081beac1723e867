// SPDX-License-Identifier: GPL-3.0-or-later
// OpenDib: reads the whole file, then hands it to the first decoder whose sniffer
// recognises its magic bytes. Adding a format is one line in kFormats.
#include "platform/rastix/Rastix.h"

#include "platform/rastix/HugePages.h"
#include "platform/rastix/formats/Decoder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

using namespace rastix;

namespace {

const PictureFormat kFormats[] = {
    {"BMP", IsBmp, DecodeBmp},   {"PNG", IsPng, DecodePng},    {"JPEG", IsJpeg, DecodeJpeg},
    {"GIF", IsGif, DecodeGif},   {"TIFF", IsTiff, DecodeTiff}, {"PCX", IsPcx, DecodePcx},
    {"IFF", IsIlbm, DecodeIlbm}, {"TGA", IsTga, DecodeTga},
};

// Files larger than this cannot hold a picture within the size limits.
constexpr long kMaxFileBytes = 1L << 30;

struct FreeBlock {
    void operator()(uint8_t *block) const { std::free(block); }
};

} // namespace

RasterImage OpenDibMemory(const uint8_t *data, size_t size)
{
    const Bytes file{data, size};
    for (const PictureFormat &format : kFormats) {
        if (format.sniff(file))
            return format.decode(file);
    }
    return FailedRaster("Unknown picture format");
}

RasterImage OpenDib(const char *fileName, int32_t, void *)
{
    if (!fileName || !*fileName)
        return FailedRaster("The file could not be opened: no file name was given");
    // Folders and devices open on some systems but have no length to read; a pipe
    // would block. Refuse anything but a plain file first.
    std::error_code statusError;
    const auto status = std::filesystem::status(fileName, statusError);
    if (!statusError && std::filesystem::is_directory(status))
        return FailedRaster("The file could not be opened: it is a folder");
    if (!statusError && !std::filesystem::is_regular_file(status))
        return FailedRaster("The file could not be opened: it is not a plain file");
    FILE *f = std::fopen(fileName, "rb");
    if (!f)
        return FailedRaster(std::string("The file could not be opened: ") + std::strerror(errno));

    bool failed = std::fseek(f, 0, SEEK_END) != 0;
    const long length = failed ? -1 : std::ftell(f);
    if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        const int error = errno;
        std::fclose(f);
        return FailedRaster(std::string("The file could not be opened: ")
                            + (error ? std::strerror(error) : "it cannot be read"));
    }
    if (length > kMaxFileBytes) {
        std::fclose(f);
        return FailedRaster("The picture is too large: the file holds more than 1 GiB");
    }
    if (length == 0) {
        std::fclose(f);
        return FailedRaster("The picture is damaged: the file is empty");
    }
    // Not zero-filled first: every byte is overwritten by the read, and the block is
    // touched only once.
    const size_t size = size_t(length);
    std::unique_ptr<uint8_t, FreeBlock> bytes(static_cast<uint8_t *>(std::malloc(size)));
    if (!bytes) {
        std::fclose(f);
        return FailedRaster("Not enough memory to read the file");
    }
    AdviseHugePages(bytes.get(), size);
    const size_t got = std::fread(bytes.get(), 1, size, f);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError || got != size)
        return FailedRaster("The file could not be opened: it could not be read to the end");
    return OpenDibMemory(bytes.get(), size);
}
