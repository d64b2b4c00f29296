// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The case store without windows: every change of a case's files succeeds, or fails
// leaving every file as it was, and never loses or doubles a register line.

#include "common/faultyfs.h"
#include "common/testsupport.h"
#include "storage/casefiles.h"
#include "storage/casehistory.h"
#include "storage/caseregister.h"
#include "storage/casestore.h"
#include "storage/cp1252.h"
#include "storage/datafolder.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using namespace lunora;
using namespace lunora::test;

namespace {

// The files of Lib, but for the folder lock's file, which any change makes.
QStringList dataFiles(const TestDataFolder &data)
{
    QStringList files = QDir(data.file(QStringLiteral("Lib"))).entryList(QDir::Files);
    files.removeAll(QStringLiteral("lunora.lock"));
    return files;
}

RegisterEntry withName(RegisterEntry entry, const QString &name)
{
    entry[CustomerName] = name;
    return entry;
}

RegisterEntry caseC()
{
    RegisterEntry c = CaseA;
    c[CaseNumber] = QStringLiteral("120301 5");
    c[CustomerName] = QStringLiteral("Cecilia Ceder");
    c[ControlCode] = QStringLiteral("{CCCCCCCC-3333-4333-8333-CCCCCCCCCCCC}");
    return c;
}

// A plain line as an older copy wrote it, with a double quote inside the name.
const QByteArray LegacyLine
    = QByteArrayLiteral("090101 1,2009-01-01,K-1,Bygg \"AB\" "
                        "Nord,08-1,Normal,Avslutad,{DDDDDDDD-4444-4444-8444-DDDDDDDDDDDD},Eva\r\n");

// The key of a register row as the list makes it.
CaseKey keyOfRow(const caseregister::Table &table, qsizetype row)
{
    return caseKeyOf(
        table.rawField(row, ControlCode), table.rawField(row, CaseNumber), table.rawField(row, Created));
}

// A rewrite of the register, the plain way: every line of the dropped cases leaves;
// for each key of the list the first line of the case not yet written follows; then
// every line left, in file order. A line goes out in the quoted form of its stored
// fields, or as it stands when a field holds a double quote; CR LF after each.
// `listRows`, when given, are the list's rows as rows of the file: up to the first
// that is none (-1), each is its own line rather than its case's first.
QByteArray expectedRewrite(const QByteArray &file, const QList<CaseKey> &drop,
    const QList<CaseKey> &listOrder, const QList<qsizetype> &listRows = {})
{
    const caseregister::Table table = caseregister::Table::fromBytes(file).value();
    const qsizetype rows = table.size();
    QList<bool> taken(rows, false);
    for (qsizetype row = 0; row < rows; ++row)
        taken[row] = drop.contains(keyOfRow(table, row));
    QByteArray result;
    const auto write = [&](qsizetype row) {
        taken[row] = true;
        bool quote = false;
        for (int f = 0; f < RegisterFieldCount; ++f)
            quote = quote || table.rawField(row, f).contains('"');
        if (quote) {
            result += table.rawLine(row).toByteArray();
        } else {
            for (int f = 0; f < RegisterFieldCount; ++f)
                result += (f > 0 ? ",\"" : "\"") + table.rawField(row, f).toByteArray() + '"';
        }
        result += "\r\n";
    };
    const qsizetype held = listRows.isEmpty() ? 0
        : listRows.indexOf(-1) < 0            ? listRows.size()
                                              : listRows.indexOf(-1);
    for (qsizetype i = 0; i < held; ++i) {
        if (!taken[listRows[i]])
            write(listRows[i]);
    }
    for (const CaseKey &key : listOrder.mid(held)) {
        for (qsizetype row = 0; row < rows; ++row) {
            if (!taken[row] && keyOfRow(table, row) == key) {
                write(row);
                break;
            }
        }
    }
    for (qsizetype row = 0; row < rows; ++row) {
        if (!taken[row])
            write(row);
    }
    return result;
}

// A register with every kind of line a shop's file may hold: quoted and plain, quoted
// with blanks or other text around the quotes, lines short or long of fields, LF or CR
// alone as line ends, double quotes inside plain fields as older copies wrote them,
// Windows-1252 letters, blank lines, and cases written twice or without control code.
QByteArray variedRegister(QRandomGenerator &random, int lines)
{
    static const QByteArray values[] = { "", "Anna Ek", "Ek, Anna",
        "\xC5sa \xD6"
        "berg",
        "Bygg \"AB\" Nord", " inledande blank", "070-123 45 67", "a", "\"" };
    static const QByteArray codes[] = { "", "{C0DE0001-0000-4000-8000-000000000001}",
        "{C0DE0002-0000-4000-8000-000000000002}", "{C0DE0003-0000-4000-8000-000000000003}" };
    static const QByteArray separators[] = { ",", ",", ",", ", ", " ,", "x," };
    static const QByteArray lineEnds[] = { "\r\n", "\r\n", "\r\n", "\n", "\r", "\r\n\r\n", "\r\n \t\r\n" };
    QByteArray bytes;
    for (int line = 0; line < lines; ++line) {
        const int fields = random.bounded(8) == 0 ? random.bounded(1, 12) : RegisterFieldCount;
        // Most lines uniformly quoted or plain, as the program writes them.
        const int style = random.bounded(4); // 0, 1 quoted; 2 plain; 3 mixed
        const bool tidy = random.bounded(3) != 0;
        if (!tidy && random.bounded(4) == 0)
            bytes += " ";
        for (int f = 0; f < fields; ++f) {
            QByteArray value;
            if (f == ControlCode)
                value = random.bounded(3) == 0 ? codes[random.bounded(4)]
                                               : "{" + QByteArray::number(random.bounded(1000000)) + "}";
            else if (f == CaseNumber)
                value = QByteArray::number(random.bounded(3));
            else if (f == Created)
                value = "2026-12-0" + QByteArray::number(random.bounded(1, 3));
            else
                value = values[random.bounded(int(std::size(values)))];
            const bool quoted = style < 2 || (style == 3 && random.bounded(2) == 0);
            if (f > 0)
                bytes += tidy ? QByteArray(",") : separators[random.bounded(int(std::size(separators)))];
            bytes += quoted ? "\"" + value + "\"" : value;
        }
        if (!tidy && random.bounded(4) == 0)
            bytes += "x";
        bytes += lineEnds[tidy ? 0 : random.bounded(int(std::size(lineEnds)))];
    }
    if (random.bounded(4) == 0)
        bytes.chop(random.bounded(1, 3)); // the last line without (all of) its line end
    return bytes;
}

// Whether the table stands for the file's bytes: its entries, its size, and a read of
// the file that finds it unchanged and only grown once a line is added.
bool tableIsFile(const caseregister::Table &table, const QByteArray &bytes, const QString &path)
{
    if (table.entries() != caseregister::parse(bytes) || table.byteSize() != bytes.size())
        return false;
    const auto unchanged = table.reread(path);
    if (!unchanged.ok() || !unchanged.value().grew || !unchanged.value().table.isCopyOf(table))
        return false;
    const QByteArray line = caseregister::formatPlain(caseC());
    writeBytes(path, bytes + line);
    const auto grown = table.reread(path);
    writeBytes(path, bytes);
    return grown.ok() && grown.value().grew
        && grown.value().table.entries() == caseregister::parse(bytes + line);
}

} // namespace

