// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The overview's model keeps loaded rows in the register table and rows added later
// beside it. Whatever mix of loads, additions and removals the window makes, every row
// must show the entry a plain list of entries would hold in its place, and the sort
// must put them in Swedish order.

#include "common/testsupport.h"
#include "gui/caselistmodel.h"
#include "gui/caserows.h"
#include "gui/casesearch.h"
#include "gui/casesortproxy.h"
#include "gui/placebits.h"
#include "storage/caseregister.h"
#include "storage/cp1252.h"
#include "storage/swedishtext.h"
#include "storage/workers.h"

#include <QRandomGenerator>
#include <QTest>
#include <QThreadPool>
#include <algorithm>

using namespace lunora;

namespace {

RegisterEntry randomEntry(QRandomGenerator &random, int serial)
{
    static const char *const names[]
        = { "Åsa Öberg", "Anna Ek", "anna ek", "Örjan", "Ängla Holm", "Per", "Émile", "Zorn", "", " Bo",
              // Alike far beyond the first eight letters.
              "Ann-Kristin Åkesson Lindqvist, Hälsingborgs Cykel och Motor",
              "Ann-Kristin Åkesson Lindqvist, Hälsingborgs Cykel och motor",
              "Ann-Kristin Åkesson Lindqvist, Hälsingborgs Cykel och Motor AB" };
    RegisterEntry entry;
    entry[CaseNumber] = QString::number(serial);
    entry[Created] = QStringLiteral("2024-01-%1").arg(1 + random.bounded(28), 2, 10, QLatin1Char('0'));
    entry[CustomerName] = QString::fromUtf8(names[random.bounded(int(std::size(names)))]);
    entry[Priority] = random.bounded(2) ? QStringLiteral("Normal") : QStringLiteral("Brådskande");
    // Some without control code, as lines written by hand: found by number and date.
    if (random.bounded(6) != 0)
        entry[ControlCode] = QStringLiteral("{%1}").arg(serial);
    return entry;
}

QList<RegisterEntry> modelRows(const CaseListModel &model)
{
    QList<RegisterEntry> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows.append(model.entry(row));
    return rows;
}

} // namespace

class TestCaseListModel final : public QObject
{
    Q_OBJECT

private slots:
    void loadedAddedAndRemovedRowsStayInStep();
    void searchMatchesWordsAcrossColumns_data();
    void searchMatchesWordsAcrossColumns();
    void searchFollowsSortAdditionsAndRemovals();
    void typingOnNarrowsToWhatAFreshSearchFinds();
    void cellsShowTheStartOfAHugeField();
    void keptOrdersEqualAFreshSort_data();
    void keptOrdersEqualAFreshSort();
    void placeBitsMoveAcrossWords();
    void staleSearchesNeverReachTheList_data();
    void staleSearchesNeverReachTheList();
    void takingBackShowsAKeptResultAtOnce();
    void closingWhileTheWorkerRunsIsSafe();
    void searchOfTheStoredLinesEqualsAPlainScan_data();
    void searchOfTheStoredLinesEqualsAPlainScan();
};

