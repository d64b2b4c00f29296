// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace lunora {

// Every message the program shows goes through here, so that tests can answer boxes
// and read what was shown without a user at the screen.
class MessageBox
{
public:
    enum Buttons
    {
        Ok,
        YesNo,
        YesNoCancel,
        // Unsaved work about to be left: "Spara", "Spara inte", "Avbryt".
        SaveDontSaveCancel
    };
    enum Icon
    {
        Information,
        Exclamation,
        Critical
    };
    enum Answer
    {
        AnswerOk,
        AnswerYes,
        AnswerNo,
        AnswerCancel,
        AnswerSave,
        AnswerDontSave
    };

    struct Shown
    {
        QString title;
        QString text; // as passed, CR LF line breaks included
        Buttons buttons;
        Icon icon;
    };

    // Shows a modal box and returns the button chosen. Texts use CR LF for line breaks.
    // Closing a Yes/No box without choosing counts as No; closing a box with "Avbryt"
    // counts as Cancel.
    static Answer show(QWidget *parent, const QString &title, const QString &text, Buttons buttons, Icon icon,
        Answer defaultAnswer = AnswerYes);

    // Whether a box shown with this window (or one of its children) as parent is open.
    // A window must not be closed or deleted under such a box: the box is its child.
    static bool isOpenFor(const QWidget *window);

    // Test support. With automatic answers on, no box is put on the screen: the next
    // queued answer is returned, or Ok for an OK box, No for a Yes/No box and Cancel for
    // a box with "Avbryt".
    static void setAutomaticAnswers(bool on);
    static void setNextAnswer(Answer answer);
    static const QList<Shown> &shown();
    static void clearShown();
};

} // namespace lunora
