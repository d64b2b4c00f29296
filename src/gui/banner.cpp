// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/banner.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QSize>

namespace lunora {

QPixmap bannerPicture(const QSize &size)
{
    QPixmap picture(QStringLiteral(":/lunora/banner.png"));
    if (!picture.isNull())
        return picture;
    // Without the picture the header still needs a dark ground for its white text.
    picture = QPixmap(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, size.width(), 0);
    gradient.setColorAt(0, QColor(0x1f, 0x3a, 0x68));
    gradient.setColorAt(1, QColor(0x4a, 0x6f, 0xa5));
    painter.fillRect(picture.rect(), gradient);
    return picture;
}

} // namespace lunora
