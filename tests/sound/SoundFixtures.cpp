#include "SoundFixtures.h"
#include "sound/Decoder.h"

#include "support/TestSupport.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace gx::test {

namespace {

void put16(std::string& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::string uniqueSuffix()
{
    static std::atomic<int> counter {0};
    return "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
}

std::string fixtureRoot()
{
    const fs::path dir = fs::path(GX_SOUND_FIXTURE_DIR);
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir.string();
}

bool run(const std::string& command)
{
    return runShell(QString::fromStdString(command));
}

std::string encoderArguments(Format format)
{
    // A small video track rides along in the film containers, as the first
    // stream: the player must find the audio and leave the picture.
    const std::string video = " -f lavfi -i color=c=gray:s=32x32:r=25 -shortest -map 1:v -map 0:a -c:v mpeg4";
    switch (format) {
    case Format::Wav:
        return "-c:a pcm_s16le -f wav";
    case Format::Aiff:
        return "-c:a pcm_s16be -f aiff";
    case Format::Aifc:
        return "-c:a pcm_s16le -f aiff"; // little-endian PCM makes an AIFF-C ("sowt")
    case Format::Mp3:
        return "-c:a libmp3lame -b:a 160k -f mp3";
    case Format::Mp3VbrNoHeader:
        return "-c:a libmp3lame -q:a 3 -write_xing 0 -f mp3";
    // The M4A keeps its index in front, as music stores ship them; the MP4
    // and MOV keep it at the end, as cameras and editors write them.
    case Format::M4a:
        return "-c:a aac -b:a 160k -movflags +faststart -f ipod";
    case Format::Mp4:
        return video + " -c:a aac -b:a 160k -f mp4";
    case Format::Mov:
        return video + " -c:a aac -b:a 160k -f mov";
    case Format::Mpg:
        return video.substr(0, video.find(" -c:v")) + " -c:v mpeg1video -c:a mp2 -b:a 192k -f mpeg";
    case Format::Flac:
        return "-c:a flac -f flac";
    case Format::Vorbis:
        return "-c:a libvorbis -q:a 4 -f ogg";
    // Opus runs at 48 kHz: ffmpeg resamples, and the player must too.
    case Format::Opus:
        return "-c:a libopus -b:a 96k -f ogg";
    }
    return {};
}

} // namespace

const std::vector<FormatInfo>& allFormats()
{
    static const std::vector<FormatInfo> formats = {
        {Format::Wav, "Wav", "wav", false},
        {Format::Aiff, "Aiff", "aiff", false},
        {Format::Aifc, "Aifc", "aifc", false},
        {Format::Mp3, "Mp3", "mp3", true},
        {Format::Mp3VbrNoHeader, "Mp3VbrNoHeader", "mp3", true},
        {Format::M4a, "M4a", "m4a", true},
        {Format::Mp4, "Mp4", "mp4", true},
        {Format::Mov, "Mov", "mov", true},
        {Format::Mpg, "Mpg", "mpg", true},
    };
    return formats;
}

const std::vector<FormatInfo>& desktopFormats()
{
    static const std::vector<FormatInfo> formats = {
        {Format::Flac, "Flac", "flac", false},
        {Format::Vorbis, "Vorbis", "ogg", true},
        {Format::Opus, "Opus", "opus", true},
    };
    return formats;
}

void PrintTo(const FormatInfo& info, std::ostream* os)
{
    *os << info.name;
}

Signal toneSignal(double seconds, double frequency, int sampleRate, int channels)
{
    Signal s;
    s.sampleRate = sampleRate;
    s.channels = channels;
    const auto frames = static_cast<std::int64_t>(std::llround(seconds * sampleRate));
    s.samples.resize(static_cast<size_t>(frames * channels));
    for (std::int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double phase = 2.0 * M_PI * frequency * static_cast<double>(i) / sampleRate + c * 0.5;
            s.samples[static_cast<size_t>(i * channels + c)]
                = static_cast<std::int16_t>(std::lround(12000.0 * std::sin(phase)));
        }
    return s;
}

Signal sweepSignal(double seconds, int sampleRate)
{
    Signal s;
    s.sampleRate = sampleRate;
    const auto frames = static_cast<std::int64_t>(std::llround(seconds * sampleRate));
    s.samples.resize(static_cast<size_t>(frames * 2));
    double phase = 0.0;
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double freq = 300.0 + 250.0 * std::sin(2.0 * M_PI * 1.3 * t) + 90.0 * std::sin(2.0 * M_PI * 7.1 * t);
        phase += 2.0 * M_PI * freq / sampleRate;
        const double level = 9000.0 + 5000.0 * std::sin(2.0 * M_PI * 2.7 * t);
        s.samples[static_cast<size_t>(2 * i)] = static_cast<std::int16_t>(std::lround(level * std::sin(phase)));
        s.samples[static_cast<size_t>(2 * i + 1)]
            = static_cast<std::int16_t>(std::lround(level * std::sin(1.5 * phase + 0.3)));
    }
    return s;
}

bool writeWav(const std::string& path, const Signal& signal)
{
    const auto dataBytes = static_cast<std::uint32_t>(signal.samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(signal.channels));
    put32(out, static_cast<std::uint32_t>(signal.sampleRate));
    put32(out, static_cast<std::uint32_t>(signal.sampleRate * signal.channels * 2));
    put16(out, static_cast<std::uint16_t>(signal.channels * 2));
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (std::int16_t v : signal.samples)
        put16(out, static_cast<std::uint16_t>(v));
    const std::string temp = path + uniqueSuffix();
    {
        std::ofstream file(temp, std::ios::binary);
        if (!file.write(out.data(), static_cast<std::streamsize>(out.size())))
            return false;
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    return !ec;
}

std::vector<float> decodeAll(const std::string& path)
{
    std::vector<float> all, block(4096 * 2);
    const auto d = Decoder::open(path);
    while (const int n = d ? d->read(block.data(), 4096) : 0)
        all.insert(all.end(), block.begin(), block.begin() + 2 * n);
    return all;
}

bool haveFfmpeg()
{
    static const bool have = run("ffmpeg -hide_banner -version");
    return have;
}

std::string fixture(Format format, const std::string& key, const Signal& signal)
{
    const FormatInfo* info = nullptr;
    for (const auto* list : {&allFormats(), &desktopFormats()})
        for (const FormatInfo& f : *list)
            if (f.format == format)
                info = &f;
    const std::string base = fixtureRoot() + "/" + key + "-" + info->name + "." + info->extension;
    std::error_code ec;
    if (fs::exists(base, ec))
        return base;
    const std::string source = fixtureRoot() + "/" + key + "-source.wav";
    if (!fs::exists(source, ec) && !writeWav(source, signal))
        return {};
    if (format == Format::Wav)
        return writeWav(base, signal) ? base : std::string();
    if (!haveFfmpeg())
        return {};
    const std::string temp = base + uniqueSuffix();
    if (!run("ffmpeg -hide_banner -nostdin -y -i '" + source + "' " + encoderArguments(format) + " '" + temp + "'")) {
        fs::remove(temp, ec);
        return {};
    }
    fs::rename(temp, base, ec);
    return ec ? std::string() : base;
}

ScratchDir::ScratchDir()
{
    static std::atomic<int> counter {0};
    const fs::path dir
        = fs::temp_directory_path() / ("gx-sound-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    path = dir.string();
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    fs::remove_all(path, ec);
}

} // namespace gx::test
