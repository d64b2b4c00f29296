// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Looking at the case sheet before it goes to paper, and keeping it as a PDF file: both
// from the case window's Arkiv menu, both without any printer.

#include "gui/frmArende.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/casefiles.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "support_guifixture.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lunora;
using namespace lunora::test;

namespace {
QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

class TestSheetPreview final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuHoldsBothEntriesAfterThePrintout();
    void previewShowsTheSheetWithoutPrinter();
    void previewReportsAnUnreadableSheet();
    void pdfHoldsTheSheetAsText();
    void pdfIsOfferedUnderTheCaseNumber();
    void pdfIsProposedInAFolderThatExists_data();
    void pdfIsProposedInAFolderThatExists();
    void failedPdfNamesTheFileAndTheReason_data();
    void failedPdfNamesTheFileAndTheReason();

private:
    std::unique_ptr<TestDataFolder> m_data;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestSheetPreview::initTestCase()
{
    useSwedishLocale();
    QStandardPaths::setTestModeEnabled(true);
}

void TestSheetPreview::init()
{
    m_data = std::make_unique<TestDataFolder>();
    m_out = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid() && m_out->isValid());
    writeBytes(paths::companyFile(), "[Main]\r\nRad1=Verkstan AB\r\nRad2=Storgatan 1\r\nMOMS=25\r\n");
    QImage logo(96, 48, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    QVERIFY(logo.save(paths::logoFile(), "BMP"));
    QVERIFY(caseregister::rewrite(paths::caseRegister(), { CaseA }).ok());
    QVERIFY(articlefile::appendRow(paths::articleFile(CaseA[ControlCode]).value(),
        rowOf({ "17", "Skruv rostfri", "2", "st", "239,50", "479,00" }))
                .ok());
    startWindowTest();
}

void TestSheetPreview::cleanup()
{
    WindowRegistry::closeAll();
    m_data.reset();
    m_out.reset();
}

void TestSheetPreview::menuHoldsBothEntriesAfterThePrintout()
{
    frmArende *window = openCase(CaseA);
    auto *arkiv = child<QMenu>(window, "mnuArkiv");
    QStringList captions;
    for (QAction *action : arkiv->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text().remove(u'&'));
    QCOMPARE(captions.mid(0, 5),
        QStringList({ "Nytt ärende", "-", "Skriv ut", "Förhandsgranska…", "Spara som PDF…" }));
    QCOMPARE(captions.last(), QStringLiteral("Stäng"));
    QCOMPARE(child<QAction>(window, "mnuForhandsgranska")->shortcut(),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
}

void TestSheetPreview::previewShowsTheSheetWithoutPrinter()
{
    frmArende *window = openCase(CaseA);
    child<QAction>(window, "mnuForhandsgranska")->trigger();
    QPointer<QPrintPreviewDialog> dialog
        = window->findChild<QPrintPreviewDialog *>(QStringLiteral("dlgForhandsgranska"));
    QVERIFY(dialog);
    QVERIFY(runUntil([&dialog]() { return dialog && dialog->isVisible(); }, 10000));
    auto *widget = dialog->findChild<QPrintPreviewWidget *>();
    QVERIFY(widget);
    QVERIFY(runUntil([widget]() { return widget->pageCount() == 1; }, 10000));
    QCOMPARE(dialog->printer()->pageLayout().pageSize().id(), QPageSize::A4);
    QVERIFY(MessageBox::shown().isEmpty());
    // The picture in the documentation is taken here, from the real dialog.
    if (const QString folder = qEnvironmentVariable("LUNORA_SCREENSHOTS"); !folder.isEmpty()) {
        dialog->resize(900, 1000);
        QTest::qWait(200);
        dialog->grab().save(QDir(folder).filePath(QStringLiteral("preview.png")));
    }
    // Closing the case window takes the preview with it.
    window->close();
    QVERIFY(runUntil([&dialog]() { return !dialog || !dialog->isVisible(); }, 5000));
}

void TestSheetPreview::previewReportsAnUnreadableSheet()
{
    frmArende *window = openCase(CaseA);
    QVERIFY(QFile::remove(paths::logoFile()));
    child<QAction>(window, "mnuForhandsgranska")->trigger();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Utskrift"));
    QVERIFY(!window->findChild<QPrintPreviewDialog *>());
}

void TestSheetPreview::pdfHoldsTheSheetAsText()
{
    frmArende *window = openCase(CaseA);
    const QString pdf = m_out->filePath(QStringLiteral("Ärende 101215 4711.pdf"));
    QVERIFY(window->savePdf(pdf));
    const QString text = pdfText(pdf);
    QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
    for (const char *expected : { "Verkstan AB", "Ärendedata", "101215 4711", "Anna Andersson",
             "Skruv rostfri", "479,00 kr", "varav moms 25 %: 95,80 kr", "Ärendet avslutat" })
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

    // A sheet that cannot be drawn leaves no file and says so.
    QVERIFY(QFile::remove(paths::logoFile()));
    const QString failed = m_out->filePath(QStringLiteral("trasig.pdf"));
    QVERIFY(!window->savePdf(failed));
    QVERIFY(!QFile::exists(failed));
    QCOMPARE(MessageBox::shown().size(), 1);
}

void TestSheetPreview::pdfIsOfferedUnderTheCaseNumber()
{
    frmArende *window = openCase(CaseA);
    child<QAction>(window, "mnuSparaPdf")->trigger();
    auto *dialog = window->findChild<QFileDialog *>(QStringLiteral("dlgSparaPdf"));
    QVERIFY(dialog);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(
        QFileInfo(dialog->selectedFiles().value(0)).fileName(), QStringLiteral("Ärende 101215 4711.pdf"));
    // Choosing a file writes the sheet there.
    const QString pdf = m_out->filePath(QStringLiteral("vald.pdf"));
    emit dialog->fileSelected(pdf);
    QVERIFY(pdfText(pdf).contains(QStringLiteral("Anna Andersson")));
    dialog->close();
}

void TestSheetPreview::pdfIsProposedInAFolderThatExists_data()
{
    // What stands at ~/Documents in a home of the test's own.
    QTest::addColumn<QString>("documents"); // "folder", "file" or nothing
    QTest::addColumn<QString>("expected"); // below the home folder
    QTest::newRow("documents folder") << "folder"
                                      << "Documents";
    QTest::newRow("no documents folder") << ""
                                         << "";
    QTest::newRow("a file named Documents") << "file"
                                            << "";
}

void TestSheetPreview::pdfIsProposedInAFolderThatExists()
{
    QFETCH(QString, documents);
    QFETCH(QString, expected);
    const TemporaryHome home;
    QVERIFY(home.isValid());
    if (documents == u"folder")
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("Documents")));
    else if (documents == u"file")
        writeBytes(home.file(QStringLiteral("Documents")), "x");
    frmArende *window = openCase(CaseA);
    const QString proposed = window->defaultPdfPath();
    QVERIFY2(QDir::isAbsolutePath(proposed), qPrintable(proposed));
    QCOMPARE(proposed,
        QDir(QDir(home.path()).filePath(expected)).filePath(QStringLiteral("Ärende 101215 4711.pdf")));
}

