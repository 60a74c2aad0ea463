#include "qttranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

QString QtTranslation::fileName()
{
    // Qt's widgets, dialogs and command-line parser take their texts from the qtbase catalogue; the
    // qt_ja catalogue only refers to it and to modules this program does not use.
    return u"qtbase_ja.qm"_s;
}

QString QtTranslation::systemFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

QString QtTranslation::builtInPath()
{
    return u":/tavrin/translations/"_s + fileName();
}

std::unique_ptr<QTranslator> QtTranslation::load(const QString& folder, Source* source)
{
    auto translator = std::make_unique<QTranslator>();
    const QString system = QDir(folder).filePath(fileName());
    Source used = Source::None;
    if (!folder.isEmpty() && QFileInfo(system).isFile() && translator->load(system))
        used = Source::System;
    else if (translator->load(builtInPath()))
        used = Source::BuiltIn;
    if (source)
        *source = used;
    return used == Source::None ? nullptr : std::move(translator);
}

QtTranslation::Source QtTranslation::install(QCoreApplication& application)
{
    Source source = Source::None;
    std::unique_ptr<QTranslator> translator = load(systemFolder(), &source);
    if (!translator)
        return Source::None;
    translator->setParent(&application);
    QCoreApplication::installTranslator(translator.release());
    return source;
}
