#pragma once

#include "subcommand.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// One in-process run of `tavrin` with what it printed on each stream.
struct CliRun
{
    int code = -1;
    QString out;
    QString err;

    static CliRun of(const QStringList& arguments)
    {
        CliRun run;
        QTextStream out(&run.out);
        QTextStream err(&run.err);
        run.code = cli::runCommandLine(QStringList{QStringLiteral("tavrin")} + arguments, out, err);
        out.flush();
        err.flush();
        return run;
    }
};
