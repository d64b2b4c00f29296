// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Names typed by a user or read from a file become parts of paths: user ids, telephone
// values and control codes. Whatever they hold ("/", "\", "..", NUL, a name too long for
// the file system), no operation may touch a file outside the data folder. Files are
// laid out where an escaping name would lead, and must come through untouched.

#include "faultfixture.h"
#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmKundData.h"
#include "gui/frmLogin.h"
#include "gui/frmSkapaID.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/accounts.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/session.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace lunora;
using namespace lunora::faults;

namespace {

// Names that must not become paths, and names that are odd but plain file names.
QStringList unsafeNames()
{
    return { QStringLiteral(".."), QStringLiteral("."), QStringLiteral("../victim"),
        QStringLiteral("..\\victim"), QStringLiteral("../../victim"), QStringLiteral("a/b"),
        QStringLiteral("a\\b"), QStringLiteral("/tmp/victim"), QStringLiteral("\\\\server\\share"),
        QStringLiteral("x") + QChar(0) + QStringLiteral("y"), QString(QChar(0)), QStringLiteral("/"),
        QStringLiteral("Lib/"), QString(300, u'a'),
        // 244 bytes once encoded for the file system: one more than the longest suffix allows.
        QString(122, QChar(0xE4)) };
}

QStringList oddButPlainNames()
{
    return { QStringLiteral("..."), QStringLiteral(" .."), QStringLiteral(".. "), QStringLiteral("-rf"),
        QStringLiteral("~"), QStringLiteral("$HOME"), QStringLiteral("*"), QStringLiteral("a:b"),
        QStringLiteral("tab\there"), QString(243, u'a') };
}

QString printable(const QString &name)
{
    QString text = name.left(40);
    text.replace(QChar(0), QStringLiteral("<NUL>"));
    return name.size() > 40 ? text + QStringLiteral("...(%1)").arg(name.size()) : text;
}

template <typename W> W *child(QObject *window, const char *name)
{
    W *found = window->findChild<W *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

class TestPathSafety final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pathsStayInTheirFolder();
    void storageRefusesUnsafeNames();
    void windowsRefuseUnsafeUserIds();
    void registerValuesNameNoOutsideFile_data();
    void registerValuesNameNoOutsideFile();

private:
    // Files at every place that the unsafe names of the tests would reach.
    void layVictims();
    QStringList changedOutsideRegister(const Snapshot &before) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root; // the data folder, one level below the sandbox
};

void TestPathSafety::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestPathSafety::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->filePath(QStringLiteral("data"));
    QVERIFY(populate(m_root));
    DataFolder::setRoot(m_root);
    layVictims();
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
    session::signOut();
}

void TestPathSafety::cleanup()
{
    WindowRegistry::closeAll();
    DataFolder::setRoot(QString());
    m_dir.reset();
    QFile::remove(QStringLiteral("/tmp/victim.ini"));
}

void TestPathSafety::layVictims()
{
    const QString sandbox = m_dir->path();
    for (const QString &suffix :
        { QStringLiteral(".ini"), QStringLiteral("_eData.ini"), QStringLiteral("_ArtData.txt") }) {
        for (const QString &path :
            { sandbox + QStringLiteral("/victim") + suffix, m_root + QStringLiteral("/victim") + suffix,
                m_root + QStringLiteral("/Errors/victim") + suffix }) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Main]\r\nUser=victim\r\nPassWD=x\r\nxName=victim\r\n");
        }
    }
}

QStringList TestPathSafety::changedOutsideRegister(const Snapshot &before) const
{
    const Snapshot after = snapshot(m_dir->path());
    QStringList problems = damaged(before, after, { QStringLiteral("data/Lib/arenden.txt") });
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        // The folder lock's file is the program's own, made by any change of a case, and
        // so are the list of removed cases and the note of history that could not be
        // written (a hostile control code names no history file).
        static const QStringList own { QStringLiteral("data/Lib/lunora.lock"),
            QStringLiteral("data/Lib/Borttagna.txt"), QStringLiteral("data/Errors/Historikfel.txt") };
        if (!before.contains(it.key()) && !own.contains(it.key()))
            problems << it.key() + QStringLiteral(" (new)");
    }
    if (QFile::exists(QStringLiteral("/tmp/victim.ini")))
        problems << QStringLiteral("/tmp/victim.ini (new)");
    return problems;
}

