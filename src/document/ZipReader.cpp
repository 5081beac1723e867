// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ZipReader.h"

#include <zip.h>

#include <memory>

namespace document {

namespace {

struct CloseFile {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using File = std::unique_ptr<zip_file_t, CloseFile>;

QString ZipError(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

ZipReader::ZipReader(const uint8_t *data, size_t size)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(data, size, 0, &error);
    if (source)
        archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive_) {
        error_ = ZipError(&error);
        if (source)
            zip_source_free(source);
    }
    zip_error_fini(&error);
}

ZipReader::~ZipReader()
{
    if (archive_)
        zip_discard(archive_);
}

int64_t ZipReader::EntryCount() const
{
    return archive_ ? zip_get_num_entries(archive_, 0) : 0;
}

int64_t ZipReader::Index(const QString &name) const
{
    if (!archive_)
        return -1;
    return zip_name_locate(archive_, name.toUtf8().constData(), ZIP_FL_ENC_GUESS);
}

QString ZipReader::FirstName() const
{
    if (EntryCount() < 1)
        return QString();
    const char *name = zip_get_name(archive_, 0, ZIP_FL_ENC_GUESS);
    return name ? QString::fromUtf8(name) : QString();
}

bool ZipReader::FirstStored() const
{
    zip_stat_t stat;
    return EntryCount() >= 1 && zip_stat_index(archive_, 0, 0, &stat) == 0
           && (stat.valid & ZIP_STAT_COMP_METHOD) && stat.comp_method == ZIP_CM_STORE;
}

bool ZipReader::Has(const QString &name) const
{
    return Index(name) >= 0;
}

std::optional<uint64_t> ZipReader::DeclaredSize(const QString &name) const
{
    const int64_t index = Index(name);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(archive_, uint64_t(index), 0, &stat) != 0
        || !(stat.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    return stat.size;
}

std::optional<QByteArray> ZipReader::Read(const QString &name, uint64_t maxBytes,
                                          QString &error) const
{
    const std::optional<uint64_t> size = DeclaredSize(name);
    if (!size) {
        error = QStringLiteral("the archive holds no %1").arg(name);
        return std::nullopt;
    }
    if (*size > maxBytes) {
        error = QStringLiteral("%1 is larger than the picture can need").arg(name);
        return std::nullopt;
    }
    File file(zip_fopen_index(archive_, uint64_t(Index(name)), 0));
    if (!file) {
        error = QStringLiteral("%1 cannot be read (%2)")
                    .arg(name, QString::fromLocal8Bit(zip_strerror(archive_)));
        return std::nullopt;
    }
    QByteArray bytes(qsizetype(*size), Qt::Uninitialized);
    int64_t have = 0;
    while (have < int64_t(*size)) {
        const int64_t n = zip_fread(file.get(), bytes.data() + have, *size - uint64_t(have));
        if (n <= 0)
            break;
        have += n;
    }
    // One byte more must not come: the entry is what its header declares, and its
    // checksum is verified at its end.
    char extra = 0;
    if (have != int64_t(*size) || zip_fread(file.get(), &extra, 1) != 0) {
        error = QStringLiteral("%1 is damaged (%2)")
                    .arg(name, QString::fromLocal8Bit(zip_file_strerror(file.get())));
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> ZipReader::Head(const QString &name, size_t bytes) const
{
    const int64_t index = Index(name);
    if (index < 0)
        return std::nullopt;
    File file(zip_fopen_index(archive_, uint64_t(index), 0));
    if (!file)
        return std::nullopt;
    QByteArray head(qsizetype(bytes), Qt::Uninitialized);
    int64_t have = 0;
    while (have < int64_t(bytes)) {
        const int64_t n = zip_fread(file.get(), head.data() + have, bytes - size_t(have));
        if (n <= 0)
            break;
        have += n;
    }
    head.resize(qsizetype(have));
    return head;
}

} // namespace document
