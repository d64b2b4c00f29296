// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The program against a data folder that misbehaves: folders missing, files and folders
// read-only, a read-only file system, a full disk, files replaced by folders. Every
// user operation, run through the real windows, either works or shows its message; the
// program goes on; and no file that was there before is gone, shorter or different
// afterwards unless the operation worked.

#include "faultfixture.h"
#include "gui/frmAddProd.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmKundData.h"
#include "gui/frmLogin.h"
#include "gui/frmSkapaID.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "printing/defaultprinter.h"
#include "printing/qprinterdevice.h"
#include "storage/accounts.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/ini.h"
#include "storage/session.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

using namespace lunora;
using namespace lunora::faults;

namespace {

// Runs the event loop until the condition holds, without sleeping between checks, so
// that the windows' 1-ms timers tick as in the running program.
bool runUntil(const std::function<bool()> &condition, int timeoutMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer check;
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, &loop, [&]() {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start();
    loop.exec();
    return condition();
}

template <typename W> W *child(QObject *window, const char *name)
{
    W *found = window->findChild<W *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

bool shown(const QStringList &titles)
{
    for (const MessageBox::Shown &box : MessageBox::shown()) {
        if (titles.contains(box.title))
            return true;
    }
    return false;
}

QString shownTitles()
{
    QStringList titles;
    for (const MessageBox::Shown &box : MessageBox::shown())
        titles << box.title;
    return titles.join(QStringLiteral(", "));
}

enum class Outcome
{
    Worked,
    Reported,
    NotRun, // what it needs is not there (no row to act on)
    Neither, // no message and no effect: a failure passed over in silence
};

const char *outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Worked:
        return "worked";
    case Outcome::Reported:
        return "reported";
    case Outcome::NotRun:
        return "not run";
    case Outcome::Neither:
        return "neither worked nor reported";
    }
    return "?";
}

// The folder layout a condition leaves the data folder in.
enum class Condition
{
    MissingLib,
    MissingUserFolder,
    MissingLogoFolder,
    MissingErrorsFolder,
    ReadOnlyLibFolder,
    ReadOnlyUserFolder,
    ReadOnlyRegister,
    ReadOnlyFiles,
    ReadOnlyFileSystem,
    FullDisk,
    FilesAreFolders,
};

const QString NewCode = QStringLiteral("{CCCCCCCC-3333-4333-8333-CCCCCCCCCCCC}");

} // namespace

class TestFaults final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyOperationWorksOrReports_data();
    void everyOperationWorksOrReports();
    void storageWritesOnAFullDiskKeepOldFiles();
    void loadingWithoutErrorsFolderStaysQuiet();

private:
    struct Scenario
    {
        char id;
        const char *name;
        Outcome (TestFaults::*run)(QStringList &mayChange);
    };
    static const QList<Scenario> &scenarios();

    QString lib(const QString &name) const { return m_root + QStringLiteral("/Lib/") + name; }
    bool prepare(Condition condition);

    Outcome signIn(QStringList &mayChange);
    Outcome createUser(QStringList &mayChange);
    Outcome openOverview(QStringList &mayChange);
    Outcome addArticleRow(QStringList &mayChange);
    Outcome saveNewCase(QStringList &mayChange);
    Outcome removeArticleRow(QStringList &mayChange);
    Outcome removeCase(QStringList &mayChange);
    Outcome showCustomerCard(QStringList &mayChange);
    Outcome printSheet(QStringList &mayChange);

    frmArende *startNewCase();
    frmArende *openCase(const RegisterEntry &entry);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<SmallDisk> m_disk;
    std::unique_ptr<ReadOnly> m_readOnly;
    std::unique_ptr<ReadOnlyMount> m_mount;
    QString m_root;
    QString m_printed;
};

void TestFaults::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestFaults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid() && m_out->isValid());
    m_root = m_dir->filePath(QStringLiteral("data"));
    m_printed = m_out->filePath(QStringLiteral("sheet.pdf"));
    setDefaultPrinterForTesting(
        [this]() -> std::unique_ptr<PrintDevice> { return std::make_unique<QPrinterDevice>(m_printed); });
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
    session::signOut();
}

