// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ReadWorkFile.h"

#include "document/DepthConversion.h"
#include "document/LayerStack.h"
#include "document/RasterQImage.h"
#include "document/StrokeRecordBytes.h"
#include "document/WorkFileNames.h"
#include "document/WorkStateJson.h"
#include "document/ZipReader.h"
#include "platform/rastix/formats/Decoder.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstring>

namespace document {

namespace {

constexpr int64_t kMaxEntries = 10000;
constexpr uint64_t kMaxStackBytes = 16u << 20;
constexpr uint64_t kMaxStateBytes = 64u << 10;
constexpr size_t kMaxLayers = 1000;
constexpr int64_t kMaxFileBytes = int64_t(1) << 30;

struct Refusal {
    std::string text;
};

// An entry name inside the archive, never one that could leave it.
bool SafeEntryName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1Char(':')) || name.contains(QChar(0)))
        return false;
    for (const QString &part : name.split(QLatin1Char('/')))
        if (part.isEmpty() || part == QLatin1String("..") || part == QLatin1String("."))
            return false;
    return true;
}

// The most bytes a PNG of width x height can take: 16-bit RGBA rows with their filter
// bytes, deflate's stored blocks at worst, and room for ancillary chunks.
uint64_t PngBound(int64_t width, int64_t height)
{
    const uint64_t raw = uint64_t(8 * width + 1) * uint64_t(height);
    return raw + raw / 100 + (uint64_t(1) << 20);
}

// The width and height a PNG's header declares.
std::optional<std::pair<int64_t, int64_t>> PngSize(const QByteArray &head)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (head.size() < 24 || std::memcmp(head.constData(), signature, 8) != 0
        || std::memcmp(head.constData() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uint8_t *>(head.constData());
    return std::pair<int64_t, int64_t>(rastix::Be32(p + 16), rastix::Be32(p + 20));
}

// Releases what is not handed on.
struct Rasters {
    const RasterLibrary &library;
    RasterImage source{}, work{};
    ~Rasters()
    {
        if (source.Storage)
            library.Delete(source);
        if (work.Storage)
            library.Delete(work);
    }
};

// An entry's PNG bytes, after its header has shown a picture within the limits (and of
// the expected size, when one is given).
QByteArray LayerBytes(const ZipReader &zip, const QString &name,
                      std::optional<std::pair<int64_t, int64_t>> expected, int64_t &width,
                      int64_t &height)
{
    if (!SafeEntryName(name))
        throw Refusal{"a layer lies outside the archive (" + name.toStdString() + ")"};
    if (!zip.Has(name))
        throw Refusal{"the layer " + name.toStdString() + " is missing"};
    const std::optional<QByteArray> head = zip.Head(name, 24);
    const auto size = head ? PngSize(*head) : std::nullopt;
    if (!size)
        throw Refusal{"the layer " + name.toStdString() + " is not a PNG picture"};
    if (const auto refusal = rastix::CheckPictureSize(size->first, size->second))
        throw Refusal{"the layer " + name.toStdString() + ": " + *refusal};
    if (expected && *size != *expected)
        throw Refusal{"the layers are of different sizes"};
    width = size->first;
    height = size->second;
    QString error;
    const std::optional<QByteArray> bytes = zip.Read(name, PngBound(width, height), error);
    if (!bytes)
        throw Refusal{error.toStdString()};
    return *bytes;
}

// A layer decoded by the raster library and converted to 24 bits per pixel.
RasterImage DecodeLayer(const ZipReader &zip, const QString &name,
                        std::optional<std::pair<int64_t, int64_t>> expected,
                        const RasterLibrary &library)
{
    int64_t width = 0, height = 0;
    const QByteArray png = LayerBytes(zip, name, expected, width, height);
    RasterImage raster =
        OpenDibMemory(reinterpret_cast<const uint8_t *>(png.constData()), size_t(png.size()));
    if (!raster.Pixels)
        throw Refusal{"the layer " + name.toStdString() + ": " + RasterErrorText(raster)};
    if (!ConvertInPlace(raster, 24, {}, library)) {
        library.Delete(raster);
        throw Refusal{"there is not enough memory for the layer " + name.toStdString()};
    }
    if (RasterWidth(raster) != width || RasterHeight(raster) != height) {
        library.Delete(raster);
        throw Refusal{"the layers are of different sizes"};
    }
    return raster;
}

// The visible layers over white, bottom first, each at its place and opacity.
RasterImage Composite(const ZipReader &zip, const LayerStack &stack, const RasterLibrary &library)
{
    QImage canvas(stack.Width, stack.Height, QImage::Format_RGB32);
    if (canvas.isNull())
        throw Refusal{"there is not enough memory for the picture"};
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    for (auto layer = stack.Layers.rbegin(); layer != stack.Layers.rend(); ++layer) {
        if (!layer->Visible)
            continue;
        int64_t width = 0, height = 0;
        const QByteArray png = LayerBytes(zip, layer->Source, std::nullopt, width, height);
        const QImage image = QImage::fromData(png, "png");
        if (image.isNull() || image.width() != width || image.height() != height)
            throw Refusal{"the layer " + layer->Source.toStdString() + " cannot be decoded"};
        painter.setOpacity(layer->Opacity);
        painter.drawImage(layer->X, layer->Y, image);
    }
    painter.end();
    const RasterImage raster = QImageToRaster(canvas, library);
    if (!raster.Pixels)
        throw Refusal{"there is not enough memory for the picture"};
    return raster;
}

RasterImage CopyOf(const RasterImage &raster, const RasterLibrary &library)
{
    const RasterImage copy = library.New(RasterWidth(raster), RasterHeight(raster), 24);
    if (!RasterExists(copy) || copy.Stride != raster.Stride) {
        if (copy.Storage)
            library.Delete(copy);
        throw Refusal{"there is not enough memory for the working copy of the picture"};
    }
    std::memcpy(copy.Pixels, raster.Pixels, RasterImageSize(raster));
    return copy;
}

void Read(const ZipReader &zip, Rasters &rasters, WorkFileContent &content)
{
    if (!zip.Error().isEmpty())
        throw Refusal{"it is not a readable zip archive (" + zip.Error().toStdString() + ")"};
    if (zip.EntryCount() > kMaxEntries)
        throw Refusal{"the archive holds too many files"};
    QString error;
    const std::optional<QByteArray> mimetype = zip.Read(QLatin1String(kMimetypeEntry), 256, error);
    if (!mimetype || mimetype->trimmed() != kOpenRasterType)
        throw Refusal{"it is not an OpenRaster file"};
    const std::optional<QByteArray> xml =
        zip.Read(QLatin1String(kStackEntry), kMaxStackBytes, error);
    if (!xml)
        throw Refusal{error.toStdString()};
    const std::optional<LayerStack> stack = LayerStackFromXml(*xml, error, kMaxLayers);
    if (!stack)
        throw Refusal{error.toStdString()};
    if (const auto refusal = rastix::CheckPictureSize(stack->Width, stack->Height))
        throw Refusal{*refusal};
    const std::pair<int64_t, int64_t> size(stack->Width, stack->Height);

    const auto &layers = stack->Layers;
    content.Work = layers.size() == 2 && layers[0].Name == QLatin1String(kColourLayer)
                   && layers[1].Name == QLatin1String(kOriginalLayer) && layers[0].X == 0
                   && layers[0].Y == 0 && layers[1].X == 0 && layers[1].Y == 0;
    if (content.Work) {
        rasters.source = DecodeLayer(zip, layers[1].Source, size, rasters.library);
        rasters.work = DecodeLayer(zip, layers[0].Source, size, rasters.library);
        const std::optional<QByteArray> json =
            zip.Read(QLatin1String(kStateEntry), kMaxStateBytes, error);
        if (json)
            content.State = WorkStateFromJson(*json);
        if (zip.Has(QLatin1String(kStrokesEntry))) {
            const std::optional<QByteArray> strokes = zip.Read(
                QLatin1String(kStrokesEntry),
                MaxStrokeRecordBytes(int32_t(stack->Width), int32_t(stack->Height)), error);
            if (strokes)
                content.Strokes =
                    StrokeRecordFromBytes(*strokes, int32_t(stack->Width), int32_t(stack->Height));
        }
        return;
    }
    if (zip.Has(QLatin1String(kMergedEntry)))
        rasters.source =
            DecodeLayer(zip, QLatin1String(kMergedEntry), std::nullopt, rasters.library);
    else if (!layers.empty())
        rasters.source = Composite(zip, *stack, rasters.library);
    else
        throw Refusal{"it holds no picture"};
    rasters.work = CopyOf(rasters.source, rasters.library);
}

} // namespace

