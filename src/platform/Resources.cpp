#include "platform/Resources.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace gx {

std::string resourcePath()
{
    if (const char* over = std::getenv("GRAMOLUX_RESOURCES"); over && *over)
        return over;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return (exe.parent_path().parent_path() / "share" / "gramolux").string();
}

std::string pathForResource(const std::string& fileName)
{
    const std::string dir = resourcePath();
    if (dir.empty() || fileName.empty())
        return {};
    const fs::path p = fs::path(dir) / fileName;
    std::error_code ec;
    return fs::is_regular_file(p, ec) ? p.string() : std::string();
}

std::string pathForSoundResource(const std::string& name)
{
    static constexpr std::array<const char*, 8> kSoundExtensions
        = {".wav", ".aif", ".aiff", ".aifc", ".mp3", ".m4a", ".flac", ".ogg"};
    for (const char* ext : kSoundExtensions)
        if (std::string p = pathForResource(name + ext); !p.empty())
            return p;
    return {};
}

} // namespace gx
