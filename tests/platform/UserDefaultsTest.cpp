#include "platform/UserDefaults.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using gx::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Gramolux.conf"); }
    void writeFile(const QByteArray& bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void registerLevels(UserDefaults& d)
    {
        d.registerDefaults({{"musicVolume", 0.8f}, {"skip", 0.4f}});
    }
};

} // namespace

TEST_F(UserDefaultsTest, RegisteredDefaultsAnswerUnsetKeysAndAreNeverWritten)
{
    {
        UserDefaults d(path());
        registerLevels(d);
        EXPECT_EQ(d.floatForKey("musicVolume"), 0.8f);
        EXPECT_EQ(d.floatForKey("skip"), 0.4f);
        EXPECT_EQ(d.floatForKey("unknown"), 0.0f);
        d.setFloat(0.37f, "skip");
        d.synchronize();
    }
    const QByteArray text = readFile();
    EXPECT_FALSE(text.contains("musicVolume")) << text.constData();
    EXPECT_TRUE(text.contains("skip"));

    UserDefaults again(path()); // a restart: nothing registered yet
    EXPECT_EQ(again.floatForKey("musicVolume"), 0.0f);
    EXPECT_EQ(again.floatForKey("skip"), 0.37f); // bit for bit
}

TEST_F(UserDefaultsTest, LevelsThatAreNotFiniteNumbersReadAsTheirDefault)
{
    writeFile("[General]\nmusicVolume=loud\nskip=nan\neffectsVolume=inf\nnoise=1e60\ndistortion=0.25\n");
    UserDefaults d(path());
    d.registerDefaults({{"musicVolume", 0.8f}, {"skip", 0.4f}, {"effectsVolume", 0.6f},
                        {"noise", 0.6f}, {"distortion", 0.4f}});
    EXPECT_EQ(d.floatForKey("musicVolume"), 0.8f);
    EXPECT_EQ(d.floatForKey("skip"), 0.4f);
    EXPECT_EQ(d.floatForKey("effectsVolume"), 0.6f);
    EXPECT_EQ(d.floatForKey("noise"), 0.6f); // beyond the float range
    EXPECT_EQ(d.floatForKey("distortion"), 0.25f);
}

TEST_F(UserDefaultsTest, GarbageFileStartsAndOurWritesKeepTheUsersOtherKeys)
{
    QByteArray garbage("[General]\nwindowTheme=dark\nrecentFiles=/music/a.mp3\n");
    for (int i = 0; i < 256; ++i)
        garbage.append(char((i * 37) & 0xff));
    garbage.append("\n[Other]\nkeep=me\n");
    writeFile(garbage);
    {
        UserDefaults d(path());
        registerLevels(d);
        EXPECT_EQ(d.floatForKey("musicVolume"), 0.8f);
        d.setFloat(0.5f, "musicVolume");
    }
    UserDefaults again(path());
    EXPECT_EQ(again.floatForKey("musicVolume"), 0.5f);
    EXPECT_EQ(again.objectForKey("windowTheme").toString(), "dark");
    EXPECT_EQ(again.objectForKey("Other/keep").toString(), "me");
    EXPECT_EQ(again.stringListForKey("recentFiles"), QStringList{"/music/a.mp3"});
}

TEST_F(UserDefaultsTest, ReadOnlyFileKeepsWorkingInMemory)
{
    writeFile("[General]\nskip=0.1\n");
    ASSERT_EQ(::chmod(path().toLocal8Bit().constData(), 0444), 0);
    {
        UserDefaults d(path());
        EXPECT_EQ(d.floatForKey("skip"), 0.1f);
        d.setFloat(0.9f, "skip");
        EXPECT_EQ(d.floatForKey("skip"), 0.9f);
    }
    if (::geteuid() != 0) { // root writes through the permission bits
        EXPECT_EQ(UserDefaults(path()).floatForKey("skip"), 0.1f);
    }
}

TEST_F(UserDefaultsTest, StringListsSurviveARealRestartWhateverTheyHold)
{
    const QStringList tricky{"/m/a, b.mp3", "/m/\"quoted\" 'x'.wav", "/m/new\nline.mp3",
                             "/m/Ünïcødé 曲.m4a", "/m/back\\slash.aif", "@Invalid()"};
    for (const QStringList& list : {tricky, QStringList{"/only/one.mp3"}, QStringList{}}) {
        {
            UserDefaults d(path());
            d.setStringList(list, "recentFiles");
        }
        // Read by another process, which Qt's cache of this one cannot answer.
        bool ok = false;
        const QStringList read = gx::test::readListInAnotherProcess(path(), "recentFiles", &ok);
        EXPECT_TRUE(ok) << "an empty list must stay a list, not an absent key";
        EXPECT_EQ(read, list);
    }
}

TEST_F(UserDefaultsTest, WritesReachTheDiskByThemselvesAndNeverHoldUpReaders)
{
    UserDefaults d(path());
    registerLevels(d);
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done.load()) {
            const float v = d.floatForKey("skip");
            ASSERT_TRUE(v == 0.4f || (v >= 0.0f && v <= 1.0f));
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

TEST_F(UserDefaultsTest, ValuesThatAreNotStringListsReadAsEmpty)
{
    {
        QSettings s(path(), QSettings::NativeFormat);
        s.setValue("recentFiles", QVariant(42));
        s.setValue("mixed", QVariantList{QString("a"), 7});
    }
    UserDefaults d(path());
    bool ok = true;
    EXPECT_TRUE(d.stringListForKey("recentFiles", &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(d.stringListForKey("mixed", &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(d.stringListForKey("absent", &ok).isEmpty());
    EXPECT_FALSE(ok);
}
