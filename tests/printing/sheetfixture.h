// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include "printing/casesheet.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lunora::test {

// A data folder with Lib, Lib/Logo, a company file and a logo, and a case to print.
class SheetFixture
{
public:
    SheetFixture();
    ~SheetFixture();

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }

    void writeCompanyFile(const QByteArray &bytes);
    void writeLogo(int width, int height);
    void writeLogoBytes(const QByteArray &bytes);
    void removeLogo();
    void removeLib();

    // A case as the case window shows it, with rowCount article rows.
    static CaseSheetData caseData(int rowCount = 2);
    // The company file's four lines, in Windows-1252.
    static QByteArray companyFile();
    static QStringList companyLines();

private:
    QTemporaryDir m_dir;
};

} // namespace lunora::test
