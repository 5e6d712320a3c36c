#include "controller/EffectSounds.h"

#include "sound/GXQTMusic.h"
#include "sound/SoundNames.h"

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
