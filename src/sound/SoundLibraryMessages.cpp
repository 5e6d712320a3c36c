#include "sound/SoundLibraryMessages.h"

#include "platform/Logging.h"

#include <QSet>
#include <SDL.h>
#include <alsa/asoundlib.h>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace gx {

namespace {

// Past this many distinct lines a library that keeps inventing new ones is
// not heard from any more.
constexpr qsizetype kMaxLines = 64;

void alsaMessage(const char* file, int line, const char* function, int err, const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    QString message = QStringLiteral("libasound %1:%2 (%3): %4")
                          .arg(QString::fromLocal8Bit(file))
                          .arg(line)
                          .arg(QString::fromLocal8Bit(function), QString::fromLocal8Bit(text));
    if (err != 0)
        message += QStringLiteral(": ") + QString::fromLocal8Bit(snd_strerror(err));
    logSoundOnce(message);
}

void sdlMessage(void*, int, SDL_LogPriority, const char* message)
{
    logSoundOnce(QStringLiteral("SDL: ") + QString::fromUtf8(message));
}

} // namespace

void routeSoundLibraryMessages()
{
    snd_lib_error_set_handler(&alsaMessage);
    SDL_LogSetOutputFunction(&sdlMessage, nullptr);
}

void logSoundOnce(const QString& message)
{
    static std::mutex mutex;
    static QSet<QString> logged;
    {
        std::lock_guard lock(mutex);
        if (logged.size() >= kMaxLines || logged.contains(message))
            return;
        logged.insert(message);
    }
    qCWarning(logSound).noquote() << message;
}

} // namespace gx
