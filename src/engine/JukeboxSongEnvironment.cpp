#include "engine/JukeboxSongEnvironment.h"

#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sound/Sound.h"
#include "turntable/TurntableModel.h"

#include <cstdlib>

namespace gx {

JukeboxSongEnvironment::JukeboxSongEnvironment(TurntableModel& turntable, std::shared_ptr<Sound> song, Sound* skipSound,
    const std::vector<std::unique_ptr<Sound>>& noiseSounds, const UserDefaults& store,
    std::function<void()> needleFellBack)
    : turntable_(turntable)
    , song_(std::move(song))
    , skipSound_(skipSound)
    , noiseSounds_(noiseSounds)
    , store_(store)
    , needleFellBack_(std::move(needleFellBack))
{
}

float JukeboxSongEnvironment::songPosition()
{
    return song_->positionSeconds();
}
float JukeboxSongEnvironment::songLength()
{
    return song_->lengthSeconds();
}
void JukeboxSongEnvironment::setSongPosition(float seconds)
{
    song_->setPositionSeconds(seconds);
    if (needleFellBack_)
        needleFellBack_();
}
void JukeboxSongEnvironment::setSongRate(float rate)
{
    song_->setRate(rate);
}
bool JukeboxSongEnvironment::isArmDragging()
{
    return turntable_.isArmDragging();
}
void JukeboxSongEnvironment::setArmValue(float value)
{
    turntable_.setArmValue(value);
}
void JukeboxSongEnvironment::setDiskSpeed(float speed)
{
    turntable_.setDiskSpeed(speed);
}

void JukeboxSongEnvironment::playSkipSound()
{
    if (skipSound_)
        skipSound_->play();
}

int JukeboxSongEnvironment::noiseSoundCount()
{
    return static_cast<int>(noiseSounds_.size());
}
void JukeboxSongEnvironment::playNoiseSound(int index)
{
    noiseSounds_[static_cast<size_t>(index)]->play();
}
float JukeboxSongEnvironment::distortionLevel()
{
    return store_.floatForKey(gx::keys::distortion);
}
float JukeboxSongEnvironment::skipLevel()
{
    return store_.floatForKey(gx::keys::skip);
}
float JukeboxSongEnvironment::noiseLevel()
{
    return store_.floatForKey(gx::keys::noise);
}
// The C library's generator, never seeded.
long JukeboxSongEnvironment::random()
{
    return ::random();
}

} // namespace gx
