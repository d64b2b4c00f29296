// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// "Säkerhetskopiera…" and "Återställ…" in the overview's Data menu: the real dialogs'
// choices, the work on its own thread, the messages, the remembered folder, and a
// restore that refuses while another copy of the program is present.

#include "backup/backup.h"
#include "backup/presence.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/session.h"
#include "support_guifixture.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

class TestBackupMenu final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useSwedishLocale(); }
    void init();
    void cleanup();

    void entriesFollowTheDataMenusOwn();
    void backupWritesTheArchiveAndRemembersTheFolder();
    void restoreShowsAsksAndReplaces();
    void restoreRefusesWhileAnotherCopyIsThere();
    void unreadableArchiveChangesNothing();

private:
    frmArendeList *overview();
    QFileDialog *chooseIn(frmArendeList *window, const char *action, const char *dialog);
    bool waitForMessage(int count);

    std::unique_ptr<TestDataFolder> m_data;
    std::unique_ptr<QTemporaryDir> m_target;
};

void TestBackupMenu::init()
{
    m_data = std::make_unique<TestDataFolder>();
    m_target = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid() && m_target->isValid());
    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseA, CaseB }).ok());
    writeBytes(
        m_data->lib(QStringLiteral("User/anna.ini")), "[Main]\r\nUser=anna\r\nPassWD=x\r\nIndex=0\r\n");
    startWindowTest();
    session::signIn({ QStringLiteral("anna"), session::user().realName, session::user().index });
}

void TestBackupMenu::cleanup()
{
    WindowRegistry::closeAll();
    session::signOut();
    Presence::application().leave();
    m_data.reset();
    m_target.reset();
}

frmArendeList *TestBackupMenu::overview()
{
    session::signIn({ QStringLiteral("anna"), QStringLiteral("Anna Ek"), QStringLiteral("0") });
    return WindowRegistry::show<frmArendeList>();
}

QFileDialog *TestBackupMenu::chooseIn(frmArendeList *window, const char *action, const char *dialog)
{
    child<QAction>(window, action)->trigger();
    // The newest one: a dialog closed before may not have been deleted yet.
    const QList<QFileDialog *> dialogs = window->findChildren<QFileDialog *>(QString::fromLatin1(dialog));
    return dialogs.isEmpty() ? nullptr : dialogs.last();
}

bool TestBackupMenu::waitForMessage(int count)
{
    return runUntil([count]() { return MessageBox::shown().size() >= count; }, 60000);
}

void TestBackupMenu::entriesFollowTheDataMenusOwn()
{
    frmArendeList *window = overview();
    QStringList captions;
    for (QAction *action : child<QMenu>(window, "mnuData")->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text().remove(u'&'));
    QCOMPARE(captions,
        QStringList({ "Uppdatera lista", "-", "Skapa ny användare", "Skydda lösenord…", "Meddelanden…",
            "SMS-inställningar…", "Säkerhetskopiera…", "Återställ…" }));
}

void TestBackupMenu::backupWritesTheArchiveAndRemembersTheFolder()
{
    frmArendeList *window = overview();
    QFileDialog *dialog = chooseIn(window, "mnuSakerhetskopiera", "dlgSakerhetskopiera");
    QVERIFY(dialog);
    QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
    emit dialog->fileSelected(m_target->path());
    dialog->close();
    QVERIFY(waitForMessage(1));
    const MessageBox::Shown shown = MessageBox::shown().first();
    QCOMPARE(shown.title, QStringLiteral("Säkerhetskopiera"));
    QCOMPARE(shown.icon, MessageBox::Information);
    const QStringList archives = QDir(m_target->path()).entryList({ QStringLiteral("Lunora-*.zip") });
    QCOMPARE(archives.size(), 1);
    QVERIFY(shown.text.contains(archives.first()));
    QVERIFY(backup::inspect(m_target->filePath(archives.first())).ok());
    // The folder is remembered for this user, in a file of its own.
    QCOMPARE(readBytes(m_data->lib(QStringLiteral("User/anna.backup"))), m_target->path().toUtf8() + "\r\n");
    QCOMPARE(readBytes(m_data->lib(QStringLiteral("User/anna.ini"))),
        QByteArray("[Main]\r\nUser=anna\r\nPassWD=x\r\nIndex=0\r\n"));
    dialog = chooseIn(window, "mnuSakerhetskopiera", "dlgSakerhetskopiera");
    QCOMPARE(QDir(dialog->directory()).absolutePath(), QDir(m_target->path()).absolutePath());
    dialog->close();
}

