#include "engine/JukeboxTick.h"

#include "support/TestSupport.h"
#include <deque>
#include <tuple>

using namespace gx;

namespace {

// A song that moves on by itself between ticks, a turntable and scripted
// random draws; records what the tick drives.
class FakeEnvironment : public JukeboxEnvironment {
public:
    float position = 0.0f;
    float length = 100.0f;
    bool dragging = false;
    float distortion = 0.0f, skip = 0.0f, noise = 0.0f;
    std::deque<long> draws;
    long quietDraw = 1; // when the script runs out: no effect fires
    int drawsTaken = 0;

    float armValue = -1.0f;
    std::vector<float> diskSpeeds, songRates, seeks;
    int skipSounds = 0;
    std::vector<int> noisesPlayed;

    float songPosition() override { return position; }
    float songLength() override { return length; }
    void setSongPosition(float s) override { seeks.push_back(position = s); }
    void setSongRate(float r) override { songRates.push_back(r); }
    bool isArmDragging() override { return dragging; }
    void setArmValue(float v) override { armValue = v; }
    void setDiskSpeed(float s) override { diskSpeeds.push_back(s); }
    void playSkipSound() override { ++skipSounds; }
    int noiseSoundCount() override { return 7; }
    void playNoiseSound(int i) override { noisesPlayed.push_back(i); }
    float distortionLevel() override { return distortion; }
    float skipLevel() override { return skip; }
    float noiseLevel() override { return noise; }
    long random() override
    {
        ++drawsTaken;
        const long v = draws.empty() ? quietDraw : draws.front();
        if (!draws.empty())
            draws.pop_front();
        return v;
    }
};

struct Jukebox {
    FakeEnvironment env;
    JukeboxRates rates;
    JukeboxTick tick {env, rates};
    void start(float defaultRate)
    {
        rates.defaultRate = defaultRate;
        rates.targetRate = defaultRate;
        rates.currentRate = static_cast<float>(static_cast<double>(defaultRate) - 0.1);
        tick.begin();
    }
};

} // namespace

TEST(JukeboxRate, GlidesFromPointNineToOneInFiftyOneTicksDrawingNoWowUntilItArrives)
{
    Jukebox j;
    j.start(1.0f);
    j.env.quietDraw = 0; // every wow draw would fire
    EXPECT_EQ(j.rates.currentRate.load(), 0.9f);
    int ticks = 0;
    while (j.rates.currentRate.load() != 1.0f && ticks < 100) {
        EXPECT_EQ(j.env.drawsTaken, 0);
        const float before = j.rates.currentRate;
        j.tick.tick();
        ++ticks;
        const float step = j.rates.currentRate - before;
        if (j.rates.currentRate.load() != 1.0f)
            EXPECT_NEAR(step, 0.002f, 0.0001f);
        else
            EXPECT_LE(step, 0.002f); // the last step stops at the target
    }
    EXPECT_EQ(ticks, 51);
    EXPECT_EQ(j.env.drawsTaken, 3); // arrived, it draws at once (no distortion: the same target)
    ASSERT_EQ(j.env.diskSpeeds.size(), 51u);
    EXPECT_EQ(j.env.songRates, j.env.diskSpeeds); // disc and song move together
    EXPECT_EQ(j.env.diskSpeeds.back(), 1.0f);
    for (int i = 0; i < 20; ++i)
        j.tick.tick();
    EXPECT_EQ(j.env.diskSpeeds.size(), 51u); // at the target nothing is pushed

    j.rates.currentRate = static_cast<float>(1.0 + 0.02); // as the dial leaves it: eleven ticks down
    for (ticks = 0; j.rates.currentRate.load() != 1.0f && ticks < 100; ++ticks)
        j.tick.tick();
    EXPECT_EQ(ticks, 11);
}

