#pragma once
// Sound files for the sound tests, made from our own generated signals: a WAV
// written here, then encoded with the ffmpeg command-line tool into the other
// formats. Files are cached in the build tree by name, written under a
// temporary name and renamed, so test processes running side by side share
// them safely.
#include "sound/MemoryVoice.h"
#include "sound/Mixer.h"
#include "support/TestSupport.h"

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
// Both lists.
std::vector<FormatInfo> everyFormat();
// One of either list by name.
const FormatInfo& format(const std::string& name);
inline void PrintTo(const FormatInfo& info, std::ostream* os)
{
    *os << info.name;
}

// A tone that changes pitch and level all the time, so that every stretch of
// it is unlike every other: what seek checks need to tell positions apart.
Signal sweepSignal(double seconds);

// Every frame of a file as the player's decoder reads it (interleaved stereo).
std::vector<float> decodeAll(const std::string& path);

// The cached file of `signal` (named by `key`) in the given format; empty
// when it could not be made.
std::string fixture(const FormatInfo& format, const std::string& key, const Signal& signal);
// The 1.5 s sweep most tests play, in the named format.
std::string sweepFixture(const std::string& formatName);

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

// A voice of these stereo frames, kept as 16-bit samples where each is one
// (the sounds we ship), else as floats.
inline std::shared_ptr<MemoryVoice> memoryVoice(int rate, const std::vector<float>& frames)
{
    MemoryVoice::Samples samples;
    samples.append(frames.data(), frames.size());
    return std::make_shared<MemoryVoice>(rate, std::move(samples));
}

// Frequency from the rising zero crossings, placed between samples, of every
// `stride`-th sample (2: the left channel of interleaved stereo).
inline double frequency(const std::vector<float>& s, int rate, std::size_t stride = 1)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = stride; i < s.size(); i += stride)
        if (s[i - stride] < 0.0f && s[i] >= 0.0f) {
            const double at = static_cast<double>(i / stride - 1) + s[i - stride] / (s[i - stride] - s[i]);
            (first < 0.0 ? first : last) = at;
            ++crossings;
        }
    return crossings > 2 ? (crossings - 1) * rate / (last - first) : 0.0;
}

// Exact decoded float of a 16-bit sample.
inline float sampleToFloat(std::int16_t s)
{
    return static_cast<float>(s) / 32768.0f;
}

} // namespace gx::test
