#include "handover/NaturalOrder.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace gx {

namespace {

// Sorts below every character a name's text may hold, so that a number comes
// before text at the same place ("Song1" before "Song A").
constexpr char16_t kNumberMark = 0x01;
// Between a name and its extension: below everything, so that a shorter name
// comes first ("Song.mp3" before "Song 2.mp3").
constexpr char16_t kExtensionMark = 0x00;

void appendKeyOf(const QString& text, QString& key)
{
    // Compatibility decomposition splits accents off their letters and makes
    // wide and circled digits plain ones; the accents are then dropped.
    const QString plain = text.normalized(QString::NormalizationForm_KD).toCaseFolded();
    for (qsizetype i = 0; i < plain.size();) {
        const QChar c = plain[i];
        if (c.category() == QChar::Mark_NonSpacing) {
            ++i;
            continue;
        }
        if (c < u'0' || c > u'9') {
            key += c;
            ++i;
            continue;
        }
        // A run of digits compares by its value: leading zeros go, then the
        // longer number is the larger, then digit by digit.
        qsizetype end = i;
        while (end < plain.size() && plain[end] >= u'0' && plain[end] <= u'9')
            ++end;
        qsizetype first = i;
        while (first < end - 1 && plain[first] == u'0')
            ++first;
        key += QChar(kNumberMark);
        key += QChar(static_cast<char16_t>(0x20 + std::min<qsizetype>(end - first, 0xFFFF - 0x20)));
        key += QStringView(plain).sliced(first, end - first);
        i = end;
    }
}

} // namespace

QString naturalSortKey(const QString& name)
{
    // A leading dot starts a name, not an extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    QString key;
    key.reserve(name.size() + 8);
    if (dot > 0) {
        appendKeyOf(name.first(dot), key);
        key += QChar(kExtensionMark);
        appendKeyOf(name.sliced(dot + 1), key);
    } else {
        appendKeyOf(name, key);
    }
    return key;
}

void sortNaturally(QStringList& names)
{
    // Each key once, not once per comparison: a folder may hold thousands.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(static_cast<size_t>(names.size()));
    for (QString& name : names)
        keyed.emplace_back(naturalSortKey(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[static_cast<size_t>(i)].second);
}

} // namespace gx
