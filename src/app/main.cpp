#include "frmSplash.h"
#include "gui/lockwaitbox.h"
#include "storage/housekeeping.h"
#include "windowregistry.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The artwork is compiled into the window library, which is linked statically.
    Q_INIT_RESOURCE(gui);
    QApplication::setApplicationName(QStringLiteral("Lunora"));
    QApplication::setApplicationVersion(QStringLiteral(LUNORA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("lunora"));

    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/lunora/icon-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    // The program ends when its last visible window closes; windows that were only
    // created to hold the signed-in user's state stay hidden and do not keep it alive.
    QApplication::setQuitOnLastWindowClosed(true);

    // Another desk on the same data folder may hold the folder lock for a moment; the
    // windows wait for it behind a box the user can cancel.
    lunora::LockWaitBox::install();
    // A copy killed in the middle of a save leaves its temporary file; clear away those
    // that no save can still be working on. Nothing to report if it cannot be done.
    (void)lunora::housekeeping::removeStaleTemporaries(QDateTime::currentDateTime());

    lunora::WindowRegistry::show<lunora::frmSplash>();
    return app.exec();
}
