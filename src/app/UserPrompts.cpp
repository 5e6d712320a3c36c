#include "app/UserPrompts.h"

#include "platform/StringTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace gx {

namespace {

// A modal alert whose buttons, like its texts, come from the string table;
// answers the index of the button pressed, the first being the default.
int runAlert(
    QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& message, const QStringList& buttons)
{
    QMessageBox box(icon, localizedString(title), localizedString(message), QMessageBox::NoButton, parent);
    QList<QAbstractButton*> made;
    for (const QString& text : buttons)
        made << box.addButton(
            localizedString(text), made.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    box.setDefaultButton(qobject_cast<QPushButton*>(made.value(0)));
    box.exec();
    return static_cast<int>(made.indexOf(box.clickedButton()));
}

} // namespace

bool DialogPrompts::askToInstallScript()
{
    return runAlert(window_, QMessageBox::Question, "Do you want to install the script file?",
               "An AppleScript file will be created in your ~/Library/iTunes/Scripts directory.", {"Yes", "No"})
        == 0;
}

void DialogPrompts::tellScriptInstalled()
{
    runAlert(window_, QMessageBox::Information, "Installation was successful.",
        "If iTunes is running, please relaunch it.", {"OK"});
}

void DialogPrompts::beep()
{
    QApplication::beep();
}

} // namespace gx
