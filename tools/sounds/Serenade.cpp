#include "Serenade.h"

#include "Biquad.h"
#include "Instruments.h"
#include "Reverb.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace gx::synth {

namespace {

// Note numbers as in MIDI: 60 is middle C.
enum : int {
    Rest = 0,
    C2 = 36,
    D2 = 38,
    E2 = 40,
    F2 = 41,
    G2 = 43,
    A2 = 45,
    G1 = 31,
    A1 = 33,
    B1 = 35,
    C3 = 48,
    B3 = 59,
    C4 = 60,
    Cs4 = 61,
    D4 = 62,
    E4 = 64,
    F4 = 65,
    Fs4 = 66,
    G4 = 67,
    Ab4 = 68,
    A4 = 69,
    B4 = 71,
    C5 = 72,
    Cs5 = 73,
    D5 = 74,
    E5 = 76,
    F5 = 77,
    Fs5 = 78,
    G5 = 79,
    Ab5 = 80,
    A5 = 81,
    C6 = 84,
};

struct Chord {
    int root;  // bass on the downbeat
    int fifth; // bass when the chord carries on into a second bar
    std::array<int, 3> voicing;
};

const Chord kC {C2, G1, {E4, G4, C5}};
const Chord kAm {A2, E2, {E4, A4, C5}};
const Chord kDm {D2, A1, {D4, F4, A4}};
const Chord kDm7 {D2, A1, {C4, F4, A4}};
const Chord kEm {E2, B1, {E4, G4, B4}};
const Chord kF {F2, C2, {F4, A4, C5}};
const Chord kFm {F2, C2, {F4, Ab4, C5}};
const Chord kG {G2, D2, {D4, G4, B4}};
const Chord kG7 {G2, D2, {D4, F4, B4}};
const Chord kA7 {A2, E2, {Cs4, E4, G4}};
const Chord kD7 {D2, A1, {C4, Fs4, A4}};

// One chord a bar.
const std::array<const Chord*, Serenade::kBars> kHarmony = {
    &kC, &kAm, &kDm7, &kG7,                      // introduction
    &kC, &kEm, &kF, &kC, &kDm, &kG7, &kC, &kG7,  // tune
    &kC, &kEm, &kF, &kA7, &kDm, &kG7, &kC, &kC,  // tune again
    &kF, &kFm, &kC, &kA7, &kDm, &kD7, &kG, &kG7, // bridge
    &kC, &kEm, &kF, &kA7, &kDm, &kG7, &kC, &kC,  // tune, last time
    &kF, &kFm, &kC, &kC,                         // coda
};

struct Note {
    double beats;
    int pitch;
};

// The tune, bar by bar from the pick-up in bar 4 to the coda; each bar's
// notes fill its three beats.
const std::vector<std::vector<Note>> kTune = {
    {{1, Rest}, {1, B4}, {1, D5}}, // 4
    {{2, E5}, {1, F5}}, {{2, G5}, {1, E5}}, {{2, A5}, {0.5, G5}, {0.5, F5}}, {{3, E5}}, {{2, F5}, {1, E5}},
    {{2, D5}, {1, B4}}, {{1, C5}, {1, E5}, {1, G5}}, {{2, F5}, {1, D5}}, {{2, E5}, {1, F5}}, {{2, G5}, {1, E5}},
    {{1, A5}, {1, C6}, {1, A5}}, {{1, G5}, {1, E5}, {1, Cs5}}, {{1, D5}, {1, F5}, {1, A5}}, {{1, G5}, {1, F5}, {1, D5}},
    {{3, C5}}, {{1, Rest}, {1, E5}, {1, G5}}, {{2, A5}, {1, G5}}, {{2, Ab5}, {1, F5}}, {{2, G5}, {1, E5}},
    {{1, E5}, {1, A5}, {1, G5}}, {{2, F5}, {1, D5}}, {{2, Fs5}, {1, A5}}, {{2, G5}, {0.5, A5}, {0.5, G5}},
    {{1, F5}, {1, E5}, {1, D5}}, {{2, E5}, {1, F5}}, {{2, G5}, {1, E5}}, {{1, A5}, {1, C6}, {1, A5}},
    {{1, G5}, {1, E5}, {1, Cs5}}, {{1, D5}, {1, F5}, {1, A5}}, {{1, G5}, {1, F5}, {1, D5}}, {{3, C5}},
    {{1, Rest}, {1, E5}, {1, G5}}, {{2, A5}, {1, F5}}, {{2, Ab5}, {1, F5}}, {{2, E5}, {1, D5}}, // 37 .. 39
};
constexpr int kTuneFirstBar = 4;

// Where the coda slows down, and by how much the beat has stretched at the
// final chord.
constexpr double kRitardandoFrom = 37 * Serenade::kBeatsPerBar;
constexpr double kFinalBeat = 39 * Serenade::kBeatsPerBar;
constexpr double kStretch = 0.6;
// A breath of silence before the first note, and the final chord's ring.
constexpr double kLeadIn = 0.15;
constexpr double kRing = 6.0;
constexpr float kPeak = 0.708f; // -3 dBFS

// Which voice has the tune in a bar, and how strongly.
struct Voicing {
    bool vibes, flute;
    float vibesVelocity, fluteVelocity;
    int fluteOctave;
};

Voicing voicingOf(int bar)
{
    if (bar < 13)
        return {true, false, 0.8f, 0.0f, 0};
    if (bar < 21)
        return {true, true, 0.32f, 0.8f, 0};
    if (bar < 29)
        return {false, true, 0.0f, 0.9f, 0};
    if (bar < 37)
        return {true, true, 0.9f, 0.5f, -12};
    return {true, true, 0.75f, 0.6f, 0};
}

class Performer {
public:
    Performer(AudioBuffer& dry, AudioBuffer& send)
        : band_(dry, send, 0x5E4E4ADE)
        , feel_(0xFEE1)
    {
    }

