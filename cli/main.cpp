#include "qttranslation.h"
#include "subcommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <qt_windows.h>

namespace {

// The messages are UTF-8; a Windows console shows bytes in its own code page (932 or 437), so it is
// switched to UTF-8 while the program runs and given back its code page afterwards. Output that
// goes to a file or a pipe is the same UTF-8 either way.
class Utf8Console
{
public:
    Utf8Console() : m_previous(GetConsoleOutputCP())
    {
        if (m_previous != 0 && m_previous != CP_UTF8)
            SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console()
    {
        if (m_previous != 0 && m_previous != CP_UTF8)
            SetConsoleOutputCP(m_previous);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT m_previous;
};

} // namespace
#endif

int main(int argc, char** argv)
{
#ifdef Q_OS_WIN
    const Utf8Console console;
    // Tables written to standard output keep their line ends as on every platform (and as `-o`
    // writes them): no carriage returns added by the C runtime's text mode.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    // The parsers' help headings and error messages come from Qt.
    QtTranslation::install(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = cli::runCommandLine(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return code;
}
