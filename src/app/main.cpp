// Program entry: reads the command line, builds the application and the main
// window's layout, hands the files named on the command line to the
// controller as the system's open requests, and runs the event loop. A second
// launch hands its files to the running player instead and exits.
#include "app/AppController.h"
#include "app/CommandLine.h"
#include "app/GramoluxWindowLayout.h"
#include "handover/HandOver.h"
#include "handover/HandOverExpander.h"
#include "mpris/MprisService.h"
#include "platform/HandedPath.h"
#include "platform/ImageSupport.h"
#include "platform/QuitSignals.h"
#include "platform/SingleInstance.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "platform/UserLanguage.h"
#include "sound/Sound.h"

#include <QApplication>
#include <QMainWindow>
#include <malloc.h>

using gx::GramoluxWindowLayout;
using gx::MprisService;

int main(int argc, char** argv)
{
    // Every thread that allocates would get a heap of its own, each holding
    // on to its free pages; two are plenty for a player (nothing allocates
    // on the audio thread).
    mallopt(M_ARENA_MAX, 2);

    // Read before the application exists, so that --help needs no display
    // and never reaches a running player.
    const gx::CommandLine command = gx::parseCommandLine(gx::argumentsAfterProgramName(argc, argv));
    if (command.action != gx::CommandLine::Action::Play)
        return gx::answerWithoutPlaying(command, GRAMOLUX_VERSION);

    // Sound need not wait for the window, nor for the toolkit: the device
    // and the first song named get ready on a worker, and unless a running
    // player will take the files the song starts before the toolkit does.
    // A folder or a playlist is listed once the application runs.
    if (!command.files.isEmpty() && !gx::HandOverExpander::isCollection(command.files.first())) {
        gx::Sound::preopen(gx::handedPath(command.files.first()).toStdString());
        if (!gx::SingleInstance::playerRunsAt(gx::SingleInstance::defaultSocketPath())) {
            AppController::initialize();
            AppController::startPreopenedSong();
        }
    }

    // On X11 the record's small redraws go through the socket rather than
    // shared memory, which makes every frame wait for the X server to let go
    // of the last one: twice the wake-ups of both, for no less copying.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");

    // Qt sees only the program's name: a file named like one of its options
    // stays a file.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setOrganizationName("Gramolux");
    QApplication::setApplicationName("Gramolux");
    QApplication::setApplicationVersion(GRAMOLUX_VERSION);
    QApplication::setDesktopFileName("gramolux");
    // Qt's dialog buttons speak the language our own texts do.
    gx::loadToolkitTranslations(gx::StringTable::language());

    if (!gx::reportMissingImageSupport()) {
        gx::Sound::dropPreopened();
        return gx::kExitFailure;
    }

    QStringList files;
    // As the running player will name them, so the song preopened is the one it asks for.
    for (const QString& arg : command.files)
        files << gx::handedPath(arg);

    gx::SingleInstance instance;
    if (instance.forwardOrListen(files)) {
        gx::Sound::dropPreopened();
        return 0;
    }

    AppController::initialize();
    AppController::preloadEffectSounds();
    int status = 0;
    {
        // The engine starts (the song named first plays already) before the
        // window is shown: the record is turning when it appears. A folder
        // or playlist is listed meanwhile, and its first song plays once known.
        GramoluxWindowLayout layout(files);
        AppController* controller = layout.appController();
        gx::HandOver* handOver = layout.handOver();
        QObject::connect(
            &instance, &gx::SingleInstance::filesReceived, controller, [&layout, handOver](const QStringList& paths) {
                layout.mainWindow()->raise();
                layout.mainWindow()->activateWindow();
                handOver->open(paths);
            });
        // A song started early but refused by the jukebox (or never asked
        // for) stops here instead of playing on, owned by nobody.
        gx::Sound::dropPreopened();
        MprisService mpris(controller->player(), *handOver, *layout.mainWindow());
        mpris.registerOnSessionBus();
        // A session logging out or a kill quits as the Quit command does;
        // quit() also ends a dialog's loop, which would keep the window.
        gx::QuitSignals quitSignals;
        QObject::connect(&quitSignals, &gx::QuitSignals::quitRequested, &app, [&layout] {
            layout.mainWindow()->close();
            QApplication::quit();
        });
        layout.show();
        status = QApplication::exec();
    }
    // Whatever the user set in the last moment is on disk before we go.
    gx::UserDefaults::standardUserDefaults().synchronize();
    return status;
}
