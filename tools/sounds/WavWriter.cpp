#include "WavWriter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

namespace gx::synth {

namespace {

void put16(std::vector<unsigned char>& out, std::uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>((v >> shift) & 0xff));
}

void putTag(std::vector<unsigned char>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

std::int16_t WavWriter::toPcm(float v)
{
    if (!(v == v)) // NaN: silence rather than an arbitrary value
        return 0;
    const double scaled = std::round(static_cast<double>(v) * 32767.0);
    if (scaled >= 32767.0)
        return 32767;
    if (scaled <= -32767.0)
        return -32767;
    return static_cast<std::int16_t>(scaled);
}

std::vector<unsigned char> WavWriter::encode(const AudioBuffer& buffer)
{
    const std::uint64_t channels = static_cast<std::uint64_t>(buffer.channels());
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(buffer.frames()) * channels * 2;
    if (buffer.empty() || dataBytes + 36 > std::numeric_limits<std::uint32_t>::max())
        return {};
    std::vector<unsigned char> out;
    out.reserve(static_cast<std::size_t>(dataBytes) + 44);
    putTag(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(36 + dataBytes));
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, static_cast<std::uint16_t>(channels));
    put32(out, kSampleRate);
    put32(out, static_cast<std::uint32_t>(kSampleRate * channels * 2));
    put16(out, static_cast<std::uint16_t>(channels * 2));
    put16(out, 16);
    putTag(out, "data");
    put32(out, static_cast<std::uint32_t>(dataBytes));
    for (std::size_t i = 0; i < buffer.frames(); ++i)
        for (int c = 0; c < buffer.channels(); ++c)
            put16(out, static_cast<std::uint16_t>(toPcm(buffer.sample(c, i))));
    return out;
}

bool WavWriter::write(const std::string& path, const AudioBuffer& buffer, std::string& error)
{
    const std::vector<unsigned char> bytes = encode(buffer);
    if (bytes.empty()) {
        error = "nothing to write (empty or oversized sound)";
        return false;
    }
    const std::string temp = path + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot create " + temp;
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(temp, ec);
        error = "cannot write " + temp;
        return false;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        error = "cannot rename " + temp + " to " + path + ": " + ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

} // namespace gx::synth
