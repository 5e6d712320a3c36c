// The covers' folder: one file per picture, at most as many as the bound,
// the least recently used going first.
#include "controller/CoverCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

TEST(CoverCache, KeepsTheMostRecentlyUsedPicturesUpToItsBound)
{
    // Each letter a picture used in turn; a bound of three.
    const struct {
        const char* uses;
        const char* kept;
    } cases[] = {
        {"abc", "abc"},
        {"abcd", "bcd"},  // the oldest goes
        {"abcad", "acd"}, // used again, a stays and b goes
        {"aaaa", "a"},    // one file however often
        {"abcdefa", "aef"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uses);
        QTemporaryDir dir;
        std::atomic<int> done {0};
        std::atomic<int> written {0};
        {
            gx::CoverCache cache(dir.path(), 3);
            for (const char* u = c.uses; *u; ++u)
                cache.store(std::string(100, *u), "jpg", [&](const std::string& path) {
                    written += QFileInfo(QString::fromStdString(path)).size() == 100;
                    ++done;
                });
            for (int i = 0; i < 2000 && done < static_cast<int>(std::strlen(c.uses)); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(written, static_cast<int>(std::strlen(c.uses)));
        QStringList expected;
        for (const char* k = c.kept; *k; ++k)
            expected << QCryptographicHash::hash(QByteArray(100, *k), QCryptographicHash::Sha1).toHex() + ".jpg";
        expected.sort();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), expected);
    }
}
