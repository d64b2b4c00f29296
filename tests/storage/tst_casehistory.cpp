// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The history of a case: every change the store makes and every printout leaves its
// line, a change that fails leaves none, and history that cannot be written never
// takes the change down with it.

#include "common/faultyfs.h"
#include "common/testsupport.h"
#include "storage/casehistory.h"
#include "storage/casestore.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"
#include "storage/session.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {

// A function, not a constant: CaseA lives in another file, initialised in its own time.
QString caseCode()
{
    return CaseA[ControlCode];
}

QString historyPath(const QString &code = caseCode())
{
    return paths::historyFile(code).value();
}

// The events of a case's history file, in file order; every line must have the form
// "YYYY-MM-DD hh:mm:ss<TAB>user<TAB>event" with CR LF.
QStringList events(const QString &code = caseCode(), const QString &user = QStringLiteral("Bertil Berg"))
{
    const QByteArray bytes = readBytes(historyPath(code));
    if (bytes == "<missing>")
        return {};
    static const QRegularExpression Line(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\t([^\\t]*)\\t(.*)$"));
    QStringList result;
    const QList<QByteArray> lines = bytes.split('\n');
    if (!bytes.endsWith("\r\n"))
        qWarning("history does not end with CR LF");
    for (const QByteArray &raw : lines.mid(0, lines.size() - 1)) {
        if (!raw.endsWith('\r'))
            return { QStringLiteral("<no CR LF>") };
        const QRegularExpressionMatch match = Line.match(cp1252::decode(raw.chopped(1)));
        if (!match.hasMatch() || match.captured(1) != user)
            return { QStringLiteral("<bad line: %1>").arg(QString::fromLatin1(raw)) };
        result << match.captured(2);
    }
    return result;
}

const ArticleRow Screw = rowOf({ "17", "Skruv", "2", "st", "12,50", "25,00" });

} // namespace

class TestCaseHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyChangeWritesItsLine();
    void replacedCaseNamesEveryChangedField();
    void hiddenRegisterActionsAreRecorded();
    void failedChangeWritesNoLine();
    void failedHistoryWriteKeepsTheChange();
    void removalTakesTheHistoryAndListsTheCase();
    void linesHoldTheirFieldsWhateverTheText();
};

void TestCaseHistory::init()
{
    session::signIn({ QStringLiteral("bertil"), QStringLiteral("Bertil Berg"), QStringLiteral("9") });
}

void TestCaseHistory::cleanup()
{
    session::signOut();
}

void TestCaseHistory::everyChangeWritesItsLine()
{
    TestDataFolder data;
    // Rows come before the case is saved: the article file exists from the first row.
    QVERIFY(CaseStore::addArticleRow(caseCode(), Screw));
    QVERIFY(CaseStore::addArticleRow(caseCode(), RowB));
    QVERIFY(CaseStore::saveNewCase(CaseA));
    const ArticleRow more = rowOf({ "17", "Skruv", "3", "st", "12,50", "37,50" });
    QVERIFY(CaseStore::replaceArticleRow(caseCode(), Screw, more));
    QVERIFY(CaseStore::removeArticleRows(caseCode(), { RowB, more }));
    CaseNotes notes;
    notes.device = QStringLiteral("Cykel");
    QVERIFY(CaseStore::saveNotes(caseCode(), notes));
    QVERIFY(CaseStore::saveNotes(caseCode(), notes)); // nothing changed: no line
    QVERIFY(CaseStore::notePrintout(caseCode(), casehistory::printed()));
    QVERIFY(CaseStore::notePrintout(caseCode(), casehistory::savedAsPdf()));
    QCOMPARE(events(),
        QStringList({ "Rad tillagd: 17 Skruv 2 st 12,50", "Rad tillagd: B-2 Arbete 1 tim 400,00", "Skapat",
            "Rad ändrad: 17 Skruv 2 st 12,50 till 17 Skruv 3 st 12,50",
            "Rad borttagen: B-2 Arbete 1 tim 400,00", "Rad borttagen: 17 Skruv 3 st 12,50",
            "Anteckningar ändrade", "Utskrift", "Sparad som PDF" }));
    // Windows-1252, one byte for "ä".
    QVERIFY(readBytes(historyPath()).contains("Rad \xe4ndrad: "));

    // The history belongs to this case alone.
    QVERIFY(!QFile::exists(historyPath(CaseB[ControlCode])));
}

