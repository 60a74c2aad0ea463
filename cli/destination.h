#pragma once

#include <QCommandLineOption>
#include <QString>

#include <optional>

class QTextStream;

namespace cli {

class ArgumentParser;

// The choice the writing subcommands share: a new file (-o OUT) or the image itself (--in-place).
class Destination
{
public:
    Destination();

    void addTo(ArgumentParser& parser) const;
    // Where to write, or nullopt after saying why not: exactly one of the two must be given.
    std::optional<QString> resolve(const ArgumentParser& parser, const QString& image, QTextStream& err) const;

private:
    QCommandLineOption m_output;
    QCommandLineOption m_inPlace;
};

} // namespace cli
