// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// The windows the overview's menus open beside the list: "Läget", which follows the
// case list as it changes, the administrators' message templates and the desk's SMS
// set-up; and the end of the program with every window.
#include "gui/caselist.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmLaget.h"
#include "gui/frmMeddelanden.h"
#include "gui/frmSmsInstallningar.h"
#include "gui/windowregistry.h"

#include <QApplication>
#include <QPointer>

namespace lunora {

namespace {
// A window of the program's own, not a menu or a tooltip that happens to be open.
bool isPlainWindow(const QWidget *window)
{
    return window->windowType() == Qt::Window || window->windowType() == Qt::Dialog;
}
} // namespace

void frmArendeList::showSituation()
{
    CaseList *list = WindowRegistry::caseList();
    if (!m_situation) {
        m_situation = WindowRegistry::get<frmLaget>();
        // The pictures follow what the list holds, which is what the register holds.
        auto follow = [this, list]() {
            if (m_situation)
                m_situation->setRegister(list->entries());
        };
        connect(list, &CaseList::reloaded, m_situation, follow);
        connect(list, &CaseList::caseAdded, m_situation, follow);
        connect(list, &CaseList::caseReplaced, m_situation, follow);
        connect(list, &CaseList::caseRemoved, m_situation, follow);
        connect(m_situation, &frmLaget::openCaseRequested, this,
            [](const RegisterEntry &entry) { frmArende::showCase(entry); });
    }
    m_situation->setRegister(list->entries());
    WindowRegistry::show<frmLaget>();
}

void frmArendeList::showMessageTemplates()
{
    WindowRegistry::show<frmMeddelanden>()->reload();
}

void frmArendeList::showSmsSettings()
{
    WindowRegistry::show<frmSmsInstallningar>();
}

// The case window asks about unsaved work or its closing question first, as its "Stäng"
// does; an answer that keeps it open keeps the program running. Then the other windows
// go, and the overview closes as its own "Stäng" closes it, which ends the program.
void frmArendeList::quitProgram()
{
    // The program ends only after a register write under way, never half way through it.
    if (m_cases->isWriting()) {
        closeAfterWrites([this] { quitProgram(); });
        return;
    }
    if (auto *caseWindow = WindowRegistry::find<frmArende>(); caseWindow && caseWindow->isVisible()) {
        // Once it has closed (after a save, which may be written on a worker), the rest.
        caseWindow->askAndClose([self = QPointer<frmArendeList>(this)]() {
            if (self)
                self->quitProgram();
        });
        return;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window != this && window->isVisible() && isPlainWindow(window) && !window->close())
            return;
    }
    close();
}

} // namespace lunora