void TestFaults::cleanup()
{
    WindowRegistry::closeAll();
    setDefaultPrinterForTesting({});
    DataFolder::setRoot(QString());
    // Undone before the folders go, or they could not be removed.
    m_readOnly.reset();
    m_mount.reset();
    m_disk.reset();
    m_dir.reset();
    m_out.reset();
}

// ---- Conditions ----------------------------------------------------------------------

bool TestFaults::prepare(Condition condition)
{
    if (condition == Condition::FullDisk) {
        m_disk = std::make_unique<SmallDisk>(256);
        if (!m_disk->ok())
            return false;
        m_root = m_disk->path() + QStringLiteral("/data");
    }
    if (!populate(m_root))
        qFatal("could not lay out the data folder");
    DataFolder::setRoot(m_root);

    QDir root(m_root);
    switch (condition) {
    case Condition::MissingLib:
        return QDir(lib(QString())).removeRecursively();
    case Condition::MissingUserFolder:
        return QDir(lib(QStringLiteral("User"))).removeRecursively();
    case Condition::MissingLogoFolder:
        return QDir(lib(QStringLiteral("Logo"))).removeRecursively();
    case Condition::MissingErrorsFolder:
        return QDir(m_root + QStringLiteral("/Errors")).removeRecursively();
    case Condition::ReadOnlyLibFolder:
        m_readOnly = std::make_unique<ReadOnly>(QStringList { lib(QString()) });
        return m_readOnly->ok();
    case Condition::ReadOnlyUserFolder:
        m_readOnly = std::make_unique<ReadOnly>(QStringList { lib(QStringLiteral("User")) });
        return m_readOnly->ok();
    case Condition::ReadOnlyRegister:
        m_readOnly = std::make_unique<ReadOnly>(QStringList { lib(QStringLiteral("arenden.txt")) });
        return m_readOnly->ok();
    case Condition::ReadOnlyFiles: {
        QStringList files;
        const Snapshot all = snapshot(m_root);
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            if (!it.key().endsWith(u'/'))
                files << m_root + u'/' + it.key();
        }
        m_readOnly = std::make_unique<ReadOnly>(files);
        return m_readOnly->ok();
    }
    case Condition::ReadOnlyFileSystem:
        m_mount = std::make_unique<ReadOnlyMount>(m_root);
        return m_mount->ok();
    case Condition::FullDisk:
        return m_disk->fill();
    case Condition::FilesAreFolders:
        for (const QString &name :
            { lib(QStringLiteral("arenden.txt")), lib(QStringLiteral("User/anna.ini")),
                lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")),
                lib(QStringLiteral("CompanyInfo.ini")), lib(QStringLiteral("Logo/logo.bmp")),
                m_root + QStringLiteral("/Errors/Error.txt"), lib(CustomerPhone + QStringLiteral(".ini")) }) {
            // Each folder holds a file, so that removing the folder would be seen.
            if (!QFile::remove(name) || !root.mkpath(name))
                return false;
            QFile keep(name + QStringLiteral("/keep"));
            if (!keep.open(QIODevice::WriteOnly) || keep.write("keep") != 4)
                return false;
        }
        return true;
    }
    return false;
}

// ---- Operations as the user runs them -------------------------------------------------

frmArende *TestFaults::startNewCase()
{
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Anna Ek"), session::user().index });
    window->prepareNewCase();
    WindowRegistry::show<frmArende>();
    if (!runUntil([window]() { return !window->controlCode().isEmpty(); }, 2000))
        qFatal("the new case was not started");
    return window;
}

frmArende *TestFaults::openCase(const RegisterEntry &entry)
{
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Anna Ek"), session::user().index });
    window->openExistingCase(entry);
    WindowRegistry::show<frmArende>();
    QTest::qWait(5); // lets the window tell what it could not read
    return window;
}

