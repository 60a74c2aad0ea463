#include "emulatorcommand.h"

#include <QDir>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

const QString Placeholder = u"%1"_s;

} // namespace

EmulatorCommand::EmulatorCommand(const QString& program, const QString& arguments)
    : m_program(program.trimmed()), m_words(QProcess::splitCommand(arguments))
{
    if (m_program.size() >= 2 && m_program.startsWith(u'"') && m_program.endsWith(u'"'))
        m_program = m_program.mid(1, m_program.size() - 2).trimmed();
}

EmulatorCommand EmulatorCommand::fromCommandLine(const QString& line)
{
    QStringList words = QProcess::splitCommand(line);
    if (words.isEmpty())
        return {};
    EmulatorCommand command;
    command.m_program = words.takeFirst().trimmed();
    command.m_words = words;
    return command;
}

QString EmulatorCommand::defaultArguments()
{
    return Placeholder;
}

QString EmulatorCommand::program() const
{
    return QDir::toNativeSeparators(m_program);
}

QStringList EmulatorCommand::argumentsFor(const QString& imagePath) const
{
    const QString path = QDir::toNativeSeparators(imagePath);
    QStringList arguments;
    bool placed = false;
    for (QString word : m_words) {
        // The path is put into the word, never read again: a path that itself holds "%1" stays as it is.
        if (word.contains(Placeholder)) {
            word.replace(Placeholder, path);
            placed = true;
        }
        arguments << word;
    }
    if (!placed)
        arguments << path;
    return arguments;
}
