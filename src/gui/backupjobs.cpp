// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/backupjobs.h"

#include "backup/backup.h"
#include "backup/presence.h"
#include "gui/caselist.h"
#include "gui/messagebox.h"
#include "gui/savefolder.h"
#include "gui/windowregistry.h"
#include "storage/backupfolder.h"
#include "storage/datafolder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

namespace lunora::backupjobs {

namespace {

const QString BackupTitle = QStringLiteral("Säkerhetskopiera");
const QString RestoreTitle = QStringLiteral("Återställ");
const QString CrLf = QStringLiteral("\r\n");

// What the working thread and the window share: progress figures and the wish to stop.
struct Shared
{
    std::atomic<qint64> done { 0 };
    std::atomic<qint64> total { 0 };
    std::atomic_bool cancel { false };
};

// Runs `work` on a thread of its own behind a progress box that shows how far it has
// come; `finished` follows on the window's thread. The box belongs to the parent window:
// if that goes first, the work still ends properly and `finished` is told by the null
// parent. Quitting the program waits for the work, after asking it to stop.
void run(QWidget *parent, const QString &title, const QString &label, bool cancellable,
    std::function<void(Shared &)> work, std::function<void(QWidget *parent)> finished)
{
    auto shared = std::make_shared<Shared>();
    QPointer<QWidget> owner(parent);
    auto *box = new QProgressDialog(label, cancellable ? QStringLiteral("Avbryt") : QString(), 0, 0, parent);
    box->setObjectName(QStringLiteral("dlgSakerhetskopieringPagar"));
    box->setWindowTitle(title);
    box->setWindowModality(Qt::WindowModal);
    box->setMinimumDuration(0);
    box->setAutoClose(false);
    box->setAutoReset(false);
    if (!cancellable)
        box->setCancelButton(nullptr);
    QObject::connect(box, &QProgressDialog::canceled, box, [shared, box]() {
        shared->cancel = true;
        box->setLabelText(QStringLiteral("Avbryter…"));
    });
    box->show();

    QThread *thread = QThread::create([shared, work]() { work(*shared); });
    auto *poll = new QTimer(box);
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, box, [shared, box]() {
        const qint64 total = shared->total.load();
        if (total > 0) {
            box->setMaximum(100);
            box->setValue(static_cast<int>(std::min<qint64>(100, shared->done.load() * 100 / total)));
        }
    });
    poll->start();
    QPointer<QProgressDialog> boxGuard(box);
    const auto quitting = QObject::connect(qApp, &QCoreApplication::aboutToQuit, thread, [shared, thread]() {
        shared->cancel = true;
        thread->wait();
    });
    QObject::connect(thread, &QThread::finished, qApp, [thread, boxGuard, owner, finished, quitting]() {
        QObject::disconnect(quitting);
        thread->deleteLater();
        if (boxGuard)
            boxGuard->deleteLater();
        finished(owner.data());
    });
    thread->start();
}

QString errorText(backup::Error error)
{
    switch (error) {
    case backup::Error::DataFolderMissing:
        return QStringLiteral("Mappen Lib saknas i programmets mapp.");
    case backup::Error::TargetMissing:
        return QStringLiteral("Den valda mappen finns inte.");
    case backup::Error::ReadFailed:
        return QStringLiteral("En fil i programmets mapp kunde inte läsas.");
    case backup::Error::LockFailed:
        return QStringLiteral("Datamappen var upptagen av en annan dator för länge.");
    case backup::Error::WriteFailed:
        return QStringLiteral("Säkerhetskopian kunde inte skrivas (fullt eller skrivskyddat?).");
    case backup::Error::VerifyFailed:
        return QStringLiteral("Säkerhetskopian gick inte att läsa tillbaka som den skrevs.");
    case backup::Error::Cancelled:
        return QStringLiteral("Avbrutet.");
    case backup::Error::NotAnArchive:
        return QStringLiteral("Filen är ingen zip-fil som kan läsas.");
    case backup::Error::Corrupt:
        return QStringLiteral("Filen är skadad.");
    case backup::Error::NotABackup:
        return QStringLiteral("Filen är ingen säkerhetskopia från Lunora.");
    case backup::Error::InUse:
        return QStringLiteral("Programmet är öppet på en annan dator eller i ett annat fönster.");
    case backup::Error::SafetyBackupFailed:
        return QStringLiteral("Säkerhetskopian av det som finns nu kunde inte göras.");
    case backup::Error::ReplaceFailed:
        return QStringLiteral("Mapparna Lib och Errors kunde inte bytas ut.");
    case backup::Error::TooLarge:
        return QStringLiteral(
            "Filen packas upp till orimligt mycket och är ingen säkerhetskopia från Lunora.");
    case backup::Error::NoSpace:
        return QStringLiteral("Det finns inte plats för säkerhetskopians innehåll på disken.");
    case backup::Error::CannotSwap:
        return QStringLiteral("Mapparna Lib och Errors kan inte bytas ut där de ligger.");
    case backup::Error::NameTooLong:
        return QStringLiteral(
            "Säkerhetskopian har filnamn som är för långa för disken där datamappen ligger.");
    case backup::Error::None:
        break;
    }
    return QString();
}

QString withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + CrLf + CrLf + detail;
}