class TestCaseStore : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesDataFileThenPlainLine();
    void saveRefusesBeforeWriting();
    void saveTakesDataFileAwayWhenLineFails();
    void replaceMovesLineLastInListOrderKeepingUnknownLines();
    void replaceOfDoubledCaseLeavesOneLine();
    void replaceOfVanishedCaseWritesNothing();
    void legacyLinesSurviveRewrites();
    void changedCaseMayKeepItsOldQuotes();
    void removeRewritesThenDeletesFiles();
    void removeOfVanishedCaseDeletesNothing();
    void savedCaseChangesFollowTheRegister();
    void listOrderKeepsTheListsBytes();
    void rewriteWritesEveryKindOfLineAsBefore();
    void failedRewriteLeavesEveryFile();
    void fullDiskLosesNothing();
    void articleRowsFollowTheirValues();
    void articleFailuresLeaveTheFile();
    void legacyArticleLineSurvives();
};

void TestCaseStore::saveWritesDataFileThenPlainLine()
{
    TestDataFolder data;
    QVERIFY(data.isValid());
    writeBytes(data.registerFile(), quotedLines({ CaseB }));
    QVERIFY(CaseStore::saveNewCase(CaseA));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB }) + caseregister::formatPlain(CaseA));
    const QByteArray ini = readBytes(data.lib(CaseA[ControlCode] + QStringLiteral("_eData.ini")));
    QVERIFY2(ini.contains("xID=101215 4711\r\n"), ini.constData());
    QVERIFY(ini.contains("xCName=Anna Andersson\r\n"));
}

