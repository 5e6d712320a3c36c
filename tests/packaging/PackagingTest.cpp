// What the desktop sees of Gramolux, checked with the desktop's own tools:
// the desktop entry and the AppStream metainfo pass their validators and
// agree on the media types, and an install into a fresh prefix leaves
// Gramolux among the applications offered for its files ("Open With"). The
// Debian package holds what an install does and installs, runs and purges.
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <unistd.h>

namespace {

// Standard output and error together in `out`.
gx::test::Outcome run(const QString& program, const QStringList& args,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    return gx::test::runProgram(program, args, {.env = env, .mergeOutput = true, .timeoutMs = 120000});
}

const QString kDesktopEntry = QStringLiteral(GX_PACKAGING_DIR "/gramolux.desktop");
const QString kMetainfo = QStringLiteral(GX_PACKAGING_DIR "/org.gramolux.Gramolux.metainfo.xml");

QStringList desktopMimeTypes()
{
    const QRegularExpression line("^MimeType=(.*)$", QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(gx::test::readFile(kDesktopEntry))).captured(1).split(';', Qt::SkipEmptyParts);
}

QStringList tagValues(const QString& xml, const QString& tag)
{
    QStringList values;
    const QRegularExpression re(QStringLiteral("<%1[^>]*>([^<]*)</%1>").arg(tag));
    for (auto m = re.globalMatch(xml); m.hasNext();)
        values << m.next().captured(1).trimmed();
    return values;
}

} // namespace

TEST(Packaging, DesktopEntryAndMetainfoPassTheirValidatorsAndAgree)
{
    const auto entry = run("desktop-file-validate", {kDesktopEntry});
    EXPECT_EQ(entry.exitCode, 0) << entry.out.toStdString();
    EXPECT_TRUE(entry.out.trimmed().isEmpty()) << entry.out.toStdString();

    const auto meta = run("appstreamcli", {"validate", "--no-net", kMetainfo});
    EXPECT_EQ(meta.exitCode, 0) << meta.out.toStdString();

    const QString xml = QString::fromUtf8(gx::test::readFile(kMetainfo));
    const QStringList mimeTypes = desktopMimeTypes();
    EXPECT_EQ(tagValues(xml, "mediatype"), mimeTypes);
    EXPECT_EQ(tagValues(xml, "launchable"), QStringList {"gramolux.desktop"});
    EXPECT_EQ(tagValues(xml, "binary"), QStringList {"gramolux"});
    // The formats a library commonly holds beyond the accepted types.
    for (const char* type : {"audio/flac", "audio/x-vorbis+ogg", "audio/x-opus+ogg", "audio/mpeg"})
        EXPECT_TRUE(mimeTypes.contains(type)) << type;
    const QString entryText = QString::fromUtf8(gx::test::readFile(kDesktopEntry));
    for (const char* language : {"de", "fr", "es"}) {
        EXPECT_TRUE(entryText.contains(QString("\nComment[%1]=").arg(language))) << language;
        EXPECT_TRUE(xml.contains(QString("<summary xml:lang=\"%1\">").arg(language))) << language;
    }
}

TEST(Packaging, InstallIntoAHomePrefixShowsInOpenWithAtOnce)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DESTDIR");
    const auto install = run("cmake", {"--install", GX_BUILD_DIR, "--prefix", prefix.path()}, env);
    ASSERT_EQ(install.exitCode, 0) << install.out.toStdString();

    const QDir share(prefix.filePath("share"));
    for (const char* file : {"../bin/gramolux", "applications/gramolux.desktop",
             "metainfo/org.gramolux.Gramolux.metainfo.xml", "man/man1/gramolux.1.gz",
             "icons/hicolor/scalable/apps/gramolux.svg", "gramolux/bg.tif", "gramolux/Localizable.strings"})
        EXPECT_TRUE(QFile::exists(share.filePath(file))) << file;
    for (const int n : {16, 24, 32, 48, 64, 128, 256, 512})
        EXPECT_EQ(QImage(share.filePath(QString("icons/hicolor/%1x%1/apps/gramolux.png").arg(n))).size(), QSize(n, n));

    // The desktop's own answer, with the prefix as the user's data folder. The
    // desktop offers only programs it finds on the PATH, as ~/.local/bin is
    // at a Debian login; the system's folders hold the file-type database.
    env.insert("XDG_DATA_HOME", share.path());
    env.insert("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    env.insert("XDG_CONFIG_HOME", prefix.filePath("config"));
    env.insert("PATH", prefix.filePath("bin") + ":" + env.value("PATH"));
    for (const QString& type : desktopMimeTypes()) {
        SCOPED_TRACE(type.toStdString());
        const auto known = run("gio", {"mime", type}, env);
        EXPECT_EQ(known.exitCode, 0) << known.out.toStdString();
        EXPECT_TRUE(known.out.section("Registered applications:", 1).contains("gramolux.desktop"))
            << known.out.toStdString();
    }
    // A folder and a playlist as the file manager tells their types.
    QTemporaryDir music;
    QDir(music.path()).mkpath("Album");
    const QString playlist = gx::test::writeFile(music.filePath("party.m3u"), "#EXTM3U\nAlbum/01 Song.mp3\n");
    for (const QString& path : {music.filePath("Album"), playlist}) {
        const QString type = run("gio", {"info", "-a", "standard::content-type", path}, env)
                                 .out.section("standard::content-type:", 1)
                                 .trimmed();
        SCOPED_TRACE((path + " is " + type).toStdString());
        EXPECT_TRUE(desktopMimeTypes().contains(type)); // and so offered, as above
    }
    QSettings cache(share.filePath("applications/mimeinfo.cache"), QSettings::IniFormat);
    EXPECT_TRUE(cache.value("MIME Cache/audio/flac").toString().contains("gramolux.desktop"))
        << "update-desktop-database (desktop-file-utils) did not run";
}

