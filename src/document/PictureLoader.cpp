// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/PictureLoader.h"

#include "document/DepthConversion.h"

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

OpenedPicture OpenPicture(const std::string &fileName, void *window, const RasterLibrary &library)
{
    OpenedPicture opened;
    opened.Raster = library.Open(fileName, window);
    opened.Opened = opened.Raster.Pixels != nullptr;
    if (!opened.Opened) {
        // A failed record owns nothing; it is dropped, not released.
        opened.Message = OpenFailureMessage(fileName, RasterErrorText(opened.Raster));
        opened.Raster = RasterImage{};
    }
    return opened;
}

LoadResult AdoptPicture(const DocumentRasters &previous, const RasterImage &picture,
                        const std::string &fileName, const RasterLibrary &library)
{
    // The old pair is released only once the new one is complete, so a failure on the
    // way leaves the previous picture in place.
    if (!RasterExists(picture) || RasterBitCount(picture) != 24) {
        if (picture.Storage != 0)
            library.Delete(picture);
        return Failure(previous, {kNoMemoryToConvert, LoadErrorTitle(fileName)});
    }
    const int32_t width = RasterWidth(picture);
    const int32_t height = RasterHeight(picture);
    const RasterImage work = library.New(width, height, 24);
    if (!RasterExists(work) || RasterWidth(work) != width || RasterHeight(work) != height
        || RasterBitCount(work) != 24 || work.Stride != picture.Stride) {
        if (work.Storage != 0)
            library.Delete(work);
        library.Delete(picture);
        return Failure(previous, {kNoMemoryForCopy, LoadErrorTitle(fileName)});
    }
    std::memcpy(work.Pixels, picture.Pixels, size_t(height) * size_t(picture.Stride));

    library.Delete(previous.Source);
    library.Delete(previous.Work);
    LoadResult result;
    result.Rasters = {picture, work};
    result.Loaded = true;
    return result;
}

LoadResult LoadPicture(const DocumentRasters &current, const std::string &fileName, void *window,
                       const ProgressSink &progress, const RasterLibrary &library)
{
    OpenedPicture opened = OpenPicture(fileName, window, library);
    if (!opened.Opened)
        return Failure(current, opened.Message);
    ConvertInPlace(opened.Raster, 24, progress, library);
    return AdoptPicture(current, opened.Raster, fileName, library);
}

} // namespace document