void TestCaseStore::saveRefusesBeforeWriting()
{
    TestDataFolder data;
    // A double quote, a line break, a character outside Windows-1252: each names its field.
    const QList<std::pair<int, QString>> bad { { CustomerName, QStringLiteral("Bygg \"AB\"") },
        { Telephone, QStringLiteral("08\n1") }, { CustomerNumber, QStringLiteral("K\u20ac\u4e2d") } };
    for (const auto &[field, value] : bad) {
        RegisterEntry entry = CaseA;
        entry[field] = value;
        const StoreResult result = CaseStore::saveNewCase(entry);
        QCOMPARE(result.kind, StoreError::UnstorableValue);
        QCOMPARE(result.field, field);
    }
    RegisterEntry unsafe = CaseA;
    unsafe[ControlCode] = QStringLiteral("../x");
    QCOMPARE(CaseStore::saveNewCase(unsafe).kind, StoreError::UnsafeName);
    QCOMPARE(dataFiles(data), QStringList());

    QVERIFY(QDir(data.file(QStringLiteral("Lib"))).removeRecursively());
    QCOMPARE(CaseStore::saveNewCase(CaseA).kind, StoreError::MissingFolder);
}

void TestCaseStore::saveTakesDataFileAwayWhenLineFails()
{
    TestDataFolder data;
    // A folder where the register should be: no line can be appended to it.
    QVERIFY(QDir().mkpath(data.registerFile()));
    const StoreResult result = CaseStore::saveNewCase(CaseA);
    QCOMPARE(result.kind, StoreError::Unwritable);
    QVERIFY(!QFile::exists(data.lib(CaseA[ControlCode] + QStringLiteral("_eData.ini"))));
}

