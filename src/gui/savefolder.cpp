// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/savefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lunora {

QString proposedFolder()
{
    // Qt names ~/Documents even on a desktop that has none; a folder that is not there
    // would leave the user in an empty dialog.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).absolutePath();
}

QString proposedSavePath(const QString &fileName)
{
    return QDir(proposedFolder()).filePath(fileName);
}

} // namespace lunora
