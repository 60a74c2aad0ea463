#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// The command line `tavrin`: one subcommand per job, each a plain function so that tests can run it
// in-process with string streams.
namespace cli {

// Exit codes shared by every subcommand.
enum class Exit : int
{
    Success = 0,
    // The job ran, but cells were refused or the images differ.
    Refused = 1,
    // Bad usage or a file that could not be read or written; nothing was written.
    Failure = 2,
};

// `arguments` starts with the subcommand's own name (as QCommandLineParser expects argv[0]).
using RunFunction = Exit (*)(const QStringList& arguments, QTextStream& out, QTextStream& err);

struct Subcommand
{
    QString name;
    QString synopsis;
    QString summary;
    RunFunction run;
};

// Every subcommand, in the order `tavrin --help` lists them.
const QList<Subcommand>& subcommands();

// Runs `tavrin` with its arguments (the program name first) and returns the process exit code.
int runCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace cli
