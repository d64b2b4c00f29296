#include "messagebox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QQueue>

namespace lunora {

namespace {
bool s_automatic = false;
QQueue<MessageBox::Answer> s_answers;
QList<MessageBox::Shown> s_shown;

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
        if (buttons == YesNoCancel)
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
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
        box.setDefaultButton(defaultAnswer == AnswerNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const int result = box.exec();
    if (buttons == Ok)
        return AnswerOk;
    if (buttons == YesNoCancel && result != QMessageBox::Yes && result != QMessageBox::No)
        return AnswerCancel;
    return result == QMessageBox::Yes ? AnswerYes : AnswerNo;
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
