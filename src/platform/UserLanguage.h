#pragma once
// The language the user reads. The locale's variables are read as gettext
// reads them: LANGUAGE (a colon list, most wanted first), LC_ALL, LC_MESSAGES,
// LANG; the first one set decides. The answer is a language we have a table
// for, or empty for English (also for "C", "POSIX" and languages we lack).
#include <QString>
#include <array>
#include <functional>

namespace gx {

inline constexpr std::array<const char*, 3> kTranslatedLanguages = {"de", "fr", "es"};

QString chooseLanguage(const std::function<QString(const char* variable)>& environment);

// chooseLanguage on this process's environment.
QString userLanguage();

// Qt's own texts (dialog buttons, the file panel) in the language: Debian's
// qt6-translations-l10n table, replacing one loaded before; English unloads
// it. False, logged, when the language's table is not installed.
bool loadToolkitTranslations(const QString& language);

} // namespace gx
