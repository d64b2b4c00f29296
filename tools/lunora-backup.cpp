// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// lunora-backup: makes the same archive as "Säkerhetskopiera…" in the program, for a
// scheduled job (cron, a systemd timer), and restores one as "Återställ…" does, without
// signing in: on a new machine after a lost disk there is no user to sign in as. Prints
// what it did on success; on failure a line on standard error and a non-zero exit code,
// with no half archive and no half restore left behind.

#include "app/runasowner.h"
#include "app/translations.h"
#include "backup/backup.h"
#include "backup/presence.h"
#include "backup/restorerecovery.h"
#include "storage/datafolderchoice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

enum ExitCode
{
    Done = 0,
    Failed = 1,
    BadArguments = 2,
};

const char *const Description
    = "Sparar en säkerhetskopia av Lunoras Lib och Errors i MÅLMAPP som\n"
      "Lunora-<datamappens namn>-ÅÅÅÅ-MM-DD-TTMM.zip (läsbar bara för ägaren).\n"
      "Kopian läses tillbaka och kontrolleras innan den får sitt namn.\n"
      "\n"
      "Med --restore ARKIV ersätts Lib och Errors med säkerhetskopians innehåll, utan\n"
      "inloggning. Först visas vad som återställs och frågan \"Återställa? (ja/nej)\";\n"
      "utan terminal krävs --yes. Det som ersätts sparas först som en säkerhetskopia i\n"
      "--safety-folder, annars bredvid ARKIV, annars i datamappens överordnade mapp.\n"
      "Återställningen vägrar medan Lunora är öppet mot datamappen.\n"
      "\n"
      "En återställning som avbröts (strömavbrott, dödad process) görs klar eller tas\n"
      "tillbaka innan något annat görs; det sägs på standard fel och skrivs i\n"
      "Errors/Aterstallning.txt.";

void sayError(const QString &text)
{
    std::fprintf(stderr, "lunora-backup: %s\n", text.toLocal8Bit().constData());
}

void say(const QString &text)
{
    std::printf("%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
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
    case Error::NotAnArchive:
        return QStringLiteral("filen är ingen zip-fil som kan läsas");
    case Error::Corrupt:
        return QStringLiteral("säkerhetskopian är skadad");
    case Error::NotABackup:
        return QStringLiteral("filen är ingen säkerhetskopia från Lunora");
    case Error::TooLarge:
        return QStringLiteral("säkerhetskopian packas upp till orimligt mycket");
    case Error::NoSpace:
        return QStringLiteral("det finns inte plats för säkerhetskopian på disken");
    case Error::InUse:
        return QStringLiteral("Lunora är öppet mot datamappen; be alla stänga programmet");
    case Error::SafetyBackupFailed:
        return QStringLiteral("säkerhetskopian av det som finns nu kunde inte göras");
    case Error::CannotSwap:
        return QStringLiteral("Lib och Errors kan inte bytas ut där de ligger");
    case Error::NameTooLong:
        return QStringLiteral("säkerhetskopian har filnamn som är för långa för datamappens disk");
    case Error::ReplaceFailed:
        return QStringLiteral("Lib och Errors kunde inte bytas ut");
    default:
        return QStringLiteral("det gick inte");
    }
}

int failed(const lunora::backup::Outcome &outcome, bool restoring)
{
    sayError(reason(outcome.error) + QStringLiteral(": ") + outcome.detail
        + (restoring ? QStringLiteral(". Ingenting har ändrats.") : QString()));
    return Failed;
}

// The same data folder the program would use: its own folder for a portable copy;
// LUNORA_DATA or the user's own folder for an installed one.
QString defaultDataFolder()
{
    if (lunora::builtLayout() != lunora::InstallLayout::System)
        return QCoreApplication::applicationDirPath();
    const QString fromEnvironment = qEnvironmentVariable("LUNORA_DATA");
    return fromEnvironment.isEmpty() ? lunora::systemDefaultDataFolder() : fromEnvironment;
}

int runBackup(const QString &dataFolder, const QString &target)
{
    // Present like a running program, so a restore started meanwhile waits for us.
    lunora::Presence presence;
    (void)presence.enter(dataFolder);
    const lunora::backup::Outcome outcome
        = lunora::backup::create(dataFolder, target, QDateTime::currentDateTime());
    if (!outcome.ok())
        return failed(outcome, false);
    say(QDir::toNativeSeparators(outcome.archivePath));
    return Done;
}

