#include "platform/StringTable.h"

#include "platform/Logging.h"
#include "platform/ResourceNames.h"
#include "platform/Resources.h"
#include "platform/UserLanguage.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTranslator>
#include <memory>
#include <mutex>

namespace gx {

namespace {

// Guards the tables, their language and whether they are loaded.
std::mutex tableMutex;
QHash<QString, QString> table;
std::unique_ptr<QTranslator> translation;
QString tableLanguage;
bool loaded = false;

QString unescape(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const QChar c = s[++i];
            out += c == 'n' ? QChar('\n') : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

void loadTranslationLocked(const QString& language)
{
    translation.reset();
    tableLanguage.clear();
    if (language.isEmpty())
        return;
    const std::string path = pathForResource("gramolux_" + language.toStdString() + ".qm");
    auto translator = std::make_unique<QTranslator>();
    if (path.empty() || !translator->load(QString::fromStdString(path))) {
        qCWarning(logPlatform) << "No table of texts in" << language << "among the resources; showing English";
        return;
    }
    translation = std::move(translator);
    tableLanguage = language;
}

void loadLocked(const QString& language)
{
    table.clear();
    loaded = true;
    loadTranslationLocked(language);
    const std::string path = pathForResource(resources::stringTable);
    if (path.empty())
        return;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    static const QRegularExpression line(R"re(^\s*"((?:[^"\\]|\\.)*)"\s*=\s*"((?:[^"\\]|\\.)*)"\s*;)re");
    for (const QString& text : QString::fromUtf8(file.readAll()).split('\n')) {
        const auto m = line.match(text);
        if (m.hasMatch())
            table.insert(unescape(m.captured(1)), unescape(m.captured(2)));
    }
}

} // namespace

QString localizedString(const QString& key)
{
    std::lock_guard lock(tableMutex);
    if (!loaded)
        loadLocked(userLanguage());
    if (translation) {
        const QString translated = translation->translate("Gramolux", key.toUtf8().constData());
        if (!translated.isEmpty())
            return translated;
    }
    const QString value = table.value(key);
    return value.isEmpty() ? key : value;
}

void StringTable::reload()
{
    load(userLanguage());
}

void StringTable::load(const QString& language)
{
    std::lock_guard lock(tableMutex);
    loadLocked(language);
}

QString StringTable::language()
{
    std::lock_guard lock(tableMutex);
    if (!loaded)
        loadLocked(userLanguage());
    return tableLanguage;
}

} // namespace gx
