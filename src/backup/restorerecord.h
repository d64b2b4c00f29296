// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "backup/folderexchange.h"
#include "storage/status.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// What a restore in progress has done, so that a restore cut short (a kill, a power cut,
// a crash) is finished or undone by whichever program of ours starts next. The record is
// "lunora-restore.txt" at the top of the data folder, beside Lib: a folder the restore
// never replaces, and a file older copies of the program never look at. It is written
// before the restore makes its first folder and rewritten, synced, at each stage, and it
// names every folder by path and by identity: a folder keeps its identity through
// renames, so a Lib or Errors the record does not know (made meanwhile by an older copy)
// is never renamed over.
//
// The record is read and written only under the restore lock, "lunora-restore.lock"
// beside it (an open-file-description lock, let go by the system however the process
// ends; the file is there only while it is held): a restore holds it from before it
// writes the record until it has removed it, so that a program starting meanwhile never
// takes a running restore for a cut one.
namespace lunora::backup {

struct RestoreRecord
{
    enum class Stage
    {
        Unpacking, // the archive is unpacked into the staging folders; nothing swapped
        Swapping, // the folders are being swapped: undone when found
        Swapped, // every folder is in place: finished when found (the staging folders go)
    };
    // One of the folders a restore replaces.
    struct Folder
    {
        QByteArray top; // "Lib" or "Errors"
        QString real; // the folder itself, links resolved
        QString staging; // ".lunora-restore-XXXXXX" beside it: the new folder, later the old one
        bool existed = false; // false: the data folder had no such folder before
        FolderId previous; // the folder it replaces (when it existed)
        FolderId restored; // the unpacked folder (known from the stage Swapping on)
        QString fresh() const { return staging + QStringLiteral("/new"); }
        QString aside() const { return staging + QStringLiteral("/replaced"); }
        QString returned() const { return staging + QStringLiteral("/returned"); }
    };

    Stage stage = Stage::Unpacking;
    QString archive; // what was restored
    QString safetyCopy; // the backup of the replaced state; never removed
    QList<Folder> folders;

    static QString path(const QString &dataFolder);
    // Written beside its final name, synced, renamed into place and the folder synced:
    // once this returns, the record survives a power cut.
    Status write(const QString &dataFolder) const;
    // None when there is no record; a failure when one is there but cannot be read.
    static Result<std::optional<RestoreRecord>> read(const QString &dataFolder);
    static Status remove(const QString &dataFolder);
};

class [[nodiscard]] RestoreLock final
{
public:
    enum class State
    {
        Held,
        Busy, // a restore of another process holds it
        Failed, // the lock file cannot be made or locked (errorText says why)
    };
    // Takes the lock of the data folder without waiting, making its file when missing.
    static RestoreLock take(const QString &dataFolder);

    RestoreLock() = default;
    RestoreLock(RestoreLock &&other) noexcept;
    RestoreLock &operator=(RestoreLock &&other) noexcept;
    RestoreLock(const RestoreLock &) = delete;
    RestoreLock &operator=(const RestoreLock &) = delete;
    ~RestoreLock();

    State state() const { return m_state; }
    bool held() const { return m_state == State::Held; }
    const QString &errorText() const { return m_errorText; }
    void release();

private:
    QByteArray m_path;
    int m_fd = -1;
    State m_state = State::Failed;
    QString m_errorText;
};

} // namespace lunora::backup
