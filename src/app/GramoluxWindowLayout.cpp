#include "app/GramoluxWindowLayout.h"

#include "app/AppController.h"
#include "app/ControlsMenu.h"
#include "app/QueueWindow.h"
#include "engine/Player.h"
#include "handover/HandOver.h"
#include "handover/HandOverExpander.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/PreferenceController.h"
#include "settings/SettingsKeys.h"
#include "sound/AudioEngine.h"
#include "turntable/TurntableModel.h"
#include "view/TurntableNotice.h"
#include "view/TurntableView.h"

#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QVBoxLayout>

namespace gx {

GramoluxWindowLayout::GramoluxWindowLayout(const QStringList& handed)
    : turntable_(std::make_unique<TurntableModel>())
    , mainWindow_(std::make_unique<QMainWindow>())
{
    // Songs arrive as events, once the event loop runs, so a folder or a
    // playlist named first is listed while the window is built.
    handOver_ = std::make_unique<HandOver>(HandOver::Receiver {
        [this](const QString& path) { appController_->player().open(path, Player::Road::handOver); },
        [this](const QStringList& paths) { appController_->player().enqueue(paths); },
        [this](const QString& notice) { view_->notice().show(notice); },
    });
    const bool listedAtOnce = !handed.isEmpty() && HandOverExpander::isCollection(handed.first());
    if (listedAtOnce)
        handOver_->open(handed);

    QMainWindow* window = mainWindow_.get();
    window->setWindowTitle(localizedString("Gramolux"));
    // Our own icon on every desktop, also where no desktop entry is installed.
    QApplication::setWindowIcon(QIcon(QString::fromStdString(gx::pathForResource("icon.png"))));
    view_ = new TurntableView(*turntable_, window);
    window->setCentralWidget(view_);
    // The window starts as the turntable's size and grows with it; never smaller.
    // Told once: the record turns and the song's time runs on, unheard.
    AudioEngine::shared().whenNoOutput([view = view_] {
        QMetaObject::invokeMethod(
            view, [view] { view->notice().show(localizedString("There is no sound output: the song plays silently")); },
            Qt::QueuedConnection);
    });

    appController_ = std::make_unique<AppController>();
    preferenceController_ = std::make_unique<PreferenceController>(
        [this](float volume) { appController_->player().setMusicVolume(volume); }, window);
    AppController* c = appController_.get();
    PreferenceController* prefs = preferenceController_.get();

    QMenu* gramolux = window->menuBar()->addMenu(localizedString("Gramolux"));
    gramolux->addAction(localizedString("About Gramolux"), c, [c] { c->showAbout(); });
    gramolux->addAction(
        localizedString("Preferences…"), QKeySequence::Preferences, prefs, [prefs] { prefs->showPanel(); });
    QAction* install = gramolux->addAction(localizedString("Install iTunes Script…"), c, [c] { c->installScript(); });
    gramolux->addSeparator();
    QAction* quit = gramolux->addAction(localizedString("Quit Gramolux"), QKeySequence::Quit, window, &QWidget::close);
    quit->setMenuRole(QAction::QuitRole);

    QMenu* file = window->menuBar()->addMenu(localizedString("File"));
    file->addAction(localizedString("Open…"), QKeySequence::Open, c, [c] { c->showOpenDialog(); });
    QMenu* recent = file->addMenu(localizedString("Open Recent"));

    QMenu* controls = window->menuBar()->addMenu(localizedString("Controls"));
    TurntableModel* turntable = turntable_.get();

    c->mainWindow = window;
    c->aboutPanel = makeAboutPanel();
    c->recentMenu = recent;
    c->turntable = turntable;
    c->installScriptItem = install;
    c->appMenu = gramolux;
    connect(c, &AppController::songNoticeChanged, view_, [this](const QString& notice) {
        if (notice.isEmpty())
            view_->notice().clear();
        else
            view_->notice().show(notice);
    });

    c->setUp();
    Player& player = c->player();
    controlsMenu_ = new ControlsMenu(*controls, player, this);
    queueWindow_ = new QueueWindow(player, window);
    controls->addSeparator();
    controls->addAction(localizedString("Queue…"), QKeySequence(Qt::CTRL | Qt::Key_L), queueWindow_,
        [this] { queueWindow_->showBeside(*mainWindow_); });
    connect(&player, &Player::stateChanged, this, &GramoluxWindowLayout::updateControls);
    // The panel hears of a change by a key or over the bus.
    connect(&player, &Player::musicVolumeChanged, prefs, &PreferenceController::musicVolumeChanged);
    connect(view_, &TurntableView::songTagsRead, &player, &Player::tagsRead);
    // Whatever the road (keys, dial, preferences, MPRIS), the turntable shows what changed.
    connect(&player, &Player::musicVolumeChanged, view_,
        [this](float volume) { view_->showFeedback(localizedString("Volume %1 %").arg(qRound(volume * 100.0f))); });
    connect(&player, &Player::speedChanged, view_, [this](float rate) {
        view_->showFeedback(localizedString("Speed %1×").arg(static_cast<double>(rate), 0, 'f', 2));
    });
    view_->showHint(localizedString("Drop a song here, or choose File ▸ Open…"));
    // Plain files named first go to the controller now: the song named
    // first may be playing already.
    if (!listedAtOnce)
        handOver_->open(handed);
}

GramoluxWindowLayout::~GramoluxWindowLayout()
{
    // Controllers first: the engine stops and its threads end while the model
    // and the sounds they drive still exist; the model goes last. No listing
    // feeds them meanwhile.
    AudioEngine::shared().whenNoOutput({});
    handOver_.reset();
    appController_.reset();
    preferenceController_.reset();
    if (shown_)
        UserDefaults::standardUserDefaults().setString(
            QString::fromLatin1(mainWindow_->saveGeometry().toBase64()), keys::windowGeometry);
    mainWindow_.reset();
    turntable_->hooks() = {};
}

void GramoluxWindowLayout::show()
{
    // Where and as large as it was left; the first time, the turntable's size.
    const QVariant geometry = UserDefaults::standardUserDefaults().objectForKey(keys::windowGeometry);
    if (!shown_ && geometry.isValid())
        mainWindow_->restoreGeometry(QByteArray::fromBase64(geometry.toString().toLatin1()));
    shown_ = true;
    mainWindow_->show();
    view_->setFocus();
}

QDialog* GramoluxWindowLayout::makeAboutPanel()
{
    auto* panel = new QDialog(mainWindow_.get(), Qt::Dialog);
    panel->setWindowTitle(localizedString("About Gramolux"));
    auto* box = new QVBoxLayout(panel);
    auto* icon = new QLabel(panel);
    icon->setPixmap(QPixmap(QString::fromStdString(gx::pathForResource("icon.png")))
                        .scaled(128, 128, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel("<b>Gramolux</b> " + QApplication::applicationVersion(), panel);
    name->setAlignment(Qt::AlignCenter);
    auto* credit
        = new QLabel(localizedString("A record player for your music files, made by the Gramolux developers."), panel);
    credit->setAlignment(Qt::AlignCenter);
    box->addWidget(icon);
    box->addWidget(name);
    box->addWidget(credit);
    box->setSizeConstraint(QLayout::SetFixedSize);
    return panel;
}

QAction* GramoluxWindowLayout::nextSongAction() const
{
    return controlsMenu_->item(localizedString("Next Song"));
}

void GramoluxWindowLayout::updateControls()
{
    // Not while the controller goes away (its last stop lands here).
    if (!appController_)
        return;
    const Player& player = appController_->player();
    const bool hasSong = player.song() != nullptr;
    view_->describeRecord(hasSong ? player.songTitle() : QString(), player.lengthSeconds(),
        hasSong ? player.loudnessGainDb() : std::nullopt);
    view_->showSong(hasSong ? player.songPath() : QString());
}

} // namespace gx
