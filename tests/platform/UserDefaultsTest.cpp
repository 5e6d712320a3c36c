#include "platform/UserDefaults.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <thread>

using gx::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath("Gramolux.conf");
    void writeFile(const QByteArray& bytes) const { ASSERT_EQ(gx::test::writeFile(path, bytes), path); }
    QByteArray readFile() const { return gx::test::readFile(path); }
};

} // namespace

TEST_F(UserDefaultsTest, DefaultsAnswerUnsetOrUnusableLevelsAndAreNeverWritten)
{
    QByteArray garbage("[General]\nwindowTheme=dark\nmusicVolume=loud\nskip=nan\nnoise=1e60\ndistortion=0.25\n");
    for (int i = 0; i < 256; ++i)
        garbage.append(char((i * 37) & 0xff));
    writeFile(garbage + "\n[Other]\nkeep=me\n");
    {
        UserDefaults d(path);
        d.registerDefaults({{"musicVolume", 0.8f}, {"skip", 0.4f}, {"noise", 0.6f}, {"effectsVolume", 0.6f}});
        const std::pair<const char*, float> levels[]
            = {{"musicVolume", 0.8f}, {"skip", 0.4f}, {"noise", 0.6f}, {"effectsVolume", 0.6f}, {"distortion", 0.25f}};
        for (const auto& [key, value] : levels)
            EXPECT_EQ(d.floatForKey(key), value) << key;
        d.setFloat(0.37f, "skip");
    }
    EXPECT_FALSE(readFile().contains("effectsVolume"));
    UserDefaults again(path); // a restart: nothing registered yet
    EXPECT_EQ(again.floatForKey("effectsVolume"), 0.0f);
    EXPECT_EQ(again.floatForKey("skip"), 0.37f);                     // bit for bit
    EXPECT_EQ(again.objectForKey("windowTheme").toString(), "dark"); // the user's other keys stay
    EXPECT_EQ(again.objectForKey("Other/keep").toString(), "me");
}

TEST_F(UserDefaultsTest, StringListsSurviveARealRestartWhateverTheyHoldAndOtherValuesReadAsEmpty)
{
    const QStringList tricky {"/m/a, b.mp3", "/m/\"quoted\" 'x'.wav", "/m/new\nline.mp3", "/m/Ünïcødé 曲.m4a",
        "/m/back\\slash.aif", "@Invalid()"};
    for (const QStringList& list : {tricky, QStringList {"/only/one.mp3"}, QStringList {}}) {
        UserDefaults(path).setStringList(list, "recentFiles");
        bool ok = false; // read by another process, which Qt's cache of this one cannot answer
        EXPECT_EQ(gx::test::readListInAnotherProcess(path, "recentFiles", &ok), list);
        EXPECT_TRUE(ok) << "an empty list must stay a list, not an absent key";
    }
    QSettings(path, QSettings::NativeFormat).setValue("mixed", QVariantList {QString("a"), 7});
    UserDefaults d(path);
    for (const char* key : {"mixed", "absent"}) {
        bool ok = true;
        EXPECT_TRUE(d.stringListForKey(key, &ok).isEmpty());
        EXPECT_FALSE(ok) << key;
    }
}

TEST_F(UserDefaultsTest, WritesReachTheDiskByThemselvesAndNeverHoldUpReaders)
{
    UserDefaults d(path);
    d.registerDefaults({{"skip", 0.4f}});
    std::atomic<bool> done {false};
    std::thread reader([&] {
        while (!done.load()) {
            const float v = d.floatForKey("skip");
            ASSERT_TRUE(v >= 0.0f && v <= 1.0f);
        }
    });
    for (int i = 0; i <= 100; ++i)
        d.setFloat(float(i) / 100.0f, "skip");
    done = true;
    reader.join();
    EXPECT_EQ(d.floatForKey("skip"), 1.0f); // memory answers at once
    // With no synchronize, the last value still reaches the file soon.
    EXPECT_TRUE(gx::test::waitUntil([&] { return readFile().contains("skip=1"); }, 10000)) << readFile().constData();
}
