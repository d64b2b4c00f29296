// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QString>

// The Swedish texts of Qt's own dialogs, menus and buttons (the file dialog, a text
// field's context menu, the print preview, the standard buttons).
namespace lunora::translations {

// Installs Debian's Qt catalogue qt_sv.qm and, on top of it, the program's own
// lunora_sv.qm for what that old catalogue lacks or words oddly. Call it once, after
// the application object exists. A missing Qt catalogue leaves those texts English and
// stops nothing.
void installSwedish();

// Where Qt's own catalogues lie (Debian: /usr/share/qt6/translations).
QString qtCatalogueFolder();

} // namespace lunora::translations
