#include "settings/SettingsKeys.h"

#include "platform/UserDefaults.h"

#include <mutex>

namespace gx::keys {

void registerDefaults()
{
    static std::once_flag once;
    std::call_once(once, [] {
        UserDefaults::standardUserDefaults().registerDefaults({
            {musicVolume, 0.8f},
            {effectsVolume, 0.6f},
            {distortion, 0.4f},
            {skip, 0.4f},
            {noise, 0.6f},
        });
    });
}

} // namespace gx::keys
