// The command line: the parsing rules case by case, then the real program as
// a terminal user runs it, beside a running player that must hear nothing of
// --help or --version; and the man page that documents it.
#include "app/CommandLine.h"
#include "platform/SingleInstance.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <tuple>

using gx::CommandLine;
using Action = gx::CommandLine::Action;

TEST(CommandLine, FirstOptionDecidesAndDoubleDashEndsOptions)
{
    const std::tuple<QStringList, Action, QStringList> cases[] = {
        {QStringList {}, Action::Play, {}},
        {{"a.mp3", "b c.wav"}, Action::Play, {"a.mp3", "b c.wav"}},
        {{"--help"}, Action::ShowHelp, {}},
        {{"a.mp3", "-h"}, Action::ShowHelp, {}},
        {{"--version"}, Action::ShowVersion, {}},
        {{"-v", "--bogus"}, Action::ShowVersion, {}},
        {{"--bogus", "--help"}, Action::Misuse, {}},
        {{"-x.mp3"}, Action::Misuse, {}},
        {{"--help=yes"}, Action::Misuse, {}},
        {{"-hv"}, Action::Misuse, {}},
        {{"--", "-x.mp3", "--help", "--"}, Action::Play, {"-x.mp3", "--help", "--"}},
        {{"a.mp3", "--", "--version"}, Action::Play, {"a.mp3", "--version"}},
        {{"-", ""}, Action::Play, {"-", ""}},
    };
    for (const auto& [arguments, action, files] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CommandLine parsed = gx::parseCommandLine(arguments);
        EXPECT_EQ(parsed.action, action);
        EXPECT_EQ(parsed.files, files);
    }
    EXPECT_EQ(gx::parseCommandLine({"--bogus"}).problem, "unknown option '--bogus'");
}

namespace {

// The real program with its runtime folder in `runtimeDir`, where a player of
// the test may listen.
gx::test::Outcome runGramolux(const QStringList& arguments, const QString& runtimeDir, const QString& workingDir = {})
{
    gx::test::RunOptions options {.workingDir = workingDir};
    options.env.insert("XDG_RUNTIME_DIR", runtimeDir);
    return gx::test::runProgram(GX_GRAMOLUX_BINARY, arguments, options);
}

} // namespace

TEST(RealCommandLine, HelpAndVersionAnswerWithoutReachingTheRunningPlayer)
{
    // This test stands in for the running player.
    QTemporaryDir runtime;
    gx::SingleInstance player {runtime.filePath("gramolux.socket")};
    QStringList received;
    QObject::connect(&player, &gx::SingleInstance::filesReceived, [&](const QStringList& files) { received << files; });
    ASSERT_FALSE(player.forwardOrListen({}));

    const auto help = runGramolux({"--help", "song.mp3"}, runtime.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, gx::commandLineUsage());
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const auto version = runGramolux({"-v"}, runtime.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("gramolux %1\n").arg(GX_VERSION));

    const auto bogus = runGramolux({"--bogus", "song.mp3"}, runtime.path());
    EXPECT_EQ(bogus.exitCode, 2);
    EXPECT_TRUE(bogus.out.isEmpty());
    EXPECT_EQ(bogus.err, "gramolux: unknown option '--bogus'\n" + gx::commandLineUsage());

    // A real hand-over arrives, files named like options too, and nothing came before it.
    QTemporaryDir music;
    const auto handed = runGramolux({"--", "-x.mp3", "--help"}, runtime.path(), music.path());
    EXPECT_EQ(handed.exitCode, 0) << handed.err.toStdString();
    ASSERT_TRUE(gx::test::waitUntil([&] { return !received.isEmpty(); }, 10000));
    EXPECT_EQ(received, (QStringList {music.filePath("-x.mp3"), music.filePath("--help")}));
}

TEST(ManPage, RendersCleanlyAndDocumentsEveryOptionAndExitCode)
{
    const auto groff = gx::test::runProgram("groff", {"-man", "-Tascii", "-ww", "-P", "-cbou", GX_MAN_PAGE});
    ASSERT_EQ(groff.exitCode, 0) << "groff (groff-base) failed";
    EXPECT_TRUE(groff.err.isEmpty()) << "the man page has mistakes";
    const QString& page = groff.out;
    EXPECT_TRUE(page.contains(QStringLiteral("Gramolux %1").arg(GX_VERSION)));

    // Each option line of the usage, and each exit code it names.
    // (An option starts an indented line or follows another after a comma.)
    const QRegularExpression option(QStringLiteral("(?:^  |, )(--?[a-z]*)"), QRegularExpression::MultilineOption);
    int options = 0;
    for (auto m = option.globalMatch(gx::commandLineUsage()); m.hasNext(); ++options) {
        const QString name = m.next().captured(1);
        EXPECT_TRUE(page.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(options, 5);
    for (const QString section : {"OPTIONS", "KEYS", "GESTURES", "FILES", "EXIT STATUS"})
        EXPECT_TRUE(page.contains("\n" + section + "\n")) << section.toStdString();
    EXPECT_TRUE(page.contains("Gramolux.conf"));
}