void TestCaseStore::replaceMovesLineLastInListOrderKeepingUnknownLines()
{
    TestDataFolder data;
    const RegisterEntry c = caseC();
    // The list knows A and B, sorted B before A; C was added by another copy meanwhile,
    // and A is written plain.
    writeBytes(data.registerFile(),
        caseregister::formatPlain(CaseA) + caseregister::formatQuoted(c) + caseregister::formatQuoted(CaseB));
    const RegisterEntry changed = withName(CaseA, QStringLiteral("Anna Ny"));
    QVERIFY(CaseStore::replaceCase(changed, keys({ CaseB, CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB, c, changed }));
}

void TestCaseStore::replaceOfDoubledCaseLeavesOneLine()
{
    TestDataFolder data;
    writeBytes(data.registerFile(), quotedLines({ CaseA, CaseB, CaseA }));
    QVERIFY(CaseStore::replaceCase(CaseA, keys({ CaseA, CaseB, CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB, CaseA }));

    // Cases without a control code are told apart by number and date.
    RegisterEntry noCode1 = CaseA, noCode2 = CaseB;
    noCode1[ControlCode].clear();
    noCode2[ControlCode].clear();
    writeBytes(data.registerFile(), quotedLines({ noCode1, noCode2 }));
    QVERIFY(CaseStore::replaceCase(withName(noCode1, QStringLiteral("X")), keys({ noCode1, noCode2 })));
    QCOMPARE(
        readBytes(data.registerFile()), quotedLines({ noCode2, withName(noCode1, QStringLiteral("X")) }));
}

void TestCaseStore::replaceOfVanishedCaseWritesNothing()
{
    TestDataFolder data;
    const QByteArray before = caseregister::formatPlain(CaseB);
    writeBytes(data.registerFile(), before);
    QCOMPARE(CaseStore::replaceCase(CaseA, keys({ CaseA, CaseB })).kind, StoreError::NotFound);
    QCOMPARE(readBytes(data.registerFile()), before);
}

void TestCaseStore::legacyLinesSurviveRewrites()
{
    TestDataFolder data;
    writeBytes(data.registerFile(), LegacyLine + quotedLines({ CaseA, CaseB }));
    QVERIFY(CaseStore::replaceCase(withName(CaseB, QStringLiteral("Bo Ny")), keys({ CaseA, CaseB })));
    QVERIFY(CaseStore::removeCases({ CaseA }, keys({ CaseB })));
    // The old line is unknown to the list, so it follows the known ones, byte for byte.
    QCOMPARE(readBytes(data.registerFile()),
        quotedLines({ withName(CaseB, QStringLiteral("Bo Ny")) }) + LegacyLine);
}

void TestCaseStore::changedCaseMayKeepItsOldQuotes()
{
    TestDataFolder data;
    writeBytes(data.registerFile(), LegacyLine);
    Result<QList<RegisterEntry>> loaded = caseregister::load(data.registerFile());
    QVERIFY(loaded);
    const RegisterEntry legacy = loaded.value().value(0);
    QCOMPARE(legacy[CustomerName], QStringLiteral("Bygg \"AB\" Nord"));

    RegisterEntry changed = legacy;
    changed[CaseStatus] = QStringLiteral("Under behandling");
    QVERIFY(CaseStore::checkReplacement(changed, legacy));
    QVERIFY(CaseStore::replaceCase(changed, keys({ legacy })));
    loaded = caseregister::load(data.registerFile());
    QCOMPARE(loaded.value(), QList<RegisterEntry>({ changed }));

    // A quote typed anew is refused, and the file stays as it was.
    const QByteArray before = readBytes(data.registerFile());
    RegisterEntry retyped = changed;
    retyped[Telephone] = QStringLiteral("08-\"1\"");
    StoreResult refused = CaseStore::checkReplacement(retyped, changed);
    QCOMPARE(refused.kind, StoreError::UnstorableValue);
    QCOMPARE(refused.field, int(Telephone));
    refused = CaseStore::replaceCase(retyped, keys({ changed }));
    QCOMPARE(refused.kind, StoreError::UnstorableValue);
    QCOMPARE(readBytes(data.registerFile()), before);
}

void TestCaseStore::removeRewritesThenDeletesFiles()
{
    TestDataFolder data;
    writeCases(data, { CaseA, CaseB, caseC() }, { RowA });
    // The notes file goes with its case like the data and article files.
    writeBytes(
        caseFiles(CaseB[ControlCode]).value(2), QByteArrayLiteral("Enhet: Cykel\r\nSerienummer: 1\r\n"));
    // Sorted by name descending in the list: C, B, A.
    QVERIFY(CaseStore::removeCases({ CaseB }, keys({ caseC(), CaseB, CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ caseC(), CaseA }));
    for (const QString &file : caseFiles(CaseB[ControlCode]))
        QVERIFY(!QFile::exists(file));
    for (const QString &file : caseFiles(CaseA[ControlCode]).mid(0, 2))
        QVERIFY(QFile::exists(file));

    // Files already missing are no failure.
    QVERIFY(QFile::remove(caseFiles(CaseA[ControlCode]).value(1)));
    QVERIFY(CaseStore::removeCases({ CaseA }, keys({ caseC(), CaseA })));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ caseC() }));
}

