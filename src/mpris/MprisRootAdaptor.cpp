#include "mpris/MprisRootAdaptor.h"

#include "mpris/MprisService.h"

namespace gx {

MprisRootAdaptor::MprisRootAdaptor(QObject* exported, MprisService& service)
    : QDBusAbstractAdaptor(exported)
    , service_(service)
{
}

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return MprisService::supportedMimeTypes();
}

void MprisRootAdaptor::Raise()
{
    service_.raise();
}

void MprisRootAdaptor::Quit()
{
    service_.quit();
}

} // namespace gx
