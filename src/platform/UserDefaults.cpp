#include "platform/UserDefaults.h"

#include "platform/Logging.h"

#include <QSettings>
#include <chrono>
#include <cmath>

namespace gx {

namespace {

// How long the writer waits after a change for the changes that follow it
// (a slider drag sends one per step) before it writes them together.
constexpr auto kGatherChanges = std::chrono::milliseconds(250);

bool finiteFloat(const QVariant& v, float* out)
{
    if (!v.isValid())
        return false;
    const int type = v.metaType().id();
    if (type != QMetaType::QString && type != QMetaType::Double && type != QMetaType::Float && type != QMetaType::Int
        && type != QMetaType::LongLong && type != QMetaType::UInt && type != QMetaType::ULongLong
        && type != QMetaType::QByteArray)
        return false;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    const float f = static_cast<float>(d);
    if (!std::isfinite(f))
        return false;
    *out = f;
    return true;
}

// A copy that shares no data with the original. What crosses between the
// callers' threads and the writer is copied so: Qt's shared strings count
// their references inside Qt's own library, where the thread sanitizer cannot
// follow them, and the last owner must be the one that a lock orders.
QString ownCopy(const QString& s)
{
    return QString(s.constData(), s.size());
}

QVariant ownCopy(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::QString:
        return ownCopy(v.toString());
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return QByteArray(bytes.constData(), bytes.size());
    }
    case QMetaType::QStringList: {
        QStringList copy;
        for (const QString& s : v.toStringList())
            copy << ownCopy(s);
        return copy;
    }
    case QMetaType::QVariantList: {
        QVariantList copy;
        for (const QVariant& e : v.toList())
            copy << ownCopy(e);
        return copy;
    }
    default:
        return v;
    }
}

QString standardFileName()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Gramolux", "Gramolux").fileName();
}

} // namespace

UserDefaults& UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults;
    return defaults;
}

UserDefaults::UserDefaults(const QString& filePath)
    : path_(filePath.isEmpty() ? standardFileName() : filePath)
{
    reload();
    writer_.start([this] { return writerTick(); }, kGatherChanges);
}

UserDefaults::~UserDefaults()
{
    writer_.requestStop(); // ends a gathering at once: the rest is written here
    writer_.join();
    writePending();
}

// Runs on writer_: a change wakes it, it gathers those that follow for a
// moment, then writes them together and sleeps until the next change.
TickLoop::Next UserDefaults::writerTick()
{
    if (gathering_) {
        gathering_ = false;
        writePending();
        return TickLoop::Next::whenWoken();
    }
    bool idle = false;
    {
        std::lock_guard lock(pendingMutex_);
        idle = pending_.isEmpty();
    }
    gathering_ = !idle;
    return idle ? TickLoop::Next::whenWoken() : TickLoop::Next::period();
}

void UserDefaults::writePending()
{
    std::lock_guard file(fileMutex_);
    QVariantMap batch;
    {
        std::lock_guard lock(pendingMutex_);
        batch.swap(pending_);
    }
    if (batch.isEmpty())
        return;
    // A settings object of this thread's own, for this batch only: it merges
    // our keys into what is on disk and keeps the user's other keys.
    QSettings settings(path_, QSettings::NativeFormat);
    for (auto it = batch.cbegin(); it != batch.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qCWarning(logSettings).noquote() << "Cannot write the settings to" << path_ << "-"
                                         << (settings.status() == QSettings::AccessError ? "access denied"
                                                                                         : "format error");
    else
        qCDebug(logSettings).noquote() << "Wrote" << batch.size() << "settings to" << path_;
}

void UserDefaults::reload()
{
    writePending();
    QVariantMap read;
    {
        std::lock_guard file(fileMutex_);
        QSettings settings(path_, QSettings::NativeFormat);
        for (const QString& key : settings.allKeys()) {
            QVariant value = settings.value(key);
            // The native format writes an empty list as an invalid value,
            // and we never store an invalid value: it is an empty list.
            if (!value.isValid())
                value = QStringList();
            read.insert(ownCopy(key), ownCopy(value));
        }
    }
    std::unique_lock lock(mutex_);
    values_ = std::move(read);
}

void UserDefaults::synchronize()
{
    writePending();
}

void UserDefaults::registerDefaults(const QVariantMap& defaults)
{
    std::unique_lock lock(mutex_);
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        registered_.insert(it.key(), it.value());
}

float UserDefaults::floatForKey(const QString& key) const
{
    std::shared_lock lock(mutex_);
    float f = 0.0f;
    if (finiteFloat(values_.value(key), &f))
        return f;
    if (finiteFloat(registered_.value(key), &f))
        return f;
    return 0.0f;
}

void UserDefaults::setFloat(float value, const QString& key)
{
    // Written as the double that equals the float, so it reads back bit for bit.
    store(key, QVariant(static_cast<double>(value)));
}

void UserDefaults::setString(const QString& value, const QString& key)
{
    store(key, QVariant(value));
}

QVariant UserDefaults::objectForKey(const QString& key) const
{
    std::shared_lock lock(mutex_);
    const auto it = values_.constFind(key);
    if (it != values_.constEnd())
        return *it;
    return registered_.value(key);
}

QStringList UserDefaults::stringListForKey(const QString& key, bool* ok) const
{
    const QVariant v = objectForKey(key);
    const int type = v.metaType().id();
    if (ok)
        *ok = type == QMetaType::QStringList || type == QMetaType::QString;
    if (type == QMetaType::QStringList)
        return v.toStringList();
    if (type == QMetaType::QString)
        return QStringList {v.toString()};
    if (type == QMetaType::QVariantList) {
        // An empty list, or one whose entries are all strings.
        QStringList out;
        for (const QVariant& e : v.toList()) {
            if (e.metaType().id() != QMetaType::QString) {
                if (ok)
                    *ok = false;
                return {};
            }
            out << e.toString();
        }
        if (ok)
            *ok = true;
        return out;
    }
    return {};
}

void UserDefaults::setStringList(const QStringList& value, const QString& key)
{
    store(key, QVariant(value));
}

void UserDefaults::store(const QString& key, const QVariant& value)
{
    {
        std::unique_lock lock(mutex_);
        values_.insert(key, value);
    }
    QString ownKey = ownCopy(key);
    QVariant ownValue = ownCopy(value);
    {
        std::lock_guard lock(pendingMutex_);
        pending_.insert(std::move(ownKey), std::move(ownValue));
    }
    writer_.wake();
}

} // namespace gx
