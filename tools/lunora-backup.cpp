// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// lunora-backup: makes the same archive as "Säkerhetskopiera…" in the program, for a
// scheduled job (cron, a systemd timer). Prints the archive's path on success; on failure
// a line on standard error and a non-zero exit code, with no half archive left behind.

#include "app/runasowner.h"
#include "backup/backup.h"
#include "backup/presence.h"
#include "storage/datafolderchoice.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

enum ExitCode
{
    Done = 0,
    Failed = 1,
    BadArguments = 2,
};

const char *const Usage
    = "Användning: lunora-backup [--data-folder MAPP] MÅLMAPP\n"
      "\n"
      "Sparar en säkerhetskopia av Lunoras Lib och Errors i MÅLMAPP som\n"
      "Lunora-<datamappens namn>-ÅÅÅÅ-MM-DD-TTMM.zip (läsbar bara för ägaren).\n"
      "Kopian läses tillbaka och kontrolleras innan den får sitt namn.\n"
      "\n"
      "  --data-folder MAPP  datamappen (standard: den som lunora använder, för en flyttbar\n"
      "                     kopia mappen där lunora-backup ligger)\n";

void sayError(const QString &text)
{
    std::fprintf(stderr, "lunora-backup: %s\n", text.toLocal8Bit().constData());
}

QString reason(lunora::backup::Error error)
{
    using lunora::backup::Error;
    switch (error) {
    case Error::DataFolderMissing:
        return QStringLiteral("datamappen har ingen Lib");
    case Error::TargetMissing:
        return QStringLiteral("målmappen finns inte");
    case Error::ReadFailed:
        return QStringLiteral("en fil i datamappen kunde inte läsas");
    case Error::LockFailed:
        return QStringLiteral("datamappens lås gick inte att få");
    case Error::WriteFailed:
        return QStringLiteral("kopian kunde inte skrivas");
    case Error::VerifyFailed:
        return QStringLiteral("kopian gick inte att läsa tillbaka som den skrevs");
    default:
        return QStringLiteral("kopian kunde inte göras");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    // The same data folder the program would use: its own folder for a portable copy;
    // LUNORA_DATA or the user's own folder for an installed one.
    QString dataFolder = QCoreApplication::applicationDirPath();
    if (lunora::builtLayout() == lunora::InstallLayout::System) {
        dataFolder = qEnvironmentVariable("LUNORA_DATA");
        if (dataFolder.isEmpty())
            dataFolder = lunora::systemDefaultDataFolder();
    }
    QString target;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(Usage, stdout);
            return Done;
        }
        if (arg == QLatin1String("--data-folder")) {
            if (args.isEmpty()) {
                std::fputs(Usage, stderr);
                return BadArguments;
            }
            dataFolder = args.takeFirst();
        } else if (arg.startsWith(QLatin1String("--")) || !target.isEmpty()) {
            std::fputs(Usage, stderr);
            return BadArguments;
        } else {
            target = arg;
        }
    }
    if (target.isEmpty()) {
        std::fputs(Usage, stderr);
        return BadArguments;
    }

    if (!lunora::runAsFolderOwner(dataFolder, "lunora-backup"))
        return Failed;
    // Present like a running program, so a restore started meanwhile waits for us.
    lunora::Presence presence;
    (void)presence.enter(dataFolder);
    const lunora::backup::Outcome outcome
        = lunora::backup::create(QDir(dataFolder).absolutePath(), target, QDateTime::currentDateTime());
    if (!outcome.ok()) {
        sayError(reason(outcome.error) + QStringLiteral(": ") + outcome.detail);
        return Failed;
    }
    std::printf("%s\n", QDir::toNativeSeparators(outcome.archivePath).toLocal8Bit().constData());
    return Done;
}
