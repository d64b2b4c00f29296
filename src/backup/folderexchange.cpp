// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/folderexchange.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace lunora::backup {

namespace {
std::atomic_bool s_exchangeAvailable { true };
} // namespace

Exchange exchangeFolders(const QString &a, const QString &b)
{
    if (!s_exchangeAvailable) {
        errno = EINVAL;
        return Exchange::Unsupported;
    }
    if (::renameat2(AT_FDCWD, QFile::encodeName(a).constData(), AT_FDCWD, QFile::encodeName(b).constData(),
            RENAME_EXCHANGE)
        == 0)
        return Exchange::Done;
    // EINVAL: the file system has no such rename; ENOSYS: neither has the kernel (or a
    // sandbox forbids it).
    return errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ? Exchange::Unsupported
                                                                     : Exchange::Failed;
}

bool renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (s_exchangeAvailable
        && ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (s_exchangeAvailable && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // Without the flag: looked at first. Only a restore renames these names, and it
    // holds the restore lock.
    struct stat st
    {
    };
    if (::lstat(target.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(source.constData(), target.constData()) == 0;
}

FolderId folderId(const QString &path)
{
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return { quint64(st.st_dev), quint64(st.st_ino) };
}

void setExchangeForTesting(bool available)
{
    s_exchangeAvailable = available;
}

} // namespace lunora::backup
