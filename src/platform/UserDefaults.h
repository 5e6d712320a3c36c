#pragma once
// The user-defaults store: the user's values in a QSettings file (native
// format, organisation and application "Gramolux", so it lives in the XDG
// config folder), over a layer of registered defaults that is never written.
//
// All values are mirrored in memory, so reads are cheap and never touch the
// disk; reads and writes are safe from any thread. Writes go to the file at
// once through QSettings, which replaces the file atomically.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>
#include <shared_mutex>

class QSettings;

namespace gx {

class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();

    // A store over the given settings file; an empty path means the standard
    // location. Tests use their own files.
    explicit UserDefaults(const QString& filePath = {});
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    void registerDefaults(const QVariantMap& defaults);

    // The stored value when it is a finite number, else the registered
    // default, else 0.
    float floatForKey(const QString& key) const;
    void setFloat(float value, const QString& key);

    // Stored value, else the registered default, else an invalid variant.
    QVariant objectForKey(const QString& key) const;

    // The stored list when the value is a list of strings (a single string
    // counts as a list of one), else nullopt-like: ok is set false and the
    // list is empty.
    QStringList stringListForKey(const QString& key, bool* ok = nullptr) const;
    void setStringList(const QStringList& value, const QString& key);

    // Reads the file again, as a restart would.
    void reload();
    // Flushes pending writes to disk.
    void synchronize();
    QString fileName() const;

private:
    void store(const QString& key, const QVariant& value);

    mutable std::shared_mutex mutex_;
    std::unique_ptr<QSettings> settings_;
    QVariantMap values_;
    QVariantMap registered_;
};

} // namespace gx
