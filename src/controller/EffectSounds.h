#pragma once
// The eleven effect sounds the controller plays: seven crackles, the hiss
// loop and the skip, stop and switch sounds. A sound whose resource is
// missing is still there, silent.
#include <memory>
#include <vector>

class GXQTMusic;

namespace gx {

struct EffectSounds {
    EffectSounds();
    ~EffectSounds();
    // Decodes the eleven from the resources.
    static std::shared_ptr<EffectSounds> load();

    std::vector<std::unique_ptr<GXQTMusic>> noises;
    std::unique_ptr<GXQTMusic> hiss;
    std::unique_ptr<GXQTMusic> skip;
    std::unique_ptr<GXQTMusic> stop;
    std::unique_ptr<GXQTMusic> switchSound;
};

} // namespace gx
