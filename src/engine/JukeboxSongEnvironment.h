#pragma once
// What one run of the jukebox tick sees in the running program: the run's
// song, the turntable, the effect sounds and the settings store, whose
// levels are read at the moment of use.
#include "engine/JukeboxTick.h"

#include <functional>
#include <memory>
#include <vector>

namespace gx {

class Sound;
class TurntableModel;
class UserDefaults;

class JukeboxSongEnvironment : public JukeboxEnvironment {
public:
    // Each needle fall-back calls needleFellBack, when given, on the
    // jukebox thread.
    JukeboxSongEnvironment(TurntableModel& turntable, std::shared_ptr<Sound> song, Sound* skipSound,
        const std::vector<std::unique_ptr<Sound>>& noiseSounds, const UserDefaults& store,
        std::function<void()> needleFellBack = {});

    float songPosition() override;
    float songLength() override;
    void setSongPosition(float seconds) override;
    void setSongRate(float rate) override;
    bool isArmDragging() override;
    void setArmValue(float value) override;
    void setDiskSpeed(float speed) override;
    void playSkipSound() override;
    int noiseSoundCount() override;
    void playNoiseSound(int index) override;
    float distortionLevel() override;
    float skipLevel() override;
    float noiseLevel() override;
    long random() override;

private:
    TurntableModel& turntable_;
    std::shared_ptr<Sound> song_;
    Sound* skipSound_;
    const std::vector<std::unique_ptr<Sound>>& noiseSounds_;
    const UserDefaults& store_;
    const std::function<void()> needleFellBack_;
};

} // namespace gx
