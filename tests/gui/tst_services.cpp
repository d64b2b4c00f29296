// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
// The services every window relies on: deferred timers, the window registry and the
// message box wrapper that tests answer.

#include "gui/deferredtimer.h"
#include "gui/messagebox.h"
#include "gui/units.h"
#include "gui/windowregistry.h"

#include <QCloseEvent>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace lunora;

namespace {
int s_constructed = 0;
} // namespace

class WindowA final : public QWidget
{
    Q_OBJECT
public:
    explicit WindowA(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        ++s_constructed;
    }
    QString state = QStringLiteral("loaded");
};

class WindowB final : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void deferredTimerRunsOnceAfterTheStartingHandler();
    void deferredTimerStopsWithIntervalZero();
    void deferredTimerMayBeStartedAgainByItsWork();

    void registryKeepsOneWindowPerClass();
    void registryShowBringsTheSameWindow();
    void registryRecreatesClosedWindowFresh();

    void messageBoxAnswersAndRecords();

    void unitsConvertAtNinetySixDpi();
};

void TestServices::cleanup()
{
    WindowRegistry::closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MessageBox::setAutomaticAnswers(false);
    MessageBox::clearShown();
}

void TestServices::deferredTimerRunsOnceAfterTheStartingHandler()
{
    QObject owner;
    DeferredTimer timer(QStringLiteral("Timer1"), &owner);
    QCOMPARE(timer.objectName(), QStringLiteral("Timer1"));
    QVERIFY(!timer.isActive());
    QCOMPARE(timer.interval(), 0);

    int fired = 0;
    bool handlerRunning = false;
    bool firedDuringHandler = false;
    connect(&timer, &DeferredTimer::fired, this, [&] {
        ++fired;
        firedDuringHandler = firedDuringHandler || handlerRunning;
    });
    // The interval passes while the starting handler still runs; the work must wait
    // until that handler has returned.
    QTimer starter;
    starter.setSingleShot(true);
    connect(&starter, &QTimer::timeout, this, [&] {
        handlerRunning = true;
        timer.setInterval(1);
        QVERIFY(timer.isActive());
        QCOMPARE(timer.interval(), 1);
        QThread::msleep(5);
        handlerRunning = false;
    });
    starter.start(0);

    QTRY_COMPARE(fired, 1);
    QVERIFY(!firedDuringHandler);
    QVERIFY(!timer.isActive());
    QCOMPARE(timer.interval(), 0);
    QTest::qWait(30);
    QCOMPARE(fired, 1);
}

void TestServices::deferredTimerStopsWithIntervalZero()
{
    DeferredTimer timer(QStringLiteral("Timer3"), nullptr);
    int fired = 0;
    connect(&timer, &DeferredTimer::fired, this, [&] { ++fired; });

    timer.setInterval(1);
    timer.setInterval(0);
    QVERIFY(!timer.isActive());
    QTest::qWait(30);
    QCOMPARE(fired, 0);

    // Started twice before it fires: still one run.
    timer.setInterval(1);
    timer.setInterval(1);
    QTRY_COMPARE(fired, 1);
    QTest::qWait(30);
    QCOMPARE(fired, 1);
}

void TestServices::deferredTimerMayBeStartedAgainByItsWork()
{
    DeferredTimer timer(QStringLiteral("Timer7"), nullptr);
    int fired = 0;
    connect(&timer, &DeferredTimer::fired, this, [&] {
        QVERIFY(!timer.isActive()); // stopped before the work runs
        if (++fired < 3)
            timer.setInterval(1);
    });
    timer.setInterval(1);
    QTRY_COMPARE(fired, 3);
    QTest::qWait(30);
    QCOMPARE(fired, 3);
    QVERIFY(!timer.isActive());
}

void TestServices::registryKeepsOneWindowPerClass()
{
    QVERIFY(!WindowRegistry::find<WindowA>());
    auto *a = WindowRegistry::get<WindowA>();
    QVERIFY(a);
    QVERIFY(!a->isVisible()); // created hidden, only to hold state
    QCOMPARE(a->objectName(), QStringLiteral("WindowA"));
    QCOMPARE(WindowRegistry::get<WindowA>(), a);
    QCOMPARE(WindowRegistry::find<WindowA>(), a);

    auto *b = WindowRegistry::get<WindowB>();
    QVERIFY(static_cast<QWidget *>(b) != static_cast<QWidget *>(a));
    QCOMPARE(WindowRegistry::find<WindowB>(), b);

    // A window deleted behind the registry's back is not handed out again.
    delete b;
    QVERIFY(!WindowRegistry::find<WindowB>());
    QCOMPARE(WindowRegistry::find<WindowA>(), a);
}