bool LooksLikeZip(const uint8_t *data, size_t size)
{
    return size >= 4 && std::memcmp(data, "PK\x03\x04", 4) == 0;
}

WorkFileContent ReadWorkFile(const uint8_t *data, size_t size, const RasterLibrary &library)
{
    WorkFileContent content;
    Rasters rasters{library};
    try {
        const ZipReader zip(data, size);
        Read(zip, rasters, content);
    } catch (const Refusal &refusal) {
        return WorkFileContent{{},
                               false,
                               false,
                               std::nullopt,
                               "The work file is damaged: " + refusal.text + ".",
                               std::nullopt};
    } catch (const std::bad_alloc &) {
        return WorkFileContent{{},
                               false,
                               false,
                               std::nullopt,
                               "There is not enough memory to open the work file.",
                               std::nullopt};
    }
    content.Rasters = {rasters.source, rasters.work};
    content.Read = true;
    rasters.source = rasters.work = RasterImage{}; // handed on
    return content;
}

std::optional<WorkFileContent> OpenWorkFile(const std::string &fileName,
                                            const RasterLibrary &library)
{
    QFile file(QFile::decodeName(fileName.c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.peek(4);
    if (!LooksLikeZip(reinterpret_cast<const uint8_t *>(head.constData()), size_t(head.size())))
        return std::nullopt;
    if (file.size() > kMaxFileBytes)
        return WorkFileContent{{},
                               false,
                               false,
                               std::nullopt,
                               "The work file is too large: it holds more than 1 GiB.",
                               std::nullopt};
    const QByteArray bytes = file.readAll();
    return ReadWorkFile(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()),
                        library);
}

} // namespace document
