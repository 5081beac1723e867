// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery work files of running windows, one folder for all of them. Each window
// owns one file, <id>.ora, and holds an exclusive lock (flock) on <id>.lock for as long
// as it lives, so that a file whose lock can be taken belongs to a window that is gone
// without a normal close (a crash, a power cut): an orphan, offered at the next start.
// Two programs running at once each keep their own file and never take the other's,
// as the other's lock is held. The locks go with the process, whatever ends it.
#pragma once

#include <QString>

#include <optional>

namespace document {

// $XDG_STATE_HOME/tintwell, or ~/.local/state/tintwell when XDG_STATE_HOME is unset,
// empty or not an absolute path.
QString DefaultRecoveryFolder();

class RecoveryFiles {
public:
    // Makes the folder when it is missing and takes a new id of its own; without a
    // usable folder, nothing is written and no orphan is found. Lock files left by
    // windows that ended before they wrote any work (no work file beside them, nobody
    // holding them, older than a minute, so never one a starting window has just made)
    // are removed.
    explicit RecoveryFiles(const QString &folder);
    ~RecoveryFiles(); // the own file stays (as after a crash); the lock is released
    RecoveryFiles(const RecoveryFiles &) = delete;
    RecoveryFiles &operator=(const RecoveryFiles &) = delete;

    // The file this window writes its work to.
    QString OwnFile() const;
    // Removes the own file (a normal close, or the work saved).
    void RemoveOwn();

    // The newest recovery file of a window that is gone, its lock now held by this one;
    // nothing when there is none. Only one orphan is held at a time.
    std::optional<QString> TakeOrphan();
    // The held orphan becomes this window's own file (restored: it stays until a normal
    // close), or is removed (not wanted).
    void AdoptOrphan();
    void RemoveOrphan();

private:
    struct Lock {
        QString id;
        int fd = -1;
    };
    static std::optional<Lock> TryLock(const QString &folder, const QString &id);
    void RemoveStaleLocks();
    void Release(Lock &lock, bool removeFile);
    QString folder_;
    Lock own_;
    Lock orphan_;
};

} // namespace document
