// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmOm.h"

#include "gui/units.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace lunora {

namespace {
// Who holds the rights and the licence the program is given under.
const QString RightsText
    = QStringLiteral("© 2026 Lunora-utvecklarna. Fri programvara: GNU GPL version 3 eller senare.");
const QString Credit = QStringLiteral("Utvecklad av Lunora-teamet för Orvane+.");

QLabel *placedWhiteLabel(QWidget *parent, const char *name, const QString &text, const QFont &font, int left,
    int top, int width, int height)
{
    auto *label = whiteLabel(parent, name, text, font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeAt(label, left, top, width, height);
    return label;
}
} // namespace

frmOm::frmOm(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmOm"));
    setWindowTitle(QStringLiteral("Om"));
    setFont(formFont());
    setClientSize(this, 4680, 3105);
    // The dark of window text on a classic desktop, whatever theme is active, so that
    // the white lines always read.
    fillBackground(this, Qt::black);

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(QPixmap(QStringLiteral(":/lunora/icon-32.png")));
    image1->setAlignment(Qt::AlignCenter);
    image1->setAccessibleName(QStringLiteral("Lunora"));
    placeAt(image1, 240, 240, 480, 480);

    placedWhiteLabel(this, "Label1", QStringLiteral("Orvane+"), arialFont(15.75), 960, 360, 3255, 420);
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(LUNORA_VERSION_MAJOR)
                                .arg(LUNORA_VERSION_MINOR)
                                .arg(LUNORA_VERSION_PATCH);
    placedWhiteLabel(this, "dbVers", version, formFont(), 960, 840, 3255, 255);
    auto *copy = placedWhiteLabel(this, "dbCopy", RightsText, formFont(), 960, 1080, 3255, 255);
    auto *info = placedWhiteLabel(this, "dbInfo", Credit, formFont(), 960, 1560, 3255, 510);
    info->setWordWrap(true);

    auto *command1 = new QPushButton(QStringLiteral("Stäng"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    placeAt(command1, 3360, 2520, 1095, 375);
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &frmOm::close);

    // The licence line is longer than the box was drawn for. It stays one line: the
    // window grows by what the line lacks, and the button keeps its corner.
    const int lacking = copy->fontMetrics().horizontalAdvance(RightsText) - copy->width();
    if (lacking > 0) {
        copy->resize(copy->width() + lacking, copy->height());
        setFixedSize(width() + lacking, height());
        command1->move(command1->x() + lacking, command1->y());
    }
}

frmOm::~frmOm() = default;

} // namespace lunora
