// The controller's state, start-up, tear-down and volume mapping.
#include "controller/AppController.h"

#include "controller/EffectSounds.h"
#include "controller/UserPrompts.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/ThreadName.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/GXQTMusic.h"
#include "sound/SoundNames.h"

#include <QTimer>
#include <future>
#include <mutex>
#include <system_error>
#include <utility>

using gx::NotificationCenter;
using gx::UserDefaults;
namespace keys = gx::keys;
namespace names = gx::names;

namespace gx {

EffectSounds::EffectSounds() = default;
EffectSounds::~EffectSounds() = default;

std::shared_ptr<EffectSounds> EffectSounds::load()
{
    auto sounds = std::make_shared<EffectSounds>();
    for (int i = 1; i <= sounds::crackleCount; ++i)
        sounds->noises.push_back(GXQTMusic::initWithResourceFile(sounds::crackle(i)));
    sounds->hiss = GXQTMusic::initWithResourceFile(sounds::hiss);
    sounds->skip = GXQTMusic::initWithResourceFile(sounds::skip);
    sounds->stop = GXQTMusic::initWithResourceFile(sounds::stop);
    sounds->switchSound = GXQTMusic::initWithResourceFile(sounds::switchClick);
    return sounds;
}

} // namespace gx

namespace {

using gx::EffectSounds;

std::mutex preloadMutex;
// Never destroyed: sounds still held at exit must not outlive the engine.
std::future<std::shared_ptr<EffectSounds>>& preloaded()
{
    static auto* future = new std::future<std::shared_ptr<EffectSounds>>();
    return *future;
}
std::shared_ptr<EffectSounds>& provided()
{
    static auto* sounds = new std::shared_ptr<EffectSounds>();
    return *sounds;
}

std::shared_ptr<EffectSounds> takeEffectSounds()
{
    std::lock_guard lock(preloadMutex);
    if (provided())
        return std::exchange(provided(), nullptr);
    return preloaded().valid() ? preloaded().get() : EffectSounds::load();
}

} // namespace

void AppController::preloadEffectSounds()
{
    std::lock_guard lock(preloadMutex);
    if (preloaded().valid())
        return;
    try {
        preloaded() = std::async(std::launch::async, [] {
            gx::nameThisThread("gx-preload");
            return EffectSounds::load();
        });
    } catch (const std::system_error&) {
        // No thread to be had: awakeFromNib loads them itself.
    }
}

void AppController::provideEffectSounds(std::shared_ptr<gx::EffectSounds> sounds)
{
    std::lock_guard lock(preloadMutex);
    provided() = std::move(sounds);
}

void AppController::startPreopenedSong()
{
    // The dial's rate before awakeFromNib is 1.0, as awakeFromNib sets it.
    GXQTMusic::playPreopened(
        UserDefaults::standardUserDefaults().floatForKey(keys::musicVolume), gx::startingRate(1.0f));
}

void AppController::initialize()
{
    keys::registerDefaults();
    GXQTMusic::initialize();
}

AppController::AppController(QObject* parent)
    : QObject(parent)
    , sounds_(std::make_shared<gx::EffectSounds>())
    , recentFiles_(this, [this](QAction* item) { recentFileMenuSelected(item); })
{
    initialize();
}

AppController::~AppController()
{
    // No answer to the turntable's notifications once the controller goes.
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
    sounds_.reset();
}

void AppController::awakeFromNib()
{
    auto& centre = NotificationCenter::defaultCenter();
    const auto subscribe = [&](const std::string& name, void (AppController::*handler)()) {
        centre.addObserver(
            this, [this, handler](const gx::Notification&) { (this->*handler)(); }, name);
    };
    subscribe(names::playBtnClicked, &AppController::palyBtnClicked);
    subscribe(names::armStartDragg, &AppController::armStartDragg);
    subscribe(names::armEndDragg, &AppController::armEndDragg);
    subscribe(names::recordDiskStoped, &AppController::recordDiskStopped);
    subscribe(names::dialDragged, &AppController::dialDragged);
    subscribe(names::preferenceChanged, &AppController::preferenceChanged);

    rates_.defaultRate = 1.0f;
    resetRecentFileMenu();

    sounds_ = takeEffectSounds();

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
    for (const auto& noise : sounds_->noises)
        noise->setVolume(store.floatForKey(keys::effectsVolume));
    for (GXQTMusic* sound : {sounds_->hiss.get(), sounds_->skip.get(), sounds_->stop.get(), sounds_->switchSound.get()})
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
