// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "support_guifixture.h"

#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/datafolder.h"
#include "storage/session.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocale>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace lunora::test {

void missingChild(const char *name)
{
    qFatal("no child %s", name);
}

void startWindowTest()
{
    // Closed windows remember their place in the desk's settings file: never in the file
    // of whoever runs the tests, where the next test would find it too.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();
    session::signOut();
}

frmArende *openCase(const RegisterEntry &entry)
{
    auto *window = WindowRegistry::get<frmArende>();
    session::signIn({ session::user().userId, QStringLiteral("Anna Ek"), session::user().index });
    window->openExistingCase(entry);
    WindowRegistry::show<frmArende>();
    return window;
}

bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void selectEntry(frmArendeList *overview, const RegisterEntry &entry)
{
    int row = 0;
    while (overview->entryAt(row) != entry)
        ++row;
    QTableView *list = overview->listView();
    list->setCurrentIndex(list->model()->index(row, 0));
    list->selectRow(row);
}

} // namespace lunora::test
