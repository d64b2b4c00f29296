// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "storage/datafolderchoice.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace lunora {

namespace {

// The folders the installation brings: the program creates files in them, never folders.
const char *const SkeletonFolders[] = { "Lib", "Lib/User", "Lib/Logo", "Errors" };
// The folders the program writes files into.
const char *const WrittenFolders[] = { "Lib", "Lib/User", "Errors" };

QString absoluteClean(const QString &path)
{
    QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (clean.size() > 1 && clean.endsWith(u'/'))
        clean.chop(1);
    return clean;
}

bool isEmptyFolder(const QString &path)
{
    return QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The first folder the program writes into that it cannot write, or an empty string.
QString firstUnwritable(const QString &root)
{
    bool anyChecked = false;
    for (const char *folder : WrittenFolders) {
        const QFileInfo info(root + u'/' + QLatin1StringView(folder));
        if (!info.isDir())
            continue; // a missing folder is noticed by the operation that needs it
        anyChecked = true;
        if (!info.isWritable())
            return info.filePath();
    }
    if (!anyChecked && !QFileInfo(root).isWritable())
        return root;
    return QString();
}

// Copies the template's folders and files into target (which exists and is empty), then
// makes sure the folder skeleton is complete even if the template lost a folder.
bool fillFromTemplate(const QString &templateFolder, const QString &target, QString *failed)
{
    QDir root(target);
    // The copies hold customer data soon: their owner's, and their group's only where
    // the folder is shared by its group, like every file the program makes.
    QFileDevice::Permissions fileMode
        = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    if (QFileInfo(target).permissions() & QFile::WriteGroup)
        fileMode |= QFile::ReadGroup | QFile::WriteGroup;
    if (!templateFolder.isEmpty() && QFileInfo(templateFolder).isDir()) {
        const QDir from(templateFolder);
        QDirIterator it(templateFolder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo source(it.next());
            const QString relative = from.relativeFilePath(source.filePath());
            const QString destination = target + u'/' + relative;
            if (source.isDir()) {
                if (!root.mkpath(relative)) {
                    *failed = destination;
                    return false;
                }
            } else if (source.isFile()) {
                if (!QFile::copy(source.filePath(), destination)) {
                    *failed = destination;
                    return false;
                }
                // Files under /usr/share are read-only; the user's copy is theirs to change.
                QFile::setPermissions(destination, fileMode);
            }
        }
    }
    for (const char *folder : SkeletonFolders) {
        if (!root.mkpath(QLatin1StringView(folder))) {
            *failed = target + u'/' + QLatin1StringView(folder);
            return false;
        }
    }
    return true;
}

// Removes what a failed fillFromTemplate() left, so that the next start tries afresh.
void undoFill(const QString &target, bool removeRoot)
{
    if (removeRoot) {
        QDir(target).removeRecursively();
        return;
    }
    const QDir root(target);
    for (const QFileInfo &entry :
        root.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

} // namespace

InstallLayout builtLayout()
{
#ifdef LUNORA_SYSTEM_INSTALL
    return InstallLayout::System;
#else
    return InstallLayout::Portable;
#endif
}

QString systemDefaultDataFolder()
{
    // GenericDataLocation is $XDG_DATA_HOME, or ~/.local/share when it is unset or not
    // an absolute path.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/lunora");
}

QString installedTemplateFolder(const QString &programFolder)
{
#ifdef LUNORA_TEMPLATE_RELATIVE
    return absoluteClean(programFolder + u'/' + QStringLiteral(LUNORA_TEMPLATE_RELATIVE));
#else
    return absoluteClean(programFolder + QStringLiteral("/../share/lunora"));
#endif
}

bool hasUserFile(const QString &dataFolder)
{
    const QDir users(dataFolder + QStringLiteral("/Lib/User"));
    return !users.entryList({ QStringLiteral("*.ini") }, QDir::Files).isEmpty();
}

DataFolderChoice chooseDataFolder(const DataFolderRequest &request)
{
    DataFolderChoice choice;
    const bool system = request.layout == InstallLayout::System;
    QString raw;
    if (!request.option.isEmpty()) {
        raw = request.option;
        choice.source = DataFolderSource::Option;
    } else if (system && !request.environment.isEmpty()) {
        raw = request.environment;
        choice.source = DataFolderSource::Environment;
    } else {
        raw = request.defaultFolder;
        choice.source = DataFolderSource::Default;
    }
    choice.path = absoluteClean(raw);

    // The portable folder is the installation itself: taken as it is, as it always was.
    if (!system && choice.source == DataFolderSource::Default)
        return choice;

    const QFileInfo info(choice.path);
    if (info.exists() && !info.isDir()) {
        choice.error = DataFolderError::NotAFolder;
        choice.detail = choice.path;
        return choice;
    }
    if (!info.exists() && !system) {
        choice.error = DataFolderError::Missing;
        choice.detail = choice.path;
        return choice;
    }
    if (system && (!info.exists() || isEmptyFolder(choice.path))) {
        const bool existed = info.exists();
        if (existed && !info.isWritable()) {
            choice.error = DataFolderError::NotWritable;
            choice.detail = choice.path;
            return choice;
        }
        if (!existed && !QDir().mkpath(choice.path)) {
            choice.error = DataFolderError::CannotCreate;
            choice.detail = choice.path;
            return choice;
        }
        QString failed;
        if (!fillFromTemplate(request.templateFolder, choice.path, &failed)) {
            undoFill(choice.path, !existed);
            choice.error = DataFolderError::CannotCreate;
            choice.detail = failed;
            return choice;
        }
        choice.created = true;
        // The folder of the user's own is the user's alone: nobody else's account can
        // read the customers' data in it. A folder named by the option or the variable
        // keeps the mode it was given.
        if (!existed && choice.source == DataFolderSource::Default)
            QFile::setPermissions(choice.path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString unwritable = firstUnwritable(choice.path);
    if (!unwritable.isEmpty()) {
        choice.error = DataFolderError::NotWritable;
        choice.detail = unwritable;
    }
    return choice;
}

} // namespace lunora