void remember(const QString &userId, const QString &folder)
{
    // Only a convenience: a folder that cannot be remembered is asked for again next time.
    (void)backupfolder::write(userId, folder);
}

void runBackup(QWidget *parent, const QString &userId, const QString &folder)
{
    remember(userId, folder);
    auto outcome = std::make_shared<backup::Outcome>();
    const QString root = DataFolder::root();
    run(
        parent, BackupTitle, QStringLiteral("Säkerhetskopierar…"), true,
        [outcome, root, folder](Shared &shared) {
            *outcome = backup::create(
                root, folder, QDateTime::currentDateTime(),
                [&shared](qint64 done, qint64 total) {
                    shared.total = total;
                    shared.done = done;
                },
                &shared.cancel);
        },
        [outcome](QWidget *owner) {
            if (outcome->ok()) {
                MessageBox::show(owner, BackupTitle,
                    QStringLiteral("Säkerhetskopian är sparad och kontrollerad:") + CrLf + CrLf
                        + QDir::toNativeSeparators(outcome->archivePath),
                    MessageBox::Ok, MessageBox::Information);
            } else if (outcome->error == backup::Error::Cancelled) {
                MessageBox::show(owner, BackupTitle,
                    QStringLiteral("Säkerhetskopieringen avbröts. Ingen fil sparades."), MessageBox::Ok,
                    MessageBox::Information);
            } else {
                MessageBox::show(owner, BackupTitle,
                    withDetail(
                        QStringLiteral("Säkerhetskopian kunde inte göras. ") + errorText(outcome->error),
                        outcome->detail),
                    MessageBox::Ok, MessageBox::Exclamation);
            }
        });
}

