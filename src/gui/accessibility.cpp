// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace lunora {

namespace {

class NamedComboBox final : public QAccessibleWidget
{
public:
    explicit NamedComboBox(QComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The drop-down list is the one child, as Qt's own description has it.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == box()->view() ? 0 : -1;
    }

    QStringList actionNames() const override
    {
        return QStringList { showMenuAction(), pressAction() } + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }

private:
    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *roleFactory(const QString &className, QObject *object)
{
    if (className == u"QComboBox") {
        auto *box = qobject_cast<QComboBox *>(object);
        if (box && !box->isEditable() && !box->accessibleName().isEmpty())
            return new NamedComboBox(box);
        return nullptr;
    }
    // Asked class by class from the most derived one: a class of the program's own that
    // derives from QWidget itself, made as a window.
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->isWindow() && className.startsWith(u"lunora::")
        && widget->metaObject()->superClass() == &QWidget::staticMetaObject
        && className == QLatin1StringView(widget->metaObject()->className()))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    // Qt keeps one entry per factory, however often it is installed.
    QAccessible::installFactory(roleFactory);
}

} // namespace lunora