void TestPathSafety::pathsStayInTheirFolder()
{
    using PathOf = Result<QString> (*)(const QString &);
    const std::pair<PathOf, QString> kinds[] = {
        { &paths::userFile, m_root + QStringLiteral("/Lib/User") },
        { &paths::customerFile, m_root + QStringLiteral("/Lib") },
        { &paths::caseDataFile, m_root + QStringLiteral("/Lib") },
        { &paths::articleFile, m_root + QStringLiteral("/Lib") },
    };
    for (const auto &[pathOf, folder] : kinds) {
        for (const QString &name : unsafeNames()) {
            const Result<QString> path = pathOf(name);
            QVERIFY2(!path.ok(), qPrintable(QStringLiteral("accepted \"%1\"").arg(printable(name))));
            QVERIFY(!path.error().isEmpty());
        }
        for (const QString &name : oddButPlainNames()) {
            const Result<QString> path = pathOf(name);
            QVERIFY2(path.ok(), qPrintable(QStringLiteral("refused \"%1\"").arg(printable(name))));
            // The name is one entry of the folder, nothing more.
            QCOMPARE(QFileInfo(path.value()).absolutePath(), folder);
            QVERIFY(QFileInfo(path.value()).fileName().startsWith(name));
        }
    }
}

void TestPathSafety::storageRefusesUnsafeNames()
{
    const Snapshot before = snapshot(m_dir->path());
    const UserRecord record { QStringLiteral("victim"), QStringLiteral("ny"), QStringLiteral("0"),
        QStringLiteral("Inkräktare") };
    for (const QString &name : unsafeNames()) {
        QVERIFY(!userfile::exists(name).ok());
        QVERIFY(!userfile::read(name).ok());
        QVERIFY(!userfile::write(name, record).ok());
        QVERIFY(!customerfile::read(name).ok());
        QVERIFY2(changedOutsideRegister(before).isEmpty(),
            qPrintable(printable(name) + QStringLiteral(": ") + changedOutsideRegister(before).join(u' ')));
    }
}

void TestPathSafety::windowsRefuseUnsafeUserIds()
{
    const Snapshot before = snapshot(m_dir->path());
    QStringList ids = unsafeNames();
    ids << QStringLiteral("victim\r\n") << QStringLiteral("\x01\x02") << QStringLiteral("..\t");
    for (const QString &id : std::as_const(ids)) {
        // Sign-in: the id is looked up, never created.
        MessageBox::clearShown();
        frmLogin::forgetFailedSignIns(); // so that no answer waits
        auto *login = WindowRegistry::show<frmLogin>();
        child<QLineEdit>(login, "Text1")->setText(id);
        child<QLineEdit>(login, "Text2")->setText(QStringLiteral("x"));
        child<QPushButton>(login, "Command1")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!MessageBox::shown().isEmpty(), 1000);
        QCOMPARE(MessageBox::shown().constFirst().title, QStringLiteral("Inloggning misslyckades"));
        QVERIFY(!WindowRegistry::find<frmArendeList>());

        // New user: refused, or (a field may cut a long id short) stored inside Lib\User.
        auto *create = WindowRegistry::show<frmSkapaID>();
        child<QLineEdit>(create, "Text1")->setText(id);
        child<QLineEdit>(create, "Text2")->setText(QStringLiteral("x"));
        child<QLineEdit>(create, "txtIndex")->setText(QStringLiteral("0"));
        child<QLineEdit>(create, "Text3")->setText(QStringLiteral("Inkräktare"));
        child<QPushButton>(create, "Command1")->click();
        WindowRegistry::closeAll();

        const Snapshot after = snapshot(m_dir->path());
        QStringList outside = damaged(before, after);
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            // The folder lock's file is the program's own, made by any write.
            if (it.key() == QLatin1String("data/Lib/lunora.lock"))
                continue;
            if (!before.contains(it.key()) && !it.key().startsWith(QStringLiteral("data/Lib/User/")))
                outside << it.key() + QStringLiteral(" (new)");
            else if (!before.contains(it.key()) && it.key().count(u'/') != 3)
                outside << it.key() + QStringLiteral(" (new, below Lib\\User)");
        }
        QVERIFY2(outside.isEmpty(), qPrintable(printable(id) + QStringLiteral(": ") + outside.join(u' ')));
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/victim.ini")));
    }
}

