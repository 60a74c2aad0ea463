#pragma once

#include "subcommand.h"

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class QTextStream;

namespace cli {

// QCommandLineParser with the conventions every subcommand shares: --help prints the usage to
// standard output and succeeds; an unknown option or the wrong number of arguments prints why and
// where to find the usage to standard error and fails with Exit::Failure. Nothing here ends the process.
class ArgumentParser
{
public:
    // `synopsis` is the usage line without "tavrin ", `summary` what the command does.
    ArgumentParser(const QString& synopsis, const QString& summary);

    // A paragraph under the summary in --help.
    void setDetails(const QString& details) { m_details = details; }
    void addOption(const QCommandLineOption& option);
    // An argument as --help explains it; the count is checked by parse.
    void addArgument(const QString& name, const QString& description);
    const QCommandLineParser& parser() const { return m_parser; }
    // Parses `arguments` (the subcommand's name first); an exit code when the command must not go on.
    // With `orMore`, `positionalCount` is the least number of arguments.
    std::optional<Exit> parse(const QStringList& arguments, qsizetype positionalCount, QTextStream& out,
                              QTextStream& err, bool orMore = false);
    // Prints "tavrin NAME: text" to standard error.
    void complain(QTextStream& err, const QString& text) const;
    // The same for a command line that cannot be run as given, with where to read the usage.
    void usageError(QTextStream& err, const QString& text) const;

private:
    QString usage() const;

    QCommandLineParser m_parser;
    QList<QCommandLineOption> m_options;
    QList<std::pair<QString, QString>> m_arguments;
    QString m_synopsis;
    QString m_summary;
    QString m_details;
    QString m_name;
};

} // namespace cli