void TestCaseListModel::loadedAddedAndRemovedRowsStayInStep()
{
    QRandomGenerator random(1105);
    CaseListModel model;
    CaseSortProxy proxy;
    proxy.setCaseModel(&model);
    QList<RegisterEntry> expected;
    int serial = 0;

    for (int round = 0; round < 400; ++round) {
        const int action = random.bounded(10);
        if (action == 0) {
            // A load: the register as the file would hold it, half the lines plain (where a
            // leading blank is lost, as the reader has it).
            QByteArray file;
            for (int i = random.bounded(0, 30); i > 0; --i) {
                const RegisterEntry entry = randomEntry(random, ++serial);
                file += random.bounded(2) ? caseregister::formatPlain(entry)
                                          : caseregister::formatQuoted(entry);
            }
            expected = caseregister::parse(file);
            model.setTable(caseregister::Table::fromBytes(file).value());
        } else if (action < 5) {
            expected.append(randomEntry(random, ++serial));
            model.appendEntry(expected.last());
        } else if (!expected.isEmpty()) {
            const int row = random.bounded(int(expected.size()));
            expected.removeAt(row);
            model.removeEntry(row);
        }
        if (random.bounded(4) == 0)
            proxy.sortBy(random.bounded(int(RegisterFieldCount)),
                random.bounded(2) ? Qt::AscendingOrder : Qt::DescendingOrder);

        QCOMPARE(modelRows(model), expected);
        // A row is the case of its own key, and of another row's only when the keys agree.
        for (int row = 0; row < model.rowCount(); ++row) {
            const int other = random.bounded(model.rowCount());
            QVERIFY(model.isCase(row, model.key(row)));
            QCOMPARE(model.isCase(row, model.key(other)), model.key(row) == model.key(other));
        }
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < RegisterFieldCount; ++column) {
                QCOMPARE(model.data(model.index(row, column)).toString(), expected[row][column]);
                QCOMPARE(model.textSize(row, column), expected[row][column].size());
            }
        }
        // A search may hide rows; the list order still holds every row once, in the order
        // of the sort column, and the rows shown are those of it that the search leaves.
        if (random.bounded(5) == 0) {
            static const char *const searches[] = { "", "anna", "ö", "2024-01-1", "{1" };
            proxy.setSearch(QString::fromUtf8(searches[random.bounded(int(std::size(searches)))]));
        }
        const QList<RegisterEntry> shown = proxy.entriesInListOrder();
        {
            const QList<RegisterEntry> visible = proxy.entriesInViewOrder();
            qsizetype at = 0;
            for (const RegisterEntry &entry : shown) {
                if (at < visible.size() && visible[at] == entry)
                    ++at;
            }
            QCOMPARE(at, visible.size());
            if (!proxy.isSearching())
                QCOMPARE(visible, shown);
        }
        if (proxy.sortColumn() < 0) {
            QCOMPARE(shown, expected);
            continue;
        }
        const int column = proxy.sortColumn();
        const int direction = proxy.sortOrder() == Qt::AscendingOrder ? 1 : -1;
        for (qsizetype i = 1; i < shown.size(); ++i)
            QVERIFY2(direction * compareSwedish(shown[i - 1][column], shown[i][column]) <= 0,
                qPrintable(shown[i - 1][column] + u'|' + shown[i][column]));
        const auto byNumber = [](const RegisterEntry &a, const RegisterEntry &b) {
            return a[CaseNumber].toInt() < b[CaseNumber].toInt();
        };
        QList<RegisterEntry> shownSet = shown;
        QList<RegisterEntry> expectedSet = expected;
        std::sort(shownSet.begin(), shownSet.end(), byNumber);
        std::sort(expectedSet.begin(), expectedSet.end(), byNumber);
        QCOMPARE(shownSet, expectedSet);
    }
}

namespace {

// Two register lines as the file holds them (Windows-1252, one plain, one quoted) and
// one case added later, so that every way a row is kept is searched.
CaseListModel *searchModel(QObject *parent)
{
    auto *model = new CaseListModel(parent);
    const QByteArray file = "201105 12,2020-11-05,1001,\xC5sa \xD6"
                            "berg,070-123 45 67,Normal,Nytt \xE4rende,{AAAA-0001},Anna Admin\r\n"
                            "\"201106 3\",\"2020-11-06\",\"99\",\"Per Andersson\",\"0701234568\",\"Br\xE5"
                            "dskande\",\"Under behandling\",\"{BBBB-0002}\",\"Bertil\"\r\n";
    model->setTable(caseregister::Table::fromBytes(file).value());
    model->appendEntry({ "201107 10", "2020-11-07", "100", "Émile Zorn", "(08) 55 66 77", "Normal",
        "Avslutad", "{CCCC-0003}", "Anna Admin" });
    return model;
}

QStringList shownNumbers(const CaseSortProxy &proxy)
{
    QStringList numbers;
    for (const RegisterEntry &entry : proxy.entriesInViewOrder())
        numbers.append(entry[CaseNumber]);
    return numbers;
}

} // namespace