// Shows what the archive holds and asks on the terminal; `--yes` answers for a script.
bool confirmed(const QString &archive, const lunora::backup::Summary &summary, bool yes)
{
    QString text = QStringLiteral("Säkerhetskopian %1 innehåller %2 filer och %3 ärenden")
                       .arg(QDir::toNativeSeparators(archive))
                       .arg(summary.files)
                       .arg(summary.caseCount);
    if (!summary.newestDate.isEmpty())
        text += QStringLiteral(", det senaste skapat %1").arg(summary.newestDate);
    say(text + u'.');
    if (yes)
        return true;
    std::printf("Återställa? (ja/nej) ");
    std::fflush(stdout);
    const QString answer = QTextStream(stdin).readLine().trimmed();
    return answer.compare(QLatin1String("ja"), Qt::CaseInsensitive) == 0;
}

int runRestore(const QString &dataFolder, const QString &archive, const QString &safetyFolder, bool yes)
{
    const lunora::backup::Inspection inspection = lunora::backup::inspect(archive);
    if (!inspection.ok()) {
        sayError(reason(inspection.error) + QStringLiteral(": ") + inspection.detail
            + QStringLiteral(". Ingenting har ändrats."));
        return Failed;
    }
    if (!confirmed(archive, inspection.summary, yes)) {
        sayError(QStringLiteral("inte återställt. Ingenting har ändrats."));
        return Failed;
    }
    lunora::Presence presence;
    lunora::backup::RestoreRequest request;
    request.dataFolder = dataFolder;
    request.archivePath = QFileInfo(archive).absoluteFilePath();
    request.safetyFolders = safetyFolder.isEmpty()
        ? lunora::backup::safetyFolderChoices(dataFolder, request.archivePath, QString())
        : QStringList { safetyFolder };
    request.when = QDateTime::currentDateTime();
    request.presence = &presence;
    const lunora::backup::Outcome outcome = lunora::backup::restore(request);
    if (!outcome.ok())
        return failed(outcome, true);
    say(QStringLiteral("Återställt: %1 filer från %2.")
            .arg(outcome.files)
            .arg(QDir::toNativeSeparators(archive)));
    if (!outcome.archivePath.isEmpty())
        say(QStringLiteral("Det som ersattes finns sparat i %1")
                .arg(QDir::toNativeSeparators(outcome.archivePath)));
    if (!outcome.archiveCopyPath.isEmpty())
        say(QStringLiteral("Säkerhetskopian låg i en mapp som ersattes och finns nu i %1")
                .arg(QDir::toNativeSeparators(outcome.archiveCopyPath)));
    return Done;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The parser's help and error texts are Qt's own.
    lunora::translations::installSwedish();
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Description));
    parser.addHelpOption();
    const QCommandLineOption dataFolder(QStringLiteral("data-folder"),
        QStringLiteral("Datamappen (standard: den som lunora använder, för en flyttbar kopia mappen där "
                       "lunora-backup ligger)."),
        QStringLiteral("MAPP"), defaultDataFolder());
    const QCommandLineOption restore(QStringLiteral("restore"),
        QStringLiteral("Återställ säkerhetskopian ARKIV."), QStringLiteral("ARKIV"));
    const QCommandLineOption safety(QStringLiteral("safety-folder"),
        QStringLiteral("Mappen för säkerhetskopian av det som ersätts vid en återställning."),
        QStringLiteral("MAPP"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Återställ utan att fråga."));
    parser.addOptions({ dataFolder, restore, safety, yes });
    parser.addPositionalArgument(
        QStringLiteral("MÅLMAPP"), QStringLiteral("Mappen där säkerhetskopian sparas."));
    if (!parser.parse(app.arguments())) {
        sayError(QStringLiteral("fel argument (%1); se --help").arg(parser.errorText()));
        return BadArguments;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return Done;
    }
    const QString folder = QDir(parser.value(dataFolder)).absolutePath();
    if (!lunora::runAsFolderOwner(folder, "lunora-backup"))
        return Failed;
    // A restore cut short is finished or undone before anything of the folder is read;
    // said on standard error, which a scheduled job's log keeps.
    if (const QString recovered = lunora::backup::recoverCutRestore(folder).message(); !recovered.isEmpty())
        sayError(recovered);
    const QStringList targets = parser.positionalArguments();
    if (parser.isSet(restore) && targets.isEmpty()) {
        if (!parser.isSet(yes) && !::isatty(STDIN_FILENO)) {
            sayError(QStringLiteral("utan terminal krävs --yes för att återställa"));
            return BadArguments;
        }
        return runRestore(folder, parser.value(restore), parser.value(safety), parser.isSet(yes));
    }
    if (targets.size() != 1 || parser.isSet(restore) || parser.isSet(safety) || parser.isSet(yes)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stderr);
        return BadArguments;
    }
    return runBackup(folder, targets.first());
}
