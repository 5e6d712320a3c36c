#include "controller/MprisService.h"

#include "controller/AppController.h"
#include "controller/GramoluxWindowLayout.h"
#include "controller/MprisPlayerAdaptor.h"
#include "controller/MprisRootAdaptor.h"
#include "sound/GXQTMusic.h"
#include "view/GXGramoluxView.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QMainWindow>
#include <QUrl>

MprisService::MprisService(GramoluxWindowLayout& layout, QObject* parent)
    : QObject(parent), layout_(layout), exported_(new QObject(this))
{
    new MprisRootAdaptor(exported_, *this);
    new MprisPlayerAdaptor(exported_, *this);
    connect(layout_.appController(), &AppController::playbackChanged, this, &MprisService::announceChanges);
}

MprisService::~MprisService()
{
    if (registered_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(objectPath);
        bus.unregisterService(serviceName);
    }
}

bool MprisService::registerOnSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(objectPath, exported_, QDBusConnection::ExportAdaptors))
        return false;
    registered_ = bus.registerService(serviceName);
    if (!registered_)
        bus.unregisterObject(objectPath);
    lastStatus_ = playbackStatus();
    lastMetadata_ = metadata();
    return registered_;
}

QString MprisService::playbackStatus() const
{
    const AppController* c = layout_.appController();
    if (!c->theMusic())
        return QStringLiteral("Stopped");
    return c->isPlaying() ? QStringLiteral("Playing") : QStringLiteral("Paused");
}

QVariantMap MprisService::metadata() const
{
    const AppController* c = layout_.appController();
    const auto song = c->theMusic();
    if (!song)
        return {{"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack"))}};
    const QString path = c->currentMusicPath();
    return {
        {"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/gramolux/track/" + QString::number(track_)))},
        {"mpris:length", static_cast<qlonglong>(static_cast<double>(song->movieTotalSeconds()) * 1e6)},
        {"xesam:title", AppController::musicName(path)},
        {"xesam:url", QUrl::fromLocalFile(path).toString()},
    };
}

qlonglong MprisService::position() const
{
    const auto song = layout_.appController()->theMusic();
    return song ? static_cast<qlonglong>(static_cast<double>(song->movieCrntSecond()) * 1e6) : 0;
}

bool MprisService::canPlay() const
{
    return layout_.view()->enable();
}

void MprisService::play()
{
    if (!layout_.view()->switchValue())
        layout_.workTheSwitch();
}

void MprisService::pause()
{
    if (layout_.view()->switchValue())
        layout_.workTheSwitch();
}

void MprisService::playPause()
{
    layout_.workTheSwitch();
}

void MprisService::raise()
{
    layout_.mainWindow()->raise();
    layout_.mainWindow()->activateWindow();
}

void MprisService::quit()
{
    layout_.mainWindow()->close();
}

void MprisService::announceChanges()
{
    const QString path = layout_.appController()->currentMusicPath();
    if (lastMetadata_.value("xesam:url") != QUrl::fromLocalFile(path).toString() && !path.isEmpty())
        ++track_;
    const QString status = playbackStatus();
    const QVariantMap meta = metadata();
    QVariantMap changed;
    if (status != lastStatus_)
        changed.insert("PlaybackStatus", status);
    if (meta != lastMetadata_)
        changed.insert("Metadata", meta);
    lastStatus_ = status;
    lastMetadata_ = meta;
    if (!registered_ || changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(objectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}
