#include "SoundFixtures.h"
#include "sound/Decoder.h"

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace gx::test {

namespace {

std::string fixtureRoot()
{
    std::error_code ec;
    fs::create_directories(GX_SOUND_FIXTURE_DIR, ec);
    return GX_SOUND_FIXTURE_DIR;
}

} // namespace

// Little-endian PCM makes an AIFF-C ("sowt"). The M4A keeps its index in
// front, as music stores ship them; the MP4 and MOV keep it at the end, as
// cameras and editors write them.
const std::vector<FormatInfo>& allFormats()
{
    // A small video track rides along in the film containers, as the first
    // stream: the player must find the audio and leave the picture.
    const std::string video = "-f lavfi -i color=c=gray:s=32x32:r=25 -shortest -map 1:v -map 0:a ";
    static const std::vector<FormatInfo> formats = {
        {"Wav", "wav", false, "-c:a pcm_s16le -f wav"},
        {"Aiff", "aiff", false, "-c:a pcm_s16be -f aiff"},
        {"Aifc", "aifc", false, "-c:a pcm_s16le -f aiff"},
        {"Mp3", "mp3", true, "-c:a libmp3lame -b:a 160k -f mp3"},
        {"Mp3VbrNoHeader", "mp3", true, "-c:a libmp3lame -q:a 3 -write_xing 0 -f mp3"},
        {"M4a", "m4a", true, "-c:a aac -b:a 160k -movflags +faststart -f ipod"},
        {"Mp4", "mp4", true, video + "-c:v mpeg4 -c:a aac -b:a 160k -f mp4"},
        {"Mov", "mov", true, video + "-c:v mpeg4 -c:a aac -b:a 160k -f mov"},
        {"Mpg", "mpg", true, video + "-c:v mpeg1video -c:a mp2 -b:a 192k -f mpeg"},
    };
    return formats;
}

// Opus runs at 48 kHz: ffmpeg resamples, and the player must too.
const std::vector<FormatInfo>& desktopFormats()
{
    static const std::vector<FormatInfo> formats = {
        {"Flac", "flac", false, "-c:a flac -f flac"},
        {"Vorbis", "ogg", true, "-c:a libvorbis -q:a 4 -f ogg"},
        {"Opus", "opus", true, "-c:a libopus -b:a 96k -f ogg"},
    };
    return formats;
}

std::vector<FormatInfo> everyFormat()
{
    std::vector<FormatInfo> all = allFormats();
    all.insert(all.end(), desktopFormats().begin(), desktopFormats().end());
    return all;
}

const FormatInfo& format(const std::string& name)
{
    for (const auto* list : {&allFormats(), &desktopFormats()})
        for (const FormatInfo& f : *list)
            if (name == f.name)
                return f;
    throw std::invalid_argument("no format " + name);
}

Signal sweepSignal(double seconds)
{
    Signal s;
    double phase = 0.0;
    for (std::int64_t i = 0; i < std::llround(seconds * 44100); ++i) {
        const double t = static_cast<double>(i) / 44100;
        phase += 2.0 * M_PI * (300.0 + 250.0 * std::sin(2.0 * M_PI * 1.3 * t) + 90.0 * std::sin(2.0 * M_PI * 7.1 * t))
            / 44100;
        const double level = 9000.0 + 5000.0 * std::sin(2.0 * M_PI * 2.7 * t);
        s.samples.push_back(static_cast<std::int16_t>(std::lround(level * std::sin(phase))));
        s.samples.push_back(static_cast<std::int16_t>(std::lround(level * std::sin(1.5 * phase + 0.3))));
    }
    return s;
}

std::vector<float> decodeAll(const std::string& path)
{
    std::vector<float> all, block(4096 * 2);
    const auto d = Decoder::open(path);
    while (const int n = d ? d->read(block.data(), 4096) : 0)
        all.insert(all.end(), block.begin(), block.begin() + 2 * n);
    return all;
}

std::string fixture(const FormatInfo& format, const std::string& key, const Signal& signal)
{
    const std::string base = fixtureRoot() + "/" + key + "-" + format.name + "." + format.extension;
    const std::string source = fixtureRoot() + "/" + key + "-source.wav";
    std::error_code ec;
    if (fs::exists(base, ec))
        return base;
    if (!fs::exists(source, ec) && !writeWav(source, signal))
        return {};
    if (std::string(format.name) == "Wav")
        return writeWav(base, signal) ? base : std::string();
    const std::string temp = base + "." + std::to_string(::getpid()) + ".tmp"; // one test at a time a process
    if (encode("-i " + shellQuoted(QString::fromStdString(source)) + " " + QString::fromStdString(format.encoder),
            QString::fromStdString(temp))
            .isEmpty()) {
        fs::remove(temp, ec);
        return {};
    }
    fs::rename(temp, base, ec);
    return ec ? std::string() : base;
}

std::string sweepFixture(const std::string& formatName)
{
    static const Signal sweep = sweepSignal(1.5);
    return fixture(format(formatName), "sweep1500", sweep);
}

} // namespace gx::test
