// Program entry: builds the application and the main window's layout, hands
// the files named on the command line to the controller as the system's open
// requests, and runs the event loop. A second launch hands its files to the
// running player instead and exits.
#include "controller/AppController.h"
#include "controller/GramoluxWindowLayout.h"
#include "controller/MprisService.h"
#include "platform/SingleInstance.h"
#include "sound/GXQTMusic.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv)
{
    // Sound need not wait for the window: the device and the first song
    // named get ready on a worker while the toolkit starts.
    if (argc > 1 && argv[1][0] != '-')
        GXQTMusic::preopen(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath().toStdString());
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Gramolux");
    QApplication::setApplicationName("Gramolux");
    QApplication::setApplicationVersion(GRAMOLUX_VERSION);
    QApplication::setDesktopFileName("gramolux");

    QStringList files;
    for (const QString& arg : QApplication::arguments().mid(1))
        files << QFileInfo(arg).absoluteFilePath();

    gx::SingleInstance instance;
    if (instance.forwardOrListen(files)) {
        GXQTMusic::dropPreopened();
        return 0;
    }

    AppController::initialize();
    AppController::preloadEffectSounds();
    int status = 0;
    {
        GramoluxWindowLayout layout;
        AppController* controller = layout.appController();
        const auto openAll = [controller](const QStringList& paths) {
            for (const QString& p : paths)
                controller->applicationOpenFile(p);
        };
        QObject::connect(&instance, &gx::SingleInstance::filesReceived, controller,
                         [&layout, openAll](const QStringList& paths) {
                             layout.mainWindow()->raise();
                             layout.mainWindow()->activateWindow();
                             openAll(paths);
                         });
        MprisService mpris(layout);
        mpris.registerOnSessionBus();
        layout.show();
        QTimer::singleShot(0, controller, [openAll, files] { openAll(files); });
        status = QApplication::exec();
    }
    return status;
}
