#include "argumentparser.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace cli {

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

QString ArgumentParser::usage() const
{
    QString text = u"使い方: tavrin "_s % m_synopsis % u"\n"_s % m_summary % u"\n\nオプション:\n"_s;
    for (const QCommandLineOption& option : m_options) {
        QStringList names;
        for (const QString& name : option.names())
            names << (name.size() == 1 ? u"-"_s : u"--"_s) + name;
        QString line = names.join(u", "_s);
        if (!option.valueName().isEmpty())
            line += u' ' + option.valueName();
        text += u"  "_s % line.leftJustified(20) % u' ' % option.description() % u'\n';
    }
    return text;
}

std::optional<Exit> ArgumentParser::parse(const QStringList& arguments, qsizetype positionalCount, QTextStream& out,
                                          QTextStream& err, bool orMore)
{
    if (!m_parser.parse(arguments)) {
        complain(err, m_parser.errorText());
        err << usage();
        return Exit::Failure;
    }
    if (m_parser.isSet(u"help"_s)) {
        out << usage();
        return Exit::Success;
    }
    const qsizetype given = m_parser.positionalArguments().size();
    if (given < positionalCount || (given > positionalCount && !orMore)) {
        complain(err, given < positionalCount ? u"引数が足りません。"_s : u"引数が多すぎます。"_s);
        err << usage();
        return Exit::Failure;
    }
    return std::nullopt;
}

void ArgumentParser::complain(QTextStream& err, const QString& text) const
{
    err << u"tavrin "_s % m_name % u": "_s % text % u'\n';
}

} // namespace cli