void TestSheetPreview::failedPdfNamesTheFileAndTheReason_data()
{
    QTest::addColumn<QString>("file"); // below the output folder, which holds fil.txt and skyddad/
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder missing") << "saknas/ärende.pdf"
                                    << "filen eller mappen finns inte";
    QTest::newRow("a file for a folder") << "fil.txt/ärende.pdf"
                                         << "en del av sökvägen är ingen mapp";
    QTest::newRow("read-only folder") << "skyddad/ärende.pdf"
                                      << "åtkomst nekad";
}

void TestSheetPreview::failedPdfNamesTheFileAndTheReason()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    if (file.startsWith(u"skyddad") && runningAsRoot())
        QSKIP("root writes into a read-only folder");
    writeBytes(m_out->filePath(QStringLiteral("fil.txt")), "x");
    QVERIFY(QDir(m_out->path()).mkdir(QStringLiteral("skyddad")));
    QVERIFY(QFile::setPermissions(
        m_out->filePath(QStringLiteral("skyddad")), QFile::ReadOwner | QFile::ExeOwner));
    const QString pdf = m_out->filePath(file);
    QVERIFY(!openCase(CaseA)->savePdf(pdf));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(MessageBox::shown().size(), 1);
    const QString text = MessageBox::shown().first().text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(pdf) + QStringLiteral(" kunde inte skrivas: ") + reason)
            && !text.contains(QStringLiteral("skrivare"), Qt::CaseInsensitive),
        qPrintable(text));
}

QTEST_MAIN(TestSheetPreview)
#include "tst_sheetpreview.moc"