Outcome TestFaults::signIn(QStringList &mayChange)
{
    mayChange << QStringLiteral("Errors/Error.txt"); // the overview's load note
    frmLogin::forgetFailedSignIns(); // each fault is met as at a fresh start
    auto *login = WindowRegistry::show<frmLogin>();
    QPointer<frmLogin> guard(login);
    child<QLineEdit>(login, "Text1")->setText(UserId);
    child<QLineEdit>(login, "Text2")->setText(UserPassword);
    child<QPushButton>(login, "Command1")->click();
    const QStringList done = { QStringLiteral("Inloggning"), QStringLiteral("Inloggning misslyckades") };
    runUntil([&done]() { return shown(done); }, 3000);
    if (shown({ QStringLiteral("Inloggning misslyckades") }))
        return guard && guard->isVisible() ? Outcome::Reported : Outcome::Neither;
    auto *overview = WindowRegistry::find<frmArendeList>();
    return shown({ QStringLiteral("Inloggning") }) && overview && overview->isVisible() ? Outcome::Worked
                                                                                        : Outcome::Neither;
}

Outcome TestFaults::createUser(QStringList &mayChange)
{
    mayChange << QStringLiteral("Lib/User/berit.ini");
    auto *window = WindowRegistry::show<frmSkapaID>();
    QPointer<frmSkapaID> guard(window);
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("berit"));
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("hemligt"));
    child<QLineEdit>(window, "txtIndex")->setText(QStringLiteral("9"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("Berit Ek"));
    child<QPushButton>(window, "Command1")->click();
    if (shown({ QStringLiteral("Skapa ny användare") }))
        return guard && guard->isVisible() ? Outcome::Reported : Outcome::Neither;
    const Result<QString> stored
        = ReadIni(lib(QStringLiteral("User/berit.ini")), QStringLiteral("Main"), QStringLiteral("PassWD"));
    return (!guard || !guard->isVisible()) && stored.ok() && stored.value() == QStringLiteral("hemligt")
        ? Outcome::Worked
        : Outcome::Neither;
}

Outcome TestFaults::openOverview(QStringList &mayChange)
{
    mayChange << QStringLiteral("Errors/Error.txt");
    auto *overview = WindowRegistry::show<frmArendeList>();
    QTest::qWait(5);
    // Loading has no message of its own: what it could read is what it shows.
    return overview->isVisible() && MessageBox::shown().isEmpty() ? Outcome::Worked : Outcome::Neither;
}

Outcome TestFaults::addArticleRow(QStringList &mayChange)
{
    frmArende *caseWindow = startNewCase();
    mayChange << QStringLiteral("Lib/") + caseWindow->controlCode() + QStringLiteral("_ArtData.txt")
              << QStringLiteral("Lib/") + caseWindow->controlCode() + QStringLiteral("_Logg.txt")
              << QStringLiteral("Errors/Historikfel.txt");
    child<QPushButton>(caseWindow, "Command1")->click();
    auto *window = WindowRegistry::find<frmAddProd>();
    if (!window || !window->isVisible())
        qFatal("the article window did not open");
    const QStringList values = { "17", "Skruv", "2", "st", "12,50" };
    for (int i = 0; i < values.size(); ++i)
        child<QLineEdit>(window, QStringLiteral("Text%1").arg(i + 1).toLatin1().constData())
            ->setText(values[i]);
    child<QPushButton>(window, "Command1")->click();
    if (shown({ QStringLiteral("Lägga till artikel") }))
        return window->isVisible() && caseWindow->articleRows().isEmpty() ? Outcome::Reported
                                                                          : Outcome::Neither;
    return !window->isVisible() && caseWindow->articleRows().size() == 1 ? Outcome::Worked : Outcome::Neither;
}

