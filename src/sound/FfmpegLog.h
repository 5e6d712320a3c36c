#pragma once
// FFmpeg's own log, routed into the gx.decoder category: its warnings and
// errors as warnings, one line each; what it says below that as debug lines.
// A scope names the file this thread is working on, so each line says which.
#include <string>

namespace gx {

class FfmpegLog {
public:
    // Installs the route once; every entry into FFmpeg calls it first.
    static void route();

    // Lines FFmpeg logs on this thread while the scope lives name `path`.
    explicit FfmpegLog(const std::string& path);
    ~FfmpegLog();
    FfmpegLog(const FfmpegLog&) = delete;
    FfmpegLog& operator=(const FfmpegLog&) = delete;

private:
    const std::string* outer_;
};

} // namespace gx