void TestCaseStore::listOrderKeepsTheListsBytes()
{
    TestDataFolder data;
    writeBytes(data.registerFile(), quotedLines({ CaseA, CaseB, caseC() }));
    ListOrder order;
    {
        // The list's own table, in reverse order; the list reloads (its table goes)
        // while the call waits for the folder lock.
        const caseregister::Table list
            = caseregister::Table::fromBytes(readBytes(data.registerFile())).value();
        order.hold(list);
        for (qsizetype row = list.size() - 1; row >= 0; --row)
            order.append(
                list.rawField(row, ControlCode), list.rawField(row, CaseNumber), list.rawField(row, Created));
    }
    order.appendCopy(caseKeyOf(CaseA)); // a row the list added itself; named twice, one line
    QVERIFY(CaseStore::removeRegisterLines({ CaseB }, order));
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ caseC(), CaseA }));
}

void TestCaseStore::removeOfVanishedCaseDeletesNothing()
{
    TestDataFolder data;
    writeCases(data, { CaseA }, { RowA });
    writeBytes(data.registerFile(), quotedLines({ CaseB }));
    QCOMPARE(CaseStore::removeCases({ CaseA }, keys({ CaseA, CaseB })).kind, StoreError::NotFound);
    QCOMPARE(readBytes(data.registerFile()), quotedLines({ CaseB }));
    for (const QString &file : caseFiles(CaseA[ControlCode]).mid(0, 2))
        QVERIFY(QFile::exists(file));
}

void TestCaseStore::savedCaseChangesFollowTheRegister()
{
    TestDataFolder data;
    writeCases(data, { CaseA, CaseB }, { RowA });
    const QString code = CaseA[ControlCode];
    const QString articles = caseFiles(code).value(1);
    QVERIFY(CaseStore::addArticleRow(code, RowA, CaseState::Saved));

    // Another desk's rewrite without the case: nothing more is written for it.
    writeBytes(data.registerFile(), quotedLines({ CaseB }));
    const QByteArray rowsBefore = readBytes(articles);
    const QByteArray historyBefore = readBytes(caseFiles(code).value(3));
    QCOMPARE(CaseStore::addArticleRow(code, RowA, CaseState::Saved).kind, StoreError::CaseRemoved);
    QCOMPARE(CaseStore::removeArticleRows(code, { RowA }, CaseState::Saved).kind, StoreError::CaseRemoved);
    QCOMPARE(CaseStore::saveNotes(code, CaseNotes { QStringLiteral("Cykel"), {}, {} }, CaseState::Saved).kind,
        StoreError::CaseRemoved);
    QCOMPARE(CaseStore::notePrintout(code, casehistory::printed(), CaseState::Saved).kind,
        StoreError::CaseRemoved);
    QCOMPARE(readBytes(articles), rowsBefore);
    QVERIFY(!QFile::exists(caseFiles(code).value(2)));
    QCOMPARE(readBytes(caseFiles(code).value(3)), historyBefore);

    // A new case has no line yet and takes its rows all the same.
    QVERIFY(CaseStore::addArticleRow(code, RowA, CaseState::Unsaved));
    // A line appended by another desk is seen at once.
    writeBytes(data.registerFile(), quotedLines({ CaseB, CaseA }));
    QVERIFY(CaseStore::removeArticleRows(code, { RowA }, CaseState::Saved));
}

