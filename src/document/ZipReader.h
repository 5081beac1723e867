// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the entries of a zip archive held in memory (libzip), each one bounded: an
// entry is read only when its declared size is within the caller's limit, and never
// more than that size is kept, so a zip bomb costs no more memory than the limit.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

struct zip;
struct zip_source;

namespace document {

class ZipReader {
public:
    // The archive in data (not copied: it must outlive the reader).
    ZipReader(const uint8_t *data, size_t size);
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    // Empty when the archive could be opened; otherwise why not.
    const QString &Error() const { return error_; }
    int64_t EntryCount() const;
    // The name of entry 0 and whether it is stored uncompressed.
    QString FirstName() const;
    bool FirstStored() const;
    bool Has(const QString &name) const;
    // The declared uncompressed size of an entry; nothing when there is no such entry.
    std::optional<uint64_t> DeclaredSize(const QString &name) const;
    // The whole entry, when it exists, declares at most maxBytes and reads back as
    // declared (CRC included); otherwise nothing, with the reason in error.
    std::optional<QByteArray> Read(const QString &name, uint64_t maxBytes, QString &error) const;
    // The first bytes of an entry (fewer when it is shorter); nothing when unreadable.
    std::optional<QByteArray> Head(const QString &name, size_t bytes) const;

private:
    int64_t Index(const QString &name) const;
    zip *archive_ = nullptr;
    QString error_;
};

} // namespace document
