// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The label dialog and the print after a new case is saved: what reaches the label
// printer (a PDF file in its place), the case's history and the desk's settings.
#include "gui/frmEtikett.h"
#include "gui/frmEtikettskrivare.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "printing/label.h"
#include "printing/qprinterdevice.h"
#include "storage/casehistory.h"
#include "storage/datafolder.h"
#include "storage/desksettings.h"
#include "support_guifixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {
const QString Printer = QStringLiteral("QL-800");

int pdfPages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), { pdf });
    if (!process.waitForFinished(30000))
        return -1;
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

QStringList historyEvents(const QString &controlCode)
{
    QStringList events;
    const Result<QList<HistoryEntry>> history = casehistory::load(paths::historyFile(controlCode).value());
    for (const HistoryEntry &entry : history.value())
        events << entry.event;
    return events;
}
} // namespace

class TestLabelDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void printOutcome_data();
    void printOutcome();
    void choosingAPrinterEndsThePdfOffer();

private:
    std::unique_ptr<TestDataFolder> m_data;
    QStringList m_printed; // the PDF file of each job that reached the label printer
    bool m_installed = true;
};

void TestLabelDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestLabelDialog::init()
{
    QFile::remove(desksettings::filePath());
    m_data = std::make_unique<TestDataFolder>();
    writeCases(*m_data, { CaseA });
    m_printed.clear();
    m_installed = true;
    setLabelPrinterForTesting([this](const QString &name) -> std::unique_ptr<PrintDevice> {
        if (!m_installed || name != Printer)
            return nullptr;
        m_printed << m_data->file(QStringLiteral("etikett%1.pdf").arg(m_printed.size() + 1));
        return std::make_unique<QPrinterDevice>(m_printed.last());
    });
    startWindowTest();
}

void TestLabelDialog::cleanup()
{
    setLabelPrinterForTesting({});
    WindowRegistry::closeAll();
    m_data.reset();
}

void TestLabelDialog::printOutcome_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("newCase"); // printed after "Spara", not through the dialog
    QTest::addColumn<bool>("option");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("pages");
    QTest::newRow("dialog") << true << false << false << QString() << 3;
    QTest::newRow("dialog, printer gone")
        << false << false << false << "Etikettskrivaren QL-800 finns inte på denna dator!" << 0;
    QTest::newRow("new case, option on") << true << true << true << QString() << 2;
    QTest::newRow("new case, option off") << true << true << false << QString() << 0;
    QTest::newRow("new case, printer gone")
        << false << true << true << "Etikettskrivaren QL-800 finns inte på denna dator!" << 0;
}

void TestLabelDialog::printOutcome()
{
    QFETCH(bool, installed);
    QFETCH(bool, newCase);
    QFETCH(bool, option);
    QFETCH(QString, message);
    QFETCH(int, pages);
    QVERIFY(saveLabelSettings({ Printer, 62, 29, 2, option }).ok());
    m_installed = installed;
    const LabelData data = labelDataOf(CaseA, {});

    if (newCase) {
        QCOMPARE(printLabelsForNewCase(nullptr, data), pages > 0);
    } else {
        auto *dialog = WindowRegistry::show<frmEtikett>();
        dialog->showLabel(data);
        child<QSpinBox>(dialog, "txtAntal")->setValue(3);
        QTest::mouseClick(child<QPushButton>(dialog, "cmdSkrivUt"), Qt::LeftButton);
        // The dialog closes after a print, and stays for another try after a failure.
        QCOMPARE(WindowRegistry::find<frmEtikett>() != nullptr && dialog->isVisible(), pages == 0);
        QCOMPARE(loadLabelSettings().count, 3);
    }

    QCOMPARE(m_printed.size(), pages > 0 ? 1 : 0);
    if (pages > 0)
        QCOMPARE(pdfPages(m_printed.first()), pages);
    const QStringList history = historyEvents(CaseA[ControlCode]);
    QCOMPARE(history, pages > 0 ? QStringList { casehistory::labelsPrinted(pages) } : QStringList());
    if (message.isEmpty()) {
        QVERIFY(MessageBox::shown().isEmpty());
    } else {
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Etikettskrivare saknas"));
        QCOMPARE(MessageBox::shown().first().text, message);
    }
}

void TestLabelDialog::choosingAPrinterEndsThePdfOffer()
{
    auto *dialog = WindowRegistry::show<frmEtikett>();
    dialog->showLabel(labelDataOf(CaseA, {}));
    auto *print = child<QPushButton>(dialog, "cmdSkrivUt");
    auto *pdf = child<QPushButton>(dialog, "cmdPdf");
    QVERIFY(!print->isEnabled());
    QVERIFY(pdf->isVisible());
    QVERIFY(!child<QCheckBox>(dialog, "chkNyttArende")->isEnabled());
    // A PDF that could not be written is no printout; one that was is noted as the
    // sheet's PDF is, in the label's words.
    QVERIFY(!dialog->savePdf(m_data->file(QStringLiteral("saknas/Etikett.pdf"))));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(historyEvents(CaseA[ControlCode]).isEmpty());
    const QString file = m_data->file(QStringLiteral("Etikett 101215 4711.pdf"));
    QVERIFY(dialog->savePdf(file));
    QCOMPARE(pdfPages(file), 1);
    QCOMPARE(
        historyEvents(CaseA[ControlCode]), QStringList { QStringLiteral("Etikett sparad som PDF (1 st)") });

    QTest::mouseClick(child<QPushButton>(dialog, "cmdEtikettskrivare"), Qt::LeftButton);
    auto *picker = child<frmEtikettskrivare>(dialog, "frmEtikettskrivare");
    picker->setPrinterNames({ QStringLiteral("Kontorsskrivare"), Printer });
    child<QComboBox>(picker, "cboSkrivare")->setCurrentText(Printer);
    child<QComboBox>(picker, "cboStorlek")->setCurrentIndex(3);
    QTest::mouseClick(child<QPushButton>(picker, "cmdOK"), Qt::LeftButton);

    QVERIFY(print->isEnabled());
    QVERIFY(!pdf->isVisible());
    auto *option = child<QCheckBox>(dialog, "chkNyttArende");
    QVERIFY(option->isEnabled());
    option->setChecked(true);
    const LabelSettings saved = loadLabelSettings();
    QCOMPARE(saved.printer, Printer);
    QCOMPARE(saved.width, 102.0);
    QCOMPARE(saved.height, 51.0);
    QVERIFY(saved.printOnNewCase);
}

QTEST_MAIN(TestLabelDialog)
#include "tst_labeldialog.moc"
