// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RecoveryFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>

#include <memory>

namespace {

// A file as a window leaves it (empty), last changed `age` seconds ago.
void LeaveLock(const QString &path, int age)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-age),
                                 QFileDevice::FileModificationTime));
}

} // namespace

// Lock files of windows that ended before writing any work go at the next start; the
// lock of a window still running, a lock beside a work file (an orphan to offer) and a
// lock just made stay.
TEST(RecoveryFiles, StaleLocksWithoutWorkGoAtTheNextStart)
{
    testsupport::TempDir dir;
    const QString folder = QString::fromStdString(dir.file("state"));
    auto running = std::make_unique<document::RecoveryFiles>(folder);
    const QString runningLock = running->OwnFile().replace(QLatin1String(".ora"), ".lock");
    ASSERT_TRUE(QFile::exists(runningLock));
    LeaveLock(runningLock, 3600); // old, and no work written yet: but held

    struct Case {
        const char *id;
        int age;
        bool work;
        bool stays;
    } cases[] = {{"crashed-long-ago", 3600, false, false},
                 {"crashed-with-work", 3600, true, true},
                 {"just-made", 5, false, true}};
    for (const Case &c : cases) {
        LeaveLock(folder + "/" + c.id + ".lock", c.age);
        if (c.work)
            LeaveLock(folder + "/" + c.id + ".ora", c.age);
    }

    document::RecoveryFiles next(folder);
    for (const Case &c : cases)
        EXPECT_EQ(QFile::exists(folder + "/" + c.id + ".lock"), c.stays) << c.id;
    EXPECT_TRUE(QFile::exists(runningLock));
    EXPECT_TRUE(QFile::exists(next.OwnFile().replace(QLatin1String(".ora"), ".lock")));
}
