// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// Leaving the case shown: closing the window, ending the program, another case or a new
// one put into the window. Every way goes through one check, so that nothing typed is
// dropped without a question: a new case not saved (its rows are in their file already,
// but no register line leads to them), fields of a saved case not updated, notes not
// saved. With nothing unsaved the window keeps the questions it always asked.
#include "gui/articlerowspanel.h"
#include "gui/caselist.h"
#include "gui/casenotespanel.h"
#include "gui/casesheetactions.h"
#include "gui/deferredtimer.h"
#include "gui/frmArende.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <utility>

namespace lunora {

namespace {
const QString CrLf = QStringLiteral("\r\n");
} // namespace

void frmArende::showCase(const RegisterEntry &entry, const std::function<void(frmArende *)> &opened)
{
    auto open = [entry, opened]() {
        auto *window = WindowRegistry::get<frmArende>();
        window->openExistingCase(entry);
        WindowRegistry::show<frmArende>();
        if (opened)
            opened(window);
    };
    frmArende *shown = WindowRegistry::find<frmArende>();
    if (!shown) {
        open();
        return;
    }
    if (shown->isVisible() && shown->unsavedWork().any() && shown->controlCode() == entry[ControlCode]) {
        WindowRegistry::bringForward(shown);
        if (opened)
            opened(shown);
        return;
    }
    shown->settleThen(open);
}

void frmArende::showNewCase()
{
    auto start = []() {
        WindowRegistry::get<frmArende>()->prepareNewCase();
        WindowRegistry::show<frmArende>();
    };
    frmArende *shown = WindowRegistry::find<frmArende>();
    if (!shown || !shown->unsavedWork().any()) {
        start();
        return;
    }
    shown->settleThen([start]() {
        // Asked and answered: the new case the clerk wanted, also in place of a saved
        // case whose notes were just stored and which the window still shows.
        if (frmArende *still = WindowRegistry::find<frmArende>();
            still && still->caseState() == CaseState::Saved)
            still->resetToLoaded();
        start();
    });
}

void frmArende::showNewCaseFor(const Customer &customer)
{
    auto start = [customer]() {
        auto *window = WindowRegistry::get<frmArende>();
        // A saved case shown with nothing unsaved gives way at once: the clerk asked for
        // a new case, not for the warning a plain "Nytt" gives over a saved case.
        if (window->caseState() == CaseState::Saved)
            window->resetToLoaded();
        window->prepareNewCase(customer);
        WindowRegistry::show<frmArende>();
    };
    frmArende *shown = WindowRegistry::find<frmArende>();
    if (!shown || !shown->unsavedWork().any()) {
        start();
        return;
    }
    shown->settleThen(start);
}

frmArende::UnsavedWork frmArende::unsavedWork() const
{
    UnsavedWork unsaved;
    // Before the new case is numbered the window holds nothing of anybody's.
    if (m_state.controlCode.isEmpty())
        return unsaved;
    if (m_state.caseState == CaseState::Unsaved) {
        // What "Nytt för kunden" filled in is the customer's, not the clerk's work.
        const Customer &filled = m_state.filledIn;
        unsaved.newCase = m_customerNumber->text() != filled.number || m_customerName->text() != filled.name
            || m_telephone->text() != filled.telephone || !m_rows->rows().isEmpty()
            || m_notes->hasUnsavedNotes() || m_priority->currentIndex() != 0 || m_status->currentIndex() != 0;
        return unsaved;
    }
    const RegisterEntry shown = currentEntry();
    for (const RegisterField field : { CustomerNumber, CustomerName, Telephone, Priority, CaseStatus })
        unsaved.header = unsaved.header || shown[field] != m_state.opened[field];
    unsaved.notes = m_notes->hasUnsavedNotes();
    return unsaved;
}

QString frmArende::unsavedQuestion(const UnsavedWork &unsaved) const
{
    QStringList lines;
    if (unsaved.newCase)
        lines << QStringLiteral("Det nya ärendet %1 är inte sparat.").arg(m_state.caseNumber);
    if (unsaved.header)
        lines << QStringLiteral("Ändringarna i ärende %1 är inte uppdaterade.").arg(m_state.caseNumber);
    if (unsaved.notes)
        lines << QStringLiteral("Anteckningarna till ärende %1 är inte sparade.").arg(m_state.caseNumber);
    return lines.join(CrLf) + CrLf + CrLf + QStringLiteral("Vill du spara innan du går vidare?");
}

void frmArende::settleThen(std::function<void()> proceed)
{
    if (m_updating) {
        m_afterUpdate = std::move(proceed);
        return;
    }
    const UnsavedWork unsaved = unsavedWork();
    if (!unsaved.any()) {
        proceed();
        return;
    }
    // The question is about what this window shows: the clerk sees it beside the box.
    WindowRegistry::bringForward(this);
    switch (MessageBox::show(this, QStringLiteral("Ej sparat"), unsavedQuestion(unsaved),
        MessageBox::SaveDontSaveCancel, MessageBox::Exclamation, MessageBox::AnswerSave)) {
    case MessageBox::AnswerSave:
        storeThen(unsaved, std::move(proceed));
        return;
    case MessageBox::AnswerDontSave:
        // What was typed goes; rows already in the article file stay there, as a close
        // has always left them.
        resetToLoaded();
        proceed();
        return;
    default:
        return;
    }
}

void frmArende::storeThen(const UnsavedWork &unsaved, std::function<void()> proceed)
{
    // Each stores its notes as well; a refusal or failure has been told and keeps all.
    if (unsaved.newCase) {
        if (save())
            proceed();
    } else if (unsaved.header) {
        updateCase(std::move(proceed));
    } else if (saveNotesOnly()) {
        proceed();
    }
}

void frmArende::askAndClose(const std::function<void()> &afterClose)
{
    // An update under way ends first; its result decides (see updateCase()).
    if (m_updating) {
        m_closeAfterUpdate = true;
        return;
    }
    const QPointer<frmArende> self(this);
    auto closeThen = [self, afterClose]() {
        // A save or an update has closed the window already.
        if (self && self->isVisible() && !self->close())
            return;
        if (afterClose)
            afterClose();
    };
    if (unsavedWork().any()) {
        settleThen(closeThen);
        return;
    }
    const MessageBox::Answer answer = MessageBox::show(this, QStringLiteral("Avsluta"),
        QStringLiteral("Vill du avsluta programet ?"), MessageBox::YesNo, MessageBox::Exclamation);
    if (answer == MessageBox::AnswerYes)
        closeThen();
}

void frmArende::closeAfterPrint()
{
    // Typed into while the sheet was printing: the close waits for the clerk's own.
    if (!unsavedWork().any())
        close();
}

void frmArende::closeEvent(QCloseEvent *event)
{
    // A box of this window is its child and runs its own event loop: closing (and so
    // deleting) the window under it would pull the box away from under that loop. A
    // close asked for meanwhile (the timed close after "Skriv ut") waits for the answer.
    if (MessageBox::isOpenFor(this)) {
        event->ignore();
        m_closeTimer->setInterval(100);
        return;
    }
    if (m_updating) {
        event->ignore();
        m_closeAfterUpdate = true;
        return;
    }
    // A close from outside (the title bar's close box, the desktop's session ending):
    // unsaved work is not dropped without a question. Asked once this close has ended,
    // so that the close of a save is not swallowed by it. The program's own closes
    // (after "Spara", a printout, an answered question) come with nothing unsaved.
    if (unsavedWork().any()) {
        event->ignore();
        if (!std::exchange(m_closeQuestionQueued, true)) {
            QTimer::singleShot(0, this, [this]() {
                m_closeQuestionQueued = false;
                settleThen([self = QPointer<frmArende>(this)]() {
                    if (self && self->isVisible())
                        self->close();
                });
            });
        }
        return;
    }
    QMainWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    // The article window adds to this case; without it there is nothing to add to.
    m_rows->closeArticleWindow();
    // The history, a preview and a PDF dialog show this case; they go when it goes.
    m_sheet->closeOpenViews();
    WindowRegistry::caseList()->setOpenCase(false);
}

} // namespace lunora
