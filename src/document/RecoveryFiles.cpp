// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RecoveryFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace document {

namespace {

QString Path(const QString &folder, const QString &id, const char *suffix)
{
    return folder + QLatin1Char('/') + id + QLatin1String(suffix);
}

} // namespace

QString DefaultRecoveryFolder()
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = !state.isEmpty() && QDir::isAbsolutePath(state)
                             ? state
                             : QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/tintwell");
}

RecoveryFiles::RecoveryFiles(const QString &folder) : folder_(folder)
{
    if (!QDir().mkpath(folder_))
        return;
    for (int attempt = 0; attempt < 3 && own_.fd < 0; ++attempt)
        if (auto lock = TryLock(folder_, QUuid::createUuid().toString(QUuid::WithoutBraces)))
            own_ = *lock;
    RemoveStaleLocks();
}

void RecoveryFiles::RemoveStaleLocks()
{
    const QDateTime settled = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo &file :
         QDir(folder_).entryInfoList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden)) {
        const QString id = file.completeBaseName();
        if (id.isEmpty() || id == own_.id || file.lastModified().toUTC() > settled
            || QFile::exists(Path(folder_, id, ".ora")))
            continue;
        if (auto lock = TryLock(folder_, id)) {
            // Checked again under the lock: a work file may have come meanwhile.
            if (!QFile::exists(Path(folder_, id, ".ora")))
                QFile::remove(file.absoluteFilePath());
            Release(*lock, false);
        }
    }
}

RecoveryFiles::~RecoveryFiles()
{
    Release(orphan_, false);
    // A lock file whose work file is gone is of no use to anyone.
    const bool keep = own_.fd >= 0 && QFile::exists(OwnFile());
    if (own_.fd >= 0 && !keep)
        QFile::remove(Path(folder_, own_.id, ".lock"));
    Release(own_, false);
}

std::optional<RecoveryFiles::Lock> RecoveryFiles::TryLock(const QString &folder, const QString &id)
{
    const QByteArray path = QFile::encodeName(Path(folder, id, ".lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::nullopt;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return Lock{id, fd};
}

void RecoveryFiles::Release(Lock &lock, bool removeFile)
{
    if (lock.fd < 0)
        return;
    if (removeFile) {
        QFile::remove(Path(folder_, lock.id, ".ora"));
        QFile::remove(Path(folder_, lock.id, ".lock"));
    }
    ::close(lock.fd);
    lock = Lock{};
}

QString RecoveryFiles::OwnFile() const
{
    return own_.fd >= 0 ? Path(folder_, own_.id, ".ora") : QString();
}

void RecoveryFiles::RemoveOwn()
{
    if (own_.fd >= 0)
        QFile::remove(OwnFile());
}

std::optional<QString> RecoveryFiles::TakeOrphan()
{
    Release(orphan_, false);
    const QFileInfoList files = QDir(folder_).entryInfoList(
        {QStringLiteral("*.ora")}, QDir::Files | QDir::Hidden, QDir::Time); // newest first
    for (const QFileInfo &file : files) {
        const QString id = file.completeBaseName();
        if (id.isEmpty() || id.startsWith(QLatin1Char('.')) || id == own_.id)
            continue; // a temporary file of a write in progress, or this window's own
        if (auto lock = TryLock(folder_, id)) {
            orphan_ = *lock;
            return file.absoluteFilePath();
        }
    }
    return std::nullopt;
}

void RecoveryFiles::AdoptOrphan()
{
    if (orphan_.fd < 0)
        return;
    Release(own_, true);
    own_ = orphan_;
    orphan_ = Lock{};
}

void RecoveryFiles::RemoveOrphan()
{
    Release(orphan_, true);
}

} // namespace document
