// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "backup/archive.h"
#include "backup/backup.h"

#include <QSet>

// The rules every archive meets before a restore unpacks a byte of it, applied while its
// entries stream past: plain paths under Lib and Errors, one entry per name, plain files
// and folders only, and no entry that unpacks to far more than it packs.
namespace lunora::backup {

// An entry over this size that also unpacks to more than MaxRatio times its packed size
// is refused: a real case file never compresses like that, a zip bomb does.
inline constexpr qint64 RatioFloor = qint64(64) << 20;
inline constexpr qint64 MaxRatio = 500;
// The pieces entries are streamed in.
inline constexpr qint64 PieceSize = qint64(1) << 16;

// What sees the entries of a walk. A call that returns false ends the walk; `problem`
// then says why.
class EntryVisitor
{
public:
    virtual ~EntryVisitor() = default;
    virtual bool begin(const QByteArray &path, EntryKind kind)
    {
        Q_UNUSED(path);
        Q_UNUSED(kind);
        return true;
    }
    virtual bool piece(const char *data, qint64 size)
    {
        Q_UNUSED(data);
        Q_UNUSED(size);
        return true;
    }
    virtual bool end() { return true; }
    QString problem;
};

struct WalkResult
{
    Error error = Error::None;
    QString detail;
    qint64 files = 0;
    qint64 bytes = 0; // unpacked, as read
    qint64 longestName = 0; // bytes of the longest name between two '/'
    qint64 longestPath = 0; // bytes of the longest path ("Lib/User/anna.ini")
    bool ok() const { return error == Error::None; }
};

// Reads every entry of the archive once, checking it against the rules above while it
// streams, and hands it to the visitor. `progress` gets the files read so far.
WalkResult walkArchive(const QString &archivePath, EntryVisitor &visitor, const Progress &progress = {});

// Counts the cases of a register and finds the newest creation date, a piece at a time.
class RegisterCounter final
{
public:
    void add(const char *data, qint64 size);
    void finish(Summary &summary);

private:
    void countLine(QByteArrayView line);
    QByteArray m_pending;
    bool m_skipping = false; // inside a line too long to be a case's
    qint64 m_cases = 0;
    QString m_newest;
};

} // namespace lunora::backup
