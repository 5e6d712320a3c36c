// The recent-files list and its menu, on a menu of the test's own, observed
// in the menu and the stored settings.
#include "app/RecentFiles.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QMenu>

namespace keys = gx::keys;

namespace {

class RecentFilesTest : public ::testing::Test {
protected:
    gx::test::ScratchDir dir;
    QMenu menu;
    QString chosen;
    std::unique_ptr<gx::RecentFiles> recent;

    void SetUp() override
    {
        store().setStringList({}, keys::recentFiles);
        start();
    }
    // As at a start of the program: a new list on the stored one.
    void start()
    {
        recent = std::make_unique<gx::RecentFiles>(&menu, [this](QAction* a) { chosen = recent->pathFor(a); });
        recent->setMenu(&menu);
        recent->rebuildMenu();
    }
    static gx::UserDefaults& store() { return gx::UserDefaults::standardUserDefaults(); }
    QStringList titles() const
    {
        QStringList out;
        for (QAction* a : menu.actions())
            out << (a->isSeparator() ? "---" : a->text() + (a->isEnabled() ? "" : " (off)"));
        return out;
    }
};

} // namespace

TEST_F(RecentFilesTest, KeepsTwentyNewestFirstWithoutDuplicatesAndAnItemChoosesItsOwnFile)
{
    EXPECT_EQ(titles(), QStringList {"Clear Menu (off)"});
    QStringList paths;
    for (int i = 0; i < 21; ++i)
        paths << dir.tone(QString("%1 Song %1.wav").arg(i, 2, 10, QChar('0')));
    for (const QString& p : paths)
        recent->add(p);
    recent->add(paths[10]); // moves to the top
    QStringList expected = paths.mid(1);
    std::reverse(expected.begin(), expected.end());
    expected.removeAll(paths[10]);
    expected.prepend(paths[10]);
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), expected);
    EXPECT_EQ(titles().first(), "Song 10");
    EXPECT_EQ(titles().mid(20), (QStringList {"---", "Clear Menu"}));
    menu.actions().at(1)->trigger();
    EXPECT_EQ(chosen, expected.at(1));
    store().reload();
    start();
    EXPECT_EQ(titles().size(), 22);
}

TEST_F(RecentFilesTest, DropsMissingFilesAndAClearedListStaysEmptyForTheNextStart)
{
    const QString a = dir.tone("a.wav"), folder = dir.filePath("album");
    QDir().mkpath(folder);
    store().setStringList({a, dir.filePath("gone.wav"), folder}, keys::recentFiles);
    start();
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), (QStringList {a, folder}));
    EXPECT_EQ(titles(), (QStringList {"a", "album", "---", "Clear Menu"}));
    menu.actions().last()->trigger();
    EXPECT_EQ(titles(), QStringList {"Clear Menu (off)"});
    store().synchronize();
    bool ok = false;
    EXPECT_TRUE(gx::test::readListInAnotherProcess(store().fileName(), keys::recentFiles, &ok).isEmpty());
    EXPECT_TRUE(ok); // an empty list, not a missing key

    store().setFloat(3.0f, keys::recentFiles); // not a list: left alone until a file opens
    start();
    EXPECT_EQ(store().objectForKey(keys::recentFiles).toDouble(), 3.0);
    recent->add(a);
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), QStringList {a});
}