// The rewrite takes shortcuts (a line already in the quoted form is copied whole, a
// tidy plain line is quoted without splitting it, the list's own table stands in for
// the file while the file begins with it, the list's order is followed along the file
// without look-ups while the two agree): the
// file must come out byte for byte as the plain rewrite writes it, in every order a list
// can stand in and with one case dropped or several.
void TestCaseStore::rewriteWritesEveryKindOfLineAsBefore()
{
    TestDataFolder data;
    QRandomGenerator random(20261208);
    for (int round = 0; round < 150; ++round) {
        // Now and then a register long enough that its look-ups and copies run in
        // several batches.
        const int lines = round % 25 == 24 ? random.bounded(300, 700) : random.bounded(1, 80);
        const QByteArray file = variedRegister(random, lines);
        const caseregister::Table table = caseregister::Table::fromBytes(file).value();
        if (table.isEmpty())
            continue;
        // The list's rows: each one's key, and its row of the file (-1 for none).
        QList<std::pair<CaseKey, qsizetype>> listed;
        for (qsizetype row = 0; row < table.size(); ++row)
            listed.append({ keyOfRow(table, row), row });
        const int order = round % 6;
        if (order == 1) {
            std::reverse(listed.begin(), listed.end());
        } else if (order == 2) {
            std::shuffle(listed.begin(), listed.end(), random);
        } else if (order == 3 && listed.size() > 1) {
            // One case moved, as another desk's change of it moves its line last.
            listed.move(random.bounded(listed.size()), random.bounded(listed.size()));
        } else if (order == 4) {
            // Lines the list does not know, and a case the register no longer holds.
            for (int i = random.bounded(1, 4); i > 0 && !listed.isEmpty(); --i)
                listed.removeAt(random.bounded(listed.size()));
            listed.insert(random.bounded(listed.size() + 1),
                { caseKeyOf(QByteArrayView("{GONE}"), QByteArrayView(), QByteArrayView()), -1 });
        }
        QList<CaseKey> listOrder;
        QList<qsizetype> listRows;
        for (const auto &[key, row] : std::as_const(listed)) {
            listOrder << key;
            listRows << row;
        }

        QList<RegisterEntry> cases;
        const int drops = random.bounded(4) == 0 ? random.bounded(5, 9) : 1;
        for (int i = 0; i < drops; ++i)
            cases << table.entry(random.bounded(table.size()));
        QList<CaseKey> dropped;
        for (const RegisterEntry &entry : cases)
            dropped << caseKeyOf(entry);

        // The list's own table: none, the file as it stands, an earlier part of it (the
        // file grew since, or was cut mid-line), or another file of the same folder.
        // The list names its table's rows by their numbers, as the overview does, or
        // by their keys.
        const int kept = (round / 6) % 4;
        const bool byRow = kept == 1 && (round / 24) % 2 == 1;
        ListOrder held = byRow ? ListOrder() : ListOrder(listOrder);
        if (byRow) {
            held.hold(table);
            for (const auto &[key, row] : std::as_const(listed))
                row >= 0 ? held.appendHeld(row) : held.appendCopy(key);
        } else if (kept == 1)
            held.hold(table);
        else if (kept == 2)
            held.hold(caseregister::Table::fromBytes(file.left(random.bounded(file.size() + 1))).value());
        else if (kept == 3)
            held.hold(caseregister::Table::fromBytes(variedRegister(random, lines)).value());

        writeBytes(data.registerFile(), file);
        WrittenRegister handedBack;
        QVERIFY(CaseStore::removeRegisterLines(cases, held, &handedBack));
        const QByteArray expected
            = expectedRewrite(file, dropped, listOrder, byRow ? listRows : QList<qsizetype>());
        QByteArray written = readBytes(data.registerFile());
        QVERIFY2(written == expected,
            qPrintable(QStringLiteral("round %1, order %2:\n%3\nwritten:\n%4\nexpected:\n%5")
                           .arg(round)
                           .arg(order)
                           .arg(QString::fromLatin1(file), QString::fromLatin1(written),
                               QString::fromLatin1(expected))));
        // Only a file that was the list's table is handed back; then it stands for the
        // file, and the next removal starts from it without reading the file again.
        QCOMPARE(handedBack.made, kept == 1);
        for (int again = 0; handedBack.made && again < 3 && !handedBack.table.isEmpty(); ++again) {
            const caseregister::Table before = handedBack.table;
            QVERIFY(tableIsFile(before, written, data.registerFile()));
            QList<qsizetype> rows;
            for (qsizetype row = 0; row < before.size(); ++row)
                rows << row;
            std::shuffle(rows.begin(), rows.end(), random);
            QList<CaseKey> keys;
            for (const qsizetype row : std::as_const(rows))
                keys << keyOfRow(before, row);
            const RegisterEntry gone = before.entry(random.bounded(before.size()));
            ListOrder nextOrder = byRow ? ListOrder() : ListOrder(keys);
            nextOrder.hold(before);
            for (const qsizetype row : std::as_const(rows)) {
                if (byRow)
                    nextOrder.appendHeld(row);
            }
            handedBack = {};
            QVERIFY(CaseStore::removeRegisterLines({ gone }, nextOrder, &handedBack));
            const QByteArray rewritten = readBytes(data.registerFile());
            QCOMPARE(rewritten,
                expectedRewrite(written, { caseKeyOf(gone) }, keys, byRow ? rows : QList<qsizetype>()));
            QVERIFY(handedBack.made);
            QVERIFY(tableIsFile(handedBack.table, rewritten, data.registerFile()));
            written = rewritten;
        }
    }
}