TEST(JukeboxDistortion, DrawsTargetsFromTheDefaultRate)
{
    // The default rate; the draws: chance (a multiple of 40 fires), k, side
    // (odd: below); the target drawn.
    const std::tuple<float, std::deque<long>, float> cases[] = {{1.0f, {40 * 7 + 1}, 0.5f},
        {1.0f, {80, 89 + 90 * 3, 5}, 1.0f - 0.089f}, {1.0f, {0, 89, 4}, 1.0f + 0.089f}, {1.0f, {0, 0, 3}, 1.0f},
        {0.05f, {0, 89, 1}, 0.0f}, {0.0f, {0, 89, 2}, 0.0f}}; // never below 0; a stopped dial pins it
    for (const auto& [defaultRate, draws, target] : cases) {
        Jukebox j;
        j.env.distortion = 1.0f;
        j.env.draws = draws;
        j.rates.defaultRate = defaultRate;
        j.rates.targetRate = 0.5f;
        drawDistortion(j.env, j.rates);
        EXPECT_NEAR(j.rates.targetRate.load(), target, 1e-6) << draws.front();
        EXPECT_EQ(j.env.drawsTaken, static_cast<int>(draws.size()));
    }
}

TEST(JukeboxLevels, DivisorTablesAtEveryPanelLevel)
{
    const int skipTable[] = {18, 16, 14, 12, 11, 8, 7, 4, 3, 1};
    const int crackleTable[] = {39, 35, 31, 27, 23, 19, 15, 11, 7, 3};
    for (int i = 1; i <= 10; ++i) {
        // The panel stores whole hundredths: the double quotient rounded to float.
        const float level = static_cast<float>(i * 10 / 100.0);
        EXPECT_EQ(skipDivisor(level), skipTable[i - 1]) << "skip " << level;
        EXPECT_EQ(crackleDivisor(level), crackleTable[i - 1]) << "noise " << level;
    }
    EXPECT_EQ(crackleDivisor(0.85f), 8);
    // Beyond the panel's range: never a divisor of 0 or below; a level below
    // 0 or no number at all acts as 0.
    for (const float level : {1.5f, 2.0f, 1e30f}) {
        EXPECT_EQ(skipDivisor(level), 1) << level;
        EXPECT_EQ(crackleDivisor(level), 1) << level;
    }
    for (const float level : {-0.5f, std::nanf(""), INFINITY})
        EXPECT_EQ(effectiveLevel(level), 0.0f) << level;
    EXPECT_EQ(effectiveLevel(0.3f), 0.3f);
}

namespace {

// Plays the song forward 0.03 s per tick until a skip is armed.
int tickUntilArmed(Jukebox& j, int limit)
{
    for (int i = 0; i < limit; ++i) {
        j.env.position += 0.03f;
        j.tick.tick();
        if (j.tick.skipCount() != 0)
            return i;
    }
    return -1;
}

} // namespace

