// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// The Swedish texts of Qt's own dialogs: Debian's catalogue and the program's own, and
// that every text the program's catalogue translates is one Qt really asks for.

#include "app/translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTest>
#include <QXmlStreamReader>

using namespace lunora;

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
    // Only in Debian's qt_sv.qm.
    QTest::newRow("qt_sv: file list column") << "QFileSystemModel"
                                             << "Date Modified"
                                             << "Ändringsdatum";
    // Only in the program's catalogue.
    QTest::newRow("own: standard button") << "QPlatformTheme"
                                          << "Cancel"
                                          << "Avbryt";
    QTest::newRow("own: file dialog") << "QFileDialog"
                                      << "Look in:"
                                      << "Leta i:";
    QTest::newRow("own: multi-line field menu") << "QWidgetTextControl"
                                                << "Cu&t"
                                                << "Klipp &ut";
    QTest::newRow("own: print preview") << "QPrintPreviewDialog"
                                        << "Zoom in"
                                        << "Zooma in";
    // In both: the program's own is asked first.
    QTest::newRow("own before qt_sv") << "QFileDialog"
                                      << "Parent Directory"
                                      << "Överordnad mapp";
    QTest::newRow("overwrite question") << "QFileDialog"
                                        << "%1 already exists.\nDo you want to replace it?"
                                        << "%1 finns redan.\nVill du ersätta den?";
}

void TestTranslations::qtTextsAreSwedish()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, swedish);
    if (context == u"QFileSystemModel"
        && !QFile::exists(translations::qtCatalogueFolder() + QStringLiteral("/qt_sv.qm")))
        QSKIP("qt6-translations-l10n is not installed");
    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()), swedish);
}

// A translation whose source differs by a letter from Qt's is never used. Every source
// of the catalogue must stand, as it is, in one of the Qt libraries the program loads.
void TestTranslations::everySourceIsOneOfQtsTexts()
{
    QByteArray libraries;
    for (const char *name : { "Core", "Gui", "Widgets", "PrintSupport" }) {
        QFile library(QLibraryInfo::path(QLibraryInfo::LibrariesPath)
            + QStringLiteral("/libQt6%1.so.6").arg(QLatin1String(name)));
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

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
