#include "units.h"

#include <QWidget>

#include <cmath>

namespace lunora {

int px(int units)
{
    return static_cast<int>(std::lround(units / 15.0));
}

QRect unitRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

void placeAt(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(unitRect(left, top, width, height));
}

void setClientSize(QWidget *window, int width, int height)
{
    window->setFixedSize(px(width), px(height));
}

QFont formFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont arialFont(double pointSize, bool bold)
{
    return formFont(pointSize, bold);
}

} // namespace lunora
