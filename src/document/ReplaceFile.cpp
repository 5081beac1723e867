// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ReplaceFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace document {

namespace {

QString Reason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Writes everything, going on after interruptions; 0 or the errno of the failure.
int WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= size_t(n);
    }
    return 0;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

QString ReplaceFile(const QString &fileName, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(fileName);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return QStringLiteral("it is a folder.");

    const QFileInfo info(fileName);
    std::string temporary = QFile::encodeName(info.absolutePath()).toStdString() + "/."
                            + QFile::encodeName(info.fileName()).toStdString() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return Reason(errno);

    int failure = 0;
    if (::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode()) != 0)
        failure = errno;
    if (!failure)
        failure = WriteAll(fd, bytes.constData(), size_t(bytes.size()));
    if (!failure && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && !failure)
        failure = errno;
    if (!failure && ::rename(temporary.c_str(), target.constData()) != 0)
        failure = errno;
    if (failure) {
        ::unlink(temporary.c_str());
        return Reason(failure);
    }
    return QString();
}

} // namespace document
