#pragma once

#include <QString>

#include <memory>

class QCoreApplication;
class QTranslator;

// Qt's own texts (standard buttons, the file dialogs, the text box menu, command-line help) in
// Japanese like the rest of the program: Qt's translation from the system where it has one, else the
// copy built into the program (Windows has no system copy).
class QtTranslation
{
public:
    enum class Source
    {
        System,
        BuiltIn,
        None,
    };

    QtTranslation() = delete;

    static QString fileName();
    // Qt's translations folder of the Qt the program runs on.
    static QString systemFolder();
    // Where the built-in copy lies among the program's resources.
    static QString builtInPath();

    // Loads the translation from `folder`, or the built-in copy when `folder` has none; null when
    // neither loads. `source` tells which was used.
    static std::unique_ptr<QTranslator> load(const QString& folder, Source* source = nullptr);
    // Loads it from the system's folder or the built-in copy and installs it for the application,
    // which owns it from then on. Call before the first widget or parser is made.
    static Source install(QCoreApplication& application);
};
