// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lunora developers
#include "app/startup.h"
#include "app/translations.h"
#include "backup/presence.h"
#include "backup/restorerecovery.h"
#include "gui/frmLogin.h"
#include "gui/frmSplash.h"
#include "gui/lockwaitbox.h"
#include "gui/messagebox.h"
#include "gui/windowregistry.h"
#include "storage/datafolder.h"
#include "storage/datafolderchoice.h"
#include "storage/heap.h"
#include "storage/housekeeping.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

void print(std::FILE *stream, const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!plain.endsWith(u'\n'))
        plain += u'\n';
    std::fputs(plain.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// LUNORA_SMOKE_TEST=1: answers the start-up boxes with OK and ends the program with
// status 0 as soon as the sign-in window is on the screen. Used by the package check,
// which starts the installed program once without anyone at the screen.
class SignInWatcher final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<lunora::frmLogin *>(watched) && !m_seen) {
            m_seen = true;
            print(stdout, QStringLiteral("Inloggningsfönstret visas."));
            // Every window is closed and deleted on the way out, as when the user
            // cancels the sign-in, so that leak checkers see a clean end.
            QTimer::singleShot(0, qApp, []() {
                lunora::WindowRegistry::closeAll();
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

// Clears away what copies killed half-way left behind (temporary files of saves, files
// of cases whose removal was cut short) once the sign-in window shows, in a thread of
// its own: reading a Lib of 225,000 files must delay neither the start nor another
// desk. It begins a moment after the window is shown, so that the window is painted
// first, and runs at a lower priority than the windows, so that a user typing the
// password never waits for it. The program's end stops it between two files and waits
// for it.
class HousekeepingAfterSignIn final : public QObject
{
public:
    using QObject::QObject;
    ~HousekeepingAfterSignIn() override
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<lunora::frmLogin *>(watched) && !m_started) {
            m_started = true;
            QTimer::singleShot(AfterShow, this, &HousekeepingAfterSignIn::start);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr std::chrono::milliseconds AfterShow { 300 };
    void start()
    {
        m_thread = std::thread([this]() {
            // Nice 10: the clean-up waits for the windows, never the other way round. It
            // holds the folder lock only for single removals, so a low priority keeps
            // no desk waiting for long.
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
            const QDateTime now = QDateTime::currentDateTime();
            (void)lunora::housekeeping::removeStaleTemporaries(now, &m_stop);
            (void)lunora::housekeeping::clearOrphans(now, &m_stop);
        });
    }
    bool m_started = false;
    std::atomic_bool m_stop { false };
    std::thread m_thread;
};

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// --help, --version and a wrong command line are answered before the windowing system
// starts, so that they work in a terminal without a display. Empty when the program is
// to start.
std::optional<int> answerWithoutWindows(
    const lunora::startup::CommandLine &commandLine, lunora::InstallLayout layout)
{
    using Action = lunora::startup::CommandLine::Action;
    switch (commandLine.action) {
    case Action::Help:
    case Action::Invalid: {
        // The template folder lies relative to the program; QCoreApplication, which
        // would say where the program is, does not exist yet.
        const QString programFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
        const QString help
            = lunora::startup::helpText(layout, lunora::installedTemplateFolder(programFolder));
        if (commandLine.action == Action::Help) {
            print(stdout, help);
            return 0;
        }
        print(stderr, commandLine.error + QStringLiteral("\n\n"));
        print(stderr, help);
        return 2;
    }
    case Action::Version:
        print(stdout, lunora::startup::versionText());
        return 0;
    case Action::Run:
        break;
    }
    return std::nullopt;
}

// The program's names, icon, number format and the Swedish texts of Qt's own dialogs.
void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Lunora"));
    QApplication::setApplicationVersion(QStringLiteral(LUNORA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(LUNORA_DESKTOP_ID));

    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/lunora/icon-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    // Numbers follow the user's regional format. LUNORA_NUMBER_FORMAT names another one
    // (such as sv_SE) without the system having to generate that locale: the demo data
    // is Swedish and is shown in the Swedish format on any machine.
    const QString numberFormat = qEnvironmentVariable("LUNORA_NUMBER_FORMAT");
    if (!numberFormat.isEmpty())
        QLocale::setDefault(QLocale(numberFormat));

    lunora::translations::installSwedish();
}

// Chooses the data folder (making it from the template on a first start) and tells what
// a new installation needs to hear. False when there is no folder to work in.
bool openDataFolder(const lunora::startup::CommandLine &commandLine, lunora::InstallLayout layout)
{
    using namespace lunora;
    const QString programFolder = QCoreApplication::applicationDirPath();
    DataFolderRequest request;
    request.layout = layout;
    request.option = commandLine.dataFolder;
    request.environment = qEnvironmentVariable("LUNORA_DATA");
    request.defaultFolder = layout == InstallLayout::System ? systemDefaultDataFolder() : programFolder;
    request.templateFolder = installedTemplateFolder(programFolder);
    const DataFolderChoice dataFolder = chooseDataFolder(request);
    if (!dataFolder.ok()) {
        const QString text = startup::dataFolderErrorText(dataFolder, layout);
        print(stderr, text);
        MessageBox::show(nullptr, QStringLiteral("Lunora"), text, MessageBox::Ok, MessageBox::Critical);
        return false;
    }
    DataFolder::setRoot(dataFolder.path);
    // A restore cut short (a power cut, a kill) is finished or undone before anything of
    // the folder is read: until then Lib and Errors may be the old ones or the new ones.
    const backup::Recovery recovered = backup::recoverCutRestore(dataFolder.path);
    if (const QString line = recovered.message(); !line.isEmpty()) {
        print(stderr, line);
        MessageBox::show(nullptr, QStringLiteral("Lunora"), line, MessageBox::Ok,
            recovered.kind == backup::Recovery::Kind::Unsettled ? MessageBox::Exclamation
                                                                : MessageBox::Information);
    }

    const QString notes = startup::startNotes(
        dataFolder, hasUserFile(dataFolder.path), programFolder + QStringLiteral("/lunora-adduser"));
    if (!notes.isEmpty()) {
        print(stderr, notes);
        MessageBox::show(nullptr, QStringLiteral("Lunora"), notes, MessageBox::Ok, MessageBox::Information);
    }
    return true;
}

// Shows the splash window and runs until the last window closes.
int runWindows(QApplication &app, bool smokeTest)
{
    using namespace lunora;
    // The program ends when its last visible window closes; windows that were only
    // created to hold the signed-in user's state stay hidden and do not keep it alive.
    QApplication::setQuitOnLastWindowClosed(true);

    // Another desk on the same data folder may hold the folder lock for a moment; the
    // windows wait for it behind a box the user can cancel.
    LockWaitBox::install();
    // Every running copy says it is there, so that a restore can see it and wait.
    (void)Presence::application().enter(DataFolder::root());

    SignInWatcher watcher;
    if (smokeTest)
        app.installEventFilter(&watcher);
    HousekeepingAfterSignIn tidyUp;
    app.installEventFilter(&tidyUp);

    WindowRegistry::show<frmSplash>();
    const int status = QApplication::exec();
    // Windows closed as the loop ended are still waiting for their deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    lunora::heap::giveLargeBlocksBack();
    const lunora::startup::CommandLine commandLine
        = lunora::startup::parseCommandLine(argumentsOf(argc, argv));
    const lunora::InstallLayout layout = lunora::builtLayout();
    if (const std::optional<int> answered = answerWithoutWindows(commandLine, layout))
        return *answered;

    QApplication app(argc, argv);
    // The artwork is compiled into the window library, which is linked statically.
    Q_INIT_RESOURCE(gui);
    setUpApplication();
    const bool smokeTest = qEnvironmentVariable("LUNORA_SMOKE_TEST") == u"1";
    if (smokeTest)
        lunora::MessageBox::setAutomaticAnswers(true);
    if (!openDataFolder(commandLine, layout))
        return 1;
    return runWindows(app, smokeTest);
}