Outcome TestFaults::saveNewCase(QStringList &mayChange)
{
    frmArende *window = startNewCase();
    QPointer<frmArende> guard(window);
    const QString code = window->controlCode();
    mayChange << QStringLiteral("Lib/arenden.txt")
              << QStringLiteral("Lib/") + code + QStringLiteral("_eData.ini")
              << QStringLiteral("Lib/") + code + QStringLiteral("_Logg.txt")
              << QStringLiteral("Errors/Historikfel.txt");
    // The row as the article window left it: already in the list.
    window->addArticleRow({ "17", "Skruv", "2", "st", "12,50", "25,00" });
    child<QLineEdit>(window, "Text1")->setText(QStringLiteral("K-5"));
    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("Cilla Ceder"));
    child<QLineEdit>(window, "Text3")->setText(QStringLiteral("0701"));
    child<QPushButton>(window, "Command5")->click();
    const QString dataFile = lib(code + QStringLiteral("_eData.ini"));
    if (shown({ QStringLiteral("Spara") })) {
        // Nothing half-saved: no case data file without its register line.
        const bool clean = !QFileInfo(dataFile).isFile() || QFileInfo(dataFile).size() == 0;
        return guard && guard->isVisible() && clean ? Outcome::Reported : Outcome::Neither;
    }
    const Result<QList<RegisterEntry>> entries = caseregister::load(lib(QStringLiteral("arenden.txt")));
    const bool stored = entries.ok() && !entries.value().isEmpty()
        && entries.value().constLast()[ControlCode] == code && QFileInfo(dataFile).isFile();
    return (!guard || !guard->isVisible()) && stored ? Outcome::Worked : Outcome::Neither;
}

