#include "platform/StringTable.h"

#include "platform/ResourceNames.h"
#include "platform/Resources.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <mutex>

namespace gx {

namespace {

// Guards the table and whether it is loaded.
std::mutex tableMutex;
QHash<QString, QString> table;
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

void loadLocked()
{
    table.clear();
    loaded = true;
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
        loadLocked();
    const QString value = table.value(key);
    return value.isEmpty() ? key : value;
}

void StringTable::reload()
{
    std::lock_guard lock(tableMutex);
    loadLocked();
}

} // namespace gx