void TestCaseHistory::replacedCaseNamesEveryChangedField()
{
    TestDataFolder data;
    RegisterEntry before = CaseA;
    before[CaseStatus] = QStringLiteral("Nytt ärende");
    before[Signature] = QStringLiteral("Anna");
    writeBytes(data.registerFile(), quotedLines({ CaseB, before }));

    RegisterEntry after = before;
    after[CaseStatus] = QStringLiteral("Under behandling");
    after[Signature] = QStringLiteral("Bertil Berg");
    after[Priority] = QStringLiteral("Normal");
    QVERIFY(CaseStore::replaceCase(after, keys({ CaseB, before })));
    QCOMPARE(events(),
        QStringList({ "Prioritet ändrad från Brådskande till Normal",
            "Status ändrad från Nytt ärende till Under behandling",
            "Författare ändrad från Anna till Bertil Berg" }));

    // Customer fields, and a save that changes nothing at all.
    RegisterEntry customer = after;
    customer[CustomerNumber] = QStringLiteral("K-18");
    customer[CustomerName] = QStringLiteral("Anna Berg");
    customer[Telephone] = QString();
    QVERIFY(CaseStore::replaceCase(customer, keys({ CaseB, after })));
    QVERIFY(CaseStore::replaceCase(customer, keys({ CaseB, customer })));
    QCOMPARE(events().mid(3),
        QStringList(
            { "Kundnummer ändrat från K-17 till K-18", "Namn ändrat från Anna Andersson till Anna Berg",
                "Telefon ändrad från 08-123456 till (tomt)", "Uppdaterat" }));
}

void TestCaseHistory::hiddenRegisterActionsAreRecorded()
{
    TestDataFolder data;
    QVERIFY(CaseStore::addRegisterLine(CaseA));
    QVERIFY(CaseStore::removeRegisterLines({ CaseA }, keys({ CaseA })));
    QCOMPARE(
        events(), QStringList({ "Tillagt i ärendelistan", "Borttaget ur ärendelistan, filerna finns kvar" }));
    // A case that is no longer there is not written about.
    QCOMPARE(CaseStore::removeRegisterLines({ CaseA }, keys({ CaseA })).kind, StoreError::NotFound);
    QCOMPARE(events().size(), 2);
}

void TestCaseHistory::failedChangeWritesNoLine()
{
    TestDataFolder data;
    // Refused values, unsafe names and vanished cases write nothing at all.
    QCOMPARE(
        CaseStore::addArticleRow(caseCode(), rowOf({ "A", "Tum \"12\"" })).kind, StoreError::UnstorableValue);
    QCOMPARE(CaseStore::replaceCase(CaseA, keys({ CaseA })).kind, StoreError::NotFound);
    QCOMPARE(CaseStore::removeCases({ CaseA }, keys({ CaseA })).kind, StoreError::NotFound);
    QCOMPARE(CaseStore::removeArticleRows(caseCode(), { RowA }).kind, StoreError::NotFound);

    // Files that cannot be written: a folder in the article file's and the register's place.
    QVERIFY(QDir().mkpath(paths::articleFile(caseCode()).value()));
    QCOMPARE(CaseStore::addArticleRow(caseCode(), RowA).kind, StoreError::Unwritable);
    QVERIFY(QDir().mkpath(data.registerFile()));
    QCOMPARE(CaseStore::saveNewCase(CaseA).kind, StoreError::Unwritable);
    QVERIFY(!QFile::exists(historyPath()));
    QVERIFY(!QFile::exists(paths::removedCasesFile()));
    QVERIFY(!QFile::exists(paths::historyErrorLog()));

    // A read-only Lib: the rewrite fails, and so no line may claim it happened.
    QVERIFY(QDir(paths::articleFile(caseCode()).value()).removeRecursively());
    QVERIFY(QDir(data.registerFile()).removeRecursively());
    writeCases(data, { CaseA }, { RowA });
    QVERIFY(CaseStore::addArticleRow(caseCode(), RowB));
    {
        ReadOnly locked({ data.file(QStringLiteral("Lib")), paths::articleFile(caseCode()).value() });
        if (!locked.ok())
            QSKIP("This file system cannot make a folder read-only");
        QCOMPARE(CaseStore::removeArticleRows(caseCode(), { RowA }).kind, StoreError::Unwritable);
        QCOMPARE(CaseStore::replaceCase(CaseB, keys({ CaseA })).kind, StoreError::NotFound);
        RegisterEntry changed = CaseA;
        changed[CaseStatus] = QStringLiteral("Avslutad");
        QCOMPARE(CaseStore::replaceCase(changed, keys({ CaseA })).kind, StoreError::Unwritable);
    }
    QCOMPARE(events(), QStringList({ "Rad tillagd: B-2 Arbete 1 tim 400,00" }));
}

