// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SaveWorkFile.h"

#include "document/LayerStack.h"
#include "document/PngEncoder.h"
#include "document/ReplaceFile.h"
#include "document/StrokeRecordBytes.h"
#include "document/Thumbnail.h"
#include "document/WorkFileNames.h"
#include "document/WorkStateJson.h"

#include <zip.h>

#include <future>
#include <new>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

namespace document {

namespace {

constexpr int kThumbnailSide = 256;

// Whether every pixel of the 24-bit raster is grey.
bool AllGrey(const RasterImage &raster)
{
    const int32_t w = RasterWidth(raster);
    for (int32_t y = 0; y < RasterHeight(raster); ++y) {
        const uint8_t *p = PictureRow(raster, y);
        for (int32_t x = 0; x < w; ++x, p += 3)
            if (p[0] != p[1] || p[1] != p[2])
                return false;
    }
    return true;
}

// The 24-bit raster as a PNG: as 8-bit grey when asked, else as RGB.
QByteArray RasterPng(const RasterImage &raster, PngPixels pixels)
{
    const int32_t w = RasterWidth(raster);
    if (pixels == PngPixels::Bgr)
        return EncodePng(w, RasterHeight(raster), pixels,
                         [&raster](int32_t y) { return PictureRow(raster, y); });
    std::vector<uint8_t> grey(static_cast<size_t>(w));
    return EncodePng(w, RasterHeight(raster), pixels, [&raster, &grey, w](int32_t y) {
        const uint8_t *p = PictureRow(raster, y);
        for (int32_t x = 0; x < w; ++x)
            grey[size_t(x)] = p[3 * x];
        return grey.data();
    });
}

QByteArray ThumbnailPng(const RasterImage &raster)
{
    const Thumbnail small = MakeThumbnail(raster, kThumbnailSide);
    return EncodePng(small.Width, small.Height, PngPixels::Bgr, [&small](int32_t y) {
        return small.Bgr.data() + size_t(y) * size_t(small.Width) * 3;
    });
}

struct Entry {
    const char *name;
    const QByteArray *bytes;
    bool compress;
};

// The archive of the entries in their order, built in memory.
QByteArray Zip(const std::vector<Entry> &entries, QString &error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t *memory = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t *archive = memory ? zip_open_from_source(memory, ZIP_TRUNCATE, &zipError) : nullptr;
    if (!archive) {
        error = QString::fromLocal8Bit(zip_error_strerror(&zipError));
        zip_error_fini(&zipError);
        if (memory)
            zip_source_free(memory);
        return QByteArray();
    }
    zip_error_fini(&zipError);
    zip_source_keep(memory); // read back after zip_close
    bool ok = true;
    for (const Entry &e : entries) {
        zip_source_t *data =
            zip_source_buffer(archive, e.bytes->constData(), uint64_t(e.bytes->size()), 0);
        const int64_t index =
            data ? zip_file_add(archive, e.name, data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            if (data)
                zip_source_free(data);
            ok = false;
            break;
        }
        zip_set_file_compression(archive, uint64_t(index),
                                 e.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    if (!ok || zip_close(archive) != 0) {
        error = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(memory);
        return QByteArray();
    }
    QByteArray bytes;
    if (zip_source_open(memory) == 0) {
        zip_source_seek(memory, 0, SEEK_END);
        const int64_t size = zip_source_tell(memory);
        zip_source_seek(memory, 0, SEEK_SET);
        if (size > 0) {
            bytes.resize(qsizetype(size));
            if (zip_source_read(memory, bytes.data(), uint64_t(size)) != size)
                bytes.clear();
        }
        zip_source_close(memory);
    }
    zip_source_free(memory);
    if (bytes.isEmpty())
        error = QStringLiteral("the archive could not be put together in memory.");
    return bytes;
}

} // namespace

QByteArray EncodeWorkFile(const RasterImage &source, const RasterImage &work,
                          const WorkState &state, const colour::StrokeRecord &strokes,
                          QString &error, EncodeThreads threads)
{
    const int32_t width = RasterWidth(work);
    const int32_t height = RasterHeight(work);
    if (!source.Pixels || !work.Pixels || RasterBitCount(source) != 24 || RasterBitCount(work) != 24
        || width <= 0 || height <= 0 || RasterWidth(source) != width
        || RasterHeight(source) != height) {
        error = QStringLiteral("there is no picture in memory.");
        return QByteArray();
    }
    QByteArray originalPng, colourPng, thumbnailPng;
    try {
        auto others = [&source, &work] {
            return std::make_pair(
                RasterPng(source, AllGrey(source) ? PngPixels::Grey : PngPixels::Bgr),
                ThumbnailPng(work));
        };
        std::future<std::pair<QByteArray, QByteArray>> second;
        if (threads == EncodeThreads::Two) {
            try {
                second = std::async(std::launch::async, others);
            } catch (const std::system_error &) {
                // No thread to be had: all on this one.
            }
        }
        colourPng = RasterPng(work, PngPixels::Bgr);
        std::tie(originalPng, thumbnailPng) = second.valid() ? second.get() : others();
    } catch (const std::bad_alloc &) {
        originalPng.clear();
    }
    if (originalPng.isEmpty() || colourPng.isEmpty() || thumbnailPng.isEmpty()) {
        error = QStringLiteral("there is not enough memory to encode the layers.");
        return QByteArray();
    }

    LayerStack stack;
    stack.Width = width;
    stack.Height = height;
    stack.Layers = {{QLatin1String(kColourLayer), QLatin1String(kColourEntry)},
                    {QLatin1String(kOriginalLayer), QLatin1String(kOriginalEntry)}};
    const QByteArray mimetype(kOpenRasterType);
    const QByteArray xml = LayerStackToXml(stack);
    const QByteArray json = WorkStateToJson(state);
    // PNGs are compressed already: stored, they cost no second pass.
    std::vector<Entry> entries{
        {kMimetypeEntry, &mimetype, false}, {kStackEntry, &xml, true},
        {kColourEntry, &colourPng, false},  {kOriginalEntry, &originalPng, false},
        {kMergedEntry, &colourPng, false},  {kThumbnailEntry, &thumbnailPng, false},
        {kStateEntry, &json, true}};
    const QByteArray strokeBytes = strokes.Width() == width && strokes.Height() == height
                                       ? StrokeRecordToBytes(strokes)
                                       : QByteArray();
    if (!strokeBytes.isEmpty())
        entries.push_back({kStrokesEntry, &strokeBytes, true});
    return Zip(entries, error);
}

QString SaveWorkFile(const QString &fileName, const RasterImage &source, const RasterImage &work,
                     const WorkState &state, const colour::StrokeRecord &strokes)
{
    const QString cannot = QStringLiteral("The work could not be saved as \"%1\":\n%2");
    QString error;
    const QByteArray bytes =
        EncodeWorkFile(source, work, state, strokes, error, EncodeThreads::Two);
    if (bytes.isEmpty())
        return cannot.arg(fileName, error);
    const QString failure = ReplaceFile(fileName, bytes);
    if (!failure.isEmpty())
        return cannot.arg(fileName, failure);
    return QString();
}

} // namespace document