void TestServices::registryShowBringsTheSameWindow()
{
    auto *hidden = WindowRegistry::get<WindowA>();
    auto *shown = WindowRegistry::show<WindowA>();
    QCOMPARE(shown, hidden);
    QVERIFY(shown->isVisible());
    shown->showMinimized();
    QCOMPARE(WindowRegistry::show<WindowA>(), hidden);
    QVERIFY(hidden->isVisible());
    QVERIFY(!hidden->isMinimized());
    // Hiding is not closing: the window and its state stay.
    hidden->hide();
    QCOMPARE(WindowRegistry::find<WindowA>(), hidden);
}

void TestServices::registryRecreatesClosedWindowFresh()
{
    const int before = s_constructed;
    auto *first = WindowRegistry::show<WindowA>();
    first->state = QStringLiteral("changed");
    QPointer<WindowA> guard(first);
    QVERIFY(first->close());

    // Gone from the registry at once, deleted soon after.
    QVERIFY(!WindowRegistry::find<WindowA>());
    QTRY_VERIFY(guard.isNull());

    auto *second = WindowRegistry::get<WindowA>();
    QCOMPARE(s_constructed, before + 2);
    QCOMPARE(second->state, QStringLiteral("loaded"));
    QVERIFY(!second->isVisible());

    // Closing a window that was only created hidden forgets it as well.
    QVERIFY(second->close());
    QVERIFY(!WindowRegistry::find<WindowA>());
    WindowRegistry::get<WindowA>();
    QCOMPARE(s_constructed, before + 3);
}

void TestServices::messageBoxAnswersAndRecords()
{
    MessageBox::setAutomaticAnswers(true);
    MessageBox::clearShown();

    QCOMPARE(MessageBox::show(nullptr, QStringLiteral("T"), QStringLiteral("a\r\nb"), MessageBox::Ok,
                 MessageBox::Information),
        MessageBox::AnswerOk);
    // Without a queued answer a Yes/No box counts as No, the safe choice.
    QCOMPARE(MessageBox::show(nullptr, QStringLiteral("Ta bort"), QStringLiteral("?"), MessageBox::YesNo,
                 MessageBox::Exclamation),
        MessageBox::AnswerNo);
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    MessageBox::setNextAnswer(MessageBox::AnswerNo);
    QCOMPARE(
        MessageBox::show(nullptr, QStringLiteral("1"), QString(), MessageBox::YesNo, MessageBox::Critical),
        MessageBox::AnswerYes);
    QCOMPARE(
        MessageBox::show(nullptr, QStringLiteral("2"), QString(), MessageBox::YesNo, MessageBox::Critical),
        MessageBox::AnswerNo);

    const QList<MessageBox::Shown> &shown = MessageBox::shown();
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown.at(0).title, QStringLiteral("T"));
    QCOMPARE(shown.at(0).text, QStringLiteral("a\r\nb")); // line breaks kept as given
    QCOMPARE(shown.at(0).buttons, MessageBox::Ok);
    QCOMPARE(shown.at(0).icon, MessageBox::Information);
    QCOMPARE(shown.at(1).icon, MessageBox::Exclamation);
    QCOMPARE(shown.at(3).title, QStringLiteral("2"));

    // Switching automatic answers on again drops answers left over from a test.
    MessageBox::setNextAnswer(MessageBox::AnswerYes);
    MessageBox::setAutomaticAnswers(true);
    QCOMPARE(MessageBox::show(nullptr, QString(), QString(), MessageBox::YesNo, MessageBox::Critical),
        MessageBox::AnswerNo);
    MessageBox::clearShown();
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestServices::unitsConvertAtNinetySixDpi()
{
    QCOMPARE(px(15), 1);
    QCOMPARE(px(3255), 217);
    QCOMPARE(px(1095), 73);
    QCOMPARE(unitRect(120, 90, 480, 480), QRect(8, 6, 32, 32));
    QWidget window;
    setClientSize(&window, 3750, 1560);
    QCOMPARE(window.size(), QSize(250, 104));
}

QTEST_MAIN(TestServices)
#include "tst_services.moc"