    // Seconds of a beat, with a touch of human unevenness.
    double at(double beat)
    {
        const double jitter = std::clamp(feel_.gaussian() * 0.006, -0.015, 0.015);
        return std::max(0.0, kLeadIn + Serenade::timeOfBeat(beat) + jitter);
    }
    static double span(double beat, double beats)
    {
        return Serenade::timeOfBeat(beat + beats) - Serenade::timeOfBeat(beat);
    }
    float vary(float velocity)
    {
        return velocity * static_cast<float>(std::clamp(1.0 + 0.06 * feel_.gaussian(), 0.85, 1.15));
    }

    void accompaniment()
    {
        for (int bar = 1; bar <= Serenade::kBars; ++bar) {
            const double first = (bar - 1) * Serenade::kBeatsPerBar;
            const Chord& chord = *kHarmony[static_cast<std::size_t>(bar - 1)];
            const bool repeated = bar > 1 && kHarmony[static_cast<std::size_t>(bar - 2)] == &chord;
            if (bar == Serenade::kBars) {
                finalChord(first, chord);
                continue;
            }
            band_.bass(at(first), span(first, 0.95), repeated ? chord.fifth : chord.root, vary(0.85f));
            for (int beat = 1; beat < 3; ++beat)
                for (std::size_t v = 0; v < chord.voicing.size(); ++v)
                    band_.piano(at(first + beat) + 0.004 * v, span(first + beat, 0.45), chord.voicing[v],
                        vary(beat == 1 ? 0.6f : 0.48f), -0.3f + 0.1f * static_cast<float>(v));
            if (bar >= 21) {
                const float level = bar < 29 ? 0.9f : 0.6f;
                for (std::size_t v = 0; v < chord.voicing.size(); ++v)
                    band_.pad(at(first), span(first, 3.0), chord.voicing[v] - (v == 0 ? 12 : 0), level,
                        v == 1 ? 0.0f : (v == 0 ? -0.6f : 0.6f));
            }
        }
    }

    void drums()
    {
        for (int bar = 1; bar < Serenade::kBars; ++bar) {
            const double first = (bar - 1) * Serenade::kBeatsPerBar;
            const float intro = bar < 5 ? 0.6f : 1.0f;
            band_.kick(at(first), vary(0.55f * intro));
            band_.brushSweep(at(first), span(first, 3.0), vary(0.9f * intro), 0.35f);
            band_.brushTap(at(first), vary(0.3f * intro), 0.3f);
            band_.brushTap(at(first + 1), vary(0.6f * intro), 0.45f);
            band_.brushTap(at(first + 2), vary(0.5f * intro), 0.4f);
            if (bar % 2 == 0)
                band_.brushTap(at(first + 2.5), vary(0.22f * intro), 0.5f);
        }
        const double last = kFinalBeat;
        band_.kick(at(last), 0.5f);
        band_.brushTap(at(last), 0.35f, 0.3f);
        band_.brushSweep(at(last), 2.5, 0.8f, 0.35f);
    }

