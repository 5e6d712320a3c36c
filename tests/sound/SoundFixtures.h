#pragma once
// Sound files for the sound tests, made from our own generated signals: a WAV
// written here, then encoded with the ffmpeg command-line tool into the other
// formats. Files are cached in the build tree by name, written under a
// temporary name and renamed, so test processes running side by side share
// them safely.
#include "sound/Mixer.h"

#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace gx::test {

struct FormatInfo {
    const char* name;      // for test names
    const char* extension; // of the file
    bool lossy;
    std::string encoder; // ffmpeg's arguments
};
// The formats of the accepted file types.
const std::vector<FormatInfo>& allFormats();
// Formats the desktop entry also offers, which reach the player only by path
// (from "Open With" or the command line).
const std::vector<FormatInfo>& desktopFormats();
// One of either list by name.
const FormatInfo& format(const std::string& name);
inline void PrintTo(const FormatInfo& info, std::ostream* os)
{
    *os << info.name;
}

// A generated signal as 16-bit frames.
struct Signal {
    int sampleRate = 44100;
    int channels = 2;
    std::vector<std::int16_t> samples; // interleaved
    std::int64_t frames() const { return static_cast<std::int64_t>(samples.size()) / channels; }
};

// A sine tone (left and right a little apart, so channel mix-ups show).
Signal toneSignal(double seconds, double frequency, int sampleRate = 44100, int channels = 2);
// A tone that changes pitch and level all the time, so that every stretch of
// it is unlike every other: what seek checks need to tell positions apart.
Signal sweepSignal(double seconds);

bool writeWav(const std::string& path, const Signal& signal);

bool haveFfmpeg();

// Every frame of a file as the player's decoder reads it (interleaved stereo).
std::vector<float> decodeAll(const std::string& path);

// The cached file of `signal` (named by `key`) in the given format; empty
// when it could not be made.
std::string fixture(const FormatInfo& format, const std::string& key, const Signal& signal);
// The 1.5 s sweep most tests play, in the named format.
std::string sweepFixture(const std::string& formatName);

// A fresh empty folder for files a test makes and breaks itself.
struct ScratchDir {
    std::string file(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    QTemporaryDir dir;
};

// Tests run once per format; formats other than WAV need the ffmpeg tool.
class FormatTest : public ::testing::TestWithParam<FormatInfo> {
protected:
    void SetUp() override
    {
        if (std::string(GetParam().name) != "Wav" && !haveFfmpeg())
            GTEST_SKIP() << "ffmpeg is not installed";
    }
};
inline std::string formatName(const ::testing::TestParamInfo<FormatInfo>& info)
{
    return info.param.name;
}

// The mixer's next frames, rendered offline.
inline std::vector<float> render(Mixer& mixer, int frames)
{
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    mixer.render(out.data(), frames);
    return out;
}

// Exact decoded float of a 16-bit sample.
inline float sampleToFloat(std::int16_t s)
{
    return static_cast<float>(s) / 32768.0f;
}

} // namespace gx::test
