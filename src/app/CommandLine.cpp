#include "app/CommandLine.h"

#include <QFile>
#include <cstdio>

namespace gx {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine command;
    bool optionsEnded = false;
    for (const QString& arg : arguments) {
        // A lone "-" is a name, by convention, not an option.
        if (optionsEnded || !arg.startsWith('-') || arg == QLatin1String("-")) {
            command.files << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        CommandLine answer;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            answer.action = CommandLine::Action::ShowHelp;
        } else if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            answer.action = CommandLine::Action::ShowVersion;
        } else {
            answer.action = CommandLine::Action::Misuse;
            answer.problem = QStringLiteral("unknown option '%1'").arg(arg);
        }
        return answer;
    }
    return command;
}

QStringList argumentsAfterProgramName(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}

QString commandLineUsage()
{
    return QStringLiteral("Usage: gramolux [OPTION]... [--] [FILE]...\n"
                          "Play music files on a vintage record player.\n"
                          "\n"
                          "The first FILE plays at once and the others queue behind it. When Gramolux\n"
                          "already runs, the files are handed to it and this launch exits.\n"
                          "\n"
                          "  -h, --help     show this help and exit\n"
                          "  -v, --version  show the version and exit\n"
                          "  --             end of options: every argument after it is a file\n"
                          "\n"
                          "Exit status: 0 when all went well, 1 when Gramolux cannot start,\n"
                          "2 for an unknown option.\n");
}

int answerWithoutPlaying(const CommandLine& command, const QString& version)
{
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
        std::fputs(qPrintable(commandLineUsage()), stdout);
        return kExitOk;
    case CommandLine::Action::ShowVersion:
        std::fprintf(stdout, "gramolux %s\n", qPrintable(version));
        return kExitOk;
    case CommandLine::Action::Misuse:
        std::fprintf(stderr, "gramolux: %s\n%s", qPrintable(command.problem), qPrintable(commandLineUsage()));
        return kExitMisuse;
    case CommandLine::Action::Play:
        break;
    }
    return kExitOk;
}

} // namespace gx