Outcome TestFaults::removeArticleRow(QStringList &mayChange)
{
    mayChange << QStringLiteral("Lib/") + CaseA[ControlCode] + QStringLiteral("_ArtData.txt")
              << QStringLiteral("Lib/") + CaseA[ControlCode] + QStringLiteral("_Logg.txt")
              << QStringLiteral("Errors/Historikfel.txt");
    frmArende *window = openCase(CaseA);
    if (window->articleRows().size() != 2)
        return Outcome::NotRun;
    MessageBox::clearShown();
    auto *list = child<QTreeView>(window, "ListView1");
    list->selectionModel()->setCurrentIndex(
        list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(window, "Command3")->click();
    if (shown({ QStringLiteral("Uppdatering") }))
        return window->isVisible() && window->articleRows().size() == 2 ? Outcome::Reported
                                                                        : Outcome::Neither;
    const Result<QList<ArticleRow>> rows
        = articlefile::load(lib(CaseA[ControlCode] + QStringLiteral("_ArtData.txt")));
    return window->articleRows().size() == 1 && rows.ok() && rows.value() == window->articleRows()
        ? Outcome::Worked
        : Outcome::Neither;
}

Outcome TestFaults::removeCase(QStringList &mayChange)
{
    mayChange << QStringLiteral("Lib/arenden.txt")
              << QStringLiteral("Lib/") + CaseB[ControlCode] + "_eData.ini"
              << QStringLiteral("Lib/") + CaseB[ControlCode] + "_ArtData.txt"
              << QStringLiteral("Lib/") + CaseB[ControlCode] + "_Logg.txt"
              << QStringLiteral("Lib/Borttagna.txt") << QStringLiteral("Errors/Historikfel.txt");
    auto *overview = WindowRegistry::show<frmArendeList>();
    int row = 0;
    while (row < overview->rowCount() && overview->entryAt(row) != CaseB)
        ++row;
    if (row == overview->rowCount())
        return Outcome::NotRun;
    QTableView *list = overview->listView();
    list->setCurrentIndex(list->model()->index(row, 0));
    list->selectRow(row);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    child<QPushButton>(overview, "Command3")->click();
    if (shown({ QStringLiteral("Ta bort ärende!") }))
        return overview->isVisible() ? Outcome::Reported : Outcome::Neither;
    const Result<QList<RegisterEntry>> entries = caseregister::load(lib(QStringLiteral("arenden.txt")));
    return entries.ok() && !entries.value().contains(CaseB) && entries.value().size() == overview->rowCount()
        ? Outcome::Worked
        : Outcome::Neither;
}

Outcome TestFaults::showCustomerCard(QStringList &)
{
    auto *card = WindowRegistry::get<frmKundData>();
    const bool filled = card->showCustomer(CustomerPhone);
    if (!filled)
        return shown({ QStringLiteral("Kunddata") }) ? Outcome::Reported : Outcome::Neither;
    return card->fieldTexts().contains(QStringLiteral("Anna Andersson")) ? Outcome::Worked : Outcome::Neither;
}

Outcome TestFaults::printSheet(QStringList &mayChange)
{
    // A printout is part of the case's history.
    mayChange << QStringLiteral("Lib/") + CaseA[ControlCode] + QStringLiteral("_Logg.txt")
              << QStringLiteral("Errors/Historikfel.txt");
    QFile::remove(m_printed);
    frmArende *window = openCase(CaseA);
    QPointer<frmArende> guard(window);
    auto *print = window->findChild<QAction *>(QStringLiteral("mnuSkrivUt"));
    if (!print)
        qFatal("no print entry");
    print->trigger();
    const QStringList failures
        = { QStringLiteral("Skriv ut"), QStringLiteral("Skrivare saknas"), QStringLiteral("Utskrift") };
    runUntil([&]() { return shown(failures) || QFileInfo(m_printed).size() > 0; }, 6000);
    if (shown(failures))
        return guard && guard->isVisible() ? Outcome::Reported : Outcome::Neither;
    return QFileInfo(m_printed).size() > 0 ? Outcome::Worked : Outcome::Neither;
}

const QList<TestFaults::Scenario> &TestFaults::scenarios()
{
    static const QList<Scenario> list = {
        { 'a', "sign in", &TestFaults::signIn },
        { 'b', "create a user", &TestFaults::createUser },
        { 'c', "open the overview", &TestFaults::openOverview },
        { 'd', "add an article row", &TestFaults::addArticleRow },
        { 'e', "save a new case", &TestFaults::saveNewCase },
        { 'f', "remove an article row", &TestFaults::removeArticleRow },
        { 'g', "remove a case", &TestFaults::removeCase },
        { 'h', "show the customer card", &TestFaults::showCustomerCard },
        { 'i', "print the case sheet", &TestFaults::printSheet },
    };
    return list;
}

// ---- The matrix ------------------------------------------------------------------------

void TestFaults::everyOperationWorksOrReports_data()
{
    QTest::addColumn<int>("condition");
    // One letter per operation (see scenarios()): W works, R reports, - not run, ? either.
    QTest::addColumn<QString>("expected");

    QTest::newRow("no Lib") << int(Condition::MissingLib) << "RRWRR--RR";
    QTest::newRow("no Lib\\User") << int(Condition::MissingUserFolder) << "RRWWWWWWW";
    QTest::newRow("no Lib\\Logo") << int(Condition::MissingLogoFolder) << "WWWWWWWWR";
    QTest::newRow("no Errors") << int(Condition::MissingErrorsFolder) << "WWWWWWWWW";
    // No lock file can be made in a read-only Lib: a user file is not written unlocked.
    QTest::newRow("read-only Lib") << int(Condition::ReadOnlyLibFolder) << "WRWRRRRWW";
    QTest::newRow("read-only Lib\\User") << int(Condition::ReadOnlyUserFolder) << "WRWWWWWWW";
    QTest::newRow("read-only register") << int(Condition::ReadOnlyRegister) << "WWWWRWRWW";
    QTest::newRow("read-only files") << int(Condition::ReadOnlyFiles) << "WWWWRRRWW";
    QTest::newRow("read-only file system") << int(Condition::ReadOnlyFileSystem) << "WRWRRRRWW";
    // Removing a case frees the room its files took, so its rewrite may then fit.
    QTest::newRow("full disk") << int(Condition::FullDisk) << "WRWRRR?WW";
    QTest::newRow("files replaced by folders") << int(Condition::FilesAreFolders) << "RWWWR--RR";
}

void TestFaults::everyOperationWorksOrReports()
{
    QFETCH(int, condition);
    QFETCH(QString, expected);
    const auto which = static_cast<Condition>(condition);
    if ((which == Condition::ReadOnlyFileSystem || which == Condition::FullDisk) && !runningAsRoot())
        QSKIP("mounting a file system needs root");
    if (!prepare(which))
        QSKIP("this machine cannot set up the condition (mount or immutable flag refused)");

    QStringList problems;
    for (int i = 0; i < scenarios().size(); ++i) {
        const Scenario &scenario = scenarios()[i];
        const QChar want = expected[i];
        MessageBox::clearShown();
        if (m_disk)
            QVERIFY(m_disk->fill()); // what an earlier operation freed is taken again
        const Snapshot before = snapshot(m_root);
        QStringList mayChange;
        const Outcome outcome = (this->*scenario.run)(mayChange);
        QTest::qWait(1);
        const Snapshot after = snapshot(m_root);
        WindowRegistry::closeAll();

        const QString what
            = QStringLiteral("%1 (%2)").arg(QString::fromLatin1(scenario.name), QChar(scenario.id));
        const bool asExpected = (want == u'W' && outcome == Outcome::Worked)
            || (want == u'R' && outcome == Outcome::Reported) || (want == u'-' && outcome == Outcome::NotRun)
            || (want == u'?' && (outcome == Outcome::Worked || outcome == Outcome::Reported));
        if (!asExpected)
            problems << QStringLiteral("%1: %2, expected %3 [messages: %4]")
                            .arg(what, QString::fromLatin1(outcomeName(outcome)), want, shownTitles());

        // Only an operation that worked may change the files it is about.
        const QStringList lost
            = damaged(before, after, outcome == Outcome::Worked ? mayChange : QStringList());
        if (!lost.isEmpty())
            problems << QStringLiteral("%1: %2 changed: %3")
                            .arg(what, QString::fromLatin1(outcomeName(outcome)),
                                lost.join(QStringLiteral("; ")));
        // The program never makes folders.
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            if (it.key().endsWith(u'/') && !before.contains(it.key()))
                problems << QStringLiteral("%1: made the folder %2").arg(what, it.key());
        }
    }
    if (!problems.isEmpty())
        QFAIL(qPrintable(QStringLiteral("\n  ") + problems.join(QStringLiteral("\n  "))));
}

