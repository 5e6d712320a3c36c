#include "sound/FfmpegLog.h"

#include "platform/Logging.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdarg>
#include <mutex>

namespace gx {

namespace {

thread_local const std::string* currentFile = nullptr;

// FFmpeg calls this on whichever thread logs, and often hands a line over in
// fragments: each thread gathers its own until the newline.
void forward(void* context, int level, const char* format, va_list args)
{
    const bool warning = level <= AV_LOG_WARNING;
    if (!warning && (level > av_log_get_level() || !logDecoder().isDebugEnabled()))
        return;
    thread_local std::string line;
    thread_local int printPrefix = 1;
    thread_local int lineLevel = AV_LOG_TRACE;
    char fragment[1024];
    va_list copy;
    va_copy(copy, args);
    av_log_format_line2(context, level, format, copy, fragment, sizeof fragment, &printPrefix);
    va_end(copy);
    line += fragment;
    lineLevel = std::min(lineLevel, level);
    if (!printPrefix) // the line goes on in the next call
        return;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    // A damaged stretch makes the decoder say the same for every packet: once
    // is enough.
    thread_local std::string lastLine;
    if (line != lastLine) {
        const std::string text = currentFile ? *currentFile + ": " + line : line;
        if (lineLevel <= AV_LOG_WARNING)
            qCWarning(logDecoder).noquote() << QString::fromStdString(text);
        else
            qCDebug(logDecoder).noquote() << QString::fromStdString(text);
        lastLine.swap(line);
    }
    line.clear();
    lineLevel = AV_LOG_TRACE;
}

} // namespace

void FfmpegLog::route()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(forward); });
}

FfmpegLog::FfmpegLog(const std::string& path)
    : outer_(currentFile)
{
    currentFile = &path;
}

FfmpegLog::~FfmpegLog()
{
    currentFile = outer_;
}

} // namespace gx
