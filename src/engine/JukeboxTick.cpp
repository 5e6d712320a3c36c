#include "engine/JukeboxTick.h"

#include "platform/StepInDouble.h"

#include <cmath>

namespace gx {

float effectiveLevel(float level)
{
    return std::isfinite(level) && level > 0.0f ? level : 0.0f;
}

long skipDivisor(float skip)
{
    const double n = std::trunc(21.0 - 20.0 * static_cast<double>(skip));
    return n < 1.0 ? 1 : n > 21.0 ? 21 : static_cast<long>(n);
}

long crackleDivisor(float noise)
{
    const float m = std::trunc(static_cast<float>(43.0 - 40.0 * static_cast<double>(noise)));
    return m < 1.0f ? 1 : m > 43.0f ? 43 : static_cast<long>(m);
}

void drawDistortion(JukeboxEnvironment& env, JukeboxRates& rates)
{
    if (env.random() % 40 != 0)
        return;
    const float k = static_cast<float>(env.random() % 90);
    const float d = env.distortionLevel();
    const float delta = static_cast<float>(static_cast<double>(k * d) / 1000.0);
    const float base = rates.defaultRate.load();
    float target = (env.random() % 2 != 0) ? base - delta : base + delta;
    if (target < 0.0f)
        target = 0.0f;
    if (base == 0.0f)
        target = 0.0f;
    rates.targetRate = target;
}

void handleDistortionTask(JukeboxEnvironment& env, JukeboxRates& rates)
{
    float current = rates.currentRate.load();
    const float target = rates.targetRate.load();
    auto push = [&](float rate) {
        rates.currentRate = rate;
        env.setDiskSpeed(rate);
        env.setSongRate(rate);
    };
    if (current < target) {
        current = gx::stepInDouble(current, 0.002);
        if (current > target)
            current = target;
        push(current);
    }
    if (current > target) {
        current = gx::stepInDouble(current, -0.002);
        if (current < target)
            current = target;
        push(current);
    }
    if (current == target)
        drawDistortion(env, rates);
}

JukeboxTick::JukeboxTick(JukeboxEnvironment& env, JukeboxRates& rates)
    : env_(env)
    , rates_(rates)
{
}

float JukeboxTick::readFraction()
{
    // A song that failed to load or has no length keeps the arm at the start.
    const float length = env_.songLength();
    if (!(length > 0.0f))
        return 0.0f;
    const float f = env_.songPosition() / length;
    return std::isfinite(f) ? f : 0.0f;
}

void JukeboxTick::begin()
{
    fraction_ = readFraction();
    previousFraction_ = fraction_;
    skipCount_ = 0;
    skipAnchor_ = 0.0f;
}

void JukeboxTick::tick()
{
    previousFraction_ = fraction_;
    fraction_ = readFraction();
    if (env_.isArmDragging()) {
        skipCount_ = 0;
        skipAnchor_ = 0.0f;
        return;
    }
    env_.setArmValue(fraction_);
    handleDistortionTask(env_, rates_);
    skipEffect();
    crackleNoise();
}

void JukeboxTick::skipEffect()
{
    if (skipCount_ != 0) {
        if (env_.songPosition() > skipAnchor_) {
            --skipCount_;
            env_.setSongPosition(skipAnchor_ - 1.0f);
            env_.playSkipSound();
        }
        return;
    }
    const float skip = effectiveLevel(env_.skipLevel());
    if (!(skip > 0.0f))
        return;
    // Crossing one of the 50 divisions of the song.
    if (std::trunc(previousFraction_ * 50.0f) == std::trunc(fraction_ * 50.0f))
        return;
    if (!(static_cast<double>(env_.songPosition()) > static_cast<double>(skipAnchor_) + 1.5))
        return;
    if (env_.random() % skipDivisor(skip) != 0)
        return;
    skipAnchor_ = env_.songPosition();
    skipCount_ = static_cast<int>(env_.random() % 3) + 1;
    if (static_cast<double>(effectiveLevel(env_.skipLevel())) > 0.7)
        skipCount_ += static_cast<int>(env_.random() % 3);
}

void JukeboxTick::crackleNoise()
{
    const float noise = effectiveLevel(env_.noiseLevel());
    if (!(noise > 0.0f))
        return;
    if (env_.random() % crackleDivisor(noise) != 0)
        return;
    const long choice = env_.random();
    if (const int count = env_.noiseSoundCount(); count > 0)
        env_.playNoiseSound(static_cast<int>(choice % count));
}

} // namespace gx