void TestCaseListModel::searchMatchesWordsAcrossColumns_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("shown");
    const QStringList all = { "201105 12", "201106 3", "201107 10" };
    QTest::newRow("empty shows all") << "" << all;
    QTest::newRow("blanks only show all") << "   " << all;
    QTest::newRow("letter case ignored, Swedish letters too") << "ÅSA öBERG" << QStringList { "201105 12" };
    QTest::newRow("accents are not ignored") << "emile" << QStringList();
    QTest::newRow("accented word of an added row") << "émile" << QStringList { "201107 10" };
    QTest::newRow("words in different columns") << "anna avslutad" << QStringList { "201107 10" };
    QTest::newRow("every word must occur") << "anna bertil" << QStringList();
    QTest::newRow("control code") << "bbbb-0002" << QStringList { "201106 3" };
    QTest::newRow("inner blank of a case number") << "201105 12" << QStringList { "201105 12" };
    QTest::newRow("telephone typed without marks") << "0701234567" << QStringList { "201105 12" };
    QTest::newRow("telephone typed with other marks") << "070-1234568" << QStringList { "201106 3" };
    QTest::newRow("telephone typed in groups") << "070-123 45 67" << QStringList { "201105 12" };
    QTest::newRow("area code in parentheses") << "08556677" << QStringList { "201107 10" };
    QTest::newRow("start of a telephone") << "070 123" << QStringList { "201105 12", "201106 3" };
    QTest::newRow("digits of a date are no telephone") << "20201105" << QStringList();
    QTest::newRow("a word without a Windows-1252 form") << "Anna \u4e2d" << QStringList();
    QTest::newRow("quote and comma are ordinary characters") << "\",\"" << QStringList();
}

void TestCaseListModel::searchMatchesWordsAcrossColumns()
{
    QFETCH(QString, search);
    QFETCH(QStringList, shown);
    CaseListModel *model = searchModel(this);
    CaseSortProxy proxy;
    proxy.setCaseModel(model);
    proxy.setSearch(search);
    QCOMPARE(shownNumbers(proxy), shown);
    QCOMPARE(proxy.rowCount(), shown.size());
    QCOMPARE(proxy.entriesInListOrder().size(), 3);
    delete model;
}

void TestCaseListModel::searchFollowsSortAdditionsAndRemovals()
{
    CaseListModel *model = searchModel(this);
    CaseSortProxy proxy;
    proxy.setCaseModel(model);
    proxy.setSearch(QStringLiteral("anna"));
    QCOMPARE(shownNumbers(proxy), QStringList({ "201105 12", "201107 10" }));

    // Sorting orders the shown rows and keeps the hidden ones in the list order.
    proxy.sortBy(CustomerName, Qt::DescendingOrder);
    QCOMPARE(shownNumbers(proxy), QStringList({ "201105 12", "201107 10" })); // Åsa after Émile
    proxy.sortBy(CustomerName, Qt::AscendingOrder);
    QCOMPARE(shownNumbers(proxy), QStringList({ "201107 10", "201105 12" }));
    QCOMPARE(proxy.entriesInListOrder().at(1)[CaseNumber], QStringLiteral("201106 3")); // Per

    // An added case shows at its sorted place when it matches, and stays hidden otherwise.
    model->appendEntry(
        { "201108 1", "2020-11-08", "5", "Anna Bo", "0709", "Normal", "Nytt ärende", "{D}", "X" });
    model->appendEntry(
        { "201108 2", "2020-11-08", "6", "Bo Ek", "0708", "Normal", "Nytt ärende", "{E}", "X" });
    QCOMPARE(shownNumbers(proxy), QStringList({ "201108 1", "201107 10", "201105 12" }));
    QCOMPARE(proxy.entriesInListOrder().size(), 5);
    QCOMPARE(proxy.mapFromSource(model->index(4, 0)), QModelIndex()); // Bo Ek: hidden

    // Removing a shown row and a hidden one: the list order keeps every other case.
    model->removeEntry(0); // Åsa Öberg, shown
    model->removeEntry(3); // Bo Ek, hidden
    QCOMPARE(shownNumbers(proxy), QStringList({ "201108 1", "201107 10" }));
    QStringList everyName;
    for (const RegisterEntry &entry : proxy.entriesInListOrder())
        everyName.append(entry[CustomerName]);
    QCOMPARE(everyName, QStringList({ "Anna Bo", "Émile Zorn", "Per Andersson" }));
    for (int row = 0; row < proxy.rowCount(); ++row)
        QCOMPARE(proxy.mapFromSource(proxy.mapToSource(proxy.index(row, 3))).row(), row);

    // The search ends: every row shows again, in the sorted order.
    proxy.setSearch(QString());
    QCOMPARE(shownNumbers(proxy), QStringList({ "201108 1", "201107 10", "201106 3" }));
    delete model;
}

