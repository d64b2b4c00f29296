// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "backup/restorerecovery.h"

#include "backup/backupsteps.h"
#include "storage/casehistory.h"
#include "storage/cutpoint.h"
#include "storage/fileio.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunora::backup {

namespace {

using Folder = RestoreRecord::Folder;

const char *const LeftByARestore[]
    = { "lunora-restore.txt", "lunora-restore.txt.part", "lunora-restore.lock" };

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool failed(QString &problem, const QString &what)
{
    problem = QStringLiteral("%1: %2").arg(what, systemText(errno));
    return false;
}

// Where the folder a restore replaced lies now, among the names the restore uses.
QString whereIs(const Folder &folder, const FolderId &id)
{
    for (const QString &place : { folder.real, folder.fresh(), folder.aside(), folder.returned() }) {
        if (folderId(place) == id)
            return place;
    }
    return QString();
}

// Puts the folder the restore replaced back under its name, and the restored one into
// the staging folder. Never renames over a folder the record does not know.
bool undoFolder(const Folder &folder, QString &problem)
{
    const FolderId now = folderId(folder.real);
    const bool ours = folder.restored.exists() && now == folder.restored;
    if (!folder.existed) {
        if (ours && !renameNoReplace(folder.real, folder.returned()))
            return failed(problem, shown(folder.real));
        return true; // nothing there, or a folder made meanwhile: not ours to move
    }
    const QString previous = whereIs(folder, folder.previous);
    if (previous == folder.real)
        return true;
    if (previous.isEmpty()) {
        // A folder the restore does not know holds the name, and the staging folder
        // nothing of the previous state: nothing of the restore is in the way.
        if (now.exists() && !ours)
            return true;
        problem = QStringLiteral("den tidigare mappen %1 finns inte").arg(shown(folder.real));
        return false;
    }
    if (!now.exists())
        return renameNoReplace(previous, folder.real) || failed(problem, shown(previous));
    if (!ours) {
        problem
            = QStringLiteral("%1 är en annan mapp än den återställningen lade dit").arg(shown(folder.real));
        return false;
    }
    switch (exchangeFolders(previous, folder.real)) {
    case Exchange::Done:
        return true;
    case Exchange::Failed:
        return failed(problem, shown(folder.real));
    case Exchange::Unsupported:
        break;
    }
    if (!renameNoReplace(folder.real, folder.returned()))
        return failed(problem, shown(folder.real));
    return renameNoReplace(previous, folder.real) || failed(problem, shown(previous));
}

// A restore whose folders were all in place: only the staging folders are left to go.
bool finishFolder(const Folder &folder, QString &problem)
{
    if (folder.restored.exists() && folderId(folder.real) == folder.restored)
        return true;
    problem = QStringLiteral("%1 är en annan mapp än den återställningen lade dit").arg(shown(folder.real));
    return false;
}

// Removes a folder and everything below it, by the names' bytes (a name that is not
// UTF-8 would not survive the way through QString), never following a link.
void removeTree(const QString &folder)
{
    const auto removeOne = [](const char *path, const struct stat *, int, struct FTW *) {
        (void)::remove(path);
        return 0;
    };
    (void)::nftw(QFile::encodeName(folder).constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

void writeLog(const QString &dataFolder, const QString &line)
{
    const QString log = QDir(dataFolder).filePath(QStringLiteral("Errors/Aterstallning.txt"));
    (void)fileio::appendLine(log, casehistory::formatLine(QDateTime::currentDateTime(), { line }));
}

} // namespace

QString Recovery::message() const
{
    switch (kind) {
    case Kind::Nothing:
    case Kind::Busy:
        return QString();
    case Kind::Finished:
        return QStringLiteral("En återställning som avbröts har gjorts klar: datamappen har innehållet från "
                              "%1, och det som ersattes finns i %2.")
            .arg(shown(archive), shown(safetyCopy));
    case Kind::Undone:
        return QStringLiteral("En återställning som avbröts har tagits tillbaka: datamappen är som före "
                              "återställningen av %1.")
            .arg(shown(archive));
    case Kind::Unsettled:
        return QStringLiteral("En återställning som avbröts kunde varken göras klar eller tas tillbaka (%1); "
                              "mapparna från den finns kvar i %2.")
            .arg(detail, shown(staging));
    }
    return QString();
}

Recovery settleRestore(const RestoreRecord &record, const QString &dataFolder)
{
    Recovery recovery;
    recovery.archive = record.archive;
    recovery.safetyCopy = record.safetyCopy;
    const bool finish = record.stage == RestoreRecord::Stage::Swapped;
    for (const Folder &folder : record.folders) {
        if (folder.staging.isEmpty())
            continue;
        QString problem;
        if (!(finish ? finishFolder(folder, problem) : undoFolder(folder, problem))) {
            recovery.kind = Recovery::Kind::Unsettled;
            recovery.detail = problem;
            recovery.staging = folder.staging;
            return recovery; // the record stays, and every folder it names
        }
    }
    for (const Folder &folder : record.folders) {
        syncFolder(QFileInfo(folder.real).absolutePath());
        if (folder.staging.isEmpty())
            continue;
        removeTree(folder.staging);
        cutpoint::reached("staging removed");
    }
    if (Status removed = RestoreRecord::remove(dataFolder); !removed) {
        recovery.kind = Recovery::Kind::Unsettled;
        recovery.detail = removed.error();
        recovery.staging = dataFolder;
        return recovery;
    }
    recovery.kind = finish ? Recovery::Kind::Finished : Recovery::Kind::Undone;
    return recovery;
}

Recovery recoverUnderLock(const QString &dataFolder)
{
    // A record cut while it was first written never came into force.
    (void)::unlink(QFile::encodeName(RestoreRecord::path(dataFolder) + QStringLiteral(".part")).constData());
    Recovery recovery;
    const Result<std::optional<RestoreRecord>> record = RestoreRecord::read(dataFolder);
    if (!record) {
        recovery.kind = Recovery::Kind::Unsettled;
        recovery.detail = record.error();
        recovery.staging = dataFolder;
    } else if (record.value()) {
        recovery = settleRestore(*record.value(), dataFolder);
    }
    if (recovery.kind != Recovery::Kind::Nothing)
        writeLog(dataFolder, recovery.message());
    return recovery;
}

Recovery recoverCutRestore(const QString &dataFolder)
{
    // Anything a restore leaves while it runs: the record, its first version being
    // written, the lock (which a restore cut short leaves behind; taking it and letting go
    // removes it).
    const bool left
        = std::any_of(std::begin(LeftByARestore), std::end(LeftByARestore), [&](const char *name) {
              const QFileInfo file(QDir(dataFolder).filePath(QLatin1String(name)));
              return file.exists() || file.isSymLink();
          });
    if (!left)
        return {};
    RestoreLock lock = RestoreLock::take(dataFolder);
    if (lock.state() == RestoreLock::State::Busy) {
        Recovery busy;
        busy.kind = Recovery::Kind::Busy;
        return busy;
    }
    const QFileInfo record(RestoreRecord::path(dataFolder));
    if (!lock.held() && !record.exists() && !record.isSymLink())
        return {}; // only a lock file left, and nothing to settle
    if (!lock.held()) {
        Recovery unsettled;
        unsettled.kind = Recovery::Kind::Unsettled;
        unsettled.detail = lock.errorText();
        unsettled.staging = dataFolder;
        return unsettled;
    }
    return recoverUnderLock(dataFolder);
}

} // namespace lunora::backup
