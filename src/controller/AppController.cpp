// The controller's state, start-up, tear-down and volume mapping.
#include "controller/AppController.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"

#include <QTimer>

using gx::NotificationCenter;
using gx::UserDefaults;
namespace keys = gx::keys;
namespace names = gx::names;

void AppController::initialize()
{
    keys::registerDefaults();
    GXQTMusic::initialize();
}

AppController::AppController(QObject* parent) : QObject(parent)
{
    initialize();
}

AppController::~AppController()
{
    // Unsubscribe first: once this returns no handler of ours is running on
    // the spin thread, so nothing below races with a disc-stopped answer.
    NotificationCenter::defaultCenter().removeObserver(this);
    if (isPlaying_)
        stopJukeBox();
    // Every worker leaves before any sound it plays is destroyed.
    joinWorkers();
    dropMusicDoneTimer();
    {
        std::lock_guard lock(songMutex_);
        theMusic_.reset();
    }
    noiseSounds_.clear();
    hissNoise_.reset();
    skipNoise_.reset();
    stopSound_.reset();
    switchSound_.reset();
}

void AppController::awakeFromNib()
{
    auto& center = NotificationCenter::defaultCenter();
    const auto subscribe = [&](const std::string& name, void (AppController::*handler)()) {
        center.addObserver(this, [this, handler](const gx::Notification&) { (this->*handler)(); }, name);
    };
    subscribe(names::playBtnClicked, &AppController::palyBtnClicked);
    subscribe(names::armStartDragg, &AppController::armStartDragg);
    subscribe(names::armEndDragg, &AppController::armEndDragg);
    subscribe(names::recordDiskStoped, &AppController::recordDiskStopped);
    subscribe(names::dialDragged, &AppController::dialDragged);
    subscribe(names::preferenceChanged, &AppController::preferenceChanged);

    rates_.defaultRate = 1.0f;
    resetRecentFileMenu();

    for (int i = 1; i <= 7; ++i)
        noiseSounds_.push_back(GXQTMusic::initWithResourceFile("noise" + std::to_string(i)));
    hissNoise_ = GXQTMusic::initWithResourceFile("hiss");
    skipNoise_ = GXQTMusic::initWithResourceFile("skip");
    stopSound_ = GXQTMusic::initWithResourceFile("stop");
    switchSound_ = GXQTMusic::initWithResourceFile("switch");

    reserveBox_.clear();
    lastPlayTime_.reset();
    setVolumeToPreference();
    removeInstallAppleScriptMenuItemIfAlreladyInstalled();
}

void AppController::setVolumeToPreference()
{
    auto& store = UserDefaults::standardUserDefaults();
    if (const auto song = theMusic())
        song->setVolume(store.floatForKey(keys::musicVolume));
    for (const auto& noise : noiseSounds_)
        noise->setVolume(store.floatForKey(keys::effectsVolume));
    for (GXQTMusic* sound : {hissNoise_.get(), skipNoise_.get(), stopSound_.get(), switchSound_.get()})
        if (sound)
            sound->setVolume(store.floatForKey(keys::effectsVolume));
}

void AppController::preferenceChanged()
{
    setVolumeToPreference();
}

std::shared_ptr<GXQTMusic> AppController::theMusic() const
{
    std::lock_guard lock(songMutex_);
    return theMusic_;
}
