// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>
#include <QtGlobal>

namespace lunora {

// What a file looks like from outside, read with one stat: enough to tell whether it
// changed since it was last looked at. An atomic rewrite gives the file a new inode,
// an append a new size, so two different states of a file never share a stamp.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    static FileStamp of(const QString &path);
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// The changes this process made to its files, so that a window that follows a file
// can tell its own writes from another desk's. Every write of fileio records the
// stamp the file had just before it and the one it has just after it; both are taken
// under the folder lock, so nothing of another desk falls between them.
namespace ownwrites {
void note(const QString &path, const FileStamp &before, const FileStamp &after);
// Starting from a state of the file that a window has seen, follows this process's
// own changes as far as they go and returns the state reached. When that is the
// file's state now, nobody else has touched the file since the window saw it.
FileStamp follow(const QString &path, FileStamp seen);

// A write of this process is changing the file now and has not been noted yet: from just
// before the file changes until its stamp after is noted. A window that looked in
// between would take the new state for another desk's; it looks again later instead.
class Writing final
{
public:
    explicit Writing(const QString &path);
    ~Writing();
    Writing(const Writing &) = delete;
    Writing &operator=(const Writing &) = delete;

private:
    QString m_key;
};
bool isWriting(const QString &path);
} // namespace ownwrites

} // namespace lunora