void TestCaseListModel::typingOnNarrowsToWhatAFreshSearchFinds()
{
    // Typing on searches only the rows left; taking a character back searches all again.
    // Either way the rows shown must be those a search from scratch shows, in order.
    QRandomGenerator random(1207);
    QByteArray file;
    for (int serial = 1; serial <= 300; ++serial) {
        RegisterEntry entry = randomEntry(random, serial);
        entry[Telephone] = QStringLiteral("07%1-%2 %3")
                               .arg(random.bounded(10))
                               .arg(random.bounded(100, 1000))
                               .arg(random.bounded(10, 100));
        file += random.bounded(2) ? caseregister::formatPlain(entry) : caseregister::formatQuoted(entry);
    }
    CaseListModel model;
    model.setTable(caseregister::Table::fromBytes(file).value());
    CaseSortProxy typed;
    typed.setCaseModel(&model);
    typed.sortBy(CustomerName, Qt::AscendingOrder);

    const QStringList typings = { "anna ek 07", "åsa 2", "0712 3", "07-1", "ö 1 2", "{1" };
    for (const QString &typing : typings) {
        for (qsizetype length = 0; length <= typing.size(); ++length) {
            const QString text = typing.left(length);
            typed.setSearch(text);
            CaseSortProxy fresh;
            fresh.setCaseModel(&model);
            fresh.sortBy(CustomerName, Qt::AscendingOrder);
            fresh.setSearch(text);
            QVERIFY2(typed.entriesInViewOrder() == fresh.entriesInViewOrder(), qPrintable(text));
        }
        for (qsizetype length = typing.size(); length >= 0; --length)
            typed.setSearch(typing.left(length));
        QCOMPARE(typed.rowCount(), model.rowCount());
    }
}

void TestCaseListModel::cellsShowTheStartOfAHugeField()
{
    // A 20 MB name, written by some other program, in a loaded line and an added one:
    // the cell shows its first 1,000 characters, the row keeps it whole.
    const QByteArray huge(20'000'000, 'x');
    Result<caseregister::Table> table = caseregister::Table::fromBytes(
        "\"1\",\"2024-01-05\",\"7\",\"" + huge + "\",\"\",\"\",\"\",\"{1}\",\"\"\r\n");
    QVERIFY(table.ok());
    CaseListModel model;
    model.setTable(table.takeValue());
    RegisterEntry added;
    added[CustomerName] = QString(5000, u'å');
    model.appendEntry(added);
    for (int row : { 0, 1 }) {
        const QString shown = model.data(model.index(row, CustomerName), Qt::DisplayRole).toString();
        QCOMPARE(shown.size(), qsizetype(1000));
        QVERIFY(model.text(row, CustomerName).startsWith(shown));
    }
    QCOMPARE(model.text(0, CustomerName).size(), qsizetype(huge.size()));
    QCOMPARE(model.data(model.index(0, CaseNumber), Qt::DisplayRole).toString(), QStringLiteral("1"));
}

