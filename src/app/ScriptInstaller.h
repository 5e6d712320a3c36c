#pragma once
// Installs the iTunes script: asks first, then copies the script resource to
// ~/Library/iTunes/Scripts under its localized title. A failure beeps and
// leaves no file behind.
#include <QString>

namespace gx {

class UserPrompts;

class ScriptInstaller {
public:
    explicit ScriptInstaller(UserPrompts& prompts)
        : prompts_(prompts)
    {
    }

    static QString scriptsFolder();
    static QString installedPath();
    static bool isInstalled();

    // Answers whether it installed the script now.
    bool install();

private:
    UserPrompts& prompts_;
};

} // namespace gx
