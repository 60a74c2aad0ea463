#include "filedialogs.h"

#include "savefiledialog.h"

#include <QFileDialog>
#include <QStringList>

using namespace Qt::StringLiterals;

QString FileDialogs::PatternExtension(const QString& pattern)
{
    const qsizetype dot = pattern.lastIndexOf(u'.');
    return dot < 0 ? QString() : pattern.mid(dot + 1);
}

QString FileDialogs::withExtension(const QString& path, const QString& pattern)
{
    const QString extension = u'.' + PatternExtension(pattern);
    if (extension == u".*"_s || path.endsWith(extension, Qt::CaseSensitive))
        return path;
    return path + extension;
}

QString FileDialogs::nameFilter(const FileFilter& filter)
{
    const QString bracketed = u'(' + filter.pattern + u')';
    if (filter.description.endsWith(bracketed))
        return filter.description;
    return filter.description + u' ' + bracketed;
}

QString FileDialogs::showOpenDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters)
{
    QStringList names;
    for (const FileFilter& filter : filters)
        names << nameFilter(filter);
    // getOpenFileName only returns an existing file in an existing folder.
    return QFileDialog::getOpenFileName(owner, title, QString(), names.join(u";;"_s));
}

QString FileDialogs::showSaveDialog(QWidget* owner, const QString& title, const QList<FileFilter>& filters,
                                    const QString& initialName)
{
    SaveFileDialog dialog(owner, title, filters);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.chosenPath();
}
