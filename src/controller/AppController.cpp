// The controller's state, start-up, tear-down and volume mapping.
#include "controller/AppController.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"

#include <QTimer>
#include <future>
#include <mutex>
#include <system_error>

using gx::NotificationCenter;
using gx::UserDefaults;
namespace keys = gx::keys;
namespace names = gx::names;

namespace {

struct EffectSounds {
    std::vector<std::unique_ptr<GXQTMusic>> noises;
    std::unique_ptr<GXQTMusic> hiss, skip, stop, switchSound;
};

EffectSounds loadEffectSounds()
{
    EffectSounds sounds;
    for (int i = 1; i <= 7; ++i)
        sounds.noises.push_back(GXQTMusic::initWithResourceFile("noise" + std::to_string(i)));
    sounds.hiss = GXQTMusic::initWithResourceFile("hiss");
    sounds.skip = GXQTMusic::initWithResourceFile("skip");
    sounds.stop = GXQTMusic::initWithResourceFile("stop");
    sounds.switchSound = GXQTMusic::initWithResourceFile("switch");
    return sounds;
}

std::mutex preloadMutex;
// Never destroyed: sounds still held at exit must not outlive the engine.
std::future<EffectSounds>& preloaded()
{
    static auto* future = new std::future<EffectSounds>();
    return *future;
}

EffectSounds takeEffectSounds()
{
    std::lock_guard lock(preloadMutex);
    return preloaded().valid() ? preloaded().get() : loadEffectSounds();
}

} // namespace

void AppController::preloadEffectSounds()
{
    std::lock_guard lock(preloadMutex);
    if (preloaded().valid())
        return;
    try {
        preloaded() = std::async(std::launch::async, loadEffectSounds);
    } catch (const std::system_error&) {
        // No thread to be had: awakeFromNib loads them itself.
    }
}

void AppController::startPreopenedSong()
{
    // The dial's rate before awakeFromNib is 1.0, as awakeFromNib sets it.
    const float rate = static_cast<float>(1.0 - 0.1);
    GXQTMusic::playPreopened(UserDefaults::standardUserDefaults().floatForKey(keys::musicVolume), rate);
}

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

    EffectSounds sounds = takeEffectSounds();
    noiseSounds_ = std::move(sounds.noises);
    hissNoise_ = std::move(sounds.hiss);
    skipNoise_ = std::move(sounds.skip);
    stopSound_ = std::move(sounds.stop);
    switchSound_ = std::move(sounds.switchSound);

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