TEST(JukeboxSkip, ArmsOnlyAtDivisionsPastTheGuardFallsBackEachTimeAndADragCancelsIt)
{
    Jukebox j;
    j.env.noise = 1.0f;
    j.env.skip = 1.0f;    // every crossing arms
    j.env.length = 10.0f; // a division every 0.2 s
    j.start(1.0f);
    j.rates.currentRate = 1.0f; // no wow draws in the way
    j.env.quietDraw = 0;

    ASSERT_GE(tickUntilArmed(j, 200), 0);
    // Not within the first 1.5 s of the run (the anchor starts at 0).
    EXPECT_GT(j.tick.skipAnchor(), 1.5f);
    const float anchor = j.tick.skipAnchor();
    const int count = j.tick.skipCount();
    EXPECT_GE(count, 1);
    EXPECT_LE(count, 5);

    // Each time the song passes the anchor it falls back to anchor - 1 s.
    int fallBacks = 0;
    for (int i = 0; i < 400 && j.tick.skipCount() != 0; ++i) {
        j.env.position += 0.03f;
        const size_t seeksBefore = j.env.seeks.size();
        j.tick.tick();
        if (j.env.seeks.size() > seeksBefore) {
            ++fallBacks;
            EXPECT_EQ(j.env.seeks.back(), anchor - 1.0f);
        }
    }
    EXPECT_EQ(fallBacks, count);
    EXPECT_EQ(j.env.skipSounds, count);

    // The next skip needs 1.5 s of song past the last anchor.
    const int next = tickUntilArmed(j, 400);
    ASSERT_GE(next, 0);
    EXPECT_GT(static_cast<double>(j.tick.skipAnchor()), static_cast<double>(anchor) + 1.5);

    // Dragging the arm cancels the pending skip and freezes everything.
    const auto done = [&] { return std::tuple(j.env.diskSpeeds.size(), j.env.noisesPlayed.size(), j.env.drawsTaken); };
    const auto before = done();
    j.env.dragging = true;
    j.env.armValue = 0.123f;
    j.env.position += 0.5f;
    j.tick.tick();
    EXPECT_EQ(j.tick.skipCount(), 0);
    EXPECT_EQ(j.tick.skipAnchor(), 0.0f);
    EXPECT_EQ(j.env.armValue, 0.123f); // the arm follows only the pointer
    EXPECT_EQ(done(), before);         // no push, no crackle, no draw
}

TEST(JukeboxTickOrder, WowThenSkipThenCrackleDrawInOneTickAndCracklesFollowTheLevel)
{
    Jukebox j;
    j.env.distortion = 1.0f;
    j.env.skip = 1.0f;
    j.env.noise = 1.0f;
    j.env.length = 10.0f;
    j.env.position = 2.1f;
    j.start(1.0f);
    j.rates.currentRate = 1.0f;
    j.env.position = 2.25f; // crosses 2.2
    // Above seven tenths a second draw adds to the skip count: 2 + 1.
    j.env.draws = {0, 50, 2, /* skip */ 0, 1, 1, /* crackle */ 0, 4};
    j.tick.tick();
    EXPECT_NEAR(j.rates.targetRate.load(), 1.05f, 1e-6);
    EXPECT_EQ(j.tick.skipCount(), 3);
    EXPECT_EQ(j.tick.skipAnchor(), 2.25f);
    EXPECT_EQ(j.env.drawsTaken, 8);

    // With the skip pending and the rate on its way only the crackle draws:
    // 1 in 3 at full level, never at zero.
    j.env.draws = {3, 12}; // 3 % 3 fires; 12 % 7 = 5
    j.tick.tick();
    j.env.draws = {4};
    j.tick.tick();
    EXPECT_EQ(j.env.noisesPlayed, (std::vector<int> {4, 5}));
    j.env.noise = 0.0f;
    j.env.quietDraw = 0; // every chance would fire
    for (int i = 0; i < 300; ++i)
        j.tick.tick();
    EXPECT_EQ(j.env.noisesPlayed.size(), 2u);
}

TEST(JukeboxTick, ArmFollowsTheSongFractionAndASongWithoutLengthNeverSkips)
{
    Jukebox j;
    j.env.length = 8.0f;
    j.env.position = 4.0f;
    j.start(1.0f);
    j.env.position = 6.0f;
    j.tick.tick();
    EXPECT_EQ(j.env.armValue, 0.75f);
    j.env.position = 8.0f; // at the end the engine keeps running with the arm at 1
    j.tick.tick();
    EXPECT_EQ(j.env.armValue, 1.0f);
    for (const float length : {0.0f, -1.0f}) {
        Jukebox n;
        n.env.length = length;
        n.env.skip = 1.0f;
        n.env.quietDraw = 0;
        n.start(1.0f);
        for (int i = 0; i < 200; ++i, n.env.position += 0.03f)
            n.tick.tick();
        EXPECT_EQ(n.env.armValue, 0.0f);
        EXPECT_EQ(n.env.skipSounds, 0);
    }
}