namespace {

// A loaded register of random cases, many with equal names so that ties count.
caseregister::Table randomTable(QRandomGenerator &random, int count)
{
    QByteArray file;
    for (int serial = 1; serial <= count; ++serial) {
        const RegisterEntry entry = randomEntry(random, serial);
        file += random.bounded(2) ? caseregister::formatPlain(entry) : caseregister::formatQuoted(entry);
    }
    return caseregister::Table::fromBytes(file).value();
}

// The table as another desk's new cases make it grow: the same lines, more after them.
caseregister::Table grownTable(const caseregister::Table &table, QRandomGenerator &random, int added)
{
    QByteArray file;
    for (qsizetype row = 0; row < table.size(); ++row)
        file += table.rawLine(row).toByteArray() + "\r\n";
    for (int serial = 1; serial <= added; ++serial)
        file += caseregister::formatQuoted(randomEntry(random, 5000 + serial));
    return caseregister::Table::fromBytes(file).value();
}

// Lets the worker finish and hands over everything it posted, stale results included.
void settleWorker(const CaseSortProxy &proxy)
{
    QVERIFY(test::runUntil([&proxy]() { return !proxy.isSearchRunning(); }, 20000));
    workers()->waitForDone();
    QCoreApplication::sendPostedEvents();
}

} // namespace

void TestCaseListModel::keptOrdersEqualAFreshSort_data()
{
    QTest::addColumn<int>("backgroundFrom");
    QTest::addColumn<int>("grownBy"); // another desk's new cases, read on before the changes
    QTest::newRow("made at once") << 1'000'000 << 0;
    QTest::newRow("made on the worker after the load") << 0 << 0;
    QTest::newRow("register grew after the load") << 0 << 30;
}

void TestCaseListModel::keptOrdersEqualAFreshSort()
{
    // Every column's order is kept through additions and removals, never made anew:
    // it must stay what a sort from scratch of the rows as they now stand gives.
    QFETCH(int, backgroundFrom);
    QFETCH(int, grownBy);
    QRandomGenerator random(2412);
    CaseListModel model;
    CaseSortProxy kept;
    kept.setBackgroundFrom(backgroundFrom);
    kept.setCaseModel(&model);
    model.setTable(randomTable(random, 150));
    for (int column = 0; backgroundFrom > 0 && column < RegisterFieldCount; ++column)
        kept.sortBy(column, Qt::AscendingOrder);
    const auto allMade = [&kept, &model]() {
        for (int column = 0; column < RegisterFieldCount; ++column) {
            if (int(kept.keptOrder(column).size()) != model.rowCount())
                return false;
        }
        return true;
    };
    QVERIFY(test::runUntil(allMade, 20000));
    if (grownBy > 0) {
        QVERIFY(model.appendGrown(grownTable(model.table(), random, grownBy)));
        QVERIFY(test::runUntil(allMade, 20000));
    }

    int serial = 1000;
    for (int round = 0; round < 200; ++round) {
        if (random.bounded(3) == 0 && model.rowCount() > 0)
            model.removeEntry(random.bounded(model.rowCount()));
        else
            model.appendEntry(randomEntry(random, ++serial));
        for (int column = 0; column < RegisterFieldCount; ++column) {
            CaseSortProxy fresh;
            fresh.setCaseModel(&model);
            fresh.sortBy(column, Qt::AscendingOrder);
            QVERIFY2(kept.keptOrder(column) == fresh.keptOrder(column),
                qPrintable(QStringLiteral("round %1, column %2").arg(round).arg(column)));
            // Descending, the runs of equal texts keep register order: what the kept
            // order knows of where they begin must have followed the changes too.
            kept.sortBy(column, Qt::DescendingOrder);
            fresh.sortBy(column, Qt::DescendingOrder);
            QVERIFY2(kept.listRows() == fresh.listRows(),
                qPrintable(QStringLiteral("descending, round %1, column %2").arg(round).arg(column)));
        }
    }
}

