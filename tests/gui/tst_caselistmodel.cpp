// The overview's model keeps loaded rows in the register table and rows added later
// beside it. Whatever mix of loads, additions and removals the window makes, every row
// must show the entry a plain list of entries would hold in its place, and the sort
// must put them in Swedish order.

#include "caselistmodel.h"
#include "caseregister.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using namespace lunora;

namespace {

RegisterEntry randomEntry(QRandomGenerator &random, int serial)
{
    static const char *const names[]
        = { "Åsa Öberg", "Anna Ek", "anna ek", "Örjan", "Ängla Holm", "Per", "Émile", "Zorn", "", " Bo" };
    RegisterEntry entry;
    entry[CaseNumber] = QString::number(serial);
    entry[Created] = QStringLiteral("2024-01-%1").arg(1 + random.bounded(28), 2, 10, QLatin1Char('0'));
    entry[CustomerName] = QString::fromUtf8(names[random.bounded(int(std::size(names)))]);
    entry[Priority] = random.bounded(2) ? QStringLiteral("Normal") : QStringLiteral("Brådskande");
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
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < RegisterFieldCount; ++column) {
                QCOMPARE(model.data(model.index(row, column)).toString(), expected[row][column]);
                QCOMPARE(model.textSize(row, column), expected[row][column].size());
            }
        }
        // The view shows every row once, in the order of the sort column.
        const QList<RegisterEntry> shown = proxy.entriesInViewOrder();
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

QTEST_MAIN(TestCaseListModel)
#include "tst_caselistmodel.moc"
