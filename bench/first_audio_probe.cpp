// Preloaded into a player (ours or a reference) by bench/run.sh: wraps the
// SDL audio callback, whichever of SDL's two open calls the player uses, and
// writes, once, the wall-clock time at which the first non-silent buffer
// reaches the device, to the file named by GX_PROBE_OUT. When GX_PROBE_CALLS
// names a file, it also counts the callbacks there (a 64-bit integer the
// script reads while the player runs): a paused device is not called back.
#include <SDL2/SDL.h>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

SDL_AudioCallback realCallback = nullptr;
void* realUserdata = nullptr;
std::atomic<bool> reported {false};
std::atomic<std::uint64_t>* calls = nullptr;

void report()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    if (const char* out = std::getenv("GX_PROBE_OUT")) {
        if (FILE* f = std::fopen(out, "w")) {
            std::fprintf(f, "%lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
            std::fclose(f);
        }
    }
}

void mapCallCounter()
{
    const char* path = std::getenv("GX_PROBE_CALLS");
    if (!path || calls)
        return;
    const int fd = open(path, O_RDWR | O_CREAT, 0600);
    if (fd < 0)
        return;
    if (ftruncate(fd, sizeof(std::uint64_t)) == 0) {
        void* p = mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p != MAP_FAILED)
            calls = static_cast<std::atomic<std::uint64_t>*>(p);
    }
    close(fd);
}

void probeCallback(void* userdata, Uint8* stream, int len)
{
    (void)userdata;
    realCallback(realUserdata, stream, len);
    if (calls)
        calls->fetch_add(1, std::memory_order_relaxed);
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

// SDL's own function of that name. A player that loads SDL from a plugin of
// its own has it outside the global scope, where RTLD_NEXT does not look.
void* realSdl(const char* name)
{
    if (void* f = dlsym(RTLD_NEXT, name))
        return f;
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    return sdl ? dlsym(sdl, name) : nullptr;
}

// The format the real open gets: ours, wrapping the player's callback.
SDL_AudioSpec wrap(const SDL_AudioSpec* desired)
{
    mapCallCounter();
    SDL_AudioSpec wrapped = *desired;
    realCallback = desired->callback;
    realUserdata = desired->userdata;
    wrapped.callback = probeCallback;
    wrapped.userdata = nullptr;
    return wrapped;
}

} // namespace

extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(
    const char* device, int iscapture, const SDL_AudioSpec* desired, SDL_AudioSpec* obtained, int allowed_changes)
{
    using Open = SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    static const auto realOpen = reinterpret_cast<Open>(realSdl("SDL_OpenAudioDevice"));
    if (!desired || !desired->callback || iscapture)
        return realOpen(device, iscapture, desired, obtained, allowed_changes);
    const SDL_AudioSpec wrapped = wrap(desired);
    return realOpen(device, iscapture, &wrapped, obtained, allowed_changes);
}

extern "C" int SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained)
{
    using Open = int (*)(SDL_AudioSpec*, SDL_AudioSpec*);
    static const auto realOpen = reinterpret_cast<Open>(realSdl("SDL_OpenAudio"));
    if (!desired || !desired->callback)
        return realOpen(desired, obtained);
    SDL_AudioSpec wrapped = wrap(desired);
    // Without `obtained` SDL writes the result back into the format it is given.
    const int result = realOpen(&wrapped, obtained);
    if (!obtained) {
        desired->freq = wrapped.freq;
        desired->format = wrapped.format;
        desired->channels = wrapped.channels;
        desired->samples = wrapped.samples;
        desired->size = wrapped.size;
        desired->silence = wrapped.silence;
    }
    return result;
}
