#include "mpris/MprisPlayerAdaptor.h"

#include "mpris/MprisService.h"

#include <QDBusError>

namespace gx {

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisObject* exported, MprisService& service)
    : QDBusAbstractAdaptor(exported)
    , exported_(exported)
    , service_(service)
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
double MprisPlayerAdaptor::rate() const
{
    return service_.rate();
}
void MprisPlayerAdaptor::setRate(double rate)
{
    service_.setRate(rate);
}
double MprisPlayerAdaptor::minimumRate() const
{
    return MprisService::minimumRate;
}
double MprisPlayerAdaptor::maximumRate() const
{
    return MprisService::maximumRate;
}
double MprisPlayerAdaptor::volume() const
{
    return service_.volume();
}
void MprisPlayerAdaptor::setVolume(double volume)
{
    service_.setVolume(volume);
}
qlonglong MprisPlayerAdaptor::position() const
{
    return service_.position();
}
bool MprisPlayerAdaptor::canGoNext() const
{
    return service_.canGoNext();
}
bool MprisPlayerAdaptor::canGoPrevious() const
{
    return service_.canGoPrevious();
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
// The turntable has one way to stop: the switch.
void MprisPlayerAdaptor::Stop()
{
    service_.pause();
}
void MprisPlayerAdaptor::Next()
{
    service_.next();
}
void MprisPlayerAdaptor::Previous()
{
    service_.previous();
}
void MprisPlayerAdaptor::Seek(qlonglong Offset)
{
    service_.seek(Offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position)
{
    service_.setPosition(TrackId, Position);
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri)
{
    if (!service_.openUri(Uri) && exported_->calledFromDBus())
        exported_->sendErrorReply(QDBusError::NotSupported, QStringLiteral("Only file URIs can be opened: ") + Uri);
}

} // namespace gx
