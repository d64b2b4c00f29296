// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/backupfolder.h"

#include "storage/datafolder.h"
#include "storage/fileio.h"

namespace lunora::backupfolder {

namespace {
Result<QString> pathFor(const QString &userId)
{
    if (userId.isEmpty() || !isSafeFileName(userId))
        return Status::failure(QStringLiteral("Ingen fil kan få namn efter användar-ID %1").arg(userId));
    return DataFolder::path(QString(QStringLiteral("\\Lib\\User\\") + userId + QStringLiteral(".backup")));
}
} // namespace

QString read(const QString &userId)
{
    const Result<QString> path = pathFor(userId);
    if (!path || !fileio::exists(path.value()))
        return QString();
    const Result<QByteArray> bytes = fileio::readAll(path.value());
    if (!bytes)
        return QString();
    QByteArray line = bytes.value();
    const qsizetype end = line.indexOf('\r') >= 0 ? line.indexOf('\r') : line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    return QString::fromUtf8(line);
}

Status write(const QString &userId, const QString &folder)
{
    const Result<QString> path = pathFor(userId);
    if (!path)
        return path.status();
    if (folder.contains(u'\r') || folder.contains(u'\n'))
        return Status::failure(QStringLiteral("Ett mappnamn med radbrytning kan inte sparas"));
    return fileio::saveAll(path.value(), folder.toUtf8() + "\r\n");
}

} // namespace lunora::backupfolder
