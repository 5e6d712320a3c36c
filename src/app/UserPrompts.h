#pragma once
// What the controller asks and tells the user away from the turntable: the
// script installer's two alerts and the system beep, behind one interface so
// that the installer knows nothing of dialogs. The program shows Qt dialogs.
#include <QPointer>
#include <QWidget>

namespace gx {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // Asks whether to install the script; true for yes.
    virtual bool askToInstallScript() = 0;
    // Says that the script is installed.
    virtual void tellScriptInstalled() = 0;
    virtual void beep() = 0;
};

// Modal alerts over the main window, their texts from the string table.
class DialogPrompts final : public UserPrompts {
public:
    explicit DialogPrompts(QWidget* window)
        : window_(window)
    {
    }
    bool askToInstallScript() override;
    void tellScriptInstalled() override;
    void beep() override;

private:
    QPointer<QWidget> window_;
};

} // namespace gx
