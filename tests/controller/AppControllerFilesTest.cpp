#include "controller/AppController.h"
#include "controller/GramoluxWindowLayout.h"
#include "controller/PromptsStandIn.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <sys/stat.h>

using gx::GramoluxWindowLayout;

namespace keys = gx::keys;

namespace {

class AppControllerFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<GramoluxWindowLayout> layout;
    AppController* c = nullptr;
    QMenu* recent = nullptr;
    gx::test::PromptsStandIn* prompts = nullptr; // owned by the controller once stood in

    void SetUp() override
    {
        store().setStringList({}, keys::recentFiles);
        QDir(QDir::homePath() + "/Library").removeRecursively();
        start();
    }
    void start()
    {
        layout.reset();
        layout = std::make_unique<GramoluxWindowLayout>();
        c = layout->appController();
        recent = c->recentFileMenu;
    }
    void standInForPrompts()
    {
        auto standIn = std::make_unique<gx::test::PromptsStandIn>();
        prompts = standIn.get();
        c->setUserPrompts(std::move(standIn));
    }
    static gx::UserDefaults& store() { return gx::UserDefaults::standardUserDefaults(); }
    QString file(const QString& name) { return gx::test::writeToneWav(dir.filePath(name), 0.2); }
    QStringList titles() const
    {
        QStringList out;
        for (QAction* a : recent->actions())
            out << (a->isSeparator() ? "---" : a->text() + (a->isEnabled() ? "" : " (off)"));
        return out;
    }
    bool offered() const { return c->gramoluxMenu->actions().contains(c->installAppleScriptMenuItem); }
};

} // namespace

TEST_F(AppControllerFiles, RecentListKeepsTwentyNewestFirstWithoutDuplicates)
{
    EXPECT_EQ(titles(), QStringList{"Clear Menu (off)"});
    QStringList paths;
    for (int i = 0; i < 21; ++i)
        paths << file(QString("%1 Song %1.wav").arg(i, 2, 10, QChar('0')));
    for (const QString& p : paths)
        c->addFileToRecentFileList(p);
    QStringList stored = store().stringListForKey(keys::recentFiles);
    ASSERT_EQ(stored.size(), 20);
    EXPECT_EQ(stored.first(), paths.last());
    EXPECT_FALSE(stored.contains(paths.first())); // the oldest went

    c->addFileToRecentFileList(paths[10]); // moves to the top, same length
    stored = store().stringListForKey(keys::recentFiles);
    EXPECT_EQ(stored.size(), 20);
    EXPECT_EQ(stored.first(), paths[10]);
    EXPECT_EQ(stored.count(paths[10]), 1);
    EXPECT_EQ(titles().first(), "Song 10");
    EXPECT_EQ(titles().mid(20), (QStringList{"---", "Clear Menu"}));

    // Kept across a restart of the store and of the program.
    store().reload();
    start();
    EXPECT_EQ(titles().size(), 22);
}

TEST_F(AppControllerFiles, RebuildPrunesMissingFilesButKeepsFolders)
{
    const QString a = file("a.wav"), b = file("b.wav");
    const QString folder = dir.filePath("album");
    QDir().mkpath(folder);
    store().setStringList({a, dir.filePath("gone.wav"), folder, b}, keys::recentFiles);
    c->resetRecentFileMenu();
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), (QStringList{a, folder, b}));
    EXPECT_EQ(titles(), (QStringList{"a", "album", "b", "---", "Clear Menu"}));

    c->clearRecentMenu();
    EXPECT_EQ(titles(), QStringList{"Clear Menu (off)"});
    // An empty list is stored and the key stays, also for the next start.
    store().synchronize();
    bool ok = false;
    EXPECT_TRUE(gx::test::readListInAnotherProcess(store().fileName(), keys::recentFiles, &ok).isEmpty());
    EXPECT_TRUE(ok);
}

TEST_F(AppControllerFiles, ValueThatIsNotAListIsLeftAloneUntilAFileOpens)
{
    store().setFloat(3.0f, keys::recentFiles);
    start();
    EXPECT_EQ(titles(), QStringList{"Clear Menu (off)"});
    EXPECT_EQ(store().objectForKey(keys::recentFiles).toDouble(), 3.0); // not rewritten
    const QString a = file("a.wav");
    c->openMusic(a);
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), QStringList{a});
}

TEST_F(AppControllerFiles, ChoosingAnItemOpensItsOwnFileAndEmptiesTheQueue)
{
    QDir().mkpath(dir.filePath("A"));
    QDir().mkpath(dir.filePath("B"));
    const QString first = gx::test::writeToneWav(dir.filePath("A/01 Song.wav"), 0.3);
    const QString second = gx::test::writeToneWav(dir.filePath("B/01 Song.wav"), 0.3);
    c->addFileToRecentFileList(first);
    c->addFileToRecentFileList(second);
    EXPECT_EQ(titles().mid(0, 2), (QStringList{"Song", "Song"}));

    c->applicationOpenFile(first);
    c->applicationOpenFile(second); // queued behind it
    ASSERT_EQ(c->reserveBox().size(), 1);
    // The open put A first; the second item is B/01 Song.wav.
    recent->actions().at(1)->trigger();
    EXPECT_TRUE(c->reserveBox().isEmpty());
    EXPECT_EQ(c->currentMusicPath(), second);
    EXPECT_EQ(store().stringListForKey(keys::recentFiles), (QStringList{second, first}));

    // An item whose place is no longer in the stored list does nothing.
    QAction* stale = recent->actions().at(1);
    store().setStringList({second}, keys::recentFiles);
    c->recentFileMenuSelected(stale);
    EXPECT_EQ(c->currentMusicPath(), second);
}

