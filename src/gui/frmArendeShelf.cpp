// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// What the case window hands to the windows that work on a saved case: the label for the
// shelf and the message to the customer. Each is given the case as the window shows it
// and writes its own history line through the case store. And the customer's earlier
// cases, which any case shown has.
#include "gui/articlerowspanel.h"
#include "gui/frmArende.h"
#include "gui/frmEtikett.h"
#include "gui/frmMeddela.h"
#include "gui/frmTidigareArenden.h"
#include "gui/windowregistry.h"
#include "printing/label.h"
#include "storage/messagetemplates.h"

#include <QAction>

namespace lunora {

void frmArende::enableSavedCaseActions()
{
    // Both name the case by its register line and note what they did in its history:
    // a case not yet saved has neither.
    const bool saved = m_state.caseState == CaseState::Saved;
    if (m_labelAction)
        m_labelAction->setEnabled(saved);
    if (m_messageAction)
        m_messageAction->setEnabled(saved);
}

void frmArende::showLabelWindow()
{
    if (m_state.caseState != CaseState::Saved)
        return;
    WindowRegistry::show<frmEtikett>()->showLabel(labelDataOf(currentEntry(), caseNotes()));
}

void frmArende::showMessageWindow()
{
    if (m_state.caseState != CaseState::Saved)
        return;
    WindowRegistry::show<frmMeddela>()->setCase(
        currentEntry(), messagetemplates::caseTotal(m_rows->rows()), m_state.caseState);
}

void frmArende::showEarlierCases()
{
    // The customer as the fields say now: a new case finds the cases of the customer
    // being typed in, before anything of it is saved.
    const RegisterEntry shown = currentEntry();
    WindowRegistry::show<frmTidigareArenden>()->showCustomer(
        { shown[Telephone], shown[CustomerNumber] }, shown[CustomerName], shown[ControlCode]);
}

void frmArende::printLabelsOfNewCase(const RegisterEntry &saved)
{
    // Does nothing unless the desk asked for labels at every new case; a missing label
    // printer is reported, and the case stays saved whatever the printer does.
    printLabelsForNewCase(this, labelDataOf(saved, caseNotes()));
}

} // namespace lunora
