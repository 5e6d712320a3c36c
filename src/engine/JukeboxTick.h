#pragma once
// One tick of the jukebox thread and the wow draw, as plain code over an
// environment interface: no Qt, no threads, no sound device. The controller's
// thread calls tick() every 0.03 s; tests drive it tick by tick.
#include "platform/StepInDouble.h"

#include <atomic>
#include <cstdint>

namespace gx {

// A run starts this far below the dial's rate and glides up to it, like a
// platter coming up to speed.
inline float startingRate(float dialRate)
{
    return stepInDouble(dialRate, -0.1);
}

// The three rates shared with the main thread (last writer wins).
struct JukeboxRates {
    std::atomic<float> currentRate {0.0f};
    std::atomic<float> targetRate {0.0f};
    std::atomic<float> defaultRate {0.0f};
};

// What a tick reads and drives. Levels are read at the moment of use.
class JukeboxEnvironment {
public:
    virtual ~JukeboxEnvironment() = default;
    virtual float songPosition() = 0;
    virtual float songLength() = 0;
    virtual void setSongPosition(float seconds) = 0;
    virtual void setSongRate(float rate) = 0;
    virtual bool isArmDragging() = 0;
    virtual void setArmValue(float value) = 0;
    virtual void setDiskSpeed(float speed) = 0;
    virtual void playSkipSound() = 0;
    virtual int noiseSoundCount() = 0;
    virtual void playNoiseSound(int index) = 0;
    virtual float distortionLevel() = 0;
    virtual float skipLevel() = 0;
    virtual float noiseLevel() = 0;
    // 0 to 2^31 - 1, as the C library's random().
    virtual long random() = 0;
};

// Levels the store can hold but the panel cannot set: below 0, NaN or
// infinite act as 0 (no effect).
float effectiveLevel(float level);
// Skip chance 1 in n, n = trunc(21 - 20 * skip) in double precision; a
// divisor of 0 or below counts as 1.
long skipDivisor(float skip);
// Crackle chance 1 in m, m = trunc(float(43 - 40 * noise)); 0 or below is 1.
long crackleDivisor(float noise);

// The wow draw: may pick a new target near the default rate.
void drawDistortion(JukeboxEnvironment& env, JukeboxRates& rates);
// The rate step of one tick: currentRate moves 0.002 toward targetRate and each
// change goes to the disc and the song; at the target the wow draw follows.
void handleDistortionTask(JukeboxEnvironment& env, JukeboxRates& rates);

class JukeboxTick {
public:
    JukeboxTick(JukeboxEnvironment& env, JukeboxRates& rates);
    // Reads the starting song fraction (the thread's step 1).
    void begin();
    void tick();

    int skipCount() const { return skipCount_; }
    float skipAnchor() const { return skipAnchor_; }

private:
    float readFraction();
    void skipEffect();
    void crackleNoise();

    JukeboxEnvironment& env_;
    JukeboxRates& rates_;
    float fraction_ = 0.0f;
    float previousFraction_ = 0.0f;
    int skipCount_ = 0;
    float skipAnchor_ = 0.0f;
};

} // namespace gx