void TestCaseStore::failedRewriteLeavesEveryFile()
{
    TestDataFolder data;
    writeCases(data, { CaseA, CaseB }, { RowA, RowB });
    const QByteArray registerBefore = readBytes(data.registerFile());
    const QStringList files = caseFiles(CaseA[ControlCode]);
    const QByteArray articlesBefore = readBytes(files.value(1));
    {
        // The folder takes no new or renamed files: no rewrite can be put in place.
        ReadOnly locked({ data.file(QStringLiteral("Lib")) });
        if (!locked.ok())
            QSKIP("This file system cannot make a folder read-only");
        QCOMPARE(CaseStore::removeCases({ CaseA }, keys({ CaseA, CaseB })).kind, StoreError::Unwritable);
        QCOMPARE(CaseStore::replaceCase(CaseA, keys({ CaseA, CaseB })).kind, StoreError::Unwritable);
        QCOMPARE(CaseStore::removeArticleRows(CaseA[ControlCode], { RowA }).kind, StoreError::Unwritable);
        QCOMPARE(CaseStore::replaceArticleRow(CaseA[ControlCode], RowA, RowB).kind, StoreError::Unwritable);
    }
    QCOMPARE(readBytes(data.registerFile()), registerBefore);
    QCOMPARE(readBytes(files.value(1)), articlesBefore);
    QVERIFY(QFile::exists(files.value(0)));
}

void TestCaseStore::fullDiskLosesNothing()
{
    SmallDisk disk(256);
    if (!disk.ok())
        QSKIP("No small disk can be mounted here (needs root)");
    QVERIFY(QDir(disk.path()).mkpath(QStringLiteral("Lib")));
    DataFolder::setRoot(disk.path());
    const QString registerFile = disk.path() + QStringLiteral("/Lib/arenden.txt");
    QList<RegisterEntry> many;
    for (int i = 0; i < 200; ++i) {
        RegisterEntry entry = CaseA;
        entry[ControlCode]
            = QStringLiteral("{%1-1111-4111-8111-AAAAAAAAAAAA}").arg(i, 8, 10, QLatin1Char('0'));
        many << entry;
    }
    writeBytes(registerFile, quotedLines(many));
    const QByteArray before = readBytes(registerFile);
    QVERIFY(disk.fill());
    QCOMPARE(CaseStore::removeCases({ many.first() }, keys(many)).kind, StoreError::Unwritable);
    QCOMPARE(CaseStore::replaceCase(many.last(), keys(many)).kind, StoreError::Unwritable);
    QCOMPARE(CaseStore::saveNewCase(caseC()).kind, StoreError::Unwritable);
    QCOMPARE(readBytes(registerFile), before);
    QVERIFY(!QFile::exists(disk.path() + QStringLiteral("/Lib/") + caseC()[ControlCode] + "_eData.ini"));
    disk.drain();
    QVERIFY(CaseStore::removeCases({ many.first() }, keys(many)));
    DataFolder::setRoot(QString());
}

