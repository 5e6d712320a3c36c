// What a folder or a playlist handed over stands for: names in natural
// order, playlists read line by line, a tree listed with its loops and
// unreadable corners, the limit per hand-over; URIs and paths handed made
// absolute and clean; then a burst of a folder and a playlist through the
// real controller, and Next Song through the album.
#include "handover/HandOver.h"
#include "handover/HandOverExpander.h"
#include "handover/NaturalOrder.h"
#include "handover/PlaylistReader.h"
#include "platform/HandedPath.h"
#include "support/Player.h"
#include "view/TurntableNotice.h"
#include "view/TurntableView.h"

#include <QAction>
#include <QStringEncoder>
#include <tuple>
#include <unistd.h>

using gx::test::waitUntil;

TEST(NaturalOrder, NumbersByValueCaseAndAccentsIgnoredExtensionLast)
{
    const std::pair<const char*, const char*> inOrder[] = {
        {"2 Song.mp3", "10 Song.mp3"}, {"song 2.mp3", "Song 10.mp3"}, {"Track 09.wav", "Track 10.wav"},
        {"Song.mp3", "Song 2.mp3"}, {"élan.mp3", "Elan 2.mp3"}, {"Ärger.mp3", "Bach.mp3"}, {"Zoë", "zoe 2"},
        {"CD1", "cd 2"}, {"9 Intro", "Abba"}, {"x 99999999999999999999", "x 100000000000000000000"},
        {"Ｓｏｎｇ ２", "Song 10"}, {"02 Song", "2 Song"}, // equal by value: a fixed order all the same
    };
    for (const auto& [first, second] : inOrder) {
        SCOPED_TRACE(std::string(first) + " < " + second);
        QStringList names {QString::fromUtf8(second), QString::fromUtf8(first)};
        gx::sortNaturally(names);
        EXPECT_EQ(names, (QStringList {QString::fromUtf8(first), QString::fromUtf8(second)}));
        gx::sortNaturally(names);
        EXPECT_EQ(names.first(), QString::fromUtf8(first));
    }
}

TEST(PlaylistReader, M3uAndPlsEntriesResolveInTheirOrder)
{
    const auto utf16 = [](QStringConverter::Encoding e) -> QByteArray {
        QStringEncoder encoder(e, QStringConverter::Flag::WriteBom);
        return encoder(u"é.mp3\r\nfile:///x/%C3%BC.wav\r");
    };
    // The playlist's name and text; the paths it gives and the entries it cannot use.
    const std::tuple<const char*, QByteArray, QStringList, int> cases[] = {
        {"le.m3u", utf16(QStringConverter::Utf16LE), {"/pl/é.mp3", "/x/ü.wav"}, 0},
        {"be.m3u8", utf16(QStringConverter::Utf16BE), {"/pl/é.mp3", "/x/ü.wav"}, 0},
        {"cr.pls", "[playlist]\rFile1=a.mp3\rFile2=b.mp3\r", {"/pl/a.mp3", "/pl/b.mp3"}, 0},
        {"party.m3u",
            "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:61,A\r\na.mp3\r\n  sub/b.flac \r\n/abs/c.wav\r\nfile:///abs/d%20e.mp3\r\n"
            "http://radio.example/s.mp3\r\n\r\n../up.mp3\nfile:///x.wav%00.mp3\nfile:///../../e.mp3\n/../../f.mp3",
            {"/pl/a.mp3", "/pl/sub/b.flac", "/abs/c.wav", "/abs/d e.mp3", "/up.mp3", "/e.mp3", "/f.mp3"}, 2},
        {"latin.M3U", "caf\xE9.mp3\n", {"/pl/café.mp3"}, 0},
        {"mixed.m3u8", "caf\xC3\xA9.mp3\ncaf\xE9 2.mp3\n", {"/pl/café.mp3", "/pl/café 2.mp3"}, 0},
        {"radio.pls",
            "[playlist]\r\nFile2=b.mp3\r\nTitle2=B\r\nfile1 = file:///x/a.mp3\r\nFile10=j.mp3\r\nFile3=\r\n"
            "NumberOfEntries=3\r\n",
            {"/x/a.mp3", "/pl/b.mp3", "/pl/j.mp3"}, 0},
        {"song.mp3", "a.mp3\n", {}, 0},
        {"folder.m3u/song", "a.mp3\n", {}, 0},
        {".m3u", "a.mp3\n", {}, 0},
    };
    for (const auto& [name, text, paths, unusable] : cases) {
        SCOPED_TRACE(name);
        const gx::PlaylistEntries read = gx::readPlaylist(text, gx::playlistKindOf(name), "/pl");
        EXPECT_EQ(read.paths, paths);
        EXPECT_EQ(read.unusable, unusable);
    }
}

