// SPDX-License-Identifier: GPL-3.0-or-later
// Saving under faults: a file-size limit, a full disk, a folder that cannot be written
// (as a user who is not root), a folder that was removed, a target that is a folder.
// Each save runs in a child process carrying the fault; it must fail with a reason that
// names the file, leave the old file's bytes as they were and leave no temporary file.
#include "document/SavePicture.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

namespace {

constexpr int kSkipped = 77;
const QByteArray kOld("the picture saved an hour ago");

// Grain that no writer can squeeze below a few hundred kilobytes.
RasterImage Noise(int32_t w, int32_t h)
{
    RasterImage r = newdib(w, h, 24, nullptr, 0);
    std::mt19937 rng(3);
    for (uint32_t i = 0; i < RasterImageSize(r); ++i)
        r.Pixels[i] = uint8_t(rng());
    return r;
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden,
                                  QDir::Name);
}

bool Write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QString Why(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Runs body in a child; its exit code (0: all held, kSkipped: fault not possible here).
int InChild(const std::function<int()> &body)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The save must fail, say why with the file's name, and keep everything as it was.
int FailsKeepingTheOldFile(const QString &folder, const QString &target, const QString &kept,
                           const QString &why)
{
    const QStringList before = Entries(folder);
    RasterImage picture = Noise(400, 300);
    const QString reason = document::SavePicture(picture, target);
    deldib(picture);
    std::fprintf(stderr, "reason given: %s\n", qPrintable(reason));
    if (reason.isEmpty())
        return 1; // reported as saved
    if (!reason.contains(target) || !reason.contains(why))
        return 2;
    if (!kept.isEmpty() && Read(kept) != kOld)
        return 3; // the old file was damaged
    if (Entries(folder) != before)
        return 4; // something was left behind
    return 0;
}

class SavePictureFault : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = QString::fromStdString(dir_.path().string());
        chmod(dir_.path().c_str(), 0755); // reachable for the unprivileged user below
    }
    QString Path(const char *name) const { return folder_ + QLatin1Char('/') + name; }

    testsupport::TempDir dir_;
    QString folder_;
};

TEST_F(SavePictureFault, FileSizeLimitKeepsTheOldFile)
{
    const QString target = Path("keep.png");
    ASSERT_TRUE(Write(target, kOld));
    EXPECT_EQ(InChild([&] {
                  std::signal(SIGXFSZ, SIG_IGN); // writes then fail with EFBIG
                  const rlimit limit{64 << 10, 64 << 10};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  return FailsKeepingTheOldFile(folder_, target, target, Why(EFBIG));
              }),
              0);
    EXPECT_EQ(Read(target), kOld);
}

TEST_F(SavePictureFault, FullDiskKeepsTheOldFile)
{
    // A 128 KiB file system of its own, in a mount namespace only the child sees.
    const int result = InChild([&] {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr)
            || mount("tmpfs", folder_.toLocal8Bit().constData(), "tmpfs", 0, "size=128k") != 0)
            return kSkipped;
        const QString target = Path("keep.bmp");
        if (!Write(target, kOld))
            return 5;
        return FailsKeepingTheOldFile(folder_, target, target, Why(ENOSPC));
    });
    if (result == kSkipped)
        GTEST_SKIP() << "no right to mount a small file system here";
    EXPECT_EQ(result, 0);
}

TEST_F(SavePictureFault, ReadOnlyFolderKeepsTheOldFile)
{
    const QString locked = Path("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    const QString target = locked + QStringLiteral("/keep.tif");
    ASSERT_TRUE(Write(target, kOld));
    chmod(locked.toLocal8Bit().constData(), 0555);
    EXPECT_EQ(InChild([&] {
                  // Root writes anywhere: save as an ordinary user ("nobody").
                  if (geteuid() == 0
                      && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                      return 6;
                  return FailsKeepingTheOldFile(locked, target, target, Why(EACCES));
              }),
              0);
    chmod(locked.toLocal8Bit().constData(), 0755);
    EXPECT_EQ(Read(target), kOld);
}

TEST_F(SavePictureFault, RemovedFolderIsReported)
{
    const QString gone = Path("gone");
    ASSERT_TRUE(QDir().mkdir(gone));
    ASSERT_TRUE(QDir().rmdir(gone));
    EXPECT_EQ(InChild([&] {
                  return FailsKeepingTheOldFile(folder_, gone + QStringLiteral("/new.jpg"), {},
                                                Why(ENOENT));
              }),
              0);
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(SavePictureFault, TargetThatIsAFolderIsReported)
{
    const QString target = Path("album.png");
    ASSERT_TRUE(QDir().mkdir(target));
    ASSERT_TRUE(Write(target + QStringLiteral("/inside"), kOld));
    EXPECT_EQ(InChild([&] {
                  return FailsKeepingTheOldFile(folder_, target, {}, QStringLiteral("folder"));
              }),
              0);
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(Read(target + QStringLiteral("/inside")), kOld);
}

TEST_F(SavePictureFault, ReplacedFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes)
{
    const QString kept = Path("shared.png");
    ASSERT_TRUE(Write(kept, kOld));
    chmod(kept.toLocal8Bit().constData(), 0640);
    RasterImage picture = Noise(20, 10);
    EXPECT_EQ(document::SavePicture(picture, kept), QString());
    const QString fresh = Path("new.bmp");
    EXPECT_EQ(document::SavePicture(picture, fresh), QString());
    deldib(picture);
    struct stat st {};
    ASSERT_EQ(stat(kept.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    const mode_t mask = umask(0);
    umask(mask);
    ASSERT_EQ(stat(fresh.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
    EXPECT_EQ(Entries(folder_), QStringList({"new.bmp", "shared.png"}));
    EXPECT_NE(Read(kept), kOld);
}

} // namespace
