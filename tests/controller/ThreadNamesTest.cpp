// Every thread of ours carries a name that top -H and gdb show.
#include "controller/AppController.h"
#include "controller/GramoluxWindowLayout.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

#ifdef __SANITIZE_THREAD__
constexpr int kSanitizerThreads = 1; // its background thread goes by the program's name
#else
constexpr int kSanitizerThreads = 0;
#endif

// The names of the process's threads, the main thread's first.
QStringList threadNames()
{
    QStringList names;
    QDir tasks("/proc/self/task");
    QStringList ids = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ids.move(ids.indexOf(QString::number(QCoreApplication::applicationPid())), 0);
    for (const QString& id : ids) {
        QFile comm(tasks.filePath(id + "/comm"));
        if (comm.open(QIODevice::ReadOnly))
            names << QString::fromUtf8(comm.readAll()).trimmed();
    }
    return names;
}

} // namespace

TEST(ThreadNames, APlayingSongsThreadsCarryOurNames)
{
    QTemporaryDir dir;
    gx::GramoluxWindowLayout layout;
    layout.appController()->openMusic(gx::test::writeToneWav(dir.filePath("tone.wav"), 20));
    QStringList names;
    EXPECT_TRUE(gx::test::waitUntil(
        [&] {
            names = threadNames();
            for (const char* ours : {"gx-jukebox", "gx-hiss", "gx-settings", "gx-cover"})
                if (!names.contains(ours))
                    return false;
            // No thread but the main one goes by the program's name.
            return names.count(names.first()) == 1 + kSanitizerThreads;
        },
        20000))
        << names.join(' ').toStdString();
}
