#include "platform/StringTable.h"

#include "support/TestSupport.h"

#include <cstdlib>

TEST(StringTable, LooksUpTranslationsAndFallsBackToTheKey)
{
    QTemporaryDir dir;
    ASSERT_FALSE(gx::test::writeFile(dir.filePath("Localizable.strings"),
        "/* comment */\n\"Clear Menu\" = \"Menü leeren\";\n"
        "\"Play with Gramolux\" = \"Mit \\\"Gramolux\\\" spielen\";\n"
        "\"Empty\" = \"\";\nbroken line\n")
                     .isEmpty());
    setenv("GRAMOLUX_RESOURCES", dir.path().toUtf8().constData(), 1);
    gx::StringTable::reload();
    EXPECT_EQ(gx::localizedString("Clear Menu"), QString::fromUtf8("Menü leeren"));
    EXPECT_EQ(gx::localizedString("Play with Gramolux"), "Mit \"Gramolux\" spielen");
    EXPECT_EQ(gx::localizedString("Empty"), "Empty");
    EXPECT_EQ(gx::localizedString("Not in the table"), "Not in the table");

    setenv("GRAMOLUX_RESOURCES", dir.filePath("missing").toUtf8().constData(), 1);
    gx::StringTable::reload();
    EXPECT_EQ(gx::localizedString("Clear Menu"), "Clear Menu");
    unsetenv("GRAMOLUX_RESOURCES");
    gx::StringTable::reload();
}
