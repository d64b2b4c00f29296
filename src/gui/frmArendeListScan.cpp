// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
//
// A barcode scanner types the case number of a label and Enter, like a keyboard. Left to
// the list, the digits would go to its type-ahead and Enter would open whatever row is
// current; on a button, Enter would press it. So the first printable key typed on the
// list or a button starts the search afresh with that character, and the rest of the
// scan, blanks and Enter included, goes to the search field, where Enter opens the case
// when it is the only one found. A scan that starts in the search field itself (the
// next label after a scan, or after a word typed) is told by its speed (gui/scanburst.h)
// and replaces the field's text at its Enter.
#include "gui/caselistview.h"
#include "gui/frmArendeList.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace lunora {

void frmArendeList::watchForScans()
{
    m_list->installEventFilter(this);
    for (QPushButton *button : findChildren<QPushButton *>())
        button->installEventFilter(this);
}

bool frmArendeList::isTypedCharacter(const QKeyEvent *key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    return text.size() == 1 && text.at(0).isPrint();
}

bool frmArendeList::startScan(const QKeyEvent *key)
{
    // A blank still presses the focused button, and "/" in the list still only goes to
    // the search field, as they always have: a scan starts with the digits of the number.
    if (!isTypedCharacter(key) || key->text().at(0).isSpace() || key->text().at(0) == u'/')
        return false;
    m_search->setFocus(Qt::OtherFocusReason);
    m_search->setText(key->text());
    return true;
}

} // namespace lunora
