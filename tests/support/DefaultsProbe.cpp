// Reads one key of a settings file in a process of its own, as the next start
// of the player would, and prints "ok=<0|1>" and the list's entries, a line
// each, percent-encoded. A store's own process can be answered from Qt's cache instead.
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QUrl>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    gx::UserDefaults store(QString::fromLocal8Bit(argv[1]));
    bool ok = false;
    const QStringList list = store.stringListForKey(QString::fromLocal8Bit(argv[2]), &ok);
    std::printf("ok=%d\n", ok ? 1 : 0);
    for (const QString& entry : list)
        std::printf("%s\n", QUrl::toPercentEncoding(entry).constData());
    return 0;
}
