// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "sheetfixture.h"
#include "storage/datafolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace lunora::test {

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}
} // namespace

SheetFixture::SheetFixture()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Lib/Logo"));
    DataFolder::setRoot(m_dir.path());
    writeCompanyFile(companyFile());
    writeLogo(240, 96);
}

SheetFixture::~SheetFixture()
{
    DataFolder::setRoot(QString());
}

void SheetFixture::writeCompanyFile(const QByteArray &bytes)
{
    writeFile(paths::companyFile(), bytes);
}

void SheetFixture::writeLogo(int width, int height)
{
    QImage logo(width, height, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.fillRect(QRect(0, 0, width / 3, height), QColor(0, 70, 140));
    painter.fillRect(QRect(width / 3, height / 3, width * 2 / 3, height / 3), QColor(230, 170, 0));
    painter.end();
    logo.save(paths::logoFile(), "BMP");
}

void SheetFixture::writeLogoBytes(const QByteArray &bytes)
{
    writeFile(paths::logoFile(), bytes);
}

void SheetFixture::removeLogo()
{
    QFile::remove(paths::logoFile());
}

void SheetFixture::removeLib()
{
    QDir(m_dir.path() + QStringLiteral("/Lib")).removeRecursively();
}

CaseSheetData SheetFixture::caseData(int rowCount)
{
    CaseSheetData data;
    data.caseNumber = QStringLiteral("101215 4711");
    data.created = QStringLiteral("2010-12-15");
    data.controlCode = QStringLiteral("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}");
    data.signature = QStringLiteral("Åsa Öberg");
    data.customerNumber = QStringLiteral("K-1001");
    data.customerName = QStringLiteral("Nils Ärlig");
    data.telephone = QStringLiteral("08-123456");
    data.priority = QStringLiteral("Brådskande");
    data.status = QStringLiteral("Under behandling");
    data.sumLabel = QStringLiteral("Att betala");
    data.sumText = QStringLiteral("125,00");
    data.columnCaptions
        = QStringList { QStringLiteral("Artikel nr"), QStringLiteral("Benämning"), QStringLiteral("Kvant"),
              QStringLiteral("Enh"), QStringLiteral("Enhetspris"), QStringLiteral("Summa") };
    data.columnWidths = { 2540, 6703, 1764, 1235, 2470, 2470 };
    for (int i = 0; i < rowCount; ++i) {
        data.rows.append({ QStringLiteral("ART%1").arg(i + 1, 3, 10, QLatin1Char('0')),
            QStringLiteral("Reservdel%1").arg(i + 1), QStringLiteral("1"), QStringLiteral("st"),
            QStringLiteral("62,50"), QStringLiteral("62,50") });
    }
    return data;
}

QByteArray SheetFixture::companyFile()
{
    return QByteArray("[Main]\r\nRad1=Cykelverkstan i Sm\xe5stad AB\r\nRad2=Storgatan 1\r\n"
                      "Rad3=123 45 Sm\xe5stad\r\nRad4=Tel 0123-456 78\r\n");
}

QStringList SheetFixture::companyLines()
{
    return { QStringLiteral("Cykelverkstan i Småstad AB"), QStringLiteral("Storgatan 1"),
        QStringLiteral("123 45 Småstad"), QStringLiteral("Tel 0123-456 78") };
}

} // namespace lunora::test
