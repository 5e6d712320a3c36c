// The covers' folder: one file per picture, at most as many as the bound,
// the least recently used going first.
#include "mpris/CoverCache.h"

#include "support/TestSupport.h"
#include <QCryptographicHash>
#include <atomic>

TEST(CoverCache, KeepsTheMostRecentlyUsedPicturesUpToItsBound)
{
    // Each letter a picture used in turn, in a cache of three; the pictures kept.
    for (const auto& [uses, kept] : std::initializer_list<std::pair<std::string, std::string>> {
             {"abc", "abc"}, {"abcd", "bcd"}, {"abcad", "acd"}, {"aaaa", "a"}, {"abcdefa", "aef"}}) {
        SCOPED_TRACE(uses);
        QTemporaryDir dir;
        std::atomic<std::size_t> written {0};
        {
            gx::CoverCache cache(dir.path(), 3);
            for (const char u : uses)
                cache.store(std::string(100, u), "jpg", [&](const std::string& path) { written += !path.empty(); });
            gx::test::waitUntil([&] { return written == uses.size(); }, 10000);
        }
        EXPECT_EQ(written, uses.size());
        QStringList files;
        for (const char k : kept)
            files << QCryptographicHash::hash(QByteArray(100, k), QCryptographicHash::Sha1).toHex() + ".jpg";
        files.sort();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);
    }
}
