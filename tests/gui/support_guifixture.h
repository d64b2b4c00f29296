// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

// What the window tests share: a data folder of their own, the files' bytes, the
// controls of a window by object name, the cases they open, and an event loop that
// lets the windows' 1-ms timers tick as they do in the running program.

#include "common/testsupport.h"
#include "storage/records.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace lunora {
class frmArende;
class frmArendeList;
} // namespace lunora

namespace lunora::test {

[[noreturn]] void missingChild(const char *name);

// The control of a window by its object name; the test ends when there is none.
template <typename W = QWidget> W *child(QObject *window, const char *name)
{
    W *found = window->findChild<W *>(QString::fromLatin1(name));
    if (!found)
        missingChild(name);
    return found;
}

// The start of a window test: message boxes answered automatically and none shown yet,
// the case window's session as after start-up.
void startWindowTest();

// The case window showing an existing case, opened by "Anna Ek".
frmArende *openCase(const RegisterEntry &entry);
// Makes a window the active one, as a click on it would; offscreen and a bare X server
// have no window manager to hand the focus on.
bool activate(QWidget *window);
// Makes the overview's row of a loaded case the current and selected one.
void selectEntry(frmArendeList *overview, const RegisterEntry &entry);

} // namespace lunora::test
