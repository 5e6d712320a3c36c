// Preloaded into a player (ours or the reference) by bench/run.sh: wraps the
// SDL audio callback and writes, once, the wall-clock time at which the first
// non-silent buffer reaches the device, to the file named by GX_PROBE_OUT.
#include <SDL2/SDL.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {

SDL_AudioCallback realCallback = nullptr;
void* realUserdata = nullptr;
std::atomic<bool> reported{false};

void report()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (const char* out = std::getenv("GX_PROBE_OUT")) {
        if (FILE* f = std::fopen(out, "w")) {
            std::fprintf(f, "%lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
            std::fclose(f);
        }
    }
}

void probeCallback(void* userdata, Uint8* stream, int len)
{
    (void)userdata;
    realCallback(realUserdata, stream, len);
    if (reported.load(std::memory_order_relaxed))
        return;
    for (int i = 0; i < len; ++i) {
        if (stream[i] != 0) {
            if (!reported.exchange(true))
                report();
            return;
        }
    }
}

} // namespace

extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture, const SDL_AudioSpec* desired,
                                                  SDL_AudioSpec* obtained, int allowed_changes)
{
    using Open = SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    static const auto realOpen = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "SDL_OpenAudioDevice"));
    if (!desired || !desired->callback || iscapture)
        return realOpen(device, iscapture, desired, obtained, allowed_changes);
    SDL_AudioSpec wrapped = *desired;
    realCallback = desired->callback;
    realUserdata = desired->userdata;
    wrapped.callback = probeCallback;
    wrapped.userdata = nullptr;
    return realOpen(device, iscapture, &wrapped, obtained, allowed_changes);
}
