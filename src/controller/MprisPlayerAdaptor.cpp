#include "controller/MprisPlayerAdaptor.h"

#include "controller/MprisService.h"
#include "platform/UserDefaults.h"
#include "settings/SettingsKeys.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* exported, MprisService& service)
    : QDBusAbstractAdaptor(exported), service_(service)
{
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return service_.playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return service_.metadata();
}

double MprisPlayerAdaptor::volume() const
{
    return gx::UserDefaults::standardUserDefaults().floatForKey(gx::keys::musicVolume);
}

qlonglong MprisPlayerAdaptor::position() const
{
    return service_.position();
}

bool MprisPlayerAdaptor::canPlay() const
{
    return service_.canPlay();
}

void MprisPlayerAdaptor::Play()
{
    service_.play();
}

void MprisPlayerAdaptor::Pause()
{
    service_.pause();
}

void MprisPlayerAdaptor::PlayPause()
{
    service_.playPause();
}

void MprisPlayerAdaptor::Stop()
{
    service_.pause();
}
