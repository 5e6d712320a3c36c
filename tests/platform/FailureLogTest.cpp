// Failures a library reports reach the log once, with their reason: a
// settings file that cannot be written, and FFmpeg's own complaints about a
// damaged file (while a sound file is fine, FFmpeg says nothing).
#include "platform/UserDefaults.h"
#include "sound/Decoder.h"
#include "support/TestSupport.h"

#include <mutex>
#include <tuple>

namespace {

std::mutex capturedMutex;
std::vector<std::pair<QString, QString>> captured; // category, text of each warning

void capture(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    std::lock_guard lock(capturedMutex);
    if (type == QtWarningMsg)
        captured.emplace_back(QString::fromUtf8(context.category), text);
}

// The warnings logged while it lives.
struct WarningLog {
    WarningLog()
    {
        std::lock_guard lock(capturedMutex);
        captured.clear();
    }
    ~WarningLog() { qInstallMessageHandler(previous); }
    QStringList of(const char* category) const
    {
        std::lock_guard lock(capturedMutex);
        QStringList texts;
        for (const auto& [from, text] : captured)
            if (from == category)
                texts << text;
        return texts;
    }
    QtMessageHandler previous = qInstallMessageHandler(capture);
};

} // namespace

// The player goes on with the levels in memory.
TEST(FailureLog, ASettingsFileThatCannotBeWrittenIsNamedOnceAndLevelsWorkOnInMemory)
{
    gx::test::ScratchDir dir;
    // A file where the settings' folder should be: not even root writes there.
    ASSERT_FALSE(gx::test::writeFile(dir.filePath("config"), "[General]\nskip=0.1\n").isEmpty());
    const QString path = dir.filePath("config/Gramolux.conf");
    WarningLog log;
    {
        gx::UserDefaults defaults(path);
        defaults.setFloat(0.9f, "skip");
        defaults.synchronize();
        EXPECT_EQ(defaults.floatForKey("skip"), 0.9f);
    }
    EXPECT_EQ(gx::test::readFile(dir.filePath("config")), "[General]\nskip=0.1\n");
    const QStringList warnings = log.of("gx.settings");
    ASSERT_EQ(warnings.size(), 1) << warnings.join('\n').toStdString();
    EXPECT_TRUE(warnings.front().contains(path)) << warnings.front().toStdString();
}

TEST(FailureLog, FfmpegSpeaksOfADamagedFileOnlyAndNamesIt)
{
    gx::test::ScratchDir dir;
    const QByteArray good = gx::test::readFile(dir.tone("good.wav"));
    // Whole frames, then one a byte short.
    for (const auto& [name, bytes, damaged] :
        {std::tuple {"good.wav", good, false}, {"cut.wav", good.left(good.size() - 1), true}}) {
        SCOPED_TRACE(name);
        const QString path = gx::test::writeFile(dir.filePath(name), bytes);
        WarningLog log;
        auto decoder = gx::Decoder::open(path.toStdString());
        ASSERT_TRUE(decoder);
        std::vector<float> out(4096 * 2);
        while (decoder->read(out.data(), 4096) > 0) { }
        ASSERT_TRUE(gx::Decoder::readTags(path.toStdString()));
        const QStringList warnings = log.of("gx.decoder");
        EXPECT_EQ(!warnings.isEmpty(), damaged) << warnings.join('\n').toStdString();
        for (const QString& warning : warnings)
            EXPECT_TRUE(warning.startsWith(path + ": ")) << warning.toStdString();
    }
}