void TestCaseListModel::placeBitsMoveAcrossWords()
{
    // Places inserted and erased anywhere, at and across the words' edges, must leave
    // the same bits as a plain vector given the same changes.
    QRandomGenerator random(2414);
    PlaceBits bits;
    std::vector<bool> plain;
    for (int step = 0; step < 4000; ++step) {
        const auto at = static_cast<std::size_t>(random.bounded(int(plain.size()) + 1));
        if (plain.size() < 200 && random.bounded(3) != 0) {
            const bool bit = random.bounded(2) == 1;
            bits.insert(at, bit);
            plain.insert(plain.begin() + std::ptrdiff_t(at), bit);
        } else if (!plain.empty()) {
            const std::size_t erased = std::min(at, plain.size() - 1);
            bits.erase(erased);
            plain.erase(plain.begin() + std::ptrdiff_t(erased));
        }
        QCOMPARE(bits.size(), plain.size());
        for (std::size_t i = 0; i < plain.size(); ++i)
            QVERIFY2(bits[i] == plain[i], qPrintable(QStringLiteral("step %1, place %2").arg(step).arg(i)));
    }
}

void TestCaseListModel::staleSearchesNeverReachTheList_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<int>("addedMeanwhile"); // cases added by this desk, or negative: grown
    QTest::newRow("typing on") << QStringList { "a", "an" } << false << 0;
    QTest::newRow("typing on, sorted") << QStringList { "a", "an" } << true << 0;
    QTest::newRow("a character taken back") << QStringList { "ann", "an" } << true << 0;
    QTest::newRow("emptied") << QStringList { "anna", "" } << false << 0;
    QTest::newRow("another word") << QStringList { "åsa", "per", "zorn" } << false << 0;
    QTest::newRow("a case added meanwhile") << QStringList { "anna" } << true << 1;
    QTest::newRow("another desk's cases read on meanwhile") << QStringList { "a", "an" } << true << -40;
}

void TestCaseListModel::staleSearchesNeverReachTheList()
{
    // Each keystroke's search runs on the worker and is done before the next key comes,
    // but its result still waits in the queue: only the last text may ever be shown.
    QFETCH(QStringList, typed);
    QFETCH(bool, sorted);
    QFETCH(int, addedMeanwhile);
    QRandomGenerator random(2413);
    CaseListModel model;
    CaseSortProxy proxy;
    proxy.setBackgroundFrom(0);
    proxy.setCaseModel(&model);
    model.setTable(randomTable(random, 400));
    if (sorted) {
        proxy.sortBy(CustomerName, Qt::AscendingOrder);
        QVERIFY(test::runUntil([&proxy]() { return proxy.sortColumn() == CustomerName; }, 20000));
    }
    QStringList shownTexts;
    connect(&proxy, &CaseSortProxy::searchShown, this, [&]() { shownTexts << proxy.searchText(); });
    for (const QString &text : std::as_const(typed)) {
        proxy.setSearch(text);
        workers()->waitForDone();
    }
    if (addedMeanwhile > 0)
        model.appendEntry(randomEntry(random, 9999));
    else if (addedMeanwhile < 0)
        QVERIFY(model.appendGrown(grownTable(model.table(), random, -addedMeanwhile)));
    settleWorker(proxy);

    QVERIFY(!shownTexts.isEmpty());
    for (const QString &text : std::as_const(shownTexts))
        QCOMPARE(text, typed.last());
    CaseSortProxy fresh;
    fresh.setCaseModel(&model);
    if (sorted)
        fresh.sortBy(CustomerName, Qt::AscendingOrder);
    fresh.setSearch(typed.last());
    QCOMPARE(proxy.entriesInViewOrder(), fresh.entriesInViewOrder());
}

void TestCaseListModel::takingBackShowsAKeptResultAtOnce()
{
    // Backspace and Escape come back to texts searched before: the rows show at once,
    // without a round on the worker, and are those a fresh search finds.
    QRandomGenerator random(2414);
    CaseListModel model;
    CaseSortProxy proxy;
    proxy.setBackgroundFrom(0);
    proxy.setCaseModel(&model);
    model.setTable(randomTable(random, 400));
    proxy.sortBy(CustomerName, Qt::DescendingOrder);
    QVERIFY(test::runUntil([&proxy]() { return proxy.sortColumn() == CustomerName; }, 20000));
    for (const char *text : { "a", "an", "ann" }) {
        proxy.setSearch(QString::fromUtf8(text));
        settleWorker(proxy);
    }
    for (const char *text : { "an", "", "a", "an" }) {
        proxy.setSearch(QString::fromUtf8(text));
        QVERIFY2(!proxy.isSearchRunning(), text);
        CaseSortProxy fresh;
        fresh.setCaseModel(&model);
        fresh.sortBy(CustomerName, Qt::DescendingOrder);
        fresh.setSearch(QString::fromUtf8(text));
        QVERIFY2(proxy.entriesInViewOrder() == fresh.entriesInViewOrder(), text);
    }
}

