// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "gui/frmPrint.h"

#include "gui/messagebox.h"
#include "gui/units.h"
#include "printing/defaultprinter.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace lunora {

namespace {
constexpr int TrackLeft = 960;
constexpr int TrackTop = 240;
constexpr int TrackWidth = 3255;
constexpr int TrackHeight = 255;
constexpr int BarStartWidth = 15;
constexpr int Step = 40;

const QString NoPrinterTitle = QStringLiteral("Skrivare saknas");

// The information symbol: a white letter i on a blue disc, 32 × 32 pixels.
QPixmap informationSymbol()
{
    QPixmap symbol(QStringLiteral(":/lunora/info.png"));
    if (!symbol.isNull())
        return symbol;
    symbol = QPixmap(32, 32);
    symbol.fill(Qt::transparent);
    QPainter painter(&symbol);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 84, 166));
    painter.drawEllipse(QRectF(1, 1, 30, 30));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(14, 6.5, 4, 4));
    painter.drawRoundedRect(QRectF(14, 12.5, 4, 13), 1, 1);
    return symbol;
}
} // namespace

frmPrint::frmPrint(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_trackWidth(TrackWidth)
    , m_barWidth(BarStartWidth)
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Utskrift startas...."));
    setFont(formFont(8));
    setModal(false);
    setClientSize(this, 4335, 975);

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(informationSymbol());
    image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1->setAccessibleName(QStringLiteral("Information"));
    placeAt(image1, 240, 120, 480, 480);

    m_pbarBg = new QWidget(this);
    m_pbarBg->setObjectName(QStringLiteral("pbarBg"));
    m_pbarBg->setAccessibleName(QStringLiteral("Utskrift startas"));
    fillBackground(m_pbarBg, m_pbarBg->palette().color(QPalette::Base));
    placeAt(m_pbarBg, TrackLeft, TrackTop, TrackWidth, TrackHeight);

    m_pBar = new QLabel(m_pbarBg);
    m_pBar->setObjectName(QStringLiteral("pBar"));
    fillBackground(m_pBar, m_pBar->palette().color(QPalette::Highlight));
    placeBar();

    m_label1 = new QLabel(QStringLiteral("0"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    placeAt(m_label1, TrackLeft, 600, TrackWidth, TrackHeight);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1);
    m_timer1->setTimerType(Qt::PreciseTimer);
    connect(m_timer1, &QTimer::timeout, this, &frmPrint::onTimer1);
    m_timer1->start();
}

frmPrint::~frmPrint() = default;

void frmPrint::placeBar()
{
    m_pBar->setGeometry(0, 0, px(m_barWidth), px(TrackHeight));
}

void frmPrint::closeEvent(QCloseEvent *event)
{
    // Closed while filling: the print is cancelled. The window is deleted only later,
    // and no tick may run in between.
    m_timer1->stop();
    // Not QDialog's handler, which would only hide the window through reject(): a hidden
    // window would stay the program's progress window, stopped half-way.
    event->accept();
}

void frmPrint::reject()
{
    close();
}

void frmPrint::onTimer1()
{
    if (m_barWidth < m_trackWidth) {
        m_barWidth += Step;
        placeBar();
        m_label1->setText(QString::number(m_barWidth * 100 / m_trackWidth) + QStringLiteral(" %"));
        return;
    }

    // Full; a bar wider than its track finishes as well, so the window cannot stay open.
    m_timer1->stop();
    if (!hasDefaultPrinter()) {
        // Reported once: repeating the message every millisecond until a printer
        // appears would leave the user no way out but to kill the program.
        MessageBox::show(this, NoPrinterTitle, noPrinterText(), MessageBox::Ok, MessageBox::Exclamation);
        close();
        return;
    }
    close();
    emit filled();
}

void showPrintFailure(QWidget *parent, const Status &failure)
{
    if (failure.ok())
        return;
    if (isNoPrinterFailure(failure)) {
        MessageBox::show(parent, NoPrinterTitle, noPrinterText(), MessageBox::Ok, MessageBox::Exclamation);
        return;
    }
    MessageBox::show(parent, QStringLiteral("Utskrift"),
        failure.error() + QStringLiteral("\r\n\r\nÄrendet skrevs inte ut."), MessageBox::Ok,
        MessageBox::Exclamation);
}

} // namespace lunora
