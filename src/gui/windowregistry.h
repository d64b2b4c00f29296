// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace lunora {

class CaseList;

// Every window exists at most once and is reached by its name. get() creates a window
// hidden (its constructor is its load step) when it does not exist; show() also puts
// it on the screen and brings it forward. Windows delete themselves when closed, and a
// closed window is created afresh by the next get().
class WindowRegistry
{
public:
    template <typename W> static W *find()
    {
        return qobject_cast<W *>(lookup(QString::fromLatin1(W::staticMetaObject.className())));
    }

    template <typename W> static W *get()
    {
        if (W *existing = find<W>())
            return existing;
        auto *created = new W();
        enroll(created);
        return created;
    }

    template <typename W> static W *show()
    {
        W *window = get<W>();
        bringForward(window);
        return window;
    }

    static void bringForward(QWidget *window);
    // Closes and forgets every window and the case list (tests use it between cases).
    static void closeAll();

    // The one case list the windows share; made when first asked for.
    static CaseList *caseList();

private:
    static QWidget *lookup(const QString &name);
    static void enroll(QWidget *window);
};

} // namespace lunora
