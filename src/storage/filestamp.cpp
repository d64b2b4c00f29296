// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/filestamp.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <sys/stat.h>

namespace lunora {

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    struct stat info
    {
    };
    // stat, not lstat: a register that is a link within the folder is followed, as
    // every read of it is.
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = static_cast<quint64>(info.st_dev);
    stamp.inode = static_cast<quint64>(info.st_ino);
    stamp.size = static_cast<qint64>(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

namespace ownwrites {

namespace {
struct Change
{
    FileStamp before;
    FileStamp after;
};

// A handful of changes per file is plenty: a window looks within moments of a write.
constexpr qsizetype changesKept = 32;
// Files written in one run; beyond that the record starts again, which costs at most
// one needless reload of a list.
constexpr qsizetype filesKept = 512;

QMutex &mutex()
{
    static QMutex m;
    return m;
}

QHash<QString, QList<Change>> &changes()
{
    static QHash<QString, QList<Change>> c;
    return c;
}

QString keyOf(const QString &path)
{
    return QDir::cleanPath(path);
}

QHash<QString, int> &writing()
{
    static QHash<QString, int> w;
    return w;
}
} // namespace

Writing::Writing(const QString &path)
    : m_key(keyOf(path))
{
    const QMutexLocker locker(&mutex());
    ++writing()[m_key];
}

Writing::~Writing()
{
    const QMutexLocker locker(&mutex());
    if (--writing()[m_key] <= 0)
        writing().remove(m_key);
}

bool isWriting(const QString &path)
{
    const QMutexLocker locker(&mutex());
    return writing().contains(keyOf(path));
}

void note(const QString &path, const FileStamp &before, const FileStamp &after)
{
    const QMutexLocker locker(&mutex());
    auto &all = changes();
    if (all.size() >= filesKept && !all.contains(keyOf(path)))
        all.clear();
    QList<Change> &list = all[keyOf(path)];
    list.append({ before, after });
    if (list.size() > changesKept)
        list.removeFirst();
}

FileStamp follow(const QString &path, FileStamp seen)
{
    const QMutexLocker locker(&mutex());
    const auto it = changes().constFind(keyOf(path));
    if (it == changes().cend())
        return seen;
    // The changes are in the order they were made; each one starts where the one
    // before it ended, unless another desk wrote in between.
    for (const Change &change : *it) {
        if (change.before == seen)
            seen = change.after;
    }
    return seen;
}

} // namespace ownwrites

} // namespace lunora
