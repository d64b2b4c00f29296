// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Fuzzes the archive check and the restore with any bytes as the archive. Rules:
// - inspect() and restore() agree: an archive the check refuses changes nothing, and
//   one it accepts is restored;
// - nothing is written outside the data folder and the safety folder;
// - restored files and folders have this program's modes, never the archive's;
// - no allocation grows with what the archive declares (run with -malloc_limit_mb).

#include "backup/backup.h"
#include "fuzzsupport.h"

#include <QDirIterator>
#include <sys/stat.h>
#include <unistd.h>

using namespace lunora;

namespace {

QString scratchRoot()
{
    return QFileInfo(fuzz::scratchFile("x")).absolutePath();
}

// Every path below the folder, links not followed, with its mode.
QStringList listing(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st
        {
        };
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
            found.append(
                QStringLiteral("%1 %2").arg(QDir(folder).relativeFilePath(path)).arg(st.st_mode, 0, 8));
    }
    found.sort();
    return found;
}

void resetFolders(const QString &root)
{
    QDir(root + QStringLiteral("/Butik")).removeRecursively();
    QDir(root + QStringLiteral("/Sakerhet")).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/Butik/Lib"));
    QDir().mkpath(root + QStringLiteral("/Butik/Errors"));
    QDir().mkpath(root + QStringLiteral("/Sakerhet"));
    fuzz::writeFile(root + QStringLiteral("/Butik/Lib/arenden.txt"), "kvar\r\n");
}

void checkModes(const QStringList &restored)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    for (const QString &line : restored) {
        const mode_t mode = line.section(u' ', -1).toUInt(nullptr, 8);
        const mode_t expected = S_ISDIR(mode) ? (0777 & ~mask) : (0600 & ~mask);
        fuzz::require(S_ISDIR(mode) || S_ISREG(mode), "only files and folders are restored", line.toUtf8());
        fuzz::require(
            (mode & 07777) == expected, "modes are the program's, not the archive's", line.toUtf8());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString root = scratchRoot();
    const QString archive = root + QStringLiteral("/in.zip");
    resetFolders(root);
    fuzz::writeFile(archive, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QStringList before = listing(root);

    const backup::Inspection inspection = backup::inspect(archive);
    const backup::Outcome restored = backup::restore(root + QStringLiteral("/Butik"), archive,
        root + QStringLiteral("/Sakerhet"), QDateTime(QDate(2026, 1, 1), QTime(12, 0)));
    fuzz::require(inspection.ok() == restored.ok(), "the check and the restore agree");
    if (!restored.ok()) {
        fuzz::require(listing(root) == before, "a refused archive changes nothing");
        return 0;
    }
    static const QStringList Allowed { QStringLiteral("Butik"), QStringLiteral("Sakerhet"),
        QStringLiteral("in.zip") };
    for (const QString &line : listing(root)) {
        fuzz::require(Allowed.contains(line.section(u' ', 0, 0).section(u'/', 0, 0)),
            "nothing is written outside the data folder", line.toUtf8());
    }
    QStringList restoredFiles = listing(root + QStringLiteral("/Butik/Lib"));
    for (QString &line : restoredFiles)
        line.prepend(QStringLiteral("Lib/"));
    restoredFiles.removeIf([](const QString &line) {
        return line.startsWith(QLatin1String("Lib/lunora.lock "))
            || line.startsWith(QLatin1String("Lib/lunora.presence "));
    });
    checkModes(restoredFiles + listing(root + QStringLiteral("/Butik/Errors")));
    return 0;
}
