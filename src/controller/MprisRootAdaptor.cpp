#include "controller/MprisRootAdaptor.h"

#include "controller/MprisService.h"

MprisRootAdaptor::MprisRootAdaptor(QObject* exported, MprisService& service)
    : QDBusAbstractAdaptor(exported), service_(service)
{
}

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return {"audio/aiff", "audio/x-aiff", "audio/x-aifc", "audio/wav", "audio/x-wav", "audio/mpeg",
            "audio/mp4",  "audio/x-m4a",  "audio/x-m4p",  "video/mpeg", "video/mp4",  "video/quicktime"};
}

void MprisRootAdaptor::Raise()
{
    service_.raise();
}

void MprisRootAdaptor::Quit()
{
    service_.quit();
}
