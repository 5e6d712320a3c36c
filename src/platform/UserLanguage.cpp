#include "platform/UserLanguage.h"

#include "platform/Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace gx {

namespace {

// "de_AT.UTF-8@euro" is "de"; "C" and "POSIX" are English.
QString languageOf(const QString& locale)
{
    const QString language = locale.section('_', 0, 0).section('.', 0, 0).section('@', 0, 0).toLower();
    return language == "c" || language == "posix" ? QStringLiteral("en") : language;
}

bool translated(const QString& language)
{
    return std::any_of(kTranslatedLanguages.begin(), kTranslatedLanguages.end(),
        [&](const char* known) { return language == QLatin1String(known); });
}

} // namespace

QString chooseLanguage(const std::function<QString(const char* variable)>& environment)
{
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QStringList wanted = environment(variable).split(':', Qt::SkipEmptyParts);
        if (wanted.isEmpty())
            continue;
        for (const QString& locale : wanted) {
            const QString language = languageOf(locale);
            if (language == "en")
                return {};
            if (translated(language))
                return language;
        }
        return {};
    }
    return {};
}

QString userLanguage()
{
    return chooseLanguage([](const char* variable) { return QString::fromLocal8Bit(std::getenv(variable)); });
}

bool loadToolkitTranslations(const QString& language)
{
    static std::unique_ptr<QTranslator> loaded;
    if (loaded)
        QCoreApplication::removeTranslator(loaded.get());
    loaded.reset();
    if (language.isEmpty())
        return true;
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load("qtbase_" + language, folder)) {
        qCWarning(logPlatform) << "Qt's own texts stay English: no qtbase_" + language + ".qm in" << folder
                               << "(package qt6-translations-l10n)";
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    loaded = std::move(translator);
    return true;
}

} // namespace gx
