// Failures a library reports reach the log once, with their reason: a
// settings file that cannot be written, and FFmpeg's own complaints about a
// damaged file (while a sound file is fine, FFmpeg says nothing).
#include "platform/UserDefaults.h"
#include "sound/Decoder.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

std::mutex capturedMutex;
std::vector<std::pair<QString, QString>> captured; // category, text of each warning

void capture(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    std::lock_guard lock(capturedMutex);
    if (type == QtWarningMsg)
        captured.emplace_back(QString::fromUtf8(context.category), text);
}

// The warnings of `category` logged while it lives.
class WarningLog {
public:
    WarningLog()
        : previous_(qInstallMessageHandler(capture))
    {
        std::lock_guard lock(capturedMutex);
        captured.clear();
    }
    ~WarningLog() { qInstallMessageHandler(previous_); }
    QStringList of(const char* category) const
    {
        std::lock_guard lock(capturedMutex);
        QStringList texts;
        for (const auto& [from, text] : captured)
            if (from == category)
                texts << text;
        return texts;
    }

private:
    QtMessageHandler previous_;
};

// A 16-bit stereo WAV of `dataBytes` bytes of sound whose header promises
// `claimedBytes`.
QByteArray wav(quint32 dataBytes, quint32 claimedBytes)
{
    QByteArray bytes("RIFF");
    const auto put = [&bytes](quint32 v, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(36 + claimedBytes, 4);
    bytes += "WAVEfmt ";
    for (const auto& [value, size] :
        {std::pair {16u, 4}, {1u, 2}, {2u, 2}, {44100u, 4}, {176400u, 4}, {4u, 2}, {16u, 2}})
        put(value, size);
    bytes += "data";
    put(claimedBytes, 4);
    for (quint32 i = 0; i < dataBytes; ++i)
        bytes += static_cast<char>((i * 7919) & 0x7F);
    return bytes;
}

} // namespace

TEST(FailureLog, ASettingsFileThatCannotBeWrittenIsNamedOnce)
{
    QTemporaryDir dir;
    // A file where the settings' folder should be: not even root writes there.
    ASSERT_FALSE(gx::test::writeFile(dir.filePath("config"), "not a folder").isEmpty());
    const QString path = dir.filePath("config/Gramolux.conf");
    WarningLog log;
    {
        gx::UserDefaults defaults(path);
        defaults.setFloat(0.5f, "musicVolume");
        defaults.synchronize();
    }
    const QStringList warnings = log.of("gx.settings");
    ASSERT_EQ(warnings.size(), 1) << warnings.join('\n').toStdString();
    EXPECT_TRUE(warnings.front().contains(path)) << warnings.front().toStdString();
}

TEST(FailureLog, FfmpegSpeaksOfADamagedFileOnlyAndNamesIt)
{
    QTemporaryDir dir;
    // Whole frames, then a packet of three bytes: half a frame.
    const struct {
        const char* name;
        QByteArray bytes;
        bool damaged;
    } files[] = {{"good.wav", wav(40000, 40000), false}, {"cut.wav", wav(40003, 400000), true}};
    for (const auto& file : files) {
        const QString path = gx::test::writeFile(dir.filePath(file.name), file.bytes);
        WarningLog log;
        auto decoder = gx::Decoder::open(path.toStdString());
        ASSERT_TRUE(decoder) << file.name;
        std::vector<float> out(4096 * 2);
        while (decoder->read(out.data(), 4096) > 0) { }
        ASSERT_TRUE(gx::Decoder::readTags(path.toStdString())) << file.name;
        const QStringList warnings = log.of("gx.decoder");
        EXPECT_EQ(!warnings.isEmpty(), file.damaged) << file.name << ": " << warnings.join('\n').toStdString();
        for (const QString& warning : warnings)
            EXPECT_TRUE(warning.startsWith(path + ": ")) << warning.toStdString();
    }
}
