// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rastix/formats/TiffMemory.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace rastix {
namespace {

// Largest single allocation libtiff may make for one file.
constexpr tmsize_t kMaxLibtiffAllocation = tmsize_t(256) << 20;

tsize_t ReadProc(thandle_t handle, tdata_t buffer, tsize_t wanted)
{
    auto *file = static_cast<TiffSource *>(handle);
    if (wanted <= 0 || file->pos >= file->size)
        return 0;
    const uint64_t n = std::min<uint64_t>(uint64_t(wanted), file->size - file->pos);
    std::memcpy(buffer, file->data + file->pos, size_t(n));
    file->pos += n;
    return tsize_t(n);
}

tsize_t WriteProc(thandle_t, tdata_t, tsize_t)
{
    return -1;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    auto *file = static_cast<TiffSource *>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = file->pos;
    else if (whence == SEEK_END)
        base = file->size;
    if (offset > UINT64_MAX - base)
        return toff_t(-1);
    file->pos = base + offset;
    return file->pos;
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return static_cast<TiffSource *>(handle)->size;
}

// The bytes are handed to libtiff as a read-only mapping: its unmapped path refuses
// valid uncompressed tiles that are cut off at the picture's edge. In read mode libtiff
// copies mapped data before changing it.
int MapProc(thandle_t handle, tdata_t *base, toff_t *size)
{
    auto *file = static_cast<TiffSource *>(handle);
    *base = const_cast<uint8_t *>(file->data);
    *size = file->size;
    return 1;
}

void UnmapProc(thandle_t, tdata_t, toff_t) {}

int KeepFirstError(TIFF *, void *user, const char *module, const char *format, va_list args)
{
    auto *file = static_cast<TiffSource *>(user);
    ++file->errors;
    if (file->error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        file->error = module && *module ? std::string(module) + ": " + text : text;
    }
    return 1;
}

int DropWarning(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

struct OptionsFree {
    void operator()(TIFFOpenOptions *options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

TiffHandle OpenTiffMemory(TiffSource &source)
{
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepFirstError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), DropWarning, &source);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxLibtiffAllocation);
    return TiffHandle(TIFFClientOpenExt("memory", "r", &source, ReadProc, WriteProc, SeekProc,
                                        CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
}

} // namespace rastix
