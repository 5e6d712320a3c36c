#pragma once
// The user-defaults store: the user's values in a QSettings file (native
// format, organisation and application "Gramolux", so it lives in the XDG
// config folder), over a layer of registered defaults that is never written.
//
// All values are mirrored in memory: reads and writes touch only memory and
// never wait for the disk, from any thread. A writer thread of the store's own
// gathers the changes of a moment (a slider drag) and writes them together,
// within a second; synchronize() and destruction write what is still pending
// at once. QSettings replaces the file atomically, so a write never leaves half
// a file behind.
//
// Threads: every read and write may come from any thread (the jukebox thread
// reads the levels on each tick); writer_ ("gx-settings") runs writerTick,
// and every use of the file, from it or from synchronize(), reload() and the
// destructor, holds fileMutex_. No lock is held across a call out of the
// store but fileMutex_ across QSettings.
#include "platform/TickLoop.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <mutex>
#include <shared_mutex>

namespace gx {

class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();

    // A store over the given settings file; an empty path means the standard
    // location. Tests use their own files.
    explicit UserDefaults(const QString& filePath = {});
    // Writes what is pending and ends the writer thread.
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    void registerDefaults(const QVariantMap& defaults);

    // The stored value when it is a finite number, else the registered
    // default, else 0.
    float floatForKey(const QString& key) const;
    void setFloat(float value, const QString& key);
    void setString(const QString& value, const QString& key);

    // Stored value, else the registered default, else an invalid variant.
    QVariant objectForKey(const QString& key) const;

    // The stored list when the value is a list of strings (a single string
    // counts as a list of one), else an empty list with ok set false.
    QStringList stringListForKey(const QString& key, bool* ok = nullptr) const;
    void setStringList(const QStringList& value, const QString& key);

    // Writes pending changes, then reads the file again, as a restart would.
    void reload();
    // Writes pending changes to disk now, on the calling thread.
    void synchronize();
    QString fileName() const { return path_; }

private:
    void store(const QString& key, const QVariant& value);
    // Runs on writer_.
    TickLoop::Next writerTick();
    void writePending();

    const QString path_;

    // --- guarded by mutex_: what every reader sees
    mutable std::shared_mutex mutex_;
    QVariantMap values_;
    QVariantMap registered_;

    // --- guarded by pendingMutex_: changes not yet handed to the file
    std::mutex pendingMutex_;
    QVariantMap pending_;

    // Serialises every use of the file, so batches reach it in order.
    std::mutex fileMutex_;
    // --- writer_'s thread only: a batch is being gathered
    bool gathering_ = false;
    TickLoop writer_ {"gx-settings"}; // last: it ends before the fields it reads go
};

} // namespace gx