void TestCaseStore::articleRowsFollowTheirValues()
{
    TestDataFolder data;
    const QString code = CaseA[ControlCode];
    const QString path = caseFiles(code).value(1);
    const ArticleRow rowC = rowOf({ "C-3", "Mutter", "10", "st", "1,00", "10,00" });
    QVERIFY(CaseStore::addArticleRow(code, RowA)); // creates the file
    QVERIFY(CaseStore::addArticleRow(code, RowB));
    QVERIFY(CaseStore::addArticleRow(code, rowC));
    QCOMPARE(readBytes(path), articleLines({ RowA, RowB, rowC }));

    // A changed row leaves its place and becomes the last line.
    const ArticleRow changed = rowOf({ "A-1", "Skruv", "3", "st", "12,50", "37,50" });
    QVERIFY(CaseStore::replaceArticleRow(code, RowA, changed));
    QCOMPARE(readBytes(path), articleLines({ RowB, rowC, changed }));

    // A row no longer in the file is not replaced, and no other row goes in its stead.
    QCOMPARE(CaseStore::replaceArticleRow(code, RowA, changed).kind, StoreError::NotFound);
    QCOMPARE(CaseStore::removeArticleRows(code, { RowA }).kind, StoreError::NotFound);
    QCOMPARE(readBytes(path), articleLines({ RowB, rowC, changed }));

    // Of two equal rows, one goes.
    QVERIFY(CaseStore::addArticleRow(code, RowB));
    QVERIFY(CaseStore::removeArticleRows(code, { RowB, rowC }));
    QCOMPARE(readBytes(path), articleLines({ changed, RowB }));
    QVERIFY(CaseStore::removeArticleRows(code, { changed, RowB }));
    QCOMPARE(readBytes(path), QByteArray());
}

void TestCaseStore::articleFailuresLeaveTheFile()
{
    TestDataFolder data;
    const QString code = CaseA[ControlCode];
    QCOMPARE(CaseStore::addArticleRow(code, rowOf({ "A", "Tum \"12\"" })).field, int(Description));
    QCOMPARE(CaseStore::addArticleRow(QStringLiteral("../evil"), RowA).kind, StoreError::UnsafeName);
    QVERIFY(QDir().mkpath(caseFiles(code).value(1))); // a folder in the file's place
    QCOMPARE(CaseStore::addArticleRow(code, RowA).kind, StoreError::Unwritable);
    QCOMPARE(CaseStore::removeArticleRows(code, { RowA }).kind, StoreError::Unreadable);
    QCOMPARE(dataFiles(data), QStringList());
}

void TestCaseStore::legacyArticleLineSurvives()
{
    TestDataFolder data;
    const QString code = CaseA[ControlCode];
    const QString path = caseFiles(code).value(1);
    const QByteArray legacy = QByteArrayLiteral("T-1,Tum \"12\" r\xf6r,1,st,5.00,5.00\r\n");
    writeBytes(path, legacy + articleLines({ RowA, RowB }));
    QVERIFY(CaseStore::removeArticleRows(code, { RowA }));
    QCOMPARE(readBytes(path), legacy + articleLines({ RowB }));
}

QTEST_GUILESS_MAIN(TestCaseStore)

#include "tst_casestore.moc"
