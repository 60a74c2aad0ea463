#include "argumentparser.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

QString helpLine(const QString& names, const QString& description)
{
    return u"  "_s % names.leftJustified(20) % u' ' % description % u'\n';
}

} // namespace

ArgumentParser::ArgumentParser(const QString& synopsis, const QString& summary)
    : m_synopsis(synopsis), m_summary(summary), m_name(synopsis.section(u' ', 0, 0))
{
    addOption(QCommandLineOption({u"h"_s, u"help"_s}, u"この説明を表示します。"_s));
}

void ArgumentParser::addOption(const QCommandLineOption& option)
{
    m_parser.addOption(option);
    m_options << option;
}

void ArgumentParser::addArgument(const QString& name, const QString& description)
{
    m_arguments.append({name, description});
}

QString ArgumentParser::usage() const
{
    QString text = u"使い方: tavrin "_s % m_synopsis % u'\n' % m_summary % u'\n';
    if (!m_details.isEmpty())
        text += m_details + u'\n';
    if (!m_arguments.isEmpty()) {
        text += u"\n引数:\n"_s;
        for (const auto& [name, description] : m_arguments)
            text += helpLine(name, description);
    }
    text += u"\nオプション:\n"_s;
    for (const QCommandLineOption& option : m_options) {
        QStringList names;
        for (const QString& name : option.names())
            names << (name.size() == 1 ? u"-"_s : u"--"_s) + name;
        QString line = names.join(u", "_s);
        if (!option.valueName().isEmpty())
            line += u' ' + option.valueName();
        text += helpLine(line, option.description());
    }
    return text;
}

std::optional<Exit> ArgumentParser::parse(const QStringList& arguments, qsizetype positionalCount, QTextStream& out,
                                          QTextStream& err, bool orMore)
{
    if (!m_parser.parse(arguments)) {
        usageError(err, m_parser.errorText());
        return Exit::Failure;
    }
    if (m_parser.isSet(u"help"_s)) {
        out << usage();
        return Exit::Success;
    }
    const qsizetype given = m_parser.positionalArguments().size();
    if (given < positionalCount || (given > positionalCount && !orMore)) {
        usageError(err, given < positionalCount ? u"引数が足りません。"_s : u"引数が多すぎます。"_s);
        return Exit::Failure;
    }
    return std::nullopt;
}

void ArgumentParser::complain(QTextStream& err, const QString& text) const
{
    err << u"tavrin "_s % m_name % u": "_s % text % u'\n';
}

void ArgumentParser::usageError(QTextStream& err, const QString& text) const
{
    complain(err, text);
    err << u"使い方は tavrin "_s % m_name % u" --help で表示されます。\n"_s;
}

} // namespace cli