    void tune()
    {
        for (std::size_t b = 0; b < kTune.size(); ++b) {
            const int bar = kTuneFirstBar + static_cast<int>(b);
            const Voicing voice = voicingOf(bar);
            double beat = (bar - 1) * Serenade::kBeatsPerBar;
            for (const Note& n : kTune[b]) {
                if (n.pitch != Rest) {
                    // The downbeat a little stronger, as a waltz leans.
                    const float lean = std::fmod(beat, 3.0) < 0.01 ? 1.0f : 0.88f;
                    const double when = at(beat);
                    const double length = span(beat, n.beats) * 0.92;
                    if (voice.vibes)
                        band_.vibes(when, length, n.pitch, vary(voice.vibesVelocity * lean), 0.25f);
                    if (voice.flute)
                        band_.flute(when, length, n.pitch + voice.fluteOctave, vary(voice.fluteVelocity * lean), 0.1f);
                }
                beat += n.beats;
            }
        }
    }

private:
    // The last bar: everyone lands on C and holds it while it rings out,
    // the vibraphone rolling a last arpeggio above.
    void finalChord(double beat, const Chord& chord)
    {
        const double when = at(beat);
        const double hold = 3.8;
        band_.bass(when, hold, C2, 0.85f);
        band_.bass(when, hold, C3, 0.3f);
        for (std::size_t v = 0; v < chord.voicing.size(); ++v) {
            band_.piano(when + 0.01 * v, hold, chord.voicing[v], 0.55f, -0.3f + 0.1f * static_cast<float>(v));
            band_.pad(when, hold, chord.voicing[v] - (v == 0 ? 12 : 0), 0.8f, v == 1 ? 0.0f : (v == 0 ? -0.6f : 0.6f));
        }
        band_.flute(when, hold - 0.6, C5, 0.6f, 0.1f);
        band_.vibes(when, hold, C5, 0.8f, 0.25f);
        const int arpeggio[] = {E5, G5, C6};
        for (int i = 0; i < 3; ++i)
            band_.vibes(when + 0.5 + 0.22 * i, hold - 0.5, arpeggio[i], 0.5f - 0.08f * i, 0.3f + 0.1f * i);
    }

    Instruments band_;
    Random feel_;
};

} // namespace

double Serenade::timeOfBeat(double beat)
{
    if (beat <= kRitardandoFrom)
        return beat * kBeatSeconds;
    // The beat grows evenly longer through the ritardando, and keeps its
    // final length after it.
    const double rate = kStretch / (kFinalBeat - kRitardandoFrom);
    const double slowing = std::min(beat, kFinalBeat) - kRitardandoFrom;
    double t = kRitardandoFrom * kBeatSeconds + kBeatSeconds * (slowing + 0.5 * rate * slowing * slowing);
    if (beat > kFinalBeat)
        t += (beat - kFinalBeat) * kBeatSeconds * (1.0 + kStretch);
    return t;
}

AudioBuffer Serenade::render()
{
    const double length = kLeadIn + timeOfBeat(kFinalBeat) + kRing;
    AudioBuffer dry = AudioBuffer::ofSeconds(2, length);
    AudioBuffer send = AudioBuffer::ofSeconds(2, length);
    {
        Performer player(dry, send);
        player.accompaniment();
        player.drums();
        player.tune();
    }
    Reverb room(0.72, 0.45);
    dry.mix(room.render(send), 0, 1.0f);
    for (int c = 0; c < dry.channels(); ++c) {
        Biquad high(Biquad::Type::HighPass, 30.0);
        high.processInPlace(dry.channel(c), dry.frames());
    }
    dry.fadeIn(AudioBuffer::framesFor(0.005));
    dry.fadeOut(AudioBuffer::framesFor(2.5));
    dry.normalisePeak(kPeak);
    return dry;
}

} // namespace gx::synth
