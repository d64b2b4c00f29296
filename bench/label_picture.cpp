// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// Not a benchmark: writes the label of one case of a data folder to a PDF, for the
// picture in docs/ (scripts/take-label-picture).
// Usage: label_picture DATA-FOLDER CASE-NUMBER OUT.pdf [WIDTH HEIGHT]  (millimetres)

#include "printing/label.h"
#include "storage/caseregister.h"
#include "storage/datafolder.h"
#include "storage/notesfile.h"

#include <QGuiApplication>
#include <cstdio>

using namespace lunora;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: label_picture DATA-FOLDER CASE-NUMBER OUT.pdf [WIDTH HEIGHT]\n");
        return 2;
    }
    DataFolder::setRoot(QString::fromLocal8Bit(argv[1]));
    const QString caseNumber = QString::fromLocal8Bit(argv[2]);
    LabelSize size;
    if (argc == 6)
        size = { QString::fromLocal8Bit(argv[4]).toDouble(), QString::fromLocal8Bit(argv[5]).toDouble() };
    const Result<QList<RegisterEntry>> entries = caseregister::load(paths::caseRegister());
    if (!entries) {
        std::fprintf(stderr, "label_picture: the case register cannot be read\n");
        return 1;
    }
    for (const RegisterEntry &entry : entries.value()) {
        if (entry[CaseNumber] != caseNumber)
            continue;
        CaseNotes notes;
        if (const Result<QString> path = paths::notesFile(entry[ControlCode]); path.ok()) {
            if (Result<CaseNotes> loaded = notesfile::load(path.value()); loaded.ok())
                notes = loaded.takeValue();
        }
        const Status printed
            = printLabelsToPdf(QString::fromLocal8Bit(argv[3]), labelDataOf(entry, notes), size, 1);
        return printed.ok() ? 0 : 1;
    }
    std::fprintf(stderr, "label_picture: no case %s\n", argv[2]);
    return 1;
}
