#pragma once
// The eleven effect sounds the controller plays: seven crackles, the hiss
// loop and the skip, stop and switch sounds. A sound whose resource is
// missing is still there, silent.
#include <memory>
#include <vector>

namespace gx {

class Sound;

struct EffectSounds {
    EffectSounds();
    ~EffectSounds();
    // Decodes the eleven from the resources.
    static std::shared_ptr<EffectSounds> load();

    std::vector<std::unique_ptr<Sound>> noises;
    std::unique_ptr<Sound> hiss;
    std::unique_ptr<Sound> skip;
    std::unique_ptr<Sound> stop;
    std::unique_ptr<Sound> switchSound;
};

} // namespace gx
