#include "SoundSet.h"

#include "Crackles.h"
#include "Hiss.h"
#include "Mechanics.h"
#include "Serenade.h"
#include "WavWriter.h"
#include "sound/SoundNames.h"

#include <exception>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace gx::synth {

std::vector<SoundSet::Entry> SoundSet::entries()
{
    std::vector<Entry> list;
    namespace names = gx::sounds;
    static_assert(Crackles::kCount == names::crackleCount);
    const auto wav = [](const std::string& name) { return name + ".wav"; };
    for (int i = 1; i <= Crackles::kCount; ++i)
        list.push_back({wav(names::crackle(i)), [i] { return Crackles::make(i); }});
    list.push_back({wav(names::hiss), &Hiss::make});
    list.push_back({wav(names::skip), &Mechanics::needleSkip});
    list.push_back({wav(names::stop), &Mechanics::motorStop});
    list.push_back({wav(names::switchClick), &Mechanics::switchClick});
    list.push_back({wav(names::demoSong), &Serenade::render});
    return list;
}

int SoundSet::writeAll(const std::string& folder, std::ostream& log)
{
    const std::vector<Entry> list = entries();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        log << "gx_make_sounds: cannot use the folder " << folder << "\n";
        return static_cast<int>(list.size());
    }
    int failures = 0;
    for (const Entry& entry : list) {
        const std::string path = (std::filesystem::path(folder) / entry.fileName).string();
        std::string error;
        try {
            if (WavWriter::write(path, entry.make(), error))
                continue;
        } catch (const std::exception& e) {
            error = e.what();
        }
        log << "gx_make_sounds: " << entry.fileName << ": " << error << "\n";
        ++failures;
    }
    return failures;
}

} // namespace gx::synth
