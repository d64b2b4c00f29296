// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// The Swedish texts of Qt's own dialogs: Debian's catalogue and the program's own, the
// print dialogs as they show them, and that every text the program's catalogue
// translates is one Qt really asks for.

#include "app/translations.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <QXmlStreamReader>
#include <memory>

using namespace lunora;

namespace {

// The texts a dialog's own widgets show: labels, buttons and group titles.
QStringList shownTexts(const QWidget &dialog)
{
    QStringList texts;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        texts << label->text();
    for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
        texts << button->text();
    for (const QGroupBox *group : dialog.findChildren<QGroupBox *>())
        texts << group->title();
    return texts;
}

} // namespace

class TestTranslations final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qtTextsAreSwedish_data();
    void qtTextsAreSwedish();
    void everySourceIsOneOfQtsTexts();
};

void TestTranslations::initTestCase()
{
    translations::installSwedish();
}

void TestTranslations::qtTextsAreSwedish_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("swedish");
    // The Qt dialog that must show the text, built for real: the text's context is the
    // class that asks for it (a form's own class), which only the dialog can prove.
    QTest::addColumn<QString>("dialog");
    // Only in Debian's qt_sv.qm.
    QTest::newRow("qt_sv: file list column") << "QFileSystemModel"
                                             << "Date Modified"
                                             << "Ändringsdatum" << QString();
    // Only in the program's catalogue.
    QTest::newRow("own: standard button") << "QPlatformTheme"
                                          << "Cancel"
                                          << "Avbryt" << QString();
    QTest::newRow("own: file dialog") << "QFileDialog"
                                      << "Look in:"
                                      << "Leta i:" << QString();
    QTest::newRow("own: multi-line field menu") << "QWidgetTextControl"
                                                << "Cu&t"
                                                << "Klipp &ut" << QString();
    QTest::newRow("own: print preview") << "QPrintPreviewDialog"
                                        << "Zoom in"
                                        << "Zooma in" << QString();
    // In both: the program's own is asked first.
    QTest::newRow("own before qt_sv") << "QFileDialog"
                                      << "Parent Directory"
                                      << "Överordnad mapp" << QString();
    QTest::newRow("overwrite question") << "QFileDialog"
                                        << "%1 already exists.\nDo you want to replace it?"
                                        << "%1 finns redan.\nVill du ersätta den?" << QString();
    // Shown by the dialogs of the print preview's toolbar, over qt_sv's own wording.
    QTest::newRow("page setup") << "QPageSetupWidget"
                                << "Page size:"
                                << "Pappersstorlek:"
                                << "QPageSetupDialog";
    QTest::newRow("print dialog") << "QPrintSettingsOutput"
                                  << "Print range"
                                  << "Utskriftsområde"
                                  << "QPrintDialog";
}

void TestTranslations::qtTextsAreSwedish()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, swedish);
    QFETCH(QString, dialog);
    if (context == u"QFileSystemModel"
        && !QFile::exists(translations::qtCatalogueFolder() + QStringLiteral("/qt_sv.qm")))
        QSKIP("qt6-translations-l10n is not installed");
    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()), swedish);
    if (dialog.isEmpty())
        return;
    // A machine without printers gives a PDF printer; the dialogs build the same widgets.
    QPrinter printer;
    std::unique_ptr<QDialog> shown;
    if (dialog == u"QPageSetupDialog")
        shown = std::make_unique<QPageSetupDialog>(&printer);
    else
        shown = std::make_unique<QPrintDialog>(&printer);
    const QStringList texts = shownTexts(*shown);
    QVERIFY2(texts.contains(swedish), qPrintable(texts.join(u'|')));
}

// A translation whose source differs by a letter from Qt's is never used. Every source
// of the catalogue must stand, as it is, in one of the Qt libraries the program loads
// or in the CUPS plugin, which asks for a printer's login.
void TestTranslations::everySourceIsOneOfQtsTexts()
{
    QStringList files;
    for (const char *name : { "Core", "Gui", "Widgets", "PrintSupport" }) {
        files << QLibraryInfo::path(QLibraryInfo::LibrariesPath)
                + QStringLiteral("/libQt6%1.so.6").arg(QLatin1String(name));
    }
    files << QLibraryInfo::path(QLibraryInfo::PluginsPath)
            + QStringLiteral("/printsupport/libcupsprintersupport.so");
    QByteArray libraries;
    for (const QString &file : files) {
        QFile library(file);
        QVERIFY2(library.open(QIODevice::ReadOnly), qPrintable(library.fileName()));
        libraries += library.readAll();
    }
    QFile catalogue(qEnvironmentVariable("LUNORA_SOURCE_DIR") + QStringLiteral("/resources/lunora_sv.ts"));
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    QXmlStreamReader ts(&catalogue);
    int sources = 0;
    while (!ts.atEnd()) {
        if (ts.readNext() == QXmlStreamReader::StartElement && ts.name() == u"source") {
            const QByteArray source = ts.readElementText().toUtf8();
            QVERIFY2(libraries.contains(source + '\0'), source.constData());
            ++sources;
        }
    }
    QVERIFY(!ts.hasError());
    QVERIFY(sources > 50);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
