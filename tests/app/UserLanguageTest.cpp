// The window in the user's language: the locale's variables choose the table,
// and the menus and Qt's own buttons follow.
#include "platform/UserLanguage.h"
#include "app/GramoluxWindowLayout.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

TEST(UserLanguage, TheMenusAndQtsButtonsFollowTheLocale)
{
    const char* variables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    // The variables' values; the menu bar's titles, File's first item, Qt's Cancel.
    const std::pair<std::array<const char*, 4>, QStringList> cases[] = {
        {{"", "", "", "de_DE.UTF-8"}, {"Gramolux", "Datei", "Steuerung", "Öffnen…", "Abbrechen"}},
        {{"pt_BR:fr_CA", "de_DE.UTF-8", "", ""}, {"Gramolux", "Fichier", "Commandes", "Ouvrir…", "Annuler"}},
        {{"", "", "es_AR.UTF-8@x", "de_DE.UTF-8"}, {"Gramolux", "Archivo", "Controles", "Abrir…", "Cancelar"}},
        {{"en_GB:de", "", "", "fr_FR.UTF-8"}, {"Gramolux", "File", "Controls", "Open…", "Cancel"}},
        {{"", "C.UTF-8", "", "es_ES.UTF-8"}, {"Gramolux", "File", "Controls", "Open…", "Cancel"}},
    };
    for (const auto& [values, expected] : cases) {
        for (size_t i = 0; i < values.size(); ++i)
            *values[i] ? setenv(variables[i], values[i], 1) : unsetenv(variables[i]);
        gx::StringTable::reload();
        gx::loadToolkitTranslations(gx::StringTable::language());
        gx::GramoluxWindowLayout layout;
        QStringList shown;
        for (QAction* menu : layout.mainWindow()->menuBar()->actions())
            shown << menu->text();
        shown << layout.mainWindow()->menuBar()->actions().at(1)->menu()->actions().at(0)->text()
              << QCoreApplication::translate("QPlatformTheme", "Cancel");
        EXPECT_EQ(shown, expected);
    }
    setenv("LANGUAGE", "en", 1); // as TestMain has it
    gx::StringTable::reload();
    gx::loadToolkitTranslations({});
}