// The package packaging/build-deb.sh made (GX_DEB), or one cpack makes of
// this build tree: its control fields and files, and, as root, an install
// that runs and a purge that leaves nothing behind.
TEST(Packaging, DebianPackageHoldsTheProgramInstallsRunsAndPurges)
{
    if (QStandardPaths::findExecutable("dpkg-shlibdeps").isEmpty())
        GTEST_SKIP() << "dpkg and dpkg-dev are not installed";
    QTemporaryDir out;
    QString deb = qEnvironmentVariable("GX_DEB");
    if (deb.isEmpty()) {
        const gx::test::Outcome made
            = run("cpack", {"-G", "DEB", "-B", out.path(), "--config", GX_BUILD_DIR "/CPackConfig.cmake"});
        ASSERT_EQ(made.exitCode, 0) << made.out.toStdString();
        deb = QDir(out.path()).entryInfoList({"gramolux_*.deb"}).value(0).filePath();
    }
    const QString arch = run("dpkg", {"--print-architecture"}).out.trimmed();
    EXPECT_EQ(QFileInfo(deb).fileName(), QString("gramolux_%1_%2.deb").arg(GX_VERSION, arch));
    // The control fields, then the files with their modes and owners.
    const QString listed = run("dpkg-deb", {"--field", deb}).out + run("dpkg-deb", {"--contents", deb}).out;
    for (const QString& line :
        QStringList {"Version: " GX_VERSION "\n", "Architecture: " + arch + "\n", "Section: sound\n",
            "Priority: optional\n", "Maintainer: The Gramolux developers <developers@gramolux.org>\n",
            "Depends: qt6-image-formats-plugins, qt6-translations-l10n, .*libavformat59.*libqt6widgets6.*libsdl2-2.0-0",
            "Description: music player drawn as a vintage record player\n Gramolux plays",
            "-rwxr-xr-x root/root .* ./usr/bin/gramolux\n", "-rw-r--r-- root/root .* ./usr/share/gramolux/bg.tif\n",
            " ./usr/share/gramolux/gramolux_de.qm\n", " ./usr/share/applications/gramolux.desktop\n",
            " ./usr/share/metainfo/org.gramolux.Gramolux.metainfo.xml\n", " ./usr/share/man/man1/gramolux.1.gz\n",
            " ./usr/share/doc/gramolux/copyright\n", " ./usr/share/doc/gramolux/changelog.gz\n",
            " ./usr/share/icons/hicolor/scalable/apps/gramolux.svg\n"})
        EXPECT_TRUE(listed.contains(QRegularExpression(line))) << line.toStdString() << " not in\n"
                                                               << listed.toStdString();
    // No cache another package owns, nothing writable by others, no owner but root.
    EXPECT_FALSE(listed.contains(QRegularExpression(
        "\\.cache\n|^\\S{5}w|^\\S{8}w|^[-dl]\\S* (?!root/root)", QRegularExpression::MultilineOption)));

    if (geteuid() != 0 || run("dpkg", {"-s", "gramolux"}).exitCode == 0)
        GTEST_SKIP() << "installing needs root, and a machine where gramolux is not installed already";
    const gx::test::Outcome installed = run("dpkg", {"-i", deb});
    ASSERT_EQ(installed.exitCode, 0) << installed.out.toStdString();
    const gx::test::Outcome version = run("/usr/bin/gramolux", {"--version"});
    const gx::test::Outcome purged = run("dpkg", {"--purge", "gramolux"});
    EXPECT_TRUE(version.exitCode == 0 && version.out.contains(GX_VERSION)) << version.out.toStdString();
    EXPECT_EQ(purged.exitCode, 0) << purged.out.toStdString();
    EXPECT_FALSE(QFile::exists("/usr/bin/gramolux") || QFile::exists("/usr/share/gramolux"));
}