void TestBackupMenu::restoreShowsAsksAndReplaces()
{
    const backup::Outcome made
        = backup::create(m_data->path(), m_target->path(), QDateTime::currentDateTime());
    QVERIFY(made.ok());
    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseB }).ok());
    frmArendeList *window = overview();
    window->refresh();
    QCOMPARE(window->rowCount(), 1);

    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    QFileDialog *dialog = chooseIn(window, "mnuAterstall", "dlgAterstall");
    QVERIFY(dialog);
    emit dialog->fileSelected(made.archivePath);
    QVERIFY(waitForMessage(2));
    const QList<MessageBox::Shown> shown = MessageBox::shown();
    QCOMPARE(shown.at(0).buttons, MessageBox::YesNo);
    QVERIFY2(shown.at(0).text.contains(QStringLiteral("innehåller 2 ärenden, det senaste skapat 2011-01-02")),
        qPrintable(shown.at(0).text));
    QVERIFY2(shown.at(1).text.startsWith(QStringLiteral("Återställningen är klar.")),
        qPrintable(shown.at(1).text));
    QCOMPARE(caseregister::load(paths::caseRegister()).value().size(), 2);
    QCOMPARE(window->rowCount(), 2); // the list shows what the files now hold
    // The replaced state is kept beside the archive (no folder remembered yet).
    QCOMPARE(QDir(m_target->path()).entryList({ QStringLiteral("Lunora-*.zip") }).size(), 2);
}

void TestBackupMenu::restoreRefusesWhileAnotherCopyIsThere()
{
    const backup::Outcome made
        = backup::create(m_data->path(), m_target->path(), QDateTime::currentDateTime());
    QVERIFY(made.ok());
    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseB }).ok());
    const QByteArray before = readBytes(paths::caseRegister());
    Presence otherDesk;
    QVERIFY(otherDesk.enter(m_data->path()));

    frmArendeList *window = overview();
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    QFileDialog *dialog = chooseIn(window, "mnuAterstall", "dlgAterstall");
    emit dialog->fileSelected(made.archivePath);
    QVERIFY(waitForMessage(2));
    QVERIFY(MessageBox::shown().at(1).text.contains(QStringLiteral("Ingenting har ändrats.")));
    QCOMPARE(readBytes(paths::caseRegister()), before);
    QCOMPARE(QDir(m_target->path()).entryList({ QStringLiteral("Lunora-*.zip") }).size(), 1);
}

void TestBackupMenu::unreadableArchiveChangesNothing()
{
    const QString fake = m_target->filePath(QStringLiteral("Lunora-falsk-2026-01-01-0000.zip"));
    writeBytes(fake, "PK\x03\x04 inte en riktig zip");
    const QByteArray before = readBytes(paths::caseRegister());
    frmArendeList *window = overview();
    QFileDialog *dialog = chooseIn(window, "mnuAterstall", "dlgAterstall");
    emit dialog->fileSelected(fake);
    QVERIFY(waitForMessage(1));
    QCOMPARE(MessageBox::shown().size(), 1); // no question: refused before asking
    QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("Ingenting har ändrats.")));
    QCOMPARE(readBytes(paths::caseRegister()), before);
}

QTEST_MAIN(TestBackupMenu)
#include "tst_backupmenu.moc"
