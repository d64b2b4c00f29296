// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/messagebox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QQueue>
#include <QWidget>

namespace lunora {

namespace {
bool s_automatic = false;
QQueue<MessageBox::Answer> s_answers;
QList<MessageBox::Shown> s_shown;
QList<QPointer<QWidget>> s_openParents;

QMessageBox::Icon toQtIcon(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Information:
        return QMessageBox::Information;
    case MessageBox::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MessageBox::Answer MessageBox::show(QWidget *parent, const QString &title, const QString &text,
    Buttons buttons, Icon icon, Answer defaultAnswer)
{
    s_shown.append({ title, text, buttons, icon });

    if (s_automatic) {
        if (!s_answers.isEmpty())
            return s_answers.dequeue();
        if (buttons == YesNoCancel || buttons == SaveDontSaveCancel)
            return AnswerCancel;
        return buttons == Ok ? AnswerOk : AnswerNo;
    }

    QString display = text;
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QMessageBox box(toQtIcon(icon), title, display, QMessageBox::NoButton, parent);
    box.setAccessibleName(title);
    box.setAccessibleDescription(display);
    if (buttons == Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    } else if (buttons == YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Avbryt"));
        box.setDefaultButton(defaultAnswer == AnswerNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (buttons == SaveDontSaveCancel) {
        // No catalogue has "Spara inte"; the three are worded here, Escape keeps the work.
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.button(QMessageBox::Save)->setText(QStringLiteral("&Spara"));
        box.button(QMessageBox::Discard)->setText(QStringLiteral("Spara &inte"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Avbryt"));
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
        box.setDefaultButton(defaultAnswer == AnswerNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    s_openParents.append(QPointer<QWidget>(parent));
    const int result = box.exec();
    s_openParents.removeLast();
    if (buttons == Ok)
        return AnswerOk;
    if (buttons == SaveDontSaveCancel)
        return result == QMessageBox::Save   ? AnswerSave
            : result == QMessageBox::Discard ? AnswerDontSave
                                             : AnswerCancel;
    if (buttons == YesNoCancel && result != QMessageBox::Yes && result != QMessageBox::No)
        return AnswerCancel;
    return result == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

bool MessageBox::isOpenFor(const QWidget *window)
{
    if (!window)
        return false;
    for (const QPointer<QWidget> &parent : std::as_const(s_openParents)) {
        if (parent && (parent == window || window->isAncestorOf(parent)))
            return true;
    }
    return false;
}

void MessageBox::setAutomaticAnswers(bool on)
{
    s_automatic = on;
    s_answers.clear();
}

void MessageBox::setNextAnswer(Answer answer)
{
    s_answers.enqueue(answer);
}

const QList<MessageBox::Shown> &MessageBox::shown()
{
    return s_shown;
}

void MessageBox::clearShown()
{
    s_shown.clear();
}

} // namespace lunora
