// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmSplash.h"

#include "gui/frmLogin.h"
#include "gui/units.h"
#include "gui/windowregistry.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QTimer>

namespace lunora {

namespace {
constexpr int ProgBarBgLeft = 240;
constexpr int ProgBarBgTop = 1320;
constexpr int ProgBarBgWidth = 3255;
constexpr int ProgBarBgHeight = 15;
constexpr int ProgBarStartWidth = 15;
constexpr int ProgBarHeight = 255;
constexpr int ProgBarStep = 40;
} // namespace

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_progBarBgWidth(ProgBarBgWidth)
    , m_progBarWidth(ProgBarStartWidth)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Orvane+"));
    setFont(formFont());
    setClientSize(this, 3750, 1560);
    // The dark of menu text on a classic desktop: near black, whatever theme is active,
    // so that the white captions always read.
    fillBackground(this, Qt::black);

    auto *label1 = whiteLabel(this, "Label1", QStringLiteral("Orvane+"), arialFont(14.25));
    label1->move(px(960), px(240));
    label1->adjustSize();
    auto *label2
        = whiteLabel(this, "Label2", QStringLiteral("Version: 2011-01-19 (alpha 1)"), arialFont(8.25));
    label2->move(px(960), px(600));
    label2->adjustSize();
    auto *label3 = whiteLabel(this, "Label3",
        QStringLiteral("© 2026 Lunora-utvecklarna. Fri programvara: GNU GPL version 3 eller senare."),
        arialFont(8.25));
    label3->move(px(960), px(840));
    label3->adjustSize();
    // The licence line is longer than the window was drawn for. It stays one line: the
    // window grows to hold it, with the margin the picture has on the left.
    const int needed = label3->geometry().right() + 1 + px(120);
    if (needed > width())
        setFixedSize(needed, height());

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(QPixmap(QStringLiteral(":/lunora/icon-32.png")));
    image1->setAlignment(Qt::AlignCenter);
    image1->setAccessibleName(QStringLiteral("Lunora"));
    placeAt(image1, 120, 90, 480, 480);

    m_progBarBg = new QWidget(this);
    m_progBarBg->setObjectName(QStringLiteral("ProgBarBg"));
    fillBackground(m_progBarBg, palette().color(QPalette::Base));
    placeAt(m_progBarBg, ProgBarBgLeft, ProgBarBgTop, ProgBarBgWidth, ProgBarBgHeight);

    // The bar is taller than its strip; the strip clips it to one line.
    m_progBar = new QWidget(m_progBarBg);
    m_progBar->setObjectName(QStringLiteral("ProgBar"));
    fillBackground(m_progBar, QColor(255, 128, 0));
    placeProgBar();

    // Below the client area, never seen; it carries the percentage for the title.
    m_progBarCap = whiteLabel(this, "ProgBarCap", QStringLiteral("0"), formFont());
    m_progBarCap->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    placeAt(m_progBarCap, ProgBarBgLeft, 1680, ProgBarBgWidth, 255);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1);
    m_timer1->setTimerType(Qt::PreciseTimer);
    connect(m_timer1, &QTimer::timeout, this, &frmSplash::onTimer1);
    m_timer1->start();
}

frmSplash::~frmSplash() = default;

void frmSplash::closeEvent(QCloseEvent *event)
{
    // Closed by the user before the bar is full: the window is deleted only later, and
    // no tick in between may still open the sign-in. With nothing left, the program ends.
    m_timer1->stop();
    QDialog::closeEvent(event);
}

void frmSplash::placeProgBar()
{
    m_progBar->setGeometry(0, 0, px(m_progBarWidth), px(ProgBarHeight));
}

void frmSplash::onTimer1()
{
    if (m_progBarWidth < m_progBarBgWidth) {
        m_progBarWidth += ProgBarStep;
        placeProgBar();
        // Integer part of the single-precision ratio: the title never shows a per cent
        // that the bar has not reached yet.
        const float ratio = static_cast<float>(m_progBarWidth) / static_cast<float>(m_progBarBgWidth);
        const int percent = static_cast<int>(ratio * 100.0f);
        m_progBarCap->setText(QString::number(percent) + QStringLiteral(" %"));
        setWindowTitle(QStringLiteral("Lunora  (") + m_progBarCap->text() + QStringLiteral(")"));
        return;
    }
    // Stopped first: closing deletes the window only later, and no further tick may
    // open a second sign-in.
    m_timer1->stop();
    WindowRegistry::show<frmLogin>();
    close();
}

} // namespace lunora