// A file URI names a local path or nothing; a path is made absolute and clean
// through the file system where the file exists.
TEST(HandedPath, UrisAndPathsHandedBecomeAbsoluteCleanLocalPathsOrNothing)
{
    const std::pair<const char*, const char*> uris[] = {{"file:///tmp/a.mp3", "/tmp/a.mp3"},
        {"FILE://localhost/a%20b/c%C3%A9.mp3", "/a b/cé.mp3"}, {"file:///etc/passwd%00.mp3", ""},
        {"file:///tmp/caf%E9.mp3", ""}, {"file://host/x.mp3", ""}, {"file:x.mp3", ""}, {"https://a.org/a.mp3", ""}};
    for (const auto& [uri, path] : uris)
        EXPECT_EQ(gx::localPathOfFileUri(uri).toStdString(), path) << uri;

    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    ASSERT_TRUE(QDir(root).mkpath("deep/inner") && QFile::link(root + "/deep/inner", root + "/link"));
    gx::test::writeFile(root + "/deep/x.wav", "");
    const std::pair<QString, QString> cases[] = {{"link/../x.wav", root + "/deep/x.wav"},
        {"link/../gone.wav", root + "/gone.wav"}, {"/../../tmp/../gone.wav", "/gone.wav"}, {"/../..", "/"},
        {"Album/", root + "/Album"}, {QString("a%1.mp3").arg(QChar(0)), ""}};
    for (const auto& [handed, path] : cases)
        EXPECT_EQ(gx::handedPath(handed, root), path) << handed.toStdString();
}

namespace {

// A library on disk: songs with numbers, cases and other files between
// them, nested folders, a loop, an unreadable folder and playlists.
class Library : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"10 Ten.mp3", "2 Two.MP3", "notes.txt", "cover.jpg", ".hidden.mp3", "Disc 10/a.wav",
                 "Disc 2/b.flac", "Disc 2/Inner/c.opus", "Locked/x.ogg", "Empty/readme.txt"})
            add(name, "");
        ASSERT_TRUE(QFile::link(root.filePath("Disc 2"), root.filePath("Disc 2/Inner/Loop")));
        ASSERT_TRUE(QFile::setPermissions(root.filePath("Locked"), {}));
        add("party.m3u", "10 Ten.mp3\nmissing one.mp3\nDisc 2\nparty.m3u\ninner.pls\nhttp://radio.example/s.mp3\n");
        add("inner.pls", "[playlist]\nFile1=2 Two.MP3\nFile2=party.m3u\nFile3=Disc 10\nFile4=gone.mp3\n");
    }
    void TearDown() override { QFile::setPermissions(root.filePath("Locked"), QFile::ReadOwner | QFile::ExeOwner); }

    void add(const QString& name, const QByteArray& text)
    {
        QDir(root.path()).mkpath(QFileInfo(name).path());
        ASSERT_FALSE(gx::test::writeFile(root.filePath(name), text).isEmpty());
    }
    QStringList paths(QStringList names) const
    {
        for (QString& n : names)
            n = root.filePath(n);
        return names;
    }
    gx::HandOverReport expand(const QStringList& names, QStringList& songs, int maxSongs = 100)
    {
        gx::HandOverExpander expander(gx::HandOver::playableExtensions(), maxSongs);
        return expander.expand(paths(names), [&](const QString& song) { songs << song; });
    }

    QTemporaryDir root;
    // Root reads any folder.
    const bool lockedIsRead = geteuid() == 0;
};

} // namespace

