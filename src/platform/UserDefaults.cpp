#include "platform/UserDefaults.h"

#include <QSettings>
#include <cmath>
#include <mutex>

namespace gx {

namespace {

bool finiteFloat(const QVariant& v, float* out)
{
    if (!v.isValid())
        return false;
    const int type = v.metaType().id();
    if (type != QMetaType::QString && type != QMetaType::Double && type != QMetaType::Float &&
        type != QMetaType::Int && type != QMetaType::LongLong && type != QMetaType::UInt &&
        type != QMetaType::ULongLong && type != QMetaType::QByteArray)
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

} // namespace

UserDefaults& UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults;
    return defaults;
}

UserDefaults::UserDefaults(const QString& filePath)
    : settings_(filePath.isEmpty()
                    ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                  "Gramolux", "Gramolux")
                    : std::make_unique<QSettings>(filePath, QSettings::NativeFormat))
{
    reload();
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::reload()
{
    std::unique_lock lock(mutex_);
    settings_->sync();
    values_.clear();
    for (const QString& key : settings_->allKeys())
        values_.insert(key, settings_->value(key));
}

void UserDefaults::synchronize()
{
    std::unique_lock lock(mutex_);
    settings_->sync();
}

QString UserDefaults::fileName() const
{
    std::shared_lock lock(mutex_);
    return settings_->fileName();
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
        return QStringList{v.toString()};
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
    std::unique_lock lock(mutex_);
    values_.insert(key, value);
    settings_->setValue(key, value);
    settings_->sync();
}

} // namespace gx
