// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Not a benchmark: writes the case sheet of one case of a data folder to a PDF through
// the case window's own "Spara som PDF…" path, for the pictures in docs/
// (scripts/take-sheet-picture, scripts/take-continuation-picture).
// Usage: sheet_picture DATA-FOLDER CASE-NUMBER OUT.pdf

#include "gui/frmArende.h"
#include "gui/windowregistry.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/session.h"

#include <QApplication>
#include <QLocale>
#include <cstdio>

using namespace lunora;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: sheet_picture DATA-FOLDER CASE-NUMBER OUT.pdf\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    DataFolder::setRoot(QString::fromLocal8Bit(argv[1]));
    const QString caseNumber = QString::fromLocal8Bit(argv[2]);
    const Result<QList<RegisterEntry>> entries = caseregister::load(paths::caseRegister());
    if (!entries) {
        std::fprintf(stderr, "sheet_picture: the case register cannot be read\n");
        return 1;
    }
    for (const RegisterEntry &entry : entries.value()) {
        if (entry[CaseNumber] != caseNumber)
            continue;
        auto *window = WindowRegistry::get<frmArende>();
        session::signIn({ session::user().userId, entry[Signature], session::user().index });
        window->openExistingCase(entry);
        WindowRegistry::show<frmArende>();
        app.processEvents();
        const bool saved = window->savePdf(QString::fromLocal8Bit(argv[3]));
        WindowRegistry::closeAll();
        return saved ? 0 : 1;
    }
    std::fprintf(stderr, "sheet_picture: no case %s\n", argv[2]);
    return 1;
}