TEST_F(AppControllerFiles, PanelChoiceEmptiesTheQueueAndCancelKeepsIt)
{
    const QString a = file("a.wav"), b = file("b.wav"), d = file("d.wav");
    c->applicationOpenFile(a);
    c->applicationOpenFile(b);
    c->openPanelDidEnd(0, d); // cancelled
    EXPECT_EQ(c->reserveBox(), QStringList{b});
    EXPECT_EQ(c->currentMusicPath(), a);
    c->openPanelDidEnd(1, d);
    EXPECT_TRUE(c->reserveBox().isEmpty());
    EXPECT_EQ(c->currentMusicPath(), d);
    EXPECT_TRUE(c->isPlaying());
}

TEST_F(AppControllerFiles, InstallerCreatesOnlyTheScriptsFolderAndCopiesTheScript)
{
    standInForPrompts();
    int& told = prompts->told;
    int& beeps = prompts->beeps;
    const QString itunes = QDir::homePath() + "/Library/iTunes";

    // No iTunes folder: nothing is created, only a beep.
    c->installAppleScript();
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(QFileInfo::exists(QDir::homePath() + "/Library"));
    EXPECT_TRUE(offered());

    // A plain file where the scripts folder should be.
    QDir().mkpath(itunes);
    QFile blocker(itunes + "/Scripts");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    c->installAppleScript();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(QDir(itunes).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"Scripts"});
    QFile::remove(itunes + "/Scripts");

    if (::geteuid() != 0) { // an unwritable iTunes folder: nothing left behind
        ::chmod(itunes.toLocal8Bit().constData(), 0555);
        c->installAppleScript();
        EXPECT_EQ(beeps, 3);
        ::chmod(itunes.toLocal8Bit().constData(), 0755);
        EXPECT_TRUE(QDir(itunes).isEmpty());
        beeps = 2;
    }

    // The folder above exists: the scripts folder is made and the copy lands.
    c->installAppleScript();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(beeps, 2);
    const QString installed = AppController::pathForAppleScript();
    EXPECT_EQ(installed, itunes + "/Scripts/Play with Gramolux.scpt");
    QFile in(installed);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_TRUE(in.readAll().contains("Gramolux"));
    EXPECT_EQ(QDir(itunes + "/Scripts").entryList(QDir::Files), QStringList{"Play with Gramolux.scpt"});
    EXPECT_FALSE(offered());

    // Next start: already installed, not offered.
    start();
    EXPECT_FALSE(offered());
}

TEST_F(AppControllerFiles, AnsweringNoInstallsNothing)
{
    QDir().mkpath(QDir::homePath() + "/Library/iTunes");
    standInForPrompts();
    prompts->answer = false;
    c->installAppleScript();
    EXPECT_EQ(prompts->asked, 1);
    EXPECT_FALSE(QFileInfo::exists(AppController::pathForScriptsFolder()));
    EXPECT_TRUE(offered());
}

TEST_F(AppControllerFiles, TitlesShowAsTheTitleRuleGivesThemInMenuAndWindow)
{
    // Marks that a menu ("&") or a window title ("[*]") would take for its own.
    const QStringList names{"Rock & Roll.wav", "AC&DC.mp3", "07 Song [*].wav"};
    const QStringList shown{"Rock & Roll", "AC&DC", "Song [*]"};
    QMainWindow* window = layout->mainWindow();
    window->winId(); // the native window holds the title as the desktop gets it
    for (qsizetype i = 0; i < names.size(); ++i) {
        c->openMusic(file(names[i]));
        EXPECT_EQ(AppController::musicName(names[i]), shown[i]);
        EXPECT_EQ(recent->actions().first()->iconText(), shown[i]);
        EXPECT_TRUE(QKeySequence::mnemonic(recent->actions().first()->text()).isEmpty());
        EXPECT_EQ(window->windowHandle()->title(), shown[i]);
    }
}

TEST_F(AppControllerFiles, InstallerAlertsTakeEveryTextFromTheStringTable)
{
    QTemporaryDir resources;
    ASSERT_TRUE(QFile::copy(QString::fromStdString(gx::resourcePath()) + "/script_for_iTunes.scpt",
                            resources.filePath("script_for_iTunes.scpt")));
    {
        QFile table(resources.filePath("Localizable.strings"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("\"Yes\" = \"Ja\";\n\"No\" = \"Nein\";\n\"OK\" = \"Gut\";\n"
                    "\"Installation was successful.\" = \"Installiert.\";\n");
    }
    struct TableSwap {
        explicit TableSwap(const QString& dir)
        {
            setenv("GRAMOLUX_RESOURCES", dir.toUtf8().constData(), 1);
            gx::StringTable::reload();
        }
        ~TableSwap()
        {
            unsetenv("GRAMOLUX_RESOURCES");
            gx::StringTable::reload();
        }
    } swap(resources.path());
    QDir().mkpath(QDir::homePath() + "/Library/iTunes");

    // Answers each alert with its default button, noting its texts.
    QList<QStringList> alerts;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->defaultButton())
            return;
        QStringList buttons;
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        buttons.sort();
        alerts << (QStringList{box->windowTitle()} + buttons);
        box->defaultButton()->click();
    });
    answer.start(20);
    c->installAppleScript();
    EXPECT_EQ(alerts, (QList<QStringList>{{"Do you want to install the script file?", "Ja", "Nein"},
                                          {"Installiert.", "Gut"}}));
    EXPECT_TRUE(QFileInfo::exists(AppController::pathForAppleScript())); // "Ja" is the yes
}