// ---- Storage on a full disk -------------------------------------------------------------

void TestFaults::storageWritesOnAFullDiskKeepOldFiles()
{
    if (!runningAsRoot())
        QSKIP("mounting a small file system needs root");
    m_disk = std::make_unique<SmallDisk>(256);
    if (!m_disk->ok())
        QSKIP("this machine refused to mount a small file system");
    m_root = m_disk->path() + QStringLiteral("/data");
    QVERIFY(populate(m_root));
    DataFolder::setRoot(m_root);

    // Files whose last page has 20 bytes of room left: an append that does not fit must
    // not leave the part that did.
    constexpr qsizetype almostTwoPages = 2 * 4096 - 20;
    QByteArray registerBytes;
    while (registerBytes.size() < almostTwoPages - 400)
        registerBytes += caseregister::formatQuoted(CaseA);
    RegisterEntry padding = CaseA;
    padding[CustomerName] = QString(almostTwoPages - registerBytes.size()
            - caseregister::formatQuoted(CaseA).size() + CaseA[CustomerName].size(),
        u'x');
    registerBytes += caseregister::formatQuoted(padding);
    const QByteArray articleLine = "\"17\",\"Skruv\",\"2\",\"st\",\"12,50\",\"25,00\"\r\n";
    QByteArray articleBytes;
    while (articleBytes.size() < almostTwoPages - articleLine.size())
        articleBytes += articleLine;
    articleBytes += QByteArray(almostTwoPages - articleBytes.size() - 2, 'y') + "\r\n";
    QCOMPARE(registerBytes.size(), almostTwoPages);
    QCOMPARE(articleBytes.size(), almostTwoPages);
    const QString registerPath = paths::caseRegister();
    const QString articlePath = paths::articleFile(CaseA[ControlCode]).value();
    for (const auto &[path, bytes] :
        { std::pair { registerPath, registerBytes }, { articlePath, articleBytes } }) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    const Snapshot original = snapshot(m_root);

    const RegisterEntry entry = CaseB;
    const ArticleRow row = { "18", "Kedja med ett långt namn som inte ryms", "1", "st", "149,00", "149,00" };
    const UserRecord user { UserId, QStringLiteral("nytt lösenord som är långt"), QStringLiteral("0"),
        QStringLiteral("Anna Ek") };
    const QString userPath = paths::userFile(UserId).value();
    const std::pair<const char *, std::function<Status()>> writes[] = {
        { "WriteIni",
            [&] {
                return WriteIni(
                    userPath, QStringLiteral("Main"), QStringLiteral("RealName"), QString(300, u'x'));
            } },
        { "userfile::write",
            [&] {
                return userfile::write(UserId, user);
            } },
        { "caseregister::appendPlain",
            [&] {
                return caseregister::appendPlain(registerPath, entry);
            } },
        { "caseregister::appendQuoted",
            [&] {
                return caseregister::appendQuoted(registerPath, entry);
            } },
        { "caseregister::rewrite",
            [&] {
                return caseregister::rewrite(registerPath, { CaseA, CaseB });
            } },
        { "articlefile::appendRow",
            [&] {
                return articlefile::appendRow(articlePath, row);
            } },
        { "articlefile::rewrite",
            [&] {
                return articlefile::rewrite(articlePath, { row, row });
            } },
    };
    QStringList problems;
    for (const auto &[name, write] : writes) {
        // Each write starts from the same files on a disk filled to the last byte, so
        // that one write's damage cannot make room for the next.
        m_disk->drain();
        for (auto it = original.cbegin(); it != original.cend(); ++it) {
            QFile file(m_root + u'/' + it.key());
            if (!it.key().endsWith(u'/')
                && (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                    || file.write(it.value()) != it.value().size()))
                QFAIL("could not restore the data folder");
        }
        QVERIFY(m_disk->fill());
        const Status status = write();
        if (status.ok())
            problems << QStringLiteral("%1 reported success on a full disk").arg(QLatin1String(name));
        else if (status.error().isEmpty())
            problems << QStringLiteral("%1 failed without saying why").arg(QLatin1String(name));
        const QStringList lost = damaged(original, snapshot(m_root));
        if (!lost.isEmpty())
            problems
                << QStringLiteral("%1 left %2").arg(QLatin1String(name), lost.join(QStringLiteral("; ")));
    }
    if (!problems.isEmpty())
        QFAIL(qPrintable(QStringLiteral("\n  ") + problems.join(QStringLiteral("\n  "))));

    // A new user that cannot be saved leaves no empty user file behind.
    QVERIFY(m_disk->fill());
    QVERIFY(!userfile::write(QStringLiteral("ny"), user));
    QVERIFY(!QFileInfo::exists(m_root + QStringLiteral("/Lib/User/ny.ini")));

    // With room again the same writes work.
    m_disk->drain();
    QVERIFY(caseregister::appendPlain(registerPath, entry));
    const Result<QList<RegisterEntry>> entries = caseregister::load(registerPath);
    QVERIFY(entries.ok());
    QCOMPARE(entries.value().constLast(), entry);
    QCOMPARE(entries.value().size(), registerBytes.count('\n') + 1);
}

void TestFaults::loadingWithoutErrorsFolderStaysQuiet()
{
    QVERIFY(populate(m_root));
    DataFolder::setRoot(m_root);
    QVERIFY(QFile::remove(paths::caseRegister()));
    QVERIFY(QDir(m_root + QStringLiteral("/Errors")).removeRecursively());

    // An empty register is noted in the error log; without the log's folder the note is
    // left out, silently, and no folder is made for it.
    auto *overview = WindowRegistry::show<frmArendeList>();
    QCOMPARE(overview->rowCount(), 0);
    overview->refresh();
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(overview->isVisible());
    QVERIFY(!QFileInfo::exists(m_root + QStringLiteral("/Errors")));

    // With the log replaced by a folder, the same.
    WindowRegistry::closeAll();
    QVERIFY(QDir(m_root).mkpath(QStringLiteral("Errors/Error.txt")));
    overview = WindowRegistry::show<frmArendeList>();
    QVERIFY(MessageBox::shown().isEmpty());
    QVERIFY(QFileInfo(m_root + QStringLiteral("/Errors/Error.txt")).isDir());
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