TEST_F(Library, FoldersAndPlaylistsStandForTheirSongsInOrderWithMissingOnesCounted)
{
    const QStringList tree
        = QStringList {"2 Two.MP3", "10 Ten.mp3", "Disc 2/b.flac", "Disc 2/Inner/c.opus", "Disc 10/a.wav"}
        + (lockedIsRead ? QStringList {"Locked/x.ogg"} : QStringList {});
    // What is handed; the songs it stands for, the playlists with missing
    // entries, the empty folders.
    const std::tuple<QStringList, QStringList, QList<QPair<QString, int>>, QStringList> cases[] = {
        {{""}, tree, {}, {}},
        // The playlist names itself (at once and from inside the PLS), a
        // folder inside the PLS is one level too deep, and three entries are
        // missing.
        {{"party.m3u"}, {"10 Ten.mp3", "Disc 2/b.flac", "Disc 2/Inner/c.opus", "2 Two.MP3"}, {{"party.m3u", 3}}, {}},
        // Handed together, one after the other; a plain file is itself, even
        // a gone one; the loop is followed until it comes round again.
        {{"Disc 10", "gone.wav", "Empty", "Disc 2/Inner"},
            {"Disc 10/a.wav", "gone.wav", "Disc 2/Inner/c.opus", "Disc 2/Inner/Loop/b.flac"}, {}, {"Empty"}},
    };
    for (const auto& [handed, expected, missing, empty] : cases) {
        SCOPED_TRACE(handed.join(", ").toStdString());
        QStringList songs;
        const gx::HandOverReport report = expand(handed, songs);
        EXPECT_EQ(songs, paths(expected));
        EXPECT_EQ(report.missing, missing);
        EXPECT_EQ(report.empty, empty);
        EXPECT_FALSE(report.capped);
    }
}

TEST_F(Library, OneHandOverBringsAtMostTheLimit)
{
    for (const int limit : {2, 5}) {
        QStringList songs;
        const gx::HandOverReport report = expand({"", "party.m3u"}, songs, limit);
        EXPECT_EQ(songs.size(), limit);
        EXPECT_TRUE(report.capped);
        EXPECT_EQ(gx::HandOver::noticeText(report, limit),
            QString("Only the first %1 songs were taken; the rest were left out").arg(limit));
    }
    QStringList songs;
    EXPECT_FALSE(expand({"Disc 2"}, songs, 2).capped); // exactly the limit
    EXPECT_EQ(gx::HandOver::defaultMaxSongs(), 10000);
}

namespace {

class HandOverBurst : public Library, protected gx::test::Player {
protected:
    void SetUp() override
    {
        Library::SetUp();
        // The songs that play are real; the rest only wait in the queue.
        for (const char* name : {"Disc 2/01 Two.wav", "Disc 2/02 Ten.wav"})
            ASSERT_FALSE(gx::test::writeToneWav(root.filePath(name), 30.0).isEmpty());
        start();
    }
};

} // namespace

TEST_F(HandOverBurst, AFolderAndAPlaylistQueueInOrderAndNextSongWalksTheAlbum)
{
    QAction* next = layout->nextSongAction();
    EXPECT_FALSE(next->isEnabled());
    layout->handOver()->open(paths({"Disc 2", "party.m3u"}));
    layout->handOver()->open(paths({"notes.txt"})); // while the first is listed: it follows
    ASSERT_TRUE(waitUntil([&] { return !layout->handOver()->listing(); }, 30000));
    EXPECT_EQ(c->jukebox().songPath(), root.filePath("Disc 2/01 Two.wav"));
    EXPECT_EQ(c->jukebox().queue(),
        paths({"Disc 2/02 Ten.wav", "Disc 2/b.flac", "Disc 2/Inner/c.opus", "10 Ten.mp3", "Disc 2/01 Two.wav",
            "Disc 2/02 Ten.wav", "Disc 2/b.flac", "Disc 2/Inner/c.opus", "2 Two.MP3", "notes.txt"}));
    EXPECT_EQ(layout->view()->notice().text(), "3 songs of “party.m3u” are missing");

    // A hand-over on its own later plays at once and empties the queue.
    QThread::msleep(550);
    layout->handOver()->open(paths({"Disc 2"}));
    ASSERT_TRUE(waitUntil([&] { return c->jukebox().queue().size() == 3 && !layout->handOver()->listing(); }, 30000));
    EXPECT_TRUE(next->isEnabled());
    next->trigger();
    EXPECT_EQ(c->jukebox().songPath(), root.filePath("Disc 2/02 Ten.wav"));
    next->trigger();
    next->trigger();
    EXPECT_EQ(c->jukebox().songPath(), root.filePath("Disc 2/Inner/c.opus"));
    EXPECT_FALSE(next->isEnabled());
}
