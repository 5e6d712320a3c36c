#include "engine/EffectSounds.h"

#include "sound/Sound.h"
#include "sound/SoundNames.h"

namespace gx {

EffectSounds::EffectSounds() = default;
EffectSounds::~EffectSounds() = default;

std::shared_ptr<EffectSounds> EffectSounds::load()
{
    auto sounds = std::make_shared<EffectSounds>();
    for (int i = 1; i <= sounds::crackleCount; ++i)
        sounds->noises.push_back(Sound::openResource(sounds::crackle(i)));
    sounds->hiss = Sound::openResource(sounds::hiss);
    sounds->skip = Sound::openResource(sounds::skip);
    sounds->stop = Sound::openResource(sounds::stop);
    sounds->switchSound = Sound::openResource(sounds::switchClick);
    return sounds;
}

} // namespace gx