void TestPathSafety::registerValuesNameNoOutsideFile_data()
{
    QTest::addColumn<QString>("value");
    for (const QString &name : unsafeNames())
        QTest::newRow(qPrintable(printable(name))) << name;
}

void TestPathSafety::registerValuesNameNoOutsideFile()
{
    QFETCH(QString, value);
    // A case whose telephone and control code came from an edited or damaged register.
    RegisterEntry hostile = CaseB;
    hostile[Telephone] = value;
    hostile[ControlCode] = value;
    {
        QFile file(paths::caseRegister());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(quotedRegister({ CaseA, hostile }));
    }
    const Snapshot before = snapshot(m_dir->path());

    auto *overview = WindowRegistry::show<frmArendeList>();
    QCOMPARE(overview->rowCount(), 2);
    int row = overview->entryAt(0) == CaseA ? 1 : 0;
    QCOMPARE(overview->entryAt(row), hostile);
    QTableView *list = overview->listView();
    // As the user does it: a click on the row, which also offers the customer card.
    const auto select = [&]() {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        list->selectRow(row);
    };

    // The customer card of its telephone.
    select();
    overview->findChild<QAction *>(QStringLiteral("mnuKunddata"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!MessageBox::shown().isEmpty(), 1000);
    // Nothing was read from a file outside either: the card shows no stranger's data.
    if (auto *card = WindowRegistry::find<frmKundData>())
        QVERIFY(!card->fieldTexts().contains(QStringLiteral("victim")));
    WindowRegistry::closeAll();

    // Opening it, adding a row, removing a row, printing.
    overview = WindowRegistry::show<frmArendeList>();
    list = overview->listView();
    auto *caseWindow = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Anna Ek"), session::user().index });
    caseWindow->openExistingCase(hostile);
    WindowRegistry::show<frmArende>();
    QTest::qWait(5);
    child<QPushButton>(caseWindow, "Command1")->click();
    if (auto *add = WindowRegistry::find<frmAddProd>()) {
        for (int i = 1; i <= 5; ++i)
            child<QLineEdit>(add, QStringLiteral("Text%1").arg(i).toLatin1().constData())
                ->setText(QStringLiteral("1"));
        child<QPushButton>(add, "Command1")->click();
        add->close();
    }
    caseWindow->addArticleRow({ "1", "Rad", "1", "st", "1,00", "1,00" });
    auto *rows = child<QTreeView>(caseWindow, "ListView1");
    rows->selectionModel()->setCurrentIndex(
        rows->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(caseWindow, "Command3")->click();
    QTest::qWait(5);
    WindowRegistry::closeAll();

    // Removing it: both of its "files" are deleted by name, and its row goes.
    overview = WindowRegistry::show<frmArendeList>();
    list = overview->listView();
    row = overview->entryAt(0) == CaseA ? 1 : 0;
    select();
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(overview, "Command3")->click();
    QTest::qWait(5);
    QCOMPARE(overview->rowCount(), 1);
    QCOMPARE(overview->entryAt(0), CaseA);
    QVERIFY(QApplication::instance());

    const QStringList outside = changedOutsideRegister(before);
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join(u' ')));
}

QTEST_MAIN(TestPathSafety)
#include "tst_pathsafety.moc"
