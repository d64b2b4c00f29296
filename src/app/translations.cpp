// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace lunora::translations {

QString qtCatalogueFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

void installSwedish()
{
    // The catalogue installed last is asked first, so the program's own comes after
    // Qt's and can mend single texts of it.
    auto *qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qt_sv"), qtCatalogueFolder()))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    auto *own = new QTranslator(QCoreApplication::instance());
    if (own->load(QStringLiteral(":/i18n/lunora_sv.qm")))
        QCoreApplication::installTranslator(own);
    else
        delete own;
}

} // namespace lunora::translations
