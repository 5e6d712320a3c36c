#include "app/ScriptInstaller.h"
#include "app/UserPrompts.h"
#include "support/TestSupport.h"

#include <QFileInfo>

namespace {

// Answers the question as told and notes what the installer said.
struct Prompts : gx::UserPrompts {
    bool yes = true;
    QStringList said;
    bool askToInstallScript() override
    {
        said << "asked";
        return yes;
    }
    void tellScriptInstalled() override { said << "installed"; }
    void beep() override { said << "beep"; }
};

} // namespace

TEST(ScriptInstaller, AsksFirstAndCreatesOnlyTheScriptsFolderInsideAnITunesFolder)
{
    const QString library = QDir::homePath() + "/Library", itunes = library + "/iTunes";
    QDir(library).removeRecursively();
    Prompts prompts;
    gx::ScriptInstaller installer(prompts);
    EXPECT_FALSE(installer.install()); // no iTunes folder: a beep, and nothing created
    EXPECT_EQ(prompts.said, (QStringList {"asked", "beep"}));
    EXPECT_FALSE(QFileInfo::exists(library));

    QDir().mkpath(itunes);
    prompts.yes = false;
    prompts.said.clear();
    EXPECT_FALSE(installer.install());
    EXPECT_EQ(prompts.said, QStringList {"asked"});
    EXPECT_TRUE(QDir(itunes).isEmpty());

    prompts.yes = true;
    prompts.said.clear();
    EXPECT_TRUE(installer.install());
    EXPECT_EQ(prompts.said, (QStringList {"asked", "installed"}));
    EXPECT_TRUE(gx::test::readFile(itunes + "/Scripts/Play with Gramolux.scpt").contains("Gramolux"));
    EXPECT_EQ(QDir(itunes).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList {"Scripts"});
    EXPECT_TRUE(gx::ScriptInstaller::isInstalled());
}