void runRestore(QWidget *parent, const QString &userId, const QString &archive,
    const backup::Summary &summary, std::function<void()> restored)
{
    QString question = QStringLiteral("Säkerhetskopian %1 innehåller %2 ärenden")
                           .arg(QFileInfo(archive).fileName())
                           .arg(summary.caseCount);
    if (!summary.newestDate.isEmpty())
        question += QStringLiteral(", det senaste skapat %1").arg(summary.newestDate);
    question += QStringLiteral(".") + CrLf + CrLf
        + QStringLiteral("Allt i Lib och Errors ersätts med innehållet i säkerhetskopian. Först sparas en "
                         "säkerhetskopia av det som finns nu.")
        + CrLf + CrLf + QStringLiteral("Vill du återställa?");
    if (MessageBox::show(
            parent, RestoreTitle, question, MessageBox::YesNo, MessageBox::Exclamation, MessageBox::AnswerNo)
        != MessageBox::AnswerYes)
        return;

    // A case window holds a case that the restore would pull from under it.
    if (WindowRegistry::caseList()->hasOpenCase()) {
        MessageBox::show(parent, RestoreTitle, QStringLiteral("Stäng ärendefönstret först."), MessageBox::Ok,
            MessageBox::Exclamation);
        return;
    }
    // The state that is replaced is kept where this user keeps backups, or beside the
    // archive, or beside the data folder: the first of them outside Lib and Errors.
    backup::RestoreRequest request;
    request.dataFolder = DataFolder::root();
    request.archivePath = archive;
    request.safetyFolders
        = backup::safetyFolderChoices(request.dataFolder, archive, backupfolder::read(userId));
    request.presence = &Presence::application();
    auto outcome = std::make_shared<backup::Outcome>();
    const QString root = DataFolder::root();
    run(
        parent, RestoreTitle, QStringLiteral("Återställer…"), false,
        [outcome, request](Shared &shared) {
            backup::RestoreRequest now = request;
            now.when = QDateTime::currentDateTime();
            *outcome = backup::restore(now, [&shared](qint64 done, qint64 total) {
                shared.total = total;
                shared.done = done;
            });
        },
        [outcome, restored](QWidget *owner) {
            if (outcome->error == backup::Error::InUse) {
                MessageBox::show(owner, RestoreTitle,
                    QStringLiteral(
                        "Återställningen kan inte göras medan Lunora är öppet på en annan dator eller i ett "
                        "annat fönster. Be de andra att stänga programmet och försök igen.")
                        + CrLf + CrLf + QStringLiteral("Ingenting har ändrats."),
                    MessageBox::Ok, MessageBox::Exclamation);
                return;
            }
            if (outcome->ok()) {
                if (restored)
                    restored();
                QString text = QStringLiteral("Återställningen är klar.");
                if (!outcome->archivePath.isEmpty())
                    text += CrLf + CrLf + QStringLiteral("Det som ersattes finns sparat i:") + CrLf
                        + QDir::toNativeSeparators(outcome->archivePath);
                if (!outcome->archiveCopyPath.isEmpty())
                    text += CrLf + CrLf
                        + QStringLiteral(
                            "Säkerhetskopian du återställde från låg i en mapp som ersattes. Den finns nu i:")
                        + CrLf + QDir::toNativeSeparators(outcome->archiveCopyPath);
                MessageBox::show(owner, RestoreTitle, text, MessageBox::Ok, MessageBox::Information);
                return;
            }
            MessageBox::show(owner, RestoreTitle,
                withDetail(QStringLiteral("Återställningen kunde inte göras. ") + errorText(outcome->error)
                        + CrLf + QStringLiteral("Det som fanns finns kvar som förut."),
                    outcome->detail),
                MessageBox::Ok, MessageBox::Exclamation);
        });
}

void inspectThenRestore(
    QWidget *parent, const QString &userId, const QString &archive, std::function<void()> restored)
{
    auto inspection = std::make_shared<backup::Inspection>();
    run(
        parent, RestoreTitle, QStringLiteral("Kontrollerar säkerhetskopian…"), false,
        [inspection, archive](Shared &shared) {
            *inspection = backup::inspect(archive, [&shared](qint64 done, qint64) { shared.done = done; });
        },
        [inspection, userId, archive, restored](QWidget *owner) {
            if (!inspection->ok()) {
                MessageBox::show(owner, RestoreTitle,
                    withDetail(errorText(inspection->error) + QStringLiteral(" Ingenting har ändrats."),
                        inspection->detail),
                    MessageBox::Ok, MessageBox::Exclamation);
                return;
            }
            if (owner)
                runRestore(owner, userId, archive, inspection->summary, restored);
        });
}

} // namespace

QString startFolder(const QString &userId)
{
    const QString remembered = backupfolder::read(userId);
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    // As a saved file is proposed: the documents folder only where the desktop has one.
    return proposedFolder();
}

void startBackup(QWidget *parent, const QString &userId)
{
    auto *dialog
        = new QFileDialog(parent, QStringLiteral("Välj mapp för säkerhetskopian"), startFolder(userId));
    dialog->setObjectName(QStringLiteral("dlgSakerhetskopiera"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    QPointer<QWidget> owner(parent);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [owner, userId](const QString &folder) {
        if (owner && !folder.isEmpty())
            runBackup(owner, userId, folder);
    });
    dialog->open();
}

void startRestore(QWidget *parent, const QString &userId, std::function<void()> restored)
{
    auto *dialog = new QFileDialog(parent, QStringLiteral("Välj säkerhetskopia att återställa"),
        startFolder(userId), QStringLiteral("Säkerhetskopior (Lunora-*.zip);;Zip-filer (*.zip)"));
    dialog->setObjectName(QStringLiteral("dlgAterstall"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    QPointer<QWidget> owner(parent);
    QObject::connect(
        dialog, &QFileDialog::fileSelected, dialog, [owner, userId, restored](const QString &file) {
            if (owner && !file.isEmpty())
                inspectThenRestore(owner, userId, file, restored);
        });
    dialog->open();
}

} // namespace lunora::backupjobs
