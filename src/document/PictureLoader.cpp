// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/PictureLoader.h"

#include "platform/rastix/Rastix.h"

#include <cstring>

namespace document {

namespace {

constexpr size_t kShortErrorText = 5;

const char *const kNoMemoryToConvert =
    "There is not enough memory to convert the picture to 24 bits per pixel. "
    "The previous picture is kept.";
const char *const kNoMemoryForCopy =
    "There is not enough memory for the working copy of the picture. "
    "The previous picture is kept.";

void Release(const LoadSeams &seams, const RasterImage &raster)
{
    if (seams.Release)
        seams.Release(raster);
    else
        deldib(raster);
}

LoadResult Failure(const DocumentRasters &current, LoadMessage message)
{
    LoadResult result;
    result.Rasters = current;
    result.Message = std::move(message);
    return result;
}

} // namespace

std::string LoadErrorTitle(const std::string &fileName)
{
    return "Error: The file " + fileName + " could not be loaded!";
}

LoadMessage OpenFailureMessage(const std::string &fileName, const std::string &errorText)
{
    if (errorText.size() > kShortErrorText)
        return {errorText, LoadErrorTitle(fileName)};
    return {LoadErrorTitle(fileName), "Error"};
}

LoadResult LoadPicture(const DocumentRasters &current, const std::string &fileName, void *window,
                       const ProgressFunction &progress, const LoadSeams &seams)
{
    const RasterImage opened =
        seams.Open ? seams.Open(fileName, window) : OpenDib(fileName.c_str(), 0, window);
    if (!opened.Pixels) {
        // A failed record owns nothing; it is dropped, not released.
        return Failure(current, OpenFailureMessage(fileName, RasterErrorText(opened)));
    }

    // The old pair is released only once the new one is complete, so a failure on the
    // way leaves the previous picture in place.
    const DepthConversion converted = DepthUpTo(opened, 24, progress, seams.Allocate);
    if (!converted.Ok) {
        Release(seams, opened);
        return Failure(current, {kNoMemoryToConvert, LoadErrorTitle(fileName)});
    }
    const RasterImage source = converted.Raster;
    if (source.Pixels != opened.Pixels)
        Release(seams, opened);

    const int32_t width = RasterWidth(source);
    const int32_t height = RasterHeight(source);
    const RasterImage work = seams.Allocate ? seams.Allocate(width, height, 24, nullptr, 0)
                                            : newdib(width, height, 24, nullptr, 0);
    if (!RasterExists(work) || RasterWidth(work) != width || RasterHeight(work) != height
        || RasterBitCount(work) != 24 || work.Stride != source.Stride) {
        if (work.Storage != 0)
            Release(seams, work);
        Release(seams, source);
        return Failure(current, {kNoMemoryForCopy, LoadErrorTitle(fileName)});
    }
    std::memcpy(work.Pixels, source.Pixels, size_t(height) * size_t(source.Stride));

    Release(seams, current.Source);
    Release(seams, current.Work);
    LoadResult result;
    result.Rasters = {source, work};
    result.Loaded = true;
    return result;
}

} // namespace document
