#pragma once
// The program's own command line, read before anything else starts (no
// display, no running player is touched): --help and --version answer and
// exit, an unknown option is a misuse (exit 2), "--" ends the options, and
// every other argument names a file to play. Qt's own options are not taken
// from the command line; Qt is set up through its environment variables.
#include <QString>
#include <QStringList>

namespace gx {

struct CommandLine {
    enum class Action { Play, ShowHelp, ShowVersion, Misuse };
    Action action = Action::Play;
    QStringList files; // for Play: the arguments naming files, in order
    QString problem;   // for Misuse: what was wrong, in a few words
};

// Exit codes of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitMisuse = 2;

// `arguments` are those after the program's name. The first option decides
// (so "--help --bogus" shows the help); options after "--" are files.
CommandLine parseCommandLine(const QStringList& arguments);

// The argument vector as strings, the program's name left out.
QStringList argumentsAfterProgramName(int argc, const char* const* argv);

QString commandLineUsage();

// Prints what a non-playing action asks for (help and version on standard
// output, a misuse with the usage on standard error) and answers the exit code.
int answerWithoutPlaying(const CommandLine& command, const QString& version);

} // namespace gx