void TestCaseHistory::failedHistoryWriteKeepsTheChange()
{
    TestDataFolder data;
    const QByteArray errorLogBefore = readBytes(paths::errorLog());
    // A folder where the history file should be: no line can be appended to it.
    QVERIFY(QDir().mkpath(historyPath()));
    QVERIFY(CaseStore::addArticleRow(caseCode(), Screw));
    QCOMPARE(readBytes(paths::articleFile(caseCode()).value()), articleLines({ Screw }));
    // The printout happened; its lost history line is noted, not reported as a failure.
    (void)CaseStore::notePrintout(caseCode(), casehistory::printed());

    const QByteArray noted = readBytes(paths::historyErrorLog());
    const QList<QByteArray> lines = noted.split('\n');
    QCOMPARE(lines.size(), 3); // two lines, each ended by CR LF
    QVERIFY2(lines.at(0).contains("\t" + cp1252::encode(caseCode())
                 + "_Logg.txt\tBertil Berg\tRad tillagd: 17 Skruv 2 st 12,50\t"),
        noted.constData());
    QVERIFY(lines.at(1).contains("\tBertil Berg\tUtskrift\t"));
    // The reason is for the shop to read: Swedish, naming the file and why.
    QVERIFY2(lines.at(0).endsWith(
                 cp1252::encode(QStringLiteral("%1 används inte: ingen vanlig fil\r").arg(historyPath()))),
        noted.constData());
    QVERIFY(lines.at(0).endsWith('\r'));
    // The error log keeps its own format and is not written to.
    QCOMPARE(readBytes(paths::errorLog()), errorLogBefore);

    // Borttagna.txt that cannot be written does not stop a removal either.
    QVERIFY(QDir().mkpath(paths::removedCasesFile()));
    writeCases(data, { CaseB });
    QVERIFY(CaseStore::removeCases({ CaseB }, keys({ CaseB })));
    QCOMPARE(readBytes(data.registerFile()), QByteArray());
    QVERIFY(
        readBytes(paths::historyErrorLog()).contains("\tBorttagna.txt\tBertil Berg\t110102 12\tBo Berg\t"));
}

void TestCaseHistory::removalTakesTheHistoryAndListsTheCase()
{
    TestDataFolder data;
    writeCases(data, { CaseA, CaseB }, { RowA });
    QVERIFY(CaseStore::addArticleRow(caseCode(), RowB));
    QVERIFY(caseFiles(caseCode()).contains(historyPath()));
    QVERIFY(QFile::exists(historyPath()));

    QVERIFY(CaseStore::removeCases({ CaseA }, keys({ CaseA, CaseB })));
    QVERIFY(!QFile::exists(historyPath()));
    const QByteArray removed = readBytes(paths::removedCasesFile());
    // The control code last, so that files a removal cut short can be found later.
    static const QRegularExpression Line(
        QStringLiteral(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\tBertil Berg\t101215 4711\tAnna Andersson\t")
        + QRegularExpression::escape(caseCode()) + QStringLiteral("\r\n$"));
    QVERIFY2(Line.match(cp1252::decode(removed)).hasMatch(), removed.constData());

    // Removing the other one appends; the list of removed cases is never rewritten.
    QVERIFY(CaseStore::removeCases({ CaseB }, keys({ CaseB })));
    QCOMPARE(readBytes(paths::removedCasesFile()).count("\r\n"), 2);
    QVERIFY(readBytes(paths::removedCasesFile()).startsWith(removed));
    QVERIFY(!QFile::exists(paths::historyErrorLog()));
}

void TestCaseHistory::linesHoldTheirFieldsWhateverTheText()
{
    const QDateTime when(QDate(2026, 3, 1), QTime(9, 5, 7));
    // A TAB or line break inside a value would split the line; a character outside
    // Windows-1252 cannot be stored.
    const QByteArray line = casehistory::formatLine(
        when, { QStringLiteral("Åsa\tÖ"), QStringLiteral("Rad tillagd: 1 Kabel\r\n2 m \u20ac\u4e2d") });
    QCOMPARE(line, QByteArray("2026-03-01 09:05:07\t\xc5sa \xd6\tRad tillagd: 1 Kabel  2 m \x80?\r\n"));

    // Read back, also from a file edited by hand: lone line ends, a line without TAB
    // (skipped), a line without event, and no line end at the very end.
    const QList<HistoryEntry> entries
        = casehistory::parse(line + "skr\xe4p\n2026-03-02 10:00:00\tEva\r2026-03-03 11:00:00\tEva\tUtskrift");
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0),
        (HistoryEntry { QStringLiteral("2026-03-01 09:05:07"), QStringLiteral("Åsa Ö"),
            QStringLiteral("Rad tillagd: 1 Kabel  2 m €?") }));
    QCOMPARE(
        entries.at(1), (HistoryEntry { QStringLiteral("2026-03-02 10:00:00"), QStringLiteral("Eva"), {} }));
    QCOMPARE(entries.at(2).event, QStringLiteral("Utskrift"));

    // Nobody signed in (a tool): the line still has its user field.
    session::signOut();
    QCOMPARE(casehistory::userName(), QStringLiteral("(okänd)"));
    // An empty row is named as such, not as nothing.
    QCOMPARE(casehistory::rowAdded(ArticleRow()), QStringLiteral("Rad tillagd: (tom rad)"));
}

QTEST_GUILESS_MAIN(TestCaseHistory)

#include "tst_casehistory.moc"