void TestCaseListModel::closingWhileTheWorkerRunsIsSafe()
{
    // The overview closes while a search and the orders are being made: the jobs end on
    // their own and what they post finds no list (the sanitizer build checks the rest).
    QRandomGenerator random(2415);
    auto *model = new CaseListModel;
    auto *proxy = new CaseSortProxy;
    proxy->setBackgroundFrom(0);
    proxy->setCaseModel(model);
    model->setTable(randomTable(random, 2000));
    proxy->sortBy(CustomerName, Qt::AscendingOrder);
    proxy->setSearch(QStringLiteral("anna"));
    QVERIFY(proxy->isSearchRunning());
    delete proxy;
    delete model;
    workers()->waitForDone();
    QCoreApplication::sendPostedEvents();
}

void TestCaseListModel::searchOfTheStoredLinesEqualsAPlainScan_data()
{
    // Lines made of few letters, so that words are found often and in every place a
    // line has: inside fields, across a quote and comma, after a closing quote, past
    // the ninth field, in capitals whose lower case lies outside ASCII (Š, Ÿ).
    QTest::addColumn<QByteArray>("letters");
    QTest::addColumn<QStringList>("searches");
    QTest::newRow("plain and quoted lines")
        << QByteArray("aAbB,\" ") << QStringList { "a", "ab", "ba", "aab", "bab a", "b,a", "\"", "a\"" };
    QTest::newRow("Windows-1252 capitals") << QByteArray("\xe5\xc5\x8a\x9a\x9f\xff"
                                                         "a,\"")
                                           << QStringList { "\u00e5", "\u0161\u00e5", "\u00ff", "\u0178a",
                                                  "a\u00e5 \u0161", "\u00e5\u00e5\u00e5" };
    QTest::newRow("telephones and digits")
        << QByteArray("0712-, \"") << QStringList { "07", "071", "07-12", "2-0", "712 07", "1,2" };
}

void TestCaseListModel::searchOfTheStoredLinesEqualsAPlainScan()
{
    // A long list searches the register table's bytes in place, a short one looks at
    // each column: both must find exactly the same rows, loaded and added ones alike.
    QFETCH(QByteArray, letters);
    QFETCH(QStringList, searches);
    QRandomGenerator random(2024);
    QByteArray file;
    for (int line = 0; line < 400; ++line) {
        const int length = random.bounded(1, 40);
        for (int i = 0; i < length; ++i)
            file += letters.at(random.bounded(int(letters.size())));
        file += "\r\n";
    }
    CaseListModel model;
    model.setTable(caseregister::Table::fromBytes(file).value());
    for (int i = 0; i < 20; ++i) {
        model.removeEntry(random.bounded(model.rowCount()));
        RegisterEntry entry;
        for (int column = 0; column < RegisterFieldCount; ++column)
            entry[column] = cp1252::decode(letters.mid(random.bounded(int(letters.size())), 3));
        model.appendEntry(entry);
    }
    const FoldedRows folded(model.snapshot());
    std::size_t found = 0;
    for (const QString &text : searches) {
        const CaseSearch search(text);
        std::vector<int> scanned;
        for (int row = 0; row < model.rowCount(); ++row) {
            if (search.matches(model, row))
                scanned.push_back(row);
        }
        QVERIFY2(*findRows(search, folded, {}) == scanned, qPrintable(text));
        found += scanned.size();
    }
    QVERIFY(found > 0);
}

QTEST_MAIN(TestCaseListModel)
#include "tst_caselistmodel.moc"
