// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/housekeeping.h"

#include "storage/datafolder.h"
#include "storage/folderlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace lunora::housekeeping {

Result<int> removeStaleTemporaries(const QDateTime &now)
{
    FolderLock lock = FolderLock::acquire();
    if (!lock)
        return Status::failure(lock.errorText());
    // The program's files end in .ini or .txt; the save's temporary name adds six
    // letters or digits.
    static const QRegularExpression pattern(
        QStringLiteral("^.+\\.(ini|txt)\\.[A-Za-z0-9]{6}$"), QRegularExpression::CaseInsensitiveOption);
    int removed = 0;
    for (const char *folder : { "\\Lib", "\\Lib\\User", "\\Errors" }) {
        const QDir dir(DataFolder::path(QString::fromLatin1(folder)));
        const QFileInfoList files
            = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
        for (const QFileInfo &file : files) {
            if (!file.isFile() || file.isSymLink() || !pattern.match(file.fileName()).hasMatch())
                continue;
            if (file.lastModified().secsTo(now) < staleAfterSeconds)
                continue;
            if (QFile::remove(file.filePath()))
                ++removed;
        }
    }
    return removed;
}

} // namespace lunora::housekeeping
