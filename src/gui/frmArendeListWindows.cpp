// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// The windows the overview's menus open beside the list: "Läget", which follows the
// case list as it changes, and the administrators' message templates.
#include "gui/caselist.h"
#include "gui/frmArende.h"
#include "gui/frmArendeList.h"
#include "gui/frmLaget.h"
#include "gui/frmMeddelanden.h"
#include "gui/windowregistry.h"

namespace lunora {

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
        connect(m_situation, &frmLaget::openCaseRequested, this, [](const RegisterEntry &entry) {
            auto *caseWindow = WindowRegistry::get<frmArende>();
            caseWindow->openExistingCase(entry);
            WindowRegistry::show<frmArende>();
        });
    }
    m_situation->setRegister(list->entries());
    WindowRegistry::show<frmLaget>();
}

void frmArendeList::showMessageTemplates()
{
    WindowRegistry::show<frmMeddelanden>()->reload();
}

} // namespace lunora
